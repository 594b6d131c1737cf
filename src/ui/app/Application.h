#pragma once
// The program from start to exit: one copy per user, then the main window
// until Exit. main() runs it; the start-up benchmark runs it too, watching
// the window through `beforeShow`.

#include <functional>

namespace almanary {

class MainWindow;

struct StartOptions {
    // Called once the window is set up, just before it first shows.
    std::function<void(MainWindow&)> beforeShow;
};

// The process's exit status.
int runApplication(int argc, char** argv, const StartOptions& options = {});

}  // namespace almanary
