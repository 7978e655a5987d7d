#include "online/deposit_records.h"

#include <gtest/gtest.h>

#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "online/deposit_office.h"
#include "program_state.h"
#include "register/register_fixture.h"
#include "test_dir.h"

namespace tarvo {
namespace {

class DepositRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ASSERT_TRUE(office.stub.Bound());
        UseTerminalFolder(dir.Path());
        gTerminalNumber = "1234567";
        gSettings.gDebugMode = "0";
        office.stub.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        office.Healthy();
        send = Deposit_BackOfficeSender(3000);
    }
    void TearDown() override {
        ProgramLog().Close();
        ResetProgramState();
    }
    static DepositEntry Entry() {
        DepositEntry e;
        e.number = "4711";
        e.date = "03-15-2026";
        e.amount = "250.5";
        e.code = "10010";
        e.cash = true;
        e.record = "77";
        e.site = "12";
        e.employee = "42";
        return e;
    }

    TestDir dir;
    DepositOffice office;
    DepositSender send;
};

TEST_F(DepositRecordsTest, ANewDepositSendsTheSequenceTheMasterAndLineOneWordForWord) {
    const DepositResult r = Deposit_SaveNew(Entry(), send);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.newId, "9001");
    EXPECT_EQ(r.lineNumber, 1);
    EXPECT_EQ(office.Tasks(), (std::vector<int>{300, 301, 301}));
    EXPECT_EQ(office.Sql(),
              (std::vector<std::string>{
                  "select Terrol_Log_Sequence.Nextval record_Id from dual",
                  "Insert into tbl_RTS_MAS (RECORD_Id, Site_Id, Process_Order_Emp_Id, Entry_Id, "
                  "Deposit_Date,DEPOSIT_NUM,IS_CASH)  Values('9001',12,42      ,42      ,to_DATE('03-15-2026',"
                  "'mm-dd-yyyy'),'4711','1 ')",
                  "Insert into tbl_RTS_dtl (LINE_nO, deposit_num,AMOUNT , ACCOUNT_ID)  Values('1',Trim('4711'),"
                  "'250.5','10010')"}));
    const DispatcherCall call = office.stub.LastCall();
    EXPECT_EQ(call.Keys(), (std::vector<std::string>{"task", "terminal", "debugmode", "data"}));
    EXPECT_EQ(call.Param("terminal"), "1234567");
}

TEST_F(DepositRecordsTest, ANonCashDepositIsSentWithZeroAndABlank) {
    DepositEntry e = Entry();
    e.cash = false;
    ASSERT_TRUE(Deposit_SaveNew(e, send).Ok());
    EXPECT_NE(office.Sql().at(1).find(",'4711','0 ')"), std::string::npos) << office.Sql().at(1);
}

TEST_F(DepositRecordsTest, AQuoteInADepositNumberIsDoubledInEveryText) {
    DepositEntry e = Entry();
    e.number = "47'11";
    ASSERT_TRUE(Deposit_SaveNew(e, send).Ok());
    EXPECT_NE(office.Sql().at(1).find(",'47''11','1 ')"), std::string::npos);
    EXPECT_NE(office.Sql().at(2).find("Trim('47''11')"), std::string::npos);
    EXPECT_EQ(DepositSql_MasterSelect("a'b", "12"),
              "select * from tbl_RTs_MAs where trim(deposit_num)=Trim('a''b') and site_id='12'");
}

TEST_F(DepositRecordsTest, AnAddedLineIsNumberedAfterTheHighest) {
    const DepositResult r = Deposit_AddLine(Entry(), send);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.lineNumber, 3);
    EXPECT_EQ(office.Sql(),
              (std::vector<std::string>{
                  "select max(line_no) from tbl_RTs_DTL where trim(deposit_num)=Trim('4711') and site_id='12'",
                  "Insert into tbl_RTS_dtl (LINE_nO, deposit_num,AMOUNT , ACCOUNT_ID)  Values('3',Trim('4711'),"
                  "'250.5','10010')"}));

    // A deposit without lines yet: max() is empty, the line is 1.
    office.Answer(DepositOffice::kHighest, DepositRowsReply({{""}}));
    EXPECT_EQ(Deposit_AddLine(Entry(), send).lineNumber, 1);
}

TEST_F(DepositRecordsTest, AModifySendsTheUpdateOfTheRecord) {
    EXPECT_TRUE(Deposit_Modify(Entry(), send).Ok());
    EXPECT_EQ(office.Sql(), (std::vector<std::string>{"update tbl_RTS_MAS set Amount='250.5', Account_Id='10010' "
                                                      "WHERE Site_Id='12' AND record_id='77'"}));
}

