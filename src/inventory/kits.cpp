#include "inventory/kits.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "sale/product_entry.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"

namespace tarvo {

KitState gKits;

namespace {

// What product entry accepts: a quantity strictly inside this bound that the
// 9-character quantity field of a saved sale line can hold.
constexpr double kQuantityLimit = 99999;
constexpr std::size_t kQuantityWidth = 9;
constexpr int kMessageSeconds = 5;

void Log(const std::string& text) { ProgramLog().Write(1, "Kit_Processing: " + text); }

std::string_view HeaderKey(std::string_view record) { return TrimRightView(Mid(record, 1, 20)); }
std::string_view LineKey(std::string_view record) { return TrimRightView(Mid(record, 1, 10)); }

// The kit master record of product `code`; 0 when it has none.
std::int32_t FindKitHeader(const std::string& code) {
    const WorkFile& f = gData.kitHeaders;
    std::int32_t lo = 1, hi = gData.gKitCount;
    while (lo <= hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        const int c = std::string_view(code).compare(HeaderKey(f.View(mid)));
        if (c == 0) return mid;
        if (c < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return 0;
}

// The first kit line of kit `number` (six-digit form); 0 when the kit has
// none. The lowest match, so that a kit is always walked from its first line.
std::int32_t FirstKitLine(const std::string& number) {
    const WorkFile& f = gData.kitLines;
    std::int32_t lo = 1, hi = gData.gKitLineCount + 1;  // the first line not below `number` is in [lo, hi)
    while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        if (LineKey(f.View(mid)) < std::string_view(number))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo > gData.gKitLineCount || LineKey(f.View(lo)) != number) return 0;
    return lo;
}

// The sale's inputs of product entry that the expansion sets for each
// component (the current product and its price among them): given back as
// they were when it ends, so the kit stays the sale's current product and a
// refused component leaves nothing behind for the cashier's next entry.
struct EntryInputs {
    double quantity = 1;
    bool voidMode = false, nextLineKitComponent = false;
    std::string lineKind, scaleLineKind;
    std::int32_t scaleProductRecNo = 0, scaleRequestCount = -1;
    std::int32_t productRecNo = 0, newProductRecNo = 0;
    std::string productKey, productRec;
    bool manualPrice = false;
    Money manualPriceValue;

    static EntryInputs Take() {
        const SaleState& s = gSale;
        const DataState& d = gData;
        EntryInputs e;
        e.productRecNo = d.gProductRecNo;
        e.newProductRecNo = d.gNewProductRecNo;
        e.productKey = d.gProductKey;
        e.productRec = d.gProductRec;
        e.manualPrice = d.gManualPrice;
        e.manualPriceValue = d.gManualPriceValue;
        e.quantity = s.gQuantity;
        e.voidMode = s.gVoidMode;
        e.nextLineKitComponent = s.gNextLineKitComponent;
        e.lineKind = s.gLineKind;
        e.scaleLineKind = s.gScaleLineKind;
        e.scaleProductRecNo = s.gScaleProductRecNo;
        e.scaleRequestCount = s.gScaleRequestCount;
        return e;
    }
    void Restore() const {
        SaleState& s = gSale;
        DataState& d = gData;
        d.gProductRecNo = productRecNo;
        d.gNewProductRecNo = newProductRecNo;
        d.gProductKey = productKey;
        d.gProductRec = productRec;
        d.gManualPrice = manualPrice;
        d.gManualPriceValue = manualPriceValue;
        s.gQuantity = quantity;
        s.gVoidMode = voidMode;
        s.gNextLineKitComponent = nextLineKitComponent;
        s.gLineKind = lineKind;
        s.gScaleLineKind = scaleLineKind;
        s.gScaleProductRecNo = scaleProductRecNo;
        s.gScaleRequestCount = scaleRequestCount;
    }
};

bool QuantityFits(double quantity) {
    const double size = std::fabs(quantity);
    return std::isfinite(size) && size > 0 && size < kQuantityLimit && Num_Text(quantity).size() <= kQuantityWidth;
}

void SayOutOfRange(const std::string& key, double quantity) {
    const std::string text = TextLanguage(gSettings) == 2 ? "Quantit\xE9 de l'Ensemble Hors Limites: "
                                                          : "Kit Quantity Out of Range: ";
    CIATime(text + key + " x " + Num_TextDisplay(quantity), kMessageSeconds);
}

// Sets product entry's quantity inputs so that the component's line holds
// `lineQuantity` whatever the mode makes of it: return and exchange mode turn
// the pending quantity negative themselves, a void line takes it positive.
void SetPendingQuantity(double lineQuantity, bool voided) {
    SaleState& s = gSale;
    s.gVoidMode = false;
    if (s.gExchangeMode) {
        s.gQuantity = -lineQuantity;
    } else if (s.gReturnMode) {
        s.gQuantity = std::fabs(lineQuantity);
    } else if (voided) {
        s.gVoidMode = true;
        s.gQuantity = std::fabs(lineQuantity);
    } else {
        s.gQuantity = lineQuantity;
    }
}

void SayNotWhole(const std::string& code) {
    const std::string text = TextLanguage(gSettings) == 2
                                 ? "Ensemble Impossible \xE0 Ajouter en Entier (400 Lignes au Plus): "
                                 : "Kit Could Not Be Added Whole (400 Lines at Most): ";
    CIATime(text + code + (TextLanguage(gSettings) == 2 ? " Non Ajout\xE9" : " Not Added"), kMessageSeconds);
}

// The kit's own line, the last of the sale, taken out again with what it
// added to the totals and the receipt.
void TakeBackKitLine(int kitLine) {
    SaleState& s = gSale;
    s.gLines[static_cast<std::size_t>(kitLine)] = SaleLine{};
    s.gItemCount = kitLine - 1;
    if (s.gTopLine > std::max(1, s.gItemCount - 6))
        s.gTopLine = static_cast<std::int16_t>(std::max(1, s.gItemCount - 6));
    if (s.gItemCount == 0) Screen().SetEnabled(kPaymentKey, false);
    Totals_Update();
    Receipt_Display();
}

}  // namespace

std::string Kit_LineNumber(std::string_view kitNumber) {
    const std::string padded = "000000" + Trim(kitNumber);
    return std::string(TrimRightView(std::string_view(padded).substr(padded.size() - 6)));
}

namespace {

// A component the kit adds, looked over before any is added: a kit goes into
// the sale whole or not at all.
struct KitComponent {
    std::string key, price;
    double lineQuantity = 0;
};

// The components of kit `number` from its first line record `k` on, each
// line's quantity taken `multiplier` times (negative for a voided kit); the
// ones that cannot be added are logged and left out.
std::vector<KitComponent> KitComponents_Collect(const std::string& code, const std::string& number, std::int32_t k,
                                                double multiplier, bool voided) {
    const SaleState& s = gSale;
    std::vector<KitComponent> components;
    for (; k <= gData.gKitLineCount; ++k) {
        const std::string record(gData.kitLines.View(k));
        if (LineKey(record) != number) break;
        const std::string key(TrimRightView(Mid(record, 11, 20)));

        const std::optional<double> perKit = Num_ReadStrict(Mid(record, 31, 10));
        if (!perKit || !(*perKit > 0)) {
            Log("kit " + code + ", component " + key + ": quantity \"" + Trim(Mid(record, 31, 10)) +
                "\" is not a positive number, skipped");
            continue;
        }
        // The component's line follows the kit line's sign: negative for a
        // voided, returned or exchanged kit.
        const double lineQuantity = voided || s.gReturnMode ? -*perKit * std::fabs(multiplier) : *perKit * multiplier;
        if (!QuantityFits(lineQuantity)) {
            SayOutOfRange(key, lineQuantity);
            Log("kit " + code + ", component " + key + ": quantity " + Num_Text(lineQuantity) +
                " out of range, not added");
            continue;
        }
        // A component key carries no price; the look-up leaves the sale's
        // current product (the kit) as it is.
        const std::optional<ProductMatch> found = Product_Find(key);
        if (!found || found->recNo == 0) {
            Log("kit " + code + ", component " + key + " is not in the product file, skipped");
            continue;
        }
        components.push_back({key, std::string(Mid(record, 41, 8)), lineQuantity});
    }
    return components;
}

// Adds the components through product entry, each as the product entry
// adds, priced as the kit's type says.
void KitComponents_Add(const std::string& code, const std::vector<KitComponent>& components, int kitType, bool voided,
                       const EntryInputs& before) {
    SaleState& s = gSale;
    for (const KitComponent& c : components) {
        const std::optional<ProductMatch> found = Product_Find(c.key);
        if (!found || found->recNo == 0) continue;
        if (s.gItemCount >= kMaxSaleLines) {
            Log("kit " + code + ": the sale is full, components from " + c.key + " on not added");
            CIATime(Msg(Message::InvalidEntry), kMessageSeconds);
            break;
        }

        // The component becomes the product entry adds.
        Product_SetCurrent(c.key, found);
        s.gLineKind = "P";
        SetPendingQuantity(c.lineQuantity, voided);
        gData.gManualPrice = kitType != 1;
        gData.gManualPriceValue = kitType == 4 ? Money::Parse(c.price).value_or(Money()) : Money();
        s.gNextLineKitComponent = kitType == 3;
        if (Mid(gData.gProductRec, 9, 1) == "S" && !s.gVoidMode) {
            // A weighed component takes its kit quantity as its weight: the
            // scale is not asked.
            s.gScaleProductRecNo = gData.gProductRecNo;
            s.gScaleRequestCount = s.gItemCount;
            s.gScaleLineKind = "P";
        }
        const int lines = s.gItemCount;
        Product_Add();
        if (s.gItemCount <= lines) Log("kit " + code + ", component " + c.key + " refused by product entry");
        s.gScaleProductRecNo = before.scaleProductRecNo;
        s.gScaleRequestCount = before.scaleRequestCount;
        s.gScaleLineKind = before.scaleLineKind;
    }
}

}  // namespace

void Kit_Processing() {
    SaleState& s = gSale;
    gKits.gKitRecNo = 0;
    // The code names the line just added; used up here so that it never
    // serves twice.
    const std::string code = std::exchange(s.gKitCode, std::string());
    if (code.empty() || s.gItemCount < 1 || s.gItemCount > kMaxSaleLines) return;
    const int kitLine = s.gItemCount;
    if (s.gLines[static_cast<std::size_t>(kitLine)].key != code) return;
    if (IsPurchaseMode(s.gMode)) return;  // a purchase receives the kit product itself

    const std::int32_t header = FindKitHeader(code);
    if (header == 0) return;
    const std::string_view headerRec = gData.kitHeaders.View(header);
    const double type = Num_Val(Mid(headerRec, 31, 1));
    if (type < 1 || type > 4) return;
    gKits.gKitRecNo = header;
    const int kitType = static_cast<int>(type);
    const std::string number = Kit_LineNumber(TrimRightView(Mid(headerRec, 21, 10)));
    const std::int32_t k = FirstKitLine(number);
    if (k == 0) return;

    // Taken once: each component added becomes the last line.
    const double multiplier = s.gLines[static_cast<std::size_t>(kitLine)].quantity;
    const bool voided = multiplier < 0 && !s.gReturnMode && !s.gExchangeMode;
    const EntryInputs before = EntryInputs::Take();

    const std::vector<KitComponent> components = KitComponents_Collect(code, number, k, multiplier, voided);
    if (static_cast<std::size_t>(kMaxSaleLines - s.gItemCount) < components.size()) {
        Log("kit " + code + ": its " + std::to_string(components.size()) + " components need " +
            std::to_string(components.size()) + " lines, the sale has " + std::to_string(kMaxSaleLines - s.gItemCount) +
            " left; the kit is not added");
        TakeBackKitLine(kitLine);
        SayNotWhole(code);
        before.Restore();
        return;
    }
    KitComponents_Add(code, components, kitType, voided, before);
    before.Restore();
}

}  // namespace tarvo
