// The inventory documents: a purchase or purchase order to a vendor (.PUR
// header, .PUL lines, the vendor's address) and a stock adjustment (.ADJ
// header, .ADD lines, the reason), printed from the saved records through the
// printer output layer. Used right after the document is saved at the Total
// key and for reprints from the print page.
#pragma once
#include "print/stored_document.h"

namespace tarvo {

// Prints purchase record gSaleSave.gPrintRecordNo in the vendor's language
// (French for a vendor whose language is 2, English for any other value, the
// terminal language when the vendor is unknown). Sets gData.gDocumentKey to
// the purchase number.
//
// Printing switched off: status 0, no file opened. A record number outside
// 2..gData.gLastPurchaseRecord: nothing printed. Files that cannot be opened
// or an output that does not open: nothing printed and a non-zero
// gPrint.gPrintStatus; so does a record that cannot be read. An error in the middle: the output is closed without
// feed or cut, a log line, a non-zero status. The purchase files are closed
// in every case.
void Purchase_Print();

// Prints adjustment record gSaleSave.gPrintRecordNo in the terminal language,
// with the same frame and failure rules as Purchase_Print (record numbers
// 2..gData.gLastAdjustmentRecord). Sets gData.gDocumentKey to
// the adjustment number.
void Adjustment_Print();

// Print the saved purchase or adjustment `doc` (read by StoredDocument_Read).
void Purchase_Print(const StoredDocument& doc);
void Adjustment_Print(const StoredDocument& doc);

}  // namespace tarvo
