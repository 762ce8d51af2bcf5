#pragma once

#include "ui/Clock.h"

namespace orvanta::testing {

// A clock that stands still until a test moves it.
class FakeClock : public Clock {
public:
    explicit FakeClock(LocalDateTime now = {2026, 3, 5, 14, 7, 0}) : now_(now) {}

    LocalDateTime now() const override { return now_; }
    double seconds() const override { return seconds_; }

    void set(LocalDateTime now) { now_ = now; }
    void advance(double seconds) { seconds_ += seconds; }

private:
    LocalDateTime now_;
    double seconds_ = 1000.0;
};

} // namespace orvanta::testing
