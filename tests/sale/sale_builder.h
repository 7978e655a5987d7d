// Builds a sale in progress by hand, line by line and tender by tender, for
// the tests that save it.
#pragma once
#include <cstddef>

#include "common/money.h"
#include "data/sale_state.h"

namespace tarvo::sale_builder {

inline Money M(const char* text) { return *Money::Parse(text); }

inline void AddLine(const char* product, const char* key, double qty, const char* list, const char* price,
                    const char* note = "", bool hasNote = false, bool kit = false) {
    SaleState& s = gSale;
    const auto n = static_cast<std::size_t>(++s.gItemCount);
    s.gLines[n].product = product;
    s.gLines[n].key = key;
    s.gLines[n].quantity = qty;
    s.gLines[n].listPrice = M(list);
    s.gLines[n].unitPrice = M(price);
    s.gLines[n].note = note;
    s.gLines[n].hasNote = hasNote;
    s.gLines[n].kitComponent = kit;
}

inline void AddTender(const char* type, const char* amount, const char* reference = "") {
    SaleState& s = gSale;
    const auto t = static_cast<std::size_t>(++s.gPaymentCount);
    s.gPayments[t].type = type;
    s.gPayments[t].amount = M(amount);
    s.gPayments[t].reference = reference;
    s.gPaid += M(amount);
}

inline void Totals(const char* subtotal, const char* tax1, const char* total, const char* change = "0") {
    gSale.gSubtotal = M(subtotal);
    gSale.gTax1 = M(tax1);
    gSale.gTotal = M(total);
    gSale.gChange = M(change);
}

}  // namespace tarvo::sale_builder
