#pragma once
// A download on a thread of its own, so that the window stays on screen and
// usable while a slow or silent server is waited for.

#include "platform/download.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace zembra {

// Hands a function to the window's thread, where it runs once that thread is free.
using PostToWindow = std::function<void(std::function<void()>)>;

class BackgroundDownload {
  public:
    // Fetches `url` into `destination` as DownloadFile does, then runs
    // finished(ok) through `post`. Without `post` the download runs at once on
    // this thread and finished(ok) before the constructor returns.
    BackgroundDownload(std::string url, std::string destination, DownloadLimits limits,
                       const PostToWindow& post, std::function<void(bool ok)> finished);
    // Cancels a transfer still running and waits for it.
    ~BackgroundDownload();
    BackgroundDownload(const BackgroundDownload&) = delete;
    BackgroundDownload& operator=(const BackgroundDownload&) = delete;

    // Stops the transfer and waits for its thread, so that the partial file is
    // gone when this returns; `finished` is not run any more.
    void Cancel();
    bool Running() const { return thread_.joinable() && !done_->load(); }

  private:
    std::atomic<bool> cancelled_{false};
    // Read and written on the window's thread only: false once cancelled or gone.
    std::shared_ptr<bool> wanted_ = std::make_shared<bool>(true);
    std::shared_ptr<std::atomic<bool>> done_ = std::make_shared<std::atomic<bool>>(false);
    std::thread thread_;
};

} // namespace zembra
