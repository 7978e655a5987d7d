// The sales receipt: one saved sale printed from the invoice files (.INV,
// .DTL, .PAY), never from the sale in memory, through the printer output
// layer. Used at the end of a sale and for reprints and gift reprints.
#pragma once
#include <cstdint>

#include "print/stored_document.h"

namespace tarvo {

// Prints invoice record gSaleSave.gPrintRecordNo with the variants chosen by
// gSaleSave.gGiftReceipt, gReceiptDuplicate and gReceiptCopy (0 first copy,
// 1 second copy). Printer type "0": status 0 and nothing else. A record
// number outside 2..gData.gLastInvoiceRecord prints nothing (logged; the
// status is left as it was). Sale files that do not open, a record that
// cannot be read, an output that does not open or an error in the middle
// leave a non-zero gPrint.gPrintStatus and a log line. Clears
// gGiftReceipt, and gReceiptDuplicate once it has been printed above the
// items.
void Receipt_Print();

// Prints the saved sale `doc` (read by StoredDocument_Read) as `options`
// ask. Printer type "0": status 0 and nothing else.
PrintoutResult Receipt_Print(const StoredDocument& doc, const PrintoutOptions& options);

// The record of the last card payment of the receipt printed last (0 none).
extern std::int32_t gCardPaymentRecNo;

}  // namespace tarvo
