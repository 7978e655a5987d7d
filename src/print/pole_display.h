// The customer pole display: two lines of 20 characters facing the customer.
// It shows the greeting while the register waits, the newest sale line with
// its amount, the amount due and the change, a thank-you at the end of a sale
// and the product of a price check.
//
// The display hangs on a serial port or on the first parallel port, chosen by
// setting 476 (gSettings.gDisplayPort): 0 no display, 1-6 COM1..COM6 at
// 9600,N,8,1 with no handshake and RTS dropped, 7 LPT1. Port names map to
// devices through ports.map (see print/devices.h). Setting 479
// (gDisplayCommandSet) picks the command set: 0 set 0, anything else set 1.
//
// Cells are numbered 0-39, cell 0 the first of line 1, cell 20 the first of
// line 2. The command bytes (decimal):
//
//   sequence            set 0             set 1, parallel   set 1, serial
//   initialisation      31                27 73 14 22       31 20 10 13
//   line 1 (cell 0)     20 17 16 0        27 72 0           none
//   line 2 (cell 20)    16 20             27 72 20          none
//   cell 27             16 27             27 72 27          none
//
// Set 1 on a serial port takes no cursor bytes: the 20 characters of line 1
// run straight on into at most 19 of line 2, so the last cell is never
// written. Every screen begins with the initialisation sequence on a freshly
// opened port. On the parallel port each piece (a command sequence with its
// text) goes out as one line ending in CR LF, and the device is held open
// only inside one operation; on a serial port nothing is appended and the
// port stays open between operations.
//
// A text longer than its room is cut; an amount keeps its rightmost
// characters. Every operation clears gDisplay.gDisplayError when it starts;
// a port that cannot be opened or a write the device refuses ends the
// operation at once with one log line and gDisplayError 1. Pieces already
// written stay on the display, and the sale is never touched.
#pragma once
#include <cstdint>

namespace tarvo {

struct DisplayState {
    // 0 after a successful display operation (or when there is no display),
    // 1 after a failed one. Describes the last operation only.
    std::int16_t gDisplayError = 0;
};

extern DisplayState gDisplay;

// Opens the display port and sends the initialisation sequence. Called by
// the register form's load, and by each display operation below.
void Customer_Open();
// The two greeting lines (settings 477 and 478).
void Customer_Greeting();
// The newest sale line: its description, then its amount, with "(xQ)" in
// front when the quantity is not exactly 1. Nothing when the sale has no line.
void Customer_Product();
// "Total: " with the balance due, and the change due when it is not 0.
// Nothing when the sale has no line.
void Customer_Total();
// Messages 174 and 175. Nothing when the sale has no line.
void Customer_Thankyou();
// The price-checked product (gSale.gPriceCheckText, gSale.gPriceCheckPrice);
// after a successful write it restarts Customer_Timer for 12 seconds, whose
// tick brings the greeting back.
void Customer_PriceChecker();

// Releases the serial display port (the register closing down).
void Customer_Close();

}  // namespace tarvo
