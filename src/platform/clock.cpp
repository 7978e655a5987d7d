#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tarvo {

LocalTime SystemClock::Now() const {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.millisecond =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return lt;
}

std::string DateText(const LocalTime& t) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d%02d%02d", t.year % 10000, t.month % 100, t.day % 100);
    return b;
}

std::string TimeText(const LocalTime& t) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d%02d", t.hour % 100, t.minute % 100);
    return b;
}

}  // namespace tarvo
