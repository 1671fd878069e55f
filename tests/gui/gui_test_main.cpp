// The gui tests need one QApplication for the whole run, on the offscreen platform
// whatever the environment says, so they never need a display. Nothing answers at
// the update site, so every window's start-up check fails at once, as without a
// network, and no test reaches the maker's site.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZEMBRA_UPDATE_SITE", "http://127.0.0.1:1", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
