#include "update/update_check.h"

#include <filesystem>

namespace zembra {

std::string UpdateFolder(const SharedValues& shared) {
    return shared.AppDataFolder + "/KVD";
}

std::string VersionFilePath(const SharedValues& shared) {
    return UpdateFolder(shared) + "/version.txt";
}

std::string UpdateInstallerPath(const SharedValues& shared) {
    return UpdateFolder(shared) + "/update.exe";
}

void FetchVersionFile(UpdateHost& host) {
    const SharedValues& shared = host.main.shared;
    const std::string path = VersionFilePath(shared);
    // The folder appears with the first settings write; the first check may come
    // before it.
    std::error_code ignored;
    std::filesystem::create_directories(UpdateFolder(shared), ignored);
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
