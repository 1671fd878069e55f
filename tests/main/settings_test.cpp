#include "form_fixture.h"
#include "main/settings_file.h"
#include "platform/steps.h"

#include <filesystem>

namespace zembra::testing {
namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = Files::Local().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A form that keeps its settings in a temporary application-data folder.
class Settings : public ::testing::Test {
  protected:
    TempDir appData;
    ScriptedServices services;
    Form1 form{services};
    void Load(Form1& f, const std::string& configText = {}) {
        if (!configText.empty()) {
            std::filesystem::create_directory(appData / "KVD");
            appData.Write("KVD/config.txt", configText);
        }
        f.ApplicationDataFolder = [this] { return appData.Path(); };
        f.Form_Load();
    }
    std::string ConfigFile() const { return appData / "KVD/config.txt"; }
};

TEST_F(Settings, WrittenSettingsAreRestoredAndWrittenAgainUnchanged) {
    Load(form);
    const std::string watermark = appData.Write("a-long-watermark-name.png");
    form.Combo2.setListIndex(6);
    form.Check1.setValue(1);
    form.Combo1.setListIndex(2);
    form.Check3.setValue(0);
    form.Option4.setValue(true);
    form.Combo3.setListIndex(4);
    form.Text5.setText("85");
    form.Text2.setText("40");
    form.Check5.setValue(1);
    form.Combo5.setListIndex(2);
    form.HScroll1.setValue(1);
    form.shared.WatermarkFile = watermark;
    form.Label28.setCaption("a-long-watermark-name.png");
    form.Text1.setText("Holiday");
    form.Combo4.setListIndex(5);
    form.Check6.setValue(1);
    form.Check8.setValue(1); // kept in a file of its own: config.txt keeps its lines
    form.writeconfig();      // the KVD folder does not exist yet
    EXPECT_EQ(ReadText(ConfigFile()),
              "date=2\r\nshowdate=1\r\ntime=0\r\nlastselection=6\r\naspect=1\r\nexif=0\r\n"
              "resizequality=85\r\ntext2=40\r\nheight=600\r\ncombo3=4\r\nwidth=800\r\n"
              "preview=1\r\nwatermarkfile=" +
                  watermark +
                  "\r\nwatermarkname=a-long-watermark-name.png\r\nwatermarkstretch=0\r\n"
                  "watermarkalign=2\r\ntransparency=1\r\nresizetype=M\r\nfirstrun=1\r\nVER=1\r\n");

    ScriptedServices otherServices;
    Form1 restored{otherServices};
    Load(restored);
    EXPECT_EQ(restored.Combo2.ListIndex(), 6);
    EXPECT_EQ(restored.Combo1.ListIndex(), 2);
    EXPECT_TRUE(restored.Combo1.Visible());
    EXPECT_EQ(restored.Check3.Value(), 0);
    EXPECT_TRUE(restored.Option4.Value());
    EXPECT_EQ(restored.Text3.Text(), "800");
    EXPECT_EQ(restored.VScroll1.Value(), 40);
    EXPECT_EQ(restored.VScroll2.Value(), 85);
    EXPECT_EQ(restored.HScroll1.Value(), 1);
    EXPECT_EQ(restored.Check8.Value(), 1);
    EXPECT_EQ(restored.shared.WatermarkFile, watermark);
    EXPECT_EQ(restored.Label28.Caption(), "...ark-name.png"); // cut to "..." and 12
    // Not stored: the base name, the conversion and the watermark switch.
    EXPECT_EQ(restored.Text1.Text(), "");
    EXPECT_EQ(restored.Combo4.ListIndex(), 0);
    EXPECT_EQ(restored.Check6.Value(), 0);
    EXPECT_TRUE(otherServices.messages.empty());

    // The cut name is what the label holds now, so the label line changes once;
    // after that the writer repeats itself.
    restored.writeconfig();
    const std::string second = ReadText(ConfigFile());
    restored.writeconfig();
    EXPECT_EQ(ReadText(ConfigFile()), second);
}

TEST_F(Settings, LinesAreAppliedThroughTheControls) {
    const std::pair<const char*, std::function<void(const Form1&)>> cases[] = {
        {"date=-1\r\n", [](const Form1& f) { EXPECT_EQ(f.Combo1.ListIndex(), 0); }},
        {"date=3\n", [](const Form1& f) { EXPECT_EQ(f.Combo1.ListIndex(), 3); }},
        // Keys count letter case: "Date=" is not "date=".
        {"Date=3\r\n", [](const Form1& f) { EXPECT_EQ(f.Combo1.ListIndex(), 0); }},
        {"resizetype=p\r\n",
         [](const Form1& f) {
             EXPECT_TRUE(f.Option4.Value());
             EXPECT_FALSE(f.Option3.Value());
         }},
        {"lastselection=4\r\nresizetype=P\r\n",
         [](const Form1& f) {
             EXPECT_TRUE(f.Option3.Value());
             EXPECT_FALSE(f.Check4.Enabled()); // start-up leaves it disabled
         }},
        {"showdate=1\r\nexif=0\r\naspect=0\r\nfirstrun=0\r\n",
         [](const Form1& f) {
             EXPECT_EQ(f.Check1.Value(), 0);
             EXPECT_EQ(f.Check3.Value(), 1);
             EXPECT_EQ(f.Check4.Value(), 1);
         }},
        // A watermark that has gone is forgotten, name and all.
        {"watermarkfile=/nowhere/logo.png\r\nwatermarkname=logo.png\r\n",
         [](const Form1& f) {
             EXPECT_EQ(f.shared.WatermarkFile, "");
             EXPECT_EQ(f.Label28.Caption(), "[Browse]");
         }},
        // Without a VER line the start-up check is on.
        {"time=1\r\n", [](const Form1& f) { EXPECT_EQ(f.shared.UpdateOnStartup, 1); }}};
    for (const auto& [text, check] : cases) {
        SCOPED_TRACE(text);
        Form1 fresh{services};
        Load(fresh, text);
        check(fresh);
    }
}

TEST_F(Settings, AValueNoControlTakesStopsTheReading) {
    Load(form, "time=1\r\ntext2=abc\r\nexif=0\r\n");
    EXPECT_EQ(services.messages, std::vector<std::string>{"Only Values Between 1 - 99 Allowed"});
    EXPECT_EQ(form.Text2.Text(), "50");
    EXPECT_EQ(form.Check2.Value(), 1);
    EXPECT_EQ(form.Check3.Value(), 1); // the line after it is not applied
    EXPECT_FALSE(form.ApplyConfig("combo3=7\r\n"));
}

// A remembered watermark is made ready at the end of the reading, not when the
// reading stopped early.
TEST_F(Settings, RememberedWatermarkIsPreparedOnlyWhenEveryLineWasRead) {
    const std::string mark = std::string(ZEMBRA_SAMPLES_DIR) + "/sunset.png";
    Load(form, "watermarkfile=" + mark + "\r\nwatermarkname=sunset.png\r\ntransparency=2\r\n");
    EXPECT_EQ(form.Label28.Caption(), "sunset.png");
    EXPECT_EQ(form.Picture5.PixelWidth(), 200); // drawn from the 200x150 file

    Form1 stopped{services};
    Load(stopped, "watermarkfile=" + mark + "\r\ntransparency=9\r\n");
    EXPECT_EQ(stopped.shared.WatermarkFile, mark);
    EXPECT_EQ(stopped.Picture5.PixelWidth(), 0);
}

TEST_F(Settings, StartUpAsksForTheUpdateCheckAndClearsOldInstallers) {
    int checks = 0;
    form.CheckVersionAtStartup = [&] { ++checks; };
    std::filesystem::create_directory(appData / "KVD");
    appData.Write("KVD/KVDv240setup.exe");
    appData.Write("KVD/update.exe");
    Load(form);
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(std::filesystem::exists(appData / "KVD/KVDv240setup.exe"));
    EXPECT_FALSE(std::filesystem::exists(appData / "KVD/update.exe"));

    Form1 again{services};
    again.CheckVersionAtStartup = [&] { ++checks; };
    Load(again, "VER=2\r\n");
    EXPECT_EQ(checks, 1);
}

// A read-only file is reported and left as it is; a writable one is written on quitting.
TEST_F(Settings, QuitWritesTheSettingsAndReportsAFailedWrite) {
    Load(form, "time=1\r\n");
    std::filesystem::permissions(ConfigFile(), std::filesystem::perms::owner_read);
    form.writeconfig();
    EXPECT_EQ(services.messages, std::vector<std::string>{"Error writing config file"});
    EXPECT_EQ(ReadText(ConfigFile()), "time=1\r\n");
    std::filesystem::permissions(ConfigFile(), std::filesystem::perms::owner_all);
    services.messages.clear();
    form.Command2.Click();
    EXPECT_NE(ReadText(ConfigFile()).find("\r\nVER=1\r\n"), std::string::npos);
    EXPECT_TRUE(services.messages.empty());

    Form1 blocked{services};
    blocked.ApplicationDataFolder = [this] { return appData.Write("not-a-folder"); };
    blocked.Form_Load();
    blocked.Command2.Click();
    EXPECT_EQ(services.messages, std::vector<std::string>{"Error writing config file"});
    EXPECT_TRUE(blocked.Ending());
}

// A fresh account has no configuration folder yet; a file name may hold a line
// break, which must not add lines to the file.
TEST_F(Settings, WritingMakesTheWholePathAndKeepsTwentyLines) {
    const std::string odd = appData.Write("odd\nname.png");
    form.ApplicationDataFolder = [this] { return appData / "fresh/config"; };
    form.Form_Load();
    form.shared.WatermarkFile = odd;
    form.Label28.setCaption("odd\nname.png");
    form.writeconfig();
    const std::string text = ReadText(appData / "fresh/config/KVD/config.txt");
    EXPECT_EQ(ConfigFileLines(text).size(), 20u) << text;
    EXPECT_NE(text.find("\r\nwatermarkfile=\r\nwatermarkname=\r\n"), std::string::npos) << text;
    EXPECT_TRUE(services.messages.empty());
}

// A width no picture can have is refused as the file is read, so the run asks
// for one instead of sizing a box past what the boxes can hold.
TEST_F(Settings, AnImpossibleWidthIsRefusedAndTheRunAsksForOne) {
    Load(form, "resizetype=M\r\nwidth=1e9\r\nheight=600\r\nlastselection=4\r\n");
    EXPECT_EQ(services.messages,
              std::vector<std::string>{"Only Values Between 1 - 999999 Allowed"});
    EXPECT_EQ(form.Text3.Text(), "");
    EXPECT_EQ(form.Text4.Text(), "600");
    EXPECT_EQ(form.Combo2.ListIndex(), 4); // the lines after it still apply
    services.dialogAnswers.push_back(appData.Write("a.png"));
    form.Command7.Click();
    form.Command1_Click();
    EXPECT_EQ(services.messages.back(), "Please Enter Width");
}

TEST(SettingsText, Numbers) {
    EXPECT_EQ(ConfigInteger(" 2.5"), 2); // halves go to the even neighbour
    EXPECT_EQ(ConfigInteger("-1"), -1);
    EXPECT_THROW(ConfigInteger("abc"), PlatformError);
    EXPECT_THROW(ConfigInteger("40000"), PlatformError);
}

// The window's start-up rule keeps what the settings left of "Copy EXIF" and
// "Keep Aspect Ratio", and enables "Stretch/Shrink" whatever the alignment.
TEST_F(Settings, StartUpRuleDiffersFromTheActionRule) {
    Load(form);
    form.Check6.setValue(1);
    form.Combo2.setListIndex(6);
    form.Option4.setValue(true);
    SetEnabled({&form.Check3, &form.Check4, &form.Check7}, false);
    form.ApplyEnablingRule(Form1::EnablingRule::StartUp);
    EXPECT_TRUE(form.Check7.Enabled());
    EXPECT_FALSE(form.Check3.Enabled());
    EXPECT_FALSE(form.Check4.Enabled());
    SetEnabled({&form.Check7}, false);
    form.ApplyEnablingRule(Form1::EnablingRule::ActionChosen);
    EXPECT_FALSE(form.Check7.Enabled()); // "Corner to Corner" cannot stretch
    EXPECT_TRUE(form.Check3.Enabled());
    EXPECT_TRUE(form.Check4.Enabled());
}

} // namespace
} // namespace zembra::testing
