#pragma once
// The permissions of the files Zembra makes.

#include <string>
#include <sys/stat.h>

namespace zembra {

// A file made from a source gets the source's read and write bits as far as the
// umask allows, and never execute, setuid, setgid or sticky bits.
mode_t NewFileMode(mode_t source, mode_t umask);

// The umask of this process, read without changing it.
mode_t ProcessUmask();

// Gives the open file `fd` the permission bits of the original it replaces, and
// its owner and group where the user may set them. False when the bits could not
// be set; an owner that cannot be kept is no failure.
bool KeepOriginalMode(int fd, const struct stat& original);

// A file whose permissions keep this user from writing it: it is not replaced.
bool WriteProtected(int folderFd, const std::string& name);

} // namespace zembra
