#include "platform/folder.h"

#include "platform/files.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zembra {

std::optional<Folder> Folder::Open(const std::string& path, bool noFollow) {
    // O_PATH: a folder the user may enter but not list still serves every step.
    const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0);
    const int fd = ::open(path.empty() ? "." : path.c_str(), flags);
    if (fd < 0)
        return std::nullopt;
    return Folder(fd);
}

std::optional<Folder> Folder::OpenIn(const Folder& parent, const std::string& name) {
    const int fd =
        ::openat(parent.fd_, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return Folder(fd);
}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

Folder::~Folder() {
    if (fd_ >= 0)
        ::close(fd_);
}

int Folder::CreateNew(const std::string& name, mode_t mode) const {
    return ::openat(fd_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

int Folder::CreateTemporary(const std::string& like, mode_t mode, std::string& name) const {
    for (int tries = 0; tries < 100; ++tries) {
        name = SplitPath(TemporarySibling(like)).name;
        const int fd = CreateNew(name, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

int Folder::OpenRead(const std::string& name, bool follow) const {
    return ::openat(fd_, name.c_str(), O_RDONLY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
}

bool Folder::Taken(const std::string& name) const {
    struct stat st {};
    return ::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

std::optional<struct stat> Folder::Status(const std::string& name) const {
    struct stat st {};
    if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return st;
}

bool Folder::MoveNoReplace(const std::string& from, const Folder& target,
                           const std::string& to) const {
    if (::renameat2(fd_, from.c_str(), target.fd_, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::linkat(fd_, from.c_str(), target.fd_, to.c_str(), 0) != 0)
        return false;
    return ::unlinkat(fd_, from.c_str(), 0) == 0;
}

bool Folder::MoveReplacing(const std::string& from, const std::string& to) const {
    return ::renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
}

bool Folder::Remove(const std::string& name) const {
    return ::unlinkat(fd_, name.c_str(), 0) == 0;
}

bool WriteWhole(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

PathParts SplitPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {std::string(), path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

} // namespace zembra
