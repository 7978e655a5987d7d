#include "register/prompt_line.h"

#include <optional>
#include <string>

#include "backoffice/online_state.h"
#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "inventory/adjustments.h"
#include "inventory/purchases.h"
#include "online/price_change.h"
#include "online/shipping_export.h"
#include "print/printer_output.h"
#include "register/total_key.h"
#include "sale/clients.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr ControlId kCancelKey{Control::BReg, 3};
constexpr ControlId kClockKey{Control::BOp, 3};
constexpr ControlId kScrollKeys[] = {{Control::Rt_Up, 0}, {Control::RT_Down, 0}};

// A purchase line's note holds 21 characters, a tender's reference 20.
constexpr std::size_t kNoteLength = 21;
constexpr std::size_t kReferenceLength = 20;

// With the keyboard hints on, the register keys keep their captions.
bool KeyHints() { return gSettings.gKeyboardHints != 0; }

void Say(Message message) { CIATime(Msg(message), 5); }
void ClearEntry() { Screen().SetText(kEntryBox, ""); }
void ClearMessageLine() { Screen().SetText(kMessageLine, ""); }

// A money answer must be one plain decimal number (sign, digits, at most one
// point, blanks around it): "1,234.50", "1.2.3" or "12abc" are refused, never
// read as far as they look like a number. The cash office reads its amounts
// by the same rule.
std::optional<Money> PlainAmount(const std::string& text) { return PlainAmount_Read(text); }

// An expiry MMYY: four digits, the month 01 to 12, any year.
bool ValidExpiry(const std::string& text) {
    if (text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const std::string month = text.substr(0, 2);
    return month >= "01" && month <= "12";
}

// The line the purchase questions fill: the one just added.
SaleLine* NewestLine() {
    const int n = gSale.gItemCount;
    if (n < 1 || n > kMaxSaleLines) return nullptr;
    return &gSale.gLines[static_cast<std::size_t>(n)];
}

// The entry box cleaned for a note or a reference, blanks trimmed.
std::string CleanedText() {
    Strip_Text();
    return Trim(Screen().Text(kEntryBox));
}

}  // namespace

// ---- showing and hiding -----------------------------------------------------------------

int PromptInCIA_Show(int question) {
    ScreenModel& s = Screen();
    gReg.gPromptLine = static_cast<std::int16_t>(question);
    gReg.gEnteredAmount = Money();
    Buttons_Lock();
    // Locked at level 0 the Clock key stays usable for somebody not logged
    // in; a pending question leaves nothing but its answer and Cancel.
    s.SetEnabled(kClockKey, false);
    if (!KeyHints()) s.SetCaption(kCancelKey, "Cancel");
    s.SetEnabled(kCancelKey, true);
    gReg.gCardBusy = false;
    gReg.gPromptLineActive = true;
    s.SetEnabled(kEntryBox, true);
    s.SetSelStart(kEntryBox, static_cast<int>(s.Text(kEntryBox).size()));
    s.SetFocus(kEntryBox);
    return 0;
}

void PromptInCIA_Hide() {
    ScreenModel& s = Screen();
    gReg.gCardBusy = false;
    if (!KeyHints()) s.SetCaption(kCancelKey, gSettings.gLanguage == 1 ? "Quantity" : "Quantite");
    Buttons_Unlock();
    // The amount question disables the entry box; no question leaves it so.
    s.SetEnabled(kEntryBox, true);
    gReg.gPromptLineActive = false;
}

namespace {

// Sets the question, writes its message on the message line (no time-out),
// empties the entry box and opens the prompt line.
void Ask(int question, Message message) {
    CIATime(Msg(message), 0);
    ClearEntry();
    PromptInCIA_Show(question);
}

// The same question again after a refusal: the entry box emptied, the
// refusal left on the message line.
void AskAgain() {
    ClearEntry();
    PromptInCIA_Show(gReg.gPromptLine);
}

}  // namespace

// ---- openers ----------------------------------------------------------------------------

void Credit_Card_PromptAmount() {
    CIATime(Msg(Message::ConfirmAmountOfCharge), 0);
    // The balance due is confirmed or cancelled, not edited.
    Screen().SetText(kEntryBox, gSale.gBalanceDue.TextDisplay());
    PromptInCIA_Show(1);
    Screen().SetEnabled(kEntryBox, false);
}

