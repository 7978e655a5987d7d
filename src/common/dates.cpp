#include "common/dates.h"

namespace tarvo {

bool Date_IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int Date_DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && Date_IsLeapYear(year)) return 29;
    return kDays[month - 1];
}

DateCheckResult Date_Check(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() != 8) return {};
    for (char c : text)
        if (c < '0' || c > '9') return {};
    auto number = [&](std::size_t from, std::size_t count) {
        int v = 0;
        for (std::size_t i = from; i < from + count; ++i) v = v * 10 + (text[i] - '0');
        return v;
    };
    const int year = number(0, 4), month = number(4, 2), day = number(6, 2);
    if (year < kDateFirstYear || year > kDateLastYear) return {};
    if (day < 1 || day > Date_DaysInMonth(year, month)) return {};
    return {true, std::string(text)};
}

}  // namespace tarvo
