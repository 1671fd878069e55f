#pragma once
// A request to stop a batch run, made by whoever hosts it (zembra-batch sets it
// from its signal handlers) and read by the run between pictures and by the row
// loop of a resize. A lock-free atomic, so a signal handler may set it.

#include "platform/pixel_rows.h"

#include <atomic>

namespace zembra {

enum class StopLevel : int {
    None = 0,
    AfterPicture = 1, // finish the pictures in hand, start no other
    Now = 2,          // give up the picture in hand too; its temporary files go
};

inline std::atomic<int>& StopFlag() {
    static std::atomic<int> level{0};
    static_assert(std::atomic<int>::is_always_lock_free);
    return level;
}

// Raises the request; a lower level never replaces a higher one.
inline void RequestStop(StopLevel level) {
    int now = StopFlag().load();
    while (now < static_cast<int>(level) &&
           !StopFlag().compare_exchange_weak(now, static_cast<int>(level))) {
    }
}
inline void ClearStopRequest() {
    StopFlag().store(0);
}
inline bool StopRequested(StopLevel atLeast = StopLevel::AfterPicture) {
    return StopFlag().load(std::memory_order_relaxed) >= static_cast<int>(atLeast);
}

// The level at which this thread's row loops give up. Work done ahead of the run,
// which nobody waits for yet, is dropped as soon as any stop is asked.
inline thread_local StopLevel rowLoopsStopAt = StopLevel::Now;

// Rows that run out once a stop is requested at this thread's level, so a long
// resize ends within a row and fails as a damaged source would.
class StoppableRows final : public PixelRows {
  public:
    explicit StoppableRows(PixelRows& rows) : rows_(rows) {}
    int Width() const override { return rows_.Width(); }
    int Height() const override { return rows_.Height(); }
    const ColorProfile& Profile() const override { return rows_.Profile(); }
    const std::uint32_t* Next() override {
        return StopRequested(rowLoopsStopAt) ? nullptr : rows_.Next();
    }
    bool Skip(int count) override { return !StopRequested(rowLoopsStopAt) && rows_.Skip(count); }

  private:
    PixelRows& rows_;
};

} // namespace zembra
