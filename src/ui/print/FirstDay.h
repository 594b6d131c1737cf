#pragma once
// The first day of a printed week: a date at 00:00 local time, within the
// dates an almanary can hold. The week's events are found by date, so the
// clock time of the moment a week was picked never matters.

#include <optional>

#include "model/Calendar.h"

namespace almanary::FirstDay {

// The date at 00:00 local time (the first moment of the day when a clock
// change skips midnight).
DateTime of(const CalendarDate& date);
// The first day `days` calendar days away, counted in dates so a change of
// daylight-saving time never repeats or skips one; nothing when that date
// lies outside the dates an almanary can hold.
std::optional<DateTime> moved(DateTime firstDay, int days);
// The first and last dates an almanary can hold, in local time.
CalendarDate earliest();
CalendarDate latest();

}  // namespace almanary::FirstDay
