// The start-up check and the updates dialog against a web server on 127.0.0.1:
// what each offers for the published versions, and the installer download.
#include "support/loopback_server.h"
#include "support/scripted_services.h"
#include "update/form5.h"

#include <gtest/gtest.h>

#include <memory>

namespace zembra::testing {
namespace {

class UpdateCheck : public ::testing::Test {
  protected:
    ScriptedServices services;
    Form1 main{services};
    TempDir appData;
    LoopbackServer server;
    UpdateHost host{main, services};
    int dialogsShown = 0, ends = 0;
    std::vector<std::string> opened;

    void SetUp() override {
        ASSERT_TRUE(server.Running());
        main.Form_Load();
        main.shared.AppDataFolder = appData.Path();
        main.ShowUpdatesDialog = [this] { ++dialogsShown; };
        host.site = server.Address();
        host.openWithDesktop = [this](const std::string& path) { opened.push_back(path); };
        host.endProgram = [this] { ++ends; };
    }
    std::unique_ptr<Form5> OpenDialog(const std::string& versionFile) {
        server.Publish("/documents/files/version.txt", versionFile);
        auto dialog = std::make_unique<Form5>(host);
        dialog->Form_Load();
        return dialog;
    }
    std::string Kvd(const std::string& name) const { return appData / ("KVD/" + name); }
};

TEST_F(UpdateCheck, StartUpAndDialogAnswerThePublishedVersion) {
    const std::string latest = "You are currently running the latest version.";
    const struct {
        const char* versionFile; // nullptr: nothing answers
        bool startUpOffers;
        const char* shown; // Label6
        std::string status;
    } cases[] = {
        {"VER=241\r\n", true, "2.4.1",
         "A newer version is currently available.\r\nWould you like to update?"},
        {"VER=240\r\n", false, "2.4.0", latest},
        {"NAME=Zembra\r\n", false, "0..", latest},
        // The start-up reader takes 1000, the dialog's three characters 100.
        {"VER=1000\r\n", true, "1.0.0", latest},
        {nullptr, false, "Version not found",
         "Error checking for updates.\r\nPlease visit " + server.RefusingAddress() +
             " to check for latest version."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        main.shared.PublishedVersion = 0;
        dialogsShown = 0;
        host.site = c.versionFile ? server.Address() : server.RefusingAddress();
        server.Publish("/documents/files/version.txt", c.versionFile ? c.versionFile : "");
        CheckVersionAtStartup(host);
        EXPECT_EQ(dialogsShown, c.startUpOffers ? 1 : 0);

        auto dialog = OpenDialog(c.versionFile ? c.versionFile : "");
        EXPECT_EQ(dialog->Label5.Caption(), "2.4.0");
        EXPECT_EQ(dialog->Label6.Caption(), c.shown);
        EXPECT_EQ(dialog->Label7.Caption(), c.status);
        EXPECT_EQ(dialog->VersionNotFound, c.versionFile ? 0 : 1);
        const bool offered = c.status == cases[0].status;
        EXPECT_EQ(dialog->Command2.Visible() && dialog->Command3.Visible(), offered);
        EXPECT_EQ(dialog->Command1.Visible(), !offered);
        EXPECT_FALSE(std::filesystem::exists(Kvd("version.txt")));
    }
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(UpdateCheck, YesDownloadsTheInstallerAndOpensItOrSaysItFailed) {
    auto failing = OpenDialog("VER=241\r\n"); // no installer yet: the server answers 404
    failing->Command2.Click();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(failing->Label7.Caption(), "Error downloading updates.\r\nPlease visit " +
                                             server.Address() + " to download latest version.");
    EXPECT_EQ(failing->Command1.Caption(), "OK");
    EXPECT_EQ(ends, 0);

    server.Publish("/documents/files/KVDv241setup.exe", "installer 2.4.1");
    auto dialog = OpenDialog("VER=241\r\n");
    dialog->Refresh = [&] {
        EXPECT_EQ(dialog->Label7.Caption(), "Downloading Updates. Please Wait...");
        EXPECT_EQ(dialog->Command1.Caption(), "Cancel");
    };
    dialog->Command2.Click();
    ASSERT_EQ(opened, std::vector<std::string>{Kvd("update.exe")});
    EXPECT_EQ(ends, 1);
    std::string content;
    std::getline(std::ifstream(Kvd("update.exe")), content);
    EXPECT_EQ(content, "installer 2.4.1");
}

// The main window's disabling is the window's own test.
TEST_F(UpdateCheck, DialogHoldsTheStartUpChoice) {
    main.shared.UpdateOnStartup = 1;
    auto dialog = OpenDialog("VER=240\r\n");
    EXPECT_EQ(dialog->Check1.Value(), 1);
    dialog->Check1.setValue(0);
    EXPECT_EQ(main.shared.UpdateOnStartup, 2);
    dialog->Check1.setValue(1);
    EXPECT_EQ(main.shared.UpdateOnStartup, 1);
}

} // namespace
} // namespace zembra::testing
