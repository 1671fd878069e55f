#pragma once
// File operations of the platform. Every operation reports failure through its
// result; callers decide whether a failure matters. Tests substitute their own
// Files to simulate failing disks.

#include "platform/trash.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zembra {

using Bytes = std::vector<std::uint8_t>;

// What became of an original that made way for a new file.
enum class Disposal {
    Trashed, // in the Trash, where a file manager restores it
    Deleted, // no trash could take it: gone for good, as asked
    Failed,  // still where it was
};

class Files {
  public:
    virtual ~Files() = default;

    // True for an existing ordinary file (not a folder) of exactly this name.
    virtual bool Exists(const std::string& path) const;
    // True when anything has this name: a file, a folder, a symlink, even a
    // dangling one. A name that is taken cannot receive a file.
    virtual bool Taken(const std::string& path) const;
    // Moves a file to a new name, never replacing what is there: false with
    // errno EEXIST when `to` is taken.
    virtual bool Rename(const std::string& from, const std::string& to);
    // Copies a file to a new name, never replacing what is there (errno EEXIST
    // when taken). The copy gets the source's read and write bits as far as the
    // umask allows, and its time of last change; a failed copy leaves nothing.
    virtual bool Copy(const std::string& from, const std::string& to);
    virtual bool Remove(const std::string& path);
    // Gives `file`, a new file of this run, the read and write bits of `source`
    // as far as the umask allows, and no other bits.
    virtual bool TakeMode(const std::string& source, const std::string& file);
    // Moves a finished file over an original: the original keeps its permission
    // bits (and owner and group where they may be set) and goes to the Trash.
    virtual Disposal ReplaceOriginal(const std::string& from, const std::string& original);
    // Takes an original away after its replacement is in place: into the Trash.
    virtual Disposal Discard(const std::string& original);
    // Where the last ReplaceOriginal or Discard of this thread that answered
    // Trashed put the original; nullopt when the last one did not.
    virtual std::optional<TrashedFile> LastTrashed() const;
    // True for a file this user may not write: it is not to be replaced.
    virtual bool WriteProtected(const std::string& path) const;
    std::optional<Bytes> ReadAll(const std::string& path) const { return ReadHead(path, SIZE_MAX); }
    // The first `most` bytes, or the whole file when it is shorter: fewer than
    // `most` bytes back means the file ended there. Every read comes through
    // here, so a substitute serves whole files and starts alike.
    virtual std::optional<Bytes> ReadHead(const std::string& path, std::size_t most) const;
    // Writes the whole file under a new temporary name, then moves it into place:
    // a new name is never taken from a file that arrived meanwhile (errno EEXIST),
    // an existing file is replaced whole and reaches the disk before it is.
    virtual bool WriteAll(const std::string& path, const Bytes& bytes);
    // Starts a run in `folder` (empty: the current one): opens it once for the
    // whole run, so later steps there cannot be led elsewhere by a symlink, and
    // removes what a killed run left there: its temporary files, whose process
    // is gone. Returns how many files went.
    virtual int RemoveLeftovers(const std::string& folder);
    // Ends a run: the folders it opened, and the sources it holds, are let go.
    virtual void ReleaseFolders();
    // Opens a picture's source once for every step on it: until it is let go,
    // each read and copy of this path goes to the file opened now, whatever
    // takes its name meanwhile. False when it cannot be opened.
    virtual bool HoldSource(const std::string& path);
    virtual void LetGoSource(const std::string& path);

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

// A name in the folder of `path` for writing a file before it is moved into
// place: ".~zembra-<process>-<random>-" and the file's name. Nobody can tell it
// in advance; it is still created exclusively, as every new file is.
std::string TemporarySibling(const std::string& path);

// `path` made absolute against the current folder, with "." and ".." taken out;
// unchanged when there is no current folder.
std::string AbsolutePath(const std::string& path);

// The process that made a TemporarySibling name, or 0 for any other name.
int TemporaryOwner(const std::string& fileName);

} // namespace zembra
