#include "platform/file_mode.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zembra {

mode_t NewFileMode(mode_t source, mode_t umask) {
    constexpr mode_t kReadWrite = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
    return source & kReadWrite & ~umask;
}

mode_t ProcessUmask() {
    // Setting the umask to read it would race with threads creating files.
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Umask:") {
            std::string octal;
            status >> octal;
            return static_cast<mode_t>(std::stoul(octal, nullptr, 8)) & 0777;
        }
        status.ignore(4096, '\n');
    }
    return 022;
}

bool KeepOriginalMode(int fd, const struct stat& original) {
    // A replaced original may not gain set-id bits from a new owner; they stay off.
    if (::fchown(fd, original.st_uid, original.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), original.st_gid);
    return ::fchmod(fd, original.st_mode & 0777) == 0;
}

bool WriteProtected(int folderFd, const std::string& name) {
    return ::faccessat(folderFd, name.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

} // namespace zembra
