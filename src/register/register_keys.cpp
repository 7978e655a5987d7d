#include "register/register_keys.h"
#include "office/cash_office.h"
#include "print/printer_output.h"
#include "screen/controls.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "card/card_data.h"
#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "inventory/kits.h"
#include "office/communication.h"
#include "office/opening.h"
#include "office/time_clock.h"
#include "online/online_page.h"
#include "print/office_slips.h"
#include "register/print_page.h"
#include "register/prompt_line.h"
#include "register/special_page.h"
#include "register/system_page.h"
#include "register/total_key.h"
#include "sale/clients.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/sales_page.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

// A message of the table on the message line, 5 seconds unless told.
void Say(Message message, int seconds = 5) { CIATime(Msg(message), seconds); }
void MessageLine_Clear() { Screen().SetText(kMessageLine, ""); }
std::string Entry() { return Screen().Text(kEntryBox); }
void EntryFocus() { Screen().SetFocus(kEntryBox); }

// Font size of a department key by the longer of its two caption lines.
int DepartmentKeyFontSize(std::size_t longest) {
    if (longest <= 7) return 13;
    if (longest == 8) return 12;
    if (longest == 9) return 11;
    return 10;
}

// ---- line operations -------------------------------------------------------------

// After the last line was dropped or a line deleted: the newest lines stay
// in view, an empty sale starts over, the grid and the totals follow.
void AfterLineRemoved() {
    SaleState& s = gSale;
    if (s.gTopLine > s.gItemCount) s.gTopLine = static_cast<std::int16_t>(std::max(1, s.gItemCount - 6));
    if (s.gItemCount == 0) {
        Screen().SetEnabled(kPaymentKey, false);
        Variable_StartSale();
    }
    Receipt_Display();
    Totals_Update();
}

// Line `to` takes every field of line `from` except the position in a
// fetched order, which stays with its slot.
void MoveLine(int to, int from) {
    SaleLine& line = gSale.gLines[static_cast<std::size_t>(to)];
    const std::int16_t slot = line.sourceIndex;
    line = gSale.gLines[static_cast<std::size_t>(from)];
    line.sourceIndex = slot;
}

// An approved card tender must never be taken out of the sale by removing
// lines under it.
bool RefusedForCard() {
    if (!gSale.gCardInSale) return false;
    Say(Message::InvalidEntryPendingCreditCardTransaction);
    return true;
}

void VoidLast() {
    SaleState& s = gSale;
    if (s.gItemCount == 0 || IsFetchedOrderMode(s.gMode)) {
        Say(Message::InvalidEntry);
        return;
    }
    if (IsPurchaseMode(s.gMode) || gSettings.gVoidLastReenters != 1) {
        --s.gItemCount;
        AfterLineRemoved();
    } else {
        // The last line is entered again as a void line at its own price.
        const int n = s.gItemCount;
        if (s.gLines[n].quantity <= 0) {  // already a void or return line
            Say(Message::InvalidEntry);
            return;
        }
        const std::string key = s.gCaseLetter + s.gLines[n].key;
        s.gCaseLetter.clear();
        const std::optional<ProductMatch> found = Product_Find(key);
        Product_SetCurrent(key, found);
        if (!found) {
            Say(Message::NotFound);
            return;
        }
        s.gQuantity = s.gLines[n].quantity;
        s.gVoidMode = true;
        gData.gManualPrice = true;
        gData.gManualPriceValue = s.gLines[n].unitPrice;
        Screen().SetText(kEntryBox, s.gLines[n].unitPrice.TextDisplay());
        const int before = s.gItemCount;
        Product_Add();
        // Only a void line just added voids its kit's components.
        s.gKitCode.clear();
        if (s.gItemCount > before) s.gKitCode = s.gLines[s.gItemCount].key;
        Kit_Processing();
        gData.gManualPrice = false;
        Mode_Display();
    }
    s.gPaymentCount = 0;
    Change_Display();
    Total_Activate();
}

