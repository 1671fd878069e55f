#include "cli/batch_services.h"

#include <csignal>

namespace zembra {

namespace {
volatile std::sig_atomic_t interruptRequested = 0;
} // namespace

void BatchServices::RequestInterrupt() {
    interruptRequested = 1;
}

void BatchServices::DoEvents() {
    if (interruptRequested && onInterrupt) {
        interruptRequested = 0;
        onInterrupt();
    }
}

void BatchServices::MsgBox(const std::string& text) {
    messages_.push_back(text);
    // Message texts use CR LF between lines; a terminal wants LF.
    std::string plain;
    for (char c : text) {
        if (c != '\r')
            plain += c;
    }
    err_ << plain << '\n';
}

std::string BatchServices::ShowOpen(const OpenFileRequest&) {
    if (chosen_.empty())
        return {};
    std::string next = std::move(chosen_.front());
    chosen_.pop_front();
    return next;
}

} // namespace zembra
