#include "gui/main_window.h"

#include "gui/icons.h"
#include "gui/picture_paths.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <exception>

namespace zembra {

namespace {

struct ButtonLook {
    const char* name;
    Glyph glyph;
    const char* toolTip; // for buttons without a caption of their own
};

constexpr ButtonLook kButtons[] = {
    {"Command7", Glyph::AddPictures, ""},
    {"Command9", Glyph::AddFolder, ""},
    {"Command8", Glyph::ClearList, ""},
    {"Command3", Glyph::Remove, ""},
    {"Command11", Glyph::MoveUp, "Move the selected picture up"},
    {"Command12", Glyph::MoveDown, "Move the selected picture down"},
    {"Command4", Glyph::Previous, ""},
    {"Command5", Glyph::Next, ""},
    {"Command6", Glyph::Process, ""},
    {"Command17", Glyph::PreviewNames, ""},
    {"Command1", Glyph::ProcessAll, ""},
    {"Command2", Glyph::Quit, ""},
    {"Command14", Glyph::Browse, "Choose the watermark picture"},
    {"Command10", Glyph::Help, ""},
    {"Command15", Glyph::Updates, ""},
};

const ButtonLook* LookOf(const Control& control) {
    for (const ButtonLook& look : kButtons) {
        if (control.Name() == look.name)
            return &look;
    }
    return nullptr;
}

} // namespace

QIcon MainWindowIcon(const Control& control) {
    const ButtonLook* look = LookOf(control);
    return look ? GlyphIcon(look->glyph) : QIcon();
}

QString MainWindowToolTip(const Control& control) {
    const ButtonLook* look = LookOf(control);
    return look ? QString::fromUtf8(look->toolTip) : QString();
}

// Takes pictures and folders dropped on the picture list.
class MainWindow::DropTarget : public QObject {
  public:
    DropTarget(MainWindow& window, QAbstractItemView* list) : window_(window) {
        list->setAcceptDrops(true);
        list->setDragDropMode(QAbstractItemView::DropOnly);
        list->viewport()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (accepting() && !LocalPaths(*drag->mimeData()).empty())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto paths = LocalPaths(*drop->mimeData());
            if (!paths.empty() && window_.AddPictures(paths))
                drop->acceptProposedAction();
            else
                drop->ignore();
            return true;
        }
        default:
            return false;
        }
    }

  private:
    // The list is disabled while a run goes on.
    bool accepting() const { return window_.form().List2.Enabled(); }

    static std::vector<std::string> LocalPaths(const QMimeData& data) {
        std::vector<std::string> paths;
        for (const QUrl& url : data.urls()) {
            if (url.isLocalFile())
                paths.push_back(url.toLocalFile().toStdString());
        }
        return paths;
    }

    MainWindow& window_;
};

MainWindow::MainWindow(Options options) : options_(std::move(options)), form_(services_, files_) {
    form_.RunJournals = JournalFolder();
    FormViewOptions look;
    look.scale = options_.scale;
    look.iconFor = MainWindowIcon;
    look.toolTipFor = MainWindowToolTip;
    look.reportError = [this](const std::string& message) { services_.MsgBox(message); };
    // Closing the window ends the program as "Cancel/Quit" does.
    look.onClose = [this] {
        if (!form_.Ending())
            form_.Command2_Click();
        return true;
    };
    form_.Lookahead = &lookahead_;
    view_ = std::make_unique<FormView>(form_, std::move(look));
    view_->setWindowIcon(GlyphIcon(Glyph::Application));
    services_.setWindow(view_.get());
    form_.onQuit = [this] { end(); };
    form_.ShowImportDialog = [this] { showImportDialog(); };
    form_.ShowPlan = [this](const std::vector<PicturePlan>& rows) {
        if (plan_)
            plan_->close();
        plan_ = new PlanWindow(*view_, rows);
        plan_->show();
    };
    form_.RepaintWhileBusy = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (auto* list = qobject_cast<QAbstractItemView*>(view_->widgetFor(form_.List2)))
        drops_ = std::make_unique<DropTarget>(*this, list);
    // A downloaded installer ends the program without the closing steps.
    updates_ = std::make_unique<UpdatesWindow>(form_, services_, *view_, [this] { end(); });
}

MainWindow::~MainWindow() {
    updates_.reset();
    form_.onQuit = nullptr;
    form_.ShowImportDialog = nullptr;
    form_.RepaintWhileBusy = nullptr;
    import_.reset();
    drops_.reset();
    view_.reset();
}

void MainWindow::showImportDialog() {
    if (import_) {
        import_->raise();
        return;
    }
    // Opening lets the window work (thumbnails may load): a second press then
    // must not open a second dialog.
    if (openingImport_)
        return;
    openingImport_ = true;
    auto opened = std::make_unique<ImportWindow>(form_, view_.get(), options_.scale, [this] {
        // Told from inside the dialog's own handler: it goes once that has returned.
        QTimer::singleShot(0, view_.get(), [this] { import_.reset(); });
    });
    openingImport_ = false;
    import_ = std::move(opened);
}

void MainWindow::end() {
    if (ended_)
        return;
    ended_ = true;
    // An open folder import dialog remembers its folder as closing it would.
    if (import_)
        import_->form().Form_QueryUnload();
    // A run that is letting messages through stops at its next picture; the window
    // goes at once.
    view_->hide();
    if (options_.onEnd)
        options_.onEnd();
}

bool MainWindow::AddPictures(const std::vector<std::string>& paths) {
    if (!form_.List2.Enabled())
        return false;
    std::vector<std::string> full;
    for (const std::string& path : paths)
        full.push_back(AbsolutePath(path));
    for (const std::string& answer : OpenAnswersFor(ExpandToPictures(full))) {
        services_.QueueOpenAnswer(answer);
        try {
            form_.Command7.Click();
        } catch (const std::exception& e) {
            services_.MsgBox(e.what());
        }
        // A press that did not reach the handler leaves its answer unused; the next
        // real dialog must not take it.
        services_.ClearOpenAnswers();
    }
    return true;
}

} // namespace zembra
