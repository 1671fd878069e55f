// The version file as the two readers see it, the versions as shown, and which
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
        {"VER=241\r\n", Whole, 241, false},
        {"NAME=Zembra\nVER=240\nNOTES=fixes\n", Three, 240, false},
        {"NAME=Zembra\r\nNOTES=fixes\r\n", Whole, std::nullopt, false},
        {"", Whole, std::nullopt, false},
        // Only the dialog's reader cuts the value to three characters.
        {"VER=1000", Whole, 1000, false},
        {"VER=1000", Three, 100, false},
        {"VER=99999", Three, 999, false},
        {"VER=2E4", Three, 20000, false},         // three characters may still be a large number
        {"VER=99999", Whole, std::nullopt, true}, // beyond 16 bits
        {"VER=240\nVER=241", Whole, 241, false},
        // The key is matched exactly, at the start of the line.
        {"ver=241\n VER=241\nVERSION=241", Whole, std::nullopt, false},
        // A value that is no number stops the reading; what came before stays.
        {"VER=241\nVER=abc\nVER=300", Whole, 241, true},
        {"VER=\n", Whole, std::nullopt, true},
        {"VER=24x", Three, std::nullopt, true},
        {"VER= 2.5 ", Whole, 2, false}, // halves round to even
        {"VER=-5", Whole, -5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << '"' << c.text << "\" digits " << static_cast<int>(c.digits));
        const VersionFileRead read = ReadVersionText(c.text, c.digits);
        EXPECT_EQ(read.version, c.version);
        EXPECT_EQ(read.failed, c.failed);
    }
}

TEST(VersionTexts, ShowDigitsWithDots) {
    EXPECT_EQ(RunningVersionNumber(), 240);
    EXPECT_EQ(DisplayedRunningVersion(), "2.4.0");
    EXPECT_EQ(DisplayedPublishedVersion(241), "2.4.1");
    EXPECT_EQ(DisplayedPublishedVersion(0), "0..");
    EXPECT_EQ(DisplayedPublishedVersion(1000), "1.0.0");
    EXPECT_EQ(DisplayedPublishedVersion(24), "2.4.");
    EXPECT_EQ(InstallerPath(241), "/documents/files/KVDv241setup.exe");
}

TEST(LoopbackSite, OnlyPlainHttpOnThisMachineMayReplaceTheMakersSite) {
    const struct {
        const char* address;
        const char* site; // nullptr: refused
    } cases[] = {
        {"http://127.0.0.1:8000", "http://127.0.0.1:8000"},
        {"http://localhost:65535/", "http://localhost:65535"},
        {"http://[::1]", "http://[::1]"},
        {"https://127.0.0.1:8000", nullptr},
        {"http://127.0.0.1:", nullptr},
        {"http://127.0.0.1:123456", nullptr},
        {"http://127.0.0.1:80/documents", nullptr},
        {"http://localhost.example.com", nullptr},
        {"http://127.0.0.1@example.com", nullptr},
        {"http://127.0.0.10", nullptr},
        {"http://www.example.com", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const auto site = LoopbackSite(c.address);
        if (c.site)
            EXPECT_EQ(site, std::string(c.site));
        else
            EXPECT_EQ(site, std::nullopt);
    }
}

} // namespace
} // namespace zembra::testing
