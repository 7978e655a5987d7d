// Small services of the register window shared by several handlers: the
// entry box cleaned before its text becomes a note or a number, the window
// title with the business date and the cashier's name, the word indexes
// rebuilt at start, and the request to resend every file. (The keypad's
// DEA_AddNumber lives with the entry box, screen/entry_box.h.)
#pragma once
#include <string>

namespace tarvo {

// The entry box's text cleaned for storing (common/text_clean): "&", ",",
// "'", the double quote and every control character become blanks.
void Strip_Text();

// Keeps the digits and "-" of the entry box, turns "," and "." into ".",
// drops the rest ("$ 1,50" -> "1.50"). The form of the number is not checked.
void Strip_Number();

// The window title: "Corlant 18.03.14 Kaspen (<terminal>)  <business date>
// <cashier name>", the date as Date_Set printed it; no name with nobody logged in.
void Caption_Show();

// The window title: "Corlant 18.03.14 Kaspen (<terminal>)  MM-DD-YYYY".
std::string Register_Title(const std::string& terminal, int year, int month, int day);

// Rebuilds the product word index when setting 885 asks for it, then the
// client name index when setting 890 does.
void Sort_Perform();

// A communication session that resends every file as plain text, with the
// communication form shown.
void AllFilesASCII_Send();

}  // namespace tarvo
