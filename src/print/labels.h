// Product labels: the label template of the terminal (Files/<terminal>.LBL),
// the extra label lines (label.txt in the program folder) and the label
// printouts for the sale in progress, for a stored purchase (loaded into the
// sale first) and for a purchase order asked line by line of the back office.
//
// Template file, one piece a line:
//   column 1     format 1, 2 or 3 (any other character: format 1)
//   columns 2-5  key, exact case: "1INT" ... "2QTY" (kLabelKeys); other keys
//                are ignored
//   column 6     ignored
//   column 7-    the piece text; "[n]" (n a decimal number 0-255, rounded to
//                a whole number) stands for the byte of code n, every other
//                character is copied. An invalid code ("[x]", "[300]", "[]",
//                a "[" never closed, a "]" never opened) is left out and
//                logged.
// Lines of 6 characters or fewer are skipped; a later line for the same
// format and key replaces the earlier one.
//
// label.txt: each line beginning with "1" to "4" is an extra line (kind =
// that digit, text = the rest of the line), at most ten. After its text the
// label gets: 1 the product's second price ("###0.00"), 2 its category's
// name, 3 its class, 4 its department (both asked of the back office).
//
// Label output, by gSettings.gPrinterType: the printer's ports ("2" lpt2,
// "3"/"4" COM1/COM2, "5" lpt3, "7"-"10" COM3-COM6, anything else lpt1, all
// through ports.map); "6" a file printer.txt in the program folder sent as
// one raw job to the print spooler and deleted; "0" nothing (printing off).
// Every line ends with CR LF. While a PrinterCapture is active the bytes go
// into it instead. An output that cannot be opened or written leaves
// gPrint.gPrintStatus 1 and the log line "Printer_Open: HandlerPrinterOpen,
// Unable to open printer port"; nothing more is written.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

inline constexpr int kLabelFormats = 3;
inline constexpr int kLabelExtraMax = 10;

// The twenty template keys, each piece's part before ("1...") and after
// ("2...") its value.
inline constexpr std::array<std::string_view, 20> kLabelKeys{"1INT", "2INT", "1LBL", "2LBL", "1NUM", "2NUM", "1UPC",
                                                             "2UPC", "1DES", "2DES", "1PRE", "2PRE", "1LOC", "2LOC",
                                                             "1LG1", "2LG1", "1LG2", "2LG2", "1QTY", "2QTY"};

struct LabelState {
    // LabelTemplate: formats 1-3 (index 0 unused), one text per key of
    // kLabelKeys in that order; empty until set.
    std::array<std::array<std::string, kLabelKeys.size()>, kLabelFormats + 1> LabelTemplate;
    // LabelExtraLine entries 1..gLabelExtraCount (index 0 unused).
    std::int16_t gLabelExtraCount = 0;
    std::array<std::int16_t, kLabelExtraMax + 1> gLabelExtraKind{};
    std::array<std::string, kLabelExtraMax + 1> gLabelExtraText;
};

extern LabelState gLabel;

// The piece of `format` (1-3) stored under `key`; empty for anything else.
const std::string& LabelPiece(int format, std::string_view key);

// The QTY value of a label: a whole number 1-9999 in four digits ("0002").
// A fraction is rounded (half away from zero) and a number outside the range
// taken as 1 or 9999; then `adjusted` is set so the caller can log it.
std::string LabelQuantity_Text(double quantity, bool* adjusted = nullptr);

// Reads label.txt and the template into gLabel; with printer type "0" both
// stay empty (and gPrint.gPrintStatus is 0). Once from the register form's load.
void Label_Read_Setup();

// Print page key 16. The entry box selects: "2" or "3" prints that format,
// a text beginning with "0" loads the purchase of that number into the sale
// (Sales mode only; its labels print at the next press), anything else
// prints format 1. A purchase that is not found shows "Not Found" and the
// labels of the sale in progress print.
void Label_Print();

// The online menu's labels by purchase order: the order number is the entry
// box text; line 1, 2, ... are asked of the back office (task 14) until a
// reply without a "purchase number", a reply equal to the one before, or line
// 999; each line prints one label of format 3 (Label_By_Order).
void Online_Label_By_Order();

// One label of format 3 from the reply just received (gOnline.gReply).
void Label_By_Order();

// The printing half of the labels by purchase order, for replies of task 14
// asked in the background: one label of format 3 per reply, in order, then
// "Communication Completed" when `communicated` (else the failure's message
// stays). An output that cannot be opened shows "Error: Unable to open
// printer port". Returns the labels asked to print.
int Labels_ByOrder_Print(const std::vector<std::string>& replies, bool communicated);

}  // namespace tarvo
