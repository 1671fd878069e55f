#pragma once
// Pixel work done ahead of the batch run on other threads. The run still names,
// counts and moves every picture itself, in list order; for the pictures it
// resizes without a watermark, a worker has usually decoded, stretched and
// encoded the file already, into a temporary file beside the source, and the run
// only has to move that file into place. Whatever the worker guessed is checked
// against what the run decides; on any difference the run does the work itself.

#include "main/target_size.h"
#include "platform/file_identity.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zembra {

// One picture the run is expected to resize, by its place in the list.
struct LookaheadJob {
    int index = 0;
    std::string source;
    std::string extension; // of the output, which chooses the encoder
    int quality = 0;
};

// A picture the worker finished. Its file is removed with this object unless the
// run took it with Release.
class LookaheadFile {
  public:
    LookaheadFile(std::string path, int sourceWidth, int sourceHeight, BoxPixels target,
                  std::string extension, int quality);
    LookaheadFile(LookaheadFile&& other) noexcept;
    LookaheadFile& operator=(LookaheadFile&&) = delete;
    ~LookaheadFile();

    const std::string& Path() const { return path_; }
    // The file was moved elsewhere: nothing is left to remove.
    void Release() { path_.clear(); }

    const int SourceWidth;
    const int SourceHeight;
    const BoxPixels Target;
    const std::string Extension;
    const int Quality;

  private:
    std::string path_;
};

class PixelLookahead {
  public:
    // `ahead`: how many finished files may wait for the run at once; `workers`:
    // the threads that make them.
    explicit PixelLookahead(std::size_t ahead = 2, int workers = 1)
        : ahead_(ahead), workers_(workers) {}
    ~PixelLookahead();
    PixelLookahead(const PixelLookahead&) = delete;
    PixelLookahead& operator=(const PixelLookahead&) = delete;

    // Starts the workers on the run's pictures, in list order (ascending indexes).
    void Start(const SizeRule& rule, std::vector<LookaheadJob> jobs);
    // Joins the workers and removes every file the run did not take.
    void Stop();
    // Waits until the workers have done all they may before the run takes a file:
    // lets tests see a settled state without guessing at times.
    void Settle();

    // The run has reached the picture at list index `index`. Its finished file when
    // the source is still the file the worker read; while the worker is on it, the
    // run does the work of a later picture meanwhile. Nothing when the worker
    // failed or had not begun, and then it never will. Files of earlier pictures
    // the run passed by are removed.
    std::optional<LookaheadFile> Take(int index, const std::string& source);

  private:
    enum class State { Pending, Working, Done, Gone };
    struct Slot {
        LookaheadJob job;
        State state = State::Pending;
        FileIdentity identity;
        std::optional<LookaheadFile> file;
    };
    void Work();
    void RunJob(std::unique_lock<std::mutex>& lock, std::size_t at);
    std::optional<std::size_t> NextPending() const;
    bool NoRoom() const; // `ahead_` finished files wait for the run
    bool Settled() const;

    const std::size_t ahead_;
    const int workers_;
    SizeRule rule_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    std::size_t reached_ = 0; // slots before this one are behind the run
    bool stopping_ = false;
    std::size_t waiting_ = 0; // workers waiting for room
    std::size_t ended_ = 0;   // workers that found nothing left to do
    std::vector<std::thread> threads_;
};

// The processors this process may run on (its affinity mask), at least 1: how
// many pictures a run works on at once unless told otherwise.
int UsableProcessors();

// Runs the look-ahead (when there is one) for the length of a batch run: stopped
// on every way out of it, an exception or an interruption included.
class LookaheadScope {
  public:
    LookaheadScope(PixelLookahead* lookahead, const SizeRule& rule, std::vector<LookaheadJob> jobs);
    ~LookaheadScope();
    LookaheadScope(const LookaheadScope&) = delete;
    LookaheadScope& operator=(const LookaheadScope&) = delete;

  private:
    PixelLookahead* lookahead_;
};

} // namespace zembra
