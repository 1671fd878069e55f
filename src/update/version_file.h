#pragma once
// The version file the maker publishes, and the version numbers shown beside it.
// A line starting with "VER=" carries the published version as digits without
// separators (2.4.1 is published as 241); other lines are ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zembra {

// The main window's check reads the whole rest of the line; the updates dialog
// reads only the three characters after "VER=", so "VER=1000" is 1000 to the
// first and 100 to the second.
enum class VersionDigits { WholeLine, ThreeCharacters };

struct VersionFileRead {
    // The value of the last "VER=" line read before the end or a failure.
    std::optional<std::int16_t> version;
    // A "VER=" value that is no 16-bit number stopped the reading there.
    bool failed = false;
};

VersionFileRead ReadVersionText(std::string_view text, VersionDigits digits);

// This program's version: major, minor and revision written one after the other
// and read as a number (2.4.0 is 240), and shown with dots.
std::int16_t RunningVersionNumber();
std::string DisplayedRunningVersion();

// The first three characters of the number's decimal text joined by dots: 241 is
// "2.4.1", 0 is "0..", 1000 is "1.0.0".
std::string DisplayedPublishedVersion(std::int16_t version);

} // namespace zembra
