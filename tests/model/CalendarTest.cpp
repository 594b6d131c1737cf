#include "model/Calendar.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;

std::string Show(const LocalFields& f) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d wd%d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second, f.weekday);
    return text;
}

std::string Show(const CalendarDate& d) {
    return Show(LocalFields{d.year, d.month, d.day});
}

// What the C library itself says: the reference every conversion is held to.
LocalFields Reference(DateTime value) {
    const std::time_t t = static_cast<std::time_t>(value);
    std::tm tm{};
    EXPECT_NE(::localtime_r(&t, &tm), nullptr) << value;
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

long OffsetOf(DateTime value) {
    const std::time_t t = static_cast<std::time_t>(value);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm.tm_gmtoff;
}

// Every second at which the zone's UTC offset changes within [from, to).
std::vector<DateTime> OffsetChanges(DateTime from, DateTime to) {
    std::vector<DateTime> changes;
    for (DateTime t = from; t + 3600 <= to; t += 3600) {
        if (OffsetOf(t) == OffsetOf(t + 3600))
            continue;
        DateTime low = t, high = t + 3600;  // offset(low) differs from offset(high)
        while (high - low > 1) {
            const DateTime mid = low + (high - low) / 2;
            (OffsetOf(mid) == OffsetOf(low) ? low : high) = mid;
        }
        changes.push_back(high);
    }
    return changes;
}

DateTime Utc(int year, int month, int day) {
    return Calendar::DayNumber(year, month, day) * 86400;
}

// True when the local clock time exists on that date in the current zone,
// found without mktime: some value near it must show it.
bool ClockExists(const CalendarDate& date, int hour, int minute) {
    const DateTime naive = Calendar::DayNumber(date) * 86400 + hour * 3600 + minute * 60;
    const LocalFields wanted{date.year, date.month, date.day, hour, minute, 0};
    for (const DateTime probe : {naive - 30 * 3600, naive + 30 * 3600}) {
        const LocalFields seen = Reference(naive - OffsetOf(probe));
        if (seen.date() == wanted.date() && seen.hour == hour && seen.minute == minute)
            return true;
    }
    return false;
}

LocalFields Local(const CalendarDate& d, int hour, int minute) {
    return {d.year, d.month, d.day, hour, minute, 0};
}

TEST(DayNumberTest, KnownDates) {
    struct Case {
        int year, month, day;
        std::int64_t expected;
    };
    const Case cases[] = {{1970, 1, 1, 0},      {1970, 1, 2, 1},      {1969, 12, 31, -1},
                          {1971, 1, 1, 365},    {2000, 1, 1, 10957},  {2000, 3, 1, 11017},
                          {2001, 5, 9, 11451},  {2038, 1, 19, 24855}, {2106, 2, 7, 49710},
                          {1900, 1, 1, -25567}, {1600, 3, 1, -135080}};
    for (const Case& c : cases) {
        EXPECT_EQ(Calendar::DayNumber(c.year, c.month, c.day), c.expected)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(DayNumberTest, LeapDaysAndYearEndsCountOneDay) {
    struct Case {
        CalendarDate earlier, later;
    };
    const Case cases[] = {{{2024, 2, 29}, {2024, 3, 1}},  {{2024, 2, 28}, {2024, 2, 29}},
                          {{2023, 2, 28}, {2023, 3, 1}},  {{2000, 2, 29}, {2000, 3, 1}},
                          {{2100, 2, 28}, {2100, 3, 1}},  {{2023, 12, 31}, {2024, 1, 1}},
                          {{1969, 12, 31}, {1970, 1, 1}}, {{2024, 4, 30}, {2024, 5, 1}}};
    for (const Case& c : cases) {
        EXPECT_EQ(Calendar::DayNumber(c.later) - Calendar::DayNumber(c.earlier), 1)
            << Show(c.earlier) << " to " << Show(c.later);
    }
    // Noon on 29 February and noon on 1 March are a whole day apart.
    const std::int64_t feb29 = Calendar::MinuteOf(Calendar::DayNumber(2024, 2, 29), 12, 0);
    const std::int64_t mar1 = Calendar::MinuteOf(Calendar::DayNumber(2024, 3, 1), 12, 0);
    EXPECT_EQ(mar1 - feb29, 1440);
}

TEST(DayNumberTest, MonthOutsideTheYearCountsNoDaysBeforeIt) {
    EXPECT_EQ(Calendar::DayNumber(2023, 0, 5), Calendar::DayNumber(2023, 1, 5));
    EXPECT_EQ(Calendar::DayNumber(2023, 13, 1), Calendar::DayNumber(2023, 1, 1));
    EXPECT_EQ(Calendar::DayNumber(2024, -7, 40), Calendar::DayNumber(2024, 2, 9));
}

TEST(DayNumberTest, EveryDateFollowsTheLastAndRoundTrips) {
    std::int64_t expected = Calendar::DayNumber(1600, 1, 1);
    for (int year = 1600; year <= 2400; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= Calendar::DaysInMonth(year, month); ++day, ++expected) {
                const CalendarDate date{year, month, day};
                ASSERT_EQ(Calendar::DayNumber(date), expected) << Show(date);
                ASSERT_EQ(Calendar::DateOfDayNumber(expected), date) << expected;
            }
        }
    }
}

TEST(DayNumberTest, DateOfDayNumberInvertsDayNumberOverAWideRange) {
    for (std::int64_t n = -3'000'000; n <= 3'000'000; n += 7) {
        const CalendarDate date = Calendar::DateOfDayNumber(n);
        ASSERT_GE(date.month, 1) << n;
        ASSERT_LE(date.month, 12) << n;
        ASSERT_GE(date.day, 1) << n;
        ASSERT_LE(date.day, Calendar::DaysInMonth(date.year, date.month)) << n;
        ASSERT_EQ(Calendar::DayNumber(date), n) << Show(date);
    }
}

TEST(DayNumberTest, LeapYearsAndMonthLengths) {
    struct Case {
        int year, month, days;
    };
    const Case cases[] = {{2023, 2, 28},  {2024, 2, 29}, {2000, 2, 29}, {1900, 2, 28},
                          {2100, 2, 28},  {2400, 2, 29}, {2023, 1, 31}, {2023, 4, 30},
                          {2023, 12, 31}, {2023, 0, 0},  {2023, 13, 0}, {-4, 2, 29},
                          {-1, 2, 28}};
    for (const Case& c : cases) {
        EXPECT_EQ(Calendar::DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
    }
}

TEST(IsStorableTest, Bounds) {
    struct Case {
        DateTime value;
        bool storable;
    };
    const Case cases[] = {
        {0, true},          {-1, false},        {0xFFFFFFFFLL, true},    {0x100000000LL, false},
        {INT64_MIN, false}, {INT64_MAX, false}, {Utc(2106, 2, 7), true}, {Utc(2106, 2, 8), false}};
    for (const Case& c : cases)
        EXPECT_EQ(Calendar::IsStorable(c.value), c.storable) << c.value;
}

struct ZoneYears {
    const char* zone;
    int firstYear, lastYear;
    int minimumChanges;  // guards against a zone missing from the system
};

const ZoneYears kSweepZones[] = {{"America/New_York", 2022, 2024, 6},
                                 {"Europe/London", 2022, 2024, 6},
                                 {"Australia/Lord_Howe", 2022, 2024, 6},
                                 {"America/Sao_Paulo", 2017, 2019, 4},
                                 {"America/Havana", 2022, 2024, 6},
                                 {"Pacific/Apia", 2011, 2012, 3},
                                 {"UTC", 2023, 2023, 0},
                                 {"right/UTC", 2015, 2017, 0}};

TEST(ToLocalTest, AgreesWithTheCLibraryAroundEveryOffsetChange) {
    for (const ZoneYears& z : kSweepZones) {
        SCOPED_TRACE(z.zone);
        const ScopedTimeZone zone(z.zone);
        const std::vector<DateTime> changes =
            OffsetChanges(Utc(z.firstYear, 1, 1), Utc(z.lastYear + 1, 1, 1));
        ASSERT_GE(changes.size(), static_cast<std::size_t>(z.minimumChanges));
        // Twice: the second pass reads the cached offsets.
        for (int pass = 0; pass < 2; ++pass) {
            for (const DateTime change : changes) {
                for (DateTime v = change - 2 * 86400; v <= change + 2 * 86400; v += 433) {
                    ASSERT_EQ(Show(Calendar::ToLocal(v)), Show(Reference(v))) << v;
                }
                for (DateTime v = change - 3; v <= change + 3; ++v) {
                    ASSERT_EQ(Show(Calendar::ToLocal(v)), Show(Reference(v))) << v;
                }
            }
        }
        // Whole years, midnights and last seconds of days included.
        for (DateTime day = Utc(z.firstYear, 1, 1); day < Utc(z.lastYear + 1, 1, 1); day += 86400) {
            for (const DateTime v : {day, day + 86399, day + 43210}) {
                ASSERT_EQ(Show(Calendar::ToLocal(v)), Show(Reference(v))) << v;
            }
        }
    }
}

TEST(ToLocalTest, AgreesWithTheCLibraryAcrossTheStorableRange) {
    for (const char* name : {"UTC", "America/New_York", "Australia/Lord_Howe", "Asia/Kolkata"}) {
        SCOPED_TRACE(name);
        const ScopedTimeZone zone(name);
        for (DateTime v = -86400; v <= kLastStorableDateTime + 86400; v += 86400 * 5 + 4073) {
            ASSERT_EQ(Show(Calendar::ToLocal(v)), Show(Reference(v))) << v;
        }
    }
}

TEST(ToLocalTest, FollowsAChangeOfTimeZone) {
    const DateTime noonUtc = Utc(2023, 7, 1) + 12 * 3600;
    const ScopedTimeZone utc("UTC");
    EXPECT_EQ(Calendar::ToLocal(noonUtc).hour, 12);
    {
        const ScopedTimeZone newYork("America/New_York");
        EXPECT_EQ(Calendar::ToLocal(noonUtc).hour, 8);
        {
            const ScopedTimeZone kolkata("Asia/Kolkata");
            EXPECT_EQ(Calendar::ToLocal(noonUtc).hour, 17);
            EXPECT_EQ(Calendar::ToLocal(noonUtc).minute, 30);
        }
        EXPECT_EQ(Calendar::ToLocal(noonUtc).hour, 8);
    }
    EXPECT_EQ(Calendar::ToLocal(noonUtc).hour, 12);
}

TEST(ToLocalTest, EachThreadConvertsCorrectly) {
    const ScopedTimeZone zone("Europe/London");
    const DateTime from = Utc(2023, 3, 20), to = Utc(2023, 11, 5);
    std::vector<std::string> expected;
    for (DateTime v = from; v < to; v += 1777)
        expected.push_back(Show(Reference(v)));

    auto sweep = [&](std::vector<std::string>& out) {
        for (DateTime v = from; v < to; v += 1777)
            out.push_back(Show(Calendar::ToLocal(v)));
    };
    std::vector<std::string> first, second;
    std::thread a(sweep, std::ref(first));
    std::thread b(sweep, std::ref(second));
    a.join();
    b.join();
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected);
}

TEST(ToLocalTest, AbsurdValuesGiveFieldsInRange) {
    const ScopedTimeZone zone("America/New_York");
    for (const DateTime v : {INT64_MIN, INT64_MIN + 1, INT64_MAX, INT64_MAX - 86399}) {
        const LocalFields f = Calendar::ToLocal(v);
        EXPECT_GE(f.month, 1) << v;
        EXPECT_LE(f.month, 12) << v;
        EXPECT_GE(f.day, 1) << v;
        EXPECT_LE(f.day, 31) << v;
        EXPECT_EQ(f.year > 1970, v > 0) << v;
    }
}

TEST(FromLocalTest, RefusesFieldsThatAreNoDateOrTime) {
    struct Case {
        int year, month, day, hour, minute, second;
    };
    const Case cases[] = {{2023, 2, 29, 0, 0, 0}, {2023, 13, 1, 0, 0, 0}, {2023, 0, 1, 0, 0, 0},
                          {2023, 1, 0, 0, 0, 0},  {2023, 4, 31, 0, 0, 0}, {2100, 2, 29, 0, 0, 0},
                          {2023, 1, 1, 24, 0, 0}, {2023, 1, 1, -1, 0, 0}, {2023, 1, 1, 0, 60, 0},
                          {2023, 1, 1, 0, -1, 0}, {2023, 1, 1, 0, 0, 60}, {2023, 1, 1, 0, 0, -1}};
    for (const Case& c : cases) {
        EXPECT_FALSE(
            Calendar::FromLocal(c.year, c.month, c.day, c.hour, c.minute, c.second).has_value())
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":"
            << c.second;
    }
}

TEST(FromLocalTest, RoundTripsThroughToLocal) {
    for (const char* name : {"UTC", "America/New_York", "Australia/Lord_Howe"}) {
        SCOPED_TRACE(name);
        const ScopedTimeZone zone(name);
        for (const CalendarDate d : {CalendarDate{1970, 1, 1}, CalendarDate{2000, 2, 29},
                                     CalendarDate{2023, 7, 15}, CalendarDate{2106, 2, 6}}) {
            for (int hour = 0; hour < 24; ++hour) {
                const auto value = Calendar::FromLocal(d.year, d.month, d.day, hour, 59, 58);
                ASSERT_TRUE(value.has_value()) << Show(d) << " " << hour;
                const LocalFields f = Calendar::ToLocal(*value);
                EXPECT_EQ(f.date(), d);
                EXPECT_EQ(f.hour, hour);
                EXPECT_EQ(f.minute, 59);
                EXPECT_EQ(f.second, 58);
            }
        }
    }
}

TEST(FromLocalTest, TheSecondBeforeTheEpochIsARealValue) {
    const ScopedTimeZone zone("UTC");
    EXPECT_EQ(Calendar::FromLocal(1969, 12, 31, 23, 59, 59), std::optional<DateTime>(-1));
    EXPECT_EQ(Calendar::FromLocal(1970, 1, 1), std::optional<DateTime>(0));
    EXPECT_EQ(Calendar::FromLocal(2106, 2, 7, 6, 28, 15), std::optional<DateTime>(0xFFFFFFFFLL));
}

TEST(FromLocalTest, SkippedClockTimesMoveForward) {
    struct Case {
        const char* zone;
        LocalFields asked, shown;
    };
    const Case cases[] = {
        {"America/New_York", Local({2023, 3, 12}, 2, 30), Local({2023, 3, 12}, 3, 30)},
        {"Europe/London", Local({2023, 3, 26}, 1, 0), Local({2023, 3, 26}, 2, 0)},
        {"Australia/Lord_Howe", Local({2023, 10, 1}, 2, 15), Local({2023, 10, 1}, 2, 45)},
        {"America/Sao_Paulo", Local({2018, 11, 4}, 0, 0), Local({2018, 11, 4}, 1, 0)},
        {"America/Havana", Local({2023, 3, 12}, 0, 30), Local({2023, 3, 12}, 1, 30)},
        {"Pacific/Apia", Local({2011, 12, 30}, 12, 0), Local({2011, 12, 31}, 12, 0)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        const ScopedTimeZone zone(c.zone);
        const auto value = Calendar::FromLocal(c.asked.year, c.asked.month, c.asked.day,
                                               c.asked.hour, c.asked.minute);
        ASSERT_TRUE(value.has_value());
        LocalFields shown = Calendar::ToLocal(*value);
        shown.weekday = 0;
        EXPECT_EQ(Show(shown), Show(c.shown));
    }
}

TEST(AddDaysTest, KeepsTheClockAndStepsCalendarDates) {
    struct Case {
        const char* zone;
        LocalFields from;
        int days;
        LocalFields to;
    };
    const Case cases[] = {
        {"America/New_York", Local({2023, 3, 11}, 12, 0), 1, Local({2023, 3, 12}, 12, 0)},
        {"America/New_York", Local({2023, 3, 12}, 12, 0), -1, Local({2023, 3, 11}, 12, 0)},
        {"America/New_York", Local({2023, 11, 4}, 12, 0), 1, Local({2023, 11, 5}, 12, 0)},
        {"America/New_York", Local({2023, 11, 6}, 0, 0), -2, Local({2023, 11, 4}, 0, 0)},
        {"America/New_York", Local({2023, 3, 11}, 2, 30), 1, Local({2023, 3, 12}, 3, 30)},
        {"Europe/London", Local({2023, 3, 25}, 1, 30), 1, Local({2023, 3, 26}, 2, 30)},
        {"Europe/London", Local({2023, 10, 28}, 23, 59), 2, Local({2023, 10, 30}, 23, 59)},
        {"Australia/Lord_Howe", Local({2023, 9, 30}, 2, 15), 1, Local({2023, 10, 1}, 2, 45)},
        {"Australia/Lord_Howe", Local({2023, 4, 1}, 1, 45), 1, Local({2023, 4, 2}, 1, 45)},
        {"America/Sao_Paulo", Local({2018, 11, 3}, 0, 0), 1, Local({2018, 11, 4}, 1, 0)},
        {"America/Sao_Paulo", Local({2018, 11, 5}, 0, 0), -1, Local({2018, 11, 4}, 1, 0)},
        {"America/Sao_Paulo", Local({2018, 2, 16}, 23, 30), 1, Local({2018, 2, 17}, 23, 30)},
        {"America/Sao_Paulo", Local({2018, 2, 17}, 0, 0), 1, Local({2018, 2, 18}, 0, 0)},
        {"America/Havana", Local({2023, 3, 11}, 0, 0), 1, Local({2023, 3, 12}, 1, 0)},
        {"America/Havana", Local({2023, 11, 4}, 0, 30), 1, Local({2023, 11, 5}, 0, 30)},
        {"Pacific/Apia", Local({2011, 12, 29}, 12, 0), 1, Local({2011, 12, 31}, 12, 0)},
        {"Pacific/Apia", Local({2011, 12, 31}, 12, 0), -1, Local({2011, 12, 29}, 12, 0)},
        {"UTC", Local({2024, 2, 28}, 8, 15), 1, Local({2024, 2, 29}, 8, 15)},
        {"UTC", Local({2024, 2, 29}, 8, 15), 1, Local({2024, 3, 1}, 8, 15)},
        {"UTC", Local({2023, 2, 28}, 8, 15), 1, Local({2023, 3, 1}, 8, 15)},
        {"UTC", Local({2023, 12, 31}, 23, 45), 1, Local({2024, 1, 1}, 23, 45)},
        {"UTC", Local({2024, 3, 1}, 0, 0), -1, Local({2024, 2, 29}, 0, 0)},
        {"UTC", Local({2024, 1, 31}, 6, 0), 30, Local({2024, 3, 1}, 6, 0)},
        {"UTC", Local({2024, 1, 1}, 6, 0), -366, Local({2022, 12, 31}, 6, 0)},
        {"UTC", Local({2000, 1, 1}, 0, 0), 36524, Local({2099, 12, 31}, 0, 0)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + Show(c.from) + " + " + std::to_string(c.days));
        const ScopedTimeZone zone(c.zone);
        const auto start =
            Calendar::FromLocal(c.from.year, c.from.month, c.from.day, c.from.hour, c.from.minute);
        ASSERT_TRUE(start.has_value());
        ASSERT_EQ(Calendar::ToLocal(*start).hour, c.from.hour);
        LocalFields shown = Calendar::ToLocal(Calendar::AddDays(*start, c.days));
        shown.weekday = 0;
        EXPECT_EQ(Show(shown), Show(c.to));
    }
}

TEST(AddDaysTest, DailyStepsVisitEveryDateOnce) {
    struct Case {
        const char* zone;
        LocalFields start;
    };
    const Case cases[] = {{"America/New_York", Local({2022, 12, 1}, 2, 30)},
                          {"Europe/London", Local({2022, 12, 1}, 1, 30)},
                          {"Australia/Lord_Howe", Local({2022, 12, 1}, 2, 15)},
                          {"America/Sao_Paulo", Local({2017, 12, 1}, 0, 0)},
                          {"America/Havana", Local({2022, 12, 1}, 0, 0)}};
    constexpr int kSteps = 420;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        const ScopedTimeZone zone(c.zone);
        const auto start = Calendar::FromLocal(c.start.year, c.start.month, c.start.day,
                                               c.start.hour, c.start.minute);
        ASSERT_TRUE(start.has_value());
        const std::int64_t startDay = Calendar::DayNumber(c.start.date());
        for (const int direction : {1, -1}) {
            DateTime chained = *start;
            for (int n = 1; n <= kSteps; ++n) {
                const int days = n * direction;
                const CalendarDate date = Calendar::DateOfDayNumber(startDay + days);
                const LocalFields direct = Calendar::ToLocal(Calendar::AddDays(*start, days));
                ASSERT_EQ(direct.date(), date) << days;
                if (ClockExists(date, c.start.hour, c.start.minute)) {
                    ASSERT_EQ(direct.hour, c.start.hour) << days;
                    ASSERT_EQ(direct.minute, c.start.minute) << days;
                }
                chained = Calendar::AddDays(chained, direction);
                ASSERT_EQ(Calendar::LocalDate(chained), date) << days;
            }
        }
    }
}

TEST(AddDaysTest, ZeroDaysKeepsEitherSideOfARepeatedHour) {
    const ScopedTimeZone zone("America/New_York");
    const DateTime firstOneThirty = Utc(2023, 11, 5) + 5 * 3600 + 1800;  // EDT
    const DateTime secondOneThirty = firstOneThirty + 3600;              // EST
    ASSERT_EQ(Calendar::ToLocal(secondOneThirty).hour, 1);
    EXPECT_EQ(Calendar::AddDays(firstOneThirty, 0), firstOneThirty);
    EXPECT_EQ(Calendar::AddDays(secondOneThirty, 0), secondOneThirty);
}

TEST(AddDaysTest, AbsurdArgumentsStayDefined) {
    const ScopedTimeZone zone("Europe/London");
    EXPECT_GT(Calendar::AddDays(0, INT_MAX), Utc(2106, 1, 1));
    EXPECT_LT(Calendar::AddDays(0, INT_MIN), Utc(1900, 1, 1));
    EXPECT_GT(Calendar::AddDays(INT64_MAX, 1), Utc(2106, 1, 1));
    EXPECT_LT(Calendar::AddDays(INT64_MIN, -1), Utc(1900, 1, 1));
}

TEST(CalendarTest, ConversionsLeaveErrnoAlone) {
    const ScopedTimeZone zone("America/New_York");
    errno = EACCES;
    Calendar::ToLocal(Utc(2023, 3, 12) + 7 * 3600);
    Calendar::FromLocal(2023, 3, 12, 2, 30);
    Calendar::FromLocal(2023, 2, 30);
    Calendar::AddDays(Utc(2023, 3, 11), 1);
    EXPECT_EQ(errno, EACCES);
}

}  // namespace
}  // namespace almanary
