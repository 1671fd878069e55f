// The main window: pictures dropped or named reach the list as "Add Pic(s)" adds
// them, never during a run; quitting ends a run cleanly; the import and updates
// dialogs open beside it and go away when closed. The executable's options and the
// command-line text that follows them.
#include "gui/gui_arguments.h"
#include "gui/main_window.h"
#include "gui/picture_paths.h"
#include "gui/qt_services.h"
#include "gui/start_up.h"
#include "support/loopback_server.h"
#include "support/scripted_services.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace zembra::testing {
namespace {

using Strings = std::vector<std::string>;

QUrl Local(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path));
}

Strings Entries(const ListControl& list) {
    Strings out;
    for (int i = 0; i < list.ListCount(); ++i)
        out.push_back(list.List(i));
    return out;
}

// An environment variable set for one test; the old value comes back after it.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value) : name(name) {
        if (const char* old = std::getenv(name))
            saved = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { saved ? ::setenv(name, saved->c_str(), 1) : ::unsetenv(name); }
    const char* name;
    std::optional<std::string> saved;
};

class Window : public ::testing::Test {
  protected:
    TempDir dir;
    // Each test has settings and a home folder of its own, never the user's.
    ScopedEnv home{"HOME", dir / "home"};
    ScopedEnv config{"XDG_CONFIG_HOME", dir / "config"};
    // Nothing listens on the discard port: update checks fail at once.
    ScopedEnv site{"ZEMBRA_UPDATE_SITE", "http://127.0.0.1:9"};
    int ends = 0;
    MainWindow window{{.scale = 1.0, .onEnd = [this] {
                           ++ends;
                           QCoreApplication::exit(0); // as the executable does
                       }}};

    void SetUp() override { window.form().Form_Load(); }

    Strings Listed() { return Entries(window.form().List3); }

    // Drags the URLs from a file manager over the list; true when the list takes them.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        auto* list = qobject_cast<QListWidget*>(window.view().widgetFor("List2"));
        EXPECT_NE(list, nullptr);
        QWidget* target = list->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
};

TEST_F(Window, DroppedFilesAndFoldersAreAddedAsChosenPictures) {
    std::filesystem::create_directories(dir / "trip/sub.jpg"); // a folder, whatever its name
    for (const char* name : {"trip/b.jpg", "trip/A.PNG", "trip/a.gif", "trip/notes.txt",
                             "trip/sub.jpg/deep.jpg", "trip/.thumb.jpg", "c.gif", "d.doc", ".jpg"})
        dir.Write(name);

    EXPECT_FALSE(Drop({QUrl("https://example.org/a.jpg")})); // nothing local
    ASSERT_TRUE(Drop({Local(dir / "trip/"), Local(dir / "c.gif"), Local(dir / "d.doc"),
                      Local(dir / ".jpg")})); // ".jpg" is a name without an extension
    // The folder's pictures by name in any case, its subfolders and other files left out;
    // which extensions are pictures is the import dialog's rule, tested with it.
    EXPECT_EQ(Listed(),
              (Strings{dir / "trip/a.gif", dir / "trip/A.PNG", dir / "trip/b.jpg", dir / "c.gif"}));

    // Dropping them again adds nothing, as choosing them again would.
    ASSERT_TRUE(Drop({Local(dir / "trip/b.jpg")}));
    EXPECT_EQ(Listed().size(), 4u);
    // Only the exact path is listed already: B.JPG beside b.jpg is another picture.
    ASSERT_TRUE(Drop({Local(dir.Write("trip/B.JPG"))}));
    EXPECT_EQ(Listed().back(), dir / "trip/B.JPG");
}

