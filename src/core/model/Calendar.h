#pragma once
// Calendar arithmetic and local-time conversion of date-time values.
// A date-time is whole seconds since 1970-01-01 00:00:00 UTC; an almanary
// file keeps it as an unsigned 32-bit number, so the storable range is
// 1970-01-01 to 2106-02-07.

#include <cstdint>
#include <optional>
#include <string>

namespace almanary {

using DateTime = std::int64_t;

inline constexpr DateTime kFirstStorableDateTime = 0;
inline constexpr DateTime kLastStorableDateTime = 0xFFFFFFFFLL;

struct CalendarDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    bool operator==(const CalendarDate&) const = default;
};

// Local calendar fields of a date-time value.
struct LocalFields {
    int year = 0;
    int month = 0;    // 1..12
    int day = 0;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int second = 0;   // 0..60
    int weekday = 0;  // 0 = Sunday .. 6 = Saturday
    CalendarDate date() const { return {year, month, day}; }
};

namespace Calendar {

// Days since 1970-01-01 of a proleptic Gregorian date. A month outside
// 1..12 counts no days before it; the day is added as it stands.
std::int64_t dayNumber(int year, int month, int day);
inline std::int64_t dayNumber(const CalendarDate& d) {
    return dayNumber(d.year, d.month, d.day);
}

// The Gregorian date of a day number (inverse of dayNumber for valid dates).
CalendarDate dateOfDayNumber(std::int64_t dayNumber);

// The whole-minute scale used for conflicts and reminders.
inline std::int64_t minuteOf(std::int64_t dayNumber, std::int64_t hour, std::int64_t minute) {
    return dayNumber * 1440 + hour * 60 + minute;
}

int daysInMonth(int year, int month);  // 0 for a month outside 1..12

// Local calendar fields of a value in the process time zone. Fast for runs
// of nearby values: the UTC offset is cached per day.
LocalFields toLocal(DateTime value);
inline CalendarDate localDate(DateTime value) {
    return toLocal(value).date();
}

// The value of a local date and clock time, or nothing when the fields are
// not a real date or time. A clock time that a change of UTC offset skips is
// moved forward by the size of the gap (02:30 becomes 03:30).
std::optional<DateTime> fromLocal(int year, int month, int day, int hour = 0, int minute = 0,
                                  int second = 0);

// The moment a date is stored at: 12:00 local time of that day, so the
// date stays the same for a reader up to twelve hours east or west. A
// noon that a clock change skips moves forward within the day. Near the
// ends of the storable range the moment is clamped into it when its local
// date stays the same; nothing when no storable moment has that local date
// (a date outside 1970-2106, or a day the zone skips entirely).
std::optional<DateTime> noonOf(const CalendarDate& date);

// The same local clock time `days` calendar days later (earlier when
// negative). Every day step of the program goes through here, so a
// daylight-saving change never repeats or skips a date. A clock time the
// target date skips is moved forward; a backward step over a whole skipped
// day lands on the day before it. Zero days returns the value unchanged.
DateTime addDays(DateTime value, int days);

// True when the value fits the file's unsigned 32-bit field.
inline bool isStorable(DateTime value) {
    return value >= kFirstStorableDateTime && value <= kLastStorableDateTime;
}

// Call after the TZ environment variable changed (tests do), so cached
// offsets are dropped and the C library rereads the zone.
void timeZoneChanged();

}  // namespace Calendar
}  // namespace almanary
