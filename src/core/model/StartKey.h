#pragma once
// The sort key of an event: its local start date and clock time.

#include <compare>
#include <cstdint>

namespace almanary {

struct StartKey {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;

    // Ordered by year, month, day, hour, minute: the first difference decides.
    auto operator<=>(const StartKey&) const = default;
};

}  // namespace almanary
