// The sale's money: each line's extension, the subtotal, the three taxes on
// their own bases, and the total, rebuilt from the lines every time; the
// total and the sale discount on screen.
//
// The store's tax rules, as they are:
//  - a line is taxable by tax k only when character k of its tax flags is a
//    lower-case "t";
//  - with setting 330 ("1") the tax-1 share of each tax-2 line is added to the
//    tax-2 base, with 335 the same share to the tax-3 base (again only for
//    tax-2 lines), with 340 the tax-2 share of each tax-3 line to the tax-3
//    base; the shares ignore the line's own tax-1 flag and the exemptions;
//  - the sale discount lowers the bases of the taxes the lines share only
//    when every line has the same tax flags; with mixed flags it lowers the
//    total alone;
//  - an exempt tax is 0 even though its base is computed.
#pragma once
#include <array>
#include <optional>

#include "common/money.h"
#include "config/settings.h"
#include "data/sale_state.h"

namespace tarvo {

// Everything Totals_Update derives from the lines.
struct SaleTotalsResult {
    std::array<Money, kMaxSaleLines + 1> extension{};  // 1..item count
    Money subtotal;
    std::array<Money, 4> taxBase{};  // 1..3, after the sale discount
    Money tax1, tax2, tax3;
    Money total;
    bool uniformTaxFlags = true;
};

// The computation alone: reads the lines, the sale discount, the working
// rates and exemptions of `sale` and the inclusion settings, and changes
// nothing. False when an amount on the way leaves the currency range (then
// `out` is incomplete).
bool Totals_Compute(const SaleState& sale, const Settings& settings, SaleTotalsResult& out);

// One line's extension as the sale computes it: unit price x quantity, over
// the price unit count when that is not 0, rounded to cents. None when it
// leaves the currency range. The upload files use it too, so a line sent to
// the back office carries the amount its receipt printed.
std::optional<Money> Line_Extension(Money unitPrice, double quantity, double priceUnits);

// Recomputes the lines' extensions and the sale's totals (a price unit count
// of 0 becomes 1), sets the balance due to 0, enables the Payment key when
// there are lines, shows the total, and refreshes the Total key, the
// customer display and the key captions. When an amount does not fit the
// currency range nothing of the sale changes, "Invalid Entry" is shown for
// 5 seconds and the result is false (the caller takes back its change).
bool Totals_Update();

// "Total" over the total cell, which shows the total as "$###,##0.00"
// ("-$5.00" for a refund).
void Total_Display();

// The sale discount on the last line's note ("Total Discount -$5.00") and on
// the message line ("Discount Applied -$5.00", 5 seconds); only the total
// when there is no discount.
void Discount_Display();

}  // namespace tarvo
