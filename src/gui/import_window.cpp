#include "gui/import_window.h"

#include "gui/icons.h"

namespace zembra {

QIcon ImportWindowIcon(const Control& control) {
    const std::string& name = control.Name();
    if (name == "Command3")
        return GlyphIcon(Glyph::AddFolder);
    if (name == "Command4")
        return GlyphIcon(Glyph::Remove);
    if (name == "Command1")
        return GlyphIcon(Glyph::AddPictures);
    if (name == "Command2")
        return GlyphIcon(Glyph::Quit);
    // The desktop's own icons for its special folders, where the theme has them.
    if (name == "Command5")
        return QIcon::fromTheme(QStringLiteral("user-desktop"), GlyphIcon(Glyph::Browse));
    if (name == "Command6")
        return QIcon::fromTheme(QStringLiteral("folder-pictures"), GlyphIcon(Glyph::Browse));
    return {};
}

ImportWindow::ImportWindow(Form1& main, QWidget* owner, double scale,
                           std::function<void()> onUnloaded)
    : form_(main, services_) {
    form_.onUnload = [this, onUnloaded = std::move(onUnloaded)] {
        if (view_)
            view_->hide();
        if (onUnloaded)
            onUnloaded();
    };
    // The controls take their restored state before the window is made.
    form_.Form_Load();

    FormViewOptions look;
    look.scale = scale;
    look.iconFor = ImportWindowIcon;
    look.reportError = [this](const std::string& message) { services_.MsgBox(message); };
    look.onClose = [this] {
        form_.Form_QueryUnload();
        return true;
    };
    view_ = std::make_unique<FormView>(form_, std::move(look), owner);
    // A window of its own that stays over the main window, without blocking it.
    view_->setWindowFlags(Qt::Dialog);
    view_->setWindowModality(Qt::NonModal);
    services_.setWindow(view_.get());
    if (owner)
        CentreOn(*view_, *owner);
    if (!form_.Closed())
        view_->show();
}

ImportWindow::~ImportWindow() {
    form_.onUnload = nullptr;
    view_.reset();
}

void ImportWindow::raise() {
    view_->show();
    view_->raise();
    view_->activateWindow();
}

} // namespace zembra
