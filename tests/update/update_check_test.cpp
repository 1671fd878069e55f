// The start-up check and the updates dialog against a web server on 127.0.0.1:
// what each offers for the published versions, and the installer download.
#include "support/loopback_server.h"
#include "support/scripted_services.h"
#include "update/form5.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace zembra::testing {
namespace {

constexpr const char* kNewer =
    "A newer version is currently available.\r\nWould you like to update?";
constexpr const char* kLatest = "You are currently running the latest version.";

class UpdateCheck : public ::testing::Test {
  protected:
    ScriptedServices services;
    Form1 main{services};
    TempDir appData;
    LoopbackServer server;
    UpdateHost host{main, services};
    int dialogsShown = 0;
    std::vector<bool> mainEnabled;
    std::vector<std::string> opened;
    int ends = 0;

    void SetUp() override {
        ASSERT_TRUE(server.Running());
        main.Form_Load();
        main.shared.AppDataFolder = appData.Path();
        main.ShowUpdatesDialog = [this] { ++dialogsShown; };
        host.site = server.Address();
        host.setMainWindowEnabled = [this](bool enabled) { mainEnabled.push_back(enabled); };
        host.openWithDesktop = [this](const std::string& path) { opened.push_back(path); };
        host.endProgram = [this] { ++ends; };
    }

    void PublishVersionFile(const std::string& content) {
        server.Publish("/documents/files/version.txt", content);
    }

    std::unique_ptr<Form5> OpenDialog() {
        auto dialog = std::make_unique<Form5>(host);
        dialog->Form_Load();
        return dialog;
    }

    std::string KvdFile(const std::string& name) const { return appData / ("KVD/" + name); }
};

TEST_F(UpdateCheck, StartUpAndDialogAnswerThePublishedVersion) {
    const struct {
        const char* what;
        const char* versionFile; // nullptr: no server
        bool startUpOffers;
        const char* shown;  // Label6
        const char* status; // Label7, nullptr for the error text
        bool offered;       // "YES" and "NO" rather than "OK"
    } cases[] = {
        {"newer", "VER=241\r\n", true, "2.4.1", kNewer, true},
        {"same", "VER=240\r\n", false, "2.4.0", kLatest, false},
        {"no version line", "NAME=Zembra\r\n", false, "0..", kLatest, false},
        // The start-up reader takes 1000, the dialog's three characters 100.
        {"four digits", "VER=1000\r\n", true, "1.0.0", kLatest, false},
        {"no server", nullptr, false, "Version not found", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        main.shared.PublishedVersion = 0;
        dialogsShown = 0;
        host.site = c.versionFile ? server.Address() : ClosedLoopbackAddress();
        if (c.versionFile)
            PublishVersionFile(c.versionFile);

        CheckVersionAtStartup(host);
        EXPECT_EQ(dialogsShown, c.startUpOffers ? 1 : 0);
        EXPECT_FALSE(std::filesystem::exists(KvdFile("version.txt")));

        auto dialog = OpenDialog();
        EXPECT_EQ(dialog->Label5.Caption(), "2.4.0");
        EXPECT_EQ(dialog->Label6.Caption(), c.shown);
        if (c.status) {
            EXPECT_EQ(dialog->Label7.Caption(), c.status);
            EXPECT_EQ(dialog->VersionNotFound, 0);
        } else {
            EXPECT_EQ(dialog->Label7.Caption(), "Error checking for updates.\r\nPlease visit " +
                                                    host.site + " to check for latest version.");
            EXPECT_EQ(dialog->VersionNotFound, 1);
        }
        EXPECT_EQ(dialog->Command2.Visible(), c.offered);
        EXPECT_EQ(dialog->Command3.Visible(), c.offered);
        EXPECT_EQ(dialog->Command1.Visible(), !c.offered);
        EXPECT_EQ(dialog->Command1.Caption(), "OK");
        EXPECT_FALSE(std::filesystem::exists(KvdFile("version.txt")));
    }
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(UpdateCheck, YesDownloadsTheInstallerOpensItAndEnds) {
    PublishVersionFile("VER=241\r\n");
    server.Publish("/documents/files/KVDv241setup.exe", "installer 2.4.1");
    auto dialog = OpenDialog();
    int refreshed = 0;
    dialog->Refresh = [&] {
        ++refreshed;
        EXPECT_EQ(dialog->Label7.Caption(), "Downloading Updates. Please Wait...");
        EXPECT_EQ(dialog->Command1.Caption(), "Cancel");
        EXPECT_TRUE(dialog->Command1.Visible());
        EXPECT_FALSE(dialog->Command2.Visible());
    };
    dialog->Command2.Click();

    EXPECT_EQ(refreshed, 1);
    const std::string installer = KvdFile("update.exe");
    ASSERT_EQ(opened, std::vector<std::string>{installer});
    EXPECT_EQ(ends, 1);
    std::ifstream in(installer);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "installer 2.4.1");
}

TEST_F(UpdateCheck, FailedInstallerDownloadIsReported) {
    PublishVersionFile("VER=241\r\n"); // and no installer: the server answers 404
    auto dialog = OpenDialog();
    dialog->Command2.Click();

    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(std::filesystem::exists(KvdFile("update.exe")));
    EXPECT_EQ(dialog->Label7.Caption(), "Error downloading updates.\r\nPlease visit " +
                                            server.Address() + " to download latest version.");
    EXPECT_EQ(dialog->Command1.Caption(), "OK");
    EXPECT_TRUE(dialog->Command1.Visible());
}

TEST_F(UpdateCheck, DialogHoldsTheMainWindowAndTheStartUpChoice) {
    PublishVersionFile("VER=240\r\n");
    for (const std::int16_t flag : {0, 1, 2}) {
        SCOPED_TRACE(flag);
        main.shared.UpdateOnStartup = flag;
        mainEnabled.clear();
        auto dialog = OpenDialog();
        int unloads = 0;
        dialog->onUnload = [&] { ++unloads; };
        EXPECT_EQ(mainEnabled, std::vector<bool>{false});
        EXPECT_EQ(dialog->Check1.Value(), flag == 1 ? 1 : 0);
        EXPECT_EQ(main.shared.UpdateOnStartup, flag); // loading changes nothing

        dialog->Check1.setValue(1);
        EXPECT_EQ(main.shared.UpdateOnStartup, 1);
        dialog->Check1.setValue(0);
        EXPECT_EQ(main.shared.UpdateOnStartup, 2);

        dialog->Command1.Click();
        EXPECT_EQ(mainEnabled, (std::vector<bool>{false, true}));
        EXPECT_EQ(unloads, 1);
    }
}

} // namespace
} // namespace zembra::testing
