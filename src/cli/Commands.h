#pragma once
// The commands of almanary-cli. Each takes the words after its name,
// checks them, does its work and returns the exit status.

#include <optional>
#include <string>
#include <vector>

#include "CliApp.h"
#include "CommandLine.h"

namespace almanary::cli {

using Words = std::vector<std::string>;

// Events (EventCommands.cpp)
int runAdd(const Words& words, CliContext& context);
int runRemove(const Words& words, CliContext& context);
int runList(const Words& words, CliContext& context);
int runConflicts(const Words& words, CliContext& context);
int runDue(const Words& words, CliContext& context);

// The document as a whole (DocumentCommands.cpp)
int runNew(const Words& words, CliContext& context);
int runInfo(const Words& words, CliContext& context);
int runSettings(const Words& words, CliContext& context);

// Category names (CategoryCommands.cpp)
int runCategories(const Words& words, CliContext& context);

// Prints a usage error and returns kWrongUsage.
int usageError(CliContext& context, const std::string& problem);

// Parses a command's words; on wrong usage prints why, sets `status` and
// returns nothing.
std::optional<CommandLine> parseOrReport(const Words& words, const std::vector<OptionSpec>& specs,
                                         CliContext& context, int& status);

}  // namespace almanary::cli
