#include "register/special_page.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/constants.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "key_fixture.h"
#include "platform/background_runner.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/pages.h"
#include "register_mode_print.h"
#include "sale/suspend.h"
#include "sale/tenders.h"
#include "screen/messages.h"
#include "test_dir.h"
#include "test_net.h"
#include "transfer/transfer_service.h"

namespace tarvo {
namespace {

using Calls = std::vector<std::string>;

const std::string k8(8, ' ');
const std::string k9(9, ' ');

// The recording services with what the Special page reaches beyond the keys.
class SpecialServices : public RecordingKeys {
public:
    void Card_Settlement() override { calls.push_back("Card_Settlement"); }
    void DepositForm_Show(int mode) override { calls.push_back("DepositForm_Show(" + std::to_string(mode) + ")"); }
};

class SpecialPageTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        Wire(fake);
        gReg.gKeyPage = KeyPage::Special;
        gData.ManagerTable.push_back(ManagerRow{"00000042", "9999", "Boss", "111111"});
        gData.gManagerCount = 1;
        gData.CashierTable.push_back(CashierRow{"00000017", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        // The receipt printer on a port, its bytes read by the test; the
        // printer codes readable ("D" the drawer kick).
        gSettings.gPrinterType = PrinterType::Com1;
        print_golden::UseReadableCodes();
        print_golden::SetCode(4, "D");
        PrinterCodes_Load();
        // No device behind the printer's port: what the test does not capture
        // fails to print, as with a printer that does not answer.
        dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
    }
    void TearDown() override {
        PrinterCapture_End();
        KeyTest::TearDown();
    }
    // The page over `wired` (their own Special_Process is not used).
    void Wire(RegisterServices& wired) {
        Reg().services = &wired;
        Reg().services.pages = &page;
    }
    void Press(int key, const std::string& typed = "") {
        Type(typed);
        mDept_Click(key);
    }
    void Rights(const std::string& rights) { gData.ManagerTable[1].ManagerRights = rights; }
    // What the printer received since the last look.
    std::string Printed() {
        std::string bytes;
        bytes.swap(printer.bytes);
        return bytes;
    }
    // The printer does not answer (no port behind its name) or answers again.
    void PrinterGone(bool gone) {
        if (gone)
            PrinterCapture_End();
        else
            PrinterCapture_Begin(printer.bytes);
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
        return n;
    }
    void MidSale() { AddLine("100", 1, Money::FromUnits(3)); }
    std::string Journal(int k) {
        Open_FileActivity();
        std::string r = gData.activity.Read(k);
        gData.activity.Close();
        return r;
    }
    std::int32_t JournalCount() {
        Open_FileActivity();
        const std::int32_t n = gData.gLastActivityRecord;
        gData.activity.Close();
        return n;
    }
    // The activity journal taken away: the next record written is record 2.
    void JournalEmptied() { std::filesystem::remove(gConstants.paths.gDataPath + ".ACT"); }

    SpecialServices fake;
    RegisterPages page;
    PrinterCapture printer;
};

TEST_F(SpecialPageTest, MidSaleRefusesTheOperationsOutsideTheSale) {
    gSettings.gSystemPageText = "1";
    gSettings.gSystemOption500 = true;
    gSettings.gSystemOption510 = true;
    gSettings.gSystemOption525 = true;
    for (int key : {1, 2, 4, 5, 6, 7, 8, 9, 10, 13, 16, 23}) {
        SCOPED_TRACE(key);
        gSale = SaleState{};
        MidSale();
        fake.calls.clear();
        gReg.gAuthorized = false;
        CIATime("", 0);
        Press(key, "9999");  // the manager's code
        EXPECT_EQ(fake.calls, Calls());
        EXPECT_EQ(Printed(), "");        // no drawer, no slip
        EXPECT_FALSE(gReg.gAuthorized);  // refused before the manager was asked
        EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
        EXPECT_EQ(gReg.gPromptState, PromptState::None);
        EXPECT_FALSE(gSale.gReturnMode);
        EXPECT_EQ(gSale.gItemCount, 1);
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(SpecialPageTest, KeysWithoutAnOperationDoNothing) {
    for (int key : {3, 11, 12, 17, 19}) {
        SCOPED_TRACE(key);
        CIATime("before", 0);
        Press(key, "12");
        EXPECT_EQ(fake.calls, Calls());
        EXPECT_EQ(MessageLine(), "before");
    }
    for (int key : {0, -1, 25, 1000}) {
        Special_Process(key);
        EXPECT_EQ(fake.calls, Calls()) << key;
        EXPECT_EQ(MessageLine(), "before") << key;
    }
}

TEST_F(SpecialPageTest, CommunicateRunsAFullSessionNow) {
    struct Case {
        std::int16_t result;
        bool updated;
        Calls calls;
        const char* message;
    };
    // A full session with its window shown, then the restart when new
    // products or clients came.
    const Case cases[] = {
        {0, false, {"Session_Run(0)"}, ""},
        {0, true, {"Session_Run(0)", "RestartProgram"}, ""},
        // No restart after a failed session, even when files arrived.
        {3, true, {"Session_Run(0)"}, "Internet Connection Is Not Available"},
    };
    gSettings.gConnectionMode = ConnectionMode::Interval;  // a standing connection: no dial-up around the session
    const ControlId firstKey = SoftKeyId(1);
    screen.SetCaption(firstKey, "Key");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.result << " " << c.updated);
        fake.calls.clear();
        fake.commResult = c.result;
        fake.commUpdatesProducts = c.updated;
        gComm.gOperationMode = CommMode::DownloadOnly;
        gComm.gCommHidden = true;
        CIATime("", 0);
        Press(1);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(gComm.gCommResult, c.result);
        EXPECT_FALSE(gComm.gCommHidden);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_TRUE(screen.Enabled(firstKey)) << "the keys are back after the session";
        EXPECT_EQ(gReg.gCashierIndex, 1);  // still logged in
    }
}

TEST_F(SpecialPageTest, CloseBatchGoesToTheCardSettlement) {
    Press(2);
    EXPECT_EQ(fake.calls, Calls{"Card_Settlement"});

    // A register without card payments answers "Invalid Entry".
    RegisterServices standIns;
    Wire(standIns);
    Press(2);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

TEST_F(SpecialPageTest, LogoutIsRefusedWhileASaleIsSuspended) {
    gSale.gSuspended = true;
    Press(4);
    EXPECT_EQ(fake.calls, Calls());
    EXPECT_EQ(MessageLine(), "Not Allowed - There Is a Suspended Transaction");

    gSale.gSuspended = false;
    gTerminalNumber = kTerminal;
    gData.gNoCashiers = false;  // the cashier table was loaded
    CIATime("", 0);
    Press(4, "12");
    // Nobody logged in, no business date, the login prompt and the idle title.
    EXPECT_EQ(gReg.gCashierIndex, 0);
    EXPECT_EQ(gReg.gBusinessDate, "");
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);
    EXPECT_EQ(MessageLine(), "Type Cashier Number & Select Enter Button");
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(screen.Title(), "Corlant 18.03.14 Kaspen (1234567)  12-09-2026");
    EXPECT_EQ(fake.calls, Calls());
}

TEST_F(SpecialPageTest, DepositFormKeysOpenTheFormInTheirMode) {
    const std::pair<int, int> cases[] = {{5, 1}, {6, 2}, {9, 3}, {10, 4}};
    for (const auto& [key, mode] : cases) {
        fake.calls.clear();
        Press(key);
        EXPECT_EQ(fake.calls, Calls{"DepositForm_Show(" + std::to_string(mode) + ")"}) << key;
    }
    // The form is not part of this register yet.
    RegisterServices standIns;
    Wire(standIns);
    Press(5);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

TEST_F(SpecialPageTest, DepositKeys) {
    gTerminalNumber = kTerminal;
    struct Case {
        const char* name;
        int key;
        const char* typed;
        bool configured;
        bool journalFull;
        bool printerAnswers;
        const char* slip;    // the title of both copies of the slip, "" for none
        const char* amount;  // the amount's title on it
        std::string record;  // the journal's record 2, "" for none
        const char* message;
    };
    const Case cases[] = {
        {"empty entry, even unconfigured", 7, "", false, false, true, "", "", "", "Invalid Entry"},
        {"not configured", 8, "100", false, false, true, "", "", "", "Deposit Not Configured"},
        {"to the safe", 7, "250", true, false, true, "<DEPOSIT TO SAFE>", "<Amount: 250.00>",
         "202612091030D0" + k8 + "00000017" + "250      " + k9, "Deposit Completed"},
        {"to the bank", 8, "0.05", true, false, true, "<DEPOSIT TO BANK>", "<Amount: 0.05>",
         "202612091030B0" + k8 + "00000017" + ".05      " + k9, "Deposit Completed"},
        {"highest", 7, "5000", true, false, true, "<DEPOSIT TO SAFE>", "<Amount: 5,000.00>",
         "202612091030D0" + k8 + "00000017" + "5000     " + k9, "Deposit Completed"},
        // A deposit is any plain amount above 0 that fits its columns.
        {"a day's bank deposit", 8, "12500.75", true, false, true, "<DEPOSIT TO BANK>", "<Amount: 12,500.75>",
         "202612091030B0" + k8 + "00000017" + "12500.75 " + k9, "Deposit Completed"},
        {"not a plain amount", 7, "12abc", true, false, true, "", "", "", "Invalid Entry"},
        {"zero", 7, "0", true, false, true, "", "", "", "Invalid Entry"},
        {"negative", 8, "-4999.99", true, false, true, "", "", "", "Invalid Entry"},
        {"beyond any amount", 7, "99999999999999999999", true, false, true, "", "", "", "Invalid Entry"},
        // The writer says why; no slip for a record not written.
        {"journal refused", 7, "250", true, true, true, "", "", "", "Error: Activity Journal Not Written - See Log"},
        // The deposit stays written.
        {"printer error", 8, "250", true, false, false, "", "", "202612091030B0" + k8 + "00000017" + "250      " + k9,
         "Printer Error, Unable to Print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JournalEmptied();
        Open_FileActivity();  // the journal with its header only
        gData.activity.Close();
        gSettings.gSystemPageText = c.configured ? "DEP" : "";
        PrinterGone(!c.printerAnswers);
        CIATime("earlier", 0);
        {
            // A full disk leaves no room past the header.
            std::optional<FileSizeLimit> full;
            if (c.journalFull) full.emplace(std::filesystem::file_size(gConstants.paths.gDataPath + ".ACT"));
            Press(c.key, c.typed);
        }
        PrinterGone(false);
        const std::string printed = Printed();
        if (*c.slip) {
            EXPECT_EQ(Count(printed, std::string(c.slip) + "\r\n"), 2) << printed;
            EXPECT_EQ(Count(printed, std::string(c.amount) + "\r\n"), 2) << printed;
        } else {
            EXPECT_EQ(printed, "");
        }
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
        EXPECT_EQ(JournalCount(), c.record.empty() ? 1 : 2);
        if (!c.record.empty()) {
            EXPECT_EQ(Journal(2), c.record);
        }
    }
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SpecialPageTest, DepositWritesItsJournalRecord) {
    using namespace print_golden;
    gTerminalNumber = kTerminal;
    gSettings.gSystemPageText = "DEP";
    Press(7, "250");
    EXPECT_EQ(Journal(2), "202612091030D0" + k8 + "00000017" + "250      " + k9);
    // Its slip, in two copies.
    const std::string copy = T("DEPOSIT TO SAFE") + L("") + L("Date:     09/Dec/2026") + L("Time:     10:30") +
                             L("Terminal: 1234567") + L("Cashier:  Demo") + T("Amount: 250.00");
    EXPECT_EQ(Printed(), kOpen + copy + L("F") + L("C") + copy + kClose);
    Press(8, "7800.5");
    EXPECT_EQ(Journal(3), "202612091030B0" + k8 + "00000017" + "7800.5   " + k9);
    const std::string bank = Printed();
    EXPECT_EQ(Count(bank, T("DEPOSIT TO BANK")), 2);
    EXPECT_EQ(Count(bank, T("Amount: 7,800.50")), 2);
    // Refused amounts write nothing.
    Press(7, "-12.5");
    Press(8, "1000000000");
    EXPECT_EQ(JournalCount(), 3);
    EXPECT_EQ(Printed(), "");
}

// Every amount the cashier types for the cash office is one plain decimal
// number; anything else is refused with the prompt's message and nothing
// reaches the journal (no slip either).
TEST_F(SpecialPageTest, TypedAmountsThatAreNoPlainNumberAreRefusedAndWriteNothing) {
    gSettings.gSystemPageText = "DEP";
    const char* const notAmounts[] = {"abc", "$5", "1,000", "1e3", "12abc", "0"};
    for (const char* typed : notAmounts) {
        SCOPED_TRACE(typed);
        Press(7, typed);  // deposit to the safe
        EXPECT_EQ(MessageLine(), "Invalid Entry");
        Press(8, typed);  // deposit to the bank
        EXPECT_EQ(MessageLine(), "Invalid Entry");
        Press(23);  // paid out
        Type(typed);
        BReg_Click(4);
        EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
        Press(24);  // cash declaration
        Type(typed);
        BReg_Click(4);
        EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
        gReg.gPromptState = PromptState::OpeningAmount;  // the opening amount: the question stays
        Type(typed);
        BReg_Click(4);
        EXPECT_EQ(MessageLine(), "Enter Drawer's Opening Amount & Select Enter");
        EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
        gReg.gPromptState = PromptState::None;
        EXPECT_EQ(JournalCount(), 1);  // the header only
    }
    // The same keys with plain amounts write their records.
    Press(23);
    Type(" 12.5 ");
    BReg_Click(4);
    EXPECT_EQ(MessageLine(), "Paidout Completed");
    EXPECT_EQ(Journal(2), "202612091030P0" + k8 + "00000017" + "12.5     " + k9);
    Press(24);
    Type("-3");
    BReg_Click(4);
    EXPECT_EQ(MessageLine(), "Entry Saved Successfully");
    EXPECT_EQ(Journal(3), "202612091030C0" + k8 + "00000017" + "-3       " + k9);
}

TEST_F(SpecialPageTest, DrawerKey) {
    struct Case {
        const char* name;
        bool managerNeeded;  // setting 500
        bool accepts;        // the manager's code typed, else another
        const char* rights;
        bool printerAnswers;
        bool kicked;         // the drawer kick reached the printer
        std::string record;  // the journal's record 2, "" for none
        const char* message;
    };
    const std::string byCashier = "202612091030W0" + k8 + "00000017" + k9 + k9;
    const std::string byManager = "202612091030W0"
                                  "00000042"
                                  "00000017" +
                                  k9 + k9;
    const Case cases[] = {
        {"no manager needed", false, false, "", true, true, byCashier, "Drawer Opened"},
        {"drawer failed", false, false, "", false, false, "", "Printer Error, Unable to Print"},
        {"manager with right 1", true, true, "1", true, true, byManager, "Drawer Opened"},
        {"manager without right 1", true, true, "0111111", true, false, "", "Manager Not Allowed Access"},
        {"manager with no rights", true, true, "", true, false, "", "Manager Not Allowed Access"},
        {"code refused", true, false, "1", true, false, "", "Manager Authorization Required"},
        {"manager, drawer failed", true, true, "1", false, false, "", "Printer Error, Unable to Print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JournalEmptied();
        fake.calls.clear();
        gSettings.gSystemOption500 = c.managerNeeded;
        Rights(c.rights);
        PrinterGone(!c.printerAnswers);
        CIATime("earlier", 0);
        Press(13, c.accepts ? "9999" : "1234");
        PrinterGone(false);
        EXPECT_TRUE(fake.calls.empty());
        EXPECT_EQ(Printed(), c.kicked ? "D\r\n" : "");
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(JournalCount(), c.record.empty() ? 1 : 2);
        if (!c.record.empty()) {
            EXPECT_EQ(Journal(2), c.record);
        }
    }
}

TEST_F(SpecialPageTest, DrawerOpeningWritesItsRecordOnlyWhenTheDrawerOpened) {
    gSettings.gSystemOption500 = true;
    Rights("1");
    Press(13, "9999");  // the manager's code
    EXPECT_EQ(Journal(2), "202612091030W0"
                          "00000042"
                          "00000017" +
                              k9 + k9);
    PrinterGone(true);
    Press(13, "9999");
    EXPECT_EQ(JournalCount(), 2);
}

TEST_F(SpecialPageTest, CancelSale) {
    gTerminalNumber = kTerminal;
    DefaultClient_Load();  // for the sale a cancel starts
    CashOffice office;
    Reg().services.office = &office;
    struct Case {
        const char* name;
        int lines;
        bool card;
        bool managerNeeded;  // setting 515
        bool accepts;
        const char* rights;
        const char* manager;  // on the journal's cancel record; nullptr: none written
        const char* message;
    };
    const Case cases[] = {
        {"no lines", 0, false, false, true, "1111", nullptr, "Invalid Entry"},
        {"card pending, before the manager", 2, true, true, true, "1111", nullptr,
         "Invalid Entry, Pending Credit Card Transaction"},
        {"no manager needed", 2, false, false, false, "", "        ", ""},
        {"manager with right 4", 1, false, true, true, "0001", "00000042", ""},
        {"manager without right 4", 1, false, true, true, "1110", nullptr, "Manager Not Allowed Access"},
        {"code refused", 1, false, true, false, "1111", nullptr, "Manager Authorization Required"},
    };
    std::int32_t records = 1;  // the journal's header
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSale = SaleState{};
        for (int i = 0; i < c.lines; ++i) MidSale();
        gSale.gCardInSale = c.card;
        gSettings.gSystemOption515 = c.managerNeeded;
        Rights(c.rights);
        fake.calls.clear();
        CIATime("earlier", 0);
        Press(14, c.accepts ? "9999" : "1234");
        EXPECT_TRUE(fake.calls.empty());
        if (c.manager) {
            // The cancel is on the journal, then a fresh sale begins.
            ++records;
            EXPECT_EQ(Journal(records), "202612091030S0" + std::string(c.manager) + "00000017" + k9 + k9);
            EXPECT_EQ(gSale.gItemCount, 0);
        } else {
            EXPECT_EQ(gSale.gItemCount, c.lines);  // the sale kept
        }
        EXPECT_EQ(JournalCount(), records);
        EXPECT_EQ(MessageLine(), c.message);
    }
}

TEST_F(SpecialPageTest, ExchangeModeTogglesAlsoMidSale) {
    screen.SetCaption(ControlId{Control::BDep, 1}, "Grocery");
    MidSale();
    gSale.gReturnMode = true;
    screen.SetText(kSaleTotalCell, "$3.00");
    Press(15);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$3.00");  // the sale goes on
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);   // the default page again
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Exchange");
    EXPECT_TRUE(gSale.gExchangeMode);
    EXPECT_TRUE(gSale.gExchangeStarted);
    EXPECT_FALSE(gSale.gReturnMode);
    EXPECT_EQ(MessageLine(), "Exchange Mode");
    EXPECT_EQ(gSale.gItemCount, 1);

    fake.calls.clear();
    gReg.gKeyPage = KeyPage::Special;  // back on the Special page
    Press(15);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$3.00");
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_FALSE(gSale.gExchangeMode);
    EXPECT_EQ(MessageLine(), "Exchange Mode Disabled");
}

TEST_F(SpecialPageTest, ExchangeAndReturnNeedAManagerWithRight3) {
    gSettings.gSystemOption510 = true;
    struct Case {
        bool accepts;
        const char* rights;
        bool changed;
        const char* message;
    };
    const Case cases[] = {
        {true, "001", true, ""},
        {true, "110", false, "Manager Not Allowed Access"},
        {false, "111", false, "Manager Authorization Required"},
    };
    for (int key : {15, 16}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << key << " " << c.accepts << " " << c.rights);
            gSale = SaleState{};
            fake.calls.clear();
            Rights(c.rights);
            CIATime("earlier", 0);
            screen.SetText(kSaleModeBox, "");
            screen.SetText(kSaleTotalCell, "$3.00");
            Press(key, c.accepts ? "9999" : "1234");
            const bool mode = key == 15 ? gSale.gExchangeMode : gSale.gReturnMode;
            EXPECT_EQ(mode, c.changed);
            // The mode box is shown again, also when refused.
            EXPECT_EQ(screen.Text(kSaleModeBox), !c.changed  ? "Mode: Sales"
                                                 : key == 15 ? "Mode: Exchange"
                                                             : "Mode: Return");
            // Return mode starts a new sale, whose receipt has no total yet.
            EXPECT_EQ(screen.Text(kSaleTotalCell), key == 16 && c.changed ? "" : "$3.00");
            if (!c.changed) {
                EXPECT_EQ(MessageLine(), c.message);
            }
        }
    }
}

TEST_F(SpecialPageTest, ReturnModeStartsAFreshSaleThenToggles) {
    screen.SetCaption(ControlId{Control::BDep, 1}, "Grocery");
    gSale.gExchangeMode = true;
    screen.SetText(kSaleTotalCell, "$3.00");
    Press(16);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "");      // a new sale's receipt
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);  // the default page again
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Return");
    EXPECT_TRUE(gSale.gReturnMode);
    EXPECT_FALSE(gSale.gExchangeMode);
    EXPECT_EQ(MessageLine(), "Return Mode");

    // A new sale clears the mode; the toggle reads it from before.
    fake.calls.clear();
    gReg.gKeyPage = KeyPage::Special;  // back on the Special page
    screen.SetText(kSaleTotalCell, "$3.00");
    Press(16);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "");
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_FALSE(gSale.gReturnMode);
    EXPECT_EQ(MessageLine(), "Return Mode Disabled");
}

