// The register's modes (gSale.gMode, a RegisterMode) and the Mode page
// through which the cashier changes them, the mode box, and the manager code
// typed into the entry box before a key that needs a manager.
//
// Stock Count, Change Price and Training are toggles of their Mode key;
// Price Checker is left through Sales Entry. Purchase Order and New Purchase
// Order show one name in the mode box.
#pragma once

namespace tarvo {

// The manager code in the entry box: the first manager (table order) whose
// code equals the entry exactly gives gReg.gManagerIndex and gReg.gAuthorized.
// An empty entry shows "Manager Authorization Required", an unknown code
// "Invalid Manager Authorization Code" (5 seconds each).
void Authorization_Verify();

// Authorization_Verify; a refusal ends with "Manager Authorization Required"
// for 2 seconds.
void Manager_Required();

// "Mode: " and the mode's name in the mode box (font size by the text's
// length). Outside the named modes the box names the pending prompt state
// or one-shot modifier, and the register mode becomes Sales.
void Mode_Display();

// The order page of the entry form closed. Saved, the order goes on with
// what the order key set; left without saving, the tax exemptions and the
// order kind go back to what they were before the key (a store order's
// exemptions must not carry over to the next sale). Either way the entry
// form's page is forgotten.
void Order_PageClosed(bool saved);

// Key 1-24 of the Mode page. With lines on the receipt the mode keys answer
// "Operation Not Allowed in Mid Sale" and change nothing.
void Mode_Process(int key);

}  // namespace tarvo
