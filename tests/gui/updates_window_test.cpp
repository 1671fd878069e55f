// The updates dialog on the desktop: it keeps the main window disabled while open,
// shows its buttons' captions and goes away with "OK".
#include "gui/main_window.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zembra::testing {
namespace {

TEST(UpdatesWindow, DisablesTheMainWindowUntilClosed) {
    // Nothing answers there: the check fails at once, as without a network.
    setenv("ZEMBRA_UPDATE_SITE", "http://127.0.0.1:1", 1);
    TempDir appData;
    MainWindow window({.scale = 1.0, .onEnd = {}});
    unsetenv("ZEMBRA_UPDATE_SITE");
    window.form().Form_Load();
    window.form().shared.AppDataFolder = appData.Path();
    window.view().show();

    ASSERT_TRUE(window.form().ShowUpdatesDialog);
    window.form().ShowUpdatesDialog();
    Form5* dialog = window.updates().dialog();
    FormView* view = window.updates().dialogView();
    ASSERT_TRUE(dialog && view);
    EXPECT_FALSE(window.view().isEnabled());
    EXPECT_TRUE(view->isVisible() && view->isEnabled());
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

} // namespace
} // namespace zembra::testing
