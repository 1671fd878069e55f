#include "imaging/status.h"

#include <array>

namespace zembra {

namespace {

constexpr std::array<std::string_view, 21> kStatusTexts = {
    "Unknown GDI+ Error", // 0 is success, which has no error text
    "Generic Error",
    "Invalid Parameter",
    "Out Of Memory",
    "Object Busy",
    "Insufficient Buffer",
    "Not Implemented",
    "Win32 Error",
    "Wrong State",
    "Aborted",
    "File Not Found",
    "Value Overflow",
    "Access Denied",
    "Unknown Image Format",
    "FontFamily Not Found",
    "FontStyle Not Found",
    "Not TrueType Font",
    "Unsupported Gdiplus Version",
    "Gdiplus Not Initialized",
    "Property Not Found",
    "Property Not Supported",
};

} // namespace

std::string GdiErrorString(int lError) {
    if (lError < 0 || lError >= static_cast<int>(kStatusTexts.size()))
        return std::string(kStatusTexts[0]);
    return std::string(kStatusTexts[static_cast<std::size_t>(lError)]);
}

std::string ImagingError::Text() const {
    return detail.empty() ? sErrorDesc : sErrorDesc + ": " + detail;
}

int ErrorEvent::subscribe(Listener listener) {
    listeners_.emplace_back(nextToken_, std::move(listener));
    return nextToken_++;
}

void ErrorEvent::unsubscribe(int token) {
    std::erase_if(listeners_, [token](const auto& entry) { return entry.first == token; });
}

void ErrorEvent::raise(GpStatus status, std::string detail) const {
    if (listeners_.empty())
        return;
    const ImagingError error{static_cast<int>(status), GdiErrorString(static_cast<int>(status)),
                             std::move(detail)};
    // A copy: a listener may subscribe or unsubscribe while it is told.
    auto listeners = listeners_;
    for (auto& [token, listener] : listeners)
        if (listener)
            listener(error);
}

GpStatus PassStatus(GpStatus status, std::string detail, int& lastError, const ErrorEvent& event) {
    lastError = static_cast<int>(status);
    if (status != GpStatus::Ok)
        event.raise(status, std::move(detail));
    return status;
}

} // namespace zembra
