#include "platform/journalling_files.h"

#include "platform/folder.h"

#include <unistd.h>

namespace zembra {

namespace {

bool IsTemporary(const std::string& path) {
    return TemporaryOwner(SplitPath(path).name) != 0;
}

} // namespace

JournallingFiles::JournallingFiles(Files& inner, std::string folder)
    : inner_(inner), folder_(std::move(folder)) {}

JournallingFiles::~JournallingFiles() {
    endRun();
}

int JournallingFiles::announce(const JournalStep& step) {
    if (!journal_ && !folder_.empty())
        journal_ = JournalFile::Create(folder_);
    // Every line is written before its change, so a killed run leaves it behind.
    // Only an original leaving its name waits for the disk as well: that is the
    // step whose record must outlive a power failure, and the run syncs its
    // output then anyway; a sync per new file or name would double a run's time.
    const bool durable = step.kind == StepKind::Replaced || step.kind == StepKind::Trashed;
    if (!journal_ || !journal_->Append(IntentLine(steps_ + 1, step), durable))
        return 0;
    return ++steps_;
}

// The line that says a step was done is not synced: undo tells from the files
// whether a step whose line is missing was done.
void JournallingFiles::done(int number, const JournalStep& step) {
    if (number > 0 && journal_ && journal_->Append(DoneLine(number, step), false))
        ++doneSteps_;
}

Disposal JournallingFiles::disposal(int number, JournalStep& step, Disposal result) {
    if (result == Disposal::Failed)
        return result;
    if (result == Disposal::Deleted) {
        step.deleted = true;
    } else if (const auto trashed = inner_.LastTrashed()) {
        step.trashFile = trashed->file;
        step.trashInfo = trashed->info;
    }
    done(number, step);
    return result;
}

bool JournallingFiles::Rename(const std::string& from, const std::string& to) {
    const auto identity = IdentifyFile(from, false);
    if (IsTemporary(to) || !identity)
        return inner_.Rename(from, to);
    const std::lock_guard lock(mutex_);
    JournalStep step;
    step.file = *identity;
    if (IsTemporary(from)) {
        step.kind = StepKind::Created;
        step.path = AbsolutePath(to);
    } else {
        step.kind = StepKind::Renamed;
        step.path = AbsolutePath(from);
        step.target = AbsolutePath(to);
    }
    const int number = announce(step);
    const bool ok = inner_.Rename(from, to);
    if (ok)
        done(number, step);
    return ok;
}

bool JournallingFiles::Copy(const std::string& from, const std::string& to) {
    const auto identity = IdentifyFile(from);
    if (IsTemporary(to) || !identity)
        return inner_.Copy(from, to);
    const std::lock_guard lock(mutex_);
    JournalStep step;
    step.kind = StepKind::Copied;
    step.path = AbsolutePath(from);
    step.target = AbsolutePath(to);
    step.file = *identity;
    const int number = announce(step);
    const bool ok = inner_.Copy(from, to);
    if (ok) {
        step.made = IdentifyFile(to, false);
        done(number, step);
    }
    return ok;
}

Disposal JournallingFiles::ReplaceOriginal(const std::string& from, const std::string& original) {
    const auto output = IdentifyFile(from, false);
    const auto old = IdentifyFile(original, false);
    if (!output || !old)
        return inner_.ReplaceOriginal(from, original);
    const std::lock_guard lock(mutex_);
    JournalStep step;
    step.kind = StepKind::Replaced;
    step.path = AbsolutePath(original);
    step.file = *output;
    step.original = *old;
    const int number = announce(step);
    return disposal(number, step, inner_.ReplaceOriginal(from, original));
}

Disposal JournallingFiles::Discard(const std::string& original) {
    const auto old = IdentifyFile(original, false);
    if (!old)
        return inner_.Discard(original);
    const std::lock_guard lock(mutex_);
    JournalStep step;
    step.kind = StepKind::Trashed;
    step.path = AbsolutePath(original);
    step.original = *old;
    const int number = announce(step);
    return disposal(number, step, inner_.Discard(original));
}

void JournallingFiles::ReleaseFolders() {
    inner_.ReleaseFolders();
    const std::lock_guard lock(mutex_);
    endRun();
}

void JournallingFiles::endRun() {
    // A run whose every change failed changed nothing: it leaves no journal.
    if (journal_ && doneSteps_ == 0)
        ::unlink(journal_->Path().c_str());
    journal_.reset();
    steps_ = 0;
    doneSteps_ = 0;
}

} // namespace zembra
