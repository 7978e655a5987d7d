// Small operations of the register window called by the page handlers of
// other subsystems: sale lines from a code file, the cash count around the
// cashier report, the sale's lines on the receipt printer, and the USB check.
#pragma once
#include "screen/screen_model.h"

namespace tarvo {

// Adds the lines of the code file "QZFile" of the program folder. Each line:
// ignored field, product key, quantity, then anything after a third comma.
void File_Read();
// Opens the cash-count form and hides the register; without the form the
// report is printed at once (Count_Cash_Resume).
void Count_Cash();
// The register back, the chosen report printed, its outcome on the message line.
void Count_Cash_Resume();
// The lines of the sale in progress on the receipt printer.
void Print_Screen();
// Always succeeds; reads and changes nothing.
bool USB_Check();

}  // namespace tarvo
