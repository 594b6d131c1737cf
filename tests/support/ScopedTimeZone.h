#pragma once
// Sets the process time zone (TZ) for the lifetime of the object and
// restores the previous one afterwards.

#include <cstdlib>
#include <optional>
#include <string>

#include "model/Calendar.h"

namespace almanary::testing {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        ::setenv("TZ", zone, 1);
        Calendar::timeZoneChanged();
    }
    ~ScopedTimeZone() {
        previous_ ? ::setenv("TZ", previous_->c_str(), 1) : ::unsetenv("TZ");
        Calendar::timeZoneChanged();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

}  // namespace almanary::testing
