#include "sale/tenders.h"

#include <optional>
#include <string>
#include <string_view>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "sale/sale_save.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

TenderState gTender;

namespace {

constexpr const char* kAmountPattern = "$###,##0.00";
constexpr int kTenderSlots = 10;
constexpr int kCreditCode = 24;
constexpr const char* kCrLf = "\r\n";

ControlId Title(int row) { return ControlId{Control::Tr_Title, row}; }
ControlId Amount(int row) { return ControlId{Control::Tr_Amount, row}; }

const PaymentType& TypeAt(int index) { return gSettings.PaymentTypes[static_cast<std::size_t>(index)]; }

// "Name1 Name2" with the trailing blanks removed.
std::string TypeName(const PaymentType& t) { return std::string(TrimRightView(t.Name1 + " " + t.Name2)); }

bool IsChangeModeOne(const PaymentType& t) { return Num_Val(t.ChangeMode) == 1; }

// Two type codes are the same numerically when both are numbers, else as text.
bool SameCode(const std::string& a, const std::string& b) {
    const std::optional<double> x = Num_ReadStrict(a), y = Num_ReadStrict(b);
    if (x && y) return *x == *y;
    return a == b;
}

bool CodeListed(const std::string& code) {
    for (int j = 1; j <= gTender.gPaymentListCount; ++j)
        if (gTender.gPaymentListCode[static_cast<std::size_t>(j)] == code) return true;
    return false;
}

void ListAdd(const std::string& code, const std::string& name, bool drawer) {
    TenderState& t = gTender;
    const auto k = static_cast<std::size_t>(++t.gPaymentListCount);
    t.gPaymentListCode[k] = code;
    t.gPaymentListName[k] = name;
    t.gPaymentListDrawer[k] = drawer;
}

// A new tender slot, every field empty.
void Slot_Clear(int n) { gSale.gPayments[static_cast<std::size_t>(n)] = SalePayment{}; }

// The tender list emptied, unless a card is posted in the sale.
void Tenders_Clear() {
    SaleState& s = gSale;
    if (s.gCardInSale) return;
    s.gPaymentCount = 0;
    s.gTenderLinesAdded = false;
    // The card fields stay: a slot is cleared whole when it is taken again.
    for (int i = 1; i <= kTenderSlots; ++i) {
        SalePayment& p = s.gPayments[static_cast<std::size_t>(i)];
        p.type.clear();
        p.description.clear();
        p.reference.clear();
        p.amount = Money();
    }
    for (int row = 7; row <= 9; ++row) {
        Screen().SetText(Title(row), "");
        Screen().SetText(Amount(row), "");
    }
}

// The end of every tender key: the tenders shown, the Total key refreshed,
// the payment reference asked for when the type wants one.
void Tender_Finish(int index) {
    Payment_Display();
    Total_Activate();
    if (TypeAt(index).PromptReference == "1") {
        CIATime(Msg(Message::EnterPaymentReferenceInformation), 0);
        Screen().SetText(kEntryBox, "");
        Prompt().PromptInCIA_Show(8);
    }
    DEA_Reset();
}

// Name of the first payment type whose code is `changeType`, else "Change".
std::string ChangeLineName(const std::string& changeType) {
    for (int j = 1; j <= kMaxPaymentListEntries; ++j) {
        const PaymentType& t = TypeAt(j);
        if (Trim(t.Number).empty()) continue;
        if (t.CardType == changeType) return TypeName(t);
    }
    return "Change";
}

// Adds an automatic line (exchange or change) as tender count + 1.
void AutoLine_Add(const std::string& type, const std::string& description, Money amount) {
    SaleState& s = gSale;
    const int m = ++s.gPaymentCount;
    Slot_Clear(m);
    SalePayment& p = s.gPayments[static_cast<std::size_t>(m)];
    p.type = type;
    p.description = description;
    p.amount = amount;
    s.gTenderLinesAdded = true;
}

void ChangeRow_Show(Money amount) {
    const std::string t = amount.Format(kAmountPattern);
    Screen().SetText(Amount(10), t);
    CIATime(Msg(Message::Change) + " " + t, 0);
}

bool NoTenderMode(const SaleState& s) {
    if (s.gMode == RegisterMode::OrderEntry && s.gOrderKind == "2") return true;
    switch (s.gMode) {
    case RegisterMode::PurchaseOrder:
    case RegisterMode::Purchase:
    case RegisterMode::Adjustment:
    case RegisterMode::ReceivePO:
    case RegisterMode::NewPurchaseOrder:
    case RegisterMode::PackOrder: return true;
    default: return false;
    }
}

}  // namespace

