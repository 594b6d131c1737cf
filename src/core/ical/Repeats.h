#pragma once
// The instances of a repeated event that meet a window, found within a
// budget that a whole calendar shares. libical's own expansion cannot be
// stopped, and a rule of a few bytes may have millions of instances in the
// window (FREQ=SECONDLY) or walk through years between two of them (a
// BYMONTHDAY=30 in February); here each rule's walk is charged before it
// starts, each instance as it is found, and the reading stops once the
// budget is spent.

#include <libical/ical.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "model/Calendar.h"

namespace almanary {

// The steps the repeats of one calendar may take: far more than any
// calendar a person keeps needs, and a few seconds' work at most. Shared by
// the threads that read the calendar's events.
class RepeatBudget {
public:
    static constexpr std::int64_t kCalendarSteps = 1'000'000;

    explicit RepeatBudget(std::int64_t steps = kCalendarSteps) : left_(steps) {}
    // Takes `steps` (at least 0); false when fewer were left.
    bool take(std::int64_t steps);

private:
    std::atomic<std::int64_t> left_;
};

// Calls `found` with the start of each instance of `event`, whose DTSTART
// is `first`, that meets the moments from..to: the DTSTART itself when no
// RRULE stands, each RRULE's instances, then each RDATE, less the EXDATEs,
// as libical spans them. When the budget runs out it stops and gives the
// property whose repeats spent it ("RRULE" or "RDATE").
std::optional<std::string_view> forEachRepeat(icalcomponent* event, const icaltimetype& first,
                                              DateTime from, DateTime to, RepeatBudget& budget,
                                              const std::function<void(time_t)>& found);

}  // namespace almanary
