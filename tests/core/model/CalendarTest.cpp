#include "model/Calendar.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;

std::string show(const LocalFields& f) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d wd%d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second, f.weekday);
    return text;
}

// What the C library itself says: the reference every conversion is held to.
std::tm reference(DateTime value) {
    const auto t = static_cast<std::time_t>(value);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

std::string show(const std::tm& tm) {
    return show(LocalFields{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                            tm.tm_sec, tm.tm_wday});
}

DateTime utc(int year, int month, int day) {
    return Calendar::dayNumber(year, month, day) * 86400;
}

// Far years lie beyond what the standard calendar types hold by themselves.
TEST(DayNumberTest, KnownDatesNearAndFar) {
    const struct {
        int year, month, day;
        std::int64_t expected;
    } days[] = {{1970, 1, 1, 0},
                {1969, 12, 31, -1},
                {2000, 3, 1, 11017},
                {2038, 1, 19, 24855},
                {2106, 2, 7, 49710},
                {1600, 3, 1, -135080},
                {1000000, 3, 1, 364523032},
                {-1000000, 2, 29, -365961969},
                {2023, 0, 5, 19362},
                {2024, -7, 40, 19762}};  // no month: days count from 1/1
    for (const auto& c : days) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        EXPECT_EQ(Calendar::dayNumber(c.year, c.month, c.day), c.expected);
        if (c.month >= 1 && c.month <= 12) {
            EXPECT_EQ(Calendar::dateOfDayNumber(c.expected),
                      (CalendarDate{c.year, c.month, c.day}));
        }
    }
    EXPECT_EQ(Calendar::daysInMonth(2023, 13), 0);  // other lengths: the round trip below
    EXPECT_EQ(Calendar::daysInMonth(-4, 2), 29);
}

TEST(DayNumberTest, EveryDateFollowsTheLastAndRoundTrips) {
    CalendarDate expected{1599, 12, 31};
    for (std::int64_t n = Calendar::dayNumber(1600, 1, 1); n < Calendar::dayNumber(2401, 1, 1);
         ++n) {
        const bool monthEnds = expected.day == Calendar::daysInMonth(expected.year, expected.month);
        expected = !monthEnds ? CalendarDate{expected.year, expected.month, expected.day + 1}
                   : expected.month < 12 ? CalendarDate{expected.year, expected.month + 1, 1}
                                         : CalendarDate{expected.year + 1, 1, 1};
        ASSERT_EQ(Calendar::dateOfDayNumber(n), expected) << n;
        ASSERT_EQ(Calendar::dayNumber(expected), n) << n;
    }
}

// An hour's change, a half hour's, a skipped whole day and leap seconds.
TEST(ToLocalTest, AgreesWithTheCLibrary) {
    const struct {
        const char* zone;
        int year, changes;
    } zones[] = {{"America/New_York", 2023, 2},
                 {"Australia/Lord_Howe", 2023, 2},
                 {"Pacific/Apia", 2011, 3},
                 {"right/UTC", 2016, 0}};
    for (const auto& z : zones) {
        SCOPED_TRACE(z.zone);
        const ScopedTimeZone zone(z.zone);
        int changes = 0;  // guards against a zone missing from the system
        for (DateTime v = utc(z.year, 1, 1); v < utc(z.year + 1, 1, 1); v += 599) {
            // Where the offset changed since the last probe, every second in between.
            const bool changed = reference(v).tm_gmtoff != reference(v - 599).tm_gmtoff;
            changes += changed;
            for (DateTime s = changed ? v - 598 : v; s <= v; ++s)
                ASSERT_EQ(show(Calendar::toLocal(s)), show(reference(s))) << s;
        }
        EXPECT_EQ(changes, z.changes);
        for (DateTime v = -86400; v <= kLastStorableDateTime + 86400; v += 86400 * 5 + 4073)
            ASSERT_EQ(show(Calendar::toLocal(v)), show(reference(v))) << v;
    }
}

TEST(FromLocalTest, RefusesNoDatesAndTakesTheEndsOfTheRange) {
    const int refused[][6] = {{2023, 2, 29, 0, 0, 0}, {2100, 2, 29, 0, 0, 0},
                              {2023, 13, 1, 0, 0, 0}, {2023, 1, 0, 0, 0, 0},
                              {2023, 1, 1, 24, 0, 0}, {2023, 1, 1, 0, 60, 0},
                              {2023, 1, 1, 0, 0, 60}, {2023, 1, 1, 0, -1, 0}};
    for (const auto& f : refused)
        EXPECT_FALSE(Calendar::fromLocal(f[0], f[1], f[2], f[3], f[4], f[5]))
            << f[1] << "/" << f[2];
    const ScopedTimeZone zone("UTC");
    // mktime's -1 is an error and a real second alike.
    EXPECT_EQ(Calendar::fromLocal(1969, 12, 31, 23, 59, 59), std::optional<DateTime>(-1));
    EXPECT_EQ(Calendar::fromLocal(2106, 2, 7, 6, 28, 15), std::optional<DateTime>(0xFFFFFFFFLL));
}

