// The Sales page (soft-key page 13): keys that change the sale in progress
// without adding products. A case letter for the next code, the sale's tax
// status and working tax rates, a note on the last line, the sale reference,
// line and sale discounts, a new price for a line or a manual price for the
// next product, and the price-search and stock-search modes.
//
// Every key acts on the text typed before it (the entry box); mDept_Click
// empties the box afterwards. An entry whose value, or whose discounted
// price, does not fit a currency amount is refused with "Invalid Entry" and
// the sale is left as it was.
#pragma once
#include <string>

namespace tarvo {

// Key 1-24 of the Sales page; keys without an action do nothing.
void Sales_Process(int key);

// The next tax status: (status + 1) modulo 8, with its exemption flags, its
// status text ("Tax Status: NTT", 5 seconds) and the totals recomputed.
void Tax_Change();

// Applies tax status 0-7: the three exemption flags of its row and
// gSale.gTaxStatus. Other values change nothing.
void TaxStatus_Apply(int status);

// The status whose exemption flags equal the sale's (gSale.gTaxExempt[1..3]).
int TaxStatus_FromFlags();

// "T" for a charged tax, "N" for an exempt one, taxes 1 to 3 ("NTT" for status 2).
std::string TaxStatus_Letters();

}  // namespace tarvo
