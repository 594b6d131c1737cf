// The program's entry: one copy per user, then the main window until Exit.
// No command line is read (Qt's own options still apply).

#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "app/AppPaths.h"
#include "app/AppServices.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "platform/Clock.h"
#include "platform/QtFileChooser.h"
#include "platform/QtPrompter.h"
#include "platform/QtSoundPlayer.h"

namespace almanary {
namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

// Milliseconds since the kernel started this process: its start time in
// /proc/self/stat (field 22, clock ticks since boot) against the boot-time
// clock, so the dynamic loader's work is counted too. Nothing when the
// file cannot be read.
std::optional<double> millisecondsSinceProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat;
    if (!std::getline(in, stat))
        return std::nullopt;
    // Field 2, the command name, is in parentheses and may hold spaces.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string skipped;
    for (int field = 3; field < 22; ++field)
        fields >> skipped;
    unsigned long long startTicks = 0;
    timespec now{};
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!(fields >> startTicks) || ticksPerSecond <= 0 ||
        ::clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return std::nullopt;
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - static_cast<double>(startTicks) * 1e3 / static_cast<double>(ticksPerSecond);
}

// Benchmark probe (ALMANARY_STARTUP_PROBE set): once the main window has
// painted for the first time, prints "startup-ms <n>" and quits the normal way.
class StartupProbe : public QObject {
public:
    explicit StartupProbe(SteadyTime mainEntered) : mainEntered_(mainEntered) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // Queued, so the rest of this paint (the child controls) is done first.
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report() {
        const std::optional<double> sinceStart = millisecondsSinceProcessStart();
        const double ms = sinceStart.value_or(std::chrono::duration<double, std::milli>(
                                                  std::chrono::steady_clock::now() - mainEntered_)
                                                  .count());
        std::printf("startup-ms %.1f\n", ms);
        std::fflush(stdout);
        // exit(), not quit(): quit() first offers every window a close
        // event, and the main window answers that by hiding in the tray.
        QCoreApplication::exit(0);
    }

    SteadyTime mainEntered_;
    bool reported_ = false;
};

int run(int argc, char** argv, SteadyTime mainEntered) {
    QApplication app(argc, argv);
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

    StartupProbe probe(mainEntered);
    if (std::getenv("ALMANARY_STARTUP_PROBE") != nullptr)
        window.installEventFilter(&probe);
    window.show();
    return app.exec();
}

}  // namespace
}  // namespace almanary

int main(int argc, char** argv) {
    const auto mainEntered = std::chrono::steady_clock::now();
    // The resources live in a static library; this links them in.
    Q_INIT_RESOURCE(almanary);
    return almanary::run(argc, argv, mainEntered);
}
