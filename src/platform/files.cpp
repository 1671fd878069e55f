#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace zembra {

namespace {

constexpr std::string_view kTemporaryPrefix = ".~zembra-";
constexpr std::size_t kNameMax = 255; // bytes in one name on Linux file systems

bool ProcessAlive(int pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// "a.jpgexif.JPG" for "a.jpg": the copy that keeps a JPEG's EXIF block while the
// picture is rewritten. The source it came from, or empty for other names.
std::string ExifCopySource(const std::string& name) {
    const auto at = name.rfind("exif.");
    if (at == std::string::npos || at == 0)
        return {};
    std::string ext = name.substr(at + 4);
    for (auto& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext != ".JPG" && ext != ".JPEG" && ext != ".JPE" && ext != ".JFIF")
        return {};
    return name.substr(0, at);
}

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

std::optional<Bytes> Files::ReadHead(const std::string& path, std::size_t most) const {
    if (!Exists(path))
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    Bytes bytes;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok)
        bytes.resize(std::min(static_cast<std::size_t>(st.st_size), most));
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

int Files::RemoveLeftovers(const std::string& folder) {
    const fs::path where = folder.empty() ? fs::path(".") : fs::path(folder);
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::string name = it->path().filename().string();
        const int owner = TemporaryOwner(name);
        if (owner > 0) {
            if (owner != ::getpid() && !ProcessAlive(owner))
                doomed.push_back(it->path());
            continue;
        }
        // An EXIF copy is only taken away while its source still holds the same bytes.
        const std::string source = ExifCopySource(name);
        if (source.empty() || !Exists((where / source).string()))
            continue;
        const auto copy = ReadAll(it->path().string());
        if (copy && copy == ReadAll((where / source).string()))
            doomed.push_back(it->path());
    }
    int removed = 0;
    for (const auto& path : doomed)
        removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
    return removed;
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
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // The name keeps its extension, since encoders are chosen by extension.
    for (;;) {
        const std::string prefix = std::string(kTemporaryPrefix) + std::to_string(::getpid()) +
                                   "-" + std::to_string(counter++) + "-";
        // A name near the length limit must stay writable: its stem gives way.
        if (prefix.size() + name.size() > kNameMax) {
            const auto dot = name.find_last_of('.');
            const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
            const std::size_t room = kNameMax - prefix.size() - std::min(ext.size(), kNameMax / 2);
            name = name.substr(0, std::min(room, dot == std::string::npos ? name.size() : dot)) +
                   ext.substr(0, kNameMax / 2);
        }
        std::string candidate = folder + prefix + name;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0)
            return candidate;
    }
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
