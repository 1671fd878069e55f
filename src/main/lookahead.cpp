#include "main/lookahead.h"

#include "imaging/gdiplus.h"
#include "platform/files.h"
#include "platform/stop_request.h"

#include <algorithm>
#include <cstdio>
#include <sched.h>
#include <sys/stat.h>

namespace zembra {

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Decodes, stretches and encodes one picture as the run would, into a temporary
// file beside its source. Nothing on failure: the run then does the picture itself
// and reports what went wrong, so the worker reports nothing.
std::optional<LookaheadFile> Encode(const LookaheadJob& job, const SizeRule& rule,
                                    FileIdentity& identity) noexcept {
    try {
        const auto before = IdentifyFile(job.source);
        if (!before)
            return std::nullopt;
        cGdiPlus gdip;
        auto rows = gdip.FilenameToRows(job.source);
        // The whole file is read on opening; it must be the file stat described.
        if (!rows || IdentifyFile(job.source) != before)
            return std::nullopt;
        const auto target = TargetPixels(rule, rows->Width(), rows->Height());
        if (!target)
            return std::nullopt;
        LookaheadFile file(TemporarySibling(FolderOf(job.source) + "ahead" + job.extension),
                           rows->Width(), rows->Height(), *target, job.extension, job.quality);
        if (gdip.RowsToFile(*rows, target->width, target->height, file.Path(), job.quality) != -1)
            return std::nullopt;
        identity = *before;
        return file;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

LookaheadFile::LookaheadFile(std::string path, int sourceWidth, int sourceHeight, BoxPixels target,
                             std::string extension, int quality)
    : SourceWidth(sourceWidth), SourceHeight(sourceHeight), Target(target),
      Extension(std::move(extension)), Quality(quality), path_(std::move(path)) {}

LookaheadFile::LookaheadFile(LookaheadFile&& other) noexcept
    : SourceWidth(other.SourceWidth), SourceHeight(other.SourceHeight), Target(other.Target),
      Extension(other.Extension), Quality(other.Quality), path_(std::move(other.path_)) {
    other.path_.clear();
}

LookaheadFile::~LookaheadFile() {
    if (!path_.empty())
        std::remove(path_.c_str());
}

PixelLookahead::~PixelLookahead() {
    Stop();
}

void PixelLookahead::Start(const SizeRule& rule, std::vector<LookaheadJob> jobs) {
    Stop();
    rule_ = rule;
    slots_.clear();
    waiting_ = ended_ = 0;
    for (auto& job : jobs)
        slots_.push_back(Slot{std::move(job), State::Pending, {}, std::nullopt});
    if (slots_.empty())
        return;
    for (int i = 0; i < workers_; ++i) {
        try {
            threads_.emplace_back(&PixelLookahead::Work, this);
        } catch (const std::system_error&) {
            // Fewer threads: the run does what they would have done itself.
            break;
        }
    }
}

void PixelLookahead::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
    std::lock_guard lock(mutex_);
    slots_.clear(); // removes the files nobody took
    reached_ = 0;
    stopping_ = false;
}

bool PixelLookahead::Settled() const {
    if (waiting_ + ended_ < threads_.size())
        return false;
    // A waiting worker that has room again is about to wake.
    return waiting_ == 0 || stopping_ || !NextPending() || NoRoom();
}

void PixelLookahead::Settle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return Settled(); });
}

std::optional<std::size_t> PixelLookahead::NextPending() const {
    for (std::size_t i = reached_; i < slots_.size(); ++i) {
        if (slots_[i].state == State::Pending)
            return i;
    }
    return std::nullopt;
}

bool PixelLookahead::NoRoom() const {
    std::size_t finished = 0;
    for (std::size_t i = reached_; i < slots_.size(); ++i)
        finished += slots_[i].state == State::Done ? 1 : 0;
    return finished >= ahead_;
}

void PixelLookahead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto next = NextPending();
        // Pending slots only ever become fewer, so a worker that finds none is done.
        if (stopping_ || !next || StopRequested()) {
            ++ended_;
            changed_.notify_all();
            return;
        }
        if (NoRoom()) {
            // Disk and memory stay bounded: wait for the run to take a file.
            ++waiting_;
            changed_.notify_all();
            changed_.wait(lock);
            --waiting_;
            continue;
        }
        RunJob(lock, *next);
    }
}

// Does the job of one slot with the lock released; its file waits in the slot
// unless the run has passed it meanwhile.
void PixelLookahead::RunJob(std::unique_lock<std::mutex>& lock, std::size_t at) {
    slots_[at].state = State::Working;
    const LookaheadJob job = slots_[at].job;
    lock.unlock();
    FileIdentity identity;
    // Nobody waits for this picture yet: any stop request may drop it.
    const StopLevel runStopsAt = rowLoopsStopAt;
    rowLoopsStopAt = StopLevel::AfterPicture;
    std::optional<LookaheadFile> file = Encode(job, rule_, identity);
    rowLoopsStopAt = runStopsAt;
    lock.lock();
    Slot& slot = slots_[at];
    if (file && !stopping_ && at >= reached_) {
        slot.file.emplace(std::move(*file));
        slot.identity = identity;
        slot.state = State::Done;
    } else {
        slot.state = State::Gone;
    }
    changed_.notify_all();
}

std::optional<LookaheadFile> PixelLookahead::Take(int index, const std::string& source) {
    std::unique_lock lock(mutex_);
    // Pictures the run passed by without resizing them (skipped, or gone).
    while (reached_ < slots_.size() && slots_[reached_].job.index < index) {
        Slot& passed = slots_[reached_++];
        if (passed.state != State::Working) {
            passed.file.reset();
            passed.state = State::Gone;
        }
    }
    changed_.notify_all(); // the run moved on, which may have made room
    if (reached_ == slots_.size() || slots_[reached_].job.index != index)
        return std::nullopt;
    Slot& slot = slots_[reached_];
    // Rather than wait for the worker, the run does the pixel work of a picture
    // after this one, so both processors stay busy.
    while (slot.state == State::Working) {
        const auto after = NextPending();
        if (after && *after <= reached_ + ahead_ && !StopRequested())
            RunJob(lock, *after);
        else
            changed_.wait(lock);
    }
    ++reached_;
    changed_.notify_all();
    std::optional<LookaheadFile> file = std::move(slot.file);
    slot.file.reset();
    const bool done = slot.state == State::Done && slot.job.source == source;
    const FileIdentity identity = slot.identity;
    // A picture the worker had not begun is the run's now.
    slot.state = State::Gone;
    lock.unlock();
    if (!done || IdentifyFile(source) != identity)
        return std::nullopt;
    return file;
}

int UsableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof(set), &set) != 0)
        return 1;
    return std::max(1, CPU_COUNT(&set));
}

LookaheadScope::LookaheadScope(PixelLookahead* lookahead, const SizeRule& rule,
                               std::vector<LookaheadJob> jobs)
    : lookahead_(lookahead) {
    if (lookahead_)
        lookahead_->Start(rule, std::move(jobs));
}

LookaheadScope::~LookaheadScope() {
    if (lookahead_)
        lookahead_->Stop();
}

} // namespace zembra
