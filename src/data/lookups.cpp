#include "data/lookups.h"

#include "common/fields.h"

#include <algorithm>
#include <optional>

#include "common/numbers.h"
#include "config/settings.h"
#include "data/log.h"
#include "data/master_files.h"

namespace tarvo {
namespace {

// Binary search of records 1..count of a sorted working file for the record
// whose compared text equals `key`; 0 when there is none. `low` starts at 0,
// or at 1 for the transaction files whose record 1 is their header. The
// records are looked at in place; nothing is copied.
template <typename Compared>
std::int32_t BinarySearch(const WorkFile& f, std::int32_t count, std::int32_t low, std::string_view key,
                          Compared compared) {
    std::int64_t lo = low, hi = static_cast<std::int64_t>(count) + 1;
    for (;;) {
        std::int64_t mid = (lo + hi) / 2;
        if (mid < 1 || mid > count) return 0;
        std::string_view text = compared(f.View(mid));
        int c = key.compare(text);
        if (c == 0) return static_cast<std::int32_t>(mid);
        if (c < 0)
            hi = hi == mid ? mid - 1 : mid;
        else
            lo = lo == mid ? mid + 1 : mid;
        if (hi <= lo) return 0;
    }
}

// A transaction file's finder: the first `width` characters of its records,
// record 1 being the header.
std::int32_t FindDocument(const WorkFile& f, std::int32_t count, const std::string& key, std::size_t width) {
    return BinarySearch(f, count, 1, key, [width](std::string_view rec) { return rec.substr(0, width); });
}

// The text of positions start..end (from 1) of a code; nullopt for positions
// the runtime refuses (start below 1, end before start - 1).
std::optional<std::string_view> Positions(std::string_view code, int start, int end) {
    if (start < 1 || end < start - 1) return std::nullopt;
    if (static_cast<std::size_t>(start) > code.size()) return std::string_view{};
    return code.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(end - start + 1));
}

// An embedded-price bar code: replaces gProductKey by its product code and
// sets the manual price. True when the code was split.
bool SplitPriceCode() {
    const Settings& s = gSettings;
    if (!gData.gEmbeddedPriceCheck || s.gPricePrefixStart == 0) return false;
    const std::string key = gData.gProductKey;
    if (static_cast<std::int64_t>(key.size()) < s.gPricePrefixEnd) return false;
    auto prefix = Positions(key, s.gPricePrefixStart, s.gPricePrefixEnd);
    if (!prefix || *prefix != s.gPricePrefix) return false;
    if (static_cast<std::int64_t>(key.size()) < s.gPriceValueEnd) return false;
    auto priceText = Positions(key, s.gPriceValueStart, s.gPriceValueEnd);
    if (!priceText) return false;
    // The price is written in cents: value / 100 with four decimals is the
    // value x 100 in ten-thousandths.
    auto raw = Num_RoundHalfEven(Num_Scan(*priceText), 2);
    if (!raw) return false;
    if (static_cast<std::int64_t>(key.size()) < s.gPriceCodeEnd) return false;
    auto code = Positions(key, s.gPriceCodeStart, s.gPriceCodeEnd);
    if (!code) return false;
    gData.gProductKey = std::string(*code);
    gData.gManualPrice = true;
    gData.gManualPriceValue = Money::FromRaw(*raw);
    return true;
}

// Records gNewCount down to 2 of the new-entry file open as #29 whose
// `width` characters from column 3, trimmed, equal `key`; 0 when none.
std::int32_t FindNewEntry(const std::string& key, std::size_t width) {
    const WorkFile& f = gData.newFile;
    // Records past the end of the file hold nothing.
    std::int64_t last = std::min<std::int64_t>(gData.gNewCount, f.RecordCount());
    for (std::int64_t i = last; i >= 2; --i)
        if (TrimView(Mid(f.View(i), 3, width)) == key) return static_cast<std::int32_t>(i);
    return 0;
}

template <typename Row, typename Field>
std::int32_t FindInTable(const std::vector<Row>& table, std::int32_t count, const std::string& key, Field field) {
    std::int32_t n = std::min<std::int32_t>(count, static_cast<std::int32_t>(table.size()) - 1);
    for (std::int32_t i = 1; i <= n; ++i)
        if (table[static_cast<std::size_t>(i)].*field == key) return i;
    return 0;
}

}  // namespace

