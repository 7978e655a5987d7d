#include "online/deposit_form.h"

#include <gtest/gtest.h>

#include "data/data_state.h"
#include "data/log.h"
#include "online/deposit_office.h"
#include "platform/background_runner.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "screen/register_state.h"
#include "test_dir.h"

namespace tarvo {
namespace {

struct Box {
    std::string title, text;
    bool operator==(const Box&) const = default;
};

// What the window was told: shown, the boxes, hidden.
class RecordingDepositView : public DepositView {
public:
    void Deposit_Show(DepositForm&) override { ++shown; }
    void Deposit_Update(const DepositForm& form) override {
        ++updates;
        lockedSeen = lockedSeen || (form.Busy() && !form.Enabled(kDepositSave) && !form.Enabled(kDepositCancel));
    }
    void Deposit_Box(const std::string& title, const std::string& text) override { boxes.push_back({title, text}); }
    void Deposit_Hide() override { ++hidden; }
    int shown = 0, updates = 0, hidden = 0;
    bool lockedSeen = false;
    std::vector<Box> boxes;
};

class DepositFormTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Data_Reset(gData);
        UseTerminalFolder(dir.Path());
        gTerminalNumber = "1234567";
        gSettings.gSiteId = "12";
        gConstants.servers.gServerSlot = 1;
        office.stub.UseAsSlot(1);
        office.Healthy();
        gData.CategoryTable = {{}, {"1", "10010 Licences"}, {"2", "20020 Permits"}, {"3", "300"}};
        gData.gCategoryCount = 3;
        gData.CashierTable = {{}, {"42", "1111", "Dana Cashier", 1}};
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        screen.SetVisible(kRegisterForm, true);
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }
    DepositFormSetup FormSetup() {
        DepositFormSetup s;
        s.runner = &runner;
        s.clock = &clock;
        s.sender = [] { return Deposit_BackOfficeSender(3000); };
        s.printTicket = [this](const DepositTicketData& t) {
            printed.push_back(t.number);
            return true;
        };
        return s;
    }
    // Waits for the request in hand and runs its completion.
    void Finish() { ASSERT_TRUE(runner.RunUntilIdle(5000)); }
    void Fill(const std::string& number, const std::string& date, const std::string& amount, int revenue) {
        form.Text_Changed(kDepositNumber, number);
        form.Text_Changed(kDepositDate, date);
        form.Text_Changed(kDepositAmount, amount);
        form.Revenue_Chosen(revenue);
    }
    bool RegisterShown() const { return screen.Visible(kRegisterForm); }

    TestDir dir;
    DepositOffice office;
    ManualRunner runner;
    RecordingDepositView view;
    std::vector<std::string> printed;
    DepositForm form{view, FormSetup()};
};