// "Preview Names" tables the plan and marks what a user should look at: a name
// taken already, a picture without the date its name was to start with.
TEST_F(Window, PreviewNamesTablesThePlanAndMarksConflictsAndMissingDates) {
    for (const char* name : {"a.jpg", "b.jpg", "Trip-001.jpg", "c.jpg"})
        dir.Write(name);
    ASSERT_TRUE(Drop({Local(dir / "a.jpg"), Local(dir / "b.jpg"), Local(dir / "c.jpg")}));
    std::filesystem::remove(dir / "c.jpg");
    Form1& form = window.form();
    form.Combo2.setListIndex(2);
    form.Text1.setText("Trip");
    form.Check1.setValue(1);
    const std::string before = dir.Listing();
    auto* preview = qobject_cast<QToolButton*>(window.view().widgetFor("Command17"));
    ASSERT_NE(preview, nullptr);
    QTest::mouseClick(preview, Qt::LeftButton);
    PlanWindow* plan = window.planWindow();
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(dir.Listing(), before);
    QTableWidget& table = plan->table();
    ASSERT_EQ(table.rowCount(), 3);
    const auto cell = [&](int row, int column) { return table.item(row, column)->text(); };
    EXPECT_EQ(cell(0, 1), "Trip-001-.jpg");
    EXPECT_NE(table.item(0, 1)->background(), table.item(0, 0)->background());
    EXPECT_EQ(cell(1, 1), "Trip-002.jpg");
    EXPECT_EQ(table.item(1, 1)->background(), table.item(1, 0)->background());
    EXPECT_EQ(cell(1, 6), "none");
    EXPECT_EQ(cell(2, 7), "skipped: not found");
}

TEST_F(Window, ClosingTheWindowEndsTheProgramOnceLikeCancelQuit) {
    window.view().show();
    window.view().close();
    EXPECT_TRUE(window.form().Ending());
    window.form().Command2_Click(); // a second request changes nothing
    EXPECT_EQ(ends, 1);
}

TEST_F(Window, AddFoldersOpensOneImportDialogThatBrowsesAndGoesAwayOnCancel) {
    std::filesystem::create_directories(dir / "home/Album");
    auto* addFolders = qobject_cast<QToolButton*>(window.view().widgetFor("Command9"));
    ASSERT_NE(addFolders, nullptr);
    QTest::mouseClick(addFolders, Qt::LeftButton);
    ImportWindow* import = window.importWindow();
    ASSERT_NE(import, nullptr);
    EXPECT_TRUE(import->view().isVisible());
    EXPECT_EQ(import->view().windowTitle(), "Import Picture Folder(s)");
    // Placed over the main window, not at the screen's corner.
    EXPECT_TRUE(window.view().frameGeometry().contains(import->view().frameGeometry().center()));
    EXPECT_NE(import->view().pos(), QPoint(0, 0));
    QTest::mouseClick(addFolders, Qt::LeftButton);
    EXPECT_EQ(window.importWindow(), import); // one dialog at a time

    // Double-clicking a folder of the tree opens it.
    auto* tree = qobject_cast<QListWidget*>(import->view().widgetFor("Dir1"));
    ASSERT_NE(tree, nullptr);
    const auto found = tree->findItems("Album", Qt::MatchEndsWith);
    ASSERT_EQ(found.size(), 1);
    const QRect item = tree->visualItemRect(found.front());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, item.center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(import->form().Dir1.Path(), dir / "home/Album");

    QTest::mouseClick(qobject_cast<QToolButton*>(import->view().widgetFor("Command2")),
                      Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.importWindow(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir / "config/KVD/folder.txt"));
}

