// The finders: each takes its key and returns what it found, nullopt when
// there is no match. They change no program-wide key or result: a look-up
// never touches the product or client the sale in progress holds. Keys
// compare as bytes, case-sensitive. A record found is a view of it in its
// file, nothing copied: valid until that file is next written or closed, so
// a caller that keeps it copies it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/money.h"
#include "data/data_state.h"

namespace tarvo {

// A record found in a working file: its number and its bytes.
struct RecordMatch {
    std::int32_t recNo = 0;
    std::string_view record;
};

// A product found: in the product file (recNo and its record) or, failing
// that, in the new-product file (newRecNo; no record read).
struct ProductMatch {
    std::int32_t recNo = 0;
    std::int32_t newRecNo = 0;
    std::string_view record;
};

// A client found: in the client file (recNo and its record) or, failing
// that, in the new-client file (newRecNo; no record read).
struct ClientMatch {
    std::int32_t recNo = 0;
    std::int32_t newRecNo = 0;
    std::string_view record;
};

// A code as scanned or typed: an embedded-price bar code (settings' price
// prefix, value and code positions) gives its product code and its price;
// any other code is its own product code, with no price.
struct ProductCode {
    std::string key;
    std::optional<Money> price;
};
ProductCode Product_SplitPriceCode(std::string_view code);

std::optional<ProductMatch> Product_Find(std::string_view key);
std::optional<ClientMatch> Client_Find(std::string_view key);
// The first client whose id (columns 1-8) is `id`.
std::optional<RecordMatch> Client_FindLinear(std::string_view id);

// The first record of a document in its transaction file, by document number.
std::optional<RecordMatch> Invoice_Find(std::string_view invoice);               // number
std::optional<RecordMatch> InvoiceDetail_Find(std::string_view invoice);         // number & "001"
std::optional<RecordMatch> Payment_Find(std::string_view invoice);               // number & "01"
std::optional<std::int32_t> Order_Find(std::string_view order);                  // number
std::optional<std::int32_t> OrderDetail_Find(std::string_view order);            // number & "001"
std::optional<std::int32_t> OrderPayment_Find(std::string_view order);           // number & "01"
std::optional<std::int32_t> AdjustmentDetail_Find(std::string_view adjustment);  // number & "001"
std::optional<std::int32_t> Purchase_Find(std::string_view purchase);            // number
std::optional<std::int32_t> PurchaseDetail_Find(std::string_view purchase);      // number & "001"

// The vendor file's record of a vendor code (trimmed); logged when the file
// is not there.
std::optional<std::int32_t> Vendor_Find(std::string_view code);

// Entries 1..count of the staff and category tables.
std::optional<std::int32_t> Cashier_FindByKey(std::string_view key);
std::optional<std::int32_t> Cashier_FindByNumber(std::string_view number);
std::optional<std::int32_t> Category_Find(std::string_view code);
std::optional<std::int32_t> Manager_FindByNumber(std::string_view number);
std::optional<std::int32_t> Salesman_FindByKey(std::string_view key);
std::optional<std::int32_t> Salesman_FindByNumber(std::string_view number);

// The product key of a product record: 20 characters from column 12
// (product number, key mode "0") or from column 40 (bar code), trailing
// blanks removed.
std::string_view ProductKeyOf(std::string_view record);

// The sale's current product, the one product entry adds next
// (gData.gProductKey, gProductRecNo, gNewProductRecNo, gProductRec), becomes
// `found`, looked up by `key`; not found: both record numbers 0 and
// gProductRec as it was. Only the code that chose the product for the sale
// calls it.
void Product_SetCurrent(std::string_view key, const std::optional<ProductMatch>& found);

// The sale's current client, the one the sale attaches
// (gData.gClientRecNo, gNewClientRecNo, gClientRec), becomes `found`; not
// found: both record numbers 0 and gClientRec as it was.
void Client_SetCurrent(const std::optional<ClientMatch>& found);

}  // namespace tarvo
