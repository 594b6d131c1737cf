// The event commands of almanary-cli: add, remove, list, conflicts, due.
#include <optional>

#include "CliDocument.h"
#include "CliInput.h"
#include "CommandOptions.h"
#include "EventLines.h"
#include "app/MessageTable.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"
#include "model/EventEntry.h"

namespace almanary::cli {
namespace {

// The start of an event as --date and --time give it; the parser has
// checked how they are written, checkedStart checks the rules.
struct StartOptions {
    CalendarDate date;
    StartTime time;
};

// How list prints events.
struct LineOptions {
    ClockOptions clock;
    bool tsv = false;
};

struct AddOptions : FileOptions {
    StartOptions start;
    std::string notes;
    std::optional<std::string> duration;
    std::optional<std::string> category;
    std::optional<std::string> remind;
};

struct RemoveOptions : FileOptions {
    StartOptions start;
};

struct ListOptions : FileOptions {
    EventChoice choice;
    LineOptions lines;
};

struct ConflictsOptions : FileOptions {
    StartOptions start;
    std::optional<std::string> duration;
};

struct DueOptions : FileOptions {
    std::optional<DateTime> at;
};

void addStartOptions(CLI::App& command, StartOptions& start) {
    addReadOption(command, "--date", start.date, kDateForm, "The day of the event")->required();
    addReadOption(command, "--time", start.time, kStartTimeForm,
                  "The start: hour 0 to 23, minute 00, 15, 30 or 45")
        ->required();
}

// A checked start: the stored moment of the day and the time within it.
struct Start {
    DateTime day = 0;
    StartTime time;
};

// Checks the start against the event dialog's choices; prints why and
// returns nothing when a rule refuses it.
std::optional<Start> checkedStart(const StartOptions& given, CliContext& context) {
    switch (EventEntry::checkStart(given.time.hourText, given.time.minuteText)) {
        case EventEntry::StartRefusal::Hour:
            context.err << "The hour must be one of 0 to " << EventChoices::kHourCount - 1 << ".\n";
            return std::nullopt;
        case EventEntry::StartRefusal::Minute:
            context.err << "The minute must be one of " << joinChoices(EventChoices::kMinutes)
                        << ".\n";
            return std::nullopt;
        case EventEntry::StartRefusal::None:
            break;
    }
    // Stored at local noon, so readers in other zones see the same date.
    const auto noon = Calendar::noonOf(given.date);
    if (!noon && withinStorableDays(given.date)) {
        const CalendarDate& d = given.date;
        context.err << "There is no " << d.month << '/' << d.day << '/' << d.year
                    << " in the local time zone: its clocks skip that day.\n";
        return std::nullopt;
    }
    if (!noon) {
        context.err << MessageTable::format(MessageId::DateOutOfRange) << '\n';
        return std::nullopt;
    }
    // Stored as the dialog lists it: "09" becomes "9".
    const int hour = *DateTimeText::readHour(given.time.hourText);
    return Start{*noon, {DateTimeText::numberText(hour), given.time.minuteText}};
}

// Checks an optional choice; prints the allowed values when it is not one.
template <typename Choices>
bool checkChoice(const std::optional<std::string>& value, const Choices& choices, const char* what,
                 CliContext& context) {
    if (!value || EventChoices::contains(choices, *value))
        return true;
    context.err << "The " << what << " must be one of " << joinChoices(choices) << ".\n";
    return false;
}

Event eventAt(const Start& start, const std::string& duration) {
    Event event;
    event.setHour(start.time.hourText);
    event.setMinute(start.time.minuteText);
    event.setDuration(duration);
    event.setDate(start.day);  // last, so the key sees hour and minute
    return event;
}

LineStyle styleOf(const LineOptions& asked, const DocumentSettings& settings) {
    LineStyle style;
    style.form = asked.tsv ? LineForm::Tsv : LineForm::Text;
    style.twelveHour = asked.clock.twelveHourFor(settings);
    return style;
}

int runAdd(const AddOptions& options, CliContext& context) {
    const auto start = checkedStart(options.start, context);
    if (!start)
        return kRefused;
    if (!checkChoice(options.duration, EventChoices::kDurations, "duration", context) ||
        !checkChoice(options.remind, EventChoices::kReminderLeads, "reminder lead", context)) {
        return kRefused;
    }

    int status = kDone;
    auto opened = CliDocument::openLocked(options.file, options.password, context, status);
    if (!opened)
        return status;
    AlmanaryDocument* document = &opened->document;

    const std::string category = options.category.value_or(kNoCategory);
    if (category != kNoCategory && !document->categories.contains(category)) {
        std::vector<std::string> allowed{kNoCategory};
        allowed.insert(allowed.end(), document->categories.names().begin(),
                       document->categories.names().end());
        context.err << "The category must be one of " << joinChoices(allowed) << ".\n";
        return kRefused;
    }
    Event event = eventAt(*start, options.duration.value_or("0"));
    event.setCategory(category);
    event.setNotes(options.notes);
    event.setRemind(options.remind.has_value());
    event.setRemindMinutes(DateTimeText::readNumber(options.remind.value_or("0")));

    switch (EventEntry::check(document->events, event, nullptr)) {
        case EventEntry::Refusal::NotesRequired:
            context.err << MessageTable::format(MessageId::NotesRequired) << '\n';
            return kRefused;
        case EventEntry::Refusal::StartTaken:
            context.err << MessageTable::format(
                               MessageId::StartTaken,
                               {DateTimeText::startTimeText(event.hour(), event.minute())})
                        << '\n';
            return kRefused;
        case EventEntry::Refusal::None:
            break;
    }
    const EventList conflicts = EventEntry::conflicts(document->events, event, nullptr);
    const LineStyle style = styleOf({}, document->settings);
    if (!conflicts.isEmpty()) {
        context.err << "Warning: these events conflict or run up against the new one:\n";
        printEvents(context.err, conflicts, style);
    }
    if (EventEntry::store(document->events, event, nullptr) != EventEntry::Stored::Yes) {
        context.err << "There is not enough memory to add the event.\n";
        return kFileUnusable;
    }
    if (!CliDocument::save(*document, options.file, context))
        return kFileUnusable;
    context.out << "Added: " << textLine(event, style.twelveHour) << '\n';
    return kDone;
}

int runRemove(const RemoveOptions& options, CliContext& context) {
    const auto start = checkedStart(options.start, context);
    if (!start)
        return kRefused;
    int status = kDone;
    auto opened = CliDocument::openLocked(options.file, options.password, context, status);
    if (!opened)
        return status;
    AlmanaryDocument* document = &opened->document;

    const Event probe = eventAt(*start, "0");
    const Event* found = document->events.find(probe.key());
    if (found == nullptr) {
        context.err << "There is no event at "
                    << DateTimeText::startTimeText(probe.hour(), probe.minute()) << " on "
                    << DateTimeText::dateText(probe.date()) << ".\n";
        return kRefused;
    }
    const Event removed = *found;
    document->events.removeByKey(removed.key());
    if (!CliDocument::save(*document, options.file, context))
        return kFileUnusable;
    context.out << "Removed: " << textLine(removed, document->settings.twelveHourClock) << '\n';
    return kDone;
}

// Prints the events of `file` that `query` asks for (all when it is
// empty), chosen while the file is read: a huge file is never held whole.
int listEvents(const FileOptions& file, const std::optional<EventQuery>& query,
               const LineOptions& lines, CliContext& context) {
    int status = kDone;
    const auto document = CliDocument::open(file.file, file.password, context, status,
                                            query ? query->filter() : RecordFilter());
    if (!document)
        return status;
    printEvents(context.out, document->events, styleOf(lines, document->settings));
    return kDone;
}

int runList(const ListOptions& options, CliContext& context) {
    return listEvents(options, options.choice.query(), options.lines, context);
}

int runConflicts(const ConflictsOptions& options, CliContext& context) {
    const auto start = checkedStart(options.start, context);
    if (!start || !checkChoice(options.duration, EventChoices::kDurations, "duration", context))
        return kRefused;
    const Event candidate = eventAt(*start, options.duration.value_or("0"));
    return listEvents(options, EventQuery::touching(candidate), {}, context);
}

int runDue(const DueOptions& options, CliContext& context) {
    return listEvents(options, EventQuery::dueAt(options.at.value_or(context.now)), {}, context);
}

}  // namespace

void defineAddCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("add", "Enter an event; overlaps are listed as a warning");
    const auto options = optionsFor(*command, work, runAdd);
    addFileOptions(*command, *options, "The almanary to add the event to");
    addStartOptions(*command, options->start);
    command->add_option("--notes", options->notes, "What the event is about; not empty")
        ->required()
        ->type_name("TEXT");
    command->add_option("--duration", options->duration, "Its length in minutes (default 0)")
        ->type_name("MIN");
    command
        ->add_option("--category", options->category,
                     "A category of the file (default <No Category>)")
        ->type_name("NAME");
    command->add_option("--remind", options->remind, "Remind this many minutes before it")
        ->type_name("MIN");
    command->footer(helpFooter({choicesNote(), kPasswordNote}));
}

void defineRemoveCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("remove", "Delete the event that starts then");
    const auto options = optionsFor(*command, work, runRemove);
    addFileOptions(*command, *options, "The almanary to delete the event from");
    addStartOptions(*command, options->start);
    command->footer(helpFooter({kPasswordNote}));
}

void defineListCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("list", "List events in start order");
    const auto options = optionsFor(*command, work, runList);
    addFileOptions(*command, *options, "The almanary to list");
    excludeEachOther({
        addReadOption(*command, "--day", options->choice.day, kDateForm,
                      "Only the events of this day"),
        command
            ->add_option("--category", options->choice.category, "Only the events of this category")
            ->type_name("NAME"),
        command
            ->add_option("--search", options->choice.search,
                         "Only the events whose notes hold TEXT")
            ->type_name("TEXT"),
    });
    LineOptions& lines = options->lines;
    addClockOptions(*command, lines.clock);
    addFlag(*command, "--tsv", lines.tsv,
            "Tab-separated: date, time, category, notes,\nreminder 0/1, lead");
    command->footer(helpFooter({kPasswordNote}));
}

void defineConflictsCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("conflicts", "List the events that overlap or touch an event");
    const auto options = optionsFor(*command, work, runConflicts);
    addFileOptions(*command, *options, "The almanary to look in");
    addStartOptions(*command, options->start);
    command->add_option("--duration", options->duration, "Its length in minutes (default 0)")
        ->type_name("MIN");
    command->footer(helpFooter({choicesNote(), kPasswordNote}));
}

void defineDueCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("due", "List the reminders due at a local time");
    const auto options = optionsFor(*command, work, runDue);
    addFileOptions(*command, *options, "The almanary to look in");
    addReadOption(*command, "--at", options->at, kLocalTimeForm, "The local time (default: now)");
    command->footer(helpFooter({kPasswordNote}));
}

}  // namespace almanary::cli
