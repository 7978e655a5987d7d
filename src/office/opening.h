// The drawer's opening amount at login: asked once per terminal and business
// day, kept as an "O" record of the activity journal.
#pragma once

namespace tarvo {

// After a cashier was accepted: when today's opening is missing, ask for it
// (or save a zero opening when the settings say so); otherwise start a sale.
void Login_OpeningBalance();

// Appends the "O" record with gReg.gEnteredAmount for the logged-in cashier.
// False when the journal cannot be written (logged).
bool OpeningAmount_Save();

}  // namespace tarvo