TEST_F(DepositFormTest, EachModeShowsItsCaptionsAndFields) {
    struct Case {
        int mode;
        const char* title;
        const char* save;
        DepositField focus;
        bool record, date, amount, cash, print, line;
    };
    const std::vector<Case> cases = {
        {1, "Add a New Deposit", "Save", kDepositNumber, false, true, true, true, false, true},
        {2, "Add a New Line", "Save", kDepositNumber, false, false, true, true, false, true},
        {3, "Print a Deposit", "Print", kDepositNumber, false, false, false, false, true, false},
        {4, "Modify a Line", "Modify", kDepositRecord, true, true, true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        form.Load(c.mode);
        EXPECT_TRUE(form.IsLoaded());
        EXPECT_FALSE(RegisterShown());
        EXPECT_EQ(form.Title(), c.title);
        EXPECT_EQ(form.SaveCaption(), c.save);
        EXPECT_EQ(form.Focus(), c.focus);
        EXPECT_EQ(form.Enabled(kDepositRecord), c.record);
        EXPECT_EQ(form.Enabled(kDepositDate), c.date);
        EXPECT_EQ(form.Enabled(kDepositAmount), c.amount);
        EXPECT_EQ(form.Enabled(kDepositRevenue), c.amount);
        EXPECT_EQ(form.Enabled(kDepositCash), c.cash);
        EXPECT_EQ(form.Enabled(kDepositPrint), c.print);
        EXPECT_EQ(form.Visible(kDepositLine), c.line);
        EXPECT_FALSE(form.Enabled(kDepositLine));
        EXPECT_TRUE(form.Enabled(kDepositNumber));
        form.Cancel_Click();
        EXPECT_TRUE(RegisterShown());
    }
    EXPECT_EQ(view.shown, 4);
    EXPECT_EQ(view.hidden, 4);

    gSettings.gLanguage = 2;
    form.Load(3);
    EXPECT_EQ(form.Title(), "Imprimer un Depot");
    EXPECT_EQ(form.SaveCaption(), "Imprimer");
}

TEST_F(DepositFormTest, AnUnknownModeOpensNothing) {
    form.Load(5);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(view.shown, 0);
    EXPECT_TRUE(RegisterShown());
}

TEST_F(DepositFormTest, EveryCategoryIsOfferedAndTheCodeIsItsFirstFiveCharacters) {
    form.Load(1);
    EXPECT_EQ(form.RevenueList(), (std::vector<std::string>{"10010 Licences", "20020 Permits", "300"}));
    form.Revenue_Chosen(1);
    EXPECT_EQ(form.RevenueCode(), "20020");
    form.Revenue_Chosen(7);
    EXPECT_EQ(form.RevenueCode(), "");
}

TEST_F(DepositFormTest, EnterAndDownMoveForwardUpMovesBack) {
    form.Load(4);
    office.Answer(DepositOffice::kRecord, DepositRowsReply({}));
    std::vector<DepositField> seen{form.Focus()};
    form.Enter_Key();  // leaves the record: its look-up runs
    Finish();
    for (int i = 0; i < 6; ++i) {
        seen.push_back(form.Focus());
        form.Enter_Key();
    }
    EXPECT_EQ(seen, (std::vector<DepositField>{kDepositRecord, kDepositNumber, kDepositDate, kDepositAmount,
                                               kDepositRevenue, kDepositCash, kDepositSave}));
    form.Up_Key();
    EXPECT_EQ(form.Focus(), kDepositSave);  // from Cancel back to Save
    form.Up_Key();
    EXPECT_EQ(form.Focus(), kDepositCash);
}

TEST_F(DepositFormTest, FieldChecksRefuseWithTheirMessageAndSendNothing) {
    struct Case {
        const char* date;
        const char* amount;
        const char* number;
        int revenue;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"", "10", "4711", 0, "Date is required."},
        {"03-15-2026", "", "4711", 0, "Amount is required."},
        {"03-15-2026", "10", "", 0, "Deposit number is required."},
        {"03-15-2026", "10", "4711", -1, "Revenue Code is required."},
        {"03-15-2026", "1000000.01", "4711", 0, "Amount is invalid."},
        {"03-15-2026", "0", "4711", 0, "Amount is invalid."},
        {"03-15-2026", "-5", "4711", 0, "Amount is invalid."},
        {"03-15-2026", "12abc", "4711", 0, "Amount is invalid."},
        {"03-15-2026", "1.005", "4711", 0, "Amount is invalid."},
        {"03-15-2026", "1e3", "4711", 0, "Amount is invalid."},
        {"1-1-2015", "10", "4711", 0, "Date Field is invalid."},
        {"03-15-20266", "10", "4711", 0, "Date Field is invalid."},
        {"13-01-2015", "10", "4711", 0, "Month Field is invalid."},
        {"ab-01-2015", "10", "4711", 0, "Month Field is invalid."},
        {"01-32-2015", "10", "4711", 0, "Day Field is invalid."},
        {"02-30-2024", "10", "4711", 0, "Day Field is invalid."},
        {"02-29-2025", "10", "4711", 0, "Day Field is invalid."},
        {"01-01-2012", "10", "4711", 0, "Year Field is invalid."},
        {"01-01-2028", "10", "4711", 0, "Year Field is invalid."},
    };
    form.Load(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " / " + c.amount + " / " + c.number);
        Fill(c.number, c.date, c.amount, c.revenue);
        form.Save_Click();
        EXPECT_EQ(form.Message(), c.message);
        EXPECT_FALSE(form.Busy());
        EXPECT_EQ(form.Text(kDepositDate), c.date);  // the fields stay
    }
    EXPECT_TRUE(office.Sql().empty());
    EXPECT_TRUE(form.IsLoaded());
}