void Void() {
    SaleState& s = gSale;
    if (IsFetchedOrderMode(s.gMode)) return;
    if (!s.gServerDocNumber.empty()) {
        // Part of the document is on the back office already, its lines
        // numbered by their place here: taking one out would renumber the rest.
        ProgramLog().Write(1, "Void refused: document " + s.gServerDocNumber + " is partly on the server");
        Say(Message::InvalidEntry);
        return;
    }
    if (!IsPurchaseMode(s.gMode) && gSettings.gVoidLastReenters == 1) {
        // Void mode: the next product entered becomes a void line.
        if (s.gVoidMode) {
            s.gVoidMode = false;
            Say(Message::VoidModeCancelled);
        } else if (s.gItemCount > 0) {
            s.gVoidMode = true;
            Say(Message::VoidMode);
        } else {
            Say(Message::InvalidEntry);
        }
        Mode_Display();
        return;
    }
    const std::string entry = Entry();
    double number = 0;
    if (!entry.empty())
        number = std::trunc(Num_Val(entry));
    else if (s.gSelectedLine >= 1 && s.gSelectedLine <= s.gItemCount)
        number = s.gSelectedLine;
    else {
        Say(Message::InvalidEntryLineNoToVoidIsRequired);
        return;
    }
    if (number < 1 || number > s.gItemCount) {
        Say(Message::InvalidEntry);
        return;
    }
    for (int i = static_cast<int>(number); i < s.gItemCount; ++i) MoveLine(i, i + 1);
    --s.gItemCount;
    AfterLineRemoved();
}

// The Clock key's own refusals (the message table has no text for them).
std::string ClockRefusal(bool notANumber) {
    if (TextLanguage(gSettings) == 2)
        return notANumber ? "Num\xE9ro de Caissier Non Num\xE9rique - Pointage Impossible"
                          : "Erreur: Pointage Non Enregistr\xE9";
    return notANumber ? "Cashier Number Is Not a Number - Cannot Clock" : "Error: Clock Not Recorded";
}

// The Clock key: the typed log-in code clocks its cashier in, or out when in.
void ClockInOut() {
    if (gSale.gItemCount > 0) {
        Say(Message::OperationNotAllowedInMidSale);
        return;
    }
    const std::string entry = Entry();
    if (entry.empty()) {
        CIATime("", 5);
        return;
    }
    const std::optional<std::int32_t> found = Cashier_FindByKey(entry);
    if (!found) {
        Say(Message::NotFound);
        return;
    }
    const CashierRow& cashier = gData.CashierTable[static_cast<std::size_t>(*found)];
    if (gReg.gBusinessDate.empty()) gReg.gBusinessDate = DateText(Reg().clock->Now());
    gReg.gEmployeeNumber = cashier.CashierNumber;
    Clock_CheckLogin();
    if (gSale.gCheckResult == kClockNumberRefused) {
        CIATime(ClockRefusal(true), 5);
        return;
    }
    const bool clockIn = gSale.gCheckResult != 1;
    if (!(clockIn ? Clock_Login() : Clock_Logout())) {
        CIATime(ClockRefusal(false), 5);
        return;
    }
    CIATime(Msg(clockIn ? Message::ClockinSuccessful : Message::ClockoutSuccessful) + cashier.CashierName + " " +
                gSale.gPriceCheckText,
            5);
}

void Salesperson() {
    const std::string entry = Entry();
    if (entry.empty()) {
        Say(Message::InvalidEntry);
        return;
    }
    const std::optional<std::int32_t> found = Salesman_FindByKey(entry);
    if (!found) {
        Say(Message::NotFound);
        return;
    }
    gSale.gSalesmanIndex = *found;
    CIATime(Msg(Message::Salesman) + " " + gData.SalesmanTable[static_cast<std::size_t>(*found)].SalesmanName, 5);
}

void Client() {
    const std::string entry = Entry();
    if (entry.empty()) {
        ClientNumber_Prompt();
        return;
    }
    const std::optional<ClientMatch> found = Client_Find(entry);
    Client_SetCurrent(found);
    if (!found) {
        Say(Message::NotFound);
        return;
    }
    Client_Process();
    Totals_Update();
}

// ---- entry-box keys ----------------------------------------------------------------

void Block() {
    const bool on = !gReg.gEntryMasked;
    Screen().SetPasswordChar(kEntryBox, on ? '*' : 0);
    gReg.gEntryMasked = on;
    EntryFocus();
}

