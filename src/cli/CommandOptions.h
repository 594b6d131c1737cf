#pragma once
// The parts of almanary-cli's command lines that several commands share,
// built on CLI11: the file, the password, once-only flags, values read
// while the line is parsed, and the notes under each --help.

#include <CLI/CLI.hpp>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CliInput.h"
#include "Commands.h"
#include "model/DocumentSettings.h"
#include "model/EventQuery.h"

namespace almanary::cli {

// Creates the options a command's parser fills and makes the command
// hand `run` with them to `work` when a call selects it.
template <typename Options>
std::shared_ptr<Options> optionsFor(CLI::App& command, CommandWork& work,
                                    int (*run)(const Options&, CliContext&)) {
    auto options = std::make_shared<Options>();
    command.callback([options, run, &work] {
        work = [options, run](CliContext& context) { return run(*options, context); };
    });
    return options;
}

// Adds the FILE a command works on (named `name` in --help); an empty
// name is wrong usage.
void addFileArgument(CLI::App& command, std::string& file, const std::string& help,
                     const std::string& name = "FILE");

// The events a listing chooses with --day, --category or --search (at most
// one is given).
struct EventChoice {
    std::optional<CalendarDate> day;
    std::optional<std::string> category;
    std::optional<std::string> search;

    // The question they ask; nothing when none is given (every event).
    std::optional<EventQuery> query() const;
};

// The almanary a command opens, and the password of a protected one.
struct FileOptions {
    std::string file;
    std::optional<std::string> password;
};

// Adds FILE and --password.
void addFileOptions(CLI::App& command, FileOptions& options, const std::string& fileHelp);

// Adds a flag that may be given once.
CLI::Option* addFlag(CLI::App& command, const std::string& name, bool& flag,
                     const std::string& help);

// Lets a call give at most one of `options`.
void excludeEachOther(const std::vector<CLI::Option*>& options);

// --12h and --24h: the clock a call asks for, or the file's own.
struct ClockOptions {
    bool twelveHour = false;
    bool twentyFourHour = false;

    bool twelveHourFor(const DocumentSettings& settings) const {
        return twelveHour || (settings.twelveHourClock && !twentyFourHour);
    }
};

void addClockOptions(CLI::App& command, ClockOptions& clock);

// How people write one kind of value, and how it is read.
template <typename T>
struct ValueForm {
    std::optional<T> (*read)(std::string_view);
    const char* typeName;  // in --help
    const char* written;   // in the usage error
};

inline constexpr ValueForm<CalendarDate> kDateForm{parseDate, "YYYY-MM-DD",
                                                   "a date written YYYY-MM-DD"};
inline constexpr ValueForm<StartTime> kStartTimeForm{parseStartTime, "H:MM", "a time written H:MM"};
inline constexpr ValueForm<DateTime> kLocalTimeForm{parseLocalDateTime, "\"YYYY-MM-DD H:MM\"",
                                                    "a local time written \"YYYY-MM-DD H:MM\""};

// Adds an option whose text is read into `value` (a T, or an optional T)
// while the line is parsed, so text not in the form is wrong usage.
template <typename T, typename Value>
CLI::Option* addReadOption(CLI::App& command, const std::string& name, Value& value,
                           const ValueForm<T>& form, const std::string& help) {
    const auto read = [&value, form, name](const std::string& text) {
        const std::optional<T> parsed = form.read(text);
        if (!parsed)
            throw CLI::ValidationError(name, text + " is not " + form.written);
        value = *parsed;
    };
    return command.add_option_function<std::string>(name, read, help)->type_name(form.typeName);
}

// The notes under a --help.
inline constexpr const char* kPasswordNote =
    "A protected file needs --password PW or ALMANARY_PASSWORD; on a terminal\n"
    "without either, the password is asked for.";
std::string choicesNote();

// `notes` as the foot of a --help, a paragraph each, ending with the exit
// statuses.
std::string helpFooter(std::initializer_list<std::string> notes);

}  // namespace almanary::cli
