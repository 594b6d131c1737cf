#include "ical/CalendarReader.h"

#include <libical/ical.h>

#include <algorithm>
#include <cctype>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <span>
#include <thread>
#include <unordered_map>

#include "ical/LocalTimes.h"
#include "ical/Repeats.h"

namespace almanary {
namespace {

using ComponentPtr = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// One content line with its folded continuations joined, and the number of
// the line it starts on.
struct ContentLine {
    int number = 0;
    std::size_t offset = 0;  // where it starts in the text
    std::string text;
};

// Walks the text's content lines, unfolding as it goes.
class ContentLines {
public:
    explicit ContentLines(std::string_view text) : text_(text) {
        if (text_.starts_with("\xEF\xBB\xBF"))
            pos_ = 3;  // a byte-order mark some exporters write
    }

    bool next(ContentLine& line) {
        std::string_view physical;
        do {
            line.offset = pos_;
            if (!nextPhysical(physical))
                return false;
        } while (physical.empty());
        line.number = number_;
        line.text.assign(physical);
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) {
            nextPhysical(physical);
            line.text.append(physical.substr(1));
        }
        return true;
    }

    // Where the next line starts.
    std::size_t position() const { return std::min(pos_, text_.size()); }

private:
    bool nextPhysical(std::string_view& line) {
        if (pos_ >= text_.size())
            return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        line = text_.substr(pos_, end - pos_);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        pos_ = end + 1;
        ++number_;
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

// The property name of a content line, or empty when the line is none: a
// name of letters, digits and "-", then parameters, then ":" and the value.
std::string_view nameOf(const std::string& line, std::string_view* value) {
    std::size_t i = 0;
    while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '-'))
        ++i;
    if (i == 0 || i == line.size() || (line[i] != ':' && line[i] != ';'))
        return {};
    bool quoted = false;
    for (std::size_t j = i; j < line.size(); ++j) {
        if (line[j] == '"')
            quoted = !quoted;
        else if (line[j] == ':' && !quoted) {
            *value = std::string_view(line).substr(j + 1);
            return std::string_view(line).substr(0, i);
        }
    }
    return {};
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// A DATE (20260701) or DATE-TIME (20260701T090000, with Z for UTC) value;
// libical would read other forms as some other moment without a word.
bool isDateOrDateTime(std::string_view value) {
    if (value.size() == 8)
        return allDigits(value);
    if (value.ends_with('Z'))
        value.remove_suffix(1);
    return value.size() == 15 && value[8] == 'T' && allDigits(value.substr(0, 8)) &&
           allDigits(value.substr(9));
}

// Where the calendar's events stand in the text, so that they can be
// parsed a share at a time: each event's bytes and first line, and the
// rest of the calendar (its zones and properties) that every share needs.
struct CalendarLayout {
    struct Block {
        std::size_t begin = 0, end = 0;
        int line = 0;
        bool moves = false;  // it has a RECURRENCE-ID
    };
    std::vector<Block> events;
    std::string frame;  // the calendar without its events and its END line
};

// The shape of the text line by line: a calendar that begins with
// BEGIN:VCALENDAR, every line a property, BEGIN and END nested and
// matching, and readable start and end times. Notes where each event of
// the calendar stands.
std::optional<ICalendarProblem> checkLines(std::string_view text, CalendarLayout& layout) {
    ContentLines lines(text);
    ContentLine line;
    std::vector<std::string> open;
    bool ended = false;
    std::size_t frameFrom = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (lines.next(line)) {
        const auto problem = [&](std::string what) {
            return ICalendarProblem{line.number, std::move(what)};
        };
        std::string_view value;
        const std::string name = upper(nameOf(line.text, &value));
        if (name.empty())
            return problem("this is not an iCalendar line: " + line.text.substr(0, 60));
        if (ended)
            return problem("the calendar has already ended with END:VCALENDAR");
        if (open.empty() && (name != "BEGIN" || upper(value) != "VCALENDAR"))
            return problem("an iCalendar file begins with BEGIN:VCALENDAR");
        if (name == "BEGIN") {
            open.push_back(upper(value));
            if (open.size() == 2 && open.back() == "VEVENT") {
                layout.frame.append(text.substr(frameFrom, line.offset - frameFrom));
                layout.events.push_back({line.offset, 0, line.number, false});
            }
        } else if (name == "END") {
            if (upper(value) != open.back())
                return problem("END:" + std::string(value) + " where END:" + open.back() +
                               " was expected");
            if (open.size() == 2 && open.back() == "VEVENT")
                layout.events.back().end = frameFrom = lines.position();
            open.pop_back();
            if ((ended = open.empty()))
                layout.frame.append(text.substr(frameFrom, line.offset - frameFrom));
        } else if (name == "EXRULE") {
            // Gone from the standard, and libical checks each instance
            // against it by walking the rule again from its start.
            return problem("EXRULE (a rule of exceptions) is not supported");
        } else if ((name == "DTSTART" || name == "DTEND" || name == "RECURRENCE-ID") &&
                   !isDateOrDateTime(value)) {
            return problem(name + " " + std::string(value) + " is not a date or time");
        }
        if (name == "RECURRENCE-ID" && open.size() == 2 && open.back() == "VEVENT")
            layout.events.back().moves = true;
    }
    if (open.empty() && !ended)
        return ICalendarProblem{0, "the file holds no calendar"};
    if (!open.empty())
        return ICalendarProblem{line.number, "the file ends before END:" + open.back()};
    return std::nullopt;
}

// The line of the first property `name` after an event's BEGIN line.
int lineOfProperty(std::string_view text, int eventLine, std::string_view name) {
    ContentLines lines(text);
    ContentLine line;
    while (lines.next(line)) {
        std::string_view value;
        if (line.number > eventLine && upper(nameOf(line.text, &value)) == name)
            return line.number;
    }
    return eventLine;
}

// The line libical found fault with: its message names the property
// ("Can't parse as DURATION value in DURATION property...").
int lineOfError(std::string_view text, int eventLine, const std::string& message) {
    const std::size_t in = message.find(" in ");
    const std::size_t end = message.find(" property");
    if (in == std::string::npos || end == std::string::npos || end <= in)
        return eventLine;
    return lineOfProperty(text, eventLine, message.substr(in + 4, end - in - 4));
}

// The first complaint libical attached to a component or those inside it.
std::optional<std::string> firstError(icalcomponent* component) {
    if (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
        return std::string(icalproperty_get_xlicerror(p));
    for (icalcomponent* inner = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         inner != nullptr;
         inner = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        if (auto error = firstError(inner))
            return error;
    }
    return std::nullopt;
}

// Moments of zoned times. Converting through libical's zone rules is slow,
// and a calendar's times come back to the same few hours, so each zone's
// offset is kept per local minute asked for.
class Moments {
public:
    // The moment of a time: UTC or zoned as it says, a floating time or a
    // date in local time. Nothing when the local time does not exist.
    std::optional<DateTime> of(const icaltimetype& t) {
        if (t.is_date)
            return local_.moment({t.year, t.month, t.day}, 0, 0);
        if (t.zone == nullptr)
            return local_.moment({t.year, t.month, t.day}, t.hour, t.minute, t.second);
        const DateTime asIfUtc = Calendar::dayNumber(t.year, t.month, t.day) * 86400 +
                                 t.hour * 3600 + t.minute * 60 + t.second;
        const Key key{t.zone, asIfUtc / 60};
        auto found = offsets_.find(key);
        if (found == offsets_.end()) {
            icaltimetype minute = t;
            minute.second = 0;
            const DateTime value = icaltime_as_timet_with_zone(minute, t.zone);
            found = offsets_.emplace(key, asIfUtc - t.second - value).first;
        }
        return asIfUtc - found->second;
    }

    // A repeated instance as libical spans it: floating times and dates
    // are spanned as if they were UTC, so their fields are read back in
    // local time.
    std::optional<DateTime> ofSpanStart(time_t start, const icaltimetype& first) {
        if (first.zone != nullptr && !first.is_date)
            return static_cast<DateTime>(start);
        icaltimetype t = icaltime_from_timet_with_zone(start, first.is_date, nullptr);
        t.zone = nullptr;
        return of(t);
    }

private:
    struct Key {
        const icaltimezone* zone;
        std::int64_t minute;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return std::hash<const void*>()(k.zone) ^ std::hash<std::int64_t>()(k.minute);
        }
    };
    std::unordered_map<Key, DateTime, KeyHash> offsets_;
    LocalTimes local_;
};

std::string textOf(const char* text) {
    return text == nullptr ? std::string() : std::string(text);
}

std::string firstCategory(icalcomponent* event) {
    icalproperty* p = icalcomponent_get_first_property(event, ICAL_CATEGORIES_PROPERTY);
    if (p == nullptr)
        return {};
    const std::string all = textOf(icalproperty_get_categories(p));
    return all.substr(0, all.find(','));
}

// The earliest alarm before the start, in minutes; alarms at or after the
// start do not count.
std::optional<int> alarmLead(icalcomponent* event, DateTime start, std::int64_t length,
                             Moments& moments) {
    std::optional<int> lead;
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
         alarm != nullptr; alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (trigger == nullptr)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        std::int64_t before = 0;
        if (!icaltime_is_null_time(t.time)) {
            const auto at = moments.of(t.time);
            before = at ? start - *at : 0;
        } else {
            before = -static_cast<std::int64_t>(icaldurationtype_as_int(t.duration));
            icalparameter* related =
                icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            if (related != nullptr && icalparameter_get_related(related) == ICAL_RELATED_END)
                before -= length;
        }
        if (before > 0)
            lead = std::max(lead.value_or(0),
                            static_cast<int>(std::min<std::int64_t>(before / 60, 1 << 20)));
    }
    return lead;
}

// The instances a RECURRENCE-ID moved or changed, by UID: the repeated
// event leaves them out, and the changed copy stands in their place.
using MovedInstances = std::map<std::string, std::vector<DateTime>>;

void noteMovedInstances(icalcomponent* calendar, Moments& moments, MovedInstances& moved) {
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr)
            continue;
        // With its zone, which icalcomponent_get_recurrenceid leaves out.
        if (const auto at = moments.of(icalproperty_get_datetime_with_component(id, event)))
            moved[textOf(icalcomponent_get_uid(event))].push_back(*at);
    }
    for (auto& [uid, starts] : moved)
        std::ranges::sort(starts);  // looked up once for every instance
}

