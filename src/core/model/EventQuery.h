#pragma once
// The questions the command line asks of an almanary's events: a day, a
// category, words in the notes, the reminders due, the events an event
// would touch. Each is answered either from a loaded list or record by
// record while a file is read, with the same events in the same order:
// reading a file keeps the records accepts() lets by, in key order, and
// the list's queries keep the same events in key order.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "model/Calendar.h"
#include "model/EventList.h"
#include "model/EventListIo.h"
#include "model/NotesSearch.h"

namespace almanary {

class EventQuery {
public:
    static EventQuery onDay(const CalendarDate& day);
    // Byte-for-byte.
    static EventQuery inCategory(std::string category);
    // Without regard to letter case (NotesSearch).
    static EventQuery notesHolding(const std::string& text);
    // Reminders due at the local time `now`.
    static EventQuery dueAt(DateTime now);
    // Events whose span shares a minute with the candidate's.
    static EventQuery touching(const Event& candidate);

    // Whether the event of the record belongs to the answer.
    bool accepts(const EventRecord& record) const;
    // The filter that keeps those records while a file is read.
    RecordFilter filter() const;
    // The answer from a whole list.
    EventList answerFrom(const EventList& events) const;

private:
    struct Day {
        CalendarDate date;
        // Moments outside [earliest, latest] cannot have that local date,
        // whatever the zone's offset; only those inside are converted.
        DateTime earliest;
        DateTime latest;
    };
    struct Category {
        std::string name;
    };
    struct Words {
        std::shared_ptr<const NotesSearch> search;
        std::string text;
    };
    struct Due {
        DateTime now;
        std::int64_t nowMinute;
    };
    struct Touching {
        Event candidate;
    };
    using Question = std::variant<Day, Category, Words, Due, Touching>;

    explicit EventQuery(Question question) : question_(std::move(question)) {}

    Question question_;
};

}  // namespace almanary
