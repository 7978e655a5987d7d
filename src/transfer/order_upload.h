// The order upload file, Files/<terminal>.ORD: one line per customer order
// with its lines, its deposits and, for an order of a client entered at the
// register, that client's record. Only the plain-text resend sends it, so no
// order is ever flagged sent by an upload.
#pragma once
#include <string>

#include "transfer/sales_upload.h"

namespace tarvo {

// Builds the file at `path` (0600, replaced whole) from every order after the
// newest one flagged sent, or from every order with `resendAll`. An empty
// range leaves an empty file.
UploadBuild Orders_CreateFile(const std::string& path, bool resendAll);

}  // namespace tarvo
