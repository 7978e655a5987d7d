#include "register/system_page.h"

#include <string>

#include "common/dates.h"
#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/communication.h"
#include "online/server_tasks.h"
#include "sale/entry_helpers.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "transfer/outbox_pending.h"

namespace tarvo {
namespace {

void Show(const std::string& text) { CIATime(text, 5); }

// True (and the refusal shown) while the sale has lines.
bool RefusedMidSale() {
    if (gSale.gItemCount <= 0) return false;
    Show(Msg(Message::OperationNotAllowedInMidSale));
    return true;
}

// Every key locked while a wait runs in the background, the keypad and the
// register keys too (Buttons_Lock's full level).
void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

// Key 1: the terminal-number form over the register. The working files and
// the suspended sale belong to the terminal they were written under, so the
// number cannot change while any of them still waits to be sent or recalled.
void Terminal_Change() {
    if (RefusedMidSale()) return;
    if (gSale.gSuspended) {
        Show(Msg(Message::NotAllowedThereIsASuspendedTransaction));
        return;
    }
    // The outbox and its upload files are named after the terminal too.
    if (Files_UnsentAll() + Outbox_UnsentDocuments(false) > 0) {
        Show(Msg(Message::NotAllowedTransactionsNotYetSent));
        return;
    }
    if (!Forms().TerminalForm_Show()) {
        Show(Msg(Message::InvalidEntry));
        return;
    }
    Screen().SetVisible(kRegisterForm, false);
}

// Key 2: the business date typed as yyyymmdd before the key.
void BusinessDate_Change() {
    if (RefusedMidSale()) return;
    const DateCheckResult typed = Date_Check(Screen().Text(kEntryBox));
    if (!typed.valid) {
        Show(Msg(Message::FormatForDateEntryYYYYMMDD));
        return;
    }
    gReg.gBusinessDate = typed.date;
    Date_Set();
    Show(Msg(Message::DateChangeSuccessful));
    Sale_Start();
}

// Keys 23 and 24: the daily or every transaction file emptied once the
// cashier confirms, told how many documents have not been sent yet.
void TransactionFiles_Empty(bool all) {
    if (RefusedMidSale()) return;
    // An upload waiting in the outbox whose records were emptied already is
    // not sent yet either.
    const int unsent = (all ? Files_UnsentAll() : Files_UnsentDaily()) + Outbox_UnsentDocuments(!all);
    std::string question = Msg(Message::EmptyTheTransactionFiles);
    if (unsent > 0) question = Msg(Message::TransactionsNotYetSent) + std::to_string(unsent) + "\r\n" + question;
    if (!Screen().Question(question)) {
        Show("");
        return;
    }
    if (all)
        Files_ResetAll();
    else
        Files_ResetDaily();
    ProgramLog().Write(1, std::string(all ? "System_Process: every transaction file emptied, "
                                          : "System_Process: daily transaction files emptied, ") +
                              std::to_string(unsent) + " unsent");
    Show(Msg(Message::SalesTransactionsDeleted));
}

}  // namespace

void Printer_Test() {
    const std::string& type = gSettings.gPrinterTypeText;
    if (gSettings.gPrinterType == PrinterType::Off) {
        Show(Msg(Message::PrinterIsDeactivatedThroughSetting));
        return;
    }
    PrintService& p = Printing();
    p.Printer_Open();
    if (p.PrintStatus() != 0) {
        Show(Msg(Message::PrinterTestFailed) + " " + type);
        return;
    }
    p.Printer_Line(1, 0, "This is a printer test.....");
    for (int i = 0; i < 5; ++i) p.Printer_Line(1, 0, "");
    p.Printer_Close(true);
    // A line that did not reach the printer fails the test as well.
    Show(Msg(p.PrintStatus() == 0 ? Message::PrinterTestSuccessful : Message::PrinterTestFailed) + " " + type);
}

void Connection_Test() {
    // Every key stays locked until the answer is in; the check and the
    // dial-up wait on the register's runner, never on the window's thread.
    AllKeys_Lock();
    TransferService& t = Transfer();
    if (gSettings.gConnectionMode != ConnectionMode::DialUp) {
        Show(Msg(Message::TestingInternetConnection));
        t.InternetCheck_Start([](bool online) {
            Buttons_Unlock();
            Show(Msg(online ? Message::ConnectionTestSuccessful : Message::ConnectionTestFailed));
        });
        return;
    }
    Show(Msg(Message::EstablishingAConnectionToTheInternet));
    t.Connect_Start([](int result) {
        // 0: the Internet answered; 1: the dial-up brought it up.
        const bool connected = result == 0 || result == 1;
        // The line is taken down in every case, also when it was already up.
        Transfer().HangUp_Start([connected] {
            Buttons_Unlock();
            Show(Msg(connected ? Message::ConnectionTestSuccessful : Message::ConnectionTestFailed));
        });
    });
}

void Log_Send() {
    ProgramLog().Close();
    gComm.gOperationMode = CommMode::Log;
    Communicate([] { Log_Open(gConstants.paths.gFilesPath + ".LOG"); });
}

void AllFiles_Send() {
    Data_CloseAll(gData);
    ProgramLog().Close();
    gComm.gOperationMode = CommMode::AllData;
    gComm.gCommHidden = false;
    Communicate([] {
        Log_Open(gConstants.paths.gFilesPath + ".LOG");
        OpenTables();
    });
}

void System_Process(int key) {
    switch (key) {
    case 1: Terminal_Change(); break;
    case 2: BusinessDate_Change(); break;
    case 6:
        // The request waits on the register's runner with the keys locked.
        if (Reg().runner)
            Online_Test_Start(*Reg().runner);
        else
            Online_Test();
        break;
    case 7: Printer_Test(); break;
    case 8: Connection_Test(); break;
    case 9: Log_Send(); break;
    case 10: AllFilesASCII_Send(); break;
    case 11:
        if (!RefusedMidSale()) AllFiles_Send();
        break;
    case 17:
        if (!RefusedMidSale()) Program().RestartProgram();
        break;
    case 18:
        if (!RefusedMidSale()) Program_Close();
        break;
    case 23: TransactionFiles_Empty(false); break;
    case 24: TransactionFiles_Empty(true); break;
    default: break;
    }
}

}  // namespace tarvo
