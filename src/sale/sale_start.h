// Bringing the register into a known state: nobody logged in and the login
// prompt open (Register_Reset), a new and empty sale for the logged-in
// cashier (Sale_Start) with its per-sale counters and tax state
// (Variable_StartSale, Tax_SetDefaults), the price checker logging itself in
// (Login_Automatic), the locking and unlocking of the keys, the receipt
// columns emptied, and the entry box set up when the window loads.
#pragma once

namespace tarvo {

// The entry box at the window's load: empty, typed as "*", 300 characters at most.
void DEA_Initialize();

// Nobody logged in: keys locked at level 0, the greeting shown, the login
// code asked (gPromptState 2); the price-checker home mode (27) logs itself in.
void Register_Reset();

// A new, empty sale: every line and tender slot cleared, the default client
// attached, the keys unlocked, the register back in its home mode (unless
// in Training, Price Checker or Stock Count), a pending scheduled send run.
void Sale_Start();

// The per-sale counters: nothing paid, no lines, no sale discount, no manual
// price, the default taxes, the card address and zip emptied.
void Variable_StartSale();

// Tax status 0, no exemption, the configured default rates (settings 305, 315, 325).
void Tax_SetDefaults();

// Cashier 1 logged in without a code, today's business date, and a sale
// started in the home mode. With an empty cashier table the register stays
// at the login prompt with "No Cashier Information Available for This Terminal".
void Login_Automatic();

// Disables the keys. The level is gReg.gEnteredAmount: exactly 1 also locks
// the register keys (Block, Erase, Quantity, Enter) and the keypad; 0 leaves
// the keypad, Erase and Enter usable and enables Clock In/Out, so that
// somebody not logged in can type a code and clock in or out.
void Buttons_Lock();

// Enables every soft key, BOp, BDep, BSys and BReg key whose trimmed caption
// is not empty (the others are disabled), the whole keypad, the receipt
// scroll keys and the Payment key. The Total key is Total_Activate's.
void Buttons_Unlock();

// Empties the seven rows of the receipt grid's cells and the total cell.
void Receipt_ClearColumns();

}  // namespace tarvo