// Reads the events of a parsed calendar, one after the other.
class EventReader {
public:
    EventReader(std::string_view text, DateTime from, DateTime to, const MovedInstances& moved,
                RepeatBudget& budget)
        : text_(text), from_(from), to_(to), moved_(moved), budget_(budget) {}

    // The events of `calendar`, whose first lines in the text are `lines`.
    CalendarRead read(icalcomponent* calendar, std::span<const int> lines) {
        std::size_t index = 0;
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event != nullptr && !result_.problem;
             event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT), ++index)
            readEvent(event, index < lines.size() ? lines[index] : 0);
        if (result_.problem)
            result_.occurrences.clear();
        return std::move(result_);
    }

private:
    void fail(int line, std::string what) {
        if (!result_.problem)
            result_.problem = ICalendarProblem{line, std::move(what)};
    }

    void readEvent(icalcomponent* event, int line) {
        if (const auto error = firstError(event))
            return fail(lineOfError(text_, line, *error), *error);
        icalproperty* dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (dtstart == nullptr)
            return fail(line, "the event has no DTSTART");
        const icaltimetype first = icalcomponent_get_dtstart(event);
        if (first.zone == nullptr && !first.is_date &&
            icalproperty_get_first_parameter(dtstart, ICAL_TZID_PARAMETER) != nullptr) {
            icalparameter* tzid = icalproperty_get_first_parameter(dtstart, ICAL_TZID_PARAMETER);
            return fail(lineOfProperty(text_, line, "DTSTART"),
                        "the time zone " + textOf(icalparameter_get_tzid(tzid)) + " is not known");
        }
        CalendarOccurrence occurrence;
        occurrence.line = line;
        occurrence.allDay = first.is_date;
        occurrence.summary = textOf(icalcomponent_get_summary(event));
        occurrence.location = textOf(icalcomponent_get_location(event));
        occurrence.description = textOf(icalcomponent_get_description(event));
        occurrence.category = firstCategory(event);
        occurrence.lengthSeconds = icaldurationtype_as_int(icalcomponent_get_duration(event));
        const auto start = moments_.of(first);
        if (!start)
            return;  // a local time no clock shows
        occurrence.alarmLeadMinutes = alarmLead(event, *start, occurrence.lengthSeconds, moments_);
        const bool moved = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        const bool repeats = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) ||
                             icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
        occurrence.recurring = moved || repeats;
        if (!repeats || moved) {
            occurrence.start = *start;
            result_.occurrences.push_back(std::move(occurrence));
            return;
        }
        expand(event, first, occurrence);
    }

    void expand(icalcomponent* event, const icaltimetype& first, const CalendarOccurrence& shape) {
        static const std::vector<DateTime> kNone;
        const auto found = moved_.find(textOf(icalcomponent_get_uid(event)));
        const std::vector<DateTime>& moved = found == moved_.end() ? kNone : found->second;
        const auto spentOn = forEachRepeat(event, first, from_, to_, budget_, [&](time_t start) {
            const auto at = moments_.ofSpanStart(start, first);
            if (!at || std::ranges::binary_search(moved, *at))
                return;
            CalendarOccurrence occurrence = shape;
            occurrence.start = *at;
            result_.occurrences.push_back(std::move(occurrence));
        });
        if (spentOn) {
            fail(lineOfProperty(text_, shape.line, *spentOn),
                 std::string(*spentOn) +
                     " repeats the event too often, or over too long a time, to be read");
        }
    }

    std::string_view text_;
    DateTime from_, to_;
    const MovedInstances& moved_;
    RepeatBudget& budget_;
    Moments moments_;
    CalendarRead result_;
};

