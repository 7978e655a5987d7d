#include "register/special_page.h"

#include <cstdint>
#include <optional>
#include <string>

#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "inventory/document_helpers.h"
#include "office/cash_office.h"
#include "office/communication.h"
#include "office/opening.h"
#include "platform/desktop.h"
#include "print/office_slips.h"
#include "print/printer_output.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_start.h"
#include "sale/suspend.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

// A host name as a URL may hold it without any escaping.
bool PlainHost(const std::string& host) {
    if (host.empty() || host.front() == '-' || host.front() == '.') return false;
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '-';
        if (!ok) return false;
    }
    return true;
}

const WebPageKey* WebKey(int key) {
    if (key == 18) return &gConstants.webPageKeys.key18;
    if (key == 20) return &gConstants.webPageKeys.key20;
    return nullptr;
}

bool Usable(const WebPageKey& k) { return !k.label.empty() && PlainHost(k.host); }

void Say(Message message) { CIATime(Msg(message), 5); }

// Every key locked while a wait runs in the background, the keypad and the
// register keys too (Buttons_Lock's full level).
void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

bool MidSale() { return gSale.gItemCount > 0; }

// Refuses a key in the middle of a sale; true when refused.
bool RefusedMidSale() {
    if (!MidSale()) return false;
    Say(Message::OperationNotAllowedInMidSale);
    return true;
}

// The manager check of an operation whose setting asks for one: the code in
// the entry box looked up (the check shows its own refusal), then the
// manager's right. True when the operation may go on.
bool ManagerAllows(bool withManager, int right) {
    if (!withManager) return true;
    Manager_Required();
    if (!gReg.gAuthorized) return false;
    if (!Manager_HasRight(gReg.gManagerIndex, right)) {
        Say(Message::ManagerNotAllowedAccess);
        return false;
    }
    return true;
}

// Key 1: a full session now; new products or clients restart the program.
void CommunicateNow() {
    if (RefusedMidSale()) return;
    gComm.gOperationMode = CommMode::Full;
    gComm.gCommHidden = false;
    Communicate([] {
        if (gComm.gCommResult != 0)
            Say(Message::InternetConnectionIsNotAvailable);
        else if (gComm.gProductsUpdated)
            Program().RestartProgram();
    });
}

void CardBatchClose() {
    if (RefusedMidSale()) return;
    Cards().Card_Settlement();
}

void LogoutKey() {
    if (RefusedMidSale()) return;
    if (gSale.gSuspended) {
        Say(Message::NotAllowedThereIsASuspendedTransaction);
        return;
    }
    Logout();
}

void DepositForm(int mode) {
    if (RefusedMidSale()) return;
    Forms().DepositForm_Show(mode);
}

// Keys 7 and 8: the typed amount deposited to the safe or the bank, and its
// slip. Anything but one plain amount above 0 that fits its columns is
// refused whole; a deposit the journal could not take has said why and
// prints nothing.
void Deposit(bool toSafe) {
    if (RefusedMidSale()) return;
    const std::string entry = Screen().Text(kEntryBox);
    if (entry.empty()) {
        Say(Message::InvalidEntry);
        return;
    }
    if (gSettings.gSystemPageText.empty()) {
        Say(Message::DepositNotConfigured);
        return;
    }
    const std::optional<Money> amount = DepositAmount_Read(entry);
    if (!amount) {
        Say(Message::InvalidEntry);
        return;
    }
    gReg.gEnteredAmount = *amount;
    const std::int32_t recNo = toSafe ? DepositSafe_Save() : DepositBank_Save();
    if (recNo == 0) return;
    Say(Message::DepositCompleted);
    if (toSafe)
        Deposit_PrintSafe(recNo);
    else
        DepositBank_Print(recNo);
    if (gPrint.gPrintStatus != 0) Say(Message::PrinterErrorUnableToPrint);
}

// Key 13: the drawer opened without a sale. A drawer that did not open
// leaves no record.
void DrawerOpen() {
    if (RefusedMidSale()) return;
    const bool withManager = gSettings.gSystemOption500;
    if (!ManagerAllows(gSettings.gSystemOption500, 1)) return;
    Drawer_Open();
    if (!withManager) Say(Message::DrawerOpened);
    if (gPrint.gPrintStatus != 0) {
        Say(Message::PrinterErrorUnableToPrint);
        return;
    }
    if (Drawer_Save() != 0 && withManager) Say(Message::DrawerOpened);
}

void CancelSale() {
    if (gSale.gItemCount == 0) {
        Say(Message::InvalidEntry);
        return;
    }
    if (gSale.gCardInSale) {
        Say(Message::InvalidEntryPendingCreditCardTransaction);
        return;
    }
    if (!ManagerAllows(gSettings.gSystemOption515, 4)) return;
    Sale_Cancel();
}

// Key 15: exchange mode on or off, also mid sale.
void ExchangeMode() {
    if (ManagerAllows(gSettings.gSystemOption510, 3)) {
        SaleState& s = gSale;
        s.gReturnMode = false;
        Message message = Message::None;
        if (s.gExchangeMode) {
            s.gExchangeMode = false;
            message = Message::ExchangeModeDisabled;
        } else {
            s.gExchangeMode = true;
            s.gExchangeStarted = true;
            message = Message::ExchangeMode;
        }
        Department_SetDefaultKey();
        Say(message);
    }
    Mode_Display();
}

