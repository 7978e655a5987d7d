#include "office/cash_office.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/data_state.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "journal_reader.h"
#include "office/activity_journal.h"
#include "office/opening.h"
#include "register/register_fixture.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

const std::string k8(8, ' ');
const std::string k9(9, ' ');

class CashOfficeTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        gData.CashierTable.push_back(CashierRow{"00000017", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        gData.ManagerTable.push_back(ManagerRow{"00000042", "9999", "Boss", ""});
        gData.gManagerCount = 1;
        gReg.gCashierIndex = 1;
        gReg.gBusinessDate = "20261209";
        gTerminalNumber = "1234567";
        gTender = TenderState{};
        gTender.gPaymentListCount = 2;
        gTender.gPaymentListCode[1] = "1";
        gTender.gPaymentListCode[2] = "CARD";
    }
    void TearDown() override {
        Data_Reset(gData);
        RegisterTest::TearDown();
    }
    static std::string Journal(int k) { return JournalRecord(k); }
    std::string LogText() {
        std::ifstream in(gConstants.paths.gFilesPath + ".LOG", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // An invoice of `date` and its payments (type code, amount text).
    void Invoice(const std::string& number, const std::string& date,
                 const std::vector<std::pair<std::string, std::string>>& payments) {
        Open_FileInvoice();
        Open_FilePayment();
        DataState& d = gData;
        ASSERT_TRUE(Transaction_Append(d.invoices, d.gLastInvoiceRecord, 8, Fixed(100, {{1, number}, {12, date}})));
        int line = 1;
        for (const auto& [type, amount] : payments) {
            const std::string nn = line < 10 ? "0" + std::to_string(line) : std::to_string(line);
            ASSERT_TRUE(Transaction_Append(d.payments, d.gLastPaymentRecord, 8,
                                           Fixed(60, {{1, number}, {8, nn}, {10, type}, {18, amount}})));
            ++line;
        }
        d.payments.Close();
        d.invoiceLines.Close();
        d.invoices.Close();
    }
    TestDir dir;
};

// Each writer's record, byte for byte: the business date, the time of
// writing, the type and sent flag, the manager where the writer takes one,
// the cashier and the amount as plain decimal text.
TEST_F(CashOfficeTest, EachWriterAppendsItsRecord) {
    struct Case {
        const char* name;
        std::int32_t (*save)();
        const char* amount;
        bool manager;
        std::string record;
    };
    const Case cases[] = {
        {"safe deposit", DepositSafe_Save, "250", false, "202612091030D0" + k8 + "00000017" + "250      " + k9},
        {"bank deposit", DepositBank_Save, "0.05", false, "202612091030B0" + k8 + "00000017" + ".05      " + k9},
        {"paid-out, no manager", Paidout_Save, "-12", false, "202612091030P0" + k8 + "00000017" + "-12      " + k9},
        {"paid-out by a manager", Paidout_Save, "12.50", true,
         "202612091030P0"
         "00000042"
         "00000017"
         "12.5     " +
             k9},
        {"drawer by a manager", Drawer_Save, "99", true,
         "202612091030W0"
         "00000042"
         "00000017" +
             k9 + k9},
        {"declaration", Declare_Save, "-3.5", false, "202612091030C0" + k8 + "00000017" + "-3.5     " + k9},
    };
    int expected = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gReg.gEnteredAmount = *Money::Parse(c.amount);
        gReg.gManagerIndex = c.manager ? 1 : 0;
        EXPECT_EQ(c.save(), expected);
        EXPECT_EQ(Journal(expected), c.record);
        EXPECT_EQ(Journal(1), std::to_string(expected) + std::string(40, ' '));
        ++expected;
    }
}

TEST_F(CashOfficeTest, AnAmountThatDoesNotFitIsRefusedNeverCut) {
    for (const char* amount : {"1234567.89", "-123456.78"}) {
        SCOPED_TRACE(amount);
        gReg.gEnteredAmount = *Money::Parse(amount);
        EXPECT_EQ(DepositSafe_Save(), 0);
        EXPECT_EQ(Declare_Save(), 0);
        EXPECT_EQ(screen.Text(kMessageLine), "Invalid Entry");
        EXPECT_EQ(JournalCount(), 1);
    }
    EXPECT_NE(LogText().find("does not fit the activity record"), std::string::npos);
    gReg.gEnteredAmount = *Money::Parse("999999.99");  // the widest that fits
    EXPECT_EQ(DepositBank_Save(), 2);
    EXPECT_EQ(Journal(2).substr(30, 9), "999999.99");
}

TEST_F(CashOfficeTest, APaidOutTheJournalFailsToCountIsNotWrittenAndARetryRecordsItOnce) {
    // The record is written and flushed; a later step of the append fails.
    // "Not Written" must then mean the journal on disk is as it was.
    const std::string path = gConstants.paths.gDataPath + ".ACT";
    auto bytes = [&] {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    gReg.gEnteredAmount = *Money::Parse("3");
    ASSERT_EQ(DepositSafe_Save(), 2);
    const std::string before = bytes();
    struct Case {
        const char* step;
        int call;  // which call of the hook fails: records 0, sync 1, header 2, sync 3
    } cases[] = {{"writing the header", 2}, {"flushing the header", 3}, {"flushing the record", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        int n = 0;
        DocumentCommit_SetWriteHook([&](const std::string& file, const std::string&) {
            return file != ".ACT" || n++ != c.call;
        });
        EXPECT_EQ(Paidout_Save(), 0);
        DocumentCommit_SetWriteHook(nullptr);
        EXPECT_EQ(screen.Text(kMessageLine), "Error: Activity Journal Not Written - See Log");
        EXPECT_EQ(bytes(), before);
    }
    // The cashier tries again: one paid-out of $3, record 3.
    EXPECT_EQ(Paidout_Save(), 3);
    EXPECT_EQ(bytes().size(), 3u * 60u);
    EXPECT_EQ(Journal(1), "3" + std::string(40, ' '));
    EXPECT_EQ(Journal(3), "202612091030P0" + k8 + "00000017" + "3        " + k9);
}

TEST_F(CashOfficeTest, CashOnHandAddsTodaysPaymentsPerKey) {
    Invoice("0000001", "20261209", {{"1", "100.00"}, {"CARD", "15"}});
    Invoice("0000002", "20261208", {{"1", "500"}});  // another day
    Invoice("0000003", "20261209", {{"1", "20.25"}, {"CHEQUE", "7"}, {"1", "0.004"}});
    Invoice("0000004", "20261209", {{"1", "-5"}, {"1", "0.006"}});  // a refund counts
    const PaymentTotals t = Cash_OnHand();
    EXPECT_EQ(t.byKey[1].Text(), "115.26");
    EXPECT_EQ(t.byKey[2].Text(), "15");
}

TEST_F(CashOfficeTest, CountedCashDeclarationStoresTheOverOrShort) {
    gSettings.gReportOption = true;
    Invoice("0000001", "20261209", {{"1", "100.00"}});
    Invoice("0000002", "20261209", {{"1", "20.25"}});
    gReg.gEnteredAmount = *Money::Parse("118.25");
    EXPECT_EQ(Declare_Save(), 2);
    EXPECT_EQ(Journal(2).substr(30, 9), "-2       ");
    EXPECT_EQ(gReg.gEnteredAmount.Text(), "-2");
}

// A clock-in rolled over to tomorrow sits after today's records: the scan
// for today's opening still finds the opening behind it.
TEST_F(CashOfficeTest, RecordsOfALaterDateDoNotHideTodaysOpening) {
    gReg.gEnteredAmount = *Money::Parse("100");
    ASSERT_TRUE(OpeningAmount_Save());
    ActivityEntry rolled{"20261210", "0001", 'I', "", "17", std::nullopt};
    ASSERT_TRUE(Activity_Append(rolled, "test"));
    ActivityEntry older{"20261208", "2359", 'U', "", "17", std::nullopt};
    ASSERT_TRUE(Activity_Append(older, "test"));
    gReg.gPromptState = PromptState::Login;
    Login_OpeningBalance();
    EXPECT_EQ(gReg.gPromptState, PromptState::None);  // no opening asked: the sale started
}

TEST_F(CashOfficeTest, LogoutReturnsTheRegisterToItsIdleState) {
    screen.SetText(kMessageLine, "hello");
    screen.SetText(kEntryBox, "123");
    Logout();
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);  // the login prompt
    EXPECT_EQ(gReg.gCashierIndex, 0);
    EXPECT_TRUE(gReg.gBusinessDate.empty());
    EXPECT_TRUE(gReg.gEntryMasked);
    EXPECT_EQ(screen.Title(), "Corlant 18.03.14 Kaspen (1234567)  12-09-2026");
    // The cashier no longer writes: a deposit now has no cashier.
    gReg.gBusinessDate = "20261209";
    gReg.gEnteredAmount = *Money::Parse("1");
    ASSERT_EQ(DepositSafe_Save(), 2);
    EXPECT_EQ(Journal(2).substr(22, 8), k8);
}

}  // namespace
}  // namespace tarvo