// Events parsed and read a share at a time, the shares spread over the
// processor's cores: a share's tree is small, so it is built, read and
// freed while its memory is still at hand.
constexpr std::size_t kShareEvents = 500;

// The calendar's frame with the events `blocks` names.
ComponentPtr parseEvents(std::string_view text, const CalendarLayout& layout,
                         std::span<const CalendarLayout::Block> blocks) {
    std::string share = layout.frame;
    for (const CalendarLayout::Block& block : blocks)
        share.append(text.substr(block.begin, block.end - block.begin));
    share.append("END:VCALENDAR\r\n");
    ComponentPtr calendar(icalparser_parse_string(share.c_str()), &icalcomponent_free);
    if (calendar != nullptr && icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        calendar.reset();
    return calendar;
}

CalendarRead readShare(std::string_view text, const CalendarLayout& layout,
                       std::span<const CalendarLayout::Block> blocks, DateTime from, DateTime to,
                       const MovedInstances& moved, RepeatBudget& budget) {
    const ComponentPtr calendar = parseEvents(text, layout, blocks);
    if (calendar == nullptr)
        return {{}, ICalendarProblem{blocks.front().line, "libical could not read this event"}};
    std::vector<int> lines;
    for (const CalendarLayout::Block& block : blocks)
        lines.push_back(block.line);
    return EventReader(text, from, to, moved, budget).read(calendar.get(), lines);
}

MovedInstances movedInstances(std::string_view text, const CalendarLayout& layout) {
    std::vector<CalendarLayout::Block> moving;
    std::ranges::copy_if(layout.events, std::back_inserter(moving),
                         [](const CalendarLayout::Block& block) { return block.moves; });
    MovedInstances moved;
    if (moving.empty())
        return moved;
    if (const ComponentPtr calendar = parseEvents(text, layout, moving)) {
        Moments moments;
        noteMovedInstances(calendar.get(), moments, moved);
    }
    return moved;
}

}  // namespace

