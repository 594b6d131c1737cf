// The main of the window tests: an offscreen QApplication around GoogleTest,
// with the almanary locks the windows take kept in a private folder, and
// no session bus, so no test ever shows a notification on the desktop of
// whoever runs it (a test that wants a bus starts its own).
#include <gtest/gtest.h>

#include <QApplication>

#include "support/PrivateLockFolder.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/almanary-test-bus", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
