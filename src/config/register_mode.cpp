#include "config/register_mode.h"

namespace tarvo {

std::string RegisterMode_Name(RegisterMode mode) {
    switch (mode) {
    case RegisterMode::Sales: return "Sales";
    case RegisterMode::OrderEntry: return "OrderEntry";
    case RegisterMode::PurchaseOrder: return "PurchaseOrder";
    case RegisterMode::Purchase: return "Purchase";
    case RegisterMode::Adjustment: return "Adjustment";
    case RegisterMode::StockCount: return "StockCount";
    case RegisterMode::Receiving: return "Receiving";
    case RegisterMode::Training: return "Training";
    case RegisterMode::PriceChecker: return "PriceChecker";
    case RegisterMode::ReceivePO: return "ReceivePO";
    case RegisterMode::NewPurchaseOrder: return "NewPurchaseOrder";
    case RegisterMode::PackOrder: return "PackOrder";
    case RegisterMode::ChangePrice: return "ChangePrice";
    }
    return "RegisterMode(" + std::to_string(static_cast<int>(mode)) + ")";
}

}  // namespace tarvo
