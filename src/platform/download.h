#pragma once
// Blocking HTTP(S) download to a file. Kept in its own library so that only the
// modules that download link libcurl.

#include <cstdint>
#include <string>

namespace zembra {

struct DownloadLimits {
    // Giving up on an unreachable host early keeps start-up quick without a network.
    long connectSeconds = 3;
    // The whole transfer, name lookup and connection included.
    long totalSeconds = 300;
    // Larger answers are refused rather than written.
    std::int64_t maxBytes = 512LL << 20;
};

// Fetches `url` (http or https, redirects followed to https only) into `destination`. The body is
// written under a temporary name in the same folder and moved into place only when
// the transfer completed with a success status; on any failure, an HTTP error status
// included, nothing is left behind and an existing `destination` is untouched.
bool DownloadFile(const std::string& url, const std::string& destination,
                  const DownloadLimits& limits = {});

} // namespace zembra
