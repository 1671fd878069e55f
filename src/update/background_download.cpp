#include "update/background_download.h"

namespace zembra {

BackgroundDownload::BackgroundDownload(std::string url, std::string destination,
                                       DownloadLimits limits, const PostToWindow& post,
                                       std::function<void(bool ok)> finished) {
    limits.cancelled = &cancelled_;
    if (!post) {
        finished(DownloadFile(url, destination, limits));
        done_->store(true);
        return;
    }
    thread_ = std::thread([url = std::move(url), destination = std::move(destination), limits, post,
                           finished = std::move(finished), wanted = wanted_, done = done_] {
        const bool ok = DownloadFile(url, destination, limits);
        done->store(true);
        post([ok, finished, wanted] {
            if (*wanted)
                finished(ok);
        });
    });
}

BackgroundDownload::~BackgroundDownload() {
    Cancel();
}

void BackgroundDownload::Cancel() {
    *wanted_ = false;
    cancelled_.store(true);
    if (thread_.joinable())
        thread_.join();
}

} // namespace zembra
