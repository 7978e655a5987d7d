#include "register/total_key.h"

#include <cstdio>
#include <string>

#include "common/money.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "inventory/adjustments.h"
#include "inventory/orders.h"
#include "inventory/purchases.h"
#include "office/communication.h"
#include "office/opening.h"
#include "online/purchase_order_file.h"
#include "print/inventory_documents.h"
#include "print/order_document.h"
#include "print/pole_display.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "register/prompt_line.h"
#include "register/register_keys.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/record_fields.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr int kDefaultEndSaleMs = 6000;
const char* const kTrainingRestoreFailed = "Training Sale: Invoice Counts Not Written Back - See Log";

// The documents the inventory saves, and those the back office is sent.
bool SavedDocument(RegisterMode mode) {
    return mode == RegisterMode::OrderEntry || mode == RegisterMode::PurchaseOrder || mode == RegisterMode::Purchase ||
           mode == RegisterMode::Adjustment;
}
bool SentDocument(RegisterMode mode) {
    return mode == RegisterMode::ReceivePO || mode == RegisterMode::NewPurchaseOrder || mode == RegisterMode::PackOrder;
}

// The inventory's documents at the Total key: Order Entry an order,
// Purchase Order and Purchase a purchase, Adjustment an adjustment. The save
// shows its own message when it refuses; the printout prints the record the
// save left.
bool InventoryDocument_Save(RegisterMode mode) {
    if (mode == RegisterMode::OrderEntry) return Order_Save();
    if (mode == RegisterMode::PurchaseOrder || mode == RegisterMode::Purchase) return Purchase_Save();
    return Adjustment_Save();
}
void InventoryDocument_Print(RegisterMode mode) {
    if (mode == RegisterMode::OrderEntry)
        Order_Print();
    else if (mode == RegisterMode::PurchaseOrder || mode == RegisterMode::Purchase)
        Purchase_Print();
    else
        Adjustment_Print();
}

// Nothing was saved or sent: the sale stays open as it was, the keys come
// back and the message line keeps why.
void Total_Refused(const std::string& messageBefore) {
    const std::string why = Screen().Text(kMessageLine);
    Screen().SetText(kMessageLine, messageBefore);
    Buttons_Unlock();
    Total_Activate();
    Screen().SetText(kMessageLine, why);
}

// The sale or document of `mode` is saved: what its result asks for.
void Total_Finish(RegisterMode mode, const SaleSaveResult& r) {
    SaleState& s = gSale;
    gSaleSave.gSaleFinished = true;
    // The receipt prints the invoice just saved; a document left its record.
    if (r.recordNo != 0) gSaleSave.gPrintRecordNo = r.recordNo;

    if (r.openDrawer) Drawer_Open();

    gSaleSave.gReceiptDuplicate = false;
    gSaleSave.gReceiptCopy = 0;
    if (mode == RegisterMode::OrderEntry) {
        if (!gSettings.gNoOrderPrint) InventoryDocument_Print(mode);
    } else if (SavedDocument(mode)) {
        InventoryDocument_Print(mode);
    } else {
        if (r.giftReceipt) gSaleSave.gGiftReceipt = true;
        if (r.receipt) Receipt_Print();
    }
    if (r.secondCopy) {
        Forms().MessageBox_Show("Tear Off First Copy. Press Enter to Print Second Copy.");
        gSaleSave.gReceiptDuplicate = false;
        gSaleSave.gReceiptCopy = 1;
        Receipt_Print();
    }

    if (gPrint.gPrintStatus != 0) CIATime(Msg(Message::PrinterErrorUnableToPrint), 5);
    if (!r.message.empty()) CIATime(r.message, 10);

    const int delay = gSettings.gEndSaleDelay > 0 ? gSettings.gEndSaleDelay : kDefaultEndSaleMs;
    Reg().timers->Start(TimerId::EndSale, delay);

    if (gSettings.gSendAfterSale) {
        s.gSendPending = false;
        gComm.gCommHidden = true;
        gComm.gOperationMode = CommMode::Full;  // a full session, whatever a report left behind
        Communicate();
    }
}

// The sale itself (not a document): the balance paid when the store asks
// for it, the records written, a training sale's counts put back.
void Total_SaveSale(RegisterMode mode, const std::string& messageBefore) {
    SaleState& s = gSale;
    Invoice_Status();
    if (s.gInvoiceStatus != "4" && gSettings.gPayBalanceOnTotal) {
        BPayment_Click();
        Payment_Process(1);
        Buttons_Lock();
    }
    const bool training = mode == RegisterMode::Training;
    if (training) Headers_Save();
    SaleSaveResult r = Sale_Save();
    if (!r) {
        Total_Refused(messageBefore);
        return;
    }
    // The counts go back before anything can hold the register up.
    if (training && !Headers_Restore()) r.message = kTrainingRestoreFailed;
    Total_Finish(mode, r);
}

}  // namespace

