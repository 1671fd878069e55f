#pragma once
// Services for a form hosted without a display: message boxes go to stderr, the
// file dialog answers with the pictures named on the command line.

#include "platform/services.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace zembra {

class BatchServices : public Services {
  public:
    explicit BatchServices(std::ostream& err) : err_(err) {}

    // The answer of the next open dialog.
    void QueueChosenFile(std::string path) { chosen_.push_back(std::move(path)); }
    int MessageCount() const { return static_cast<int>(messages_.size()); }

    void MsgBox(const std::string& text) override;
    std::string ShowOpen(const OpenFileRequest& request) override;
    std::string ClipboardText() override { return {}; }
    void ClearClipboard() override {}
    // Nothing waits for messages here; Ctrl-C reaches the run as a stop request.
    void DoEvents() override {}
    bool HasDisplay() const override { return false; }

  private:
    std::ostream& err_;
    std::deque<std::string> chosen_;
    std::vector<std::string> messages_;
};

} // namespace zembra
