#pragma once
// The update check: the published version is fetched into the settings folder,
// read, and compared with this program's version; a newer one is offered in the
// updates dialog.

#include "main/form1.h"
#include "platform/download.h"
#include "platform/files.h"
#include "platform/services.h"
#include "update/background_download.h"
#include "update/update_site.h"
#include "update/version_file.h"

#include <functional>
#include <memory>
#include <string>

namespace zembra {

// What the update check and its dialog need from the program that hosts them.
struct UpdateHost {
    UpdateHost(Form1& mainWindow, Services& hostServices)
        : main(mainWindow), services(hostServices) {}

    Form1& main;
    Services& services;
    Files& files = Files::Local();
    std::string site = UpdateSiteAddress();
    // The version file is small: a check must never hold start-up for long.
    DownloadLimits versionLimits{.connectSeconds = 3, .totalSeconds = 4, .maxBytes = 64 << 10};
    DownloadLimits installerLimits{.connectSeconds = 3, .totalSeconds = 900, .maxBytes = 1LL << 30};

    // The main window takes no input while the updates dialog is open.
    std::function<void(bool enabled)> setMainWindowEnabled;
    // Opens a file with the desktop's opener; the installer is started this way.
    std::function<void(const std::string& path)> openWithDesktop;
    // Ends the program at once, without the main window's closing steps.
    std::function<void()> endProgram;
    // Hands work to the window's thread; set, downloads run on a thread of their
    // own and never hold the window. Unset, they run in turn (tests).
    PostToWindow post;
    // The start-up check's download while it runs.
    std::unique_ptr<BackgroundDownload> startUpCheck;
};

// The check downloads into the settings folder, beside config.txt.
std::string VersionFilePath(const SharedValues& shared);
std::string UpdateInstallerPath(const SharedValues& shared);

// Downloads the version file into the settings folder, then lets pending
// messages run once and runs `then` on the window's thread. A failed download
// leaves no version file. The transfer stops when the answer is destroyed.
std::unique_ptr<BackgroundDownload> FetchVersionFile(UpdateHost& host, std::function<void()> then);

// Reads version.txt of the settings folder and deletes it. A missing file is a
// failure like an unreadable value; PublishedVersion takes the last value read.
VersionFileRead ReadVersionFile(UpdateHost& host, VersionDigits digits);

// The start-up check: silent unless the published version is newer, in which case
// the main window shows the updates dialog once the version file has come in.
void CheckVersionAtStartup(UpdateHost& host);

} // namespace zembra
