#include "sale/totals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "sale/sale_save.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"

namespace tarvo {

namespace {

constexpr ControlId kTotalTitle{Control::Title_Total, 0};
constexpr ControlId kTotalCell{Control::Rt_Total, 0};
constexpr const char* kAmountPattern = "$###,##0.00";

// The largest amount (in ten-thousandths) the sale keeps: the currency range
// less a cent, so that rounding to cents can never step outside it.
constexpr std::int64_t kMaxRaw = std::numeric_limits<std::int64_t>::max() - 100;

// Amount arithmetic that notices when a value leaves the currency range;
// once it has, every further result is 0 and `ok` stays false.
struct Checked {
    bool ok = true;

    Money Fit(std::int64_t raw) {
        if (raw > kMaxRaw || raw < -kMaxRaw) ok = false;
        return ok ? Money::FromRaw(raw) : Money();
    }
    Money Add(Money a, Money b) {
        std::int64_t r = 0;
        if (__builtin_add_overflow(a.Raw(), b.Raw(), &r)) ok = false;
        return Fit(r);
    }
    Money Sub(Money a, Money b) {
        std::int64_t r = 0;
        if (__builtin_sub_overflow(a.Raw(), b.Raw(), &r)) ok = false;
        return Fit(r);
    }
    // A floating result as an amount: its 15-digit decimal to four decimals,
    // ties to even.
    //
    // Below 100,000 the 15-digit decimal lies within 5e-7 ten-thousandths of
    // the value, and value x 10^4 is formed within 1.2e-7 of the exact
    // product: unless the scaled value lies within 1e-5 of a half, the
    // nearest whole number of ten-thousandths is the answer without writing
    // the decimal out. Near a half (where the 15-digit decimal decides) and
    // above 100,000, the decimal is written out.
    Money FromDouble(double value) {
        if (!std::isfinite(value)) {
            ok = false;
            return Money();
        }
        if (std::fabs(value) < 1e5) {
            const double scaled = value * 10000.0;
            const double nearest = std::nearbyint(scaled);
            if (0.5 - std::fabs(scaled - nearest) > 1e-5) return Money::FromRaw(static_cast<std::int64_t>(nearest));
        }
        auto m = Money::FromDouble(value);
        if (!m) {
            ok = false;
            return Money();
        }
        return Fit(m->Raw());
    }
};

// UnitPrice x Quantity / PriceUnits (no division when the units are 0),
// formed in floating point and taken as an amount.
//
// For a whole quantity with no unit division the exact product is taken
// directly when it has at most 15 digits: the floating product differs from
// it by at most two roundings (relative 2.3e-16), less than half a step of
// the 15-digit decimal the conversion reads (at least 5e-16 relative), so the
// conversion would give exactly that product. Every other line goes the
// floating way.
Money LineExtension(Money price, double quantity, double units, Checked& c) {
    constexpr std::int64_t kExactDigits = 1'000'000'000'000'000;  // 10^15
    if ((units == 0 || units == 1) && std::fabs(quantity) < 1e15 && quantity == std::trunc(quantity)) {
        std::int64_t product = 0;
        if (!__builtin_mul_overflow(price.Raw(), static_cast<std::int64_t>(quantity), &product) &&
            product < kExactDigits && product > -kExactDigits)
            return Money::FromRaw(product);
    }
    double x = price.ToDouble() * quantity;
    if (units != 0) x = x / units;
    return c.FromDouble(x);
}

// amount x (rate / 100), the rate in percent, as an amount rounded to cents.
Money Share(Money amount, double ratePercent, Checked& c) {
    return CentRound(c.FromDouble(amount.ToDouble() * (ratePercent / 100)));
}

bool Taxable(const std::string& flags, std::size_t tax) { return tax < flags.size() && flags[tax] == 't'; }

}  // namespace

std::optional<Money> Line_Extension(Money unitPrice, double quantity, double priceUnits) {
    Checked c;
    const Money extension = CentRound(LineExtension(unitPrice, quantity, priceUnits, c));
    if (!c.ok) return std::nullopt;
    return extension;
}

bool Totals_Compute(const SaleState& sale, const Settings& settings, SaleTotalsResult& out) {
    Checked c;
    const int n = std::clamp<int>(sale.gItemCount, 0, kMaxSaleLines);

    out.uniformTaxFlags = true;
    for (int i = 2; i <= n; ++i) {
        if (sale.gLines[i].taxFlags != sale.gLines[1].taxFlags) {
            out.uniformTaxFlags = false;
            break;
        }
    }

    const bool tax2IncludesTax1 = settings.gTax2IncludesTax1;
    const bool tax3IncludesTax1 = settings.gTax3IncludesTax1;
    const bool tax3IncludesTax2 = settings.gTax3IncludesTax2;
    Money subtotal, base1, base2, base3;
    for (int i = 1; i <= n; ++i) {
        const SaleLine& line = sale.gLines[static_cast<std::size_t>(i)];
        const Money extension = CentRound(LineExtension(line.unitPrice, line.quantity, line.priceUnits, c));
        out.extension[i] = extension;
        subtotal = CentRoundUp(c.Add(subtotal, extension));

        const std::string& flags = line.taxFlags;
        if (Taxable(flags, 0)) base1 = c.Add(base1, extension);
        if (Taxable(flags, 1)) {
            base2 = c.Add(base2, extension);
            if (tax2IncludesTax1 || tax3IncludesTax1) {
                const Money tax1Share = Share(extension, sale.gTaxRate[1], c);
                if (tax2IncludesTax1) base2 = CentRound(c.Add(base2, tax1Share));
                if (tax3IncludesTax1) base3 = CentRound(c.Add(base3, tax1Share));
            }
        }
        if (Taxable(flags, 2)) {
            base3 = c.Add(base3, extension);
            if (tax3IncludesTax2) base3 = CentRound(c.Add(base3, Share(extension, sale.gTaxRate[2], c)));
        }
        base1 = CentRound(base1);
        base2 = CentRound(base2);
        base3 = CentRound(base3);
        if (!c.ok) return false;
    }

    const Money discount = c.Fit(sale.gSaleDiscount.Raw());
    Money* bases[] = {&base1, &base2, &base3};
    if (!discount.IsZero() && out.uniformTaxFlags && n >= 1) {
        for (std::size_t k = 0; k < 3; ++k)
            if (Taxable(sale.gLines[1].taxFlags, k)) *bases[k] = CentRound(c.Sub(*bases[k], discount));
    }

    Money taxes[3];
    for (std::size_t k = 0; k < 3; ++k)
        if (!sale.gTaxExempt[k + 1]) taxes[k] = Share(*bases[k], sale.gTaxRate[k + 1], c);

    Money total = c.Sub(subtotal, discount);
    for (const Money& tax : taxes) total = c.Add(total, tax);
    if (!c.ok) return false;

    out.subtotal = subtotal;
    out.taxBase = {Money(), base1, base2, base3};
    out.tax1 = taxes[0];
    out.tax2 = taxes[1];
    out.tax3 = taxes[2];
    out.total = CentRound(total);
    return true;
}

bool Totals_Update() {
    SaleTotalsResult r;
    if (!Totals_Compute(gSale, gSettings, r)) {
        CIATime(Msg(Message::InvalidEntry), 5);
        return false;
    }
    SaleState& s = gSale;
    const int n = std::clamp<int>(s.gItemCount, 0, kMaxSaleLines);
    for (int i = 1; i <= n; ++i) {
        SaleLine& line = s.gLines[static_cast<std::size_t>(i)];
        if (line.priceUnits == 0) line.priceUnits = 1;
        line.extension = r.extension[i];
    }
    s.gBalanceDue = Money();
    s.gSubtotal = r.subtotal;
    s.gTax1 = r.tax1;
    s.gTax2 = r.tax2;
    s.gTax3 = r.tax3;
    s.gTotal = r.total;

    if (s.gItemCount > 0) Screen().SetEnabled(kPaymentKey, true);
    Total_Display();
    Total_Activate();
    SaleEvents().Sale_TotalsChanged();
    return true;
}

void Total_Display() {
    Screen().SetCaption(kTotalTitle, "Total");
    Screen().SetText(kTotalCell, gSale.gTotal.Format(kAmountPattern));
}

void Discount_Display() {
    SaleState& s = gSale;
    if (s.gSaleDiscount.IsZero()) {
        Total_Display();
        return;
    }
    const std::string text = (-s.gSaleDiscount).Format(kAmountPattern);
    if (s.gItemCount >= 1 && s.gItemCount <= kMaxSaleLines) {
        s.gLines[s.gItemCount].note = Msg(Message::TotalDiscount) + " " + text;
        s.gLines[s.gItemCount].hasNote = true;
        Receipt_Display();
    }
    CIATime(Msg(Message::DiscountApplied) + " " + text, 5);
}

}  // namespace tarvo
