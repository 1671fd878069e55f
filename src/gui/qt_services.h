#pragma once
// The services of a form shown on the desktop: Qt message boxes, file dialog,
// clipboard and event loop.

#include "platform/services.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <deque>
#include <string>

namespace zembra {

// Where file dialogs start: the pictures folder when it exists, else the home folder.
QString StartFolder();

class QtServices : public Services {
  public:
    // Dialogs and message boxes open over this window.
    void setWindow(QWidget* window) { window_ = window; }

    // The next open dialog answers this instead of asking the user: how pictures
    // dropped on the window or named with --add reach "Add Pic(s)".
    void QueueOpenAnswer(std::string answer) { answers_.push_back(std::move(answer)); }
    void ClearOpenAnswers() { answers_.clear(); }

    void MsgBox(const std::string& text) override;
    std::string ShowOpen(const OpenFileRequest& request) override;
    std::string ClipboardText() override;
    void ClearClipboard() override;
    void DoEvents() override;
    bool HasDisplay() const override { return true; }

  private:
    QPointer<QWidget> window_;
    std::deque<std::string> answers_;
    QString lastFolder_;
};

} // namespace zembra
