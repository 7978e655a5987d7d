#include "sale/product_entry.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/count_and_activity.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "sale/modes.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

// The default soft-key page (setting 480 holds its number).
KeyPage DefaultKeyPage() { return static_cast<KeyPage>(gSettings.gDefaultKeyPage); }

constexpr ControlId kCountCode{Control::Lbl_Phys_Code, 0};
constexpr ControlId kCountDescription{Control::Lbl_Phys_Desc, 0};
constexpr ControlId kCountQuantity{Control::Lbl_Phys_Quantity, 0};

// Quantities stay strictly inside this bound.
constexpr double kQuantityLimit = 99999;
// Width of the quantity and price fields of a saved sale line.
constexpr std::size_t kLineFieldWidth = 9;
// The price check's message and the stock figures stay up this long.
constexpr int kLookupSeconds = 15;

void Say(Message message, int seconds = 5) { CIATime(Msg(message), seconds); }

// A message on the message line and in the timed message panel.
void SayWithPanel(Message message) {
    Say(message);
    gReg.gTimedMessage = Msg(message);
    MessageWithTimerToEnd_Show();
}

std::string Field(std::string_view record, std::size_t column, std::size_t width) {
    return std::string(Mid(record, column, width));
}
std::string FieldTrimmed(std::string_view record, std::size_t column, std::size_t width) {
    return std::string(TrimRightView(Mid(record, column, width)));
}

// The price level 1-5 of the sale's client; any other level is taken as 1.
int PriceLevel() {
    const int level = gSale.gClientPriceLevel;
    return level >= 1 && level <= 5 ? level : 1;
}
// Price level `level` of a product record: 12 columns from 100 + 15 x (level - 1).
std::string_view PriceText(std::string_view record, int level) {
    return Mid(record, 100 + 15 * static_cast<std::size_t>(level - 1), 12);
}
std::optional<Money> PriceOf(std::string_view record, int level) { return Money::Parse(PriceText(record, level)); }

bool FitsLineField(const std::string& text) { return text.size() <= kLineFieldWidth; }

// Product record gProductRecNo into gProductRec; false when there is no such record.
bool ReadProduct() {
    DataState& d = gData;
    if (d.gProductRecNo < 1 || d.gProductRecNo > d.products.RecordCount()) return false;
    d.gProductRec = d.products.Read(d.gProductRecNo);
    return true;
}

// ---- lookups that add no line ------------------------------------------------------

void PriceDisplay(const std::string& record) {
    SaleState& s = gSale;
    const int level = PriceLevel();
    s.gPriceCheckText = Field(record, 60, 30);
    s.gPriceCheckPrice = PriceOf(record, level).value_or(Money()).Format("$####0.00");
    CIATime("Price = $" + std::string(PriceText(record, level)) + " " + Field(record, 60, 30), kLookupSeconds);
    s.gPriceSearch = false;
    Mode_Display();
    Devices().Customer_PriceChecker();
}

void StockDisplay(const std::string& record) {
    CIATime("Stk " + FieldTrimmed(record, 180, 10) + " Ord " + FieldTrimmed(record, 190, 10) + " " +
                Field(record, 200, 10) + " Loc: " + Field(record, 250, 14),
            kLookupSeconds);
    gSale.gStockSearch = false;
    Mode_Display();
}

void PriceChange(const std::string& record) {
    SaleState& s = gSale;
    ScreenModel& screen = Screen();
    s.gItemCount = 0;
    s.gOnlineProduct = FieldTrimmed(record, 1, 8);
    screen.SetCaption(kCountCode, std::string(ProductKeyOf(record)));
    screen.SetCaption(kCountDescription, FieldTrimmed(record, 60, 30));
    screen.SetCaption(kCountQuantity, PriceOf(record, 1).value_or(Money()).Format("$###,##0.00"));
    CIATime(Msg(Message::InputNewSellingPrice), 0);
    Mode_Display();
    screen.SetText(kEntryBox, "");
    Prompt().PromptInCIA_Show(15);
}

// ---- Receive PO and Pack Order: counting into a fetched order -----------------------------------

