// A purchase order prepared outside the register, dropped as "PO.txt" into
// the program folder (one product a line, TAB-separated: column 1 the
// product number, 7 the quantity, 8 the unit cost), and the refill of the
// sale after a received purchase order.
#pragma once
#include <string>

namespace tarvo {

// Online page key 1: reads "PO.txt" into the sale (each product looked up by
// its number, then with one and two "0" in front), the sale free of taxes,
// the register in New Purchase Order mode and the vendor asked. A line
// without a product number, a product not here or a quantity or cost that
// is no number stops the import with its message and a fresh sale. The file
// stays as it is: it is renamed as a backup only once the back office has
// confirmed the purchase order (PurchaseOrderFile_Sent).
void OnLine_Search_PO_File();

// The purchase order read from the file is on the server as `number`: the
// file becomes "PO.<number>.bak" (or "PO.bak" for a number that is not all
// digits), unless it changed since it was read or the backup's name is
// taken; the log says which.
void PurchaseOrderFile_Sent(const std::string& number);

// After a received purchase order (Receive PO): a new sale holding again the
// lines received (quantity above 0), each with its quantity.
void Delete_This();

}  // namespace tarvo
