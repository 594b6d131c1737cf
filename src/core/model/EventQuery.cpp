#include "model/EventQuery.h"

namespace almanary {
namespace {

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;  // clang 14 does not deduce it for an aggregate

}  // namespace

EventQuery EventQuery::onDay(const CalendarDate& day) {
    // No zone is more than a day from UTC.
    constexpr DateTime kTwoDays = 2 * 86400;
    const DateTime midnightUtc = Calendar::dayNumber(day) * 86400;
    return EventQuery(Day{day, midnightUtc - kTwoDays, midnightUtc + 86400 + kTwoDays});
}

EventQuery EventQuery::inCategory(std::string category) {
    return EventQuery(Category{std::move(category)});
}

EventQuery EventQuery::notesHolding(const std::string& text) {
    return EventQuery(Words{std::make_shared<const NotesSearch>(text), text});
}

EventQuery EventQuery::dueAt(DateTime now) {
    return EventQuery(Due{now, EventTiming::minuteOf(now)});
}

EventQuery EventQuery::touching(const Event& candidate) {
    return EventQuery(Touching{candidate});
}

bool EventQuery::accepts(const EventRecord& record) const {
    return std::visit(
        Overloaded{
            // An event's day is the local date of its stored moment.
            [&](const Day& q) {
                return q.earliest <= record.date && record.date <= q.latest &&
                       Calendar::localDate(record.date) == q.date;
            },
            [&](const Category& q) { return record.category == q.name; },
            [&](const Words& q) { return q.search->foundIn(record.notes); },
            // Read from a file, no event is open.
            [&](const Due& q) { return record.remind && record.timing().isDueBy(q.nowMinute); },
            [&](const Touching& q) {
                return record.timing().touches(q.candidate.startMinute(), q.candidate.endMinute());
            },
        },
        question_);
}

RecordFilter EventQuery::filter() const {
    return [query = *this](const EventRecord& record) { return query.accepts(record); };
}

EventList EventQuery::answerFrom(const EventList& events) const {
    return std::visit(Overloaded{
                          [&](const Day& q) { return events.eventsOnDay(q.date); },
                          [&](const Category& q) { return events.eventsInCategory(q.name); },
                          [&](const Words& q) { return events.searchNotes(q.text); },
                          [&](const Due& q) { return events.dueReminders(q.now); },
                          [&](const Touching& q) { return events.conflicts(q.candidate, nullptr); },
                      },
                      question_);
}

}  // namespace almanary