void Credit_Card_PromptCardNumber() { Ask(2, Message::InputCreditCardNumber); }
void Credit_Card_PromptCardExpiry() { Ask(3, Message::InputCardExpiryDateMMYY); }
void Credit_Card_PromptAddress() { Ask(4, Message::InputCardHolderStreetAddress); }
void Credit_Card_PromptZip() { Ask(5, Message::InputCardHolderZipCode); }

void MessageWithEnterToEnd_Show() {
    MessageAll_Hide();
    PromptInCIA_Show(6);
    CIATime(Screen().Text(kMessageLine) + " " + Msg(Message::PressEnterOrCancelToContinue), 0);
    Screen().SetFontSize(kGreeting, 15);
    Greeting_Show();
}

void Caption_Reset() {
    for (int k = 1; k <= 24; ++k) Screen().SetFontSize(ControlId{Control::mDept, k}, 11);
}

void ClientNumber_Prompt() {
    gReg.gPromptLine = 7;
    gReg.gPromptState = PromptState::ClientNumber;
    Mode_Display();
    Ask(7, Message::InputClientNumberAndSelectEnter);
}

// ---- Enter ------------------------------------------------------------------------------

namespace {

// Each answer by question; false when the question stops short (the
// receipt's scroll keys are then left as they are).
bool CardAmount(const std::string& entry);
bool CardNumber(const std::string& entry);
bool CardExpiry(const std::string& entry);
void CardAddress(const std::string& entry);
void CardZip(const std::string& entry);
void ClientNumber(const std::string& entry);
bool PaymentReference(const std::string& entry);
void AdjustmentReason(const std::string& entry);
void PurchaseCost(const std::string& entry);
void PurchasePrice(const std::string& entry);
void PurchaseComment(const std::string& entry);
void FirstOrderNumber(const std::string& entry);
void LastOrderNumber(const std::string& entry);
void NewSellingPrice(const std::string& entry);

}  // namespace

void PromptInCIA_Enter() {
    PromptInCIA_Hide();
    const std::string entry = Trim(Screen().Text(kEntryBox));
    bool goesOn = true;
    switch (gReg.gPromptLine) {
    case 1: goesOn = CardAmount(entry); break;
    case 2: goesOn = CardNumber(entry); break;
    case 3: goesOn = CardExpiry(entry); break;
    case 4: CardAddress(entry); break;
    case 5: CardZip(entry); break;
    case 6:
        ClearMessageLine();
        Greeting_Hide();
        Summary_Show();
        break;
    case 7: ClientNumber(entry); break;
    case 8: goesOn = PaymentReference(entry); break;
    case 9: AdjustmentReason(entry); break;
    case 10: PurchaseCost(entry); break;
    case 11: PurchasePrice(entry); break;
    case 12: PurchaseComment(entry); break;
    case 13: FirstOrderNumber(entry); break;
    case 14: LastOrderNumber(entry); break;
    case 15: NewSellingPrice(entry); break;
    case 16:
        ClearMessageLine();
        Buttons_Unlock();
        Receipt_Show();
        SaleEnd_AfterPrintout();
        break;
    default: break;
    }
    // The totals panel has no rows to scroll.
    if (goesOn && gReg.gReceiptAreaContent == ReceiptAreaContent::Totals) {
        for (const ControlId& key : kScrollKeys) {
            Screen().SetEnabled(key, false);
            Screen().SetVisible(key, false);
        }
    }
}