CalendarRead readICalendar(std::string_view text, DateTime from, DateTime to) {
    CalendarRead result;
    CalendarLayout layout;
    if ((result.problem = checkLines(text, layout)))
        return result;
    const MovedInstances moved = movedInstances(text, layout);
    const std::span<const CalendarLayout::Block> events(layout.events);
    const std::size_t shareCount = (events.size() + kShareEvents - 1) / kShareEvents;
    std::vector<CalendarRead> shares(shareCount);
    RepeatBudget budget;
    const auto readShares = [&](std::size_t first, std::size_t step) {
        for (std::size_t i = first; i < shareCount; i += step) {
            const auto blocks = events.subspan(
                i * kShareEvents, std::min(kShareEvents, events.size() - i * kShareEvents));
            shares[i] = readShare(text, layout, blocks, from, to, moved, budget);
        }
    };
    const std::size_t workers =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                std::min<std::size_t>(4, std::max<std::size_t>(shareCount, 1)));
    std::vector<std::future<void>> helpers;
    for (std::size_t w = 1; w < workers; ++w)
        helpers.push_back(std::async(std::launch::async, readShares, w, workers));
    readShares(0, workers);
    for (auto& helper : helpers)
        helper.get();
    for (CalendarRead& share : shares) {
        if (share.problem) {
            result.problem = std::move(share.problem);
            result.occurrences.clear();
            break;
        }
        std::ranges::move(share.occurrences, std::back_inserter(result.occurrences));
    }
    return result;
}

}  // namespace almanary
