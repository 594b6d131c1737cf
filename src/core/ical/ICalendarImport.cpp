#include "ical/ICalendarImport.h"

#include <cctype>
#include <cstdlib>

#include "ical/LocalTimes.h"
#include "model/CategoryEditor.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"
#include "model/UnicodeText.h"

namespace almanary {
namespace {

// The smallest offered duration that covers `minutes`; nothing when even
// the longest does not.
std::optional<std::string_view> coveringDuration(std::int64_t minutes) {
    for (std::string_view offered : EventChoices::kDurations) {
        if (DateTimeText::readNumber(offered) >= minutes)
            return offered;
    }
    return std::nullopt;
}

// The offered lead nearest to `minutes`; between two, the earlier warning.
std::string_view nearestLead(int minutes) {
    std::string_view best = EventChoices::kReminderLeads.front();
    for (std::string_view offered : EventChoices::kReminderLeads) {
        if (std::abs(DateTimeText::readNumber(offered) - minutes) <=
            std::abs(DateTimeText::readNumber(best) - minutes))
            best = offered;
    }
    return best;
}

// Without the blank lines and spaces exporters leave at the end of a text.
std::string_view trimmedEnd(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string notesOf(const CalendarOccurrence& occurrence) {
    std::string notes;
    for (const std::string* part :
         {&occurrence.summary, &occurrence.location, &occurrence.description}) {
        const std::string_view text = trimmedEnd(*part);
        if (text.empty())
            continue;
        if (!notes.empty())
            notes += '\n';
        notes += text;
    }
    return notes.empty() ? std::string("(no title)") : notes;
}

// At most the category length, cut between characters, not inside one.
std::string shortened(std::string name) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if ((byte & 0xC0) != 0x80 && characters++ == CategoryEditor::kMaxLength) {
            name.resize(i);
            break;
        }
    }
    return name;
}

// The category names of the document, grown by the names the events bring.
class Categories {
public:
    explicit Categories(const CategoryList& list) : editor_(list) {}

    // The name an event takes for `wanted`: an existing name equal but for
    // letter case, or `wanted` added by the rules; "<No Category>" for none.
    std::string nameFor(const std::string& wanted, std::vector<std::string>& added) {
        const std::string name = shortened(wanted);
        for (const std::string& existing : editor_.names()) {
            if (UnicodeText::equalIgnoringCase(existing, name))
                return existing;
        }
        const CategoryEditor::Change change = editor_.add(name);
        if (change.problem != CategoryEditor::Problem::None)
            return kNoCategory;
        added.push_back(editor_.names()[change.index]);
        return editor_.names()[change.index];
    }
    CategoryList list() const { return editor_.list(); }

private:
    CategoryEditor editor_;
};

struct Window {
    DateTime from, to;
    bool limitsSingleEvents;
};

Window windowOf(const ImportOptions& options) {
    Window window{Calendar::addDays(options.now, -365), Calendar::addDays(options.now, 730), false};
    if (options.from) {
        window.from =
            Calendar::fromLocal(options.from->year, options.from->month, options.from->day)
                .value_or(kFirstStorableDateTime);
        window.limitsSingleEvents = true;
    }
    if (options.to) {
        window.to =
            Calendar::fromLocal(options.to->year, options.to->month, options.to->day, 23, 59, 59)
                .value_or(kLastStorableDateTime);
        window.limitsSingleEvents = true;
    }
    return window;
}

// The event an occurrence becomes, in `category` (the name as the almanary
// keeps it).
Event eventOf(const CalendarOccurrence& occurrence, const std::string& category, LocalTimes& times,
              DateTime now) {
    LocalFields local = Calendar::toLocal(occurrence.start);
    if (occurrence.allDay)
        local.hour = local.minute = local.second = 0;
    // Down to the quarter hour, counted back from the moment itself: in an
    // hour the clock shows twice, the local time would be ambiguous.
    const int dropped = (local.minute % 15) * 60 + local.second;
    local.minute -= local.minute % 15;
    const DateTime roundedStart = occurrence.start - dropped;
    std::string notes = notesOf(occurrence);
    std::string_view duration = "0";
    if (!occurrence.allDay) {
        const DateTime end = occurrence.start + occurrence.lengthSeconds;
        const std::int64_t minutes = (end - roundedStart + 59) / 60;
        if (const auto covering = coveringDuration(minutes)) {
            duration = *covering;
        } else {
            duration = EventChoices::kDurations.back();
            const LocalFields ends = Calendar::toLocal(end);
            notes += "\nEnds " + DateTimeText::dateText(end) + " " + std::to_string(ends.hour) +
                     (ends.minute < 10 ? ":0" : ":") + std::to_string(ends.minute);
        }
    }
    Event event;
    event.setCategory(category);
    event.setNotes(std::move(notes));
    event.setHour(std::to_string(local.hour));
    event.setMinute(EventChoices::kMinutes[static_cast<std::size_t>(local.minute / 15)]);
    event.setDuration(duration);
    // An event already begun brings no reminder: its alarm has gone off in
    // the calendar it comes from, and here it would open a window at once
    // (a year of a phone's calendar, a window for each).
    if (occurrence.alarmLeadMinutes && roundedStart > now) {
        event.setRemind(true);
        event.setRemindMinutes(DateTimeText::readNumber(nearestLead(*occurrence.alarmLeadMinutes)));
    }
    event.setDate(times.noonOf(local.date()).value_or(occurrence.start));
    return event;
}

}  // namespace