std::string_view ProductKeyOf(std::string_view record) {
    return TrimRightView(Mid(record, gSettings.gProductKeyMode == "0" ? 12 : 40, 20));
}

void Product_Find() {
    bool split = SplitPriceCode();
    gData.gProductRecNo = 0;
    gData.gNewProductRecNo = 0;
    gData.gProductRecNo = BinarySearch(gData.products, gData.gProductCount, 0, gData.gProductKey, ProductKeyOf);
    if (gData.gProductRecNo > 0) {
        gData.gProductRec.assign(gData.products.View(gData.gProductRecNo));
        return;
    }
    Open_FileNewProduct();
    gData.gNewProductRecNo = FindNewEntry(gData.gProductKey, 20);
    if (gData.gNewProductRecNo == 0 && split) {
        gData.gManualPrice = false;
        gData.gManualPriceValue = Money();
    }
}

void Client_Find() {
    gData.gClientRecNo = 0;
    gData.gNewClientRecNo = 0;
    gData.gClientRecNo = BinarySearch(gData.clients, gData.gClientCount, 0, gData.gClientKey,
                                      [](std::string_view rec) { return TrimView(Mid(rec, 12, 8)); });
    if (gData.gClientRecNo > 0) {
        gData.gClientRec.assign(gData.clients.View(gData.gClientRecNo));
        return;
    }
    Open_FileNewClient();
    gData.gNewClientRecNo = FindNewEntry(gData.gClientKey, 8);
}

void Client_FindLinear() {
    gData.gClientRecNo = 0;
    auto it = gData.clientIdFirst.find(gData.gClientKey);
    if (it == gData.clientIdFirst.end() || it->second > gData.gClientCount) return;
    gData.gClientRecNo = it->second;
    gData.gClientRec.assign(gData.clients.View(it->second));
}

void Invoice_Find() {
    gData.gInvoiceRecNo = FindDocument(gData.invoices, gData.gLastInvoiceRecord, gData.gDocumentKey, 7);
    if (gData.gInvoiceRecNo > 0) gData.gInvoiceRec.assign(gData.invoices.View(gData.gInvoiceRecNo));
}

void InvoiceDetail_Find() {
    gData.gInvoiceLineRecNo =
        FindDocument(gData.invoiceLines, gData.gLastInvoiceLineRecord, gData.gDocumentKey + "001", 10);
    if (gData.gInvoiceLineRecNo > 0) gData.gInvoiceLineRec.assign(gData.invoiceLines.View(gData.gInvoiceLineRecNo));
}

void Payment_Find() {
    gData.gPaymentRecNo = FindDocument(gData.payments, gData.gLastPaymentRecord, gData.gDocumentKey + "01", 9);
    if (gData.gPaymentRecNo > 0) gData.gPaymentRec.assign(gData.payments.View(gData.gPaymentRecNo));
}

void Order_Find() { gData.gDocumentRecNo = FindDocument(gData.orders, gData.gLastOrderRecord, gData.gOrderKey, 7); }

void OrderDetail_Find() {
    gData.gDocumentLineRecNo = FindDocument(gData.orderLines, gData.gLastOrderLineRecord, gData.gOrderKey + "001", 10);
}

void OrderPayment_Find() {
    gData.gOrderPaymentRecNo =
        FindDocument(gData.orderPayments, gData.gLastOrderPaymentRecord, gData.gOrderKey + "01", 9);
}

