#pragma once
// Sets the process time zone (TZ) while the object lives.

#include "model/Calendar.h"
#include "support/ScopedEnvironment.h"

namespace almanary::testing {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) : zone_("TZ", zone) { Calendar::timeZoneChanged(); }

private:
    struct Reread {
        ~Reread() { Calendar::timeZoneChanged(); }  // runs after zone_ has put TZ back
    } reread_;
    ScopedEnvironment zone_;
};

}  // namespace almanary::testing
