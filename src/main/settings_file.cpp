#include "main/settings_file.h"

#include "platform/steps.h"
#include "platform/text.h"

#include <cmath>
#include <iterator>

namespace zembra {

namespace {

struct KeyText {
    ConfigKey key;
    std::string_view text;
};

constexpr KeyText kKeys[] = {
    {ConfigKey::Date, "date="},
    {ConfigKey::ShowDate, "showdate="},
    {ConfigKey::Time, "time="},
    {ConfigKey::LastSelection, "lastselection="},
    {ConfigKey::Aspect, "aspect="},
    {ConfigKey::Exif, "exif="},
    {ConfigKey::ResizeQuality, "resizequality="},
    {ConfigKey::Text2, "text2="},
    {ConfigKey::Height, "height="},
    {ConfigKey::Combo3, "combo3="},
    {ConfigKey::Width, "width="},
    {ConfigKey::Preview, "preview="},
    {ConfigKey::Ver, "VER="},
    {ConfigKey::WatermarkFile, "watermarkfile="},
    {ConfigKey::Transparency, "transparency="},
    {ConfigKey::WatermarkName, "watermarkname="},
    {ConfigKey::WatermarkStretch, "watermarkstretch="},
    {ConfigKey::WatermarkAlign, "watermarkalign="},
    {ConfigKey::ResizeType, "resizetype="},
    {ConfigKey::FirstRun, "firstrun="},
};

constexpr int kTypeMismatch = 13;

} // namespace

std::string SettingsFolder(const std::string& appDataFolder) {
    return appDataFolder + "/KVD";
}

std::string ConfigFilePath(const std::string& appDataFolder) {
    return SettingsFolder(appDataFolder) + "/config.txt";
}

std::vector<std::string> ConfigFileLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string OneLineValue(const std::string& value) {
    return value.find_first_of("\r\n") == std::string::npos ? value : std::string();
}

std::string ConfigFileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::int16_t ConfigInteger(std::string_view value) {
    if (!IsNumeric(value))
        throw PlatformError(kTypeMismatch, "Type mismatch");
    const double rounded = std::nearbyint(NumericValue(value));
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        throw PlatformError(kOverflow, "Overflow");
    return static_cast<std::int16_t>(rounded);
}

std::vector<ConfigEntry> MatchConfigLine(std::string_view line) {
    std::vector<ConfigEntry> entries;
    for (const KeyText& k : kKeys) {
        if (line.starts_with(k.text))
            entries.push_back({k.key, std::string(line.substr(k.text.size()))});
    }
    return entries;
}

} // namespace zembra
