// The Special page (soft-key page 14): the cashier's operations outside the
// sale itself. Send to the back office now, close the card batch, log out,
// the deposit form, deposits to the safe and the bank, the drawer opened
// without a sale, cancel the sale, exchange and return modes, suspend and
// recall, the minus sign, paid out and the cash declaration.
//
// The dispatcher has already applied the key's manager flag and empties the
// entry box after the key (not after the minus sign). Mid sale (lines in the
// sale) most keys refuse with "Operation Not Allowed in Mid Sale". Some keys
// ask a manager themselves when their setting is not "0": the code typed in
// the entry box, and that manager's right (character n of the rights field
// is "1"): 1 open the drawer (500), 3 exchange and return (510), 4 cancel
// the sale (515), 6 paid out (525).
#pragma once

namespace tarvo {

// Performs the operation of Special key `key` (1..24); other keys and the
// keys without an operation do nothing.
void Special_Process(int key);

// True when manager `index` of the manager table holds right `right` (1-based).
bool Manager_HasRight(int index, int right);

}  // namespace tarvo