void SwapLines(int a, int b) {
    std::swap(gSale.gLines[static_cast<std::size_t>(a)], gSale.gLines[static_cast<std::size_t>(b)]);
}

void NotOnTheOrder() {
    SayWithPanel(Message::NotFound);
    Program().PlaySoundFile(1);
    gSale.gQuantity = 1;
}

void CountIntoFetchedOrder() {
    SaleState& s = gSale;
    double number = 0;
    if (ReadProduct()) number = Num_Val(Mid(gData.gProductRec, 1, 8));
    const auto whole = Num_ToInteger(number, -99999999, 999999999);
    const std::string product = std::to_string(whole.value_or(0));

    int line = 0;
    for (int i = 1; i <= s.gItemCount && i <= kMaxSaleLines; ++i) {
        if (s.gLines[i].product == product) {
            line = i;
            break;
        }
    }
    if (line == 0) {
        NotOnTheOrder();
        return;
    }
    if (s.gMode == RegisterMode::PackOrder &&
        s.gLines[line].quantity + s.gQuantity > Num_Val(s.gLines[line].taxFlags)) {
        NotOnTheOrder();
        return;
    }
    s.gLines[line].quantity += s.gQuantity;

    // Behind the lines already scanned.
    int target = line;
    bool scannedAbove = false;
    for (int j = line - 1; j >= 1; --j) {
        if (s.gLines[j].quantity != 0) {
            target = j + 1;
            scannedAbove = true;
            break;
        }
    }
    if (!scannedAbove && s.gLines[1].quantity == 0) target = 1;
    if (target != line) SwapLines(line, target);
    s.gTopLine = static_cast<std::int16_t>(target);

    Totals_Update();
    Receipt_Display();
    s.gQuantity = 1;
}

// ---- adding a line ----------------------------------------------------------------------

// Everything of the new line, worked out before anything changes.
struct PlannedLine {
    std::string product, key, description, department, taxFlags, note;
    double quantity = 0, priceUnits = 1;
    Money listPrice, unitPrice, extension;
    bool fromDepartmentPrice = false;  // consumes gDepartmentPrice
    bool fromManualPrice = false;      // consumes the manual price
};

// The line's quantity from the pending one and the modifiers.
double LineQuantity() {
    const SaleState& s = gSale;
    if (s.gVoidMode || s.gReturnMode) return s.gQuantity > 0 ? -s.gQuantity : -1;
    const double lower = s.gExchangeMode || s.gStockCount ? -kQuantityLimit : 0;
    double q = lower < s.gQuantity && s.gQuantity < kQuantityLimit ? s.gQuantity : 1;
    if (s.gExchangeMode) q = -q;
    return q;
}

// UnitPrice x Quantity / PriceUnits as an amount, rounded to cents by adding
// half a cent and taking the floor.
std::optional<Money> Extension(Money unitPrice, double quantity, double priceUnits) {
    const double x = unitPrice.ToDouble() * quantity / priceUnits;
    if (!std::isfinite(x)) return std::nullopt;
    auto amount = Money::FromDouble(x);
    if (!amount) return std::nullopt;
    return CentRoundUp(*amount);
}

