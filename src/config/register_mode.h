// The register's modes: the sale's mode (gSale.gMode) and the home mode the
// register goes back to (gSettings.gHomeMode, setting 485). Each keeps its
// number, the one the settings file holds and the mode-name table is read
// by:
//
//   11 Sales          15 Adjustment    26 Training        30 Pack Order
//   12 Order Entry    16 Stock Count   27 Price Checker   31 Change Price
//   13 Purchase Order 17 Receiving     28 Receive PO
//   14 Purchase                        29 New Purchase Order
//
// A home mode of another number is kept as that number; showing the mode box
// (Mode_Display) turns the sale's mode of such a number into Sales.
#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

enum class RegisterMode : std::int16_t {
    Sales = 11,
    OrderEntry = 12,
    PurchaseOrder = 13,  // a purchase order entered at the register
    Purchase = 14,
    Adjustment = 15,
    StockCount = 16,
    Receiving = 17,
    Training = 26,
    PriceChecker = 27,
    ReceivePO = 28,         // a purchase order fetched from the back office, received line by line
    NewPurchaseOrder = 29,  // a purchase order read from "PO.txt", sent to the back office as a new one
    PackOrder = 30,         // a customer order fetched from the back office, packed line by line
    ChangePrice = 31,
};

// The purchase-order and purchase modes: a line goes to the purchase's cost
// and price questions, not to the sale's totals.
constexpr bool IsPurchaseMode(RegisterMode mode) {
    return mode == RegisterMode::PurchaseOrder || mode == RegisterMode::Purchase ||
           mode == RegisterMode::NewPurchaseOrder;
}

// Receive PO and Pack Order: the lines were fetched from the back office and
// a product scanned counts into its line.
constexpr bool IsFetchedOrderMode(RegisterMode mode) {
    return mode == RegisterMode::ReceivePO || mode == RegisterMode::PackOrder;
}

// The mode's name as written here ("Sales", "NewPurchaseOrder"); a number
// without a name gives "RegisterMode(42)".
std::string RegisterMode_Name(RegisterMode mode);

}  // namespace tarvo
