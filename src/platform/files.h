#pragma once
// File operations of the platform. Every operation reports failure through its
// result; callers decide whether a failure matters. Tests substitute their own
// Files to simulate failing disks.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zembra {

using Bytes = std::vector<std::uint8_t>;

class Files {
  public:
    virtual ~Files() = default;

    // True for an existing ordinary file (not a folder) of exactly this name.
    virtual bool Exists(const std::string& path) const;
    // Fails when the target already exists.
    virtual bool Rename(const std::string& from, const std::string& to);
    // Replaces an existing target; a failed copy leaves no partial target.
    virtual bool Copy(const std::string& from, const std::string& to);
    virtual bool Remove(const std::string& path);
    // Moves a finished file into place in one step, replacing what is there.
    virtual bool Replace(const std::string& from, const std::string& to);
    std::optional<Bytes> ReadAll(const std::string& path) const { return ReadHead(path, SIZE_MAX); }
    // The first `most` bytes, or the whole file when it is shorter: fewer than
    // `most` bytes back means the file ended there. Every read comes through
    // here, so a substitute serves whole files and starts alike.
    virtual std::optional<Bytes> ReadHead(const std::string& path, std::size_t most) const;
    // Writes the whole file under a temporary name, then moves it into place; a
    // file that replaces another reaches the disk before it does.
    virtual bool WriteAll(const std::string& path, const Bytes& bytes);
    // Removes what a run that was killed left in `folder` (empty: the current one):
    // its temporary files, whose process is gone, and a temporary EXIF copy that
    // still matches its source byte for byte. Returns how many files went.
    virtual int RemoveLeftovers(const std::string& folder);

    // Makes a written file durable before it replaces or outlives a picture.
    virtual bool Flush(const std::string& path);

    // The files of the running program.
    static Files& Local();
};

// The first `most` bytes of a file held in memory: what ReadHead gives for it.
inline Bytes FirstBytes(const Bytes& bytes, std::size_t most) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(
                                                    most < bytes.size() ? most : bytes.size()));
}

// A name in the folder of `path` that no file has yet, for writing a replacement
// before it is moved into place: ".~zembra-<process>-<n>-" and the file's name.
std::string TemporarySibling(const std::string& path);

// The process that made a TemporarySibling name, or 0 for any other name.
int TemporaryOwner(const std::string& fileName);

} // namespace zembra
