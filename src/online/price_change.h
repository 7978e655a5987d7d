// The price change (Change Price mode): a manager's new selling price for
// one product, written on the back office (task 301 on tbl_prd_detail) and,
// once the server has accepted it, into this register's product master text
// file and product working file, so the next sale sells at it.
#pragma once
#include <string>

namespace tarvo {

class BackgroundRunner;

// A price as it may go into the update text: digits with at most one point
// and at least one digit, nothing else (no sign, no blank, no exponent).
bool PriceChange_PlainPrice(const std::string& price);

// The update text; the caller has checked the three values.
std::string PriceChange_Sql(const std::string& productId, const std::string& siteId, const std::string& price);

// Writes `price` (left-aligned in the 12 columns 100-111, cut at 12) into
// every line of the product master text file and every record of the
// product working file whose product id (columns 1-8, trimmed) is
// `productId`; the rest of each line and record is kept byte for byte. The
// master is replaced whole through a temporary file (flushed, renamed); the
// working file's stamp is removed first so the next start loads it again
// from the master. False with `why` when the product is in neither file or a
// file cannot be read or written.
bool PriceChange_WriteLocal(const std::string& productId, const std::string& price, std::string& why);

// Asks the back office to change the price and, when it answers
// "successful", writes it locally; the keys are locked meanwhile. Refused
// (message and log line, nothing asked) while a downloaded master waits for
// the restart that loads it, and when a value is not plain.
void Online_Service_ChangePrice(BackgroundRunner& runner, const std::string& productId, const std::string& price);
// The same on the register's runner; without one the change is refused
// ("Invalid Entry" and a log line).
void Online_Service_ChangePrice(const std::string& productId, const std::string& price);

}  // namespace tarvo