ImportResult importICalendar(std::string_view text, AlmanaryDocument& document,
                             const ImportOptions& options) {
    const Window window = windowOf(options);
    CalendarRead read = readICalendar(text, window.from, window.to);
    ImportResult result;
    if (read.problem) {
        result.problem = std::move(read.problem);
        return result;
    }
    EventList events = document.events;
    Categories categories(document.categories);
    ImportReport& report = result.report;
    LocalTimes times;
    for (const CalendarOccurrence& occurrence : read.occurrences) {
        if (window.limitsSingleEvents && !occurrence.recurring &&
            (occurrence.start < window.from || occurrence.start > window.to))
            continue;
        if (!times.noonOf(Calendar::localDate(occurrence.start))) {
            ++report.notStorable;
            continue;
        }
        const std::string& wanted = options.category ? *options.category : occurrence.category;
        const std::string category = wanted.empty()
                                         ? std::string(kNoCategory)
                                         : categories.nameFor(wanted, report.categoriesAdded);
        Event event = eventOf(occurrence, category, times, options.now);
        if (const Event* there = events.find(event.key())) {
            if (there->notes() == event.notes())
                ++report.alreadyThere;
            else
                report.startTaken.push_back(std::move(event));
            continue;
        }
        if (!events.insert(std::move(event))) {
            result.problem = ICalendarProblem{0, "there is not enough memory for the events"};
            return result;
        }
        ++report.added;
    }
    if (report.added > 0 || !report.categoriesAdded.empty()) {
        document.events = std::move(events);
        document.events.setModified(true);
        document.categories = categories.list();
    }
    return result;
}

std::vector<std::string> reportLines(const ImportReport& report, ReportTense tense) {
    const bool done = tense == ReportTense::Done;
    const auto events = [](std::size_t n) {
        return std::to_string(n) + (n == 1 ? " event" : " events");
    };
    std::string first = (done ? "Added " : "Would add ") + events(report.added);
    if (report.alreadyThere > 0)
        first += "; " + std::to_string(report.alreadyThere) + " already there";
    std::vector<std::string> lines{first + "."};
    for (const std::string& name : report.categoriesAdded)
        lines.push_back((done ? "Added" : "Would add") + std::string(" the category ") + name +
                        ".");
    if (report.notStorable > 0)
        lines.push_back(std::to_string(report.notStorable) +
                        " left out: an almanary holds dates from 1/1/1970 to 2/7/2106.");
    if (!report.startTaken.empty())
        lines.push_back(std::to_string(report.startTaken.size()) +
                        " left out: another event starts at the same time:");
    return lines;
}

std::string problemText(const ICalendarProblem& problem) {
    return problem.line > 0 ? "line " + std::to_string(problem.line) + ": " + problem.what
                            : problem.what;
}

}  // namespace almanary
