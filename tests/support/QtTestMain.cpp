// The main of the window tests: an offscreen QApplication around GoogleTest,
// with the almanary locks the windows take kept in a private folder.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/PrivateLockFolder.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
