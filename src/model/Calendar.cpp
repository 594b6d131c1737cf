#include "model/Calendar.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <mutex>

#include "model/DateTimeText.h"

namespace almanary::Calendar {
namespace {

constexpr std::array<int, 12> kDaysBeforeMonth = {0,   31,  59,  90,  120, 151,
                                                  181, 212, 243, 273, 304, 334};

// Days from 1970-01-01 to year-03-01 style civil dates (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// A direct-mapped cache of the UTC offset of whole UTC days. A day whose
// offset is the same at its first and last second has no change inside it,
// so every value of that day converts with the cached offset.
struct OffsetCache {
    static constexpr std::size_t kSize = 4096;
    struct Entry {
        std::int64_t day = INT64_MIN;
        long offset = 0;
        bool uniform = false;
    };
    std::array<Entry, kSize> entries;
    unsigned generation = 0;
};

std::atomic<unsigned> zoneGeneration{1};
std::once_flag tzsetOnce;

bool LocalTm(std::int64_t value, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(value);
    return ::localtime_r(&t, &out) != nullptr;
}

LocalFields FieldsOf(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::int64_t DayNumber(int year, int month, int day) {
    std::int64_t days = DaysFromCivil(year, 1, 1);
    if (month >= 1 && month <= 12) {
        days += kDaysBeforeMonth[static_cast<std::size_t>(month - 1)];
        if (month > 2 && IsLeapYear(year)) ++days;
    }
    return days + day - 1;
}

CalendarDate DateOfDayNumber(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

LocalFields ToLocal(DateTime value) {
    std::call_once(tzsetOnce, [] { ::tzset(); });
    thread_local OffsetCache cache;
    const unsigned generation = zoneGeneration.load(std::memory_order_relaxed);
    if (cache.generation != generation) {
        cache.entries.fill({});
        cache.generation = generation;
    }

    const std::int64_t utcDay = FloorDiv(value, 86400);
    auto& entry = cache.entries[static_cast<std::size_t>(utcDay) % OffsetCache::kSize];
    if (entry.day != utcDay) {
        std::tm first{}, last{};
        const bool ok = LocalTm(utcDay * 86400, first) && LocalTm(utcDay * 86400 + 86399, last);
        entry = {utcDay, first.tm_gmtoff, ok && first.tm_gmtoff == last.tm_gmtoff};
    }

    std::tm tm{};
    if (!entry.uniform) {
        LocalTm(value, tm);
        return FieldsOf(tm);
    }
    // Same offset all day: shift into local time and split it by hand.
    const std::int64_t local = value + entry.offset;
    const std::int64_t localDay = FloorDiv(local, 86400);
    const std::int64_t secondOfDay = local - localDay * 86400;
    const CalendarDate date = DateOfDayNumber(localDay);
    LocalFields fields;
    fields.year = date.year;
    fields.month = date.month;
    fields.day = date.day;
    fields.hour = static_cast<int>(secondOfDay / 3600);
    fields.minute = static_cast<int>(secondOfDay / 60 % 60);
    fields.second = static_cast<int>(secondOfDay % 60);
    fields.weekday = static_cast<int>(((localDay + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
    return fields;
}

std::optional<DateTime> FromLocal(int year, int month, int day, int hour, int minute, int second) {
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    errno = 0;
    const std::time_t t = ::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && errno != 0) return std::nullopt;
    return static_cast<DateTime>(t);
}

DateTime AddDays(DateTime value, int days) {
    const LocalFields from = ToLocal(value);
    const CalendarDate to = DateOfDayNumber(DayNumber(from.date()) + days);
    std::tm tm{};
    tm.tm_year = to.year - 1900;
    tm.tm_mon = to.month - 1;
    tm.tm_mday = to.day;
    tm.tm_hour = from.hour;
    tm.tm_min = from.minute;
    tm.tm_sec = from.second;
    tm.tm_isdst = -1;
    return static_cast<DateTime>(::mktime(&tm));
}

std::string OutOfRangeMessage() {
    return "Dates from " + DateTimeText::DateText(kFirstStorableDateTime) + " to " +
           DateTimeText::DateText(kLastStorableDateTime) + " can be stored; that date cannot.";
}

void TimeZoneChanged() {
    ::tzset();
    zoneGeneration.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace almanary::Calendar
