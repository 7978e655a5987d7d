// The transaction in progress: the sale lines (parallel arrays indexed 1 to
// 400, index 0 unused), the totals and the sale-wide state.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/money.h"

namespace tarvo {

constexpr int kMaxSaleLines = 400;

struct SaleState {
    template <typename T>
    using Lines = std::array<T, kMaxSaleLines + 1>;

    // SaleLine
    Lines<std::string> gLineKey, gLineProduct, gLineDescription;
    Lines<double> gLineQuantity{};
    Lines<Money> gLineListPrice{}, gLineUnitPrice{}, gLineExtension{};
    Lines<double> gLinePriceUnits{};
    Lines<std::string> gLineTaxFlags, gLineDepartment, gLineNote;
    Lines<bool> gLineHasNote{}, gLineKitComponent{};
    Lines<std::int16_t> gLineSourceIndex{};
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
    std::string gKitCode;                   // key of the line just added, for Kit_Processing
    std::int16_t gCheckResult = 0;          // verdict of the void check and of the time clock
    std::string gPriceCheckText;            // price-check text; also the clock time
    std::int32_t gSalesmanIndex = 0;
    std::string gSaleReference;
    bool gVoidMode = false, gReturnMode = false, gExchangeMode = false, gExchangeStarted = false;
    bool gPriceSearch = false, gStockSearch = false;
    std::array<double, 4> gTaxRate{};       // 1..3
    std::array<bool, 4> gTaxExempt{};       // 1..3
    std::int16_t gTaxStatus = 0;
    std::int16_t gPaymentCount = 0;
    bool gTenderLinesAdded = false;
    bool gCardInSale = false;
    bool gSuspended = false;

    // register mode (`RegisterMode`) and modifiers
    std::int16_t gMode = 11;
    bool gStockCount = false;
    bool gTraining = false;

    // client shown in the client panel
    std::string gClientName, gClientAddress, gClientPhone, gClientExtra;
    std::int16_t gClientPriceLevel = 1;
    double gClientDiscount = 0;
};

extern SaleState gSale;

}  // namespace tarvo
