#include "update/version_file.h"

#include "platform/text.h"

#include <cmath>

namespace zembra {

namespace {

constexpr std::string_view kVersionKey = "VER=";

// A number as a 16-bit integer field takes it: blanks around it allowed, fractions
// rounded to nearest with halves to even, anything out of range refused.
std::optional<std::int16_t> ToInt16(std::string_view text) {
    if (!IsNumeric(text))
        return std::nullopt;
    const double rounded = std::nearbyint(NumericValue(text));
    if (!std::isfinite(rounded) || rounded < INT16_MIN || rounded > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::string CharAt(const std::string& text, std::size_t index) {
    return index < text.size() ? text.substr(index, 1) : std::string();
}

} // namespace

VersionFileRead ReadVersionText(std::string_view text, VersionDigits digits) {
    VersionFileRead read;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.starts_with(kVersionKey))
            continue;
        std::string_view value = line.substr(kVersionKey.size());
        if (digits == VersionDigits::ThreeCharacters)
            value = value.substr(0, 3);
        const auto version = ToInt16(value);
        if (!version) {
            read.failed = true;
            break;
        }
        read.version = version;
    }
    return read;
}

std::int16_t RunningVersionNumber() {
    const std::string digits = std::to_string(ZEMBRA_VERSION_MAJOR) +
                               std::to_string(ZEMBRA_VERSION_MINOR) +
                               std::to_string(ZEMBRA_VERSION_PATCH);
    return static_cast<std::int16_t>(std::stoi(digits));
}

std::string DisplayedRunningVersion() {
    return std::to_string(ZEMBRA_VERSION_MAJOR) + "." + std::to_string(ZEMBRA_VERSION_MINOR) + "." +
           std::to_string(ZEMBRA_VERSION_PATCH);
}

std::string DisplayedPublishedVersion(std::int16_t version) {
    const std::string text = std::to_string(version);
    return CharAt(text, 0) + "." + CharAt(text, 1) + "." + CharAt(text, 2);
}

} // namespace zembra
