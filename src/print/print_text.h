// Small text helpers shared by the printouts: fixed-width fields, columns of
// stored records, amounts read from records, and the line and title calls of
// the printer output layer. A printout throws PrintoutFailed (through
// Print_Check) as soon as the output reports an error, so the document can
// end the printout in one place.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/log.h"
#include "print/printer_output.h"

namespace tarvo::print_text {

// n blanks; none for n <= 0 (a figure wider than its field prints whole).
inline std::string Blanks(long n) { return std::string(n > 0 ? static_cast<std::size_t>(n) : 0u, ' '); }

// Padded with blanks or cut to exactly `width` characters (no trimming).
inline std::string Fit(std::string_view s, std::size_t width) {
    std::string out(s.substr(0, width));
    out.resize(width, ' ');
    return out;
}

// Right-aligned in `width`; a wider text prints whole.
inline std::string Right(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

inline long Len(const std::string& s) { return static_cast<long>(s.size()); }

// Columns of a stored record (1-based column, width).
inline std::string Col(std::string_view rec, std::size_t col, std::size_t width) {
    return std::string(Mid(rec, col, width));
}
inline std::string ColTrim(std::string_view rec, std::size_t col, std::size_t width) {
    return Trim(Mid(rec, col, width));
}
inline std::string ColRTrim(std::string_view rec, std::size_t col, std::size_t width) {
    return std::string(TrimRightView(Mid(rec, col, width)));
}
inline bool AllBlank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

// A stored amount; a field that does not read as a number counts as 0.
inline Money Amount(std::string_view rec, std::size_t col, std::size_t width) {
    const std::string t = Trim(Mid(rec, col, width));
    if (t.empty()) return Money();
    return Money::Parse(t).value_or(Money());
}
inline double Number(std::string_view rec, std::size_t col, std::size_t width) {
    const std::string t = Trim(Mid(rec, col, width));
    return t.empty() ? 0.0 : Num_Val(t);
}

// A stored date YYYYMMDD from column `col` as printed: day "/" month name
// "/" year, the month name in `language`; a month outside 1..12 counts as 1.
// A date left blank prints as nothing.
inline std::string DateText(std::string_view rec, std::size_t col, int language) {
    if (Trim(Mid(rec, col, 8)).empty()) return {};
    int month = static_cast<int>(Number(rec, col + 4, 2));
    if (month < 1 || month > 12) month = 1;
    return Col(rec, col + 6, 2) + "/" + MonthName(gConstants.tables, month, language) + "/" + Col(rec, col, 4);
}

// Cents: add 0.005, times 100, rounded toward minus infinity, over 100.
inline double ToCents(double v) { return std::floor((v + 0.005) * 100.0 + 1e-9) / 100.0; }

// A whole line, the start (or continuation) of a line, and a title line.
inline void Line(const std::string& text) { Printer_Line(1, 0, text); }
inline void More(const std::string& text) { Printer_Line(0, 0, text); }
inline void Title(const std::string& text) {
    Printer_Line(0, 2, text);
    Printer_Line(1, 3, "");
}

struct PrintoutFailed : std::runtime_error {
    PrintoutFailed() : std::runtime_error("printer output failed") {}
};

// A write that failed part-way stops the printout.
inline void Print_Check() {
    if (gPrint.gPrintStatus != 0) throw PrintoutFailed();
}

// Ends a printout that failed part-way: the log line, the output closed
// without feed or cut, and a status that never reads as success (the
// failure's own status, else 2).
// A spooler job is dropped rather than sent half-printed; what a port
// printer already printed stays on the paper.
inline void Printout_Abandon(const std::string& logText) {
    ProgramLog().Write(1, logText);
    const std::int16_t status = gPrint.gPrintStatus;
    if (gSettings.gPrinterType == PrinterType::Spooler && !Printer_ToScreen()) {
        Printer_Abandon();
    } else {
        gPrint.gPrintNoInit = true;
        Printer_Close(true);
    }
    gPrint.gPrintStatus = status != 0 ? status : 2;
}

}  // namespace tarvo::print_text

namespace tarvo {

// The non-empty receipt header lines (settings 805-809), then one blank line.
void Header_Print();
// The lines of receipt.txt in the program folder; a missing file prints nothing.
void ReceiptText_Print();
// The end of a receipt or order: receipt.txt, then the non-empty footer lines
// (settings 830-834) when the footer is switched on.
void Closing_Print();

}  // namespace tarvo
