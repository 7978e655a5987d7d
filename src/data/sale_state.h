// The transaction in progress: the sale lines (indexed 1 to 400, index 0
// unused), the totals and the sale-wide state.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/money.h"
#include "config/register_mode.h"

namespace tarvo {

constexpr int kMaxSaleLines = 400;

// One line of the sale. A default line is a cleared one. Lines are moved,
// swapped and cleared whole; only a void leaves each slot its position in a
// fetched order.
struct SaleLine {
    std::string key;               // gLineKey
    std::string product;           // gLineProduct
    std::string description;       // gLineDescription
    double quantity = 0;           // gLineQuantity
    Money listPrice;               // gLineListPrice
    Money unitPrice;               // gLineUnitPrice
    Money extension;               // gLineExtension
    double priceUnits = 1;         // gLinePriceUnits
    std::string taxFlags;          // gLineTaxFlags
    std::string department;        // gLineDepartment
    std::string note;              // gLineNote
    bool hasNote = false;          // gLineHasNote
    bool kitComponent = false;     // gLineKitComponent
    std::int16_t sourceIndex = 0;  // gLineSourceIndex: position in a fetched order
    // A document sent to the back office line by line: the server's number
    // for this line once it accepted it ("" not yet), and whether its price
    // went too, so that a retry sends only what is missing.
    std::string serverLine;
    double serverQuantity = 0;  // the quantity the server accepted with it
    bool priceSent = false;

    bool operator==(const SaleLine&) const = default;
};

// One tender of the sale. A default tender is an empty slot.
struct SalePayment {
    std::string type;            // gPayType
    std::string description;     // gPayDescription
    Money amount;                // gPayAmount
    std::string reference;       // gPayReference
    std::int16_t entryKind = 0;  // gPayEntryKind: 0 no card, 1 swiped, 2 keyed
    std::string cardNumber;      // gPayCardNumber
    std::string cardExpiry;      // gPayCardExpiry
    std::string cardHolder;      // gPayCardHolder
    std::string cardData;        // gPayCardData
};

struct SaleState {
    std::array<SaleLine, kMaxSaleLines + 1> gLines{};  // SaleLine 1..gItemCount
    std::int32_t gItemCount = 0;

    // SaleTotals
    Money gSubtotal, gSaleDiscount, gTax1, gTax2, gTax3, gTotal, gPaid, gBalanceDue, gChange;
    bool gRefund = false;
    std::string gInvoiceStatus;

    // sale-wide state
    std::int16_t gTopLine = 1;
    std::int32_t gSelectedLine = 0;
    double gQuantity = 1.0;
    std::string gCaseLetter;
    std::string gLineKind;
    std::string gKitCode;           // key of the line just added, for Kit_Processing
    std::int16_t gCheckResult = 0;  // verdict of the void check and of the time clock
    std::string gPriceCheckText;    // price-check text; also the clock time
    std::int32_t gSalesmanIndex = 0;
    std::string gSaleReference;
    bool gVoidMode = false, gReturnMode = false, gExchangeMode = false, gExchangeStarted = false;
    bool gPriceSearch = false, gStockSearch = false;
    std::array<double, 4> gTaxRate{};  // 1..3
    std::array<bool, 4> gTaxExempt{};  // 1..3
    std::int16_t gTaxStatus = 0;
    std::int16_t gPaymentCount = 0;
    bool gTenderLinesAdded = false;
    bool gCardInSale = false;
    bool gSuspended = false;

    // register mode and modifiers
    RegisterMode gMode = RegisterMode::Sales;
    bool gStockCount = false;
    bool gTraining = false;

    // client shown in the client panel
    std::string gClientName, gClientAddress, gClientPhone, gClientExtra;
    std::int16_t gClientPriceLevel = 1;
    double gClientDiscount = 0;
    std::string gClientNumber, gClientAccountType;  // client number (columns 12-19), account type (column 11)

    // product entry
    std::int32_t gScaleProductRecNo = 0;   // product record waiting for a weight, 0 none
    std::int32_t gScaleRequestCount = -1;  // line count when the weight was asked for, -1 none pending
    std::string gScaleLineKind;            // gLineKind of the line waiting for the weight
    std::string gDepartmentPrice;          // price typed with a department key
    std::string gPriceCheckPrice;          // price shown by the customer-display price check
    std::string gOnlineProduct;            // product of the online stock check and the price change
    std::string gPurchaseVendor;           // vendor of the purchase in progress, "" none chosen
    std::string gFetchedDocNumber;         // the back office's number of the document fetched into the sale
    std::string gServerDocNumber;          // the server's number of the document being sent, "" none yet
    bool gServerDocClosed = false;         // the server confirmed the document's closing request
    std::string gImportedFile;             // the purchase-order file the document was read from, "" none
    std::uint64_t gImportedDigest = 0;     // a digest of that file's bytes as they were read
    bool gNextLineKitComponent = false;    // the next line is a kit component (kit expansion sets it)

    // sale start
    std::string gClientCode, gSaleClientId;  // client of the sale; the id is the client record's columns 1-8, trimmed
    // Document header of an order or purchase: filled by the entry form's
    // order and purchase pages, order defaults put back at every sale start.
    std::string gDocDeliveryDate, gDocPriority, gDocType, gDocComment;
    std::string gDocCancelBackOrders, gDocSupplyMethod, gDocDeliveryMethod;
    std::string gDocVendorOrderNo, gDocCancelDate;  // purchases only
    std::array<SalePayment, 11> gPayments{};        // tenders 1..10
    bool gSendPending = false;                      // a scheduled send fell due during a sale
    std::string gDateText;                          // the business date as printed (day/month name/year), by Date_Set

    // documents started from the Mode page
    std::int16_t gSearchKind = 0;  // entry form page: 18 new client, 19 new product, 12 order, 13/14 purchase; 0 none
    std::string gOrderKind;        // "1" client order, "2" store order
    // What an order key found before it set the order kind and, for a store
    // order, the three tax exemptions: the order page gives it back when it
    // is left without saving.
    struct OrderKeyBefore {
        bool pending = false;
        std::array<bool, 4> taxExempt{};
        std::string orderKind;
    } gOrderKeyBefore;
    bool gPurchaseIsOrder = false;          // the purchase is a purchase order
    std::int16_t gAdjustmentDirection = 0;  // stock adjustment: -1 shortage, +1 overage
    std::string gAdjustmentReason;          // the reason digit "1".."9" typed for it, "" when refused
};

extern SaleState gSale;

}  // namespace tarvo
