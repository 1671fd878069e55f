#pragma once
// What a form needs from whoever hosts it: message boxes, the open-file dialog,
// the clipboard and letting pending messages run. The Qt front end, the batch
// runner and the tests each provide their own.

#include <string>

namespace zembra {

struct OpenFileRequest {
    std::string fileName;
    long flags = 0;
    std::string filter; // "Description|patterns" pairs separated by "|"
    bool cancelError = false;
};

class Services {
  public:
    virtual ~Services() = default;

    // A message box with an OK button and the application's title.
    virtual void MsgBox(const std::string& text) = 0;

    // Shows an open dialog. Returns one full path, or for several files the folder
    // followed by the names, separated by '\0'; empty when cancelled.
    virtual std::string ShowOpen(const OpenFileRequest& request) = 0;

    virtual std::string ClipboardText() = 0;
    virtual void ClearClipboard() = 0;

    // Lets the host process pending input and repaint (DoEvents).
    virtual void DoEvents() = 0;

    // False for hosts that show nothing, so previews need not be decoded.
    virtual bool HasDisplay() const = 0;
};

} // namespace zembra
