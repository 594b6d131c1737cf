#pragma once
// The current time. Nothing in the program reads the system clock
// directly, so reminders, default times and "today" are testable.

#include "model/Calendar.h"

namespace almanary {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    DateTime now() const override;
};

}  // namespace almanary
