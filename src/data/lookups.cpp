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

std::optional<RecordMatch> FindDocumentRecord(const WorkFile& f, std::int32_t count, const std::string& key,
                                              std::size_t width) {
    const std::int32_t recNo = FindDocument(f, count, key, width);
    if (recNo == 0) return std::nullopt;
    return RecordMatch{recNo, f.View(recNo)};
}

std::optional<std::int32_t> Found(std::int32_t index) {
    if (index == 0) return std::nullopt;
    return index;
}

// The text of positions start..end (from 1) of a code; nullopt for positions
// the runtime refuses (start below 1, end before start - 1).
std::optional<std::string_view> Positions(std::string_view code, int start, int end) {
    if (start < 1 || end < start - 1) return std::nullopt;
    if (static_cast<std::size_t>(start) > code.size()) return std::string_view{};
    return code.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(end - start + 1));
}

}  // namespace

ProductCode Product_SplitPriceCode(std::string_view code) {
    const Settings& s = gSettings;
    ProductCode plain{std::string(code), std::nullopt};
    if (s.gPricePrefixStart == 0) return plain;
    const std::string_view key = code;
    if (static_cast<std::int64_t>(key.size()) < s.gPricePrefixEnd) return plain;
    auto prefix = Positions(key, s.gPricePrefixStart, s.gPricePrefixEnd);
    if (!prefix || *prefix != s.gPricePrefix) return plain;
    if (static_cast<std::int64_t>(key.size()) < s.gPriceValueEnd) return plain;
    auto priceText = Positions(key, s.gPriceValueStart, s.gPriceValueEnd);
    if (!priceText) return plain;
    // The price is written in cents: value / 100 with four decimals is the
    // value x 100 in ten-thousandths.
    auto raw = Num_RoundHalfEven(Num_Scan(*priceText), 2);
    if (!raw) return plain;
    if (static_cast<std::int64_t>(key.size()) < s.gPriceCodeEnd) return plain;
    auto split = Positions(key, s.gPriceCodeStart, s.gPriceCodeEnd);
    if (!split) return plain;
    return {std::string(*split), Money::FromRaw(*raw)};
}

namespace {

// Records gNewCount down to 2 of the new-entry file open as #29 whose
// `width` characters from column 3, trimmed, equal `key`; 0 when none.
std::int32_t FindNewEntry(std::string_view key, std::size_t width) {
    const WorkFile& f = gData.newFile;
    // Records past the end of the file hold nothing.
    std::int64_t last = std::min<std::int64_t>(gData.gNewCount, f.RecordCount());
    for (std::int64_t i = last; i >= 2; --i)
        if (TrimView(Mid(f.View(i), 3, width)) == key) return static_cast<std::int32_t>(i);
    return 0;
}

template <typename Row, typename Field>
std::int32_t FindInTable(const std::vector<Row>& table, std::int32_t count, std::string_view key, Field field) {
    std::int32_t n = std::min<std::int32_t>(count, static_cast<std::int32_t>(table.size()) - 1);
    for (std::int32_t i = 1; i <= n; ++i)
        if (table[static_cast<std::size_t>(i)].*field == key) return i;
    return 0;
}

}  // namespace

std::string_view ProductKeyOf(std::string_view record) {
    return TrimRightView(Mid(record, gSettings.gProductKeyMode.asText == ProductKey::Number ? 12 : 40, 20));
}

std::optional<ProductMatch> Product_Find(std::string_view key) {
    const std::int32_t recNo = BinarySearch(gData.products, gData.gProductCount, 0, key, ProductKeyOf);
    if (recNo > 0) return ProductMatch{recNo, 0, gData.products.View(recNo)};
    Open_FileNewProduct();
    const std::int32_t newRecNo = FindNewEntry(key, 20);
    if (newRecNo > 0) return ProductMatch{0, newRecNo, {}};
    return std::nullopt;
}

std::optional<ClientMatch> Client_Find(std::string_view key) {
    const std::int32_t recNo = BinarySearch(gData.clients, gData.gClientCount, 0, key,
                                            [](std::string_view rec) { return TrimView(Mid(rec, 12, 8)); });
    if (recNo > 0) return ClientMatch{recNo, 0, gData.clients.View(recNo)};
    Open_FileNewClient();
    const std::int32_t newRecNo = FindNewEntry(key, 8);
    if (newRecNo > 0) return ClientMatch{0, newRecNo, {}};
    return std::nullopt;
}

std::optional<RecordMatch> Client_FindLinear(std::string_view id) {
    auto it = gData.clientIdFirst.find(std::string(id));
    if (it == gData.clientIdFirst.end() || it->second > gData.gClientCount) return std::nullopt;
    return RecordMatch{it->second, gData.clients.View(it->second)};
}

