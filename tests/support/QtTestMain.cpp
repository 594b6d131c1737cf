// The window tests' main: offscreen, private locks, no session bus (no notification shows).

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