// The new line from the product record; nullopt when a value does not fit.
std::optional<PlannedLine> PlanLine(const std::string& record) {
    const SaleState& s = gSale;
    PlannedLine l;
    l.product = FieldTrimmed(record, 1, 8);
    l.key = std::string(ProductKeyOf(record));
    l.description = FieldTrimmed(record, 60, 30);
    l.priceUnits = Num_Val(Mid(record, 175, 5));
    if (l.priceUnits == 0) l.priceUnits = 1;
    l.department = FieldTrimmed(record, 94, 6);
    l.quantity = LineQuantity();
    if (!std::isfinite(l.quantity) || std::fabs(l.quantity) >= kQuantityLimit) return std::nullopt;

    if (s.gStockCount) {
        auto level1 = PriceOf(record, 1);
        if (!level1) return std::nullopt;
        l.listPrice = *level1;
        l.unitPrice = CentRoundUp(*level1);
        auto extension = Extension(l.unitPrice, l.quantity, l.priceUnits);
        if (!extension) return std::nullopt;
        l.extension = *extension;
        return l;
    }

    std::optional<Money> list, unit;
    if (s.gLineKind != "P") {
        const std::string& entry = Screen().Text(kEntryBox);
        if (!entry.empty()) {
            list = unit = Money::Parse(entry);
            l.note = "Department";
        } else if (!s.gDepartmentPrice.empty()) {
            list = unit = Money::Parse(s.gDepartmentPrice);
            l.note = "Department";
            l.fromDepartmentPrice = true;
        } else {
            list = unit = Money();
        }
    } else if (gData.gManualPrice) {
        unit = gData.gManualPriceValue;
        list = PriceOf(record, 1);
        l.note = "Manual Price";
        l.fromManualPrice = true;
    } else {
        const int level = PriceLevel();
        list = unit = PriceOf(record, level);
        if (level >= 2) l.note = "Price " + std::to_string(level);
    }
    if (!list || !unit) return std::nullopt;
    l.listPrice = *list;
    l.unitPrice = CentRoundUp(*unit);

    for (std::size_t k = 1; k <= 3; ++k) {
        if (s.gTaxRate[k] == 0)
            l.taxFlags += ' ';
        else
            l.taxFlags += Mid(record, 89 + k, 1) == "1" ? 't' : 'n';
    }

    auto extension = Extension(l.unitPrice, l.quantity, l.priceUnits);
    if (!extension) return std::nullopt;
    l.extension = *extension;

    // The saved sale line keeps quantity and prices in 9 characters each.
    if (!FitsLineField(Num_Text(l.quantity)) || !FitsLineField(l.listPrice.Text()) ||
        !FitsLineField(l.unitPrice.Text()))
        return std::nullopt;
    return l;
}

// What a line that the totals refuse gives back.
struct Undo {
    std::int32_t itemCount = 0;
    std::int16_t topLine = 1;
    double quantity = 1;
    bool voidMode = false, manualPrice = false;
    Money manualPriceValue;
    std::string caseLetter, departmentPrice, scaleLineKind;
    std::int32_t scaleProductRecNo = 0, scaleRequestCount = -1;

    static Undo Take() {
        const SaleState& s = gSale;
        Undo u;
        u.itemCount = s.gItemCount;
        u.topLine = s.gTopLine;
        u.quantity = s.gQuantity;
        u.voidMode = s.gVoidMode;
        u.manualPrice = gData.gManualPrice;
        u.manualPriceValue = gData.gManualPriceValue;
        u.caseLetter = s.gCaseLetter;
        u.departmentPrice = s.gDepartmentPrice;
        u.scaleLineKind = s.gScaleLineKind;
        u.scaleProductRecNo = s.gScaleProductRecNo;
        u.scaleRequestCount = s.gScaleRequestCount;
        return u;
    }
    void Restore() const {
        SaleState& s = gSale;
        s.gItemCount = itemCount;
        s.gTopLine = topLine;
        s.gQuantity = quantity;
        s.gVoidMode = voidMode;
        gData.gManualPrice = manualPrice;
        gData.gManualPriceValue = manualPriceValue;
        s.gCaseLetter = caseLetter;
        s.gDepartmentPrice = departmentPrice;
        s.gScaleLineKind = scaleLineKind;
        s.gScaleProductRecNo = scaleProductRecNo;
        s.gScaleRequestCount = scaleRequestCount;
    }
};

// A product sold by weight asks the scale first; the weight brings it back
// here. True when the line waits for the scale or cannot have its weight.
bool WeightAsked(const std::string& record) {
    SaleState& s = gSale;
    if (Mid(record, 9, 1) != "S" || s.gVoidMode) return false;
    // A weight already given (the scale's, or a kit's quantity) needs no scale.
    const bool weightArrived = s.gScaleProductRecNo != 0 && s.gQuantity != 0 && s.gScaleRequestCount != -1;
    if (weightArrived) return false;
    if (gSettings.gScalePort < 1 || gSettings.gScalePort > 6) {
        Say(Message::UnableToOpenScaleCommunicationPort);
        return true;
    }
    s.gScaleProductRecNo = gData.gProductRecNo;
    s.gScaleRequestCount = s.gItemCount;
    s.gScaleLineKind = s.gLineKind;
    s.gQuantity = 0;
    Devices().Scale_Open(Product_Weighed);
    return true;
}

