// The process the crash sweep kills: it sets up a register on a terminal
// folder and saves one document there, the way the Total key or the cash
// office would. With the file-system shim preloaded, it arms the shim right
// before the save, so the shim's count covers the save and nothing else.
//
// usage: crash_child SCENARIO FOLDER
//   prepare   two cash sales (not swept)
//   sale      a sale of three lines and two tenders through the Total key
//   training  the same sale in training mode
//   opening   the drawer's opening amount (activity journal)
//   count     one stock-count line
//   order     a customer order of three lines and two deposits
//   adjustment  a stock-out adjustment of three lines
//   purchase  a purchase of three lines with costs and retail prices
//   commandfile  the command file asking for a physical count
//   newclient one new client through the entry form (Save + Exit)
//   newproduct one new product through the entry form
//   reload    the data layer's part of a start (masters, working files,
//             word and alias indexes) after the masters changed
//   outbox    the sales upload's outbox entry moved from Built to Put
//   session   a mode-0 communication session against the FTP server at
//             TARVO_FTP_HOST (user "store12", password "secret"), the
//             Internet check at TARVO_INTERNET_URL
//   dialset   a new dial-up entry in place of the old one (Files/Dial.Set)
//   pricechange  the price of product 1005 changed to 12.5 in the product
//             master and the working file, as once the back office accepted it
//   webreplay the web-shop orders of WebOrders/orders.txt replayed into the
//             dispatcher at TARVO_DISPATCHER_HOST, each answer journalled
//   register  takes the program folder's lock as a start does, says
//             "LOCKED", waits for the file TARVO_GO_FILE, then saves 50 cash
//             sales; "REFUSED" and exit 3 when another copy holds the folder
// Prints "CALLS n" (file-system calls of the save) and exits 0 when the save
// ran to its end; the shim exits 77 at its crash point.
#include <dlfcn.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "card/exchange_files.h"
#include "config/constants.h"
#include "data/count_and_activity.h"
#include "data/indexes.h"
#include "data/master_files.h"
#include "forms/entry_fixture.h"
#include "inventory/adjustments.h"
#include "inventory/document_helpers.h"
#include "inventory/orders.h"
#include "inventory/purchases.h"
#include "office/opening.h"
#include "online/price_change.h"
#include "online/web_orders.h"
#include "platform/files.h"
#include "platform/program_lock.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "transfer/backoffice_session.h"
#include "transfer/dial_phonebook.h"
#include "transfer/outbox.h"

using namespace tarvo;
using namespace tarvo::sale_builder;

namespace {

// The request the card request scenario writes (its track: "101987654").
constexpr const char* kCardRequestLine =
    "\"C1\",\"Ann\",\"\",\"4111111111111111\",\"2605B4111111111111111^DOE/JOHN^2605101987654?\",\"11.00\"\r\n";

void CallShim(const char* name) {
    if (auto f = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, name))) f();
}

// Arms the shim once the stamps of working files loaded while setting up
// are written: their writes belong to the set-up, not to the save swept.
void Arm() {
    gData.stamps.WaitAll();
    CallShim("tarvo_crash_arm");
}

long ShimCalls() {
    auto f = reinterpret_cast<long (*)()>(dlsym(RTLD_DEFAULT, "tarvo_crash_calls"));
    return f ? f() : -1;
}

void CashSale(const char* first, const char* second) {
    gSale = SaleState{};
    gSale.gClientCode = "C100";
    gSaleSave.gSaleFinished = false;
    AddLine(first, first, 2, "10", "10");
    AddLine(second, second, 1, "20", "20");
    Totals("40", "2", "42", "8");
    AddTender("1", "50");
}

void CrashSale() {
    gSale = SaleState{};
    gSale.gClientCode = "C100";
    gSaleSave.gSaleFinished = false;
    AddLine("CRASH1", "CRASH1", 1, "5", "5");
    AddLine("CRASH2", "CRASH2", 3, "1", "1");
    AddLine("CRASH3", "CRASH3", 1, "2.5", "2.5");
    Totals("10.5", "0", "10.5", "0");
    AddTender("1", "5.5");
    AddTender("4", "5", "APPROVED 1");
}

