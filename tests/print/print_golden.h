// Helpers for golden-byte tests of printouts: printer codes set to printable
// characters so a captured printout reads as text ("@" initialise, "<" and
// ">" title on and off, "F" feed, "C" cut), and short builders for the
// expected lines.
#pragma once
#include <cstddef>
#include <string>

#include "config/settings.h"
#include "print/printer_output.h"

namespace tarvo::print_golden {

inline const std::string kOpen = "@\r\n";
inline const std::string kClose = "FC";

inline std::string B(std::size_t n) { return std::string(n, ' '); }
inline std::string L(const std::string& text) { return text + "\r\n"; }
inline std::string T(const std::string& text) { return "<" + text + ">\r\n"; }
inline std::string Rule(std::size_t n) { return L(std::string(n, '-')); }

// Printer code k (1-7) as up to six bytes of the settings.
inline void SetCode(int k, const std::string& bytes) {
    for (int j = 0; j < 6; ++j)
        gSettings.gPrinterCodeValues[static_cast<std::size_t>(6 * (k - 1) + j)] =
            j < static_cast<int>(bytes.size())
                ? std::to_string(static_cast<unsigned char>(bytes[static_cast<std::size_t>(j)]))
                : "";
}

// The printable codes above, loaded into the printer layer.
inline void UseReadableCodes() {
    for (int k = 1; k <= 7; ++k) SetCode(k, "");
    SetCode(1, "@");
    SetCode(2, "<");
    SetCode(3, ">");
    SetCode(6, "F");
    SetCode(7, "C");
    PrinterCodes_Load();
}

}  // namespace tarvo::print_golden