std::optional<RecordMatch> Invoice_Find(std::string_view invoice) {
    return FindDocumentRecord(gData.invoices, gData.gLastInvoiceRecord, std::string(invoice), 7);
}

std::optional<RecordMatch> InvoiceDetail_Find(std::string_view invoice) {
    return FindDocumentRecord(gData.invoiceLines, gData.gLastInvoiceLineRecord, std::string(invoice) + "001", 10);
}

std::optional<RecordMatch> Payment_Find(std::string_view invoice) {
    return FindDocumentRecord(gData.payments, gData.gLastPaymentRecord, std::string(invoice) + "01", 9);
}

std::optional<std::int32_t> Order_Find(std::string_view order) {
    return Found(FindDocument(gData.orders, gData.gLastOrderRecord, std::string(order), 7));
}

std::optional<std::int32_t> OrderDetail_Find(std::string_view order) {
    return Found(FindDocument(gData.orderLines, gData.gLastOrderLineRecord, std::string(order) + "001", 10));
}

std::optional<std::int32_t> OrderPayment_Find(std::string_view order) {
    return Found(FindDocument(gData.orderPayments, gData.gLastOrderPaymentRecord, std::string(order) + "01", 9));
}

std::optional<std::int32_t> AdjustmentDetail_Find(std::string_view adjustment) {
    return Found(FindDocument(gData.adjustmentLines, gData.gLastAdjustmentLineRecord, std::string(adjustment) + "001",
                              10));
}

std::optional<std::int32_t> Purchase_Find(std::string_view purchase) {
    return Found(FindDocument(gData.purchases, gData.gLastPurchaseRecord, std::string(purchase), 7));
}

std::optional<std::int32_t> PurchaseDetail_Find(std::string_view purchase) {
    return Found(FindDocument(gData.purchaseLines, gData.gLastPurchaseLineRecord, std::string(purchase) + "001", 10));
}

std::optional<std::int32_t> Vendor_Find(std::string_view code) {
    if (!gData.vendors.IsOpen()) {
        ProgramLog().Write(1, "Parse_Filevendor: Handlervendor, vendor file is not present");
        return std::nullopt;
    }
    auto it = gData.vendorCodeFirst.find(std::string(TrimView(code)));
    if (it == gData.vendorCodeFirst.end() || it->second > gData.gVendorCount) return std::nullopt;
    if (gData.vendors.View(it->second).empty()) {
        // The record cannot be read back (the file was changed behind us).
        ProgramLog().Write(1, "Parse_Filevendor: Handlervendor, vendor file is not present");
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::int32_t> Cashier_FindByKey(std::string_view key) {
    return Found(FindInTable(gData.CashierTable, gData.gCashierCount, key, &CashierRow::CashierKey));
}

std::optional<std::int32_t> Cashier_FindByNumber(std::string_view number) {
    return Found(FindInTable(gData.CashierTable, gData.gCashierCount, number, &CashierRow::CashierNumber));
}

std::optional<std::int32_t> Category_Find(std::string_view code) {
    return Found(FindInTable(gData.CategoryTable, gData.gCategoryCount, code, &CategoryRow::CategoryCode));
}

std::optional<std::int32_t> Manager_FindByNumber(std::string_view number) {
    return Found(FindInTable(gData.ManagerTable, gData.gManagerCount, number, &ManagerRow::ManagerNumber));
}

std::optional<std::int32_t> Salesman_FindByKey(std::string_view key) {
    return Found(FindInTable(gData.SalesmanTable, gData.gSalesmanCount, key, &SalesmanRow::SalesmanKey));
}

std::optional<std::int32_t> Salesman_FindByNumber(std::string_view number) {
    return Found(FindInTable(gData.SalesmanTable, gData.gSalesmanCount, number, &SalesmanRow::SalesmanNumber));
}

void Product_SetCurrent(std::string_view key, const std::optional<ProductMatch>& found) {
    DataState& d = gData;
    d.gProductKey.assign(key);
    d.gProductRecNo = found ? found->recNo : 0;
    d.gNewProductRecNo = found ? found->newRecNo : 0;
    if (found && found->recNo > 0) d.gProductRec = found->record;
}

void Client_SetCurrent(const std::optional<ClientMatch>& found) {
    DataState& d = gData;
    d.gClientRecNo = found ? found->recNo : 0;
    d.gNewClientRecNo = found ? found->newRecNo : 0;
    if (found && found->recNo > 0) d.gClientRec = found->record;
}

}  // namespace tarvo
