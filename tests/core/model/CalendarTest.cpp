#include "model/Calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>

#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

DateTime utc(int year, int month, int day, int hour = 0) {
    return Calendar::dayNumber(year, month, day) * 86400 + hour * 3600;
}

// Far years beyond the C types; mktime's -1 is an error and a real second alike.
TEST(CalendarTest, DayNumbersAndLocalDates) {
    EXPECT_EQ(Calendar::dayNumber(1000000, 3, 1), 364523032);
    EXPECT_EQ(Calendar::dateOfDayNumber(-365961969), (CalendarDate{-1000000, 2, 29}));
    for (std::int64_t n = Calendar::dayNumber(1600, 1, 1); n < Calendar::dayNumber(2401, 1, 1);
         ++n) {
        const std::time_t t = n * 86400;
        std::tm tm{};
        ::gmtime_r(&t, &tm);
        const CalendarDate date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
        ASSERT_EQ(Calendar::dateOfDayNumber(n), date) << n;
        ASSERT_EQ(Calendar::dayNumber(date), n) << n;
    }
    const std::array<int, 6> refused[] = {{2023, 2, 29, 0, 0, 0}, {2100, 2, 29, 0, 0, 0},
                                          {2023, 13, 1, 0, 0, 0}, {2023, 1, 0, 0, 0, 0},
                                          {2023, 1, 1, 24, 0, 0}, {2023, 1, 1, 0, 60, 0},
                                          {2023, 1, 1, 0, 0, 60}, {2023, 1, 1, 0, -1, 0}};
    for (const auto& f : refused)
        EXPECT_FALSE(Calendar::fromLocal(f[0], f[1], f[2], f[3], f[4], f[5])) << f[1] << f[2];
    const ScopedTimeZone zone("UTC");
    EXPECT_EQ(Calendar::fromLocal(1969, 12, 31, 23, 59, 59), std::optional<DateTime>(-1));
    EXPECT_EQ(Calendar::fromLocal(2106, 2, 7, 6, 28, 15), std::optional<DateTime>(0xFFFFFFFFLL));
}

// Zero days keeps even an ambiguous clock time (1:30 as summer time ends).
TEST(CalendarTest, AddDaysKeepsTheClockAndStepsCalendarDates) {
    const std::tuple<const char*, LocalFields, int, LocalFields> cases[] = {
        {"America/New_York", {2023, 3, 11, 2, 30}, 1, {2023, 3, 12, 3, 30}},
        {"America/New_York", {2023, 11, 6, 0, 0}, -2, {2023, 11, 4, 0, 0}},
        // Clocks change at midnight: the skipped midnight becomes 1:00.
        {"America/Sao_Paulo", {2018, 11, 3, 0, 0}, 1, {2018, 11, 4, 1, 0}},
        {"America/Sao_Paulo", {2018, 11, 5, 0, 0}, -1, {2018, 11, 4, 1, 0}},
        {"Pacific/Apia", {2011, 12, 29, 12, 0}, 1, {2011, 12, 31, 12, 0}},
        {"Pacific/Apia", {2011, 12, 31, 12, 0}, -1, {2011, 12, 29, 12, 0}}};
    for (const auto& [name, from, days, to] : cases) {
        const ScopedTimeZone zone(name);
        const auto start =
            Calendar::fromLocal(from.year, from.month, from.day, from.hour, from.minute);
        const LocalFields shown = Calendar::toLocal(Calendar::addDays(start.value_or(0), days));
        EXPECT_TRUE(shown.date() == to.date() && shown.hour == to.hour &&
                    shown.minute == to.minute && shown.second == 0)
            << name << " " << from.day << " + " << days;
    }
    const ScopedTimeZone zone("America/New_York");
    for (const DateTime oneThirty : {utc(2023, 11, 5, 5) + 1800, utc(2023, 11, 5, 6) + 1800})
        EXPECT_EQ(Calendar::addDays(oneThirty, 0), oneThirty);
}

// Local noon, clamped into the file's range while the date holds; nothing when none can be stored.
TEST(CalendarTest, NoonOfIsLocalNoonWithinTheStorableRange) {
    const std::optional<DateTime> none;
    const std::tuple<const char*, CalendarDate, std::optional<DateTime>> cases[] = {
        {"UTC", {2021, 6, 1}, utc(2021, 6, 1, 12)},
        {"Europe/Berlin", {2021, 6, 1}, utc(2021, 6, 1, 10)},
        {"UTC", {1969, 12, 31}, none},
        {"UTC", {2106, 2, 7}, kLastStorableDateTime},  // 06:28:15, still 2/7
        {"UTC", {2106, 2, 8}, none},
        {"UTC", {2021, 2, 30}, none},
        {"<+14>-14", {1970, 1, 1}, kFirstStorableDateTime},  // 14:00 there
        {"<-12>+12", {2106, 2, 7}, none},
        // Clocks go forward at noon: 13:00 of the same day.
        {"XST-1XDT,M3.5.0/12,M10.5.0/3", {2021, 3, 28}, utc(2021, 3, 28, 11)},
        {"Pacific/Apia", {2011, 12, 30}, none},  // the day the zone skipped
    };
    for (const auto& [name, date, expected] : cases) {
        const ScopedTimeZone zone(name);
        EXPECT_EQ(Calendar::noonOf(date), expected)
            << name << " " << date.year << "-" << date.month << "-" << date.day;
    }
}

}  // namespace
}  // namespace almanary::testing
