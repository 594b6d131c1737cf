#include "app/Application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "app/AppPaths.h"
#include "app/MainWindow.h"
#include "app/Resources.h"
#include "app/SignalWatcher.h"
#include "app/SingleInstance.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/QtColourChooser.h"
#include "platform/QtFileChooser.h"
#include "platform/QtPrinterChooser.h"
#include "platform/QtPrompter.h"
#include "platform/QtSoundPlayer.h"
#include "share/ServerAddress.h"
#include "skins/SkinFolder.h"

namespace almanary {
namespace {

// The sample skins go into the user's skins folder at a first start, and
// again after one was deleted, so the skin editor always offers them.
void addSampleSkins() {
    const std::string data = AppPaths::dataFolder();
    if (data.empty())
        return;
    if (const auto problem = SkinFolder::addSamples(data + "/skins", AppPaths::skinsFolder()))
        std::fprintf(stderr, "Almanary: the sample skins were not copied: %s\n", problem->c_str());
}

}  // namespace

int runApplication(int argc, char** argv, const StartOptions& options) {
    QApplication app(argc, argv);
    initResources();
    QApplication::setApplicationName(QStringLiteral("Almanary"));
    QApplication::setOrganizationName(QStringLiteral("Almanary"));
    QApplication::setDesktopFileName(QStringLiteral("almanary"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/almanary.svg")));
    // Closing the window hides it in the tray; only Exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A desktop calendar."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("An almanary (.alm) to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList given = parser.positionalArguments();
    const QString file = given.isEmpty() ? QString() : QFileInfo(given.first()).absoluteFilePath();

    SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        if (instance.activateRunningCopy(file))
            return EXIT_SUCCESS;
        std::fprintf(stderr, "Almanary is already running but did not answer.\n");
        return EXIT_FAILURE;
    }

    addSampleSkins();

    QtPrompter prompter;
    QtFileChooser files;
    QtColourChooser colours;
    QtPrinterChooser printers;
    QtSoundPlayer sound;
    SystemClock clock;
    MainWindow window(AppServices{prompter, files, colours, printers, sound, clock,
                                  AppPaths::settingsPath(), AppPaths::skinsFolder(),
                                  AppPaths::recoveryFolder()});
    window.initialise();
    // Without a server the program still runs; other machines cannot fetch
    // from it, which standard error says.
    if (const auto problem = ServerAddress::environmentProblem())
        std::fprintf(stderr, "Almanary: %s\n", problem->c_str());
    if (const auto problem = window.startShareServer(ServerAddress::defaultPort()))
        std::fprintf(stderr, "Almanary: the share server is not running: %s\n", problem->c_str());
    // A signal or the end of the desktop session ends the program through
    // its own way out, keeping or asking about unsaved changes.
    SignalWatcher endSignals;
    QObject::connect(&endSignals, &SignalWatcher::endRequested, &window,
                     &MainWindow::endWithoutQuestions);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     &MainWindow::commitSessionData);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &MainWindow::showAndActivate);
    QObject::connect(&instance, &SingleInstance::openRequested, &window, &MainWindow::openFile);
    QObject::connect(&window, &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
    if (options.beforeShow)
        options.beforeShow(window);
    window.show();
    window.offerRecovery();
    if (!file.isEmpty())
        window.openFile(file);
    return app.exec();
}

}  // namespace almanary
