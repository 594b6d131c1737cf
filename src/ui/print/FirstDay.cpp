#include "print/FirstDay.h"

namespace almanary::FirstDay {

DateTime of(const CalendarDate& date) {
    if (const std::optional<DateTime> midnight =
            Calendar::fromLocal(date.year, date.month, date.day))
        return *midnight;
    return Calendar::noonOf(date).value_or(0);
}

std::optional<DateTime> moved(DateTime firstDay, int days) {
    const CalendarDate target = Calendar::localDate(Calendar::addDays(firstDay, days));
    const std::int64_t number = Calendar::dayNumber(target);
    if (number < Calendar::dayNumber(earliest()) || number > Calendar::dayNumber(latest()))
        return std::nullopt;
    return of(target);
}

CalendarDate earliest() {
    return Calendar::localDate(kFirstStorableDateTime);
}

CalendarDate latest() {
    return Calendar::localDate(kLastStorableDateTime);
}

}  // namespace almanary::FirstDay
