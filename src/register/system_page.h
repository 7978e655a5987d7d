// The System page (soft-key page 10): the keys of the terminal itself. The
// terminal number, the business date, the printer, Internet and back-office
// tests, sending the log or the files, restart and close of the program, and
// emptying the transaction files.
//
// A key that would lose the sale in progress (the date, the terminal, sending
// all data, restart, close, both deletes) answers "Operation Not Allowed in
// Mid Sale" while the sale has lines. Emptying the transaction files asks
// first, naming the documents not yet sent to the back office.
#pragma once

namespace tarvo {

// System key 1-24; the keys without an operation do nothing.
void System_Process(int key);

// Key 7: a test line and five empty lines on the receipt printer, and the
// outcome with the printer type on the message line.
void Printer_Test();
// Key 8: the Internet check, with a dial-up (and its hang-up) in connection
// mode "1".
void Connection_Test();
// Key 9: the program log sent to the back office.
void Log_Send();
// Key 11: every data file sent to the back office.
void AllFiles_Send();

}  // namespace tarvo
