// The application with one unsaved change ("ready"), or saving again and again ("saved N").

#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "document/DocumentSession.h"

namespace {

almanary::Event eventAt(int hour, const char* notes) {
    almanary::Event event;
    event.setNotes(notes);
    event.setHour(std::to_string(hour % 24));
    event.setDate(*almanary::Calendar::noonOf({2031, 1, 1 + hour / 24}));
    return event;
}

void keepSaving(almanary::MainWindow& window) {
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, saves = 0]() mutable {
        // One hour after another, continuing from what the file holds.
        const int next = window.session().events().count();
        window.session().storeEvent(eventAt(next, "Saved"), nullptr);
        if (window.saveDocument())
            std::printf("saved %d\n", ++saves);
        std::fflush(stdout);
    });
    timer->start(0);
}

}  // namespace

int main(int argc, char** argv) {
    const auto change = [](almanary::MainWindow& window) {
        if (std::getenv("ALMANARY_TEST_KEEP_SAVING") != nullptr)
            return keepSaving(window);
        window.session().storeEvent(eventAt(9, "Unsaved"), nullptr);
        std::printf("ready\n");
        std::fflush(stdout);
    };
    return almanary::runApplication(argc, argv, {change});
}
