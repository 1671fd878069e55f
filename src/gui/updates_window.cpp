#include "gui/updates_window.h"

#include "exif/cls_exif.h"
#include "imaging/picture_file.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace zembra {

namespace {

// The logo frame beside the program; the dialog goes without when it is missing.
PictureRef LoadLogo() {
    auto bitmap = LoadPictureFile(ProgramDataFolder() + "/kvd.jpg");
    return bitmap ? MakePicture(std::move(bitmap.value()), 0x00F0F0F0) : nullptr;
}

} // namespace

UpdatesWindow::UpdatesWindow(Form1& main, Services& services, QWidget& mainView,
                             std::function<void()> endProgram)
    : main_(main), host_(main, services), mainView_(&mainView) {
    host_.setMainWindowEnabled = [this](bool enabled) {
        if (mainView_)
            mainView_->setEnabled(enabled);
    };
    host_.openWithDesktop = [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    host_.endProgram = std::move(endProgram);
    // Downloads run on threads of their own; what follows them runs here.
    host_.post = [](std::function<void()> work) {
        QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
    };
    // The check begins once the event loop runs, with the main window on screen.
    main_.CheckVersionAtStartup = [this] {
        QTimer::singleShot(0, mainView_.data(), [this] { CheckVersionAtStartup(host_); });
    };
    main_.ShowUpdatesDialog = [this] { Show(); };
}

UpdatesWindow::~UpdatesWindow() {
    main_.CheckVersionAtStartup = nullptr;
    main_.ShowUpdatesDialog = nullptr;
    // The view holds bindings to the dialog's controls, so it goes first.
    view_.reset();
    form_.reset();
}

void UpdatesWindow::Show() {
    if (view_) {
        view_->raise();
        view_->activateWindow();
        return;
    }
    // The dialog checks again into the same version file: a start-up check still
    // waiting for its server stops.
    host_.startUpCheck.reset();
    form_ = std::make_unique<Form5>(host_);
    form_->onUnload = [this] { unload(); };
    form_->Refresh = [this] {
        if (view_)
            view_->repaint();
    };
    form_->Image1.setPicture(LoadLogo());
    // The dialog's load starts the check; its answer fills the dialog once it is in.
    form_->Form_Load();

    FormViewOptions look;
    look.reportError = [this](const std::string& message) { host_.services.MsgBox(message); };
    look.onClose = [this] {
        if (form_)
            form_->Unload();
        return true;
    };
    view_ = std::make_unique<FormView>(*form_, std::move(look));
    view_->setWindowIcon(mainView_ ? mainView_->windowIcon() : QIcon());
    // Shown before the main window is, the dialog waits for it, so that it opens
    // above it.
    if (mainView_ && !mainView_->isVisible())
        QTimer::singleShot(0, view_.get(), [this] { present(); });
    else
        present();
}

void UpdatesWindow::present() {
    if (!view_)
        return;
    // Kept above the main window by the window manager, but not its child: a
    // disabled main window must not disable the dialog with it.
    if (mainView_) {
        mainView_->winId();
        view_->winId();
        view_->windowHandle()->setTransientParent(mainView_->windowHandle());
        CentreOn(*view_, *mainView_);
    }
    view_->show();
    view_->raise();
    view_->activateWindow();
}

void UpdatesWindow::unload() {
    if (!view_)
        return;
    view_->hide();
    // A handler of the dialog is still running: its window and model go once the
    // event loop has them back, the view before the controls it shows.
    FormView* view = view_.release();
    Form5* form = form_.release();
    QObject::connect(view, &QObject::destroyed, [form] { delete form; });
    view->deleteLater();
}

} // namespace zembra
