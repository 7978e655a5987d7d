#include "register/special_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/constants.h"
#include "data/transaction_files.h"
#include "key_fixture.h"
#include "office/office_service.h"
#include "register/pages.h"
#include "sale/tenders.h"
#include "screen/messages.h"

namespace tarvo {
namespace {

using Calls = std::vector<std::string>;

const std::string k8(8, ' ');
const std::string k9(9, ' ');

// The recording services with what the Special page reaches beyond the keys.
class SpecialServices : public RecordingKeys {
public:
    std::int32_t savedRecord = 5;   // what the journal writers return
    std::int16_t printStatus = 0;   // after a printout or the drawer
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
    std::int16_t PrintStatus() const override { return printStatus; }
    void Deposit_PrintSafe(std::int32_t recNo) override {
        calls.push_back("Deposit_PrintSafe(" + std::to_string(recNo) + ")");
    }
    void DepositBank_Print(std::int32_t recNo) override {
        calls.push_back("DepositBank_Print(" + std::to_string(recNo) + ")");
    }
    void Card_Settlement() override { calls.push_back("Card_Settlement"); }
    void Sale_Cancel() override { calls.push_back("Sale_Cancel"); }
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
    }
    // The page over `services` (their own Special_Process is not used).
    void Wire(RegisterServices& services) {
        Reg().services = &services;
        Reg().services.pages = &page;
    }
    void Press(int key, const std::string& typed = "") {
        Type(typed);
        mDept_Click(key);
    }
    void Rights(const std::string& rights) { gData.ManagerTable[1].ManagerRights = rights; }
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
        EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
        EXPECT_EQ(gReg.gPromptState, 0);
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
    struct Case {
        const char* name;
        int key;
        const char* typed;
        bool configured;
        std::int32_t saved;
        std::int16_t printStatus;
        Calls calls;
        const char* message;
    };
    const Case cases[] = {
        {"empty entry, even unconfigured", 7, "", false, 5, 0, {}, "Invalid Entry"},
        {"not configured", 8, "100", false, 5, 0, {}, "Deposit Not Configured"},
        {"to the safe", 7, "250", true, 5, 0, {"DepositSafe_Save(250)", "Deposit_PrintSafe(5)"}, "Deposit Completed"},
        {"to the bank", 8, "0.05", true, 6, 0, {"DepositBank_Save(.05)", "DepositBank_Print(6)"}, "Deposit Completed"},
        {"highest", 7, "5000", true, 5, 0, {"DepositSafe_Save(5000)", "Deposit_PrintSafe(5)"}, "Deposit Completed"},
        {"lowest",
         8,
         "-4999.99",
         true,
         5,
         0,
         {"DepositBank_Save(-4999.99)", "DepositBank_Print(5)"},
         "Deposit Completed"},
        {"leading number only",
         7,
         "12abc",
         true,
         5,
         0,
         {"DepositSafe_Save(12)", "Deposit_PrintSafe(5)"},
         "Deposit Completed"},
        {"too much", 7, "5000.01", true, 5, 0, {}, "Invalid Entry"},
        {"too low", 8, "-5000", true, 5, 0, {}, "Invalid Entry"},
        {"beyond any amount", 7, "99999999999999999999", true, 5, 0, {}, "Invalid Entry"},
        // The writer has said why; no slip for a record not written.
        {"journal refused", 7, "250", true, 0, 0, {"DepositSafe_Save(250)"}, "earlier"},
        // The deposit stays written.
        {"printer error",
         8,
         "250",
         true,
         5,
         2,
         {"DepositBank_Save(250)", "DepositBank_Print(5)"},
         "Printer Error, Unable to Print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.calls.clear();
        fake.savedRecord = c.saved;
        fake.printStatus = c.printStatus;
        gSettings.gSystemPageText = c.configured ? "DEP" : "";
        CIATime("earlier", 0);
        Press(c.key, c.typed);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(SpecialPageTest, DepositWritesItsJournalRecord) {
    gTerminalNumber = kTerminal;
    CashOffice office;
    Reg().services.office = &office;
    gSettings.gSystemPageText = "DEP";
    Press(7, "250");
    EXPECT_EQ(fake.calls, Calls{"Deposit_PrintSafe(2)"});
    EXPECT_EQ(Journal(2), "202612091030D0" + k8 + "00000017" + "250      " + k9);
    Press(8, "-12.5");
    EXPECT_EQ(Journal(3), "202612091030B0" + k8 + "00000017" + "-12.5    " + k9);
    // Refused amounts write nothing.
    Press(7, "5000.01");
    Press(8, "-5000");
    EXPECT_EQ(JournalCount(), 3);
}

TEST_F(SpecialPageTest, DrawerKey) {
    struct Case {
        const char* name;
        const char* setting;
        bool accepts;
        const char* rights;
        std::int16_t printStatus;
        Calls calls;
        const char* message;
    };
    const Case cases[] = {
        {"no manager needed", "0", false, "", 0, {"Drawer_Open", "Drawer_Save"}, "Drawer Opened"},
        {"drawer failed", "0", false, "", 1, {"Drawer_Open"}, "Printer Error, Unable to Print"},
        {"manager with right 1",
         "1",
         true,
         "1",
         0,
         {"Manager_Required", "Drawer_Open", "Drawer_Save"},
         "Drawer Opened"},
        {"manager without right 1", "1", true, "0111111", 0, {"Manager_Required"}, "Manager Not Allowed Access"},
        {"manager with no rights", "1", true, "", 0, {"Manager_Required"}, "Manager Not Allowed Access"},
        {"code refused", "1", false, "1", 0, {"Manager_Required"}, "earlier"},
        {"manager, drawer failed",
         "1",
         true,
         "1",
         2,
         {"Manager_Required", "Drawer_Open"},
         "Printer Error, Unable to Print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.calls.clear();
        gSettings.gSystemOption500 = c.setting;
        fake.managerAccepts = c.accepts;
        fake.printStatus = c.printStatus;
        Rights(c.rights);
        CIATime("earlier", 0);
        Press(13, "9999");
        EXPECT_EQ(fake.calls, c.calls);
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
    fake.printStatus = 1;
    Press(13, "9999");
    EXPECT_EQ(JournalCount(), 2);
}

TEST_F(SpecialPageTest, CancelSale) {
    struct Case {
        const char* name;
        int lines;
        bool card;
        const char* setting;
        bool accepts;
        const char* rights;
        Calls calls;
        const char* message;
    };
    const Case cases[] = {
        {"no lines", 0, false, "0", true, "1111", {}, "Invalid Entry"},
        {"card pending, before the manager",
         2,
         true,
         "1",
         true,
         "1111",
         {},
         "Invalid Entry, Pending Credit Card Transaction"},
        {"no manager needed", 2, false, "0", false, "", {"Sale_Cancel"}, "earlier"},
        {"manager with right 4", 1, false, "1", true, "0001", {"Manager_Required", "Sale_Cancel"}, "earlier"},
        {"manager without right 4", 1, false, "1", true, "1110", {"Manager_Required"}, "Manager Not Allowed Access"},
        {"code refused", 1, false, "1", false, "1111", {"Manager_Required"}, "earlier"},
    };
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
        EXPECT_EQ(MessageLine(), c.message);
    }
    // Without the inventory subsystem the key answers "Invalid Entry".
    RegisterServices standIns;
    Wire(standIns);
    gSale.gCardInSale = false;
    gSettings.gSystemOption515 = "0";
    CIATime("", 0);
    Press(14);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

TEST_F(SpecialPageTest, ExchangeModeTogglesAlsoMidSale) {
    MidSale();
    gSale.gReturnMode = true;
    Press(15);
    EXPECT_EQ(fake.calls, (Calls{"Department_SetDefaultKey", "Mode_Display"}));
    EXPECT_TRUE(gSale.gExchangeMode);
    EXPECT_TRUE(gSale.gExchangeStarted);
    EXPECT_FALSE(gSale.gReturnMode);
    EXPECT_EQ(MessageLine(), "Exchange Mode");
    EXPECT_EQ(gSale.gItemCount, 1);

    fake.calls.clear();
    Press(15);
    EXPECT_EQ(fake.calls, (Calls{"Department_SetDefaultKey", "Mode_Display"}));
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
            Press(key, "9999");
            const bool mode = key == 15 ? gSale.gExchangeMode : gSale.gReturnMode;
            EXPECT_EQ(mode, c.changed);
            EXPECT_TRUE(fake.Called("Manager_Required"));
            EXPECT_EQ(fake.calls.back(), "Mode_Display");  // also when refused
            EXPECT_EQ(fake.Called("Sale_Start"), key == 16 && c.changed);
            if (!c.changed) {
                EXPECT_EQ(MessageLine(), c.message);
            }
        }
    }
}

TEST_F(SpecialPageTest, ReturnModeStartsAFreshSaleThenToggles) {
    gSale.gExchangeMode = true;
    Press(16);
    EXPECT_EQ(fake.calls, (Calls{"Sale_Start", "Department_SetDefaultKey", "Mode_Display"}));
    EXPECT_TRUE(gSale.gReturnMode);
    EXPECT_FALSE(gSale.gExchangeMode);
    EXPECT_EQ(MessageLine(), "Return Mode");

    // Sale_Start clears the mode; the toggle reads it from before.
    fake.calls.clear();
    Press(16);
    EXPECT_EQ(fake.calls, (Calls{"Sale_Start", "Department_SetDefaultKey", "Mode_Display"}));
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
        const char* message;
    };
    const Case cases[] = {
        {"no manager needed", "0", "", false, "", true, {"Mode_Display"}, "Type Amount & Press Enter"},
        {"empty code", "1", "", true, "111111", false, {}, "Manager Authorization Required"},
        {"manager with right 6",
         "1",
         "9999",
         true,
         "000001",
         true,
         {"Manager_Required", "Mode_Display"},
         "Type Amount & Press Enter"},
        {"manager without right 6",
         "1",
         "9999",
         true,
         "11111",
         false,
         {"Manager_Required", "Mode_Display"},
         "Manager Not Allowed Access"},
        {"code refused", "1", "9999", false, "111111", false, {"Manager_Required", "Mode_Display"}, "earlier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gReg.gPromptState = 0;
        gSettings.gSystemOption525 = c.setting;
        fake.managerAccepts = c.accepts;
        Rights(c.rights);
        fake.calls.clear();
        CIATime("earlier", 0);
        Press(23, c.typed);
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(gReg.gPromptState, c.asked ? 1 : 0);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
    }
    // The amount typed next and Enter pay it out.
    gSettings.gSystemOption525 = "0";
    Press(23);
    fake.calls.clear();
    Type("12.5");
    BReg_Click(4);
    EXPECT_EQ(fake.calls, (Calls{"Drawer_Open", "Paidout_Save(12.5)", "PaidOut_Print(42)", "Mode_Display"}));
    EXPECT_EQ(gReg.gPromptState, 0);
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
        gReg.gPromptState = 0;
        CIATime("earlier", 5);
        MidSale();  // allowed at any time
        Press(24);
        EXPECT_EQ(MessageLine(), c.prompt);
        EXPECT_FALSE(timers.Running(TimerId::CIA));  // the question stays
        EXPECT_EQ(gReg.gPromptState, 4);
    }
    fake.calls.clear();
    Type("-3");
    BReg_Click(4);
    EXPECT_EQ(fake.calls, (Calls{"Declare_Save(-3)", "Mode_Display"}));
    EXPECT_EQ(gReg.gPromptState, 0);
}

TEST_F(SpecialPageTest, TheProgramWiresThePage) {
    ProgramServices program;
    const ServiceSet set = program.Set();
    EXPECT_EQ(set.pages, &program.pages);
}

}  // namespace
}  // namespace tarvo