// Zero days shows what fromLocal made of the clock time.
TEST(AddDaysTest, KeepsTheClockAndStepsCalendarDates) {
    const struct {
        const char* zone;
        LocalFields from;
        int days;
        LocalFields to;
    } cases[] = {{"America/New_York", {2023, 3, 11, 2, 30}, 1, {2023, 3, 12, 3, 30}},
                 {"America/New_York", {2023, 11, 6, 0, 0}, -2, {2023, 11, 4, 0, 0}},
                 {"Australia/Lord_Howe", {2023, 9, 30, 2, 15}, 1, {2023, 10, 1, 2, 45}},
                 // Clocks change at midnight: the skipped midnight becomes 1:00.
                 {"America/Sao_Paulo", {2018, 11, 3, 0, 0}, 1, {2018, 11, 4, 1, 0}},
                 {"America/Sao_Paulo", {2018, 11, 5, 0, 0}, -1, {2018, 11, 4, 1, 0}},
                 {"Pacific/Apia", {2011, 12, 29, 12, 0}, 1, {2011, 12, 31, 12, 0}},
                 {"Pacific/Apia", {2011, 12, 31, 12, 0}, -1, {2011, 12, 29, 12, 0}},
                 {"UTC", {2024, 3, 1, 8, 15}, -1, {2024, 2, 29, 8, 15}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + show(c.from) + " + " + std::to_string(c.days));
        const ScopedTimeZone zone(c.zone);
        const auto start =
            Calendar::fromLocal(c.from.year, c.from.month, c.from.day, c.from.hour, c.from.minute);
        ASSERT_TRUE(start.has_value());
        LocalFields shown = Calendar::toLocal(Calendar::addDays(*start, c.days));
        shown.weekday = 0;
        EXPECT_EQ(show(shown), show(c.to));
    }
}

TEST(AddDaysTest, ZeroDaysAbsurdValuesAndErrno) {
    const ScopedTimeZone zone("America/New_York");
    for (const DateTime v : {INT64_MIN, INT64_MAX}) {
        const LocalFields f = Calendar::toLocal(v);  // fields in range all the same
        EXPECT_TRUE(f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= 31) << show(f);
        EXPECT_EQ(f.year > 1970, v > 0) << v;
    }
    const DateTime firstOneThirty = utc(2023, 11, 5) + 5 * 3600 + 1800;  // EDT, then EST
    EXPECT_EQ(Calendar::addDays(firstOneThirty, 0), firstOneThirty);
    EXPECT_EQ(Calendar::addDays(firstOneThirty + 3600, 0), firstOneThirty + 3600);
    EXPECT_GT(Calendar::addDays(0, INT_MAX), utc(2106, 1, 1));
    EXPECT_LT(Calendar::addDays(INT64_MIN, -1), utc(1900, 1, 1));
    errno = EACCES;  // a conversion between a failed call and its report keeps the reason
    Calendar::fromLocal(2023, 3, 12, 2, 30);
    Calendar::addDays(utc(2023, 3, 11), 1);
    EXPECT_EQ(errno, EACCES);
}

// A date is stored at local noon, clamped into the file's range while its
// local date holds; nothing when no storable moment has that date.
TEST(NoonOfTest, LocalNoonWithinTheStorableRange) {
    constexpr std::int64_t kHour = 3600;
    const std::optional<DateTime> none;
    const struct {
        const char* zone;
        CalendarDate date;
        std::optional<DateTime> expected;
    } cases[] = {
        {"UTC", {2021, 6, 1}, utc(2021, 6, 1) + 12 * kHour},
        {"Europe/Berlin", {2021, 6, 1}, utc(2021, 6, 1) + 10 * kHour},
        {"UTC", {1970, 1, 1}, 12 * kHour},
        {"UTC", {1969, 12, 31}, none},
        {"UTC", {2106, 2, 7}, kLastStorableDateTime},  // 06:28:15, still 2/7
        {"UTC", {2106, 2, 8}, none},
        {"UTC", {2021, 2, 30}, none},
        {"<+14>-14", {1970, 1, 1}, kFirstStorableDateTime},  // 14:00 there
        {"<+14>-14", {2106, 2, 8}, none},
        {"<-12>+12", {2106, 2, 6}, utc(2106, 2, 7)},
        {"<-12>+12", {2106, 2, 7}, none},
        // Clocks go forward at noon: 13:00 of the same day.
        {"XST-1XDT,M3.5.0/12,M10.5.0/3", {2021, 3, 28}, utc(2021, 3, 28) + 11 * kHour},
        {"Pacific/Apia", {2011, 12, 30}, none},  // the day the zone skipped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.date.year) + "-" +
                     std::to_string(c.date.month) + "-" + std::to_string(c.date.day));
        const ScopedTimeZone zone(c.zone);
        const auto noon = Calendar::noonOf(c.date);
        EXPECT_EQ(noon, c.expected);
        if (noon) {
            EXPECT_EQ(Calendar::localDate(*noon), c.date);
        }
    }
}

}  // namespace
}  // namespace almanary
