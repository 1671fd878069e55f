#pragma once
// The folder import dialog on the desktop: Form2 in its own window beside the
// main window, which stays usable while it is open.

#include "gui/form_view.h"
#include "gui/qt_services.h"
#include "import/form2.h"

#include <functional>
#include <memory>

namespace zembra {

class ImportWindow {
  public:
    // `onUnloaded` runs once the dialog has closed and nothing of it still runs;
    // the owner destroys the window later, from its event loop.
    ImportWindow(Form1& main, QWidget* owner, double scale, std::function<void()> onUnloaded);
    ~ImportWindow();
    ImportWindow(const ImportWindow&) = delete;
    ImportWindow& operator=(const ImportWindow&) = delete;

    Form2& form() { return form_; }
    FormView& view() { return *view_; }
    // Brings the window to the front.
    void raise();

  private:
    QtServices services_;
    Form2 form_;
    std::unique_ptr<FormView> view_;
};

// The icon of each of the dialog's image buttons.
QIcon ImportWindowIcon(const Control& control);

} // namespace zembra
