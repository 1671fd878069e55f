// The start-up check and the updates dialog against a web server on 127.0.0.1:
// what each offers for the published versions, and the installer download; the
// version file as the two readers see it, and which addresses may stand in for the
// maker's site.
#include "main/form_fixture.h"
#include "platform/download.h"
#include "support/loopback_server.h"
#include "update/form5.h"
#include "update/update_site.h"
#include "update/version_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

namespace zembra::testing {
namespace {

std::string Content(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

class UpdateCheck : public FormTest {
  protected:
    LoopbackServer server;
    UpdateHost host{form, services};
    int dialogsShown = 0, ends = 0;
    std::vector<std::string> opened;

    void SetUp() override {
        ASSERT_TRUE(server.Running());
        FormTest::SetUp();
        form.shared.AppDataFolder = dir.Path();
        form.ShowUpdatesDialog = [this] { ++dialogsShown; };
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
    std::string Kvd(const std::string& name) const { return dir / ("KVD/" + name); }
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
        form.shared.PublishedVersion = 0;
        dialogsShown = 0;
        host.site = c.versionFile ? server.Address() : server.RefusingAddress();
        server.Publish("/documents/files/version.txt", c.versionFile ? c.versionFile : "");
        CheckVersionAtStartup(host);
        EXPECT_EQ(dialogsShown, c.startUpOffers ? 1 : 0);

        auto dialog = OpenDialog(c.versionFile ? c.versionFile : "");
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
    EXPECT_EQ(Content(Kvd("update.exe")), "installer 2.4.1");
}

// With the window's thread given, downloads run beside it: "Cancel" stops one that
// a silent server holds, and its partial file goes; nothing opens, nothing ends.
TEST_F(UpdateCheck, CancelDuringTheInstallerDownloadStopsItAndRemovesThePartialFile) {
    auto dialog = OpenDialog("VER=241\r\n");
    std::mutex lock;
    std::vector<std::function<void()>> posted;
    host.post = [&](std::function<void()> work) {
        const std::lock_guard hold(lock);
        posted.push_back(std::move(work));
    };
    host.site = server.SilentAddress();
    dialog->Command2.Click();
    EXPECT_TRUE(dialog->Downloading());
    const auto kvdFiles = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "KVD"))
            names.push_back(entry.path().filename().string());
        return names;
    };
    for (int i = 0; i < 200 && kvdFiles().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(kvdFiles().size(), 1u); // the partial file, under a temporary name

    dialog->Command1.Click(); // "Cancel"
    EXPECT_FALSE(dialog->Downloading());
    EXPECT_TRUE(kvdFiles().empty());
    for (const auto& work : posted)
        work(); // a late answer changes nothing
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(ends, 0);
}

// The main window's disabling is the window's own test.
TEST_F(UpdateCheck, DialogHoldsTheStartUpChoice) {
    form.shared.UpdateOnStartup = 1;
    auto dialog = OpenDialog("VER=240\r\n");
    EXPECT_EQ(dialog->Check1.Value(), 1);
    dialog->Check1.setValue(0);
    EXPECT_EQ(form.shared.UpdateOnStartup, 2);
    dialog->Check1.setValue(1);
    EXPECT_EQ(form.shared.UpdateOnStartup, 1);
}

// Downloads land whole or not at all: error statuses, refused connections, silent
// servers and oversized answers leave the destination as it was.
TEST_F(UpdateCheck, DownloadsLandWholeOrNotAtAll) {
    // Several of libcurl's writes, and bytes that text handling would change.
    std::string body(100000, '\r');
    body[5000] = '\0';
    server.Publish("/setup.exe", body);
    server.Publish("/folder/index.txt", "listed"); // "/folder" redirects to http ".../folder/"
    dir.Write("setup.exe", "older");
    ASSERT_TRUE(DownloadFile(server.Address() + "/setup.exe", dir / "setup.exe"));
    EXPECT_EQ(Content(dir / "setup.exe"), body);

    const DownloadLimits quick{.connectSeconds = 1, .totalSeconds = 1, .maxBytes = 99999};
    for (const std::string& url :
         {server.Address() + "/missing.exe", server.RefusingAddress() + "/setup.exe",
          server.SilentAddress() + "/setup.exe", server.Address() + "/setup.exe" /* too big */,
          server.Address() + "/folder", std::string("file:///etc/hostname")}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(DownloadFile(url, dir / "fresh.exe", quick));
        EXPECT_FALSE(DownloadFile(url, dir / "setup.exe", quick));
        EXPECT_EQ(Content(dir / "setup.exe"), body);
        EXPECT_EQ(dir.Listing(), "setup.exe"); // nothing else, no temporary file
    }
}

constexpr auto Whole = VersionDigits::WholeLine;
constexpr auto Three = VersionDigits::ThreeCharacters;

TEST(ReadVersionText, ReadsTheLastVersionLineUntilAFailure) {
    const struct {
        const char* text;
        VersionDigits digits;
        std::optional<std::int16_t> version;
        bool failed;
    } cases[] = {
        {"ver=241\n VER=241\nNOTES=fixes", Whole, std::nullopt, false}, // key at the start, exact
        {"VER=99999", Whole, std::nullopt, true},                       // beyond 16 bits
        {"VER=2E4", Three, 20000, false}, // three characters may still be large
        {"VER=240\nVER=241", Whole, 241, false},
        // A value that is no number stops the reading; what came before stays.
        {"VER=241\nVER=abc\nVER=300", Whole, 241, true},
        {"VER= 2.5 ", Whole, 2, false}, // halves round to even
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << (c.digits == Whole ? " whole" : " three"));
        const VersionFileRead read = ReadVersionText(c.text, c.digits);
        EXPECT_EQ(read.version, c.version);
        EXPECT_EQ(read.failed, c.failed);
    }
}

TEST(LoopbackSite, OnlyPlainHttpOnThisMachineMayReplaceTheMakersSite) {
    EXPECT_EQ(LoopbackSite("http://127.0.0.1:8000/"), "http://127.0.0.1:8000");
    EXPECT_EQ(LoopbackSite("http://[::1]"), "http://[::1]");
    for (const char* refused : {"https://127.0.0.1:8000", "http://127.0.0.1:", "http://127.0.0.10",
                                "http://localhost:80/documents", "http://localhost.example.com",
                                "http://127.0.0.1@example.com"})
        EXPECT_EQ(LoopbackSite(refused), std::nullopt) << refused;
}

} // namespace
} // namespace zembra::testing
