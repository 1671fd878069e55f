// "Turn Pictures Upright" remembered in upright.txt beside config.txt, as one
// "upright=0" or "upright=1" line, so that config.txt keeps its own lines.
#include "main/form1.h"
#include "main/settings_file.h"

#include <string_view>

namespace zembra {

namespace {

constexpr std::string_view kKey = "upright=";

std::string UprightFilePath(const std::string& appDataFolder) {
    return SettingsFolder(appDataFolder) + "/upright.txt";
}

} // namespace

void Form1::readUprightSetting() {
    if (shared.AppDataFolder.empty())
        return;
    const auto bytes = files_.ReadAll(UprightFilePath(shared.AppDataFolder));
    if (!bytes)
        return;
    for (const std::string& line : ConfigFileLines(std::string(bytes->begin(), bytes->end()))) {
        if (line.starts_with(kKey))
            Check8.setValue(line.substr(kKey.size()) == "1" ? 1 : 0);
    }
}

void Form1::writeUprightSetting() {
    if (shared.AppDataFolder.empty())
        return;
    const std::string text = std::string(kKey) + (Check8.Value() == 1 ? "1" : "0") + "\n";
    // Written after config.txt, whose writer makes the folder.
    files_.WriteAll(UprightFilePath(shared.AppDataFolder), Bytes(text.begin(), text.end()));
}

} // namespace zembra