void mTotalRegister_Click() {
    SaleState& s = gSale;
    if (s.gStockCount) return;
    if (gSaleSave.gSaleFinished) return;  // saved already; the next sale has not started
    if (gSaleSave.gTotalWaiting) return;  // the document is on its way

    // A refund paid back in cash, in any of its tenders, needs a manager.
    if (gSettings.gCashRefundNeedsManager && Sale_RefundsCash()) {
        Authorization_Verify();
        if (!gReg.gAuthorized) return;
        const std::string rights = ManagerRightsAt(gReg.gManagerIndex);
        if (rights.size() < 3 || rights[2] != '1') {
            CIATime(Msg(Message::ManagerNotAllowedAccess), 5);
            return;
        }
    }

    const LocalTime now = Reg().clock->Now();
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", now.year, now.month, now.day);
    gReg.gBusinessDate = date;
    Date_Set();
    Caption_Show();
    Screen().SetText(kEntryBox, "");
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();

    const std::string messageBefore = Screen().Text(kMessageLine);
    Screen().SetText(kMessageLine, messageBefore + "    " + Msg(Message::PrintingInProgress));
    Customer_Thankyou();

    const RegisterMode mode = s.gMode;
    if (SentDocument(mode)) {
        // The keys stay locked until the back office has answered.
        gSaleSave.gTotalWaiting = true;
        Online().Document_Send(mode, [mode, messageBefore](bool sent) {
            gSaleSave.gTotalWaiting = false;
            if (!sent) {
                Total_Refused(messageBefore);
                return;
            }
            Total_Finish(mode, Sale_Outcome(true));
        });
        return;
    }
    if (SavedDocument(mode)) {
        if (!InventoryDocument_Save(mode)) {
            Total_Refused(messageBefore);
            return;
        }
        Total_Finish(mode, Sale_Outcome(true));
        return;
    }
    Total_SaveSale(mode, messageBefore);
}

namespace {

// The receipt of the sale is on the screen, waiting for the cashier.
bool PrintoutUp() { return gReg.gPromptLineActive && gReg.gPromptLine == kPrintoutQuestion; }

// The first steps of the pause's end: the "Printing in Progress" note comes
// off the message line (when the printer said nothing), the timer stops.
void EndSale_NoteAndTimer() {
    const std::string note = Msg(Message::PrintingInProgress);
    const std::string line = Screen().Text(kMessageLine);
    if (gPrint.gPrintStatus == 0 && !note.empty() && line.size() >= note.size() &&
        line.compare(line.size() - note.size(), note.size(), note) == 0)
        Screen().SetText(kMessageLine, line.substr(0, line.size() - note.size()));
    Reg().timers->Stop(TimerId::EndSale);
}

}  // namespace

void Timer_EndSale_Timer() {
    EndSale_NoteAndTimer();
    // A receipt on the screen stays until the cashier closes it; the next
    // sale starts then (SaleEnd_AfterPrintout).
    if (PrintoutUp()) {
        gSaleSave.gEndAfterPrintout = true;
        return;
    }
    SaleEnd_Continue();
}

bool SaleEnd_Pending() {
    return gSaleSave.gSaleFinished && (gSaleSave.gEndAfterPrintout || Reg().timers->Running(TimerId::EndSale));
}

void SaleEnd_AfterPrintout() {
    if (gSaleSave.gEndAfterPrintout) {
        gSaleSave.gEndAfterPrintout = false;
        SaleEnd_Continue();
        return;
    }
    // Closed before the pause was over: the cashier has moved on, and what
    // comes next belongs to the next sale.
    if (!SaleEnd_Pending()) return;
    EndSale_NoteAndTimer();
    SaleEnd_Continue();
}

void SaleEnd_Hurry() {
    if (!SaleEnd_Pending()) return;
    if (PrintoutUp()) {
        // As Enter on the receipt: it closes and the next sale starts.
        PromptInCIA_Enter();
        return;
    }
    const std::string typed = Screen().Text(kEntryBox);
    EndSale_NoteAndTimer();
    gSaleSave.gEndAfterPrintout = false;
    SaleEnd_Continue();
    if (!typed.empty() && !gReg.gLoggedOut && Screen().Text(kEntryBox).empty()) Screen().SetText(kEntryBox, typed);
}

void SaleEnd_Continue() {
    gSaleSave.gSaleFinished = false;
    if (gSale.gMode == RegisterMode::ReceivePO)
        Delete_This();
    else if (gSettings.gLogoutAfterSale)
        Logout();
    else
        Sale_Start();
}

void EndSaleTimer_Connect() { Reg().timers->SetHandler(TimerId::EndSale, Timer_EndSale_Timer); }

}  // namespace tarvo