void Quantity() {
    if (gReg.gPromptLineActive) {
        PromptInCIA_Cancel();
        return;
    }
    SaleState& s = gSale;
    if (gReg.gKeyPage == KeyPage::Payment) Department_SetDefaultKey();
    const bool signedQuantity = s.gExchangeMode || s.gStockCount || IsFetchedOrderMode(s.gMode) ||
                                s.gMode == RegisterMode::NewPurchaseOrder;
    const double lower = signedQuantity ? -99999 : 0;
    const int line = s.gSelectedLine;
    if (Entry().empty()) {
        Say(Message::InvalidEntry);
    } else {
        Strip_Number();
        const std::string entry = Entry();
        const double q = Num_Val(entry);
        if (!(lower < q && q < 99999)) {
            Say(Message::InvalidEntry);
        } else if (line >= 1 && line <= s.gItemCount) {
            // In the fetched-order modes the quantity counts what was scanned so far.
            if (IsFetchedOrderMode(s.gMode))
                s.gLines[line].quantity += q;
            else
                s.gLines[line].quantity = q;
            Totals_Update();
            Receipt_Display();
        } else {
            s.gQuantity = q;
            CIATime(Msg(Message::Quantity) + " " + entry, 5);
        }
    }
    DEA_Reset();
}

// Enter in state 1: a paid-out, one plain amount other than 0, above -5000
// and at most 5000; anything else is refused and writes nothing.
void EnterPaidOut() {
    const std::optional<Money> amount = PaidOutAmount_Read(Entry());
    gReg.gEnteredAmount = amount.value_or(Money());
    if (amount) {
        const bool toScreen = gPrint.gPrintToScreen;
        Drawer_Open();
        gPrint.gPrintToScreen = toScreen;
        // A paid-out that could not be written has said why; no slip then.
        const std::int32_t recNo = Paidout_Save();
        if (recNo != 0) {
            PAIDOUT_Print(recNo);
            Say(Message::PaidoutCompleted);
        }
    } else {
        Say(Message::InvalidEntryOperationCancelled);
    }
    gReg.gPromptState = PromptState::None;
    Mode_Display();
    DEA_Reset();
}

// The login code checked against the cashier table.
void Login_Check(const std::string& entry, bool check) {
    if (check && !entry.empty()) {
        const std::int32_t found = Cashier_FindByKey(entry).value_or(0);
        if (found == 0) {
            Say(Message::NotFound);
        } else {
            const CashierRow& cashier = gData.CashierTable[static_cast<std::size_t>(found)];
            if (cashier.CashierLevel != 1 && cashier.CashierLevel != 3) {
                Say(Message::AccessDeniedNotACashierOrSalesman);
            } else {
                gReg.gCashierIndex = found;
                gReg.gBusinessDate = DateText(Reg().clock->Now());
                Date_Set();
                if (gSettings.gAutoClockOut) {
                    gReg.gEmployeeNumber = cashier.CashierNumber;
                    Clock_CheckLogin();
                    if (gSale.gCheckResult == 0) Clock_Login();
                }
                MessageLine_Clear();
                Login_OpeningBalance();
            }
        }
    }
    DEA_Reset();
    gReg.gEntryMasked = false;
}

// Enter in state 2: the cashier's login code.
void EnterLogin() {
    // Read first: the session that fetches a missing cashier table ends
    // logged out, which empties the entry box.
    const std::string entry = Entry();
    if (!gData.gNoCashiers) {
        Login_Check(entry, true);
        return;
    }
    // No cashier table yet: fetch it; the code is checked once the session
    // has ended.
    gComm.gOperationMode = CommMode::Full;
    Communicate([entry] {
        bool check = true;
        if (gComm.gCommResult != 0) {
            Say(Message::InternetConnectionIsNotAvailable);
            check = false;
        } else if (gComm.gProductsUpdated) {
            Program().RestartProgram();
            check = false;
        }
        // Otherwise the session may have brought the table: the code is checked.
        Login_Check(entry, check);
    });
}

