#pragma once

namespace orvanta {

// A local calendar time, as the reports and default file names show it.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
};

// The only source of time in the engine, so that tests can fix it.
class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual LocalDateTime now() const = 0;
    // A monotonic clock in seconds, for timings and remaining-time estimates.
    virtual double seconds() const = 0;
};

// The operating system's clock.
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
    double seconds() const override;
};

} // namespace orvanta
