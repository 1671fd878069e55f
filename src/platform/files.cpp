#include "platform/files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace zembra {

namespace {

// A file that takes the place of another is synced before it moves there, so a
// crash cannot leave an empty file where a picture was.
bool WriteFile(const std::string& path, const Bytes& bytes, bool durable) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    bool ok = true;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            ok = false;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    ok = ok && (!durable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (!ok)
        ::unlink(path.c_str());
    return ok;
}

} // namespace

bool Files::Exists(const std::string& path) const {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Files::Rename(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty())
        return false;
    // Never replace a file that is already there: a rename must not lose a picture.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing target.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    return ::unlink(from.c_str()) == 0;
}

bool Files::Copy(const std::string& from, const std::string& to) {
    if (!Exists(from) || to.empty())
        return false;
    const std::string temporary = TemporarySibling(to);
    std::error_code ec;
    if (!fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(temporary, ec);
        return false;
    }
    // A copy keeps the time the picture was last changed, as file managers do.
    fs::last_write_time(temporary, fs::last_write_time(from, ec), ec);
    if (std::rename(temporary.c_str(), to.c_str()) != 0) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool Files::Remove(const std::string& path) {
    return Exists(path) && ::unlink(path.c_str()) == 0;
}

bool Files::Replace(const std::string& from, const std::string& to) {
    return Exists(from) && !to.empty() && std::rename(from.c_str(), to.c_str()) == 0;
}

bool Files::Flush(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

std::optional<Bytes> Files::ReadAll(const std::string& path) const {
    if (!Exists(path))
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    Bytes bytes;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok)
        bytes.resize(static_cast<std::size_t>(st.st_size));
    // The size it had when opened; a file that shrinks meanwhile gives what is left.
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
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
    if (path.empty())
        return false;
    const std::string temporary = TemporarySibling(path);
    if (!WriteFile(temporary, bytes, Exists(path)))
        return false;
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

Files& Files::Local() {
    static Files local;
    return local;
}

std::string TemporarySibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // The name keeps its extension, since encoders are chosen by extension.
    for (;;) {
        std::string candidate = folder + ".~zembra-" + std::to_string(::getpid()) + "-" +
                                std::to_string(counter++) + "-" + name;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0)
            return candidate;
    }
}

} // namespace zembra
