#include "CliApp.h"

#include <map>

#include "Commands.h"

namespace almanary::cli {

std::string usageText() {
    return R"(Usage: almanary-cli COMMAND FILE [OPTIONS]

Commands:
  new FILE [--password PW] [--force]
      Create an empty almanary (optionally protected); --force replaces a file.
  info FILE
      Show the header check, the settings, the counts and the skin name.
  add FILE --date YYYY-MM-DD --time H:MM --notes TEXT
           [--duration MIN] [--category NAME] [--remind MIN]
      Enter an event. Overlapping or touching events are listed as a warning.
  remove FILE --date YYYY-MM-DD --time H:MM
      Delete the event that starts then.
  list FILE [--day YYYY-MM-DD | --category NAME | --search TEXT]
            [--12h | --24h] [--tsv]
      List events in start order.
  conflicts FILE --date YYYY-MM-DD --time H:MM [--duration MIN]
      List the events that overlap or touch such an event.
  due FILE [--at "YYYY-MM-DD H:MM"]
      List the reminders due at that local time (default: now).
  categories FILE [--add NAME | --rename OLD NEW [--events] | --delete NAME]
      List or change the category names; --events carries a rename to events.
  settings FILE [--autosave MIN|off] [--sound PATH|off]
                [--password PW|off] [--clock 12|24]
      Show or change the document's settings. Here --password sets the new
      password; the current one comes from ALMANARY_PASSWORD or the terminal.

A protected file needs --password PW or ALMANARY_PASSWORD; on a terminal
without either, the password is asked for.

Choices: hour 0-23, minute 00/15/30/45; duration 0, 15, 30, 45, 60, 75, 90,
120, 150, 180, 210, 240, 270 or 300; reminder lead 0, 5, 10, 15, 20, 30, 45,
60, 75, 90, 120 or 180 minutes.

Exit status: 0 done, 1 wrong usage, 2 the file cannot be used,
3 refused by a rule of the program.
)";
}

int usageError(CliContext& context, const std::string& problem) {
    context.err << "almanary-cli: " << problem << "\nTry 'almanary-cli --help'.\n";
    return kWrongUsage;
}

std::optional<CommandLine> parseOrReport(const Words& words, const std::vector<OptionSpec>& specs,
                                         CliContext& context, int& status) {
    std::string error;
    auto line = CommandLine::parse(words, specs, error);
    if (!line)
        status = usageError(context, error);
    return line;
}

int runCli(const std::vector<std::string>& args, CliContext& context) {
    using Command = int (*)(const Words&, CliContext&);
    static const std::map<std::string, Command> kCommands = {
        {"new", runNew},           {"info", runInfo},
        {"add", runAdd},           {"remove", runRemove},
        {"list", runList},         {"conflicts", runConflicts},
        {"due", runDue},           {"categories", runCategories},
        {"settings", runSettings},
    };
    if (args.empty())
        return usageError(context, "no command given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        context.out << usageText();
        return kDone;
    }
    const auto command = kCommands.find(args[0]);
    if (command == kCommands.end())
        return usageError(context, "unknown command " + args[0]);
    return command->second(Words(args.begin() + 1, args.end()), context);
}

}  // namespace almanary::cli
