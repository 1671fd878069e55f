#include "platform/files.h"

#include "platform/file_mode.h"
#include "platform/folder.h"
#include "platform/trash.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zembra {

namespace {

constexpr std::string_view kTemporaryPrefix = ".~zembra-";
constexpr std::size_t kNameMax = 255; // bytes in one name on Linux file systems

thread_local std::optional<TrashedFile> lastTrashed;

bool ProcessAlive(int pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// What a run keeps open, by the path it was given; shared with the threads
// that read through it.
template <typename T> class KeptByPath {
  public:
    std::shared_ptr<const T> Find(const std::string& path) {
        const std::lock_guard lock(mutex_);
        const auto it = kept_.find(path);
        return it == kept_.end() ? nullptr : it->second;
    }
    void Keep(const std::string& path, std::shared_ptr<const T> value) {
        const std::lock_guard lock(mutex_);
        kept_[path] = std::move(value);
    }
    void Forget(const std::string& path) {
        const std::lock_guard lock(mutex_);
        kept_.erase(path);
    }
    void Clear() {
        const std::lock_guard lock(mutex_);
        kept_.clear();
    }

  private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const T>> kept_;
};

// The folders a run works in, each opened once when the run starts.
KeptByPath<Folder>& OpenRunFolders() {
    static KeptByPath<Folder> folders;
    return folders;
}

// An open file, closed with its last user.
struct OpenFile {
    int fd;
    explicit OpenFile(int f) : fd(f) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { ::close(fd); }
};

// The sources a run holds open.
KeptByPath<OpenFile>& Held() {
    static KeptByPath<OpenFile> held;
    return held;
}

// "dir/" and "dir" are one folder.
std::string FolderKey(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// The folder of `path` with the name in it: the run's own handle when a run
// opened that folder, else one opened now.
struct Located {
    std::shared_ptr<const Folder> folder;
    std::string name;
    explicit operator bool() const { return folder != nullptr && !name.empty(); }
};

Located Locate(const std::string& path) {
    if (path.empty())
        return {};
    PathParts parts = SplitPath(path);
    const std::string key = FolderKey(parts.folder);
    auto folder = OpenRunFolders().Find(key);
    if (!folder) {
        if (auto opened = Folder::Open(key))
            folder = std::make_shared<const Folder>(std::move(*opened));
    }
    return {std::move(folder), std::move(parts.name)};
}

bool SameFolder(const Folder& a, const Folder& b) {
    struct stat sa {
    }, sb{};
    return ::fstat(a.fd(), &sa) == 0 && ::fstat(b.fd(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Reads from the start at positions of its own, so a held file serves each
// reader alike.
bool CopyContent(int from, int to) {
    std::vector<std::uint8_t> buffer(1 << 16);
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(from, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteWhole(to, buffer.data(), static_cast<std::size_t>(n)))
            return false;
        at += n;
    }
}

// The source held for `path`, or one opened now (a symlink the user named is
// followed); -1 when neither. The caller closes what it gets.
int OpenSource(const std::string& path) {
    if (const auto held = Held().Find(path))
        return ::fcntl(held->fd, F_DUPFD_CLOEXEC, 0);
    const Located at = Locate(path);
    return at ? at.folder->OpenRead(at.name, true) : -1;
}

// Closes `fd` and, unless `keep`, removes the temporary it was made as, keeping
// the errno of the step that failed.
bool Finish(int fd, bool keep, const Folder& folder, const std::string& temporary) {
    keep = (::close(fd) == 0) && keep;
    if (!keep) {
        const int error = errno;
        folder.Remove(temporary);
        errno = error;
    }
    return keep;
}

} // namespace

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

bool Files::Exists(const std::string& path) const {
    const Located at = Locate(path);
    struct stat st {};
    return at && ::fstatat(at.folder->fd(), at.name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
}

bool Files::Taken(const std::string& path) const {
    const Located at = Locate(path);
    return at && at.folder->Taken(at.name);
}

bool Files::Rename(const std::string& from, const std::string& to) {
    const Located source = Locate(from);
    const Located target = Locate(to);
    return source && target &&
           source.folder->MoveNoReplace(source.name, *target.folder, target.name);
}

bool Files::Copy(const std::string& from, const std::string& to) {
    const Located target = Locate(to);
    if (!target)
        return false;
    const int in = OpenSource(from);
    if (in < 0)
        return false;
    struct stat st {};
    std::string temporary;
    int out = -1;
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode))
        out = target.folder->CreateTemporary(target.name, S_IRUSR | S_IWUSR, temporary);
    if (out < 0) {
        ::close(in);
        return false;
    }
    // A copy keeps the time the picture was last changed, as file managers do.
    const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    bool ok = CopyContent(in, out) && ::fchmod(out, NewFileMode(st.st_mode, ProcessUmask())) == 0 &&
              ::futimens(out, times) == 0;
    ::close(in);
    ok = Finish(out, ok, *target.folder, temporary);
    if (ok && !target.folder->MoveNoReplace(temporary, *target.folder, target.name)) {
        const int error = errno;
        target.folder->Remove(temporary);
        errno = error;
        return false;
    }
    return ok;
}

bool Files::Remove(const std::string& path) {
    const Located at = Locate(path);
    return Exists(path) && at.folder->Remove(at.name);
}

bool Files::TakeMode(const std::string& source, const std::string& file) {
    const Located at = Locate(file);
    struct stat st {};
    if (!at || ::stat(source.c_str(), &st) != 0)
        return false;
    const int fd = at.folder->OpenRead(at.name, false);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, NewFileMode(st.st_mode, ProcessUmask())) == 0;
    return (::close(fd) == 0) && ok;
}

Disposal Files::ReplaceOriginal(const std::string& from, const std::string& original) {
    const Located source = Locate(from);
    const Located target = Locate(original);
    if (!source || !target || !SameFolder(*source.folder, *target.folder))
        return Disposal::Failed;
    // An original reached through a symlink lends the file's permissions, not
    // the link's.
    struct stat old {};
    const bool found = ::fstatat(target.folder->fd(), target.name.c_str(), &old, 0) == 0;
    const int fd = source.folder->OpenRead(source.name, false);
    if (!found || fd < 0) {
        if (fd >= 0)
            ::close(fd);
        return Disposal::Failed;
    }
    const bool kept = KeepOriginalMode(fd, old);
    ::close(fd);
    if (!kept)
        return Disposal::Failed;
    // The trash holds the original before anything takes its name, so the
    // picture is in one place or the other at every moment.
    const auto trashed = LinkIntoTrash(*target.folder, target.name, AbsolutePath(original));
    if (!target.folder->MoveReplacing(source.name, target.name)) {
        if (trashed)
            ForgetTrashed(*trashed);
        return Disposal::Failed;
    }
    lastTrashed = trashed;
    return trashed ? Disposal::Trashed : Disposal::Deleted;
}

Disposal Files::Discard(const std::string& original) {
    const Located at = Locate(original);
    if (!at || !Exists(original))
        return Disposal::Failed;
    const auto trashed = LinkIntoTrash(*at.folder, at.name, AbsolutePath(original));
    if (!at.folder->Remove(at.name)) {
        if (trashed)
            ForgetTrashed(*trashed);
        return Disposal::Failed;
    }
    lastTrashed = trashed;
    return trashed ? Disposal::Trashed : Disposal::Deleted;
}

std::optional<TrashedFile> Files::LastTrashed() const {
    return lastTrashed;
}

bool Files::WriteProtected(const std::string& path) const {
    const Located at = Locate(path);
    return at && zembra::WriteProtected(at.folder->fd(), at.name);
}

bool Files::Flush(const std::string& path) {
    const Located at = Locate(path);
    const int fd = at ? at.folder->OpenRead(at.name, false) : -1;
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

std::optional<Bytes> Files::ReadHead(const std::string& path, std::size_t most) const {
    const int fd = OpenSource(path);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    Bytes bytes;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok)
        bytes.resize(std::min(static_cast<std::size_t>(st.st_size), most));
    // The size it had when opened; a file that shrinks meanwhile gives what is left.
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n >= 0;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ok)
        return std::nullopt;
    bytes.resize(done);
    return bytes;
}

bool Files::WriteAll(const std::string& path, const Bytes& bytes) {
    const Located at = Locate(path);
    if (!at)
        return false;
    const auto old = at.folder->Status(at.name);
    std::string temporary;
    const int fd = at.folder->CreateTemporary(at.name, 0666, temporary);
    if (fd < 0)
        return false;
    // A file that takes the place of another is synced before it moves there, so
    // a crash cannot leave an empty file where a picture was.
    bool ok = WriteWhole(fd, bytes.data(), bytes.size()) &&
              (!old || (KeepOriginalMode(fd, *old) && ::fsync(fd) == 0));
    if (!Finish(fd, ok, *at.folder, temporary))
        return false;
    // Only a file is replaced; whatever else holds the name stays.
    ok = old && S_ISREG(old->st_mode) ? at.folder->MoveReplacing(temporary, at.name)
                                      : at.folder->MoveNoReplace(temporary, *at.folder, at.name);
    if (!ok) {
        const int error = errno;
        at.folder->Remove(temporary);
        errno = error;
    }
    return ok;
}

int Files::RemoveLeftovers(const std::string& folder) {
    auto opened = Folder::Open(FolderKey(folder));
    if (!opened)
        return 0;
    const auto kept = std::make_shared<const Folder>(std::move(*opened));
    OpenRunFolders().Keep(FolderKey(folder), kept);
    const int listing = ::openat(kept->fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (dir == nullptr) {
        if (listing >= 0)
            ::close(listing);
        return 0;
    }
    std::vector<std::string> doomed;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const int owner = TemporaryOwner(name);
        const auto st = owner > 0 ? kept->Status(name) : std::nullopt;
        if (st && S_ISREG(st->st_mode) && owner != ::getpid() && !ProcessAlive(owner))
            doomed.push_back(name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const auto& name : doomed)
        removed += kept->Remove(name) ? 1 : 0;
    return removed;
}

void Files::ReleaseFolders() {
    OpenRunFolders().Clear();
    Held().Clear();
}

bool Files::HoldSource(const std::string& path) {
    const Located at = Locate(path);
    const int fd = at ? at.folder->OpenRead(at.name, true) : -1;
    if (fd < 0)
        return false;
    Held().Keep(path, std::make_shared<const OpenFile>(fd));
    return true;
}

void Files::LetGoSource(const std::string& path) {
    Held().Forget(path);
}

Files& Files::Local() {
    static Files local;
    return local;
}

std::string TemporarySibling(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, 0) != sizeof random)
        random = (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(random));
    const std::string prefix =
        std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-" + hex + "-";
    // The name keeps its extension, since encoders are chosen by extension. A
    // name near the length limit must stay writable: its stem gives way.
    if (prefix.size() + name.size() > kNameMax) {
        const auto dot = name.find_last_of('.');
        const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
        const std::size_t room = kNameMax - prefix.size() - std::min(ext.size(), kNameMax / 2);
        name = name.substr(0, std::min(room, dot == std::string::npos ? name.size() : dot)) +
               ext.substr(0, kNameMax / 2);
    }
    return folder + prefix + name;
}

int TemporaryOwner(const std::string& fileName) {
    if (fileName.compare(0, kTemporaryPrefix.size(), kTemporaryPrefix) != 0)
        return 0;
    int pid = 0;
    std::size_t i = kTemporaryPrefix.size();
    for (; i < fileName.size() && std::isdigit(static_cast<unsigned char>(fileName[i])); ++i) {
        if (pid > 9999999)
            return 0;
        pid = pid * 10 + (fileName[i] - '0');
    }
    return i < fileName.size() && fileName[i] == '-' ? pid : 0;
}

} // namespace zembra
