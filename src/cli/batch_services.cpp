#include "cli/batch_services.h"

namespace zembra {

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
