#pragma once
// Files that keep a run journal: every call goes on to the Files it wraps, and
// each one that changes a picture's folder is written to the journal, before
// (what it is about to do) and after (that it was done), so that an undo can
// take the run back, up to where it got even when it was killed.

#include "platform/files.h"
#include "platform/journal_lines.h"
#include "platform/run_journal.h"

#include <mutex>

namespace zembra {

class JournallingFiles : public Files {
  public:
    // Journals go to `folder`; each run (up to ReleaseFolders) gets its own,
    // made at its first change.
    JournallingFiles(Files& inner, std::string folder);
    ~JournallingFiles() override;
    JournallingFiles(const JournallingFiles&) = delete;
    JournallingFiles& operator=(const JournallingFiles&) = delete;

    bool Exists(const std::string& path) const override { return inner_.Exists(path); }
    bool Taken(const std::string& path) const override { return inner_.Taken(path); }
    bool Rename(const std::string& from, const std::string& to) override;
    bool Copy(const std::string& from, const std::string& to) override;
    // Temporary files, and left-over installers: none of a run's pictures.
    bool Remove(const std::string& path) override { return inner_.Remove(path); }
    bool TakeMode(const std::string& source, const std::string& file) override {
        return inner_.TakeMode(source, file);
    }
    Disposal ReplaceOriginal(const std::string& from, const std::string& original) override;
    Disposal Discard(const std::string& original) override;
    std::optional<TrashedFile> LastTrashed() const override { return inner_.LastTrashed(); }
    bool WriteProtected(const std::string& path) const override {
        return inner_.WriteProtected(path);
    }
    std::optional<Bytes> ReadHead(const std::string& path, std::size_t most) const override {
        return inner_.ReadHead(path, most);
    }
    // Settings files, not pictures: not journalled.
    bool WriteAll(const std::string& path, const Bytes& bytes) override {
        return inner_.WriteAll(path, bytes);
    }
    int RemoveLeftovers(const std::string& folder) override {
        return inner_.RemoveLeftovers(folder);
    }
    // Ends the run's journal too.
    void ReleaseFolders() override;
    bool HoldSource(const std::string& path) override { return inner_.HoldSource(path); }
    void LetGoSource(const std::string& path) override { inner_.LetGoSource(path); }
    bool Flush(const std::string& path) override { return inner_.Flush(path); }

  private:
    // Writes the intent of a step; its number, or 0 when there is no journal to
    // write to (the change still happens: the journal is for taking it back).
    int announce(const JournalStep& step);
    void done(int number, const JournalStep& step);
    Disposal disposal(int number, JournalStep& step, Disposal result);
    void endRun();

    Files& inner_;
    const std::string folder_;
    std::mutex mutex_; // one change at a time is journalled
    std::optional<JournalFile> journal_;
    int steps_ = 0;
    int doneSteps_ = 0;
};

} // namespace zembra