TEST_F(DepositFormTest, ValuesAtTheEdgesPass) {
    const std::vector<std::pair<const char*, const char*>> good = {
        {"1000000", "01-01-2013"}, {"0.01", "12-31-2027"}, {".5", "02-29-2024"}, {"250.5", "03/15/2026"}};
    form.Load(1);
    for (const auto& [amount, date] : good) {
        SCOPED_TRACE(std::string(amount) + " " + date);
        Fill("4711", date, amount, 0);
        form.Save_Click();
        EXPECT_TRUE(form.Busy());
        Finish();
        EXPECT_EQ(form.Message(), "Entry Saved Successfully");
    }
    // Any separator is sent as "-".
    EXPECT_NE(office.Sql().back().find("'250.5'"), std::string::npos);
    EXPECT_NE(office.Sql()[office.Sql().size() - 2].find("to_DATE('03-15-2026','mm-dd-yyyy')"), std::string::npos);
}

TEST_F(DepositFormTest, ANewDepositIsSavedWithItsFirstLineAndTheButtonsLockedMeanwhile) {
    office.Answer(DepositOffice::kMaster, DepositRowsReply({}));
    form.Load(1);
    form.Text_Changed(kDepositNumber, "4711");
    form.Enter_Key();  // the number is checked: new
    EXPECT_TRUE(form.Busy());
    form.Cancel_Click();  // locked
    EXPECT_TRUE(form.IsLoaded());
    Finish();
    EXPECT_EQ(form.Focus(), kDepositCash);
    form.Text_Changed(kDepositDate, "03-15-2026");
    form.Text_Changed(kDepositAmount, "250.50");
    form.Revenue_Chosen(0);
    form.Cash_Toggled(true);
    form.Save_Click();
    EXPECT_EQ(form.Message(), "Request In Progress, Please Wait ... ");
    EXPECT_TRUE(view.lockedSeen);
    Finish();
    EXPECT_EQ(form.Message(), "Entry Saved Successfully");
    EXPECT_EQ(form.Text(kDepositLine), "1");
    EXPECT_EQ(view.boxes.back(), (Box{"New number", "Mark Down The New Number, Then Press Enter To Continue ..."}));
    const auto sql = office.Sql();
    ASSERT_EQ(sql.size(), 4u);
    EXPECT_NE(sql[2].find("Values('9001',12,42      ,42      ,to_DATE('03-15-2026','mm-dd-yyyy'),'4711','1 ')"),
              std::string::npos)
        << sql[2];
    EXPECT_NE(sql[3].find("Values('1',Trim('4711'),'250.50','10010')"), std::string::npos) << sql[3];
}

TEST_F(DepositFormTest, ANumberThatExistsIsRefusedInModeOne) {
    office.Answer(DepositOffice::kMaster, DepositRowsReply({{"9001", "12", "42", "42", "03-15-2026", "4711", "1 "}}));
    form.Load(1);
    form.Text_Changed(kDepositNumber, "4711");
    form.Enter_Key();
    Finish();
    EXPECT_EQ(view.boxes, (std::vector<Box>{{"", "Record found."}}));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(RegisterShown());
}

TEST_F(DepositFormTest, ModeTwoFillsTheDepositAndAddsTheNextLine) {
    office.Answer(DepositOffice::kMaster,
                  DepositRowsReply({{"9001", "12", "42", "42", "2026-03-15 00:00:00", "4711", "1 ", "", "20020"}}));
    form.Load(2);
    form.Text_Changed(kDepositNumber, "4711");
    form.Enter_Key();
    Finish();
    EXPECT_EQ(form.Text(kDepositDate), "03-15-2026");
    EXPECT_EQ(form.Text(kDepositRecord), "9001");
    EXPECT_TRUE(form.Cash());
    EXPECT_EQ(form.RevenueCode(), "20020");
    form.Text_Changed(kDepositAmount, "12");
    form.Save_Click();
    Finish();
    EXPECT_EQ(form.Message(), "Entry Saved Successfully");
    EXPECT_EQ(form.Text(kDepositLine), "3");
    EXPECT_NE(office.Sql().back().find("Values('3',Trim('4711'),'12','20020')"), std::string::npos);
}

TEST_F(DepositFormTest, ModeTwoWithAnUnknownNumberCloses) {
    office.Answer(DepositOffice::kMaster, DepositRowsReply({}));
    form.Load(2);
    form.Text_Changed(kDepositNumber, "999");
    form.Enter_Key();
    Finish();
    EXPECT_EQ(view.boxes, (std::vector<Box>{{"", "No such record found."}}));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(RegisterShown());
}

