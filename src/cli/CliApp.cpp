#include "CliApp.h"

#include "CommandOptions.h"

namespace almanary::cli {
namespace {

constexpr const char* kProgram = "almanary-cli";

// "help [COMMAND]" prints the program's help or a command's, as --help does.
void defineHelpCommand(CLI::App& app, CommandWork& work) {
    std::vector<std::string> commands;
    for (const CLI::App* command : app.get_subcommands({}))
        commands.push_back(command->get_name());
    CLI::App* help = app.add_subcommand("help", "Show this help, or that of COMMAND");
    auto topic = std::make_shared<std::string>();
    help->add_option("COMMAND", *topic, "The command to explain")
        ->type_name("")
        ->check(CLI::IsMember(commands));
    help->callback([&app, &work, topic] {
        work = [&app, topic](CliContext& context) {
            context.out << (topic->empty() ? app.get_formatter()->make_help(
                                                 &app, kProgram, CLI::AppFormatMode::Normal)
                                           : app.get_subcommand(*topic)->help(kProgram));
            return kDone;
        };
    });
}

void defineCommands(CLI::App& app, CommandWork& work) {
    app.require_subcommand(1);
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.get_formatter()->label("Positionals", "Arguments");
    app.footer(
        helpFooter({"Most commands work on one almanary FILE; the sharing commands on\n"
                    "this machine's shares or a share SERVER. 'almanary-cli COMMAND --help'\n"
                    "lists a command's options.",
                    kPasswordNote, choicesNote()}));
    defineNewCommand(app, work);
    defineInfoCommand(app, work);
    defineAddCommand(app, work);
    defineRemoveCommand(app, work);
    defineListCommand(app, work);
    defineConflictsCommand(app, work);
    defineDueCommand(app, work);
    definePrintWeekCommand(app, work);
    definePrintListCommand(app, work);
    defineCategoriesCommand(app, work);
    defineSettingsCommand(app, work);
    defineShareCommand(app, work);
    defineUnshareCommand(app, work);
    defineSharesCommand(app, work);
    defineServeCommand(app, work);
    defineFetchCommand(app, work);
    defineSendCommand(app, work);
    defineHelpCommand(app, work);
    for (CLI::App* command : app.get_subcommands({}))
        command->group("Commands");
}

// What went wrong, in CLI11's words except where they mislead: CLI11
// calls a word that names no command a missing command, and lists stray
// words back to front.
std::string problemOf(const CLI::App& app, const CLI::ParseError& error) {
    const auto selected = app.get_subcommands();
    if (selected.empty()) {
        const auto words = app.remaining();
        return words.empty() ? "no command given" : "unknown command " + words.front();
    }
    const auto stray = selected.front()->remaining();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) == nullptr || stray.empty())
        return error.what();
    return (stray.front().starts_with("-") ? "unknown option " : "unexpected word ") +
           stray.front();
}

// Prints a usage error and the --help to try: the command's, when the
// words named one.
int usageError(const CLI::App& app, const CLI::ParseError& error, CliContext& context) {
    std::string help = kProgram;
    if (const auto selected = app.get_subcommands(); !selected.empty())
        help += " " + selected.front()->get_name();
    context.err << kProgram << ": " << problemOf(app, error) << "\nTry '" << help << " --help'.\n";
    return kWrongUsage;
}

}  // namespace

int runCli(const std::vector<std::string>& args, CliContext& context) {
    CLI::App app("Reads and changes almanary files.", kProgram);
    CommandWork work;
    defineCommands(app, work);
    try {
        std::vector<std::string> backwards(args.rbegin(), args.rend());  // as CLI11 reads them
        app.parse(backwards);
    } catch (const CLI::CallForHelp&) {
        context.out << app.help();
        return kDone;
    } catch (const CLI::ParseError& error) {
        return usageError(app, error, context);
    }
    return work(context);
}

}  // namespace almanary::cli
