#include "platform/config_folder.h"

#include "platform/user_dirs.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zembra {

namespace {

// Symlink hops followed before giving up, as the kernel's own limit.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a write to `path` lands: the path itself, or the end of its chain of
// symlinks. Empty for a loop or an unreadable link.
std::string FinalTarget(std::string path) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size())
            return {};
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
    }
    return {};
}

bool WriteWhole(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::string UserConfigFolder() {
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

bool MakePrivateFolders(const std::string& folder) {
    if (folder.empty())
        return false;
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            break;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReplaceSettingsFile(const std::string& path, std::string_view text) {
    const std::string target = FinalTarget(path);
    if (target.empty())
        return false;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists) {
        // A file the user made read-only says "leave me as I am", even to root.
        if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 ||
            ::access(target.c_str(), W_OK) != 0)
            return false;
    }

    std::string temporary = FolderOf(target) + "/.config.txt-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // O_CREAT | O_EXCL, mode 0600
    if (fd < 0)
        return false;
    bool ok = WriteWhole(fd, text);
    if (ok && exists) {
        ok = ::fchmod(fd, old.st_mode & 0777) == 0;
        // Root writing a user's file hands it back to the user.
        if (ok && ::geteuid() == 0 && old.st_uid != 0)
            ok = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace zembra
