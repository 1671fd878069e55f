// The version file as the two readers see it, and which
// addresses may stand in for the maker's site.
#include "update/update_site.h"
#include "update/version_file.h"

#include <gtest/gtest.h>

namespace zembra::testing {
namespace {

constexpr auto Whole = VersionDigits::WholeLine;
constexpr auto Three = VersionDigits::ThreeCharacters;

TEST(ReadVersionText, ReadsTheLastVersionLineUntilAFailure) {
    const struct {
        const char* text;
        VersionDigits digits;
        std::optional<std::int16_t> version;
        bool failed;
    } cases[] = {
        {"ver=241\n VER=241\nNOTES=fixes", Whole, std::nullopt, false}, // key at the start, exact
        {"VER=99999", Whole, std::nullopt, true},                       // beyond 16 bits
        {"VER=2E4", Three, 20000, false}, // three characters may still be large
        {"VER=240\nVER=241", Whole, 241, false},
        // A value that is no number stops the reading; what came before stays.
        {"VER=241\nVER=abc\nVER=300", Whole, 241, true},
        {"VER= 2.5 ", Whole, 2, false}, // halves round to even
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << (c.digits == Whole ? " whole" : " three"));
        const VersionFileRead read = ReadVersionText(c.text, c.digits);
        EXPECT_EQ(read.version, c.version);
        EXPECT_EQ(read.failed, c.failed);
    }
}

TEST(LoopbackSite, OnlyPlainHttpOnThisMachineMayReplaceTheMakersSite) {
    EXPECT_EQ(LoopbackSite("http://127.0.0.1:8000/"), "http://127.0.0.1:8000");
    EXPECT_EQ(LoopbackSite("http://[::1]"), "http://[::1]");
    for (const char* refused : {"https://127.0.0.1:8000", "http://127.0.0.1:", "http://127.0.0.10",
                                "http://localhost:80/documents", "http://localhost.example.com",
                                "http://127.0.0.1@example.com"})
        EXPECT_EQ(LoopbackSite(refused), std::nullopt) << refused;
}

} // namespace
} // namespace zembra::testing
