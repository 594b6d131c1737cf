#include "model/Calendar.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <mutex>

namespace almanary::Calendar {
namespace {

namespace chr = std::chrono;

// The Gregorian calendar repeats every 400 years, which are 146,097 days.
// chrono's years reach only 32,767 either side of year 0, so a far date is
// brought within 400 years of year 0 and its whole cycles are added apart.
constexpr int kCycleYears = 400;
constexpr std::int64_t kCycleDays = 146097;

chr::year cycleYear(int year) {
    return chr::year{year % kCycleYears};
}

// A direct-mapped cache of the UTC offset of whole UTC days. A day is
// "uniform" when the C library gives the same offset at its first and last
// second and splitting those two seconds by hand agrees with it; every value
// of such a day converts with the cached offset. Days with a change inside,
// and zones that count leap seconds, always go through the C library.
struct OffsetCache {
    static constexpr std::size_t kSize = 4096;
    struct Entry {
        std::int64_t day = INT64_MIN;
        std::int64_t offset = 0;
        bool uniform = false;
    };
    std::array<Entry, kSize> entries;
    unsigned generation = 0;
    // The last value converted: the events of a day share one stored moment.
    DateTime lastValue = INT64_MIN;
    LocalFields lastFields;
};

std::atomic<unsigned> zoneGeneration{1};
std::once_flag tzsetOnce;

// Values beyond about 35 million years either side of 1970 are taken as that
// bound, so years fit an int and no day arithmetic overflows.
constexpr std::int64_t kValueBound = std::int64_t{1} << 50;
constexpr std::int64_t kSecondsPerDay = 86400;

// The C library may set errno while it reads the zone; a date conversion
// between a failed call and its report must not change the reason.
class ErrnoKeeper {
public:
    ErrnoKeeper() : saved_(errno) {}
    ~ErrnoKeeper() { errno = saved_; }
    ErrnoKeeper(const ErrnoKeeper&) = delete;
    ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

private:
    int saved_;
};

// The UTC day (or, for local seconds, the local day) a second falls in.
chr::sys_days dayOf(std::int64_t seconds) {
    return chr::floor<chr::days>(chr::sys_seconds{chr::seconds{seconds}});
}

bool localTm(std::int64_t value, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(value);
    return ::localtime_r(&t, &out) != nullptr;
}

LocalFields fieldsOfTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

// Splits seconds of local time (already shifted by the offset) into fields.
LocalFields splitLocal(std::int64_t local) {
    const chr::sys_days day = dayOf(local);
    const chr::hh_mm_ss clock{chr::seconds{local} - day.time_since_epoch()};
    const CalendarDate date = dateOfDayNumber(day.time_since_epoch().count());
    return {date.year,
            date.month,
            date.day,
            static_cast<int>(clock.hours().count()),
            static_cast<int>(clock.minutes().count()),
            static_cast<int>(clock.seconds().count()),
            static_cast<int>(chr::weekday{day}.c_encoding())};
}

bool sameClock(const LocalFields& a, const LocalFields& b) {
    return a.date() == b.date() && a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

// Seconds of local time the fields stand for, counted like UTC seconds.
std::int64_t localSeconds(const LocalFields& f) {
    return dayNumber(f.year, f.month, f.day) * kSecondsPerDay + f.hour * 3600 + f.minute * 60 +
           f.second;
}

std::int64_t offsetAt(DateTime value) {
    return localSeconds(toLocal(value)) - value;
}

OffsetCache::Entry makeEntry(std::int64_t utcDay) {
    const std::int64_t first = utcDay * kSecondsPerDay;
    const std::int64_t last = first + kSecondsPerDay - 1;
    std::tm firstTm{}, lastTm{};
    if (!localTm(first, firstTm) || !localTm(last, lastTm))
        return {utcDay, 0, false};
    const std::int64_t offset = firstTm.tm_gmtoff;
    const bool uniform = lastTm.tm_gmtoff == offset &&
                         sameClock(splitLocal(first + offset), fieldsOfTm(firstTm)) &&
                         sameClock(splitLocal(last + offset), fieldsOfTm(lastTm));
    return {utcDay, offset, uniform};
}

std::tm tmOf(const CalendarDate& date, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return tm;
}

enum class GapSide { kAfter, kBefore };

// The value of a local clock time that a change of offset skips. After the
// gap it is read with the offset in force before the change, so the clock
// moves forward by the size of the gap; before it, with the offset after the
// change. The C library moves some of these backward (a skipped whole day,
// for one), which would make a forward day step land on the day it started
// from.
std::optional<DateTime> acrossGap(const LocalFields& wanted, GapSide side) {
    // Any offset is under 30 hours, so these two instants bracket the change.
    constexpr std::int64_t kReach = 30 * 3600;
    const std::int64_t naive = localSeconds(wanted);
    const std::int64_t before = offsetAt(naive - kReach);
    const std::int64_t after = offsetAt(naive + kReach);
    if (before >= after)
        return std::nullopt;
    const DateTime moved = naive - (side == GapSide::kAfter ? before : after);
    const std::int64_t shown = localSeconds(toLocal(moved));
    const bool movedRightWay = side == GapSide::kAfter ? shown > naive : shown < naive;
    if (!movedRightWay)
        return std::nullopt;
    return moved;
}

// The value of local fields, checked against the C library's own reading
// back: mktime's -1 is both an error and a real second, and a skipped clock
// time has no exact value.
std::optional<DateTime> valueOfLocal(const CalendarDate& date, int hour, int minute, int second,
                                     GapSide side = GapSide::kAfter) {
    std::tm tm = tmOf(date, hour, minute, second);
    const std::time_t t = ::mktime(&tm);
    const LocalFields wanted{date.year, date.month, date.day, hour, minute, second, 0};
    if (sameClock(toLocal(t), wanted))
        return static_cast<DateTime>(t);
    if (const auto moved = acrossGap(wanted, side))
        return moved;
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<DateTime>(t);
}

}  // namespace

int daysInMonth(int year, int month) {
    if (month < 1 || month > 12)
        return 0;
    const chr::year_month_day_last last{
        cycleYear(year), chr::month_day_last{chr::month(static_cast<unsigned>(month))}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::int64_t dayNumber(int year, int month, int day) {
    // A month outside 1..12 counts from 1 January.
    const chr::month first{month >= 1 && month <= 12 ? static_cast<unsigned>(month) : 1u};
    const chr::sys_days start{cycleYear(year) / first / 1};
    return start.time_since_epoch().count() + year / kCycleYears * kCycleDays + day - 1;
}

CalendarDate dateOfDayNumber(std::int64_t dayNumber) {
    const chr::year_month_day date{chr::sys_days{chr::days{dayNumber % kCycleDays}}};
    const std::int64_t cycles = dayNumber / kCycleDays;
    return {static_cast<int>(static_cast<int>(date.year()) + cycles * kCycleYears),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day()))};
}

LocalFields toLocal(DateTime value) {
    const ErrnoKeeper keepErrno;
    std::call_once(tzsetOnce, [] { ::tzset(); });
    value = std::clamp(value, -kValueBound, kValueBound);
    thread_local OffsetCache cache;
    const unsigned generation = zoneGeneration.load(std::memory_order_acquire);
    if (cache.generation != generation) {
        cache.entries.fill({});
        cache.generation = generation;
        cache.lastValue = INT64_MIN;
    }
    if (value == cache.lastValue)
        return cache.lastFields;

    const std::int64_t utcDay = dayOf(value).time_since_epoch().count();
    auto& entry = cache.entries[static_cast<std::size_t>(utcDay) % OffsetCache::kSize];
    if (entry.day != utcDay)
        entry = makeEntry(utcDay);
    if (entry.uniform) {
        cache.lastValue = value;
        cache.lastFields = splitLocal(value + entry.offset);
        return cache.lastFields;
    }

    std::tm tm{};
    if (localTm(value, tm))
        return fieldsOfTm(tm);
    return splitLocal(value);  // beyond the C library's years: UTC
}

std::optional<DateTime> fromLocal(int year, int month, int day, int hour, int minute, int second) {
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const ErrnoKeeper keepErrno;
    return valueOfLocal({year, month, day}, hour, minute, second);
}

std::optional<DateTime> noonOf(const CalendarDate& date) {
    constexpr int kNoon = 12;
    auto noon = fromLocal(date.year, date.month, date.day, kNoon);
    if (!noon)
        return std::nullopt;
    const DateTime stored = std::clamp(*noon, kFirstStorableDateTime, kLastStorableDateTime);
    if (localDate(stored) != date)
        return std::nullopt;
    return stored;
}

DateTime addDays(DateTime value, int days) {
    if (days == 0)
        return value;  // an ambiguous clock time keeps its side
    const ErrnoKeeper keepErrno;
    const LocalFields from = toLocal(value);
    const std::int64_t fromDay = dayNumber(from.date());
    const CalendarDate to = dateOfDayNumber(fromDay + days);
    auto moved = valueOfLocal(to, from.hour, from.minute, from.second);
    // A backward step into a skipped day lands after it, on the starting
    // date or later; take the clock time before the gap instead.
    if (moved && days < 0 && dayNumber(localDate(*moved)) >= fromDay)
        moved = valueOfLocal(to, from.hour, from.minute, from.second, GapSide::kBefore);
    if (moved)
        return *moved;
    // Beyond what the C library converts: whole days of 86,400 seconds.
    const DateTime start = std::clamp(value, -kValueBound, kValueBound);
    return start + static_cast<std::int64_t>(days) * kSecondsPerDay;
}

void timeZoneChanged() {
    const ErrnoKeeper keepErrno;
    ::tzset();
    zoneGeneration.fetch_add(1, std::memory_order_release);
}

}  // namespace almanary::Calendar
