#include "model/EventList.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "model/AsciiText.h"
#include "model/Calendar.h"
#include "model/NotesSearch.h"

namespace almanary {
EventList::~EventList() = default;

template <typename Match>
EventList EventList::copiesWhere(Match&& match) const {
    std::vector<const Event*> hits;
    forEach([&](const Event& event) {
        if (match(event))
            hits.push_back(&event);
    });
    return listOf(hits);
}

template <typename Timed, typename Check>
EventList EventList::copiesWhereTimed(Timed&& timed, Check&& check) const {
    // Counted first from the timings alone: the result is sized once, and
    // each event is read only while it is copied.
    const auto total = static_cast<std::size_t>(count());
    std::size_t candidates = 0;
    for (std::size_t index = 0; index < total; ++index)
        candidates += timed(timingAt(index)) ? 1 : 0;
    EventList result;
    result.reserve(candidates);
    for (std::size_t index = 0; index < total; ++index) {
        if (timed(timingAt(index))) {
            const Event& event = eventAt(index);
            if (check(event))
                result.appendInOrder(event);
        }
    }
    return result;
}

EventList EventList::listOf(const std::vector<const Event*>& events) {
    EventList result;
    result.reserve(events.size());
    for (const Event* event : events)
        result.appendInOrder(*event);
    return result;
}

EventList EventList::eventsOnDay(DateTime value) const {
    return eventsOnDay(Calendar::localDate(value));
}

EventList EventList::eventsOnDay(const CalendarDate& date) const {
    // Every event of a day lies between the smallest and the largest key
    // that date can have, whatever its hour and minute texts hold.
    const std::size_t from = lowerBound({date.year, date.month, date.day, INT32_MIN, INT32_MIN});
    const std::size_t to = upperBound({date.year, date.month, date.day, INT32_MAX, INT32_MAX});
    std::vector<const Event*> hits;
    hits.reserve(to > from ? to - from : 0);
    for (std::size_t index = from; index < to; ++index)
        hits.push_back(&eventAt(index));
    return listOf(hits);
}

EventList EventList::eventsInCategory(std::string_view category) const {
    return copiesWhere([&](const Event& event) { return event.category() == category; });
}

bool EventList::usesCategory(std::string_view category) const {
    for (int index = 0; index < count(); ++index) {
        if (at(index).category() == category)
            return true;
    }
    return false;
}

void EventList::renameCategory(std::string_view oldName, std::string_view newName) {
    forEachMutable([&](Event& event) {
        if (event.category() == oldName)
            event.setCategory(std::string(newName));
    });
    setModified(true);
}

EventList EventList::searchNotes(std::string_view text) const {
    const NotesSearch searcher(text);
    return copiesWhere([&](const Event& event) { return searcher.foundIn(event.notes()); });
}

EventList EventList::dueReminders(DateTime now) const {
    const std::int64_t nowMinute = EventTiming::minuteOf(now);
    return copiesWhereTimed([nowMinute](const Timing& t) { return t.isDueBy(nowMinute); },
                            [](const Event& event) { return !event.open(); });
}

EventList EventList::conflicts(const Event& candidate, const Event* excluded) const {
    // A plain walk: hour texts outside 0..23 and negative durations mean key
    // order says nothing certain about where spans lie on the minute scale.
    const std::int64_t start = candidate.startMinute();
    const std::int64_t finish = candidate.endMinute();
    const auto touches = [&](const Timing& t) { return t.touches(start, finish); };
    const auto notExcluded = [excluded](const Event& event) {
        return excluded == nullptr || event.key() != excluded->key();
    };
    return copiesWhereTimed(touches, notExcluded);
}

bool EventList::markOpen(const StartKey& key) {
    Event* event = mutableFind(key);
    return event != nullptr && event->markOpen();
}

void EventList::clearOpen(const StartKey& key) {
    if (Event* event = mutableFind(key))
        event->clearOpen();
}

}  // namespace almanary