void Payment_Setup() {
    TenderState& t = gTender;
    const bool posting = t.gCardPosting;
    t = TenderState{};
    t.gCardPosting = posting;
    // The types fill at most 22 entries so that "Sales on Credit" always fits.
    constexpr int kTypeEntries = kMaxPaymentListEntries - 1;
    bool full = false;
    auto add = [&](int type, const std::string& code, const std::string& name, bool drawer) {
        if (t.gPaymentListCount >= kTypeEntries) {
            if (!full)
                ProgramLog().Write(1, "Payment list full at " + std::to_string(kMaxPaymentListEntries) +
                                          " entries: payment type " + std::to_string(type) + " and later not listed");
            full = true;
            return;
        }
        ListAdd(code, name, drawer);
    };
    for (int i = 1; i <= kMaxPaymentListEntries; ++i) {
        const PaymentType& p = TypeAt(i);
        if (Trim(p.Number).empty()) continue;
        add(i, p.CardType, TypeName(p), p.Active == "1");
        if (p.ChangeMode == "1" && !CodeListed(p.Code)) add(i, p.Code, Msg(Message::Exchange), false);
    }
    ListAdd(std::to_string(kCreditCode), Msg(Message::SalesOnCredit), false);
}

void PaymentButtons_Show() {
    Prompt().Caption_Reset();
    ScreenModel& screen = Screen();
    const std::uint32_t colour = ColourValue(gSettings.gPaymentKeyColour);
    for (int k = 1; k <= 24; ++k) {
        screen.SetBackColour(SoftKey(k), colour);
        screen.SetCaption(SoftKey(k), "");
    }
    for (int i = 1; i <= 24; ++i) {
        const double n = Num_Val(TypeAt(i).Number);
        if (!(n > 0)) continue;
        const auto key = Num_ToInteger(n, 1, 24);
        if (!key) continue;
        const PaymentType& t = TypeAt(static_cast<int>(*key));
        screen.SetCaption(SoftKey(static_cast<int>(*key)), t.Name1 + kCrLf + t.Name2);
    }
    for (int k = 1; k <= 24; ++k) screen.SetEnabled(SoftKey(k), !Trim(screen.Caption(SoftKey(k))).empty());
    screen.SetEnabled(SoftKey(24), true);
}

