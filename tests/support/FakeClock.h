#pragma once
// A Clock for tests: stands still at the time it is set to until a test
// moves it.

#include "platform/Clock.h"

namespace almanary::testing {

class FakeClock : public Clock {
public:
    explicit FakeClock(DateTime now = 0) : now_(now) {}

    DateTime now() const override { return now_; }
    void set(DateTime now) { now_ = now; }

private:
    DateTime now_;
};

}  // namespace almanary::testing
