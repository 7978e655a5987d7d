#include "register/special_page.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "config/constants.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "key_fixture.h"
#include "office/office_service.h"
#include "platform/background_runner.h"
#include "platform/desktop.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/pages.h"
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
    std::int32_t savedRecord = 5;   // what the journal writers return
    std::int32_t managerIndex = 1;  // the manager an accepted code finds

    void Manager_Required() override {
        calls.push_back("Manager_Required");
        gReg.gAuthorized = managerAccepts;
        gReg.gManagerIndex = managerAccepts ? managerIndex : 0;
    }
    // As the sale engine's: a fresh sale leaves the return and exchange modes.
    void Sale_Start() override {
        calls.push_back("Sale_Start");
        gSale.gReturnMode = false;
        gSale.gExchangeMode = false;
    }
    void Suspend_Store() override { calls.push_back("Suspend_Store"); }
    void Suspend_Recall() override { calls.push_back("Suspend_Recall"); }
    void Logout() override { calls.push_back("Logout"); }
    std::int32_t DepositSafe_Save() override {
        calls.push_back("DepositSafe_Save(" + gReg.gEnteredAmount.Text() + ")");
        return savedRecord;
    }
    std::int32_t DepositBank_Save() override {
        calls.push_back("DepositBank_Save(" + gReg.gEnteredAmount.Text() + ")");
        return savedRecord;
    }
    std::int32_t Drawer_Save() override {
        calls.push_back("Drawer_Save");
        return savedRecord;
    }
    void Card_Settlement() override { calls.push_back("Card_Settlement"); }
    void DepositForm_Show(int mode) override { calls.push_back("DepositForm_Show(" + std::to_string(mode) + ")"); }
};

class SpecialPageTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        Wire(fake);
        gReg.gKeyPage = 14;
        gData.ManagerTable.push_back(ManagerRow{"00000042", "9999", "Boss", "111111"});
        gData.gManagerCount = 1;
        gData.CashierTable.push_back(CashierRow{"00000017", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        // The receipt printer on a port, its bytes read by the test; the
        // printer codes readable ("D" the drawer kick).
        gSettings.gPrinterType = "3";
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

    SpecialServices fake;
    RegisterPages page;
    PrinterCapture printer;
};

TEST_F(SpecialPageTest, MidSaleRefusesTheOperationsOutsideTheSale) {
    gSettings.gSystemPageText = "1";
    gSettings.gSystemOption500 = "1";
    gSettings.gSystemOption510 = "1";
    gSettings.gSystemOption525 = "1";
    fake.managerAccepts = true;
    for (int key : {1, 2, 4, 5, 6, 7, 8, 9, 10, 13, 16, 23}) {
        SCOPED_TRACE(key);
        gSale = SaleState{};
        MidSale();
        fake.calls.clear();
        CIATime("", 0);
        Press(key, "9999");
        EXPECT_EQ(fake.calls, Calls());
        EXPECT_EQ(Printed(), "");  // no drawer, no slip
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
    const Case cases[] = {
        {0, false, {"Communicate(0)"}, ""},
        {0, true, {"Communicate(0)", "RestartProgram"}, ""},
        // No restart after a failed session, even when files arrived.
        {3, true, {"Communicate(0)"}, "Internet Connection Is Not Available"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.result << " " << c.updated);
        fake.calls.clear();
        fake.commResult = c.result;
        fake.commUpdatesProducts = c.updated;
        gComm.gOperationMode = 9;
        gComm.gCommHidden = true;
        CIATime("", 0);
        Press(1);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_FALSE(gComm.gCommHidden);
        EXPECT_EQ(MessageLine(), c.message);
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
    CIATime("", 0);
    Press(4);
    EXPECT_EQ(fake.calls, Calls{"Logout"});
    EXPECT_EQ(MessageLine(), "");
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
    CashOffice office;
    Reg().services.office = &office;
    Open_FileActivity();  // the journal with its header only
    gData.activity.Close();
    const std::string journal = gConstants.paths.gDataPath + ".ACT";
    struct Case {
        const char* name;
        int key;
        const char* typed;
        bool configured;
        bool journalFull;
        bool printerAnswers;
        const char* slip;      // the title of both copies of the slip, "" for none
        const char* amount;    // the amount's title on it
        std::int32_t records;  // the journal's records after the key, its header included
        const char* message;
    };
    const Case cases[] = {
        {"empty entry, even unconfigured", 7, "", false, false, true, "", "", 1, "Invalid Entry"},
        {"not configured", 8, "100", false, false, true, "", "", 1, "Deposit Not Configured"},
        {"to the safe", 7, "250", true, false, true, "<DEPOSIT TO SAFE>", "<Amount: 250.00>", 2, "Deposit Completed"},
        {"to the bank", 8, "0.05", true, false, true, "<DEPOSIT TO BANK>", "<Amount: 0.05>", 3, "Deposit Completed"},
        {"highest", 7, "5000", true, false, true, "<DEPOSIT TO SAFE>", "<Amount: 5,000.00>", 4, "Deposit Completed"},
        // A deposit is any plain amount above 0 that fits its columns.
        {"a day's bank deposit", 8, "12500.75", true, false, true, "<DEPOSIT TO BANK>", "<Amount: 12,500.75>", 5,
         "Deposit Completed"},
        {"not a plain amount", 7, "12abc", true, false, true, "", "", 5, "Invalid Entry"},
        {"zero", 7, "0", true, false, true, "", "", 5, "Invalid Entry"},
        {"negative", 8, "-4999.99", true, false, true, "", "", 5, "Invalid Entry"},
        {"beyond any amount", 7, "99999999999999999999", true, false, true, "", "", 5, "Invalid Entry"},
        // The writer says why; no slip for a record not written.
        {"journal refused", 7, "250", true, true, true, "", "", 5, "Error: Activity Journal Not Written - See Log"},
        // The deposit stays written.
        {"printer error", 8, "250", true, false, false, "", "", 6, "Printer Error, Unable to Print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSettings.gSystemPageText = c.configured ? "DEP" : "";
        PrinterGone(!c.printerAnswers);
        CIATime("earlier", 0);
        if (c.journalFull) {
            FileSizeLimit full(std::filesystem::file_size(journal));
            Press(c.key, c.typed);
        } else {
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
        EXPECT_EQ(JournalCount(), c.records);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
    }
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SpecialPageTest, DepositWritesItsJournalRecord) {
    using namespace print_golden;
    gTerminalNumber = kTerminal;
    CashOffice office;
    Reg().services.office = &office;
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
    gTerminalNumber = kTerminal;
    CashOffice office;
    Reg().services.office = &office;
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
        const char* setting;
        bool accepts;
        const char* rights;
        bool printerAnswers;
        Calls calls;
        bool kicked;  // the drawer kick reached the printer
        const char* message;
    };
    const Case cases[] = {
        {"no manager needed", "0", false, "", true, {"Drawer_Save"}, true, "Drawer Opened"},
        {"drawer failed", "0", false, "", false, {}, false, "Printer Error, Unable to Print"},
        {"manager with right 1", "1", true, "1", true, {"Manager_Required", "Drawer_Save"}, true, "Drawer Opened"},
        {"manager without right 1",
         "1",
         true,
         "0111111",
         true,
         {"Manager_Required"},
         false,
         "Manager Not Allowed Access"},
        {"manager with no rights", "1", true, "", true, {"Manager_Required"}, false, "Manager Not Allowed Access"},
        {"code refused", "1", false, "1", true, {"Manager_Required"}, false, "earlier"},
        {"manager, drawer failed",
         "1",
         true,
         "1",
         false,
         {"Manager_Required"},
         false,
         "Printer Error, Unable to Print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.calls.clear();
        gSettings.gSystemOption500 = c.setting;
        fake.managerAccepts = c.accepts;
        Rights(c.rights);
        PrinterGone(!c.printerAnswers);
        CIATime("earlier", 0);
        Press(13, "9999");
        PrinterGone(false);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(Printed(), c.kicked ? "D\r\n" : "");
        EXPECT_EQ(MessageLine(), c.message);
    }
}

TEST_F(SpecialPageTest, DrawerOpeningWritesItsRecordOnlyWhenTheDrawerOpened) {
    gTerminalNumber = kTerminal;
    CashOffice office;
    Reg().services.office = &office;
    gSettings.gSystemOption500 = "1";
    fake.managerAccepts = true;
    Rights("1");
    Press(13, "9999");
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
    CashOffice office;
    Reg().services.office = &office;
    struct Case {
        const char* name;
        int lines;
        bool card;
        const char* setting;
        bool accepts;
        const char* rights;
        Calls calls;
        const char* manager;  // on the journal's cancel record; nullptr: none written
        const char* message;
    };
    const Case cases[] = {
        {"no lines", 0, false, "0", true, "1111", {}, nullptr, "Invalid Entry"},
        {"card pending, before the manager",
         2,
         true,
         "1",
         true,
         "1111",
         {},
         nullptr,
         "Invalid Entry, Pending Credit Card Transaction"},
        {"no manager needed", 2, false, "0", false, "", {"Sale_Start"}, "        ", ""},
        {"manager with right 4", 1, false, "1", true, "0001", {"Manager_Required", "Sale_Start"}, "00000042", ""},
        {"manager without right 4",
         1,
         false,
         "1",
         true,
         "1110",
         {"Manager_Required"},
         nullptr,
         "Manager Not Allowed Access"},
        {"code refused", 1, false, "1", false, "1111", {"Manager_Required"}, nullptr, "earlier"},
    };
    std::int32_t records = 1;  // the journal's header
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSale = SaleState{};
        for (int i = 0; i < c.lines; ++i) MidSale();
        gSale.gCardInSale = c.card;
        gSettings.gSystemOption515 = c.setting;
        fake.managerAccepts = c.accepts;
        Rights(c.rights);
        fake.calls.clear();
        CIATime("earlier", 0);
        Press(14, "9999");
        EXPECT_EQ(fake.calls, c.calls);
        if (c.manager) {
            // The cancel is on the journal, then a fresh sale begins.
            ++records;
            EXPECT_EQ(Journal(records), "202612091030S0" + std::string(c.manager) + "00000017" + k9 + k9);
        }
        EXPECT_EQ(JournalCount(), records);
        EXPECT_EQ(MessageLine(), c.message);
    }
}

TEST_F(SpecialPageTest, ExchangeModeTogglesAlsoMidSale) {
    screen.SetCaption(ControlId{Control::BDep, 1}, "Grocery");
    MidSale();
    gSale.gReturnMode = true;
    Press(15);
    EXPECT_FALSE(fake.Called("Sale_Start"));
    EXPECT_EQ(gReg.gKeyPage, 1);  // the default page again
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Exchange");
    EXPECT_TRUE(gSale.gExchangeMode);
    EXPECT_TRUE(gSale.gExchangeStarted);
    EXPECT_FALSE(gSale.gReturnMode);
    EXPECT_EQ(MessageLine(), "Exchange Mode");
    EXPECT_EQ(gSale.gItemCount, 1);

    fake.calls.clear();
    gReg.gKeyPage = 14;  // back on the Special page
    Press(15);
    EXPECT_FALSE(fake.Called("Sale_Start"));
    EXPECT_EQ(gReg.gKeyPage, 1);
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_FALSE(gSale.gExchangeMode);
    EXPECT_EQ(MessageLine(), "Exchange Mode Disabled");
}

TEST_F(SpecialPageTest, ExchangeAndReturnNeedAManagerWithRight3) {
    gSettings.gSystemOption510 = "1";
    struct Case {
        bool accepts;
        const char* rights;
        bool changed;
        const char* message;
    };
    const Case cases[] = {
        {true, "001", true, ""},
        {true, "110", false, "Manager Not Allowed Access"},
        {false, "111", false, "earlier"},
    };
    for (int key : {15, 16}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << key << " " << c.accepts << " " << c.rights);
            gSale = SaleState{};
            fake.calls.clear();
            fake.managerAccepts = c.accepts;
            Rights(c.rights);
            CIATime("earlier", 0);
            screen.SetText(kSaleModeBox, "");
            Press(key, "9999");
            const bool mode = key == 15 ? gSale.gExchangeMode : gSale.gReturnMode;
            EXPECT_EQ(mode, c.changed);
            EXPECT_TRUE(fake.Called("Manager_Required"));
            // The mode box is shown again, also when refused.
            EXPECT_EQ(screen.Text(kSaleModeBox), !c.changed  ? "Mode: Sales"
                                                 : key == 15 ? "Mode: Exchange"
                                                             : "Mode: Return");
            EXPECT_EQ(fake.Called("Sale_Start"), key == 16 && c.changed);
            if (!c.changed) {
                EXPECT_EQ(MessageLine(), c.message);
            }
        }
    }
}

TEST_F(SpecialPageTest, ReturnModeStartsAFreshSaleThenToggles) {
    screen.SetCaption(ControlId{Control::BDep, 1}, "Grocery");
    gSale.gExchangeMode = true;
    Press(16);
    EXPECT_TRUE(fake.Called("Sale_Start"));
    EXPECT_EQ(gReg.gKeyPage, 1);  // the default page again
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Return");
    EXPECT_TRUE(gSale.gReturnMode);
    EXPECT_FALSE(gSale.gExchangeMode);
    EXPECT_EQ(MessageLine(), "Return Mode");

    // Sale_Start clears the mode; the toggle reads it from before.
    fake.calls.clear();
    gReg.gKeyPage = 14;  // back on the Special page
    Press(16);
    EXPECT_TRUE(fake.Called("Sale_Start"));
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_FALSE(gSale.gReturnMode);
    EXPECT_EQ(MessageLine(), "Return Mode Disabled");
}

TEST_F(SpecialPageTest, SuspendOrRecall) {
    struct Case {
        bool suspended;
        int lines;
        Calls calls;
        const char* message;
    };
    const Case cases[] = {
        {false, 0, {}, "Invalid Entry, Nothing to Suspend"},
        {false, 2, {"Suspend_Store"}, "earlier"},
        {true, 0, {"Suspend_Recall"}, "earlier"},
        {true, 1, {}, "Operation Not Allowed in Mid Sale"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.suspended << " " << c.lines);
        gSale = SaleState{};
        for (int i = 0; i < c.lines; ++i) MidSale();
        gSale.gSuspended = c.suspended;
        fake.calls.clear();
        CIATime("earlier", 0);
        Press(21);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(MessageLine(), c.message);
    }
}

TEST_F(SpecialPageTest, MinusKeyAddsTheSignAndKeepsTheEntry) {
    Press(22);
    EXPECT_EQ(Entry(), "-");
    EXPECT_EQ(fake.calls, Calls());
}

TEST_F(SpecialPageTest, PaidOutKeyAsksForTheAmount) {
    struct Case {
        const char* name;
        const char* setting;
        const char* typed;
        bool accepts;
        const char* rights;
        bool asked;
        Calls calls;
        const char* modeBox;  // "" where the key stops before showing the mode
        const char* message;
    };
    const Case cases[] = {
        {"no manager needed", "0", "", false, "", true, {}, "Mode: Paidout", "Type Amount & Press Enter"},
        {"empty code", "1", "", true, "111111", false, {}, "", "Manager Authorization Required"},
        {"manager with right 6",
         "1",
         "9999",
         true,
         "000001",
         true,
         {"Manager_Required"},
         "Mode: Paidout",
         "Type Amount & Press Enter"},
        {"manager without right 6",
         "1",
         "9999",
         true,
         "11111",
         false,
         {"Manager_Required"},
         "Mode: Sales",
         "Manager Not Allowed Access"},
        {"code refused", "1", "9999", false, "111111", false, {"Manager_Required"}, "Mode: Sales", "earlier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gReg.gPromptState = PromptState::None;
        gSettings.gSystemOption525 = c.setting;
        fake.managerAccepts = c.accepts;
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
    CashOffice office;
    Reg().services.office = &office;
    gSettings.gSystemOption525 = "0";
    Press(23);
    fake.calls.clear();
    Printed();
    Type("12.5");
    BReg_Click(4);
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
        const char* option;
        const char* prompt;
    };
    // The caption follows the text directly.
    const Case cases[] = {{"True", "Enter Amount For Cash"}, {"False", "Enter Amount of Cash Over(+) or Short(-)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        gSettings.gReportOption = c.option;
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
    EXPECT_EQ(fake.calls, (Calls{"Declare_Save(-3)"}));
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
    gTerminalNumber = kTerminal;
    CashOffice office;
    Reg().services.office = &office;
    Open_FileActivity();  // the journal with its header only
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
    gSettings.gCardEnabled = "1";
    gSale.gMode = 11;
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
