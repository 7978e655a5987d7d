#include "sale/sale_start.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "common/fields.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "sale/clients.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/soft_keys.h"

namespace tarvo {

namespace {

constexpr int kMessageLineMs = 15000;
constexpr int kTenderSlots = 10;

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

// Enables or disables the keys of a group by their trimmed captions.
void EnableByCaption(Control group, int count) {
    ScreenModel& s = Screen();
    for (int i = 1; i <= count; ++i) {
        const ControlId id = Id(group, i);
        s.SetEnabled(id, !Trim(s.Caption(id)).empty());
    }
}

void SetGroupEnabled(Control group, int count, bool on) {
    for (int i = 1; i <= count; ++i) Screen().SetEnabled(Id(group, i), on);
}

// Every client field of the sale back to "no client".
void Client_Clear() {
    SaleState& s = gSale;
    gData.gClientRecNo = 0;
    gData.gNewClientRecNo = 0;
    s.gClientCode.clear();
    s.gSaleClientId.clear();
    s.gClientName.clear();
    s.gClientAddress.clear();
    s.gClientPhone.clear();
    s.gClientExtra.clear();
    s.gClientNumber.clear();
    s.gClientAccountType.clear();
    s.gClientDiscount = 0;
    s.gClientPriceLevel = 1;
}

// The store's default client (setting 255) attached to the new sale.
void DefaultClient_Attach() {
    Client_Clear();
    const std::optional<RecordMatch> found = Client_FindLinear(gSettings.gDefaultClient);
    if (!found) {
        CIATime(Msg(Message::NotFound), 5);
        return;
    }
    gData.gClientRecNo = found->recNo;
    gData.gClientRec = found->record;
    Client_GetInformation();
    gSale.gSaleClientId = Trim(Mid(gData.gClientRec, 1, 8));
}

void Lines_Clear() { std::fill(gSale.gLines.begin() + 1, gSale.gLines.end(), SaleLine{}); }

void Tenders_Clear() {
    SaleState& s = gSale;
    for (int i = 1; i <= kTenderSlots; ++i) s.gPayments[static_cast<std::size_t>(i)] = SalePayment{};
    // The three tender rows of the totals panel.
    for (int row = 7; row <= 9; ++row) {
        Screen().SetText(Id(Control::Tr_Title, row), "");
        Screen().SetText(Id(Control::Tr_Amount, row), "");
    }
}

// The order documents of the sale start from the store's defaults.
void DocumentDefaults_Set() {
    SaleState& s = gSale;
    s.gDocDeliveryDate = gReg.gBusinessDate;
    s.gDocPriority = "1";
    s.gDocType = gSettings.gOrderTypeDefault;
    s.gDocComment.clear();
    s.gDocCancelBackOrders = "1";
    s.gDocSupplyMethod = gSettings.gOrderFieldDefaultB;    // setting 156
    s.gDocDeliveryMethod = gSettings.gOrderFieldDefaultA;  // setting 155
}

}  // namespace

void DEA_Initialize() {
    ScreenModel& s = Screen();
    s.SetText(kEntryBox, "");
    s.SetPasswordChar(kEntryBox, '*');
    s.SetMaxLength(kEntryBox, 300);
}

void Register_Reset() {
    ScreenModel& s = Screen();
    gReg.gEnteredAmount = Money();
    gSale.gItemCount = 0;
    Buttons_Lock();
    s.SetPasswordChar(kEntryBox, '*');

    const std::string place = gSettings.gTerminalDescription.empty() ? Trim(gSettings.gHeaderLine[0])
                                                                     : gSettings.gTerminalDescription;
    s.SetCaption(kGreeting, Msg(Message::WelcomeTo) + "\r\n" + place);
    Font font = s.State(kGreeting).font;
    font.name = "Cambria";
    font.size = 36;
    s.SetFont(kGreeting, font);
    Greeting_Show();
    Devices().Customer_Greeting();

    gReg.gPromptState = PromptState::Login;
    s.SetText(kMessageLine, Msg(gData.gNoCashiers ? Message::NoCashierInformationAvailableForThisTerminal
                                                  : Message::TypeCashierNumberAndSelectEnterButton));
    Mode_Display();
    if (gSettings.gHomeMode == RegisterMode::PriceChecker) Login_Automatic();
}

void Login_Automatic() {
    if (gData.gCashierCount < 1 || gData.CashierTable.size() < 2) {
        // Nobody to log in: the register waits at the login prompt.
        Screen().SetText(kMessageLine, Msg(Message::NoCashierInformationAvailableForThisTerminal));
        return;
    }
    gReg.gCashierIndex = 1;
    gReg.gBusinessDate = DateText(Reg().clock->Now());
    Office().Date_Set();
    CIATime(Msg(Message::CashierLoginSuccessful), 5);
    gSale.gMode = gSettings.gHomeMode;
    Screen().SetVisible(kRegisterForm, true);
    Sale_Start();
}

void Sale_Start() {
    ScreenModel& s = Screen();
    SaleState& sale = gSale;

    s.SetText(kEntryBox, "");
    s.SetPasswordChar(kEntryBox, 0);
    gReg.gEntryMasked = false;
    sale.gCaseLetter.clear();
    Reg().timers->Start(TimerId::CIA, kMessageLineMs);
    gReg.gCardBusy = false;
    Printing().PrintToScreen_End();
    gReg.gPromptLineActive = false;
    Variable_StartSale();

    sale.gScaleRequestCount = -1;
    gReg.gLoggedOut = false;
    sale.gCardInSale = false;
    sale.gSaleReference.clear();
    // Nothing of a back-office document carries into the next sale.
    sale.gFetchedDocNumber.clear();
    sale.gServerDocNumber.clear();
    sale.gServerDocClosed = false;
    sale.gImportedFile.clear();
    s.SetVisible(Id(Control::Rt_Total), true);
    s.SetVisible(Id(Control::Title_Total), true);
    DocumentDefaults_Set();
    sale.gSelectedLine = 0;
    sale.gClientPriceLevel = 1;
    sale.gReturnMode = false;
    sale.gExchangeMode = false;
    sale.gExchangeStarted = false;

    Caption_Show();
    Buttons_Unlock();
    Greeting_Hide();
    Department_SetDefaultKey();
    gReg.gHighlightKey = 1;
    ShowCursor();

    DefaultClient_Attach();

    if (sale.gMode != RegisterMode::Training && sale.gMode != RegisterMode::PriceChecker &&
        sale.gMode != RegisterMode::StockCount)
        sale.gMode = gSettings.gHomeMode;
    gReg.gPromptState = PromptState::None;
    Mode_Display();
    sale.gSearchKind = 0;
    sale.gSalesmanIndex = 0;
    gReg.gManagerIndex = 0;
    // Started straight from the login prompt, the default page's click
    // masked the entry box again; nothing typed in a sale is masked.
    s.SetPasswordChar(kEntryBox, 0);
    gReg.gEntryMasked = false;
    s.SetFocus(kEntryBox);
    Total_Activate();

    Lines_Clear();
    Tenders_Clear();
    Totals_Update();
    Receipt_Show();
    Receipt_Display();
    Receipt_ClearColumns();

    if (sale.gSendPending) {
        sale.gSendPending = false;
        gComm.gOperationMode = CommMode::Full;
        Office().Communicate([] {
            if (gComm.gProductsUpdated) Program().RestartProgram();
        });
    }

    Devices().Customer_Greeting();
    if (Devices().DisplayError() != 0) CIATime(Msg(Message::ErrorCustomerDisplayIsDisconnected), 5);
}

void Variable_StartSale() {
    SaleState& s = gSale;
    s.gPaid = Money();
    s.gPaymentCount = 0;
    s.gTenderLinesAdded = false;
    s.gChange = Money();
    s.gSaleDiscount = Money();
    s.gItemCount = 0;
    s.gTopLine = 1;
    gData.gManualPrice = false;
    Tax_SetDefaults();
    gReg.gCardRequest.gCardAddress.clear();
    gReg.gCardRequest.gCardZip.clear();
}

void Tax_SetDefaults() {
    SaleState& s = gSale;
    s.gTaxStatus = 0;
    for (int k = 1; k <= 3; ++k) {
        s.gTaxExempt[static_cast<std::size_t>(k)] = false;
        s.gTaxRate[static_cast<std::size_t>(k)] = gSettings.gTaxDefaultRate[static_cast<std::size_t>(k - 1)];
    }
}

void Buttons_Lock() {
    ScreenModel& s = Screen();
    const Money level = gReg.gEnteredAmount;
    const bool full = level == Money::FromUnits(1);

    SetGroupEnabled(Control::mDept, 24, false);
    SetGroupEnabled(Control::BOp, 8, false);
    SetGroupEnabled(Control::BSys, 6, false);
    SetGroupEnabled(Control::BDep, 8, false);
    SetGroupEnabled(Control::BReg, 4, !full);
    SetGroupEnabled(Control::mNumeric, 12, !full);
    s.SetEnabled(Id(Control::mTotalRegister), false);
    s.SetEnabled(kPaymentKey, false);
    if (level.IsZero()) {
        s.SetEnabled(Id(Control::BOp, 3), true);    // Clock In/Out
        s.SetEnabled(Id(Control::BReg, 1), false);  // Block
        s.SetEnabled(Id(Control::BReg, 3), false);  // Quantity
    }
}

void Buttons_Unlock() {
    ScreenModel& s = Screen();
    EnableByCaption(Control::mDept, 24);
    EnableByCaption(Control::BOp, 8);
    EnableByCaption(Control::BDep, 8);
    EnableByCaption(Control::BSys, 6);
    EnableByCaption(Control::BReg, 4);
    SetGroupEnabled(Control::mNumeric, 12, true);
    for (Control button : {Control::Rt_Up, Control::RT_Down}) {
        s.SetEnabled(Id(button), true);
        s.SetVisible(Id(button), true);
    }
    s.SetEnabled(kPaymentKey, true);
}

void Receipt_ClearColumns() {
    ScreenModel& s = Screen();
    for (int row = 1; row <= kGridRows; ++row)
        for (const GridColumn& c : kGridColumns) s.SetText(ControlId{c.cell, row}, "");
    s.SetText(Id(Control::Rt_Total), "");
}

}  // namespace tarvo
