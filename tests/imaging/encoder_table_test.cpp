#include "imaging/encoder_table.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(EncoderTable, FileExtensionIsTheTextAfterTheLastDotOfTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pics/a.JPeg", "JPeg"}, {"/pics/a.tar.gz", "gz"}, {"/pic.s/noext", ""},
        {"/pics/a.", ""},         {".hidden", "hidden"},    {"", ""}};
    for (const auto& [name, extension] : cases)
        EXPECT_EQ(FileExtension(name), extension) << name;
}

} // namespace
} // namespace zembra
