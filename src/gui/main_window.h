#pragma once
// The main window on the desktop: Form1 with its Qt view and services, pictures
// dropped from the file manager, and the end of the program.

#include "gui/form_view.h"
#include "gui/import_window.h"
#include "gui/plan_window.h"
#include "gui/qt_services.h"
#include "gui/updates_window.h"
#include "main/form1.h"
#include "main/lookahead.h"

#include <QPointer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zembra {

class MainWindow {
  public:
    struct Options {
        // Pixels per 1/15 of a twip; 0 takes it from the font.
        double scale = 0;
        // Runs once when the program is to end ("Cancel/Quit" or closing the
        // window); the executable leaves its event loop here.
        std::function<void()> onEnd;
    };

    explicit MainWindow(Options options);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    Form1& form() { return form_; }
    FormView& view() { return *view_; }
    QtServices& services() { return services_; }
    UpdatesWindow& updates() { return *updates_; }
    // The "Preview Names" table; null while it is closed.
    PlanWindow* planWindow() { return plan_.data(); }

    // Adds pictures, and the pictures directly inside folders, as "Add Pic(s)" adds
    // chosen files. Refused (false) while a run is going on.
    bool AddPictures(const std::vector<std::string>& paths);

    // The folder import dialog, opened by "Add Folder(s)"; null while it is closed.
    ImportWindow* importWindow() { return import_.get(); }

  private:
    class DropTarget;
    void end();

    Options options_;
    QtServices services_;
    // "Process All" works on one picture per processor, as zembra-batch does.
    PixelLookahead lookahead_{static_cast<std::size_t>(std::max(2, UsableProcessors())),
                              UsableProcessors() - 1};
    Form1 form_;
    std::unique_ptr<FormView> view_;
    std::unique_ptr<DropTarget> drops_;
    std::unique_ptr<ImportWindow> import_;
    bool openingImport_ = false;
    void showImportDialog();
    std::unique_ptr<UpdatesWindow> updates_;
    QPointer<PlanWindow> plan_; // "Preview Names", while it is open
    bool ended_ = false;
};

// The icon and tooltip of each of the main window's image buttons.
QIcon MainWindowIcon(const Control& control);
QString MainWindowToolTip(const Control& control);

} // namespace zembra