// The crash sale's lines and tenders as a document of `mode`.
void CrashDocument(RegisterMode mode) {
    CrashSale();
    gSale.gMode = mode;
    gSale.gOrderKind = "1";
    gSale.gDocType = "2";
    gSale.gAdjustmentDirection = -1;
    gSale.gAdjustmentReason = "8";
    gSale.gPurchaseVendor = "V100";
    if (mode != RegisterMode::OrderEntry) gSale.gPaymentCount = 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash_child SCENARIO FOLDER\n");
        return 2;
    }
    const std::string scenario = argv[1];
    ResetProgramState();
    gReg = RegisterState{};
    gSale = SaleState{};
    gPrint = PrintState{};
    gSaleSave = SaleSaveState{};
    Setup_Initialize(gSettings);
    FillTextTables(gConstants.tables);
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    RegisterServices services;
    RegisterKeyHandlers registerKeys;
    RegisterSaleObserver saleEvents;
    Reg() = RegisterContext{&screen, &timers, &clock, &services, "/nonexistent"};
    Reg().services.keys = &registerKeys;
    Reg().services.saleObserver = &saleEvents;
    UseTerminalFolder(argv[2]);
    gSettings.gPrinterType = PrinterType::Off;
    gReg.gLoggedOut = false;
    gReg.gBusinessDate = "20261209";
    gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
    gData.gCashierCount = 1;
    gReg.gCashierIndex = 1;

    if (scenario == "prepare") {
        CashSale("1001", "1002");
        mTotalRegister_Click();
        Timer_EndSale_Timer();
        CashSale("1003", "1004");
        mTotalRegister_Click();
        // An earlier new client and new product.
        TemplateMasters_Load();
        const bool entries = Entry_SaveThroughForm(18, {{1, "40001"}, {2, "Earlier Client"}, {11, "1001"}}) &&
                             Entry_SaveThroughForm(19, {{1, "NP-0"}, {3, "Earlier Product"}, {12, "P100"}});
        return gSaleSave.gPrintRecordNo == 3 && entries ? 0 : 1;
    }

    if (scenario == "register") {
        if (ProgramFolder_Lock(argv[2]) != FolderLock::Taken) {
            std::printf("REFUSED\n");
            return 3;
        }
        // Holding the folder, it waits for the test's word to start saving.
        std::printf("LOCKED\n");
        std::fflush(stdout);
        const char* go = std::getenv("TARVO_GO_FILE");
        for (int waited = 0; go && !FileExists(go) && waited < 2000; ++waited) ::usleep(5000);
        for (int i = 0; i < 50; ++i) {
            CashSale("1001", "1002");
            mTotalRegister_Click();
            Timer_EndSale_Timer();
        }
        std::printf("SAVED %d\n", gSaleSave.gPrintRecordNo);
        return 0;
    }

    bool known = true;
    if (scenario == "sale" || scenario == "training") {
        CrashSale();
        if (scenario == "training") gSale.gMode = RegisterMode::Training;
        Arm();
        mTotalRegister_Click();
    } else if (scenario == "opening") {
        gReg.gEnteredAmount = M("150.25");
        Arm();
        OpeningAmount_Save();
    } else if (scenario == "count") {
        Arm();
        Physical_Add("00012345", 2.5);
    } else if (scenario == "order") {
        CrashDocument(RegisterMode::OrderEntry);
        Arm();
        Order_Save();
    } else if (scenario == "adjustment") {
        CrashDocument(RegisterMode::Adjustment);
        Arm();
        Adjustment_Save();
    } else if (scenario == "purchase") {
        CrashDocument(RegisterMode::Purchase);
        Arm();
        Purchase_Save();
    } else if (scenario == "cardrequest") {
        // The card program's request, with a swiped track in it.
        card::ExchangeFiles files(std::string(argv[2]) + "/ICVerify/Request");
        std::string error;
        if (files.Lock_Take(error) != card::ExchangeFiles::Lock::Taken) return 1;
        CallShim("tarvo_crash_arm");
        if (files.Request_Write(kCardRequestLine, error) != 0) return 1;
    } else if (scenario == "commandfile") {
        Arm();
        CommandFile_Create(1);
    } else if (scenario == "reload") {
        Arm();
        OpenTables();
        Index_Product();
        Index_Client();
        Data_CloseAll(gData);
    } else if (scenario == "newclient" || scenario == "newproduct") {
        TemplateMasters_Load();
        const bool client = scenario == "newclient";
        // Typed before the shim is armed: the save is what is swept.
        RecordingEntryView view;
        EntryForm_SetView(&view);
        gSale.gSearchKind = client ? 18 : 19;
        EntryForm_Open();
        EntryForm& f = *EntryForm_Current();
        if (client) {
            f.Row_Changed(1, "40002");
            f.Row_Changed(2, "Crash Client");
            f.Row_Changed(11, "1001");
        } else {
            f.Row_Changed(1, "NP-1");
            f.Row_Changed(3, "Crash Product");
            f.Row_Changed(12, "P100");
        }
        Arm();
        f.Button8_Click();
        if (f.IsLoaded()) return 1;
    } else if (scenario == "dialset") {
        DialPhonebook book(argv[2], DialCommands{});
        CallShim("tarvo_crash_arm");
        if (book.Entry_Create("New Line", "new user", "new secret") != DialPhonebook::Created::Yes) return 1;
    } else if (scenario == "outbox") {
        Outbox outbox(std::string(argv[2]) + "/Files/1234567.OUT");
        if (!outbox.Load(nullptr)) return 1;
        OutboxEntry e = *outbox.Find("TRA");
        e.state = OutboxState::Put;
        CallShim("tarvo_crash_arm");
        if (!outbox.Store(e, nullptr)) return 1;
    } else if (scenario == "session" || scenario == "download") {
        SessionSetup setup;
        const char* host = std::getenv("TARVO_FTP_HOST");
        setup.account.hosts = {host ? host : ""};
        setup.account.user = "store12";
        setup.account.password = "secret";
        setup.account.connectTimeoutMs = 2000;
        setup.account.responseTimeoutS = 3;
        setup.clock = &clock;
        const char* internet = std::getenv("TARVO_INTERNET_URL");
        setup.internet.url = internet ? internet : "";
        BackOfficeSession session(setup);
        CallShim("tarvo_crash_arm");
        if (session.Run(CommMode::Full, true) != 0) return 1;
        // The download sweep's server holds a new product master.
        if (scenario == "download" && !gComm.gProductsUpdated) return 1;
    } else if (scenario == "pricechange") {
        OpenTables();
        Arm();
        std::string why;
        if (!PriceChange_WriteLocal("1005", "12.5", why)) {
            std::fprintf(stderr, "crash_child: %s\n", why.c_str());
            return 1;
        }
        Data_CloseAll(gData);
    } else if (scenario == "webreplay") {
        const char* host = std::getenv("TARVO_DISPATCHER_HOST");
        gConstants.servers.gServerSlot = 1;
        gConstants.servers.gServerUrls[0] = DispatcherUrl(host ? host : "");
        gTerminalNumber = "1234567";
        const WebOrderSender send = WebOrders_BackOfficeSender();
        std::vector<std::string> log;
        std::string why;
        WebOrderReplay replay;
        Arm();
        if (!replay.Open(std::string(argv[2]) + "/WebOrders/orders.txt", log)) return 1;
        while (replay.Next() < replay.Orders())
            if (!replay.ReplayNext(send, "7", log, why)) return 1;
        if (!replay.Finish(why)) return 1;
    } else {
        known = false;
    }
    if (!known) {
        std::fprintf(stderr, "crash_child: unknown scenario %s\n", scenario.c_str());
        return 2;
    }
    std::printf("CALLS %ld\n", ShimCalls());
    return 0;
}