// The next line of the sale with the product and the quantity of `l`; no
// weight is pending any more. Gives the line's number.
int StartLine(const PlannedLine& l, bool kitComponent) {
    SaleState& s = gSale;
    s.gScaleProductRecNo = 0;
    s.gScaleRequestCount = -1;
    s.gScaleLineKind.clear();
    s.gCaseLetter.clear();
    const int n = ++s.gItemCount;
    SaleLine& line = s.gLines[static_cast<std::size_t>(n)];
    line.product = l.product;
    line.key = l.key;
    line.description = l.description;
    line.priceUnits = l.priceUnits;
    line.department = l.department;
    line.kitComponent = kitComponent;
    line.sourceIndex = 0;
    line.quantity = l.quantity;
    return n;
}

// Void mode ends with the line; the void check decides whether it stays.
bool VoidChecked() {
    SaleState& s = gSale;
    s.gVoidMode = false;
    Mode_Display();
    Screen().SetText(kMessageLine, "");
    Product_VerifyVoid();
    return s.gCheckResult != 0;
}

// Stock count: the line goes to the count file and the count panel instead
// of the sale.
void CountLine(SaleLine& line, const PlannedLine& l) {
    SaleState& s = gSale;
    line.listPrice = l.listPrice;
    line.unitPrice = l.unitPrice;
    line.extension = l.extension;
    s.gItemCount = 0;
    s.gQuantity = 1;
    if (Physical_Add(line.product, line.quantity) != PhysicalAddResult::Ok) {
        Say(Message::InvalidEntry);
        return;
    }
    ScreenModel& screen = Screen();
    screen.SetCaption(kCountCode, line.key);
    screen.SetCaption(kCountDescription, line.description);
    screen.SetCaption(kCountQuantity, Num_TextDisplay(line.quantity));
    Printing().Item_PrintLine();
}

// The line's prices, taxes and note; the department or manual price it was
// sold at is used up.
void PriceLine(SaleLine& line, const PlannedLine& l) {
    SaleState& s = gSale;
    line.hasNote = false;
    line.note = l.note;
    line.listPrice = l.listPrice;
    line.unitPrice = l.unitPrice;
    if (l.fromDepartmentPrice) s.gDepartmentPrice.clear();
    if (l.fromManualPrice) {
        gData.gManualPrice = false;
        Mode_Display();
    }
    line.taxFlags = l.taxFlags;
    line.extension = l.extension;
    s.gQuantity = 1;
}

// A sale's line n on the receipt, in sight, once the totals hold it; false
// when they cannot, and the sale is back to what it was.
bool SettleSaleLine(int n, const Undo& undo) {
    SaleState& s = gSale;
    if (n > s.gTopLine + 6) s.gTopLine = static_cast<std::int16_t>(n - 6);
    // The totals first, so that the grid shows the extension they settle on.
    if (!Totals_Update()) {
        undo.Restore();
        Receipt_Display();
        Mode_Display();
        return false;
    }
    Receipt_Display();
    return true;
}

// A purchase's line: the product's figures shown and the first question the
// settings ask, or the line taken as it is.
void AskPurchaseQuestions() {
    Inventory().Product_Display_Info();
    if (gSettings.gAskPurchaseCost)
        Inventory().Purchase_PromptCost();
    else if (gSettings.gAskPurchasePrice)
        Inventory().Purchase_PromptPrice();
    else if (gSettings.gAskPurchaseComment)
        Inventory().Purchase_PromptComment();
    else
        Inventory().Purchase_AddProduct();
}

