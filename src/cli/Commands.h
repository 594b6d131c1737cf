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
int RunAdd(const Words& words, CliContext& context);
int RunRemove(const Words& words, CliContext& context);
int RunList(const Words& words, CliContext& context);
int RunConflicts(const Words& words, CliContext& context);
int RunDue(const Words& words, CliContext& context);

// The document as a whole (DocumentCommands.cpp)
int RunNew(const Words& words, CliContext& context);
int RunInfo(const Words& words, CliContext& context);
int RunSettings(const Words& words, CliContext& context);

// Category names (CategoryCommands.cpp)
int RunCategories(const Words& words, CliContext& context);

// Prints a usage error and returns kWrongUsage.
int UsageError(CliContext& context, const std::string& problem);

// Parses a command's words; on wrong usage prints why, sets `status` and
// returns nothing.
std::optional<CommandLine> ParseOrReport(const Words& words, const std::vector<OptionSpec>& specs,
                                         CliContext& context, int& status);

}  // namespace almanary::cli
