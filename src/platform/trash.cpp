#include "platform/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zembra {

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    // Without HOME the user database still knows the home folder.
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : std::string();
}

std::string HomeTrashPath() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return std::string(data) + "/Trash";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/share/Trash";
}

// Creates every missing folder of an absolute path, private to the user.
bool MakeFolders(const std::string& path) {
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (at == std::string::npos)
            return true;
    }
}

// The files/ and info/ folders of one trash, opened without following links.
struct TrashFolders {
    Folder files;
    Folder info;
};

std::optional<TrashFolders> OpenTrash(const Folder& trash) {
    for (const char* sub : {"files", "info"})
        ::mkdirat(trash.fd(), sub, 0700);
    auto files = Folder::OpenIn(trash, "files");
    auto info = Folder::OpenIn(trash, "info");
    if (!files || !info)
        return std::nullopt;
    return TrashFolders{std::move(*files), std::move(*info)};
}

dev_t DeviceOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_dev : static_cast<dev_t>(-1);
}

// The top folder of the file system that holds the absolute path `folder`.
std::string TopFolder(std::string folder, dev_t device) {
    while (folder.size() > 1) {
        const auto slash = folder.find_last_of('/');
        const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
        struct stat st {};
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device)
            break;
        folder = parent;
    }
    return folder;
}

bool OwnedFolder(const Folder& folder) {
    struct stat st {};
    return ::fstat(folder.fd(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// $topdir/.Trash/$uid when an administrator made a sticky .Trash, else
// $topdir/.Trash-$uid, made private to the user when missing.
std::optional<TrashFolders> TopTrash(const std::string& top) {
    auto root = Folder::Open(top);
    if (!root)
        return std::nullopt;
    const std::string uid = std::to_string(::getuid());
    if (const auto shared = root->Status(".Trash");
        shared && S_ISDIR(shared->st_mode) && (shared->st_mode & S_ISVTX) != 0) {
        if (auto admin = Folder::OpenIn(*root, ".Trash")) {
            ::mkdirat(admin->fd(), uid.c_str(), 0700);
            if (auto mine = Folder::OpenIn(*admin, uid); mine && OwnedFolder(*mine))
                return OpenTrash(*mine);
        }
    }
    const std::string own = ".Trash-" + uid;
    ::mkdirat(root->fd(), own.c_str(), 0700);
    auto mine = Folder::OpenIn(*root, own);
    if (!mine || !OwnedFolder(*mine))
        return std::nullopt;
    return OpenTrash(*mine);
}

// The trash on the file system of `folder`, which a hard link can reach: the
// home trash, or on another file system the top-directory trash there. A home
// trash that cannot be made leaves no trash at all.
std::optional<TrashFolders> TrashFor(const Folder& folder, const std::string& folderPath) {
    const dev_t device = DeviceOf(folder.fd());
    const std::string home = HomeTrashPath();
    std::optional<Folder> trash;
    if (!home.empty() && MakeFolders(home))
        trash = Folder::Open(home, true);
    auto folders = trash ? OpenTrash(*trash) : std::nullopt;
    if (!folders)
        return std::nullopt;
    if (DeviceOf(folders->files.fd()) == device)
        return folders;
    auto top = TopTrash(TopFolder(folderPath, device));
    if (top && DeviceOf(top->files.fd()) == device)
        return top;
    errno = EXDEV;
    return std::nullopt;
}

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// "photo.jpg", then "photo.2.jpg", "photo.3.jpg"...: the extension stays last so
// a file manager still knows the picture.
std::string NumberedName(const std::string& name, int n) {
    if (n == 1)
        return name;
    const auto dot = name.find_last_of('.');
    const auto at = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, at) + "." + std::to_string(n) + name.substr(at);
}

// The absolute paths of the file `trashName` in a trash and of its record.
TrashedFile Located(const TrashFolders& trash, const std::string& trashName) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", trash.files.fd());
    char where[4096];
    const ssize_t length = ::readlink(path, where, sizeof where - 1);
    const std::string files = length > 0 ? std::string(where, length) : std::string();
    const std::string info = files.substr(0, files.find_last_of('/')) + "/info/";
    return TrashedFile{files + "/" + trashName, info + trashName + ".trashinfo"};
}

} // namespace

std::string TrashInfoText(std::string_view originalPath, std::string_view deletionDate) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : originalPath) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[u >> 4];
            escaped += kHex[u & 15];
        }
    }
    return "[Trash Info]\nPath=" + escaped + "\nDeletionDate=" + std::string(deletionDate) + "\n";
}

std::optional<TrashedFile> LinkIntoTrash(const Folder& folder, const std::string& name,
                                         const std::string& originalPath) {
    const auto trash = TrashFor(folder, SplitPath(originalPath).folder);
    if (!trash)
        return std::nullopt;
    const std::string text = TrashInfoText(originalPath, NowText());
    for (int n = 1; n < 1000; ++n) {
        const std::string trashName = NumberedName(name, n);
        const std::string infoName = trashName + ".trashinfo";
        // The record is made first and exclusively: it reserves the name.
        const int fd = trash->info.CreateNew(infoName, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return std::nullopt;
        const bool written = WriteWhole(fd, text.data(), text.size()) && ::fsync(fd) == 0;
        ::close(fd);
        if (written &&
            ::linkat(folder.fd(), name.c_str(), trash->files.fd(), trashName.c_str(), 0) == 0) {
            return Located(*trash, trashName);
        }
        const int error = errno;
        trash->info.Remove(infoName);
        if (written && error == EEXIST)
            continue;
        errno = error;
        return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

std::optional<TrashedFile> FindTrashed(const std::string& originalPath, std::uint64_t device,
                                       std::uint64_t inode) {
    const std::string folderPath = SplitPath(originalPath).folder;
    const auto folder = Folder::Open(folderPath.empty() ? "/" : folderPath);
    const auto trash = folder ? TrashFor(*folder, folderPath) : std::nullopt;
    const int listing =
        trash ? ::openat(trash->files.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (dir == nullptr) {
        if (listing >= 0)
            ::close(listing);
        return std::nullopt;
    }
    std::optional<TrashedFile> found;
    while (const dirent* entry = ::readdir(dir)) {
        const auto st = trash->files.Status(entry->d_name);
        if (st && S_ISREG(st->st_mode) && st->st_dev == device && st->st_ino == inode) {
            found = Located(*trash, entry->d_name);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

void ForgetTrashed(const TrashedFile& trashed) {
    ::unlink(trashed.file.c_str());
    ::unlink(trashed.info.c_str());
}

} // namespace zembra