void AddLine(const std::string& record, bool kitComponent) {
    SaleState& s = gSale;
    if (s.gItemCount >= kMaxSaleLines) {
        Say(Message::InvalidEntry);
        return;
    }
    if (WeightAsked(record)) return;

    const std::optional<PlannedLine> planned = PlanLine(record);
    if (!planned) {
        Say(Message::InvalidEntry);
        return;
    }
    const Undo undo = Undo::Take();
    const int n = StartLine(*planned, kitComponent);
    SaleLine& line = s.gLines[static_cast<std::size_t>(n)];
    if (s.gVoidMode && !VoidChecked()) return;
    if (s.gStockCount) {
        CountLine(line, *planned);
        return;
    }
    PriceLine(line, *planned);
    if (IsPurchaseMode(s.gMode))
        AskPurchaseQuestions();
    else if (!SettleSaleLine(n, undo))
        return;
    SaleEvents().Sale_LineAdded(n);
}

// After a department key found its product: the product is added and, when a
// line came of it, expanded as a kit.
void AddAndExpand() {
    SaleState& s = gSale;
    const int before = s.gItemCount;
    Product_Add();
    if (s.gItemCount <= before || s.gItemCount < 1) return;
    s.gKitCode = s.gLines[static_cast<std::size_t>(s.gItemCount)].key;
    Inventory().Kit_Processing();
}

}  // namespace

void Product_Add() {
    SaleState& s = gSale;
    const bool kitComponent = std::exchange(s.gNextLineKitComponent, false);

    if (gReg.gKeyPage == KeyPage::Payment) {
        if (gSettings.gNoItemsOnPaymentPage) return;
        Department_SetDefaultKey();
    }
    if (IsFetchedOrderMode(s.gMode)) {
        CountIntoFetchedOrder();
        return;
    }
    if (s.gItemCount == 0) {
        const RegisterMode mode = s.gMode;
        if (mode == RegisterMode::Sales && DefaultKeyPage() == KeyPage::Extras) return;
        if ((mode == RegisterMode::OrderEntry || mode == RegisterMode::Training || mode == RegisterMode::Sales) &&
            gData.gClientRecNo == 0 && gData.gNewClientRecNo == 0) {
            Say(Message::BeginByFirstEnteringAClient);
            return;
        }
        if (IsPurchaseMode(mode) && s.gPurchaseVendor.empty()) {
            Say(Message::NoVendorInformationAvailable);
            return;
        }
        Greeting_Hide();
    }
    if (gReg.gReceiptAreaContent != ReceiptAreaContent::Grid) Receipt_Show();
    if (s.gItemCount == 0 && s.gVoidMode) return;
    // A product entered at this register alone has no product record to sell from.
    if (!ReadProduct()) {
        Say(Message::NotFound);
        return;
    }
    const std::string record = gData.gProductRec;

    if (s.gPriceSearch || s.gMode == RegisterMode::PriceChecker)
        PriceDisplay(record);
    else if (s.gMode == RegisterMode::ChangePrice)
        PriceChange(record);
    else if (s.gStockSearch)
        StockDisplay(record);
    else
        AddLine(record, kitComponent);
}

bool Product_AddWeighed(double weight) {
    SaleState& s = gSale;
    const bool pending = s.gScaleProductRecNo != 0 && s.gScaleRequestCount != -1 &&
                         s.gScaleRequestCount >= s.gItemCount;
    if (!pending) return false;
    if (!(weight > 0)) {
        s.gScaleRequestCount = -1;
        Say(Message::ScaleIsAtZeroTryAgain);
        return false;
    }
    const int before = s.gItemCount;
    const double quantityBefore = s.gQuantity;
    gData.gProductRecNo = s.gScaleProductRecNo;
    s.gLineKind = s.gScaleLineKind;
    s.gQuantity = weight;
    Product_Add();
    const bool added = s.gItemCount > before;
    if (!added) s.gQuantity = quantityBefore;
    s.gScaleProductRecNo = 0;
    s.gScaleRequestCount = -1;
    s.gScaleLineKind.clear();
    return added;
}

bool Product_Weighed(double weight) {
    SaleState& s = gSale;
    if (!Product_AddWeighed(weight)) return false;
    s.gKitCode = s.gLines[static_cast<std::size_t>(s.gItemCount)].key;
    Inventory().Kit_Processing();
    return true;
}

