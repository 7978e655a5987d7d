// Calendar dates typed by the cashier as "yyyymmdd" (report dates, the
// business date, the dates of the inventory documents).
#pragma once
#include <string>
#include <string_view>

namespace tarvo {

inline constexpr int kDateFirstYear = 2003;
inline constexpr int kDateLastYear = 2099;

struct DateCheckResult {
    bool valid = false;
    std::string date;  // "yyyymmdd" when valid, else empty
};

// True for a leap year of the Gregorian calendar.
bool Date_IsLeapYear(int year);
// The number of days of `month` (1-12) in `year`; 0 for another month.
int Date_DaysInMonth(int year, int month);

// Checks a typed date: blanks around it are ignored; the rest must be exactly
// eight digits forming a real date of the years 2003 to 2099 (no day 0, no
// 31 April, 29 February only in a leap year).
DateCheckResult Date_Check(std::string_view text);

}  // namespace tarvo
