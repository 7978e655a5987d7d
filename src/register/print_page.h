// The Print page (soft-key page 12): the reports, reprints of the last or a
// numbered receipt, order, purchase or adjustment, the client and product
// sheets, labels, the switch to on-screen printing, a sale read from a file,
// the sale's lines on the printer and the subtotal note on the sale.
//
// After a printout the message line tells how it went: "Printer Error, Unable
// to Print" when the printer failed, "Printer is Deactivated Through Setting"
// when printing is off, else "Printing Completed".
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Print key 1-24; the keys without an operation do nothing.
void Print_Process(int key);

// After a printout, on the message line for 5 seconds: how it went (also
// after the report that follows the cash count).
void PrintStatus_Show();

// A document number typed by the cashier: blanks around it ignored, one to
// seven digits, zero-filled on the left to seven. Anything else: nullopt
// (never cut to another document's number).
std::optional<std::string> DocumentNumber_Check(std::string_view typed);

}  // namespace tarvo