void Product_VerifyVoid() {
    SaleState& s = gSale;
    const int n = s.gItemCount;
    s.gCheckResult = 0;
    for (int i = 1; i < n; ++i) {
        if (s.gLines[i].product == s.gLines[n].product && s.gLines[i].quantity > 0) {
            ++s.gCheckResult;
            break;
        }
    }
    for (int i = 1; i < n; ++i) {
        if (s.gLines[i].product == s.gLines[n].product && s.gLines[i].quantity < 0) {
            --s.gCheckResult;
            break;
        }
    }
    if (s.gCheckResult == 0) {
        s.gItemCount = n - 1;
        Say(Message::VoidModeCancelled);
    }
}

void Department_Process(int index) {
    if (index < 0 || index > 400) return;
    SaleState& s = gSale;
    const DepartmentKey& key = gSettings.Departments[static_cast<std::size_t>(index)];
    s.gLineKind = key.KeyKind;

    auto find = [&] {
        const std::string code = s.gCaseLetter + key.Target;
        s.gCaseLetter.clear();
        const std::optional<ProductMatch> found = Product_Find(code);
        Product_SetCurrent(code, found);
        return found.has_value();
    };

    if (key.KeyKind == "P") {
        if (!find()) {
            SayWithPanel(Message::NotFound);
            return;
        }
        AddAndExpand();
    } else if (key.KeyKind == "D") {
        const std::string entry = Screen().Text(kEntryBox);
        if (entry.empty()) {
            Say(Message::InvalidEntry);
            return;
        }
        if (!find()) {
            Say(Message::NotFound);
            s.gPriceSearch = false;
            s.gStockSearch = false;
            gReg.gTimedMessage = Msg(Message::NotFound);
            MessageWithTimerToEnd_Show();
            Mode_Display();
            return;
        }
        s.gDepartmentPrice = entry;
        AddAndExpand();
    }
}

void Department_SetDefaultKey() {
    const KeyPage page = DefaultKeyPage();
    if (const int department = DepartmentNumber(page); department != 0) {
        RegisterKeys().BDep_Click(department);
        return;
    }
    switch (page) {
    case KeyPage::System: RegisterKeys().BSys_Click(1); break;
    case KeyPage::Extras: RegisterKeys().BSys_Click(3); break;
    case KeyPage::Print: RegisterKeys().BSys_Click(4); break;
    case KeyPage::Sales: RegisterKeys().BSys_Click(6); break;
    case KeyPage::Special: RegisterKeys().BSys_Click(5); break;
    case KeyPage::Mode: RegisterKeys().BSys_Click(2); break;
    default: RegisterKeys().BDep_Click(1); break;
    }
}

void Department_ClearButtons() {
    for (int k = 1; k <= 24; ++k) Screen().SetCaption(SoftKey(k), "");
}

void Scale_Timer_Timer() {
    Reg().timers->Stop(TimerId::Scale);
    SaleState& s = gSale;
    if (s.gScaleProductRecNo == 0) return;
    if (s.gScaleRequestCount < s.gItemCount) {
        // A line was added while waiting: stop listening to the scale.
        Devices().Scale_Close();
        return;
    }
    s.gScaleProductRecNo = 0;
    s.gScaleRequestCount = -1;
    s.gScaleLineKind.clear();
    if (s.gQuantity == 0) s.gQuantity = 1;  // the request had set it aside for the weight
    Devices().Scale_Close();
    SayWithPanel(Message::ErrorNoResponseFromScale);
}

void ScaleTimer_Connect() { Reg().timers->SetHandler(TimerId::Scale, Scale_Timer_Timer); }

void Aux_Product() {
    gData.gSearchText = Screen().Text(kEntryBox);
    AuxProduct_Search();
    DEA_Reset();
    if (gData.gSearchFirst != 0 && gData.gSearchLast != 0)
        Forms().SearchForm_Show(SearchFormSetup{1, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10});
}

}  // namespace tarvo