namespace {

// The amount a tender of `type` takes: what was typed, or the type's fixed
// amount, or the balance, as the type's change mode allows. A typed refund
// shows its sign in the entry box.
Money Tender_Amount(const PaymentType& type, const std::optional<Money>& typed, const std::string& entry, bool refund,
                    Money balance) {
    const bool asIs = Num_Val(type.AmountAsIs) != 0;
    const bool modeOne = IsChangeModeOne(type);
    Money amount;
    if (typed) {
        Money v = *typed;
        if (refund && v > Money()) {
            v = -v;
            Screen().SetText(kEntryBox, "-" + entry);
        }
        if (asIs || (refund ? v >= balance : v < balance))
            amount = v;
        else
            amount = (Trim(type.ChangeMode).empty() || modeOne) ? v : balance;
    } else {
        const Money fixed = type.Amount;
        if (fixed.IsZero())
            amount = balance;
        else if (asIs)
            amount = refund ? -fixed : fixed;
        else if (refund ? fixed >= balance : fixed < balance)
            amount = fixed;
        else
            amount = modeOne ? fixed : balance;
    }
    return amount;
}

// A change-mode-one tender: the exchange line at the type's rate and the
// change line for what it pays over the balance. False when the tender was
// finished here (no room for the lines, a rate out of range).
bool ChangeModeLines_Add(int index, const PaymentType& type, Money amount, Money balance, bool refund) {
    SaleState& s = gSale;
    Money exchange;
    if (type.Rate != 0) {
        if (s.gPaymentCount == kMaxTenders) {
            Tenders_Clear();
            Tender_Finish(index);
            return false;
        }
        const std::optional<Money> product = Money::FromDouble(amount.ToDouble() * type.Rate);
        if (!product) {
            // A rate that takes the amount out of range: the tender is not taken.
            --s.gPaymentCount;
            CIATime(Msg(Message::InvalidEntry), 5);
            Tender_Finish(index);
            return false;
        }
        exchange = CentRoundUpWith(*product, Money::FromRaw(10));
        AutoLine_Add(type.Code, "Exchange", exchange);
    }
    const Money newBalance = CentRoundUpWith(balance - amount - exchange, Money::FromRaw(10));
    if (refund ? newBalance > Money() : newBalance < Money()) {
        if (s.gPaymentCount == kMaxTenders) {
            Tenders_Clear();
            Tender_Finish(index);
            return false;
        }
        AutoLine_Add(type.ChangeType, ChangeLineName(type.ChangeType), newBalance);
    }
    return true;
}

}  // namespace

void Payment_Process(int index) {
    if (index < 1 || index > 24) return;
    SaleState& s = gSale;
    const PaymentType& type = TypeAt(index);

    if (NoTenderMode(s)) {
        DEA_Reset();
        return;
    }
    if (gReg.gReceiptAreaContent != ReceiptAreaContent::Totals) {
        Summary_Show();
        Tenders_Clear();
        Tender_Finish(index);
        return;
    }
    // Key 24 removes the last tender (never a card); after an automatic line
    // the whole list goes.
    if (index == 24) {
        const int n = s.gPaymentCount;
        if (n >= 1 && s.gPayments[static_cast<std::size_t>(n)].entryKind == 0 && !s.gCardInSale) {
            if (s.gTenderLinesAdded) {
                s.gPaymentCount = 0;
                s.gTenderLinesAdded = false;
            } else {
                --s.gPaymentCount;
            }
        }
        Tender_Finish(index);
        return;
    }
    // The keyed-card key.
    if (gSettings.gCardEnabled && index == 23) {
        if (!s.gBalanceDue.IsZero()) {
            if (!s.gCardInSale) {
                Screen().SetText(kEntryBox, "");
                Prompt().Credit_Card_PromptCardNumber();
            } else {
                Cards().Credit_Card_Display_Response(9);
            }
        }
        return;
    }
    if (s.gMode == RegisterMode::OrderEntry && s.gOrderKind == "1" && s.gTotal >= Money() && Num_Val(s.gDocType) == 1 &&
        Num_Val(gSettings.gOrderMinPaidPercent) < 0) {
        Tenders_Clear();
        Tender_Finish(index);
        return;
    }
    s.gRefund = s.gTotal < Money();
    const bool refund = s.gRefund;
    if (s.gBalanceDue.IsZero() && (refund ? s.gPaid <= s.gTotal : s.gPaid >= s.gTotal)) return;

    const std::string entry = Screen().Text(kEntryBox);
    std::optional<Money> typed;
    if (!entry.empty()) {
        typed = Money::Parse(entry);
        if (!typed || Num_Val(entry) > 100000) {
            DEA_Reset();
            CIATime(Msg(Message::InvalidEntry), 5);
            return;
        }
    }
    if (s.gPaymentCount >= kMaxTenders) {
        Tenders_Clear();
        Tender_Finish(index);
        return;
    }
    // A card paid on the card terminal: the card dialogue asks for the amount
    // and posts the tender itself later.
    if (gSettings.gCardBackend == CardBackend::Terminal && gSettings.gCardEnabled && type.CardType == "2" &&
        !gTender.gCardPosting) {
        if (!s.gTotal.IsZero() && s.gItemCount > 0) {
            if (!s.gCardInSale) {
                Prompt().Credit_Card_PromptAmount();
                gReg.gCardAmountPending = true;
            } else {
                Cards().Credit_Card_Display_Response(9);
            }
        }
        return;
    }

    gTender.gCardPosting = false;
    const Money balance = s.gBalanceDue;
    const int n = ++s.gPaymentCount;
    const auto nk = static_cast<std::size_t>(n);
    Slot_Clear(n);
    s.gPayments[nk].type = type.CardType;
    Payment_GetDescription();

    const Money amount = Tender_Amount(type, typed, entry, refund, balance);
    s.gPayments[nk].amount = amount;

    if (IsChangeModeOne(type) && !ChangeModeLines_Add(index, type, amount, balance, refund)) return;
    Tender_Finish(index);
}

