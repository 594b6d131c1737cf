#include "app/Application.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "app/AppPaths.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "app/SingleInstance.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/QtFileChooser.h"
#include "platform/QtPrompter.h"
#include "platform/QtSoundPlayer.h"

namespace almanary {

int runApplication(int argc, char** argv, const StartOptions& options) {
    QApplication app(argc, argv);
    initResources();
    QApplication::setApplicationName(QStringLiteral("Almanary"));
    QApplication::setOrganizationName(QStringLiteral("Almanary"));
    QApplication::setDesktopFileName(QStringLiteral("almanary"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/almanary.svg")));
    // Closing the window hides it in the tray; only Exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        if (instance.activateRunningCopy())
            return EXIT_SUCCESS;
        std::fprintf(stderr, "Almanary is already running but did not answer.\n");
        return EXIT_FAILURE;
    }

    QtPrompter prompter;
    QtFileChooser files;
    QtSoundPlayer sound;
    SystemClock clock;
    MainWindow window(AppServices{prompter, files, sound, clock, AppPaths::settingsPath(),
                                  AppPaths::skinsFolder()});
    window.initialise();
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &MainWindow::showAndActivate);
    QObject::connect(&window, &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
    if (options.beforeShow)
        options.beforeShow(window);
    window.show();
    return app.exec();
}

}  // namespace almanary
