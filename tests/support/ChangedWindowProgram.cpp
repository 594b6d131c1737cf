// The real application with one unsaved change, printing "ready" once its window is set up.

#include <cstdio>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "document/DocumentSession.h"

int main(int argc, char** argv) {
    const auto change = [](almanary::MainWindow& window) {
        almanary::Event event;
        event.setNotes("Unsaved");
        event.setHour("9");
        event.setDate(*almanary::Calendar::noonOf({2024, 3, 4}));
        window.session().storeEvent(event, nullptr);
        std::printf("ready\n");
        std::fflush(stdout);
    };
    return almanary::runApplication(argc, argv, {change});
}
