// The folder import dialog beside the main window: opened by "Add Folder(s)",
// browsed with the mouse, gone once it closes.
#include "gui/main_window.h"
#include "support/temp_dir.h"

#include <QListWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace zembra::testing {
namespace {

TEST(ImportWindow, OpensOnceBrowsesAndGoesAwayOnCancel) {
    TempDir dir;
    std::filesystem::create_directories(dir / "home/Album");
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", (dir / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    {
        MainWindow window({.scale = 1.0, .onEnd = [] {}});
        window.form().Form_Load();
        auto* addFolders = qobject_cast<QToolButton*>(window.view().widgetFor("Command9"));
        ASSERT_NE(addFolders, nullptr);
        QTest::mouseClick(addFolders, Qt::LeftButton);
        ImportWindow* import = window.importWindow();
        ASSERT_NE(import, nullptr);
        EXPECT_TRUE(import->view().isVisible());
        EXPECT_EQ(import->view().windowTitle(), "Import Picture Folder(s)");
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
    ::setenv("HOME", savedHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace zembra::testing
