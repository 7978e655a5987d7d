#include "sale/sales_page.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr int kMessageSeconds = 5;
// The merchandise discount of key 9 and the category it leaves alone.
constexpr double kMerchandisePercent = 20;
constexpr const char* kExcludedCategory = "1080";
// The manager right that allows the Tax Exempt key (character 2 of the rights).
constexpr std::size_t kTaxExemptRight = 2;
// The Client operation key.
constexpr int kClientKey = 6;

// Exemption flags of taxes 1, 2, 3 for each tax status.
constexpr std::array<std::array<bool, 3>, 8> kStatusFlags{{
    {false, false, false},
    {true, true, true},
    {true, false, false},
    {false, true, false},
    {false, false, true},
    {true, true, false},
    {true, false, true},
    {false, true, true},
}};

void Say(Message message, int seconds = kMessageSeconds) { CIATime(Msg(message), seconds); }
void SayWith(Message message, const std::string& tail, int seconds = kMessageSeconds) {
    CIATime(Msg(message) + tail, seconds);
}

const std::string& Entry() { return Screen().Text(kEntryBox); }
double EntryValue() { return Num_Val(Entry()); }
// The value of the entry as a currency amount; nullopt when it does not fit.
std::optional<Money> EntryAmount() { return Money::Parse(Entry()); }

bool HasHighlightedLine() {
    const SaleState& s = gSale;
    return s.gSelectedLine > 0 && s.gSelectedLine <= s.gItemCount;
}

// "$" and the price as plain decimal text ("$10", "$4.5").
std::string OldPriceText(Money price) { return "$" + price.TextDisplay(); }

// CentRoundUp of a floating result; nullopt when it does not fit.
std::optional<Money> CentsOf(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    auto m = Money::FromDouble(x);
    if (!m) return std::nullopt;
    return CentRoundUp(*m);
}

std::optional<Money> PercentOff(Money price, double percent) { return CentsOf(price.ToDouble() * (1 - percent / 100)); }

std::optional<Money> ExtensionOf(Money unitPrice, double quantity, double priceUnits) {
    if (priceUnits == 0) priceUnits = 1;
    return CentsOf(unitPrice.ToDouble() * quantity / priceUnits);
}

std::optional<Money> Minus(Money a, Money b) {
    std::int64_t r = 0;
    if (__builtin_sub_overflow(a.Raw(), b.Raw(), &r)) return std::nullopt;
    return Money::FromRaw(r);
}

// What a key changes on lines and the sale, taken before the change so that
// totals which cannot hold the result give the sale back as it was.
struct Snapshot {
    std::vector<std::pair<int, SaleLine>> lines;  // line number, the line as it was
    Money saleDiscount;
    std::array<double, 4> taxRate{};
    std::array<bool, 4> taxExempt{};
    std::int16_t taxStatus = 0, topLine = 1;

    static Snapshot Sale() {
        const SaleState& s = gSale;
        Snapshot snap;
        snap.saleDiscount = s.gSaleDiscount;
        snap.taxRate = s.gTaxRate;
        snap.taxExempt = s.gTaxExempt;
        snap.taxStatus = s.gTaxStatus;
        snap.topLine = s.gTopLine;
        return snap;
    }
    void Keep(int i) { lines.emplace_back(i, gSale.gLines[static_cast<std::size_t>(i)]); }
    void Restore() const {
        SaleState& s = gSale;
        for (const auto& [i, line] : lines) s.gLines[static_cast<std::size_t>(i)] = line;
        s.gSaleDiscount = saleDiscount;
        s.gTaxRate = taxRate;
        s.gTaxExempt = taxExempt;
        s.gTaxStatus = taxStatus;
        s.gTopLine = topLine;
    }
};

// Totals_Update; when the totals refuse the change, the sale goes back to
// the snapshot (Totals_Update has said "Invalid Entry").
bool TotalsOrUndo(const Snapshot& snap) {
    if (Totals_Update()) return true;
    snap.Restore();
    Receipt_Display();
    return false;
}

void TopLineRule() {
    SaleState& s = gSale;
    if (s.gTopLine + 5 <= s.gItemCount) s.gTopLine = static_cast<std::int16_t>(s.gItemCount);
}