TEST_F(DepositRecordsTest, ARecordIsReadForTheModify) {
    office.Answer(DepositOffice::kRecord, DepositRowsReply({{"4711", "03-15-2026", "99.95", "42", "20020"}}));
    const DepositRecord rec = Deposit_FindRecord(" 77 ", send);
    EXPECT_TRUE(rec.result.Ok());
    EXPECT_EQ(rec.number, "4711");
    EXPECT_EQ(rec.date, "03-15-2026");
    EXPECT_EQ(rec.amount, "99.95");
    EXPECT_EQ(rec.code, "20020");
    EXPECT_EQ(office.Sql().at(0),
              "select RECORD_ID, TO_CHAR(deposit_Date,'MM-DD-YYYY'), amount,process_order_emp_id,account_id from "
              "tbl_RTS_act  where trim(record_id)=trim('77 ')");

    office.Answer(DepositOffice::kRecord, DepositRowsReply({}));
    EXPECT_EQ(Deposit_FindRecord("78", send).result.failure, DepositFailure::NotFound);
}

// Every failure the back office can give, and where the operation stops.
TEST_F(DepositRecordsTest, FailuresStopTheOperationAtTheirStep) {
    struct Case {
        const char* what;
        const char* prefix;
        std::string answer;
        bool addLine;  // else a new deposit
        DepositFailure failure;
        std::size_t requests;  // sent before it stopped
        const char* newId;
    };
    const std::vector<Case> cases = {
        {"sequence without rows", DepositOffice::kSequence, DepositRowsReply({}), false, DepositFailure::NoSequence, 1,
         ""},
        {"sequence reply without a body", DepositOffice::kSequence, "<record count>1</record count>", false,
         DepositFailure::NoSequence, 1, ""},
        {"sequence body not base64", DepositOffice::kSequence, "<body>\r\n@@@@</body>", false,
         DepositFailure::NoSequence, 1, ""},
        {"empty master insert reply", DepositOffice::kMasterInsert, "", false, DepositFailure::MasterEmpty, 2, ""},
        {"master insert without success", DepositOffice::kMasterInsert, "<result>ORA-00001</result>", false,
         DepositFailure::MasterNotSuccessful, 2, ""},
        {"empty line insert reply", DepositOffice::kLineInsert, "", false, DepositFailure::LineEmpty, 3, "9001"},
        {"line insert without success", DepositOffice::kLineInsert, "<result>failed</result>", false,
         DepositFailure::LineNotSuccessful, 3, "9001"},
        {"highest line without rows", DepositOffice::kHighest, DepositRowsReply({}), true,
         DepositFailure::NoHighestLine, 1, ""},
        {"highest line not a number", DepositOffice::kHighest, DepositRowsReply({{"x"}}), true,
         DepositFailure::NoHighestLine, 1, ""},
        {"a hundred lines already", DepositOffice::kHighest, DepositRowsReply({{"100"}}), true,
         DepositFailure::TooManyLines, 1, ""},
        {"added line without success", DepositOffice::kLineInsert, "<result></result>", true,
         DepositFailure::LineNotSuccessful, 2, ""},
        {"server error", DepositOffice::kSequence, "", false, DepositFailure::Transfer, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DepositOffice fresh;
        fresh.Healthy();
        fresh.Answer(c.prefix, c.answer, std::string(c.what) == "server error" ? 500 : 200);
        const DepositSender sender = Deposit_BackOfficeSender(3000);
        const DepositResult r = c.addLine ? Deposit_AddLine(Entry(), sender) : Deposit_SaveNew(Entry(), sender);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_EQ(r.newId, c.newId);
        EXPECT_EQ(fresh.Sql().size(), c.requests);
    }
}

TEST_F(DepositRecordsTest, ATimeOutIsATransferFailure) {
    office.Stall(DepositOffice::kSequence, 2000);
    const DepositResult r = Deposit_SaveNew(Entry(), Deposit_BackOfficeSender(300));
    EXPECT_EQ(r.failure, DepositFailure::Transfer);
    EXPECT_FALSE(r.error.empty());
}

TEST_F(DepositRecordsTest, ValuesThatWouldStandUnquotedMustBeDigits) {
    const std::vector<std::pair<const char*, DepositEntry>> bad = [] {
        std::vector<std::pair<const char*, DepositEntry>> v;
        DepositEntry e = Entry();
        e.site = "12 or 1=1";
        v.emplace_back("site", e);
        e = Entry();
        e.site = "";
        v.emplace_back("no site", e);
        e = Entry();
        e.employee = "4,2";
        v.emplace_back("employee", e);
        e = Entry();
        e.employee = "123456789";
        v.emplace_back("employee too long", e);
        return v;
    }();
    for (const auto& [what, e] : bad) {
        SCOPED_TRACE(what);
        EXPECT_EQ(Deposit_SaveNew(e, send).failure, DepositFailure::BadValue);
    }
    DepositEntry e = Entry();
    e.record = "7'7";
    EXPECT_EQ(Deposit_Modify(e, send).failure, DepositFailure::BadValue);
    EXPECT_EQ(Deposit_FindRecord("1 or 1=1", send).result.failure, DepositFailure::BadValue);
    EXPECT_TRUE(office.Sql().empty());
}

class DepositTicketFetchTest : public DepositRecordsTest {
protected:
    void SetUp() override {
        DepositRecordsTest::SetUp();
        office.Answer(DepositOffice::kMaster,
                      DepositRowsReply({{"9001", "12", "42      ", "42      ", "03-15-2026", "4711", "1 "}}));
        office.Answer(DepositOffice::kLines, DepositRowsReply({{"1", "1", "4711", "250.5", "10010", "12"},
                                                               {"2", "2", "4711", "49.5", "20020", "12"}}));
        office.Answer(DepositOffice::kBank, DepositRowsReply({{"000123", "First Bank", "FB01", "Main Street"}}));
        office.Answer(DepositOffice::kRevenue,
                      DepositRowsReply({{"12", "10010", "AG1", "T1", "F1", "2026", "10010", "C1", "FIPS1"}}));
    }
};

TEST_F(DepositTicketFetchTest, FetchesTheDepositItsLinesBankAndRevenueRows) {
    const DepositTicketData t = Deposit_FetchTicket("4711", "12", send);
    ASSERT_TRUE(t.result.Ok());
    EXPECT_EQ(t.employee, "42");
    EXPECT_EQ(t.date, "03-15-2026");
    EXPECT_EQ(t.accountId, "000123");
    EXPECT_EQ(t.accountName, "First Bank");
    EXPECT_EQ(t.accountCode, "FB01");
    EXPECT_EQ(t.siteDescription, "Main Street");
    ASSERT_EQ(t.lines.size(), 2u);
    EXPECT_EQ(t.lines[1].amount, "49.5");
    EXPECT_EQ(t.lines[1].code, "20020");
    EXPECT_EQ(t.lines[1].revenue.Column(2), "AG1");
    const auto sql = office.Sql();
    ASSERT_EQ(sql.size(), 5u);
    EXPECT_EQ(sql[1], "select * from tbl_RTS_dtl where trim(deposit_num)=Trim('4711')");
    EXPECT_EQ(sql[2], "select A.account_id,A.account_name,A.account_code ,B.site_description from tbl_RTS_bank A, "
                      "tbl_site B where A.site_Id=12 and A.site_Id=B.site_id");
    EXPECT_EQ(sql[4], "select * from tbl_RTS_Rev where site_Id=12 and trim(rev_code)='20020'");
}

TEST_F(DepositTicketFetchTest, MissingRowsAndTooManyLinesAreFailures) {
    std::vector<std::vector<std::string>> many;
    for (int i = 1; i <= 101; ++i) many.push_back({std::to_string(i), std::to_string(i), "4711", "1", "10010"});
    struct Case {
        const char* what;
        const char* prefix;
        std::string answer;
        DepositFailure failure;
    };
    const std::vector<Case> cases = {
        {"no master", DepositOffice::kMaster, DepositRowsReply({}), DepositFailure::NotFound},
        {"no lines", DepositOffice::kLines, DepositRowsReply({}), DepositFailure::DetailsNotFound},
        {"101 lines", DepositOffice::kLines, DepositRowsReply(many), DepositFailure::TooManyLines},
        {"site not found", DepositOffice::kBank, DepositRowsReply({}), DepositFailure::SiteNotFound},
        {"revenue row missing", DepositOffice::kRevenue, DepositRowsReply({}), DepositFailure::RevenueNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        office.Answer(c.prefix, c.answer);
        EXPECT_EQ(Deposit_FetchTicket("4711", "12", send).result.failure, c.failure);
        SetUp();  // the sound answers again
    }
}

}  // namespace
}  // namespace tarvo
