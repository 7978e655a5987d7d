// The clock seam: the core never reads the system clock directly, so that
// midnight and schedule behaviour can be tested with a manual clock.
#pragma once
#include <string>

namespace tarvo {

struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

// Local wall-clock time of the machine.
class SystemClock : public Clock {
public:
    LocalTime Now() const override;
};

// A clock that shows what the test set.
class ManualClock : public Clock {
public:
    explicit ManualClock(LocalTime t = {}) : t_(t) {}
    LocalTime Now() const override { return t_; }
    void Set(LocalTime t) { t_ = t; }

private:
    LocalTime t_;
};

// "yyyymmdd" and "HHmm" of a time.
std::string DateText(const LocalTime& t);
std::string TimeText(const LocalTime& t);

}  // namespace tarvo
