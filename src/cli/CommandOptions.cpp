#include "CommandOptions.h"

#include "model/EventChoices.h"

namespace almanary::cli {

void addFileArgument(CLI::App& command, std::string& file, const std::string& help,
                     const std::string& name) {
    const auto named = [](const std::string& text) {
        return text.empty() ? std::string("the file name is empty") : std::string();
    };
    command.add_option(name, file, help)->required()->type_name("")->check(named);
}

void addFileOptions(CLI::App& command, FileOptions& options, const std::string& fileHelp) {
    addFileArgument(command, options.file, fileHelp);
    command.add_option("--password", options.password, "The password of a protected file")
        ->type_name("PW");
}

CLI::Option* addFlag(CLI::App& command, const std::string& name, bool& flag,
                     const std::string& help) {
    // CLI11 lets a flag repeat; a repeated option is wrong usage here.
    return command.add_flag(name, flag, help)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

void excludeEachOther(const std::vector<CLI::Option*>& options) {
    for (CLI::Option* option : options) {
        for (CLI::Option* other : options) {
            if (other != option)
                option->excludes(other);
        }
    }
}

void addClockOptions(CLI::App& command, ClockOptions& clock) {
    excludeEachOther({addFlag(command, "--12h", clock.twelveHour, "12-hour times"),
                      addFlag(command, "--24h", clock.twentyFourHour,
                              "24-hour times (default: the file's clock)")});
}

std::string choicesNote() {
    using namespace EventChoices;
    return "Choices: hour 0 to " + std::to_string(kHourCount - 1) + ", minute " +
           joinChoices(kMinutes) + ";\nduration " + joinChoices(kDurations) +
           " minutes;\nreminder lead " + joinChoices(kReminderLeads) + " minutes.";
}

std::string helpFooter(std::initializer_list<std::string> notes) {
    std::string footer;
    for (const std::string& note : notes)
        footer += note + "\n\n";
    return footer +
           "Exit status: 0 done, 1 wrong usage, 2 the file cannot be used,\n"
           "3 refused by a rule of the program, 4 no exchange with the share server.";
}

std::optional<EventQuery> EventChoice::query() const {
    if (day)
        return EventQuery::onDay(*day);
    if (category)
        return EventQuery::inCategory(*category);
    if (search)
        return EventQuery::notesHolding(*search);
    return std::nullopt;
}

}  // namespace almanary::cli
