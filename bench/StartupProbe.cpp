// The program as it starts for its users, watched: once the main window has
// painted for the first time, prints "startup-ms <n>" (milliseconds since
// the kernel started the process) and quits the normal way. bench_startup
// runs it and reads the line.

#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "app/Application.h"
#include "app/MainWindow.h"

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

class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(SteadyTime mainEntered) : mainEntered_(mainEntered) {}

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
        const double ms = millisecondsSinceProcessStart().value_or(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                      mainEntered_)
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

}  // namespace

int main(int argc, char** argv) {
    FirstPaintProbe probe(std::chrono::steady_clock::now());
    return almanary::runApplication(argc, argv, {[&probe](almanary::MainWindow& window) {
                                        window.installEventFilter(&probe);
                                    }});
}
