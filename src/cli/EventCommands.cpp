// The event commands of almanary-cli: add, remove, list, conflicts, due.
#include <optional>

#include "app/MessageTable.h"
#include "CliDocument.h"
#include "CliInput.h"
#include "CommandLine.h"
#include "Commands.h"
#include "EventLines.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"

namespace almanary::cli {
namespace {

// The start of an event as given by --date and --time, checked against
// the event dialog's choices.
struct Start {
    DateTime day = 0;
    StartTime time;
};

// Reads --date and --time; on failure prints why and sets `status`.
std::optional<Start> ReadStart(const CommandLine& line, CliContext& context, int& status) {
    if (!line.has("--date") || !line.has("--time")) {
        status = UsageError(context, "--date and --time are needed");
        return std::nullopt;
    }
    const auto date = ParseDate(*line.value("--date"));
    if (!date) {
        status = UsageError(context, "--date needs a date written YYYY-MM-DD");
        return std::nullopt;
    }
    const auto time = ParseStartTime(*line.value("--time"));
    if (!time) {
        status = UsageError(context, "--time needs a time written H:MM");
        return std::nullopt;
    }
    if (DateTimeText::ReadNumber(time->hourText) >= EventChoices::kHourCount) {
        context.err << "The hour must be one of 0 to " << EventChoices::kHourCount - 1 << ".\n";
        status = kRefused;
        return std::nullopt;
    }
    if (!EventChoices::Contains(EventChoices::kMinutes, time->minuteText)) {
        context.err << "The minute must be one of " << JoinChoices(EventChoices::kMinutes) << ".\n";
        status = kRefused;
        return std::nullopt;
    }
    const auto day = StorableDay(*date);
    if (!day) {
        context.err << MessageTable::Format(MessageId::kDateOutOfRange,
                                            {Calendar::OutOfRangeMessage()})
                    << '\n';
        status = kRefused;
        return std::nullopt;
    }
    return Start{*day, *time};
}

// Checks an optional choice; prints the allowed values when it is not one.
template <typename Choices>
bool CheckChoice(const std::optional<std::string>& value, const Choices& choices, const char* what,
                 CliContext& context) {
    if (!value || EventChoices::Contains(choices, *value))
        return true;
    context.err << "The " << what << " must be one of " << JoinChoices(choices) << ".\n";
    return false;
}

Event EventAt(const Start& start, const std::string& duration) {
    Event event;
    event.setHour(start.time.hourText);
    event.setMinute(start.time.minuteText);
    event.setDuration(duration);
    event.setDate(start.day);  // last, so the key sees hour and minute
    return event;
}

LineStyle StyleOf(const CommandLine& line, const DocumentSettings& settings) {
    LineStyle style;
    style.form = line.has("--tsv") ? LineForm::Tsv : LineForm::Text;
    style.twelveHour = line.has("--12h") || (settings.twelveHourClock && !line.has("--24h"));
    return style;
}

}  // namespace

int RunAdd(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = ParseOrReport(words,
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
        return UsageError(context, "--notes is needed");
    const auto start = ReadStart(*line, context, status);
    if (!start)
        return status;
    const auto duration = line->value("--duration");
    const auto remind = line->value("--remind");
    if (!CheckChoice(duration, EventChoices::kDurations, "duration", context) ||
        !CheckChoice(remind, EventChoices::kReminderLeads, "reminder lead", context)) {
        return kRefused;
    }

    auto document = CliDocument::Open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;

    const std::string category = line->value("--category").value_or(kNoCategory);
    if (category != kNoCategory && !document->categories.Contains(category)) {
        std::vector<std::string> allowed{kNoCategory};
        allowed.insert(allowed.end(), document->categories.names().begin(),
                       document->categories.names().end());
        context.err << "The category must be one of " << JoinChoices(allowed) << ".\n";
        return kRefused;
    }
    const std::string notes = *line->value("--notes");
    if (notes.empty()) {
        context.err << MessageTable::Format(MessageId::kNotesRequired) << '\n';
        return kRefused;
    }

    Event event = EventAt(*start, duration.value_or("0"));
    event.setCategory(category);
    event.setNotes(notes);
    event.setRemind(remind.has_value());
    event.setRemindMinutes(DateTimeText::ReadNumber(remind.value_or("0")));

    if (document->events.Find(event.key(), true).found) {
        context.err << MessageTable::Format(
                           MessageId::kStartTaken,
                           {DateTimeText::StartTimeText(event.hour(), event.minute())})
                    << '\n';
        return kRefused;
    }
    const EventList conflicts = document->events.Conflicts(event, nullptr);
    const LineStyle style = StyleOf(*line, document->settings);
    if (!conflicts.IsEmpty()) {
        context.err << "Warning: these events conflict or run up against the new one:\n";
        PrintEvents(context.err, conflicts, style);
    }
    if (!document->events.Insert(event)) {
        context.err << "There is not enough memory to add the event.\n";
        return kFileUnusable;
    }
    if (!CliDocument::Save(*document, line->file(), context))
        return kFileUnusable;
    context.out << "Added: " << TextLine(event, style.twelveHour) << '\n';
    return kDone;
}

int RunRemove(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line =
        ParseOrReport(words, {{"--date"}, {"--time"}, {"--password"}}, context, status);
    if (!line)
        return status;
    const auto start = ReadStart(*line, context, status);
    if (!start)
        return status;
    auto document = CliDocument::Open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;

    const Event probe = EventAt(*start, "0");
    const auto found = document->events.Find(probe.key(), true);
    if (!found.found) {
        context.err << "There is no event at "
                    << DateTimeText::StartTimeText(probe.hour(), probe.minute()) << " on "
                    << DateTimeText::DateText(probe.date()) << ".\n";
        return kRefused;
    }
    const Event removed = *document->events.NodeAt(found.position);
    document->events.RemoveAt(found.position);
    if (!CliDocument::Save(*document, line->file(), context))
        return kFileUnusable;
    context.out << "Removed: " << TextLine(removed, document->settings.twelveHourClock) << '\n';
    return kDone;
}

int RunList(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = ParseOrReport(words,
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
        return UsageError(context, "give at most one of --day, --category and --search");
    }
    if (line->has("--12h") && line->has("--24h")) {
        return UsageError(context, "give --12h or --24h, not both");
    }
    // A day is filtered while reading, so a huge file is never held whole.
    AlmanaryFile::KeepEvent keep;
    if (const auto day = line->value("--day")) {
        const auto date = ParseDate(*day);
        if (!date)
            return UsageError(context, "--day needs a date written YYYY-MM-DD");
        keep = [date = *date](const Event& event) { return event.IsOnDay(date); };
    }
    auto document =
        CliDocument::Open(line->file(), line->value("--password"), context, status, keep);
    if (!document)
        return status;

    const LineStyle style = StyleOf(*line, document->settings);
    if (const auto category = line->value("--category")) {
        PrintEvents(context.out, document->events.EventsInCategory(*category, false).events, style);
    } else if (const auto text = line->value("--search")) {
        PrintEvents(context.out, document->events.SearchNotes(*text).events, style);
    } else {
        PrintEvents(context.out, document->events, style);
    }
    return kDone;
}

int RunConflicts(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = ParseOrReport(words, {{"--date"}, {"--time"}, {"--duration"}, {"--password"}},
                                    context, status);
    if (!line)
        return status;
    const auto start = ReadStart(*line, context, status);
    if (!start)
        return status;
    const auto duration = line->value("--duration");
    if (!CheckChoice(duration, EventChoices::kDurations, "duration", context))
        return kRefused;
    auto document = CliDocument::Open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;

    const Event candidate = EventAt(*start, duration.value_or("0"));
    PrintEvents(context.out, document->events.Conflicts(candidate, nullptr),
                StyleOf(*line, document->settings));
    return kDone;
}

int RunDue(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = ParseOrReport(words, {{"--at"}, {"--password"}}, context, status);
    if (!line)
        return status;
    DateTime now = context.now;
    if (const auto at = line->value("--at")) {
        const auto parsed = ParseLocalDateTime(*at);
        if (!parsed)
            return UsageError(context, "--at needs a local time written \"YYYY-MM-DD H:MM\"");
        now = *parsed;
    }
    auto document = CliDocument::Open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;
    PrintEvents(context.out, document->events.DueReminders(now).events,
                StyleOf(*line, document->settings));
    return kDone;
}

}  // namespace almanary::cli
