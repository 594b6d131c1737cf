#pragma once
// Builds deterministic almanaries of any size for the benchmarks: events
// spread over 2020-2035 on quarter-hour starts, durations from the event
// dialog's list, short notes, half of them with reminders.

#include <cstddef>
#include <cstdint>

#include "model/AlmanaryFile.h"

namespace almanary::bench {

// The same count and seed always give the same document.
AlmanaryDocument generateAlmanary(std::size_t eventCount, std::uint64_t seed = 2020);

}  // namespace almanary::bench
