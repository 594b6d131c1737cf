// almanary-cli: gathers the clock, the environment and the terminal, then
// hands the words of the command line to runCli.
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "CliApp.h"
#include "app/AppPaths.h"

namespace {

// Reads a line from the terminal with echo off.
std::optional<std::string> askPassword(const std::string& file) {
    std::cerr << "Password for " << file << ": " << std::flush;
    termios saved{};
    const bool haveTerminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string password;
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    if (haveTerminal)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << '\n';
    if (!read)
        return std::nullopt;
    return password;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    almanary::cli::CliContext context{std::cout, std::cerr};
    context.now = static_cast<almanary::DateTime>(std::time(nullptr));
    if (const char* password = std::getenv("ALMANARY_PASSWORD"))
        context.envPassword = password;
    context.settingsPath = almanary::AppPaths::settingsPath();
    if (::isatty(STDIN_FILENO))
        context.askPassword = askPassword;
    const int status =
        almanary::cli::runCli(std::vector<std::string>(argv + 1, argv + argc), context);
    std::cout.flush();
    return status;
}
