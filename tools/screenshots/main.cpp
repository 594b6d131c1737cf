// almanary-screenshots [output folder]: renders the program's windows
// offscreen, with a sample almanary and skin, into <name>.png files.
// A new window is one more line in kShots.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "SampleAlmanary.h"
#include "ScreenshotScene.h"
#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "app/PasswordDialog.h"
#include "app/Resources.h"
#include "document/DocumentSession.h"
#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"
#include "events/ViewEventsDialog.h"
#include "painting/PagePrinting.h"
#include "print/FirstDay.h"
#include "print/PreviewWindow.h"
#include "print/PrintJob.h"
#include "print/PrintWeekDialog.h"
#include "share/InternetDialog.h"
#include "skineditor/SkinsDialog.h"

namespace almanary::screenshots {
namespace {

struct Shot {
    const char* name;  // the PNG's file name, without ".png"
    std::function<QWidget*(ScreenshotScene&)> make;
};

std::unique_ptr<EventDialog> newEventDialog(ScreenshotScene& s) {
    return std::make_unique<EventDialog>(&s.mainWindow(), s.session(), s.services(),
                                         &ViewEventsDialog::reviewConflicts);
}

// A 9:30 hour-long meeting on the sample's first day, which runs into the
// review there.
const Event& overlappingCandidate() {
    static const Event candidate = [] {
        Event event;
        event.setNotes("Budget meeting");
        event.setHour("9");
        event.setMinute("30");
        event.setDuration("60");
        event.setDate(Calendar::fromLocal(2025, 3, 10, 12).value_or(0));
        return event;
    }();
    return candidate;
}

const Shot kShots[] = {
    {"main-window", [](ScreenshotScene& s) -> QWidget* { return &s.mainWindow(); }},
    {"about-dialog",
     [](ScreenshotScene& s) {
         auto dialog = std::make_unique<AboutDialog>(&s.mainWindow());
         s.session().attach(dialog.get(), WindowRole::Dialog);
         return s.keep(std::move(dialog));
     }},
    {"password-dialog",
     [](ScreenshotScene& s) {
         auto dialog = std::make_unique<PasswordDialog>(&s.mainWindow(), s.services().prompter,
                                                        &s.session().background());
         dialog->setFileName(s.files().almanaryPath);
         return s.keep(std::move(dialog));
     }},
    {"options-dialog",
     [](ScreenshotScene& s) {
         return s.keep(std::make_unique<OptionsDialog>(&s.mainWindow(), s.session(), s.services()));
     }},
    {"internet-dialog",
     [](ScreenshotScene& s) {
         auto dialog = std::make_unique<InternetDialog>(&s.mainWindow(), s.session(), s.services());
         dialog->setFields("calendar.example.org", "Family");
         return s.keep(std::move(dialog));
     }},
    {"skins-dialog",
     [](ScreenshotScene& s) {
         return s.keep(std::make_unique<SkinsDialog>(&s.mainWindow(), s.session(), s.services()));
     }},
    {"event-dialog", [](ScreenshotScene& s) { return s.keep(newEventDialog(s)); }},
    {"view-events",
     [](ScreenshotScene& s) {
         return s.keep(
             std::make_unique<ViewEventsDialog>(&s.mainWindow(), s.session(), s.services()));
     }},
    {"view-events-conflicts",
     [](ScreenshotScene& s) {
         const Event& candidate = overlappingCandidate();
         return s.keep(std::make_unique<ViewEventsDialog>(
             &s.mainWindow(), s.session(), s.services(),
             s.session().events().conflicts(candidate, nullptr), &candidate, nullptr));
     }},
    {"print-week-dialog",
     [](ScreenshotScene& s) {
         return s.keep(
             std::make_unique<PrintWeekDialog>(&s.mainWindow(), s.session(), s.services()));
     }},
    // At a laptop screen's size rather than maximized over the offscreen one.
    {"print-preview",
     [](ScreenshotScene& s) {
         const DateTime firstDay = FirstDay::of(Calendar::localDate(SampleAlmanary::now()));
         auto preview = std::make_unique<PreviewWindow>(&s.mainWindow(), s.session(), s.services(),
                                                        firstDay, false);
         preview->setWindowState(Qt::WindowNoState);
         preview->resize(1280, 800);
         return s.keep(std::move(preview));
     }},
    {"categories-dialog",
     [](ScreenshotScene& s) {
         return s.keep(
             std::make_unique<CategoriesDialog>(&s.mainWindow(), s.session(), s.services()));
     }},
    // Last: the pop-up marks its event open.
    {"event-reminder",
     [](ScreenshotScene& s) {
         return s.keep(std::make_unique<EventDialog>(
             &s.mainWindow(), s.session(), s.services(), &ViewEventsDialog::reviewConflicts,
             EventDialog::Mode::Reminder, s.session().events().at(0)));
     }},
};

// Shows the window, lets it lay itself out and paint, and saves its pixels.
bool capture(QWidget& window, const QString& path) {
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

// The sample week printed as Print Week prints it, into a PDF from which
// the Makefile makes the README's picture of a printed page.
bool printSampleWeek(ScreenshotScene& scene, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    PrintJob::prepare(printer);
    const DateTime firstDay = FirstDay::of(Calendar::localDate(SampleAlmanary::now()));
    if (const auto problem = printWeek(printer, scene.session().events(), firstDay, false)) {
        std::fprintf(stderr, "almanary-screenshots: %s: %s\n", qPrintable(path), problem->c_str());
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

int run(int argc, char** argv) {
    QApplication app(argc, argv);
    initResources();
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
        SampleAlmanary::write((outFolder + QStringLiteral("/sample")).toStdString(), problem);
    if (!files) {
        std::fprintf(stderr, "almanary-screenshots: %s\n", problem.c_str());
        return EXIT_FAILURE;
    }

    ScreenshotScene scene(std::move(*files));
    bool ok = true;
    for (const Shot& shot : kShots) {
        QWidget* window = shot.make(scene);
        ok =
            capture(*window, QDir(outFolder).filePath(QString::fromUtf8(shot.name) + ".png")) && ok;
        if (window != &scene.mainWindow())
            window->hide();
    }
    ok = printSampleWeek(scene, QDir(outFolder).filePath(QStringLiteral("printed-week.pdf"))) && ok;
    if (scene.unexpectedMessages() > 0)
        ok = false;
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace
}  // namespace almanary::screenshots

int main(int argc, char** argv) {
    // Renders without a desktop unless told otherwise.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return almanary::screenshots::run(argc, argv);
}