// Enter in state 3: the drawer's opening amount, one plain amount above 0
// and at most 5000. An opening the journal could not take has said why and
// the question stays.
void EnterOpeningAmount() {
    const std::optional<Money> amount = OpeningAmount_Read(Entry());
    gReg.gEnteredAmount = amount.value_or(Money());
    if (!amount) {
        Say(Message::EnterDrawersOpeningAmountAndSelectEnter, 0);
    } else if (OpeningAmount_Save()) {
        Say(Message::CashierLoginSuccessful);
        Sale_Start();
    }
    DEA_Reset();
}

// Enter in state 4: the drawer's cash over (+) or short (-), or the counted
// cash (setting 270): one plain amount but 0 that fits its 9 columns.
void EnterDeclaration() {
    const std::optional<Money> amount = DeclaredAmount_Read(Entry());
    gReg.gEnteredAmount = amount.value_or(Money());
    if (amount) {
        // A declaration that could not be written has said why.
        if (Declare_Save() != 0) Say(Message::EntrySavedSuccessfully);
    } else {
        Say(Message::InvalidEntryOperationCancelled);
    }
    gReg.gPromptState = PromptState::None;
    Mode_Display();
    DEA_Reset();
}

void Enter() {
    if (Screen().Visible(kMessageBox)) Receipt_Show();
    if (gReg.gPromptLineActive) {
        PromptInCIA_Enter();
        return;
    }
    switch (gReg.gPromptState) {
    case PromptState::PaidOut: EnterPaidOut(); break;
    case PromptState::Login: EnterLogin(); break;
    case PromptState::OpeningAmount: EnterOpeningAmount(); break;
    case PromptState::Declaration: EnterDeclaration(); break;
    default:
        BarCode_Change();
        if (!gReg.gPromptLineActive) DEA_Reset();
        break;
    }
}

// ---- soft keys -----------------------------------------------------------------------

void RunPage(KeyPage page, int key) {
    switch (page) {
    case KeyPage::System: System_Process(key); break;
    case KeyPage::Print: Print_Process(key); break;
    case KeyPage::Sales: Sales_Process(key); break;
    case KeyPage::Special: Special_Process(key); break;
    case KeyPage::Mode: Mode_Process(key); break;
    default: break;
    }
}

// The keys whose handlers keep the entry box for what they ask next.
bool KeepsEntry(KeyPage page, int key) {
    switch (page) {
    case KeyPage::Mode: return key == 5 || key == 14 || key == 15 || key == 17;
    case KeyPage::Special: return key == 22;
    case KeyPage::System: return key == 1 || key == 9 || key == 10 || key == 11;
    default: return false;
    }
}

// The page each menu page key (BSys 1-6) opens.
constexpr KeyPage kMenuPages[] = {KeyPage::System, KeyPage::Mode,    KeyPage::Extras,
                                  KeyPage::Print,  KeyPage::Special, KeyPage::Sales};

}  // namespace

int SoftKeyGroupOfPage(KeyPage page) {
    switch (page) {
    case KeyPage::System: return 1;
    case KeyPage::Mode: return 2;
    case KeyPage::Extras: return 3;
    case KeyPage::Print: return 4;
    case KeyPage::Special: return 5;
    case KeyPage::Sales: return 6;
    default: return 0;
    }
}

void BDep_Click(int page) {
    Caption_Reset();
    ScreenModel& s = Screen();
    if (page >= 1 && page <= 8 && !s.Caption(ControlId{Control::BDep, page}).empty()) {
        const std::uint32_t colour = ColourValue(gSettings.gPageColour[static_cast<std::size_t>(page - 1)]);
        gReg.gKeyPage = DepartmentPage(page);
        for (int k = 1; k <= 24; ++k) {
            const DepartmentKey& d = gSettings.Departments[static_cast<std::size_t>(k + 24 * (page - 1))];
            const ControlId key = SoftKey(k);
            s.SetBackColour(key, colour);
            s.SetCaption(key, d.Caption1 + "\r\n" + d.Caption2);
            s.SetEnabled(key, true);
            s.SetFontSize(key, DepartmentKeyFontSize(std::max(d.Caption1.size(), d.Caption2.size())));
        }
        if (gReg.gReceiptAreaContent != ReceiptAreaContent::Grid) Receipt_Show();
    }
    DEA_Reset();
}

