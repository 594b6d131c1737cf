#include "platform/Clock.h"

#include <chrono>

namespace almanary {

DateTime SystemClock::now() const {
    const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(since_epoch).count();
}

}  // namespace almanary
