#pragma once
// The commands of almanary-cli. Each defines itself on the CLI11 app with
// its options and checks; when a call selects it, it leaves its work in
// `work`, which runs once the whole command line has been read.

#include <functional>

#include "CliApp.h"

namespace CLI {
class App;
}

namespace almanary::cli {

// The selected command's work; returns the exit status.
using CommandWork = std::function<int(CliContext&)>;

// The document as a whole (DocumentCommands.cpp)
void defineNewCommand(CLI::App& app, CommandWork& work);
void defineInfoCommand(CLI::App& app, CommandWork& work);
void defineSettingsCommand(CLI::App& app, CommandWork& work);

// Events (EventCommands.cpp)
void defineAddCommand(CLI::App& app, CommandWork& work);
void defineRemoveCommand(CLI::App& app, CommandWork& work);
void defineListCommand(CLI::App& app, CommandWork& work);
void defineConflictsCommand(CLI::App& app, CommandWork& work);
void defineDueCommand(CLI::App& app, CommandWork& work);

// Printing to a PDF (PrintCommands.cpp)
void definePrintWeekCommand(CLI::App& app, CommandWork& work);
void definePrintListCommand(CLI::App& app, CommandWork& work);

// Category names (CategoryCommands.cpp)
void defineCategoriesCommand(CLI::App& app, CommandWork& work);

// Internet sharing (ShareCommands.cpp)
void defineServeCommand(CLI::App& app, CommandWork& work);
void defineFetchCommand(CLI::App& app, CommandWork& work);
void defineSendCommand(CLI::App& app, CommandWork& work);
void defineShareCommand(CLI::App& app, CommandWork& work);
void defineUnshareCommand(CLI::App& app, CommandWork& work);
void defineSharesCommand(CLI::App& app, CommandWork& work);

}  // namespace almanary::cli
