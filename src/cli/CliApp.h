#pragma once
// almanary-cli: reads and changes almanary files from the command line.
// runCli carries out one call; main() only gathers its surroundings.

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/Calendar.h"

namespace almanary::cli {

enum ExitStatus : int {
    kDone = 0,
    kWrongUsage = 1,
    kFileUnusable = 2,  // missing, not an almanary, damaged, wrong or missing password
    kRefused = 3,       // refused by a rule of the program
    kNoExchange =
        4,  // the share server cannot be reached, shares no such almanary, or cannot listen
};

struct CliContext {
    CliContext(std::ostream& output, std::ostream& errors) : out(output), err(errors) {}

    std::ostream& out;
    std::ostream& err;
    DateTime now = 0;                        // the local "now" of due and defaults
    std::optional<std::string> envPassword;  // ALMANARY_PASSWORD
    // Asks for the password of a file without echo; empty when there is no
    // terminal to ask on.
    std::function<std::optional<std::string>(const std::string& file)> askPassword;
    // How long a change waits for another writer of the same file.
    std::chrono::milliseconds lockPatience = std::chrono::seconds(10);
    // The program-wide settings store, where the shares are registered.
    std::string settingsPath;
};

// Runs the command in `args` (the words after the program name) and
// returns the exit status. --help and -h, for the program or after a
// command, print the help on `out`.
int runCli(const std::vector<std::string>& args, CliContext& context);

}  // namespace almanary::cli
