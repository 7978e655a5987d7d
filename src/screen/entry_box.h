// The entry box txtDEA: everything the cashier types, scans or swipes lands
// here. The numeric keypad types into it, Enter hands its text to
// BarCode_Change (register/register_keys.h) as a product code or a card
// swipe, and nearly every key handler ends by emptying it (DEA_Reset).
#pragma once
#include <string>

namespace tarvo {

// Empties the entry box and gives it the focus; typing is masked with "*"
// only while the login code is asked (gPromptState 2), and gEntryMasked says so.
void DEA_Reset();

// A keypad key's text at the end of the entry box, the caret after it;
// masked while gEntryMasked or gLoggedOut.
void DEA_AddNumber(const std::string& text);

// The keypad buttons mNumeric1..mNumeric12 ({Control::mNumeric, n}):
// "0", "00", ".", then "1" to "9".
const std::string& KeypadText(int n);
void mNumeric_Click(int n);

// The entry box's text taken as a product code (with the case letter in
// front): the product is added, or "Not Found" is reported on the message
// line, in the timed panel and with the alert sound.
void Product_EnterCode(const std::string& code);

}  // namespace tarvo