TEST_F(SpecialPageTest, SuspendOrRecall) {
    DefaultClient_Load();
    Products({"100"});  // the product of the sale's lines, for the recall
    struct Case {
        bool suspended;
        int lines;
        const char* message;
        int linesAfter;
        bool waiting;    // the suspended-sale file there afterwards
        bool captioned;  // a new sale captions the keys again (their font reset)
    };
    // In turn: nothing to suspend, the sale suspended, no recall over a sale
    // in progress, the suspended sale recalled.
    const Case cases[] = {
        {false, 0, "Invalid Entry, Nothing to Suspend", 0, false, false},
        {false, 2, "Transaction Suspended Successfully", 0, true, true},
        {true, 1, "Operation Not Allowed in Mid Sale", 1, true, false},
        {true, 0, "Transaction Recalled Successfully", 2, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.suspended << " " << c.lines);
        gSale = SaleState{};
        for (int i = 0; i < c.lines; ++i) MidSale();
        gSale.gSuspended = c.suspended;
        fake.calls.clear();
        screen.SetFontSize(SoftKeyId(1), 13);
        CIATime("earlier", 0);
        Press(21);
        EXPECT_TRUE(fake.calls.empty());
        EXPECT_EQ(screen.State(SoftKeyId(1)).font.size, c.captioned ? 11 : 13);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gSale.gItemCount, c.linesAfter);
        EXPECT_EQ(FileExists(Suspend_Path()), c.waiting);
    }
    EXPECT_EQ(gSale.gLines[2].key, "100");
}