void BSys_Click(int index) {
    if (index < 1 || index > 6) return;
    ScreenModel& s = Screen();
    if (index == 1 && !gSettings.gSystemPageCode.empty()) {
        const std::string entry = Entry();
        if (entry.empty()) {
            Say(Message::SystemPasswordRequired);
            EntryFocus();
            return;
        }
        s.SetText(kEntryBox, "");
        if (entry != gSettings.gSystemPageCode) {
            Say(Message::SystemPasswordRequired);
            return;
        }
    }
    if (index == 3) {
        if (!gSettings.gExtrasPageOn) {
            EntryFocus();
            return;
        }
        if (gSettings.gExtrasNeedsManager) {
            Manager_Required();
            s.SetText(kEntryBox, "");
            if (!gReg.gAuthorized) {
                Say(Message::ManagerAuthorizationRequired);
                return;
            }
        }
    }
    if (index >= 4 && gSale.gStockCount) return;

    Caption_Reset();
    const std::uint32_t colour = ColourValue(gSettings.gMenuKeyColour);
    const int language = TextLanguage(gSettings);
    const bool french = gSettings.gLanguage != 1;
    for (int k = 1; k <= 24; ++k) {
        std::string caption = SoftKeyCaption(gConstants.tables, index, k, language);
        if (index == 5 && k == 2 && !gSettings.gCardEnabled) caption.clear();
        if (index == 5 && k == 21) {
            if (gSale.gMode != RegisterMode::Sales && gSale.gMode != RegisterMode::Training)
                caption.clear();
            else if (gSale.gSuspended)
                caption = french ? "Rappel" : "Recall";
            else
                caption = french ? "Suspendre" : "Suspend";
        }
        const ControlId key = SoftKey(k);
        s.SetBackColour(key, colour);
        s.SetCaption(key, caption);
        if (index == 3) s.SetFontSize(key, 10);
        s.SetEnabled(key, !Trim(caption).empty());
    }
    if (gReg.gReceiptAreaContent != ReceiptAreaContent::Grid) Receipt_Show();
    gReg.gKeyPage = kMenuPages[index - 1];
    if (index == 3) Online_Stock_SetButton();
    if (index == 6 && !gSale.gChange.IsZero()) MessageLine_Clear();
    EntryFocus();
}

void BPayment_Click() { PaymentPage_Open(); }

bool PaymentPage_Open() {
    if (gSale.gStockCount) return false;
    SaleState& sale = gSale;
    sale.gSelectedLine = 0;
    MessageLine_Clear();
    Totals_Update();
    if (sale.gTotal < Money() && !sale.gReturnMode && !sale.gExchangeStarted) {
        // A refund outside return and exchange: the page stays as it was.
        Say(Message::ReturnExchangeIsNotAuthorized);
        return false;
    }
    gReg.gKeyPage = KeyPage::Payment;
    Summary_Show();
    PaymentButtons_Show();
    sale.gBalanceDue = sale.gTotal;
    Payment_Display();
    Change_Display();
    ScreenModel& s = Screen();
    if (gSettings.gCardBackend != CardBackend::Terminal && gSettings.gCardEnabled) {
        s.SetCaption(SoftKey(23), Msg(Message::ManualCreditCard));
        s.SetEnabled(SoftKey(23), true);
    }
    s.SetCaption(SoftKey(24), Msg(Message::DeletePayment));
    s.SetEnabled(SoftKey(24), true);
    DEA_Reset();
    return true;
}

void mDept_Click(int key) {
    if (key < 1 || key > 24) return;
    const KeyPage page = gReg.gKeyPage;
    bool keepEntry = false;
    if (const int department = DepartmentNumber(page); department != 0) {
        Department_Process(key + 24 * (department - 1));
    } else if (page == KeyPage::Extras) {
        Online().Online_Process(key);
    } else if (page == KeyPage::Payment) {
        Payment_Process(key);
    } else if (const int group = SoftKeyGroupOfPage(page); group != 0) {
        bool run = true;
        if (gConstants.tables.SoftKeyFlags[static_cast<std::size_t>(group)][static_cast<std::size_t>(key)] == "1") {
            Manager_Required();
            run = gReg.gAuthorized;
        }
        if (run) {
            RunPage(page, key);
            keepEntry = KeepsEntry(page, key);
        }
        // A refused manager code is emptied like any other entry.
    }
    if (gReg.gCardAmountPending)
        gReg.gCardAmountPending = false;  // the proposed card amount stays
    else if (!keepEntry)
        DEA_Reset();
}

