#pragma once
// A folder opened once. Every step on the files in it goes through its
// descriptor, so neither the folder nor a file looked up in it can be swapped
// for a symlink to somewhere else while a run works there.

#include <cstddef>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace zembra {

class Folder {
  public:
    // The folder itself must not be a symlink only when `noFollow` is set; a
    // folder the user named may well be one. Empty means the current folder.
    static std::optional<Folder> Open(const std::string& path, bool noFollow = false);
    // A folder inside `parent`, never through a symlink.
    static std::optional<Folder> OpenIn(const Folder& parent, const std::string& name);
    Folder(Folder&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    int fd() const { return fd_; }

    // A new file of exactly this name, never one that is there already nor the
    // target of a symlink: -1 (errno EEXIST) when the name is taken.
    int CreateNew(const std::string& name, mode_t mode) const;
    // A new file under an unpredictable name beginning with ".~zembra-<pid>-",
    // kept near `like` so its extension survives; the name goes to `name`.
    int CreateTemporary(const std::string& like, mode_t mode, std::string& name) const;
    // Opens a file for reading; a symlink is followed only when `follow` is set.
    int OpenRead(const std::string& name, bool follow) const;

    // Whether anything (a file, folder or symlink) has this name.
    bool Taken(const std::string& name) const;
    // The entry itself, a symlink not followed.
    std::optional<struct stat> Status(const std::string& name) const;

    // Moves `from` to `to` in `target` without replacing anything there; false
    // with errno EEXIST when `to` is taken. A file system without no-replace
    // renames gets a hard link and an unlink, which fail on a taken name alike.
    bool MoveNoReplace(const std::string& from, const Folder& target, const std::string& to) const;
    // Moves `from` over `to`, which must be an entry of this folder already.
    bool MoveReplacing(const std::string& from, const std::string& to) const;
    bool Remove(const std::string& name) const;

  private:
    explicit Folder(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Writes all `size` bytes to `fd`; false when the file took fewer.
bool WriteWhole(int fd, const void* data, std::size_t size);

// The folder part of a path ("" for a bare name) and the name in it.
struct PathParts {
    std::string folder;
    std::string name;
};
PathParts SplitPath(const std::string& path);

} // namespace zembra
