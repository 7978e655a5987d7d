// Stock-count printing: the count-start slip that opens a count, and one
// ticket per counted item with the running value of the count.
#pragma once
#include "common/money.h"

namespace tarvo {

// The running value of the stock count: set to 0 when a count starts (before
// PhysicalStart_Print), added to by each Item_PrintLine.
extern Money gCountRunningTotal;

// Prints the report heading and "Physical Inventory Count Started" and leaves
// the output open: the first item ticket (or the end of the count, through
// Printer_Close) finishes it. Printer type "0": status 0, nothing printed.
void PhysicalStart_Print();

// Prints the ticket of the item just counted (sale line 1): key, description
// and quantity, then unit price, extension and the running total, then a
// rule; adds the extension to gCountRunningTotal. Each ticket is a printout
// of its own (feed and cut, or one spooler job). A printer that cannot be
// used leaves status 1 and a log line; the count goes on.
void Item_PrintLine();

}  // namespace tarvo
