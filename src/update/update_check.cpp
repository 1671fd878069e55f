#include "update/update_check.h"

#include "main/settings_file.h"
#include "platform/config_folder.h"

namespace zembra {

// Without a settings folder there is no path: never one at the root.
std::string VersionFilePath(const SharedValues& shared) {
    return shared.AppDataFolder.empty() ? std::string()
                                        : SettingsFolder(shared.AppDataFolder) + "/version.txt";
}

std::string UpdateInstallerPath(const SharedValues& shared) {
    return shared.AppDataFolder.empty() ? std::string()
                                        : SettingsFolder(shared.AppDataFolder) + "/update.exe";
}

void FetchVersionFile(UpdateHost& host) {
    const SharedValues& shared = host.main.shared;
    // Without a home there is no settings folder to fetch into; the check fails
    // as an unreachable site does.
    if (shared.AppDataFolder.empty())
        return;
    const std::string path = VersionFilePath(shared);
    // The folder appears with the first settings write; the first check may come
    // before it.
    MakePrivateFolders(SettingsFolder(shared.AppDataFolder));
    // A version file left from an earlier run must not answer for a failed download.
    host.files.Remove(path);
    DownloadFile(host.site + std::string(kVersionFilePath), path, host.versionLimits);
    host.services.DoEvents();
}

VersionFileRead ReadVersionFile(UpdateHost& host, VersionDigits digits) {
    const std::string path = VersionFilePath(host.main.shared);
    const auto bytes = host.files.ReadAll(path);
    if (!bytes)
        return {.version = std::nullopt, .failed = true};
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    VersionFileRead read = ReadVersionText(text, digits);
    host.files.Remove(path);
    if (read.version)
        host.main.shared.PublishedVersion = *read.version;
    return read;
}

void CheckVersionAtStartup(UpdateHost& host) {
    FetchVersionFile(host);
    // The main window's reader is silent: a failed check only leaves the
    // published version as it was.
    ReadVersionFile(host, VersionDigits::WholeLine);
    // The main window has no place for the published version; the dialog shows it.
    if (RunningVersionNumber() >= host.main.shared.PublishedVersion)
        return;
    if (host.main.ShowUpdatesDialog)
        host.main.ShowUpdatesDialog();
}

} // namespace zembra
