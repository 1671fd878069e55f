#include "platform/ini.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zembra {
namespace {

const char* const kText = "\xEF\xBB\xBF"
                          "key=before any section\r\n"
                          "[Make]\r\n"
                          "  Canon  =  Canon Inc.  \r\n"
                          "NIKON=\"  quoted  \"\r\n"
                          "no assignment here\r\n"
                          "empty=\r\n"
                          "[ model ]\n"
                          "a=b=c\n"
                          "mixed='single\"\n"
                          "[MAKE]\n"
                          "Canon=second section\n"
                          "Extra=only in the second\n"
                          "[last";

TEST(IniFile, AnswersLikeTheProfileApiFromTheFirstMegabyte) {
    const IniFile ini = IniFile::Parse(kText);
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"Make", "Canon", "Canon Inc."},
        {"make", "CANON", "Canon Inc."}, // names compare without case
        {" Make ", " Canon ", "Canon Inc."},
        {"Make", "Nikon", "  quoted  "}, // a matching pair of quotes goes, blanks inside stay
        {"Make", "empty", ""},
        {"Make", "no assignment here", std::nullopt},
        {"Make", "Extra", std::nullopt}, // only the first section of a name counts
        {"Model", "a", "b=c"},
        {"model", "mixed", "'single\""},
        {"", "key", std::nullopt},
        {"last", "x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.Get(c.section, c.key), c.value) << c.section << "/" << c.key;

    // Only the first megabyte is looked at.
    const IniFile big =
        IniFile::Parse("[S]\nfirst=1\n" + std::string(IniFile::kMaxBytes, '\n') + "late=2\n");
    EXPECT_EQ(big.Get("S", "first"), "1");
    EXPECT_EQ(big.Get("S", "late"), std::nullopt);
}

TEST(IniFile, ReadsFilesAndFallsBackToTheDefault) {
    testing::TempDir dir;
    const std::string path = dir.Write("exif.ini", "[Make]\nCanon=Canon Inc.\n");
    EXPECT_EQ(GetPrivateProfileString("MAKE", "canon", "d", path), "Canon Inc.");
    EXPECT_EQ(GetPrivateProfileString("Make", "Nikon", "d", path), "d");
    EXPECT_EQ(GetPrivateProfileString("Make", "Canon", "d", dir / "missing.ini"), "d");
    // The answer fits a buffer of the given size with its terminating NUL.
    EXPECT_EQ(GetPrivateProfileString("Make", "Canon", "", path, 6), "Canon");
    EXPECT_EQ(FitProfileBuffer("ab\xC3\xA9", 4), "ab"); // never half a character
    EXPECT_EQ(FitProfileBuffer("abc", 0), "");
}

} // namespace
} // namespace zembra
