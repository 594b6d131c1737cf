#pragma once
// A Clock that stands still at the time a test sets.

#include "platform/Clock.h"

namespace almanary::testing {

class FakeClock : public Clock {
public:
    DateTime now() const override { return now_; }
    void set(DateTime now) { now_ = now; }

private:
    DateTime now_ = 0;
};

}  // namespace almanary::testing