TEST_F(SpecialPageTest, MinusKeyAddsTheSignAndKeepsTheEntry) {
    Press(22);
    EXPECT_EQ(Entry(), "-");
    EXPECT_EQ(fake.calls, Calls());
}

TEST_F(SpecialPageTest, PaidOutKeyAsksForTheAmount) {
    struct Case {
        const char* name;
        bool managerNeeded;  // setting 525
        const char* typed;   // the manager's code is 9999
        const char* rights;
        bool asked;
        Calls calls;
        const char* modeBox;  // "" where the key stops before showing the mode
        const char* message;
    };
    const Case cases[] = {
        {"no manager needed", false, "", "", true, {}, "Mode: Paidout", "Type Amount & Press Enter"},
        {"empty code", true, "", "111111", false, {}, "", "Manager Authorization Required"},
        {"manager with right 6", true, "9999", "000001", true, {}, "Mode: Paidout", "Type Amount & Press Enter"},
        {"manager without right 6", true, "9999", "11111", false, {}, "Mode: Sales", "Manager Not Allowed Access"},
        {"code refused", true, "1234", "111111", false, {}, "Mode: Sales", "Manager Authorization Required"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gReg.gPromptState = PromptState::None;
        gSettings.gSystemOption525 = c.managerNeeded;
        Rights(c.rights);
        fake.calls.clear();
        CIATime("earlier", 0);
        screen.SetText(kSaleModeBox, "");
        Press(23, c.typed);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(screen.Text(kSaleModeBox), c.modeBox);
        EXPECT_EQ(gReg.gPromptState, c.asked ? PromptState::PaidOut : PromptState::None);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
    }
    // The amount typed next and Enter pay it out: the drawer opens, the
    // paid-out is written and its slip printed.
    using namespace print_golden;
    gTerminalNumber = kTerminal;
    gSettings.gSystemOption525 = false;
    Press(23);
    fake.calls.clear();
    Printed();
    Type("12.5");
    BReg_Click(4);
    // The paid-out's record, by the cashier alone, and its slip.
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(Journal(2), "202612091030P0" + k8 + "00000017" + "12.5     " + k9);
    const std::string rule = L(std::string(40, '-'));
    EXPECT_EQ(Printed(), L("D") + kOpen + T("PAID OUT") + L("") + L("Date:     09/Dec/2026") + L("Time:     10:30") +
                             L("Terminal: 1234567") + L("Cashier:  Demo") + rule +
                             L("               Total: $      12.50") + rule + kClose);
    EXPECT_EQ(MessageLine(), "Paidout Completed");
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
}

TEST_F(SpecialPageTest, DeclarationKeyAsksForTheAmount) {
    gTender = TenderState{};
    gTender.gPaymentListCount = 2;
    gTender.gPaymentListName[1] = "Cash";
    gTender.gPaymentListName[2] = "Card";
    struct Case {
        bool cashCounted;  // setting 270
        const char* prompt;
    };
    // The caption follows the text directly.
    const Case cases[] = {{true, "Enter Amount For Cash"}, {false, "Enter Amount of Cash Over(+) or Short(-)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cashCounted);
        gSettings.gReportOption = c.cashCounted;
        gReg.gPromptState = PromptState::None;
        CIATime("earlier", 5);
        MidSale();  // allowed at any time
        Press(24);
        EXPECT_EQ(MessageLine(), c.prompt);
        EXPECT_FALSE(timers.Running(TimerId::CIA));  // the question stays
        EXPECT_EQ(gReg.gPromptState, PromptState::Declaration);
    }
    fake.calls.clear();
    Type("-3");
    BReg_Click(4);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(Journal(2), "202612091030C0" + k8 + "00000017" + "-3       " + k9);
    EXPECT_EQ(MessageLine(), "Entry Saved Successfully");
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
}

TEST_F(SpecialPageTest, TheProgramWiresThePage) {
    ProgramServices program;
    const ServiceSet set = program.Set();
    EXPECT_EQ(set.pages, &program.pages);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

ControlId PageKey(int k) { return ControlId{Control::mDept, k}; }

// The web-page keys with a launcher of the test's own in place of the
// desktop's browser: it writes the arguments it was given to a file.
class WebKeyTest : public SpecialPageTest {
protected:
    class Services : public SpecialServices {
    public:
        bool online = true;
        bool Internet_Check() override { return online; }
        int ReadDialSettings() override { return 2; }  // no dial-up set up
    };
    void SetUp() override {
        SpecialPageTest::SetUp();
        Wire(web);
        const std::string script = dir.Write("browser", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.args\"\n");
        ::chmod(script.c_str(), 0700);
        gConstants.browser = script;
        gSale = SaleState{};
    }
    void TearDown() override {
        gConstants.browser = "xdg-open";
        gConstants.webPageKeys = WebPageKeys{};
        SpecialPageTest::TearDown();
    }
    // What the launcher was started with; "" when it was not within 5 s.
    std::string Launched() const {
        for (int i = 0; i < 500; ++i) {
            const std::string args = dir.Read("browser.args");
            if (!args.empty()) return args;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "";
    }
    // The caption the page shows on key `key` in `language`.
    std::string Caption(int key, int language) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        BSys_Click(5);
        return screen.Caption(PageKey(key));
    }
    TestDir dir;
    Services web;
};

TEST_F(WebKeyTest, KeysTakeTheStoresLabelAndHostFromTheConfiguration) {
    struct Case {
        const char* name;
        WebPageKey key18, key20;
        const char* caption18;
        const char* caption20;
    };
    const Case cases[] = {
        {"both set", {"Shop", "shop.example.com"}, {"Book\r\nA Site", "book.example.org"}, "Shop", "Book\r\nA Site"},
        {"nothing set", {}, {}, "", ""},
        {"label without host", {"Shop", ""}, {"", "book.example.org"}, "", ""},
        {"host that is not a plain name", {"Shop", "shop.example.com/x y"}, {"Book", "a;rm -rf"}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gConstants.webPageKeys = WebPageKeys{c.key18, c.key20};
        WebPageKeys_Caption(gConstants.tables);
        for (int language : {1, 2}) {
            EXPECT_EQ(Caption(18, language), c.caption18);
            EXPECT_EQ(Caption(20, language), c.caption20);
            EXPECT_EQ(screen.Enabled(PageKey(18)), *c.caption18 != 0);
        }
    }
    gSettings.gLanguage = 1;
}

TEST_F(WebKeyTest, KeyOpensTheStoresPageInTheBrowser) {
    gConstants.webPageKeys = WebPageKeys{{"Shop", "shop.example.com"}, {"Book", "book.example.org"}};
    Press(18);
    EXPECT_EQ(Launched(), "https://shop.example.com|");
    EXPECT_EQ(MessageLine(), "");
    dir.Write("browser.args", "");
    Press(20);
    EXPECT_EQ(Launched(), "https://book.example.org:443/Start.do?webid=1|");
}

TEST_F(WebKeyTest, WithoutInternetTheCashierIsToldAndTheRegisterGoesOn) {
    gConstants.webPageKeys = WebPageKeys{{"Shop", "shop.example.com"}, {}};
    web.online = false;
    Press(18);
    ASSERT_EQ(screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(screen.MessageBoxes()[0], "You require a default dialup connection to the Internet in this computer.");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(dir.Read("browser.args"), "");
    // The register goes on: the next key still works.
    Press(22);
    EXPECT_EQ(Entry(), "-");
}

// On the program's transfer the Internet check waits on the register's
// runner: every key stays locked and nothing is opened until its completion
// has run; then the browser starts, or the cashier is told there is no
// connection, and the keys come back.
TEST_F(WebKeyTest, TheCheckWaitsInTheBackgroundAndItsCompletionOpensThePage) {
    LocalHttpServer up(200);
    ClosedPort down;
    ASSERT_TRUE(up.Bound() && down.Bound());
    gConstants.webPageKeys = WebPageKeys{{"Shop", "shop.example.com"}, {}};
    WebPageKeys_Caption(gConstants.tables);
    BSys_Click(5);
    for (const bool online : {true, false}) {
        SCOPED_TRACE(online ? "online" : "offline");
        dir.Write("browser.args", "");
        const std::size_t boxes = screen.MessageBoxes().size();
        ManualRunner runner;
        InternetCheckConfig check;
        check.url = online ? up.Url() : down.Url();
        check.connectTimeoutMs = 1000;
        SessionTransfer transfer;
        transfer.internet = &check;
        Reg().services.transfer = &transfer;
        Reg().runner = &runner;
        Reg().programFolder = dir.Path();  // no Dial.Set: no dial-up

        Press(18);
        EXPECT_EQ(MessageLine(), "Request In Progress, Please Wait ... ");
        EXPECT_FALSE(screen.Enabled(PageKey(18)));
        EXPECT_FALSE(screen.Enabled(PageKey(22)));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(dir.Read("browser.args"), "");
        EXPECT_EQ(screen.MessageBoxes().size(), boxes);

        ASSERT_TRUE(runner.RunUntilIdle(10000));
        EXPECT_TRUE(screen.Enabled(PageKey(18)));
        EXPECT_TRUE(screen.Enabled(PageKey(22)));
        if (online) {
            EXPECT_EQ(Launched(), "https://shop.example.com|");
            EXPECT_EQ(MessageLine(), "");
            EXPECT_EQ(screen.MessageBoxes().size(), boxes);
        } else {
            ASSERT_EQ(screen.MessageBoxes().size(), boxes + 1);
            EXPECT_EQ(screen.MessageBoxes().back(),
                      "You require a default dialup connection to the Internet in this computer.");
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(dir.Read("browser.args"), "");
        }
        Reg().runner = nullptr;
        Wire(web);
    }
}

TEST_F(WebKeyTest, MidSaleTheKeyIsRefused) {
    gConstants.webPageKeys = WebPageKeys{{"Shop", "shop.example.com"}, {}};
    MidSale();
    Press(18);
    EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(dir.Read("browser.args"), "");
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// An opening amount the journal cannot take is not a successful login: the
// cashier reads why and the question stays.
TEST_F(SpecialPageTest, OpeningAmountTheJournalCannotTakeKeepsTheQuestion) {
    DefaultClient_Load();  // for the sale the login starts
    Open_FileActivity();   // the journal with its header only
    gData.activity.Close();
    const std::string journal = gConstants.paths.gDataPath + ".ACT";
    gReg.gPromptState = PromptState::OpeningAmount;
    {
        FileSizeLimit full(std::filesystem::file_size(journal));  // no room for a record
        Type("150");
        BReg_Click(4);
    }
    EXPECT_EQ(MessageLine(), "Error: Activity Journal Not Written - See Log");
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
    EXPECT_EQ(JournalCount(), 1);
    // With room again the same amount is taken.
    Type("150");
    BReg_Click(4);
    EXPECT_EQ(MessageLine(), "Cashier Login Successful");
    EXPECT_EQ(gReg.gPromptState, PromptState::None);  // the sale started
    EXPECT_EQ(Journal(2), "202612091030O0" + k8 + "00000017" + "150      " + k9);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// Every page key that has an operation shows a caption in both languages
// (a key without one is drawn disabled and its operation is out of reach).
// The deposit form's keys wait for the form, the Extras page's keys for
// their settings.
TEST_F(WebKeyTest, EveryKeyWithAnOperationHasACaptionInBothLanguages) {
    gConstants.webPageKeys = WebPageKeys{{"Shop", "shop.example.com"}, {"Book", "book.example.org"}};
    WebPageKeys_Caption(gConstants.tables);
    gSettings.gCardEnabled = true;
    gSale.gMode = RegisterMode::Sales;
    struct Page {
        const char* name;
        int group;
        std::vector<int> keys;
    };
    const Page pages[] = {
        {"System", 1, {1, 2, 6, 7, 8, 9, 10, 11, 17, 18, 23, 24}},
        {"Mode", 2, {1, 3, 4, 5, 12, 13, 14, 15, 16, 17, 20, 21, 22, 24}},
        {"Print", 4, {1, 2, 3, 4, 5, 8, 9, 10, 13, 14, 15, 16, 17, 20, 21, 22, 23, 24}},
        {"Special", 5, {1, 2, 4, 7, 8, 13, 14, 15, 16, 18, 20, 21, 22, 23, 24}},
        {"Sales", 6, {1, 3, 4, 6, 7, 9, 13, 14, 15, 16, 21, 23, 24}},
    };
    for (int language : {1, 2}) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        for (const Page& p : pages) {
            BSys_Click(p.group);
            for (int key : p.keys) {
                EXPECT_FALSE(screen.Caption(PageKey(key)).empty())
                    << p.name << " key " << key << " language " << language;
                EXPECT_TRUE(screen.Enabled(PageKey(key))) << p.name << " key " << key << " language " << language;
            }
        }
    }
    gSettings.gLanguage = 1;
}

}  // namespace
}  // namespace tarvo