// What the manager reads after each failure of a save.
TEST_F(DepositFormTest, SaveFailuresSayWhatHappened) {
    struct Case {
        int mode;
        const char* prefix;
        std::string answer;
        const char* message;
        const char* box;
        bool staysOpen;
    };
    const std::vector<Case> cases = {
        {1, DepositOffice::kSequence, DepositRowsReply({}), "No records selected for sequence, Contact Morvane",
         "Contact Morvane, and notify them of problem. Error=0", true},
        {1, DepositOffice::kMasterInsert, "", "ERROR: Received empty message in response.",
         "Insert Failed. Error=1. Contact Morvane.", true},
        {1, DepositOffice::kMasterInsert, "<result>ORA-01400</result>", "Successful not included.",
         "Insert Failed. Error=1. Contact Morvane.", true},
        {1, DepositOffice::kLineInsert, "<result>no</result>", "Deposit 4711 was saved without its line.",
         "Deposit 4711 was saved, but its first line was not. Add the line with \"Add a New Line\". Error=62", true},
        {2, DepositOffice::kHighest, DepositRowsReply({}), "Unsuccessful: Communication Error",
         "Error: Unexpected error happened. Error=66", true},
        {2, DepositOffice::kHighest, DepositRowsReply({{"100"}}), "A deposit holds at most 100 lines.",
         "A deposit holds at most 100 lines.", true},
        {2, DepositOffice::kLineInsert, "", "ERROR: Received empty message in response.",
         "Insert Failed. Error=62. Contact Morvane.", true},
        {2, DepositOffice::kLineInsert, "<result>x</result>", "Successful not included.",
         "Successful not included. Contact Morvane immedately. Error=62", true},
        {4, DepositOffice::kModify, "", "ERROR: Received empty message in response.", "Update Failed. Error=7", false},
        {4, DepositOffice::kModify, "<result>x</result>", "Successful not included.",
         "Successful not included. Contact Morvane immedately. Error=8.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("mode ") + std::to_string(c.mode) + " " + c.prefix + " " + c.answer);
        office.Healthy();
        office.Answer(c.prefix, c.answer);
        view.boxes.clear();
        form.Load(c.mode);
        if (c.mode == 4) form.Text_Changed(kDepositRecord, "77");
        if (c.mode == 2) {  // the deposit's own date comes with its number
            office.Answer(DepositOffice::kMaster, DepositRowsReply({{"9001", "12", "42", "42", "03-15-2026", "4711"}}));
            form.Text_Changed(kDepositNumber, "4711");
            form.Enter_Key();
            Finish();
        }
        Fill("4711", "03-15-2026", "10", 0);
        form.Save_Click();
        Finish();
        EXPECT_EQ(form.Message(), c.message);
        ASSERT_FALSE(view.boxes.empty());
        EXPECT_EQ(view.boxes.back().text, c.box);
        EXPECT_EQ(form.IsLoaded(), c.staysOpen);
        EXPECT_TRUE(printed.empty());
        if (form.IsLoaded()) form.Cancel_Click();
    }
}

TEST_F(DepositFormTest, ATimedOutSaveIsACommunicationError) {
    DepositFormSetup s = FormSetup();
    s.sender = [] { return Deposit_BackOfficeSender(300); };
    DepositForm quick(view, s);
    office.Stall(DepositOffice::kSequence, 3000);
    quick.Load(1);
    quick.Text_Changed(kDepositNumber, "4711");
    quick.Text_Changed(kDepositDate, "03-15-2026");
    quick.Text_Changed(kDepositAmount, "10");
    quick.Revenue_Chosen(0);
    quick.Save_Click();
    Finish();
    EXPECT_EQ(quick.Message(), "Unsuccessful: Communication Error");
    EXPECT_EQ(view.boxes.back().text, "Error: Unexpected error happened. Error=64");
    EXPECT_TRUE(quick.IsLoaded());
}

TEST_F(DepositFormTest, ASiteThatIsNotANumberIsRefusedBeforeAnythingIsSent) {
    gSettings.gSiteId = "12'";
    form.Load(1);
    Fill("4711", "03-15-2026", "10", 0);
    form.Save_Click();
    Finish();
    EXPECT_EQ(form.Message(), "The site or cashier number cannot be sent: check the register's setup.");
    EXPECT_TRUE(office.Sql().empty());
}

class DepositTicketFormTest : public DepositFormTest {
protected:
    void SetUp() override {
        DepositFormTest::SetUp();
        Good();
    }
    void Good() {
        office.Answer(DepositOffice::kMaster,
                      DepositRowsReply({{"9001", "12", "42      ", "42      ", "03-15-2026", "4711", "1 "}}));
        office.Answer(DepositOffice::kLines, DepositRowsReply({{"1", "1", "4711", "250.5", "10010", "12"}}));
        office.Answer(DepositOffice::kBank, DepositRowsReply({{"000123", "First Bank", "FB01", "Main Street"}}));
        office.Answer(DepositOffice::kRevenue,
                      DepositRowsReply({{"12", "10010", "AG1", "T1", "F1", "2026", "10010", "C1", "FIPS1"}}));
        office.Answer(DepositOffice::kRecord, DepositRowsReply({{"4711", "03-15-2026", "99.95", "42", "20020"}}));
    }
};

TEST_F(DepositTicketFormTest, PrintInModeThreePrintsTheTicketOfTheNumberTyped) {
    form.Load(3);
    form.Save_Click();
    EXPECT_EQ(form.Message(), "Deposit number is required.");
    form.Text_Changed(kDepositNumber, "4711");
    form.Save_Click();
    EXPECT_EQ(form.Message(), "Please wait.");
    Finish();
    EXPECT_EQ(printed, (std::vector<std::string>{"4711"}));
    EXPECT_EQ(form.Message(), "Operation Completed.");
    EXPECT_EQ(form.Text(kDepositNumber), "");
    EXPECT_TRUE(form.IsLoaded());
}

TEST_F(DepositTicketFormTest, AModifyReadsTheRecordSavesAndPrintsTheTicket) {
    form.Load(4);
    form.Text_Changed(kDepositRecord, " 77");
    form.Enter_Key();
    Finish();
    EXPECT_EQ(view.boxes.back(), (Box{"", "Press Enter to Continue"}));
    EXPECT_EQ(form.Text(kDepositNumber), "4711");
    EXPECT_EQ(form.Text(kDepositDate), "03-15-2026");
    EXPECT_EQ(form.Text(kDepositAmount), "99.95");
    EXPECT_EQ(form.RevenueList(), (std::vector<std::string>{"20020 Permits"}));
    EXPECT_EQ(form.RevenueCode(), "20020");
    form.Text_Changed(kDepositAmount, "100");
    form.Save_Click();
    Finish();
    EXPECT_EQ(printed, (std::vector<std::string>{"4711"}));
    EXPECT_EQ(form.Message(), "Operation Completed.");
    const auto sql = office.Sql();
    EXPECT_NE(
        std::find(sql.begin(), sql.end(),
                  "update tbl_RTS_MAS set Amount='100', Account_Id='20020' WHERE Site_Id='12' AND record_id='77'"),
        sql.end());
}

TEST_F(DepositTicketFormTest, AnUnknownRecordLeavesTheFields) {
    office.Answer(DepositOffice::kRecord, DepositRowsReply({}));
    form.Load(4);
    form.Text_Changed(kDepositRecord, "78");
    form.Text_Changed(kDepositAmount, "5");
    form.Focus_Moved(kDepositNumber);
    Finish();
    EXPECT_EQ(form.Message(), "The record is not found. Try again with the RECORD NUMBER.");
    EXPECT_EQ(view.boxes.back(), (Box{"", "Press Enter to Continue, Correct Error"}));
    EXPECT_EQ(form.Text(kDepositAmount), "5");
}

TEST_F(DepositTicketFormTest, TicketFailuresPrintNothing) {
    struct Case {
        const char* prefix;
        const char* message;
        const char* box;
    };
    const std::vector<Case> cases = {
        {DepositOffice::kMaster, "Deposit not found. Try again with the Deposit Number.",
         "Press Enter to Continue, Correct Error"},
        {DepositOffice::kLines, "Details not found.", "No such record found. Notify Morvane. Error=51"},
        {DepositOffice::kBank, "Deposit found but site not found. Inform Morvane", "Press Enter to Continue, Error=10"},
        {DepositOffice::kRevenue, "Deposit found but RECORD not found. Inform Morvane",
         "Press Enter to Continue. Error=11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        Good();
        office.Answer(c.prefix, DepositRowsReply({}));
        form.Load(3);
        form.Text_Changed(kDepositNumber, "4711");
        form.Save_Click();
        Finish();
        EXPECT_EQ(form.Message(), c.message);
        EXPECT_EQ(view.boxes.back().text, c.box);
        EXPECT_TRUE(printed.empty());
        EXPECT_EQ(form.Text(kDepositNumber), "4711");
    }
}

}  // namespace
}  // namespace tarvo