void BOp_Click(int index) {
    if (gSale.gStockCount) return;
    if ((index == 1 || index == 2) && RefusedForCard()) {
        DEA_Reset();
        return;
    }
    if ((index == 1 || index == 2 || index == 8) && gReg.gKeyPage == KeyPage::Payment) Department_SetDefaultKey();
    switch (index) {
    case 1: VoidLast(); break;
    case 2: Void(); break;
    case 3: ClockInOut(); break;
    case 4: Salesperson(); break;
    case 5: Aux_Client(); return;
    case 6: Client(); break;
    case 7: Aux_Product(); return;
    case 8:
        if (Entry().empty())
            Say(Message::InvalidEntry);
        else
            Product_EnterCode(Entry());
        break;
    default: return;
    }
    DEA_Reset();
}

void Button_Click(const ControlId& id) {
    const int i = id.index;
    // A touch during the pause after a sale belongs to the next sale.
    if (!(gReg.gPromptLineActive && gReg.gPromptLine == kPrintoutQuestion)) SaleEnd_Hurry();
    switch (id.name) {
    case Control::BDep: BDep_Click(i); break;
    case Control::BSys: BSys_Click(i); break;
    case Control::BPayment: BPayment_Click(); break;
    case Control::mDept: mDept_Click(i); break;
    case Control::BOp: BOp_Click(i); break;
    case Control::BReg: BReg_Click(i); break;
    case Control::mTotalRegister: mTotalRegister_Click(); break;
    case Control::RT_Down: RT_Down_Click(); break;
    case Control::Rt_Up: Rt_Up_Click(); break;
    case Control::mNumeric: mNumeric_Click(i); break;
    default: break;
    }
}

void BReg_Click(int index) {
    switch (index) {
    case 1: Block(); break;
    case 2: DEA_Reset(); break;
    case 3: Quantity(); break;
    case 4: Enter(); break;
    default: break;
    }
}

void BarCode_Change() {
    if (gReg.gPromptLineActive) return;
    if (gReg.gBusinessDate.empty() && gReg.gPromptState == PromptState::Login) {
        // Nobody has logged in today: what was typed is a login code.
        BReg_Click(4);
        return;
    }
    std::string text = Screen().Text(kEntryBox);
    if (!text.empty() && text[0] != '%') {
        Product_EnterCode(text);
    } else if (!text.empty() && gSettings.gCardEnabled && gSale.gItemCount > 0 && !gSale.gTotal.IsZero()) {
        // A card swipe. The track data never stays on the screen.
        Screen().SetText(kEntryBox, "");
        if (gSale.gCardInSale) {
            Cards().Credit_Card_Display_Response(9);
        } else {
            // A refund the payment page refuses takes no card either.
            const bool taken = PaymentPage_Open();
            if (taken) {
                const SwipedCard swiped = Cards().Card_ParseSwipe(text);
                CardRequest& card = gReg.gCardRequest;
                card.gCardEntry = 1;
                card.gCardNumber = swiped.number;
                card.gCardName = swiped.name;
                card.gCardExpiry = swiped.expiry;
            }
            // The track is kept here no longer than the parser needs it.
            card::Wipe(text);
            if (taken) {
                if (gReg.gCardRequest.gCardNumber.empty()) {
                    Cards().Credit_Card_Display_Response(6);
                } else {
                    const std::int16_t status = Cards().Card_TypeFind(gReg.gCardRequest.gCardNumber);
                    if (status == 0) {
                        // The prompt line proposes the amount in the entry box.
                        Credit_Card_PromptAmount();
                        return;
                    }
                    Cards().Credit_Card_Display_Response(status);
                }
            }
        }
    }
    Mode_Display();
    DEA_Reset();
}

}  // namespace tarvo
