// readconfig and writeconfig: the window's last choices in config.txt.
#include "main/form1.h"
#include "main/settings_file.h"

#include "platform/config_folder.h"
#include "platform/steps.h"
#include "platform/text.h"

namespace zembra {

namespace {

std::string Number(int value) {
    return std::to_string(value);
}

} // namespace

std::vector<std::string> Form1::ConfigLines() const {
    return {
        "date=" + Number(Combo1.ListIndex()),
        "showdate=" + Number(Check1.Value()),
        "time=" + Number(Check2.Value()),
        "lastselection=" + Number(Combo2.ListIndex()),
        "aspect=" + Number(Check4.Value()),
        "exif=" + Number(Check3.Value()),
        "resizequality=" + OneLineValue(Text5.Text()),
        "text2=" + OneLineValue(Text2.Text()),
        "height=" + OneLineValue(Text4.Text()),
        "combo3=" + Number(Combo3.ListIndex()),
        "width=" + OneLineValue(Text3.Text()),
        "preview=" + Number(Check5.Value()),
        "watermarkfile=" + OneLineValue(shared.WatermarkFile),
        "watermarkname=" + OneLineValue(Label28.Caption()),
        "watermarkstretch=" + Number(Check7.Value()),
        "watermarkalign=" + Number(Combo5.ListIndex()),
        "transparency=" + Number(HScroll1.Value()),
        std::string("resizetype=") + (Option3.Value() ? "P" : "M"),
        "firstrun=1",
        "VER=" + Number(shared.UpdateOnStartup),
    };
}

// Each value goes through its control, so the control's handlers run as if the
// user had set it. A value the control cannot take throws, which ends the reading.
void Form1::applyConfigEntry(ConfigKey key, const std::string& v) {
    switch (key) {
    case ConfigKey::Date: {
        const int index = ConfigInteger(v);
        Combo1.setListIndex(index > 0 ? index : 0);
        break;
    }
    case ConfigKey::ShowDate:
        Check1.setValue(ConfigInteger(v));
        Combo1.setVisible(v == "1");
        break;
    case ConfigKey::Time:
        Check2.setValue(ConfigInteger(v));
        break;
    case ConfigKey::LastSelection:
        Combo2.setListIndex(ConfigInteger(v));
        break;
    case ConfigKey::Aspect:
        Check4.setValue(ConfigInteger(v));
        break;
    case ConfigKey::Exif:
        Check3.setValue(ConfigInteger(v));
        break;
    case ConfigKey::ResizeQuality:
        Text5.setText(v);
        break;
    case ConfigKey::Text2:
        // The field check may have replaced a bad text; the spin control still gets
        // the stored one, and refuses it.
        Text2.setText(v);
        VScroll1.setValue(ConfigInteger(v));
        break;
    case ConfigKey::Height:
        Text4.setText(v);
        break;
    case ConfigKey::Combo3:
        Combo3.setListIndex(ConfigInteger(v));
        break;
    case ConfigKey::Width:
        Text3.setText(v);
        break;
    case ConfigKey::Preview:
        Check5.setValue(ConfigInteger(v));
        break;
    case ConfigKey::Ver:
        shared.UpdateOnStartup = ConfigInteger(v);
        break;
    case ConfigKey::WatermarkFile:
        // A watermark picture that has gone is forgotten.
        if (files_.Exists(v))
            shared.WatermarkFile = v;
        break;
    case ConfigKey::Transparency:
        HScroll1.setValue(ConfigInteger(v));
        break;
    case ConfigKey::WatermarkName:
        if (!shared.WatermarkFile.empty())
            Label28.setCaption(Shortened(v, 15, 12));
        break;
    case ConfigKey::WatermarkStretch:
        Check7.setValue(ConfigInteger(v));
        break;
    case ConfigKey::WatermarkAlign:
        Combo5.setListIndex(ConfigInteger(v));
        break;
    case ConfigKey::ResizeType:
        if (v == "P") {
            Option3.setValue(true);
            Check4.setEnabled(false);
        } else {
            Option4.setValue(true);
        }
        break;
    case ConfigKey::FirstRun:
        // Only this program writes "firstrun=1"; anything else starts from the
        // first-run choices.
        if (v != "1") {
            Check1.setValue(0);
            Check3.setValue(1);
            Check4.setValue(1);
        }
        break;
    }
}

bool Form1::ApplyConfig(std::string_view text) {
    Combo1.setVisible(false);
    Step([&] { Combo1.setListIndex(0); });
    try {
        for (const std::string& line : ConfigFileLines(text)) {
            for (const ConfigEntry& entry : MatchConfigLine(line))
                applyConfigEntry(entry.key, entry.value);
        }
    } catch (const std::exception&) {
        return false; // the lines before the bad one stay applied
    }
    return true;
}

void Form1::readconfig() {
    if (shared.AppDataFolder.empty())
        return;
    const auto bytes = files_.ReadAll(ConfigFilePath(shared.AppDataFolder));
    if (!bytes)
        return;
    const std::string text(bytes->begin(), bytes->end());
    // The remembered watermark is prepared with the restored transparency, unless
    // the reading stopped before the end.
    if (ApplyConfig(text) && !shared.WatermarkFile.empty())
        Step([&] { settrans(); });
}

void Form1::writeconfig() {
    if (shared.AppDataFolder.empty())
        return;
    // The whole path is made, as a fresh account may not have its configuration
    // folder yet.
    const bool written =
        MakePrivateFolders(SettingsFolder(shared.AppDataFolder)) &&
        ReplaceSettingsFile(ConfigFilePath(shared.AppDataFolder), ConfigFileText(ConfigLines()));
    if (!written)
        services_.MsgBox("Error writing config file");
}

} // namespace zembra
