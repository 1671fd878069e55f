#include "platform/download.h"

#include "platform/files.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace zembra {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct Sink {
    std::FILE* file;
    std::int64_t written;
    std::int64_t limit;
};

// Returning less than was offered makes libcurl abort the transfer.
std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto& sink = *static_cast<Sink*>(target);
    const std::size_t bytes = size * count;
    // Servers need not announce the size, so the limit is kept while writing.
    if (static_cast<std::uint64_t>(bytes) > static_cast<std::uint64_t>(sink.limit - sink.written))
        return 0;
    const std::size_t done = std::fwrite(data, 1, bytes, sink.file);
    sink.written += static_cast<std::int64_t>(done);
    return done;
}

bool Transfer(const std::string& url, std::FILE* out, const DownloadLimits& limits) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy)
        return false;
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect may not step down from https to plain http, where anyone on the
    // way could swap the installer.
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    // A status of 400 or above is a failed download, not a page to keep.
    curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(e, CURLOPT_TIMEOUT, limits.totalSeconds);
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    // Time-outs must not be carried out with signals: the window thread calls this.
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Zembra/2.4.0");
    Sink sink{out, 0, limits.maxBytes};
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
    return curl_easy_perform(e) == CURLE_OK;
}

} // namespace

bool DownloadFile(const std::string& url, const std::string& destination,
                  const DownloadLimits& limits) {
    if (url.empty() || destination.empty())
        return false;
    const std::string temporary = TemporarySibling(destination);
    bool ok = false;
    {
        std::unique_ptr<std::FILE, FileCloser> out(std::fopen(temporary.c_str(), "wbx"));
        if (!out)
            return false;
        ok = Transfer(url, out.get(), limits);
        ok = std::fflush(out.get()) == 0 && ok;
        ok = std::fclose(out.release()) == 0 && ok;
    }
    if (ok && std::rename(temporary.c_str(), destination.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

} // namespace zembra