bool ManagerHasRight(std::size_t right) {
    const auto index = static_cast<std::size_t>(gReg.gManagerIndex);
    if (index == 0 || index >= gData.ManagerTable.size()) return false;
    const std::string& rights = gData.ManagerTable[index].ManagerRights;
    return rights.size() >= right && rights[right - 1] == '1';
}

void ShowTaxStatus() { SayWith(Message::TaxStatus, TaxStatus_Letters()); }

// ---- the keys -----------------------------------------------------------------------

void CaseLetter() {
    SaleState& s = gSale;
    const auto& labels = gSettings.gCaseLabel;
    const std::string& current = s.gCaseLetter;
    int next = -1;  // 0..3 for "a".."d"
    if (current == "a")
        next = 1;
    else if (current == "b")
        next = 2;
    else if (current == "c")
        next = 3;
    else if (current != "d")
        next = 0;
    if (next >= 0 && !labels[static_cast<std::size_t>(next)].empty()) {
        s.gCaseLetter = std::string(1, static_cast<char>('a' + next));
        SayWith(Message::CaseSelection, " " + labels[static_cast<std::size_t>(next)]);
        return;
    }
    s.gCaseLetter.clear();
    Say(Message::CaseSelectionCancelled);
}

void TaxRate() {
    if (Entry().empty()) {
        Say(Message::InvalidEntry);
        return;
    }
    Strip_Text();
    if (Entry().empty()) {
        Say(Message::InvalidEntry);
        return;
    }
    const double v = EntryValue();
    if (!(v >= 0 && v <= 9)) {
        Say(Message::InvalidEntry);
        return;
    }
    const auto digit = Num_ToInteger(v, 0, 9);
    if (!digit) {
        Say(Message::InvalidEntry);
        return;
    }
    const TaxChoice& row = gSettings.TaxChoiceTable[static_cast<std::size_t>(*digit)];
    if (row.TaxChoiceKind < 0 || row.TaxChoiceKind > 3) {
        Say(Message::InvalidEntry);
        return;
    }
    const Snapshot snap = Snapshot::Sale();
    SaleState& s = gSale;
    if (row.TaxChoiceKind != 0) s.gTaxRate[static_cast<std::size_t>(row.TaxChoiceKind)] = row.TaxChoiceRate;
    if (row.TaxChoiceCode != "000") {
        Screen().SetText(kEntryBox, row.TaxChoiceCode);
        RegisterKeys().BOp_Click(kClientKey);
    }
    const std::string& status = row.TaxChoiceStatus;
    if (status.size() == 1 && status[0] >= '0' && status[0] <= '7') {
        TaxStatus_Apply(status[0] - '0');
        ShowTaxStatus();
    }
    TotalsOrUndo(snap);
}

void TaxExempt() {
    if (!gSettings.gTaxExemptCheck) {
        Tax_Change();
        return;
    }
    if (Entry().empty()) {
        Say(Message::ManagerAuthorizationRequired);
        return;
    }
    Authorization_Verify();
    if (!gReg.gAuthorized) return;
    if (ManagerHasRight(kTaxExemptRight))
        Tax_Change();
    else
        Say(Message::ManagerNotAllowedAccess);
}

void ItemNote() {
    SaleState& s = gSale;
    if (Entry().empty() || s.gItemCount <= 0) {
        Say(Message::InvalidEntry);
        return;
    }
    Strip_Text();
    Snapshot snap = Snapshot::Sale();
    snap.Keep(s.gItemCount);
    const auto n = static_cast<std::size_t>(s.gItemCount);
    s.gLines[n].note = Entry();
    s.gLines[n].hasNote = true;
    Receipt_Display();
    TotalsOrUndo(snap);
}

void SaleReference() {
    if (Entry().empty()) {
        Say(Message::InvalidEntry);
        return;
    }
    Strip_Text();
    gSale.gSaleReference = Entry();
    SayWith(Message::ReferenceLabel, gSale.gSaleReference);
}

