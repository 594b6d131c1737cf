#include "ical/LocalTimes.h"

namespace almanary {
namespace {

// Only real dates are remembered: day numbers run on past a month's end.
bool realDate(const CalendarDate& date) {
    return date.day >= 1 && date.day <= Calendar::daysInMonth(date.year, date.month);
}

}  // namespace

LocalTimes::Day& LocalTimes::dayOf(const CalendarDate& date) {
    const auto [found, added] = days_.try_emplace(Calendar::dayNumber(date));
    Day& day = found->second;
    if (added) {
        const auto first = Calendar::fromLocal(date.year, date.month, date.day, 0, 0, 0);
        const auto last = Calendar::fromLocal(date.year, date.month, date.day, 23, 59, 59);
        // The same offset at both ends: no change of offset in between.
        if (first && last && *last - *first == 86399)
            day.midnight = first;
    }
    return day;
}

std::optional<DateTime> LocalTimes::moment(const CalendarDate& date, int hour, int minute,
                                           int second) {
    const bool clockTime =
        hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
    if (clockTime && realDate(date)) {
        if (const Day& day = dayOf(date); day.midnight)
            return *day.midnight + hour * 3600 + minute * 60 + second;
    }
    return Calendar::fromLocal(date.year, date.month, date.day, hour, minute, second);
}

std::optional<DateTime> LocalTimes::noonOf(const CalendarDate& date) {
    if (!realDate(date))
        return Calendar::noonOf(date);
    Day& day = dayOf(date);
    if (!day.noon)
        day.noon = Calendar::noonOf(date);
    return *day.noon;
}

}  // namespace almanary