// Key 16: return mode on or off, always on a fresh sale.
void ReturnMode() {
    if (RefusedMidSale()) return;
    if (ManagerAllows(gSettings.gSystemOption510, 3)) {
        gSale.gExchangeMode = false;
        const bool wasReturn = gSale.gReturnMode;
        Sale_Start();
        gSale.gReturnMode = !wasReturn;
        Department_SetDefaultKey();
        Say(wasReturn ? Message::ReturnModeDisabled : Message::ReturnMode);
    }
    Mode_Display();
}

// Keys 18 and 20: the store's web page in the desktop's browser, once the
// Internet answers (dialling first when it does not). Without it the cashier
// is told so and the register goes on.
void WebPage(int key) {
    if (RefusedMidSale()) return;
    const std::string address = WebPage_Address(key);
    if (address.empty()) return;
    Say(Message::RequestInProgressPleaseWait);
    // The check and the dial-up wait on the register's runner with every key
    // locked; the browser starts once they have answered.
    AllKeys_Lock();
    Transfer().Connect_Start([address](int result) {
        Buttons_Unlock();
        // 0: the Internet answered; 1: the dial-up brought it up.
        if (result != 0 && result != 1) {
            ProgramLog().Write(1, "Special_Process: no Internet connection for " + address);
            Screen().SetText(kMessageLine, "");
            Screen().MessageBox("You require a default dialup connection to the Internet in this computer.");
            return;
        }
        if (!Browser_Open(gConstants.browser, address)) {
            CIATime("Error: The Web Browser Could Not Be Started - See Log", 5);
            ProgramLog().Write(1, "Special_Process: no browser could be started for " + address);
            return;
        }
        Screen().SetText(kMessageLine, "");
    });
}

// Key 21: suspends the sale in progress, or recalls the suspended one into
// an empty sale.
void SuspendOrRecall() {
    if (!gSale.gSuspended) {
        if (gSale.gItemCount == 0)
            Say(Message::InvalidEntryNothingToSuspend);
        else
            Suspend_Store();
        return;
    }
    if (RefusedMidSale()) return;
    Suspend_Recall();
}

// Key 23: asks for the paid-out amount (Enter in prompt state 1 pays it out).
void PaidOut() {
    if (RefusedMidSale()) return;
    if (gSettings.gSystemOption525 && Screen().Text(kEntryBox).empty()) {
        Say(Message::ManagerAuthorizationRequired);
        return;
    }
    if (ManagerAllows(gSettings.gSystemOption525, 6)) {
        gReg.gPromptState = PromptState::PaidOut;
        Say(Message::TypeAmountAndPressEnter);
    }
    Mode_Display();
}

// Key 24: asks for the cash over or short, or with setting 270 for the
// counted cash of the first payment key; the question stays until replaced.
void Declaration() {
    if (gSettings.gReportOption)
        CIATime(Msg(Message::EnterAmountFor) + gTender.gPaymentListName[1], 0);
    else
        CIATime(Msg(Message::EnterAmountOfCashOverPlusOrShortMinus), 0);
    gReg.gPromptState = PromptState::Declaration;
}

}  // namespace

void WebPageKeys_Caption(TextTables& tables) {
    for (const int key : {18, 20}) {
        const WebPageKey& k = *WebKey(key);
        const bool usable = Usable(k);
        if (!usable && !k.host.empty() && !PlainHost(k.host))
            ProgramLog().Write(1, "WebKey" + std::to_string(key) + "Host \"" + k.host +
                                      "\" is not a plain host name; the key stays off");
        for (int language : {1, 2}) tables.SoftKeyCaptions[5][key][language] = usable ? k.label : std::string();
    }
}

std::string WebPage_Address(int key) {
    const WebPageKey* k = WebKey(key);
    if (!k || !Usable(*k)) return {};
    std::string address = "https://" + k->host;
    if (key == 20) address += ":443/Start.do?webid=1";
    return address;
}

bool Manager_HasRight(int index, int right) {
    const auto& table = gData.ManagerTable;
    if (index <= 0 || static_cast<std::size_t>(index) >= table.size() || right < 1) return false;
    const std::string& rights = table[static_cast<std::size_t>(index)].ManagerRights;
    return static_cast<std::size_t>(right) <= rights.size() && rights[static_cast<std::size_t>(right - 1)] == '1';
}

void Special_Process(int key) {
    switch (key) {
    case 1: CommunicateNow(); break;
    case 2: CardBatchClose(); break;
    case 4: LogoutKey(); break;
    case 5: DepositForm(1); break;
    case 6: DepositForm(2); break;
    case 7: Deposit(true); break;
    case 8: Deposit(false); break;
    case 9: DepositForm(3); break;
    case 10: DepositForm(4); break;
    case 13: DrawerOpen(); break;
    case 14: CancelSale(); break;
    case 15: ExchangeMode(); break;
    case 16: ReturnMode(); break;
    case 18:
    case 20: WebPage(key); break;
    case 21: SuspendOrRecall(); break;
    case 22: DEA_AddNumber("-"); break;
    case 23: PaidOut(); break;
    case 24: Declaration(); break;
    default: break;
    }
}

}  // namespace tarvo
