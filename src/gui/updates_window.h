#pragma once
// The updates dialog on the desktop: Form5 in a window of its own, made when the
// main window asks for it and taken down when it unloads; and the update check's
// services (disabling the main window, the desktop opener, ending the program).

#include "gui/form_view.h"
#include "main/form1.h"
#include "update/form5.h"
#include "update/update_check.h"

#include <QPointer>

#include <functional>
#include <memory>

namespace zembra {

class UpdatesWindow {
  public:
    // Sets the main window's CheckVersionAtStartup and ShowUpdatesDialog.
    UpdatesWindow(Form1& main, Services& services, QWidget& mainView,
                  std::function<void()> endProgram);
    ~UpdatesWindow();
    UpdatesWindow(const UpdatesWindow&) = delete;
    UpdatesWindow& operator=(const UpdatesWindow&) = delete;

    // Loads and shows the dialog, or brings the open one forward.
    void Show();

    Form5* dialog() const { return form_.get(); }
    FormView* dialogView() const { return view_.get(); }
    const UpdateHost& host() const { return host_; }

  private:
    void present();
    void unload();

    Form1& main_;
    UpdateHost host_;
    QPointer<QWidget> mainView_;
    std::unique_ptr<Form5> form_;
    std::unique_ptr<FormView> view_;
};

} // namespace zembra
