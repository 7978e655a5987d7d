// The cashier's shift: the drawer's opening amount at login (asked once per
// terminal and business day, kept as an "O" record of the activity journal)
// and the logout that returns the register to its idle state.
#pragma once

namespace tarvo {

// After a cashier was accepted: when today's opening is missing, ask for it
// (or save a zero opening when the settings say so); otherwise start a sale.
void Login_OpeningBalance();

// Appends the "O" record with gReg.gEnteredAmount for the logged-in cashier.
// False when the amount does not fit or the journal cannot be written
// (logged, and the message line says so).
bool OpeningAmount_Save();

// Ends the shift: the message line and entry box emptied, the business date
// forgotten, the soft keys and receipt columns cleared, the register reset to
// the login prompt, nobody logged in, and the idle window title.
void Logout();

}  // namespace tarvo
