#include "AlmanaryGenerator.h"

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "model/Calendar.h"
#include "model/DateTimeText.h"

namespace almanary::bench {
namespace {

// SplitMix64: tiny, fast and the same on every platform, unlike the
// standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

private:
    std::uint64_t state_;
};

constexpr std::array<const char*, 14> kDurations = {
    "0", "15", "30", "45", "60", "75", "90", "120", "150", "180", "210", "240", "270", "300"};
constexpr std::array<int, 12> kReminderLeads = {0, 5, 10, 15, 20, 30, 45, 60, 75, 90, 120, 180};
constexpr std::array<const char*, 4> kMinutes = {"00", "15", "30", "45"};
constexpr std::array<const char*, 6> kCategories = {"Work",   "Home",   "Family",
                                                    "Health", "Travel", "<No Category>"};
constexpr std::array<const char*, 8> kWords = {"Call",   "Meet", "Dentist",  "Lunch",
                                               "Review", "Gym",  "Pay rent", "Train"};

struct Start {
    std::int64_t day;
    int hour;
    int quarter;
    bool operator<(const Start& o) const {
        return std::tie(day, hour, quarter) < std::tie(o.day, o.hour, o.quarter);
    }
};

}  // namespace

AlmanaryDocument generateAlmanary(std::size_t eventCount, std::uint64_t seed) {
    Random random(seed);
    const std::int64_t firstDay = Calendar::dayNumber(2020, 1, 1);
    const std::int64_t dayCount = Calendar::dayNumber(2036, 1, 1) - firstDay;

    // Starts are drawn first and sorted, so the events go in by appending.
    std::vector<Start> starts(eventCount);
    for (auto& s : starts) {
        s = {firstDay + static_cast<std::int64_t>(random.below(static_cast<std::size_t>(dayCount))),
             static_cast<int>(random.below(24)), static_cast<int>(random.below(4))};
    }
    std::sort(starts.begin(), starts.end());

    AlmanaryDocument document;
    for (std::size_t i = 0; i + 1 < kCategories.size(); ++i)
        document.categories.append(kCategories[i]);
    document.events.reserve(eventCount);

    std::int64_t cachedDay = -1;
    DateTime cachedNoon = 0;
    for (const Start& s : starts) {
        if (s.day != cachedDay) {
            const CalendarDate date = Calendar::dateOfDayNumber(s.day);
            cachedNoon = Calendar::fromLocal(date.year, date.month, date.day, 12).value_or(0);
            cachedDay = s.day;
        }
        Event event;
        event.setHour(DateTimeText::numberText(s.hour));
        event.setMinute(kMinutes[static_cast<std::size_t>(s.quarter)]);
        event.setDuration(kDurations[random.below(kDurations.size())]);
        event.setCategory(kCategories[random.below(kCategories.size())]);
        event.setNotes(std::string(kWords[random.below(kWords.size())]) + " #" +
                       DateTimeText::numberText(static_cast<std::int64_t>(random.below(10000))));
        if (random.below(2) == 0) {
            event.setRemind(true);
            event.setRemindMinutes(kReminderLeads[random.below(kReminderLeads.size())]);
        }
        event.setDate(cachedNoon);
        document.events.insert(std::move(event));
    }
    document.events.setModified(false);
    return document;
}

}  // namespace almanary::bench
