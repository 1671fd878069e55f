#include "imaging/session.h"

#include <mutex>
#include <set>

namespace zembra {

namespace {

struct Sessions {
    std::mutex mutex;
    std::set<std::uint32_t> active;
    std::uint32_t next = 1;
};

Sessions& sessions() {
    static Sessions instance;
    return instance;
}

} // namespace

GpStatus GdiplusStartup(std::uint32_t& token, const GdiplusStartupInput& input) {
    token = 0;
    if (input.GdiplusVersion != 1)
        return GpStatus::UnsupportedGdiplusVersion;
    auto& s = sessions();
    std::lock_guard lock(s.mutex);
    if (s.next == 0)
        s.next = 1;
    token = s.next++;
    s.active.insert(token);
    return GpStatus::Ok;
}

void GdiplusShutdown(std::uint32_t token) {
    auto& s = sessions();
    std::lock_guard lock(s.mutex);
    s.active.erase(token);
}

bool GdiplusRunning() {
    auto& s = sessions();
    std::lock_guard lock(s.mutex);
    return !s.active.empty();
}

} // namespace zembra
