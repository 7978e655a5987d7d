// The soft-key page the register shows (gReg.gKeyPage): what the 24 soft
// keys mean. The documented numbers are the values.
#pragma once
#include <cstdint>
#include <iosfwd>

namespace tarvo {

enum class KeyPage : std::int16_t {
    None = 0,  // no page yet
    Department1 = 1,
    Department2 = 2,
    Department3 = 3,
    Department4 = 4,
    Department5 = 5,
    Department6 = 6,
    Department7 = 7,
    Department8 = 8,
    System = 10,
    Extras = 11,  // the online page
    Print = 12,
    Sales = 13,
    Special = 14,
    Payment = 15,
    Mode = 16,
};

// Department page `n` (1-8); KeyPage::None for any other number.
constexpr KeyPage DepartmentPage(int n) { return n >= 1 && n <= 8 ? static_cast<KeyPage>(n) : KeyPage::None; }

// The number (1-8) of a department page; 0 for every other page.
constexpr int DepartmentNumber(KeyPage page) {
    const int n = static_cast<int>(page);
    return n >= 1 && n <= 8 ? n : 0;
}

// Writes the page's documented number.
std::ostream& operator<<(std::ostream& out, KeyPage page);

}  // namespace tarvo