void MerchandiseDiscount() {
    SaleState& s = gSale;
    if (!Entry().empty() || s.gItemCount <= 0) {
        Say(Message::InvalidEntry);
        return;
    }
    Screen().SetText(kEntryBox, "20");
    const double p = kMerchandisePercent;
    Snapshot snap = Snapshot::Sale();
    for (int i = 1; i <= s.gItemCount && i <= kMaxSaleLines; ++i) {
        SaleLine& line = s.gLines[static_cast<std::size_t>(i)];
        const std::optional<ProductMatch> found = Product_Find(line.key);
        if (!found || found->recNo == 0) continue;
        if (Trim(Mid(found->record, 34, 6)) == kExcludedCategory) continue;
        const auto unit = PercentOff(line.unitPrice, p);
        const auto extension = unit ? ExtensionOf(*unit, line.quantity, line.priceUnits) : std::nullopt;
        if (!unit || !extension) {
            snap.Restore();
            Say(Message::InvalidEntry);
            return;
        }
        snap.Keep(i);
        const std::string old = OldPriceText(line.unitPrice);
        line.unitPrice = *unit;
        line.extension = *extension;
        line.note = Msg(Message::DsctPercent) + "20 (" + old + ")";
        line.hasNote = true;
    }
    TopLineRule();
    Receipt_Display();
    if (!TotalsOrUndo(snap)) return;
    SayWith(Message::DiscountPercent, "20", 0);
}

// Keys 13 (amount off) and 14 (percentage off) on one line.
void LineDiscount(bool percent) {
    SaleState& s = gSale;
    if (Entry().empty() || s.gItemCount <= 0) {
        Say(Message::InvalidEntry);
        return;
    }
    const std::string entry = Entry();
    const double value = EntryValue();
    const std::optional<Money> amount = EntryAmount();
    if (!amount) {
        Say(Message::InvalidEntry);
        return;
    }
    int line = s.gItemCount;
    if (HasHighlightedLine()) {
        if (value < 0) {
            Say(Message::NegativePriceIsDisallowed);
            return;
        }
        line = s.gSelectedLine;
    }
    SaleLine& saleLine = s.gLines[static_cast<std::size_t>(line)];
    const Money price = saleLine.unitPrice;
    const bool ceilingPasses = percent ? value <= 100 : price >= *amount;
    if (!ceilingPasses) return;

    std::optional<Money> unit;
    if (percent) {
        unit = PercentOff(price, value);
    } else if (auto diff = Minus(price, *amount)) {
        unit = CentRoundUp(*diff);
    }
    const auto extension = unit ? ExtensionOf(*unit, saleLine.quantity, saleLine.priceUnits) : std::nullopt;
    if (!unit || !extension) {
        Say(Message::InvalidEntry);
        return;
    }
    Snapshot snap = Snapshot::Sale();
    snap.Keep(line);
    const std::string old = OldPriceText(price);
    saleLine.unitPrice = *unit;
    saleLine.extension = *extension;
    SayWith(percent ? Message::DiscountPercent : Message::DiscountDollar, entry);
    saleLine.note = Msg(percent ? Message::DsctPercent : Message::DiscountDollar) + entry + " (" + old + ")";
    saleLine.hasNote = true;
    TopLineRule();
    Receipt_Display();
    TotalsOrUndo(snap);
}

void SaleDiscountAmount() {
    SaleState& s = gSale;
    if (Entry().empty()) {
        Say(Message::InvalidEntry);
        return;
    }
    const std::optional<Money> amount = EntryAmount();
    if (!amount) {
        Say(Message::InvalidEntry);
        return;
    }
    if (!(s.gSubtotal >= *amount)) return;
    const Snapshot snap = Snapshot::Sale();
    s.gSaleDiscount = CentRoundUp(*amount);
    if (TotalsOrUndo(snap)) Discount_Display();
}

void SaleDiscountPercent() {
    SaleState& s = gSale;
    if (Entry().empty()) {
        Say(Message::InvalidEntry);
    } else if (const double value = EntryValue(); value <= 100) {
        if (const auto discount = CentsOf(s.gSubtotal.ToDouble() * (value / 100))) {
            const Snapshot snap = Snapshot::Sale();
            s.gSaleDiscount = *discount;
            if (TotalsOrUndo(snap)) Discount_Display();
        } else {
            Say(Message::InvalidEntry);
        }
    }
    DEA_Reset();
}

