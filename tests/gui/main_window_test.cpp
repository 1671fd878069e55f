// The main window: pictures dropped or named reach the list as "Add Pic(s)" adds
// them, never during a run; quitting ends a run cleanly.
#include "gui/main_window.h"
#include "support/temp_dir.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

namespace zembra::testing {
namespace {

QUrl Local(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path));
}

class Window : public ::testing::Test {
  protected:
    TempDir dir;
    int ends = 0;
    MainWindow window{{.scale = 1.0, .onEnd = [this] {
                           ++ends;
                           QCoreApplication::exit(0); // as the executable does
                       }}};

    void SetUp() override { window.form().Form_Load(); }

    std::vector<std::string> Listed() {
        std::vector<std::string> out;
        for (int i = 0; i < window.form().List3.ListCount(); ++i)
            out.push_back(window.form().List3.List(i));
        return out;
    }

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
                             "trip/sub.jpg/deep.jpg", "trip/.thumb.jpg", "c.gif", "d.doc"})
        dir.Write(name);

    EXPECT_FALSE(Drop({QUrl("https://example.org/a.jpg")})); // nothing local
    ASSERT_TRUE(Drop({Local(dir / "trip/"), Local(dir / "c.gif"), Local(dir / "d.doc")}));
    // The folder's pictures by name in any case, its subfolders and other files left out.
    EXPECT_EQ(Listed(), (std::vector<std::string>{dir / "trip/a.gif", dir / "trip/A.PNG",
                                                  dir / "trip/b.jpg", dir / "c.gif"}));

    // Dropping them again adds nothing, as choosing them again would.
    ASSERT_TRUE(Drop({Local(dir / "trip/b.jpg")}));
    EXPECT_EQ(Listed().size(), 4u);
    // Only the exact path is listed already: B.JPG beside b.jpg is another picture.
    ASSERT_TRUE(Drop({Local(dir.Write("trip/B.JPG"))}));
    EXPECT_EQ(Listed().back(), dir / "trip/B.JPG");
}

TEST_F(Window, ClosingTheWindowEndsTheProgramOnceLikeCancelQuit) {
    window.view().show();
    window.view().close();
    EXPECT_TRUE(window.form().Ending());
    window.form().Command2_Click(); // a second request changes nothing
    EXPECT_EQ(ends, 1);
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
