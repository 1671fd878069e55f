#include "platform/device_context.h"

#include <mutex>
#include <unordered_map>

namespace zembra {

namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_map<std::uint32_t, DeviceContext*> contexts;
    std::uint32_t next = 1;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

DeviceContext::DeviceContext() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    // Skip 0 (the null handle) should the counter ever wrap.
    if (r.next == 0)
        r.next = 1;
    handle_ = static_cast<HDC>(r.next++);
    r.contexts.emplace(static_cast<std::uint32_t>(handle_), this);
}

DeviceContext::~DeviceContext() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.contexts.erase(static_cast<std::uint32_t>(handle_));
}

DeviceContext* DeviceContext::FromHandle(HDC handle) {
    if (handle == HDC::Null)
        return nullptr;
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.contexts.find(static_cast<std::uint32_t>(handle));
    return it == r.contexts.end() ? nullptr : it->second;
}

} // namespace zembra
