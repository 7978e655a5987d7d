// The data layer's program-wide state: the staff and category tables, the
// open working files (one object per fixed file number of the register), their
// counts, and the sale's current product and client.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/money.h"
#include "data/pending_stamps.h"
#include "data/work_file.h"
#include "platform/file_identity.h"

namespace tarvo {

struct ManagerRow {
    std::string ManagerNumber, ManagerKey, ManagerName, ManagerRights;
};
struct CashierRow {
    std::string CashierNumber, CashierKey, CashierName;
    std::int16_t CashierLevel = 0;
};
struct SalesmanRow {
    std::string SalesmanNumber, SalesmanKey, SalesmanName;
};
struct CategoryRow {
    std::string CategoryCode, CategoryName;
};

struct DataState {
    // --- in-memory tables, entries 1..count (entry 0 unused) ----------------
    std::vector<ManagerRow> ManagerTable{1};
    std::vector<CashierRow> CashierTable{1};
    std::vector<SalesmanRow> SalesmanTable{1};
    std::vector<CategoryRow> CategoryTable{1};
    std::int32_t gManagerCount = 0, gCashierCount = 0, gSalesmanCount = 0, gCategoryCount = 0;
    bool gNoCashiers = true;

    // --- master working files (file numbers 3, 4, 44, 31, 32) -----------------
    WorkFile products, clients, vendors, kitHeaders, kitLines;
    std::int32_t gProductCount = 0, gClientCount = 0, gVendorCount = 0, gKitCount = 0, gKitLineCount = 0;
    // The text files the product and client working files hold as loaded
    // (exists false while they hold anything else): what their word indexes
    // are saved against.
    FileIdentity productsFrom, clientsFrom;
    // Stamps of working files just loaded, written once the files are on disk.
    PendingStamps stamps;

    // --- indexes (13, 14, 46) ---------------------------------------------------
    WorkFile auxIndex, cuxIndex, paxIndex;
    std::int32_t gAuxCount = 0, gCuxCount = 0, gPaxCount = 0;

    // --- new clients / new products share one file number (29) ----------------
    WorkFile newFile;
    std::int32_t gNewCount = 0;

    // --- transaction files -------------------------------------------------------
    WorkFile invoices, invoiceLines, payments, activity, physical;    // 5, 6, 7, 8, 24
    WorkFile orders, orderLines, orderPayments;                       // 17, 18, 19
    WorkFile adjustments, adjustmentLines, purchases, purchaseLines;  // 40, 41, 42, 43
    std::int32_t gLastInvoiceRecord = 0, gLastInvoiceLineRecord = 0, gLastPaymentRecord = 0;
    std::int32_t gLastActivityRecord = 0, gLastPhysicalRecord = 0;
    std::int32_t gLastOrderRecord = 0, gLastOrderLineRecord = 0, gLastOrderPaymentRecord = 0;
    std::int32_t gLastAdjustmentRecord = 0, gLastAdjustmentLineRecord = 0;
    std::int32_t gLastPurchaseRecord = 0, gLastPurchaseLineRecord = 0;
    std::array<std::int32_t, 3> gSavedRecordCounts{};  // .INV, .DTL, .PAY around a training sale

    // last records read
    std::string gInvoiceRec, gInvoiceLineRec, gPaymentRec, gActivityRec;

    // --- the sale's current product and client --------------------------------
    // Set by the code that chose them for the sale (Product_SetCurrent,
    // Client_SetCurrent, the pick lists, the scale), read by product entry and
    // by the sale's client rules (0 = none). The finders never touch them.
    std::string gProductKey, gProductRec, gClientRec;
    std::int32_t gProductRecNo = 0, gNewProductRecNo = 0, gClientRecNo = 0, gNewClientRecNo = 0;
    // the vendor chosen on the vendor list for the purchase being entered
    std::int32_t gVendorRecNo = 0;
    // the number of the document printed last
    std::string gDocumentKey;

    // the price product entry gives the next line instead of the file's
    // (an embedded-price bar code, a kit component, a re-entered line)
    bool gManualPrice = false;
    Money gManualPriceValue;

    // keyword and alias search
    std::string gSearchText;
    std::int32_t gSearchFirst = 0, gSearchLast = 0;

    // first record of each client id (columns 1-8) and vendor code (1-8),
    // built at load so the linear finders keep their first-match answer
    // without a scan per call
    std::unordered_map<std::string, std::int32_t> clientIdFirst, vendorCodeFirst;

    // Message boxes the loaders ask for (the window shows them); a test or the
    // start-up may replace it. By default the text is only logged.
    std::function<void(const std::string&)> messageBox;
};

extern DataState gData;

// Closes every working file of the data layer (program close and restart).
void Data_CloseAll(DataState& d);

// Closes every working file and puts every field of `d` back to its initial
// value (tables emptied, counts, keys and results 0, maps cleared, no message
// box handler).
void Data_Reset(DataState& d);

// Shows a loader's message box through d.messageBox and logs it.
void Data_MessageBox(DataState& d, const std::string& text);

}  // namespace tarvo