namespace {

bool CardAmount(const std::string& entry) {
    // A card's second track arriving in the entry box is no answer.
    if (!entry.empty() && entry[0] == ';') {
        Credit_Card_PromptAmount();
        return false;
    }
    const std::optional<Money> amount = entry.empty() ? Money() : PlainAmount(entry);
    if (!amount) {
        Say(Message::InvalidEntry);
        Screen().SetText(kEntryBox, gSale.gBalanceDue.TextDisplay());
        PromptInCIA_Show(gReg.gPromptLine);
        Screen().SetEnabled(kEntryBox, false);
        return true;
    }
    CardRequest& card = gReg.gCardRequest;
    card.gCardAmount = *amount;
    if (amount->IsZero()) {
        card.gCardNumber.clear();
        Say(Message::InvalidEntryOperationCancelled);
        ClearEntry();
        return true;
    }
    Cards().Card_Charge(card);
    return true;
}

bool CardNumber(const std::string& entry) {
    CardRequest& card = gReg.gCardRequest;
    card.gCardNumber = entry;
    if (entry.empty()) {
        Say(Message::InvalidEntryOperationCancelled);
        ClearEntry();
        return false;
    }
    const std::int16_t status = Cards().Card_TypeFind(entry);
    if (status == 0) {
        Credit_Card_PromptCardExpiry();
    } else {
        card.gCardNumber.clear();
        Cards().Credit_Card_Display_Response(status);
        AskAgain();
    }
    return true;
}

bool CardExpiry(const std::string& entry) {
    CardRequest& card = gReg.gCardRequest;
    if (entry.empty()) {
        Say(Message::InvalidEntryOperationCancelled);
        ClearEntry();
        return false;
    }
    card.gCardExpiry = entry;
    if (!ValidExpiry(entry)) {
        card.gCardExpiry.clear();
        Say(Message::InvalidEntryInputCardExpiryDateMMYY);
        AskAgain();
        return true;
    }
    // The card-authorisation program reads the expiry as YYMM.
    if (gSettings.gCardBackend == CardBackend::ExchangeFiles)
        card.gCardExpiry = entry.substr(2, 2) + entry.substr(0, 2);
    if (gSettings.gCardAvs) {
        Credit_Card_PromptAddress();
    } else {
        card.gCardEntry = 2;
        Credit_Card_PromptAmount();
    }
    return true;
}

void CardAddress(const std::string& entry) {
    gReg.gCardRequest.gCardAddress = entry;
    if (!entry.empty()) {
        Credit_Card_PromptZip();
    } else {
        Say(Message::InvalidEntryInputCardHolderStreetAddress);
        AskAgain();
    }
}

void CardZip(const std::string& entry) {
    CardRequest& card = gReg.gCardRequest;
    card.gCardZip = entry;
    if (!entry.empty()) {
        ClearMessageLine();
        card.gCardEntry = 2;
        Credit_Card_PromptAmount();
    } else {
        Say(Message::InvalidEntryInputCardHolderZipCode);
        AskAgain();
    }
}

void ClientNumber(const std::string& entry) {
    if (!entry.empty()) {
        const std::optional<ClientMatch> found = Client_Find(entry);
        Client_SetCurrent(found);
        if (!found) {
            ClearEntry();
            Say(Message::NotFound);
        } else {
            // As the Client key attaches a typed client.
            Client_Process();
            Totals_Update();
        }
    } else {
        ClearEntry();
        ClearMessageLine();
    }
    gReg.gPromptState = PromptState::None;
    Mode_Display();
}

bool PaymentReference(const std::string& entry) {
    if (entry.empty()) {
        // No reference, no tender.
        Payment_Process(24);
        Say(Message::InvalidEntry);
        ClearEntry();
        return false;
    }
    const std::string reference = CleanedText();
    const int n = gSale.gPaymentCount;
    if (n >= 1 && n < static_cast<int>(gSale.gPayments.size()))
        gSale.gPayments[static_cast<std::size_t>(n)].reference = reference.substr(0, kReferenceLength);
    ClearMessageLine();
    Total_Activate();
    DEA_Reset();
    return true;
}

void AdjustmentReason(const std::string& entry) {
    gSale.gAdjustmentReason = entry;
    if (entry.size() == 1 && entry[0] >= '1' && entry[0] <= '9') {
        Adjustment_Start();
    } else {
        gSale.gAdjustmentReason.clear();
        Adjustment_Cancel();
    }
}

void PurchaseCost(const std::string& entry) {
    ClearMessageLine();
    if (entry.empty()) {
        // No cost: the new line is dropped.
        if (SaleLine* line = NewestLine()) {
            *line = SaleLine{};
            --gSale.gItemCount;
        }
        if (gSale.gItemCount > 0)
            Purchase_AddProduct();
        else
            Purchase_CancelProduct();
        return;
    }
    const std::optional<Money> cost = PlainAmount(entry);
    if (!cost) {
        Say(Message::InvalidEntry);
        AskAgain();
        return;
    }
    SaleLine* line = NewestLine();
    if (line) line->unitPrice = *cost;
    ClearEntry();
    if (gSettings.gAskPurchasePrice) {
        Purchase_PromptPrice();
        return;
    }
    if (line) line->listPrice = Money();
    if (gSettings.gAskPurchaseComment)
        Purchase_PromptComment();
    else
        Purchase_AddProduct();
}

void PurchasePrice(const std::string& entry) {
    ClearMessageLine();
    Money price;
    if (!entry.empty()) {
        const std::optional<Money> typed = PlainAmount(entry);
        if (!typed) {
            Say(Message::InvalidEntry);
            AskAgain();
            return;
        }
        price = *typed;
    }
    // After a cost the price is the list price, else the unit price.
    if (SaleLine* line = NewestLine()) (gSettings.gAskPurchaseCost ? line->listPrice : line->unitPrice) = price;
    ClearEntry();
    if (gSettings.gAskPurchaseComment)
        Purchase_PromptComment();
    else
        Purchase_AddProduct();
}

void PurchaseComment(const std::string& entry) {
    ClearMessageLine();
    if (SaleLine* line = NewestLine()) {
        if (entry.empty()) {
            line->hasNote = false;
            line->note.clear();
        } else {
            line->hasNote = true;
            line->note = CleanedText().substr(0, kNoteLength);
        }
    }
    ClearEntry();
    Purchase_AddProduct();
}

void FirstOrderNumber(const std::string& entry) {
    gOnline.gOrderRangeStart = entry;
    if (!entry.empty()) {
        Online_Prompt_End_Order();
    } else {
        Say(Message::InvalidEntry);
        AskAgain();
    }
}

void LastOrderNumber(const std::string& entry) {
    gOnline.gOrderRangeEnd = entry;
    if (!entry.empty()) {
        Online().Online_Service_UPS(gOnline.gOrderRangeStart, entry);
    } else {
        Say(Message::InvalidEntry);
        AskAgain();
    }
}

void NewSellingPrice(const std::string& entry) {
    const std::optional<Money> price = entry.empty() ? std::nullopt : PlainAmount(entry);
    if (!price || *price < Money() || *price > Money::FromUnits(1000)) {
        Say(Message::InvalidEntry);
        AskAgain();
        return;
    }
    if (!gSale.gOnlineProduct.empty()) Online_Service_ChangePrice(gSale.gOnlineProduct, entry);
    Mode_PriceChange_Activate();
}

}  // namespace