void ManualPrice() {
    SaleState& s = gSale;
    DataState& d = gData;
    if (HasHighlightedLine()) {
        if (Entry().empty()) {
            Say(Message::InvalidEntry);
            return;
        }
        if (EntryValue() < 0) {
            Say(Message::NegativePriceIsDisallowed);
            return;
        }
        Strip_Number();
        const std::optional<Money> price = EntryAmount();
        if (!price) {
            Say(Message::InvalidEntry);
            return;
        }
        const int line = s.gSelectedLine;
        const auto k = static_cast<std::size_t>(line);
        Snapshot snap = Snapshot::Sale();
        snap.Keep(line);
        s.gLines[k].listPrice = *price;
        s.gLines[k].unitPrice = *price;
        if (TotalsOrUndo(snap)) Receipt_Display();
        return;
    }
    if (Entry().empty()) {
        d.gManualPrice = false;
        Say(Message::InvalidEntry);
    } else if (EntryValue() < 0) {
        d.gManualPrice = false;
        Say(Message::NegativePriceIsDisallowed);
    } else {
        Strip_Number();
        if (const std::optional<Money> price = EntryAmount()) {
            d.gManualPrice = true;
            d.gManualPriceValue = *price;
            SayWith(Message::ManualPrice, price->TextDisplay());
        } else {
            d.gManualPrice = false;
            Say(Message::InvalidEntry);
        }
    }
    Mode_Display();
}

void PriceSearch() {
    SaleState& s = gSale;
    if (!s.gPriceSearch) {
        s.gPriceSearch = true;
        s.gStockSearch = false;
        Say(Message::PriceSearchModeEnabled);
    } else {
        s.gPriceSearch = false;
        Say(Message::PriceSearchModeDisabled);
    }
    Mode_Display();
}

void StockSearch() {
    SaleState& s = gSale;
    if (!s.gStockSearch) {
        s.gStockSearch = true;
        s.gPriceSearch = false;
        Say(Message::StockSearchModeEnabled);
    } else {
        s.gStockSearch = false;
        Say(Message::StockSearchModeDisabled);
    }
    Mode_Display();
}

}  // namespace

void TaxStatus_Apply(int status) {
    if (status < 0 || status > 7) return;
    SaleState& s = gSale;
    const auto& flags = kStatusFlags[static_cast<std::size_t>(status)];
    for (std::size_t k = 1; k <= 3; ++k) s.gTaxExempt[k] = flags[k - 1];
    s.gTaxStatus = static_cast<std::int16_t>(status);
}

int TaxStatus_FromFlags() {
    const SaleState& s = gSale;
    for (std::size_t status = 0; status < kStatusFlags.size(); ++status) {
        const auto& flags = kStatusFlags[status];
        if (flags[0] == s.gTaxExempt[1] && flags[1] == s.gTaxExempt[2] && flags[2] == s.gTaxExempt[3])
            return static_cast<int>(status);
    }
    return 0;  // every combination of three flags has a status
}

std::string TaxStatus_Letters() {
    std::string letters;
    for (std::size_t k = 1; k <= 3; ++k) letters += gSale.gTaxExempt[k] ? 'N' : 'T';
    return letters;
}

void Tax_Change() {
    const Snapshot snap = Snapshot::Sale();
    const int next = (gSale.gTaxStatus + 1) % 8;
    TaxStatus_Apply(next < 0 ? 0 : next);
    ShowTaxStatus();
    TotalsOrUndo(snap);
}

void Sales_Process(int key) {
    switch (key) {
    case 1: CaseLetter(); break;
    case 3: TaxRate(); break;
    case 4: TaxExempt(); break;
    case 6: ItemNote(); break;
    case 7: SaleReference(); break;
    case 9: MerchandiseDiscount(); break;
    case 13: LineDiscount(false); break;
    case 14: LineDiscount(true); break;
    case 15: SaleDiscountAmount(); break;
    case 16: SaleDiscountPercent(); break;
    case 21: ManualPrice(); break;
    case 23: PriceSearch(); break;
    case 24: StockSearch(); break;
    default: break;
    }
}

}  // namespace tarvo
