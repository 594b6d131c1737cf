// almanary-screenshots [output folder]: renders the program's windows
// offscreen, with a sample almanary and skin, into <name>.png files.
// A new window is one more line in kShots.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "SampleAlmanary.h"
#include "ScreenshotScene.h"
#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/PasswordDialog.h"

namespace almanary::screenshots {
namespace {

struct Shot {
    const char* name;  // the PNG's file name, without ".png"
    std::function<QWidget*(ScreenshotScene&)> make;
};

const Shot kShots[] = {
    {"main-window", [](ScreenshotScene& s) -> QWidget* { return &s.mainWindow(); }},
    {"about-dialog",
     [](ScreenshotScene& s) {
         return s.Keep(std::make_unique<AboutDialog>(&s.mainWindow(), s.background()));
     }},
    {"password-dialog",
     [](ScreenshotScene& s) {
         auto dialog =
             std::make_unique<PasswordDialog>(&s.mainWindow(), s.prompter(), s.background());
         dialog->SetFileName(s.files().almanaryPath);
         return s.Keep(std::move(dialog));
     }},
};

// Shows the window, lets it lay itself out and paint, and saves its pixels.
bool Capture(QWidget& window, const QString& path) {
    window.show();
    window.raise();
    window.activateWindow();
    QCoreApplication::processEvents();
    const QPixmap pixels = window.grab();
    if (pixels.isNull() || !pixels.save(path, "PNG")) {
        std::fprintf(stderr, "almanary-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

int Run(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Almanary"));
    QApplication::setOrganizationName(QStringLiteral("Almanary"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/almanary.svg")));
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList arguments = QApplication::arguments();
    const QString outFolder =
        arguments.size() > 1 ? arguments.at(1) : QStringLiteral("screenshots");
    if (!QDir().mkpath(outFolder)) {
        std::fprintf(stderr, "almanary-screenshots: cannot create %s\n", qPrintable(outFolder));
        return EXIT_FAILURE;
    }
    std::string problem;
    std::optional<SampleFiles> files =
        SampleAlmanary::Write((outFolder + QStringLiteral("/sample")).toStdString(), problem);
    if (!files) {
        std::fprintf(stderr, "almanary-screenshots: %s\n", problem.c_str());
        return EXIT_FAILURE;
    }

    ScreenshotScene scene(std::move(*files));
    bool ok = true;
    for (const Shot& shot : kShots) {
        QWidget* window = shot.make(scene);
        ok =
            Capture(*window, QDir(outFolder).filePath(QString::fromUtf8(shot.name) + ".png")) && ok;
        if (window != &scene.mainWindow())
            window->hide();
    }
    if (scene.unexpectedMessages() > 0)
        ok = false;
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace
}  // namespace almanary::screenshots

int main(int argc, char** argv) {
    // Renders without a desktop unless told otherwise.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Q_INIT_RESOURCE(almanary);
    return almanary::screenshots::Run(argc, argv);
}
