#pragma once
// Services whose answers a test scripts in advance and whose calls it reads back.

#include "platform/services.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zembra::testing {

class ScriptedServices : public Services {
  public:
    std::vector<std::string> messages;     // every message box, in order
    std::deque<std::string> dialogAnswers; // next answers of the open dialog
    std::vector<OpenFileRequest> dialogRequests;
    std::string clipboard;
    int doEventsCalls = 0;
    std::function<void()> onDoEvents; // runs inside DoEvents, like user input would
    bool display = false;             // true decodes previews as a window would

    void MsgBox(const std::string& text) override { messages.push_back(text); }
    std::string ShowOpen(const OpenFileRequest& request) override {
        dialogRequests.push_back(request);
        if (dialogAnswers.empty())
            return {};
        std::string answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }
    std::string ClipboardText() override { return clipboard; }
    void ClearClipboard() override { clipboard.clear(); }
    void DoEvents() override {
        ++doEventsCalls;
        if (onDoEvents)
            onDoEvents();
    }
    bool HasDisplay() const override { return display; }
};

} // namespace zembra::testing
