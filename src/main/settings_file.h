#pragma once
// config.txt: the main window's last choices as "key=value" lines ended by CR LF.
// The text is taken apart and put together here; Form1::readconfig and
// Form1::writeconfig move it between the file and the controls.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

// The settings folder inside the application-data folder, and the file in it.
std::string SettingsFolder(const std::string& appDataFolder);
std::string ConfigFilePath(const std::string& appDataFolder);

// The lines of a settings text, ended by CR LF or by LF alone; a last line without
// an end counts too.
std::vector<std::string> ConfigFileLines(std::string_view text);

// A text value as a line can hold it: a value with a line break (a file name may
// have one) would spill into lines of its own, so it is left out, empty.
std::string OneLineValue(const std::string& value);

// Each line followed by CR LF.
std::string ConfigFileText(const std::vector<std::string>& lines);

// A value as a 16-bit whole number, halves to even. Text that is not a number
// throws a type mismatch (13), a number outside 16 bits an overflow (6).
std::int16_t ConfigInteger(std::string_view value);

// The keys in the order each line is compared with them; a key matches when the
// line starts with it, upper and lower case counting.
enum class ConfigKey {
    Date,
    ShowDate,
    Time,
    LastSelection,
    Aspect,
    Exif,
    ResizeQuality,
    Text2,
    Height,
    Combo3,
    Width,
    Preview,
    Ver,
    WatermarkFile,
    Transparency,
    WatermarkName,
    WatermarkStretch,
    WatermarkAlign,
    ResizeType,
    FirstRun,
};

struct ConfigEntry {
    ConfigKey key;
    std::string value; // the rest of the line after the key
};

// Every key the line starts with, in key order.
std::vector<ConfigEntry> MatchConfigLine(std::string_view line);

} // namespace zembra
