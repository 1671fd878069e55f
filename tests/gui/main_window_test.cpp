// The main window: pictures dropped or named reach the list as "Add Pic(s)" adds
// them, never during a run; quitting ends a run cleanly.
#include "gui/main_window.h"
#include "gui/picture_paths.h"
#include "support/temp_dir.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

namespace zembra::testing {
namespace {

class Window : public ::testing::Test {
  protected:
    TempDir dir;
    int ends = 0;
    bool leaveLoop = false; // as the executable does
    MainWindow window{{.scale = 1.0, .onEnd = [this] {
                           ++ends;
                           if (leaveLoop)
                               QCoreApplication::exit(0);
                       }}};

    void SetUp() override { window.form().Form_Load(); }

    std::vector<std::string> Listed() const {
        std::vector<std::string> out;
        const ListBox& list = const_cast<MainWindow&>(window).form().List3;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }

    QWidget* ListViewport() {
        auto* list = qobject_cast<QListWidget*>(window.view().widgetFor("List2"));
        EXPECT_NE(list, nullptr);
        return list ? list->viewport() : nullptr;
    }

    // Drags the paths from a file manager over the list; true when the list takes them.
    bool Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        QWidget* target = ListViewport();
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
    std::filesystem::create_directories(dir / "trip/sub");
    for (const char* name : {"trip/b.jpg", "trip/A.PNG", "trip/notes.txt", "trip/sub/deep.jpg",
                             "trip/.thumb.jpg", "c.gif", "d.doc"})
        dir.Write(name);

    ASSERT_TRUE(Drop({dir / "trip", dir / "c.gif", dir / "d.doc"}));
    // The folder's pictures by name, its subfolders and other files left out.
    EXPECT_EQ(Listed(),
              (std::vector<std::string>{dir / "trip/A.PNG", dir / "trip/b.jpg", dir / "c.gif"}));
    EXPECT_EQ(window.form().List2.List(0), "A.PNG");
    EXPECT_EQ(window.form().Label19.Caption(), "Files to Process: 3");
    EXPECT_TRUE(window.form().Command1.Visible());

    // Dropping them again adds nothing, as choosing them again would.
    ASSERT_TRUE(Drop({dir / "trip/b.jpg"}));
    EXPECT_EQ(Listed().size(), 3u);
}

TEST_F(Window, DropsOfNothingLocalAreRefused) {
    QMimeData data;
    data.setUrls({QUrl("https://example.org/a.jpg")});
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(ListViewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(Window, DropsAreRefusedWhileTheListIsLockedForARun) {
    dir.Write("a.jpg");
    window.form().List2.setEnabled(false);
    EXPECT_FALSE(Drop({dir / "a.jpg"}));
    EXPECT_FALSE(window.AddPictures({dir / "a.jpg"}));
    EXPECT_TRUE(Listed().empty());
}

// A job that renames three pictures, ready to run.
class Run : public Window {
  protected:
    void SetUp() override {
        Window::SetUp();
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            dir.Write(name);
        ASSERT_TRUE(window.AddPictures({dir / "a.jpg", dir / "b.jpg", dir / "c.jpg"}));
        window.form().Combo2.setListIndex(1); // Rename Original
        window.form().Text1.setText("Trip");
        window.view().show();
    }
};

TEST_F(Run, ADropDuringTheRunIsRefused) {
    dir.Write("late.jpg");
    bool dropped = true;
    bool listLocked = false;
    std::size_t listedThen = 0;
    // Runs inside the run, when it lets pending messages through.
    QTimer::singleShot(0, [&] {
        listLocked = !window.form().List2.Enabled();
        dropped = Drop({dir / "late.jpg"});
        listedThen = Listed().size();
    });
    window.form().Command1.Click();
    EXPECT_TRUE(listLocked);
    EXPECT_FALSE(dropped);
    EXPECT_EQ(listedThen, 3u);
    EXPECT_TRUE(std::filesystem::exists(dir / "late.jpg"));
}

TEST_F(Run, QuitDuringTheRunStopsAfterThePictureInHandAndEndsOnce) {
    QTimer::singleShot(
        0, [&] { QTest::mouseClick(window.view().widgetFor("Command2"), Qt::LeftButton); });
    window.form().Command1.Click();
    EXPECT_TRUE(window.form().Ending());
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.view().isHidden());
    // The first picture was renamed before the quit was seen; the others are untouched.
    EXPECT_FALSE(std::filesystem::exists(dir / "a.jpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "Trip-001.jpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "b.jpg"));
    EXPECT_TRUE(std::filesystem::exists(dir / "c.jpg"));
}

TEST_F(Run, QuittingDuringARunLeavesTheEventLoop) {
    leaveLoop = true;
    // Both run from the event loop as the user's clicks would; the second while the
    // run lets pending messages through.
    QTimer::singleShot(0, [&] { window.form().Command1.Click(); });
    QTimer::singleShot(
        0, [&] { QTest::mouseClick(window.view().widgetFor("Command2"), Qt::LeftButton); });
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "c.jpg"));
}

TEST_F(Window, ClosingTheWindowEndsTheProgramLikeCancelQuit) {
    window.view().show();
    window.view().close();
    EXPECT_TRUE(window.form().Ending());
    EXPECT_EQ(ends, 1);
    window.form().Command2_Click(); // a second request changes nothing
    EXPECT_EQ(ends, 1);
}

TEST_F(Window, AddedPathsAreMadeFull) {
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    dir.Write("rel.bmp");
    window.AddPictures({"rel.bmp", "./missing.tif"});
    std::filesystem::current_path(here);
    EXPECT_EQ(Listed(), (std::vector<std::string>{dir / "rel.bmp", dir / "missing.tif"}));
}

TEST_F(Window, ImageButtonsCarryTheirPictures) {
    for (const char* name :
         {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7",
          "Command8", "Command9", "Command11", "Command12", "Command14"}) {
        auto* button = qobject_cast<QToolButton*>(window.view().widgetFor(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
    }
}

TEST_F(Window, TheTitleIsTheFormsCaption) {
    EXPECT_EQ(window.view().windowTitle(), "Zembra v2.4.0");
}

} // namespace
} // namespace zembra::testing
