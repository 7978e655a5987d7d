// Suspend and recall: the sale in progress put aside in the terminal's
// suspended-sale file (<data path>.Sus) and taken up again later, across a
// restart of the program. One sale per terminal can wait at a time.
//
// The file is text, one record a line (CR LF): a 59-character header
// (manager number 8, client code 8, salesperson number 8, sale discount
// negated 9, sale reference 20, line count 3, exemption flags of taxes 1-3)
// and one 70-character record per line (product key 20, quantity 9, list
// price 9, unit price 9, note 21, typed-note flag 1, kit-component flag 1).
#pragma once
#include <string>

namespace tarvo {

// The suspended-sale file of this terminal.
std::string Suspend_Path();

// At the register's load: a sale is waiting when its file is there, so a
// restart never lets a second suspend replace it.
void Suspend_CheckAtLoad();

// The sale into the file (a temporary file renamed over it), then a new sale.
// Refused, the sale kept, when a sale is already waiting, when there are no
// lines, when a number does not fit its field, or when the file cannot be
// written.
void Suspend_Store();

// A new sale rebuilt from the file: the manager, client, salesperson, sale
// discount, reference and tax exemptions of the header, and each line from
// its stored values (a product no longer in the product file is dropped).
// The file is deleted afterwards.
void Suspend_Recall();

// No sale waiting: gSuspended off and the file deleted.
void Suspend_False();

// The waiting sale given up (at the change of date): when there is one, a
// log line names its line count and the total of its lines at their stored
// prices less its sale discount, before tax; then Suspend_False.
void Suspend_Drop();

}  // namespace tarvo
