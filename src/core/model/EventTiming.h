#pragma once
// Where an event lies on the whole-minute scale, and the two questions
// asked of that: is its reminder due, does it share a minute with a span.
// The list's queries and a scan of a file both ask them here.

#include <cstdint>
#include <limits>

#include "model/Calendar.h"
#include "model/Event.h"

namespace almanary {

struct EventTiming {
    static constexpr std::int64_t kNoReminder = std::numeric_limits<std::int64_t>::max();

    std::int64_t start = Event::kUndatedStartMinute;  // Event::startMinute()
    std::int64_t end = Event::kUndatedStartMinute;    // Event::endMinute()
    // The first minute its reminder is due (start minus the lead);
    // kNoReminder when it has none.
    std::int64_t remindAt = kNoReminder;

    static EventTiming of(const Event& event) {
        const std::int64_t first = event.startMinute();
        // first - lead stays far inside 64 bits: the lead is a 32-bit number.
        return {first, event.endMinute(),
                event.remind() ? first - event.remindMinutes() : kNoReminder};
    }

    // The minute of a local date-time, seconds ignored.
    static std::int64_t minuteOf(DateTime now) {
        const LocalFields local = Calendar::toLocal(now);
        return Calendar::minuteOf(Calendar::dayNumber(local.date()), local.hour, local.minute);
    }

    bool isDueBy(std::int64_t nowMinute) const { return remindAt <= nowMinute; }

    // The closed spans [start, end] and [from, to] share a minute. Spans
    // may be reversed (a negative duration): each end is tested on its own.
    bool touches(std::int64_t from, std::int64_t to) const {
        return (start <= from && from <= end) || (start <= to && to <= end) ||
               (from <= start && end <= to);
    }

    bool operator==(const EventTiming&) const = default;
};

}  // namespace almanary
