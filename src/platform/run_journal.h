#pragma once
// Where run journals live and how their lines reach the disk: one file per run
// that changed a file, named by the time the run made its first change, so the
// newest sorts last.

#include <optional>
#include <string>

namespace zembra {

// $XDG_STATE_HOME/zembra when XDG_STATE_HOME is an absolute path, else
// ~/.local/state/zembra; empty when no home folder is known.
std::string JournalFolder();

// The newest journal in `folder`, or empty when it holds none.
std::string NewestJournal(const std::string& folder);

// The process that keeps the journal at `path` (its name says), or 0 when the
// name does not say.
int JournalOwner(const std::string& path);

// The text of a journal; nullopt when it cannot be read or is too large to be one.
std::optional<std::string> ReadJournal(const std::string& path);

// A journal opened for appending. A line written is kept whatever becomes of
// the process; a durable one also survives the machine (fdatasync).
class JournalFile {
  public:
    // A new journal in `folder` (made private to the user when missing), with
    // its first line written.
    static std::optional<JournalFile> Create(const std::string& folder);
    // An existing journal, for undo's marks.
    static std::optional<JournalFile> Open(const std::string& path);
    JournalFile(JournalFile&& other) noexcept;
    JournalFile& operator=(JournalFile&& other) noexcept;
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;
    ~JournalFile();

    // `durable`: on the disk before it returns. A line that is not reaches it
    // with the next durable line, or when the journal is closed.
    bool Append(const std::string& line, bool durable = true);
    const std::string& Path() const { return path_; }

  private:
    JournalFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

} // namespace zembra