void AdjustmentDetail_Find() {
    gData.gDocumentLineRecNo =
        FindDocument(gData.adjustmentLines, gData.gLastAdjustmentLineRecord, gData.gOrderKey + "001", 10);
}

void Purchase_Find() {
    gData.gDocumentRecNo = FindDocument(gData.purchases, gData.gLastPurchaseRecord, gData.gOrderKey, 7);
}

void PurchaseDetail_Find() {
    gData.gPurchaseLineRecNo =
        FindDocument(gData.purchaseLines, gData.gLastPurchaseLineRecord, gData.gDocumentKey + "001", 10);
}

void Vendor_Find() {
    gData.gVendorRecNo = 0;
    if (!gData.vendors.IsOpen()) {
        ProgramLog().Write(1, "Parse_Filevendor: Handlervendor, vendor file is not present");
        return;
    }
    auto it = gData.vendorCodeFirst.find(std::string(TrimView(gData.gVendorCode)));
    if (it == gData.vendorCodeFirst.end() || it->second > gData.gVendorCount) return;
    if (gData.vendors.View(it->second).empty()) {
        // The record cannot be read back (the file was changed behind us).
        ProgramLog().Write(1, "Parse_Filevendor: Handlervendor, vendor file is not present");
        return;
    }
    gData.gVendorRecNo = it->second;
}

void Cashier_FindByKey() {
    gData.gCashierFound =
        FindInTable(gData.CashierTable, gData.gCashierCount, gData.gCashierKey, &CashierRow::CashierKey);
}

void Cashier_FindByNumber() {
    gData.gCashierFound =
        FindInTable(gData.CashierTable, gData.gCashierCount, gData.gCashierKey, &CashierRow::CashierNumber);
}

void Category_Find() {
    gData.gCategoryIndex =
        FindInTable(gData.CategoryTable, gData.gCategoryCount, gData.gCategoryKey, &CategoryRow::CategoryCode);
}

void Manager_FindByNumber() {
    gData.gManagerIndex =
        FindInTable(gData.ManagerTable, gData.gManagerCount, gData.gManagerKey, &ManagerRow::ManagerNumber);
}

void Salesman_FindByKey() {
    gData.gSalesmanIndex =
        FindInTable(gData.SalesmanTable, gData.gSalesmanCount, gData.gSalesmanKey, &SalesmanRow::SalesmanKey);
}

void Salesman_FindByNumber() {
    gData.gSalesmanIndex =
        FindInTable(gData.SalesmanTable, gData.gSalesmanCount, gData.gSalesmanKey, &SalesmanRow::SalesmanNumber);
}

FinderResultsKept::FinderResultsKept() {
    const DataState& d = gData;
    clientKey_ = d.gClientKey;
    clientRec_ = d.gClientRec;
    productKey_ = d.gProductKey;
    productRec_ = d.gProductRec;
    clientRecNo_ = d.gClientRecNo;
    newClientRecNo_ = d.gNewClientRecNo;
    productRecNo_ = d.gProductRecNo;
    newProductRecNo_ = d.gNewProductRecNo;
    embeddedPriceCheck_ = d.gEmbeddedPriceCheck;
    manualPrice_ = d.gManualPrice;
    manualPriceValue_ = d.gManualPriceValue;
}

FinderResultsKept::~FinderResultsKept() {
    DataState& d = gData;
    d.gClientKey = clientKey_;
    d.gClientRec = clientRec_;
    d.gProductKey = productKey_;
    d.gProductRec = productRec_;
    d.gClientRecNo = clientRecNo_;
    d.gNewClientRecNo = newClientRecNo_;
    d.gProductRecNo = productRecNo_;
    d.gNewProductRecNo = newProductRecNo_;
    d.gEmbeddedPriceCheck = embeddedPriceCheck_;
    d.gManualPrice = manualPrice_;
    d.gManualPriceValue = manualPriceValue_;
}

}  // namespace tarvo
