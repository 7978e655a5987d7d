// The order document: one saved customer order (special order, layaway,
// quotation, RMA, draft order or store order) printed from the order files
// (.ORD header, .ORL lines, .ORP payments) through the printer output layer.
// Printed when an order is saved at the register and for reprints.
#pragma once
#include "print/stored_document.h"

namespace tarvo {

// Prints order header record gSaleSave.gPrintRecordNo in the language of the
// order's client; gSaleSave.gReceiptDuplicate adds the duplicate titles and
// is cleared once printed above the lines. Printer type "0": status 0 and
// nothing else. A record number outside 2..gData.gLastOrderRecord prints
// nothing (logged; the status is left as it was). Order files that do not
// open, a record that cannot be read, an output that does not open, or an
// error in the middle, leave a non-zero gPrint.gPrintStatus and a log line. The order files are closed at the end.
void Order_Print();

// Prints the saved order `doc` (read by StoredDocument_Read); only the
// duplicate and training titles of `options` apply. Printer type "0":
// status 0 and nothing else.
PrintoutResult Order_Print(const StoredDocument& doc, const PrintoutOptions& options);

}  // namespace tarvo
