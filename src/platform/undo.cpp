#include "platform/undo.h"

#include "platform/folder.h"
#include "platform/journal_lines.h"
#include "platform/run_journal.h"

#include <cerrno>
#include <csignal>
#include <set>
#include <unistd.h>

namespace zembra {

namespace {

// What became of one step.
enum class Result { Reverted, LeftAlone, NeverDone };

struct StepOutcome {
    Result result;
    std::string line;
};

StepOutcome Reverted(std::string line) {
    return {Result::Reverted, std::move(line)};
}
StepOutcome LeftAlone(const std::string& path, const std::string& why) {
    return {Result::LeftAlone, path + ": " + why};
}
StepOutcome NeverDone() {
    return {Result::NeverDone, {}};
}

bool IsAt(const std::string& path, const FileIdentity& identity) {
    return IdentifyFile(path, false) == identity;
}

class Undoer {
  public:
    explicit Undoer(Files& files) : files_(files) {}

    StepOutcome Revert(const JournalStep& step) {
        switch (step.kind) {
        case StepKind::Created:
            return removeOutput(step.path, step.file, step.done);
        case StepKind::Copied:
            return removeCopy(step);
        case StepKind::Renamed:
            return renameBack(step);
        case StepKind::Trashed:
            if (step.deleted && step.done)
                return LeftAlone(step.path, "was deleted for good (no Trash could take it)");
            return bringBack(step, step.done);
        case StepKind::Replaced:
            return replaceBack(step);
        }
        return NeverDone();
    }

  private:
    // An output of the run goes to the Trash, if it is still what the run made.
    StepOutcome removeOutput(const std::string& path, const FileIdentity& made, bool done) {
        if (!IsAt(path, made)) {
            // An undo killed after it moved the output away finds it in the Trash.
            if (!done || (!files_.Taken(path) && FindTrashed(path, made.device, made.inode)))
                return done ? Reverted(path + ": already in the Trash") : NeverDone();
            return LeftAlone(path, files_.Taken(path) ? "changed since the run" : "is gone");
        }
        switch (files_.Discard(path)) {
        case Disposal::Trashed:
            return Reverted(path + ": moved to the Trash");
        case Disposal::Deleted:
            return Reverted(path + ": deleted (no Trash could take it)");
        case Disposal::Failed:
            break;
        }
        return LeftAlone(path, "could not be moved to the Trash");
    }

    StepOutcome removeCopy(const JournalStep& step) {
        if (step.made)
            return removeOutput(step.target, *step.made, true);
        // Killed before the copy was told done: a file of the source's size and
        // time that is not the source itself is the copy it made.
        const auto there = IdentifyFile(step.target, false);
        if (!there || there->inode == step.file.inode || there->size != step.file.size ||
            there->modifiedSeconds != step.file.modifiedSeconds ||
            there->modifiedNanoseconds != step.file.modifiedNanoseconds)
            return NeverDone();
        return removeOutput(step.target, *there, true);
    }

    StepOutcome renameBack(const JournalStep& step) {
        if (!IsAt(step.target, step.file)) {
            if (IsAt(step.path, step.file))
                return step.done ? Reverted(step.path + ": has its name back") : NeverDone();
            return step.done
                       ? LeftAlone(step.target,
                                   files_.Taken(step.target) ? "changed since the run" : "is gone")
                       : NeverDone();
        }
        // Unfinished: the move happened only if the old name was let go.
        if (!step.done && files_.Taken(step.path))
            return NeverDone();
        if (!files_.Rename(step.target, step.path))
            return LeftAlone(step.target, files_.Taken(step.path)
                                              ? "not renamed back: " + step.path + " is taken"
                                              : "could not be renamed back to " + step.path);
        return Reverted(step.target + ": renamed back to " + step.path);
    }