void Payment_GetDescription() {
    SaleState& s = gSale;
    if (s.gPaymentCount < 1) return;
    const auto n = static_cast<std::size_t>(s.gPaymentCount);
    s.gPayments[n].description.clear();
    for (int j = 1; j <= gTender.gPaymentListCount; ++j) {
        const auto k = static_cast<std::size_t>(j);
        if (SameCode(gTender.gPaymentListCode[k], s.gPayments[n].type)) {
            s.gPayments[n].description = gTender.gPaymentListName[k];
            return;
        }
    }
}

void Payment_Display() {
    const SaleState& s = gSale;
    ScreenModel& screen = Screen();
    for (int i = 1; i <= kMaxTenders; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (i <= s.gPaymentCount) {
            screen.SetText(Amount(i + 6), s.gPayments[k].amount.Format(kAmountPattern));
            screen.SetText(Title(i + 6), s.gPayments[k].description + " ");
        } else {
            screen.SetText(Amount(i + 6), "");
            screen.SetText(Title(i + 6), "");
        }
    }
    Change_Display();
}

void Change_Display() {
    SaleState& s = gSale;
    s.gPaid = Money();
    for (int i = 1; i <= s.gPaymentCount; ++i)
        s.gPaid = CentRoundUp(s.gPaid + s.gPayments[static_cast<std::size_t>(i)].amount);
    const bool settled = s.gTotal >= Money() ? s.gPaid >= s.gTotal : s.gPaid <= s.gTotal;
    if (settled) {
        s.gChange = CentRoundUp(s.gPaid - s.gTotal);
        s.gBalanceDue = Money();
    } else {
        s.gBalanceDue = CentRoundUp(s.gTotal - s.gPaid);
        s.gChange = Money();
    }
    Invoice_Status();

    ScreenModel& screen = Screen();
    const Money last = s.gPaymentCount >= 1 ? s.gPayments[static_cast<std::size_t>(s.gPaymentCount)].amount : Money();
    if (!s.gChange.IsZero()) {
        ChangeRow_Show(s.gChange);
    } else if (last < Money() && s.gTotal > Money()) {
        ChangeRow_Show(-last);
    } else {
        screen.SetText(Amount(10), "");
        screen.SetText(kMessageLine, "");
    }
    screen.SetText(Amount(11), s.gBalanceDue.IsZero() ? "" : s.gBalanceDue.Format(kAmountPattern));
    Devices().Customer_Total();
}

void Invoice_Status() {
    SaleState& s = gSale;
    const bool settled = s.gTotal >= Money() ? s.gPaid >= s.gTotal : s.gPaid <= s.gTotal;
    const char status = settled ? '4' : s.gPaid.IsZero() ? '1' : '2';
    s.gInvoiceStatus.assign(1, status);
}

void Payment_SetReference(const std::string& reference) {
    SaleState& s = gSale;
    if (s.gPaymentCount < 1) return;
    s.gPayments[static_cast<std::size_t>(s.gPaymentCount)].reference = reference;
}

}  // namespace tarvo
