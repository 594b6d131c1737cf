#pragma once
// Local clock times of one calendar's worth of events, remembered per day.
// Converting a local time asks the C library, which looks at the zone file
// on every call; a calendar's events come back to the same days, so each
// day is asked about once and a day without a clock change is plain
// arithmetic after that. One pass over a file; the process zone must not
// change while it lives.

#include <optional>
#include <unordered_map>

#include "model/Calendar.h"

namespace almanary {

class LocalTimes {
public:
    // As Calendar::fromLocal.
    std::optional<DateTime> moment(const CalendarDate& date, int hour, int minute, int second = 0);
    // As Calendar::noonOf.
    std::optional<DateTime> noonOf(const CalendarDate& date);

private:
    struct Day {
        std::optional<DateTime> midnight;  // set when the day has no clock change
        std::optional<std::optional<DateTime>> noon;
    };
    Day& dayOf(const CalendarDate& date);

    std::unordered_map<std::int64_t, Day> days_;
};

}  // namespace almanary