    // An original back from the Trash to its own name.
    StepOutcome bringBack(const JournalStep& step, bool done) {
        const FileIdentity& original = step.original;
        std::optional<TrashedFile> trashed;
        if (!step.trashFile.empty())
            trashed = TrashedFile{step.trashFile, step.trashInfo};
        else
            trashed = FindTrashed(step.path, original.device, original.inode);
        if (IsAt(step.path, original)) {
            // Back already, or never gone: what the Trash still has of it goes (the
            // record of a file an undo killed meanwhile brought back, the link a
            // run killed before its move had made).
            if (trashed && (IsAt(trashed->file, original) || !files_.Taken(trashed->file)))
                ForgetTrashed(*trashed);
            return done ? Reverted(step.path + ": is back already") : NeverDone();
        }
        if (!trashed || !IsAt(trashed->file, original))
            return LeftAlone(step.path,
                             trashed ? "changed in the Trash" : "not found in the Trash");
        if (!files_.Rename(trashed->file, step.path))
            return LeftAlone(step.path, files_.Taken(step.path)
                                            ? "not brought back from the Trash: the name is taken"
                                            : "could not be brought back from the Trash");
        files_.Remove(trashed->info);
        return Reverted(step.path + ": back from the Trash");
    }

    StepOutcome replaceBack(const JournalStep& step) {
        if (IsAt(step.path, step.original))
            return bringBack(step, step.done);
        if (IsAt(step.path, step.file)) {
            const StepOutcome output = removeOutput(step.path, step.file, true);
            if (output.result != Result::Reverted)
                return output;
        } else if (files_.Taken(step.path)) {
            return LeftAlone(step.path, "changed since the run");
        }
        // The output has gone (now, or by an undo that was killed meanwhile).
        StepOutcome back = bringBack(step, true);
        if (back.result == Result::Reverted)
            back.line = step.path + ": the original is back from the Trash";
        return back;
    }

    Files& files_;
};

std::optional<std::vector<JournalStep>> StepsOf(const std::string& journalPath) {
    const auto text = ReadJournal(journalPath);
    return text ? ParseJournal(*text) : std::nullopt;
}

// The folders a journal's steps touched, where a killed run may have left
// temporary files.
std::set<std::string> FoldersOf(const std::vector<JournalStep>& steps) {
    std::set<std::string> folders;
    for (const JournalStep& step : steps) {
        folders.insert(SplitPath(step.path).folder);
        if (!step.target.empty())
            folders.insert(SplitPath(step.target).folder);
    }
    folders.erase(std::string());
    return folders;
}

} // namespace

UndoOutcome UndoRun(const std::string& journalPath, Files& files) {
    UndoOutcome outcome;
    // A run still going would carry on over what undo puts back.
    if (const int owner = JournalOwner(journalPath);
        owner > 0 && owner != ::getpid() && (::kill(owner, 0) == 0 || errno == EPERM)) {
        outcome.leftAlone.push_back(journalPath + ": its run is still going (process " +
                                    std::to_string(owner) + ")");
        return outcome;
    }
    const auto steps = StepsOf(journalPath);
    auto journal = steps ? JournalFile::Open(journalPath) : std::nullopt;
    if (!journal) {
        outcome.readable = false;
        return outcome;
    }
    for (const std::string& folder : FoldersOf(*steps))
        files.RemoveLeftovers(folder);
    Undoer undoer(files);
    for (std::size_t k = steps->size(); k-- > 0;) {
        const JournalStep& step = (*steps)[k];
        if (step.undone)
            continue;
        const StepOutcome result = undoer.Revert(step);
        if (result.result == Result::LeftAlone) {
            outcome.leftAlone.push_back(result.line);
            continue;
        }
        if (result.result == Result::Reverted)
            outcome.reverted.push_back(result.line);
        if (!journal->Append(UndoneLine(static_cast<int>(k + 1)))) {
            outcome.readable = false;
            break;
        }
    }
    files.ReleaseFolders();
    return outcome;
}

bool HasStepsToUndo(const std::string& journalPath) {
    const auto steps = StepsOf(journalPath);
    if (!steps)
        return false;
    for (const JournalStep& step : *steps) {
        if (!step.undone)
            return true;
    }
    return false;
}

} // namespace zembra