// ---- Cancel -----------------------------------------------------------------------------

void PromptInCIA_Cancel() {
    switch (gReg.gPromptLine) {
    case 6:
        // A message is acknowledged either way.
        PromptInCIA_Enter();
        return;
    case 7:
        gReg.gPromptState = PromptState::None;
        Mode_Display();
        break;
    case 8:
        // The tender whose reference was asked goes.
        Payment_Process(24);
        break;
    case 9:
    case 10:
    case 11:
    case 12:
        // Leaving a document's question is its empty answer: no reason
        // cancels the adjustment, no cost drops the new purchase line, no
        // price or comment finishes the line without them.
        Screen().SetText(kEntryBox, "");
        PromptInCIA_Enter();
        return;
    case 13:
        // The register mode stays as it was.
        gReg.gPromptState = PromptState::None;
        Mode_Display();
        Greeting_Hide();
        Receipt_Show();
        break;
    case 15: Mode_PriceChange_Activate(); break;
    case 16:
        ClearMessageLine();
        gPrint.gPrintToScreen = false;
        Buttons_Unlock();
        Receipt_Show();
        SaleEnd_AfterPrintout();
        break;
    default: break;
    }
    // The card fields stay as they are; the next card starts them afresh.
    PromptInCIA_Hide();
    ClearEntry();
    ClearMessageLine();
}

// ---- the questions of the layers below ----------------------------------------------------

int PromptLine::PromptInCIA_Show(int question) { return tarvo::PromptInCIA_Show(question); }
void PromptLine::MessageWithEnterToEnd_Show() { tarvo::MessageWithEnterToEnd_Show(); }
void PromptLine::Credit_Card_PromptAmount() { tarvo::Credit_Card_PromptAmount(); }
void PromptLine::Credit_Card_PromptCardNumber() { tarvo::Credit_Card_PromptCardNumber(); }
void PromptLine::Caption_Reset() { tarvo::Caption_Reset(); }

}  // namespace tarvo
