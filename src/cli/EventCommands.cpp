// The event commands of almanary-cli: add, remove, list, conflicts, due.
#include <optional>

#include "CliDocument.h"
#include "CliInput.h"
#include "CommandLine.h"
#include "Commands.h"
#include "EventLines.h"
#include "app/MessageTable.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"
#include "model/EventEntry.h"

namespace almanary::cli {
namespace {

// The start of an event as given by --date and --time, checked against
// the event dialog's choices.
struct Start {
    DateTime day = 0;
    StartTime time;
};

// Reads --date and --time; on failure prints why and sets `status`.
std::optional<Start> readStart(const CommandLine& line, CliContext& context, int& status) {
    if (!line.has("--date") || !line.has("--time")) {
        status = usageError(context, "--date and --time are needed");
        return std::nullopt;
    }
    const auto date = parseDate(*line.value("--date"));
    if (!date) {
        status = usageError(context, "--date needs a date written YYYY-MM-DD");
        return std::nullopt;
    }
    const auto time = parseStartTime(*line.value("--time"));
    if (!time) {
        status = usageError(context, "--time needs a time written H:MM");
        return std::nullopt;
    }
    if (DateTimeText::readNumber(time->hourText) >= EventChoices::kHourCount) {
        context.err << "The hour must be one of 0 to " << EventChoices::kHourCount - 1 << ".\n";
        status = kRefused;
        return std::nullopt;
    }
    if (!EventChoices::contains(EventChoices::kMinutes, time->minuteText)) {
        context.err << "The minute must be one of " << joinChoices(EventChoices::kMinutes) << ".\n";
        status = kRefused;
        return std::nullopt;
    }
    const auto day = storableDay(*date);
    if (!day) {
        context.err << MessageTable::format(MessageId::DateOutOfRange) << '\n';
        status = kRefused;
        return std::nullopt;
    }
    return Start{*day, *time};
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

LineStyle styleOf(const CommandLine& line, const DocumentSettings& settings) {
    LineStyle style;
    style.form = line.has("--tsv") ? LineForm::Tsv : LineForm::Text;
    style.twelveHour = line.has("--12h") || (settings.twelveHourClock && !line.has("--24h"));
    return style;
}

}  // namespace

int runAdd(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(words,
                                    {{"--date"},
                                     {"--time"},
                                     {"--notes"},
                                     {"--duration"},
                                     {"--category"},
                                     {"--remind"},
                                     {"--password"}},
                                    context, status);
    if (!line)
        return status;
    if (!line->has("--notes"))
        return usageError(context, "--notes is needed");
    const auto start = readStart(*line, context, status);
    if (!start)
        return status;
    const auto duration = line->value("--duration");
    const auto remind = line->value("--remind");
    if (!checkChoice(duration, EventChoices::kDurations, "duration", context) ||
        !checkChoice(remind, EventChoices::kReminderLeads, "reminder lead", context)) {
        return kRefused;
    }

    auto document = CliDocument::open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;

    const std::string category = line->value("--category").value_or(kNoCategory);
    if (category != kNoCategory && !document->categories.contains(category)) {
        std::vector<std::string> allowed{kNoCategory};
        allowed.insert(allowed.end(), document->categories.names().begin(),
                       document->categories.names().end());
        context.err << "The category must be one of " << joinChoices(allowed) << ".\n";
        return kRefused;
    }
    Event event = eventAt(*start, duration.value_or("0"));
    event.setCategory(category);
    event.setNotes(*line->value("--notes"));
    event.setRemind(remind.has_value());
    event.setRemindMinutes(DateTimeText::readNumber(remind.value_or("0")));

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
    const LineStyle style = styleOf(*line, document->settings);
    if (!conflicts.isEmpty()) {
        context.err << "Warning: these events conflict or run up against the new one:\n";
        printEvents(context.err, conflicts, style);
    }
    if (EventEntry::store(document->events, event, nullptr) != EventEntry::Stored::Yes) {
        context.err << "There is not enough memory to add the event.\n";
        return kFileUnusable;
    }
    if (!CliDocument::save(*document, line->file(), context))
        return kFileUnusable;
    context.out << "Added: " << textLine(event, style.twelveHour) << '\n';
    return kDone;
}

int runRemove(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line =
        parseOrReport(words, {{"--date"}, {"--time"}, {"--password"}}, context, status);
    if (!line)
        return status;
    const auto start = readStart(*line, context, status);
    if (!start)
        return status;
    auto document = CliDocument::open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;

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
    if (!CliDocument::save(*document, line->file(), context))
        return kFileUnusable;
    context.out << "Removed: " << textLine(removed, document->settings.twelveHourClock) << '\n';
    return kDone;
}

int runList(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(words,
                                    {{"--day"},
                                     {"--category"},
                                     {"--search"},
                                     {"--12h", 0},
                                     {"--24h", 0},
                                     {"--tsv", 0},
                                     {"--password"}},
                                    context, status);
    if (!line)
        return status;
    if (line->countOf({"--day", "--category", "--search"}) > 1) {
        return usageError(context, "give at most one of --day, --category and --search");
    }
    if (line->has("--12h") && line->has("--24h")) {
        return usageError(context, "give --12h or --24h, not both");
    }
    // A day is filtered while reading, so a huge file is never held whole.
    AlmanaryFile::KeepEvent keep;
    if (const auto day = line->value("--day")) {
        const auto date = parseDate(*day);
        if (!date)
            return usageError(context, "--day needs a date written YYYY-MM-DD");
        keep = [date = *date](const Event& event) { return event.isOnDay(date); };
    }
    auto document =
        CliDocument::open(line->file(), line->value("--password"), context, status, keep);
    if (!document)
        return status;

    const LineStyle style = styleOf(*line, document->settings);
    if (const auto category = line->value("--category")) {
        printEvents(context.out, document->events.eventsInCategory(*category), style);
    } else if (const auto text = line->value("--search")) {
        printEvents(context.out, document->events.searchNotes(*text), style);
    } else {
        printEvents(context.out, document->events, style);
    }
    return kDone;
}

int runConflicts(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(words, {{"--date"}, {"--time"}, {"--duration"}, {"--password"}},
                                    context, status);
    if (!line)
        return status;
    const auto start = readStart(*line, context, status);
    if (!start)
        return status;
    const auto duration = line->value("--duration");
    if (!checkChoice(duration, EventChoices::kDurations, "duration", context))
        return kRefused;
    auto document = CliDocument::open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;

    const Event candidate = eventAt(*start, duration.value_or("0"));
    printEvents(context.out, document->events.conflicts(candidate, nullptr),
                styleOf(*line, document->settings));
    return kDone;
}

int runDue(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(words, {{"--at"}, {"--password"}}, context, status);
    if (!line)
        return status;
    DateTime now = context.now;
    if (const auto at = line->value("--at")) {
        const auto parsed = parseLocalDateTime(*at);
        if (!parsed)
            return usageError(context, "--at needs a local time written \"YYYY-MM-DD H:MM\"");
        now = *parsed;
    }
    auto document = CliDocument::open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;
    printEvents(context.out, document->events.dueReminders(now),
                styleOf(*line, document->settings));
    return kDone;
}

}  // namespace almanary::cli