TEST_F(Window, UpdatesDialogDisablesTheMainWindowUntilClosed) {
    window.view().show();
    window.form().shared.AppDataFolder = dir / "config";
    window.form().ShowUpdatesDialog();
    Form5* dialog = window.updates().dialog();
    FormView* view = window.updates().dialogView();
    ASSERT_TRUE(dialog && view);
    EXPECT_FALSE(window.view().isEnabled());
    EXPECT_TRUE(view->isVisible() && view->isEnabled());
    // The check runs beside the window and fills the dialog when it is over.
    EXPECT_EQ(dialog->Label6.Caption(), "Checking Online");
    for (int i = 0; i < 200 && dialog->Label6.Caption() == "Checking Online"; ++i)
        QTest::qWait(25);
    EXPECT_EQ(dialog->Label6.Caption(), "Version not found");

    auto* ok = qobject_cast<QAbstractButton*>(view->widgetFor(dialog->Command1));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isVisible());
    EXPECT_EQ(ok->text(), "OK");
    QTest::mouseClick(ok, Qt::LeftButton);

    EXPECT_TRUE(window.view().isEnabled());
    EXPECT_EQ(window.updates().dialog(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A server that takes the connection and never answers holds the start-up check,
// never the window: it is shown and takes clicks meanwhile.
TEST(StartUpCheck, RunsBesideTheWindowWhichStaysUsable) {
    TempDir dir;
    ScopedEnv home{"HOME", dir / "home"};
    ScopedEnv config{"XDG_CONFIG_HOME", dir / "config"};
    LoopbackServer server;
    ASSERT_TRUE(server.Running());
    ScopedEnv site{"ZEMBRA_UPDATE_SITE", server.SilentAddress()};
    MainWindow window({.scale = 1.0, .onEnd = {}});
    window.form().Form_Load();
    window.form().shared.AppDataFolder = dir / "config";
    window.form().CheckVersionAtStartup();
    window.view().show();
    EXPECT_EQ(window.updates().host().startUpCheck, nullptr); // not before the loop runs
    QTest::qWait(50);
    const auto& check = window.updates().host().startUpCheck;
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->Running());
    QTest::mouseClick(window.view().widgetFor("Check5"), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(window.form().Check5.Value(), 1);
    EXPECT_TRUE(check->Running());
}

TEST_F(Window, FileDialogsStartInPicturesOnlyWhenItExists) {
    std::filesystem::create_directories(dir / "home");
    EXPECT_EQ(StartFolder().toStdString(), dir / "home");
    std::filesystem::create_directories(dir / "home/Pictures");
    EXPECT_EQ(StartFolder().toStdString(), dir / "home/Pictures");
}

TEST(DesktopUrls, AreWebAddressesOnlyForHttpAndFilesOtherwise) {
    const std::string here = std::filesystem::current_path().string();
    const struct {
        const char* target;
        std::string url;
    } cases[] = {
        {"https://example.org/", "https://example.org/"},
        {"/p/a b#1.jpg", "file:///p/a%20b%231.jpg"},
        // A list entry that is no absolute path is still a file, never a host.
        {"www.example.org", "file://" + here + "/www.example.org"},
        {"ftp://x/a.jpg", "file://" + here + "/ftp:/x/a.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopUrl(c.target).toString(QUrl::FullyEncoded).toStdString(), c.url)
            << c.target;
}

// The open dialog's answers are only right if Form1's "Add Pic(s)" lists exactly the paths.
TEST(OpenAnswers, ListExactlyThePathsThroughAddPictures) {
    EXPECT_EQ(OpenAnswer({}), "");
    // A single path is the drop test's B.JPG.
    const Strings cases[] = {
        {"/p/b.jpg", "/p/a.jpg", "/p/c d.png"}, {"/a.jpg", "/b.jpg"}, {"/x/a.jpg", "/y/z/b.jpg"}};
    for (const Strings& paths : cases) {
        ScriptedServices services;
        Form1 form{services};
        form.Form_Load();
        services.dialogAnswers.push_back(OpenAnswer(paths));
        form.Command7.Click();
        EXPECT_EQ(Entries(form.List3), paths) << paths.front();
    }
    // Runs of one folder become one answer each.
    EXPECT_EQ(OpenAnswersFor({"/p/a.jpg", "/p/b.jpg", "/q/c.jpg", "/p/d.jpg"}),
              (Strings{OpenAnswer({"/p/a.jpg", "/p/b.jpg"}), "/q/c.jpg", "/p/d.jpg"}));
}

TEST(Arguments, SplitIntoOptionsPathsAndCommandLineText) {
    const struct {
        Strings args;
        std::string commandLine;
        Strings add;
    } cases[] = {
        {{}, "", {}},
        {{"/p/||a.jpg|b.jpg", "and", "more"}, "/p/||a.jpg|b.jpg and more", {}},
        {{"--add", "a.jpg", "pics"}, "", {"a.jpg", "pics"}},
        {{"--add", "a.jpg", "--", "||/x.jpg"}, "||/x.jpg", {"a.jpg"}},
        // Plain paths are added, as a terminal or "Open with" gives them.
        {{"a.jpg", "b c.jpg"}, "", {"a.jpg", "b c.jpg"}},
        {{"--add", "a.jpg", "--", "b.jpg"}, "", {"a.jpg", "b.jpg"}},
        {{"--", "--add"}, "", {"--add"}},
        {{"*"}, "*", {}},
        {{"*", "b.jpg"}, "", {"*", "b.jpg"}},
        // A "||" anywhere makes one text of them, blanks in names restored.
        {{"x", "--add", "||a.jpg"}, "x --add ||a.jpg", {}},
    };
    for (const auto& c : cases) {
        const GuiArguments parsed = ParseGuiArguments(c.args);
        EXPECT_EQ(parsed.error, "") << c.commandLine;
        EXPECT_EQ(parsed.commandLine, c.commandLine);
        EXPECT_EQ(parsed.add, c.add) << c.commandLine;
    }
}

TEST(Arguments, ReadTheirValuesAndFailOnMissingOrBadOnesAndUnknownOptions) {
    const GuiArguments parsed =
        ParseGuiArguments({"--version", "--screenshot", "w.png", "--font-size", "14", "--help"});
    EXPECT_TRUE(parsed.version);
    EXPECT_TRUE(parsed.help);
    EXPECT_EQ(parsed.screenshot, "w.png");
    EXPECT_EQ(parsed.fontSize, 14);
    const Strings bad[] = {{"--add"},   {"--add", "--version"}, {"--screenshot"},
                           {"--bogus"}, {"--font-size", "12x"}, {"--font-size", "200"}};
    for (const Strings& args : bad)
        EXPECT_NE(ParseGuiArguments(args).error, "") << args.front() << ' ' << args.back();
}

// A job that renames three pictures, ready to run.
class Run : public Window {
  protected:
    void SetUp() override {
        Window::SetUp();
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "late.jpg"})
            dir.Write(name);
        ASSERT_TRUE(window.AddPictures({dir / "a.jpg", dir / "b.jpg", dir / "c.jpg"}));
        window.form().Combo2.setListIndex(1); // Rename Original
        window.form().Text1.setText("Trip");
        window.view().show();
    }
};

TEST_F(Run, PicturesDroppedOrAddedDuringTheRunAreRefused) {
    bool listLocked = false, dropped = true, added = true;
    std::size_t listedThen = 0;
    // Runs inside the run, when it lets pending messages through.
    QTimer::singleShot(0, [&] {
        listLocked = !window.form().List2.Enabled();
        dropped = Drop({Local(dir / "late.jpg")});
        added = window.AddPictures({dir / "late.jpg"});
        listedThen = Listed().size();
    });
    window.form().Command1.Click();
    EXPECT_TRUE(listLocked);
    EXPECT_FALSE(dropped);
    EXPECT_FALSE(added);
    EXPECT_EQ(listedThen, 3u);
}

TEST_F(Run, QuitDuringTheRunStopsAfterThePictureInHandAndLeavesTheEventLoop) {
    // Both run from the event loop as the user's clicks would; the second while the
    // run lets pending messages through.
    QTimer::singleShot(0, [&] { window.form().Command1.Click(); });
    QTimer::singleShot(
        0, [&] { QTest::mouseClick(window.view().widgetFor("Command2"), Qt::LeftButton); });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); }); // stuck
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.form().Ending());
    EXPECT_TRUE(window.view().isHidden());
    // The first picture was renamed before the quit was seen; the others are untouched.
    EXPECT_FALSE(std::filesystem::exists(dir / "a.jpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "Trip-001.jpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "b.jpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "c.jpg"));
}

} // namespace
} // namespace zembra::testing
