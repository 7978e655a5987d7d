#include "data/transaction_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/fields.h"
#include "data/count_and_activity.h"
#include "program_state.h"
#include "test_dir.h"

namespace tarvo {
namespace {

// Builds a raw record of length n holding text.
std::string Record(std::string_view text, int n) {
    std::string r(static_cast<std::size_t>(n), ' ');
    r[0] = static_cast<char>(text.size() & 0xFF);
    r[1] = static_cast<char>(text.size() >> 8);
    r.replace(2, text.size(), text);
    return r;
}

class TransactionFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        Data_CloseAll(gData);
        std::filesystem::create_directories(dir / "Data");
        SetTerminalPaths(gConstants.paths, dir.Path(), "1234567");
        ProgramLog().Open(dir / "test.LOG");
    }
    void TearDown() override {
        Data_CloseAll(gData);
        ProgramLog().Close();
    }
    std::string Log() { return dir.Read("test.LOG"); }
    std::string File(const char* ext) { return dir.Read(std::string("Data/1234567") + ext); }
    void WriteFile(const char* ext, const std::string& bytes) { dir.Write(std::string("Data/1234567") + ext, bytes); }
    TestDir dir;
};

TEST_F(TransactionFilesTest, MissingFilesGetTheirHeaderByteExact) {
    Open_FilePayment();
    Open_FileInvoice();
    Open_FileOrder();
    EXPECT_EQ(File(".PAY"), Record(" 1" + std::string(228, ' '), 235));
    EXPECT_EQ(File(".INV"), Record("1" + std::string(129, ' '), 150));
    EXPECT_EQ(File(".DTL"), Record(" 1" + std::string(58, ' '), 90));
    EXPECT_EQ(File(".ORD"), Record("1" + std::string(229, ' '), 252));
    EXPECT_EQ(gData.gLastPaymentRecord, 1);
    EXPECT_EQ(gData.gLastInvoiceRecord, 1);
    EXPECT_EQ(gData.gLastOrderPaymentRecord, 1);
    EXPECT_EQ(Log(), "");  // an empty file is no fault
}

TEST_F(TransactionFilesTest, HeaderChecks) {
    struct Case {
        std::string header;
        std::int32_t count;
        const char* log;  // expected log text, or nullptr
    } cases[] = {
        {"9999999 ", 9999999, nullptr},
        {" 12     ", 12, nullptr},
        {"1 2     ", 12, nullptr},  // blanks ignored wherever they stand
        {"12", 1, "Length of header record is less than 8, header set to zero"},
        {"12345678", 1, "Invalid header information initialized to zero"},
        {"-5      ", 1, "Invalid header information initialized to zero"},
        {"abcdefgh", 1, "Invalid header information initialized to zero"},
        {"0       ", 1, nullptr},  // a count of 0 is an empty file: never a document in record 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        std::filesystem::remove(dir / "test.LOG");
        ProgramLog().Open(dir / "test.LOG");
        WriteFile(".DTL", Record(c.header, 90));
        Open_FileInvoice();
        EXPECT_EQ(gData.gLastInvoiceLineRecord, c.count);
        if (c.log) {
            EXPECT_NE(Log().find(std::string("Open_FileInvoice: Reading invoice detail header, ") + c.log),
                      std::string::npos);
            EXPECT_EQ(HeaderCount(gData.invoiceLines.View(1)), 1);  // rewritten
        } else {
            EXPECT_EQ(Log(), "");
        }
    }
}

TEST_F(TransactionFilesTest, DamagedHeaderIsRepairedFromTheRecordsNeverDiscardingThem) {
    // invoices 2..4 carry their numbers; the header is damaged
    std::string inv = Record("xx", 150);
    for (int k = 2; k <= 4; ++k) inv += Record(PadZero(std::to_string(k), 7) + " 0 invoice", 150);
    WriteFile(".INV", inv);
    // lines carry no number: every whole record counts
    WriteFile(".DTL", Record("99999999", 90) + Record("line a", 90) + Record("line b", 90));
    Open_FileInvoice();
    EXPECT_EQ(gData.gLastInvoiceRecord, 4);
    EXPECT_EQ(gData.gLastInvoiceLineRecord, 3);
    EXPECT_EQ(gData.invoices.Read(4).substr(0, 7), "0000004");
    EXPECT_NE(Log().find("Open_FileInvoice: Reading invoice master header, Length of header record is less than 8, "
                         "header set to zero"),
              std::string::npos);
    // the next document goes after them
    ASSERT_TRUE(Transaction_Append(gData.invoices, gData.gLastInvoiceRecord, 100, "0000005 0 next"));
    EXPECT_EQ(gData.gLastInvoiceRecord, 5);
    EXPECT_EQ(gData.invoices.Read(2).substr(0, 7), "0000002");
}

TEST_F(TransactionFilesTest, AppendFollowsTheHeaderRule) {
    Open_FileActivity();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, "20260307" + std::to_string(i),
                                       HeaderForm::BlanksAfter));
    EXPECT_EQ(gData.gLastActivityRecord, 4);
    EXPECT_EQ(gData.activity.Read(1), "4" + std::string(40, ' '));  // the journal's header: count, 40 blanks
    EXPECT_EQ(gData.activity.Read(2), "202603070");
    EXPECT_EQ(std::filesystem::file_size(dir / "Data/1234567.ACT"), 4u * 60u);  // whole records
    // a document too long for the record is refused and nothing counted
    EXPECT_FALSE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, std::string(59, 'x')));
    EXPECT_EQ(gData.gLastActivityRecord, 4);
    EXPECT_EQ(HeaderCount(gData.activity.View(1)), 4);
}

TEST_F(TransactionFilesTest, ResetsEmptyTheFilesAndReportUnsentDocuments) {
    Open_FileInvoice();
    Open_FilePayment();
    Open_FileActivity();
    Open_FileOrder();
    Open_FilePhysical();
    Transaction_Append(gData.invoices, gData.gLastInvoiceRecord, 100, "0000002 1 sent");
    Transaction_Append(gData.invoices, gData.gLastInvoiceRecord, 100, "0000003 0 unsent");
    Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, "202603070930D0");
    Transaction_Append(gData.orders, gData.gLastOrderRecord, 230, "0000002 0 order");
    Transaction_Append(gData.physical, gData.gLastPhysicalRecord, 18, "12345   2    0   0");
    Data_CloseAll(gData);

    EXPECT_EQ(Files_ResetDaily(), 2);  // one invoice, one activity record
    for (const char* ext : {".INV", ".DTL", ".PAY", ".ACT"}) EXPECT_EQ(HeaderCount(File(ext).substr(2)), 1) << ext;
    EXPECT_EQ(gData.gLastInvoiceRecord, 1);
    EXPECT_NE(File(".ORD").find("order"), std::string::npos);  // not a daily file

    EXPECT_EQ(Files_ResetAll(), 2);  // the order and the count
    for (const char* ext : {".INV", ".DTL", ".PAY", ".ACT", ".ORD", ".ORL", ".ORP", ".NWC", ".NWP", ".PHY", ".ADJ",
                            ".ADD", ".PUR", ".PUL"})
        EXPECT_EQ(File(ext), "") << ext;
    Open_FileOrder();  // headers come back without a log line
    EXPECT_EQ(gData.gLastOrderRecord, 1);
    EXPECT_EQ(Log(), "");
}

TEST_F(TransactionFilesTest, TrainingSaleLeavesTheCountsAsTheyWere) {
    Open_FileInvoice();
    Open_FilePayment();
    Transaction_Append(gData.invoices, gData.gLastInvoiceRecord, 100, "0000002 0 real");
    Headers_Save();
    EXPECT_EQ(gData.gSavedRecordCounts[0], 2);
    Open_FileInvoice();
    Open_FilePayment();
    Transaction_Append(gData.invoices, gData.gLastInvoiceRecord, 100, "0000003 0 training");
    Transaction_Append(gData.invoiceLines, gData.gLastInvoiceLineRecord, 60, "0000003001 line");
    Transaction_Append(gData.payments, gData.gLastPaymentRecord, 230, "000000301 pay");
    Data_CloseAll(gData);
    Headers_Restore();
    Open_FileInvoice();
    Open_FilePayment();
    EXPECT_EQ(gData.gLastInvoiceRecord, 2);
    EXPECT_EQ(gData.gLastInvoiceLineRecord, 1);
    EXPECT_EQ(gData.gLastPaymentRecord, 1);
    EXPECT_EQ(gData.payments.Read(1), "1" + std::string(232, ' '));
}

TEST_F(TransactionFilesTest, TrainingRestoreWritesTheHeadersAsTheSaleDoesAndSaysWhenItCannot) {
    Open_FileInvoice();
    Open_FilePayment();
    Headers_Save();
    EXPECT_TRUE(Headers_Restore());
    EXPECT_EQ(File(".INV").substr(0, 150), Record("1" + std::string(100, ' '), 150));
    EXPECT_EQ(File(".DTL").substr(0, 90), Record("1" + std::string(60, ' '), 90));
    EXPECT_EQ(File(".PAY").substr(0, 235), Record("1" + std::string(232, ' '), 235));

    // A line file that cannot be opened: the restore fails and says so.
    std::filesystem::remove(dir / "Data/1234567.DTL");
    std::filesystem::create_directory(dir / "Data/1234567.DTL");
    EXPECT_FALSE(Headers_Restore());
    EXPECT_NE(Log().find("Headers_Restore: "), std::string::npos);
}

// A save that stopped after counting its lines and payments but before
// counting its document leaves them counted for a document that does not
// exist: every opener uncounts them, whatever the kind of document.
TEST_F(TransactionFilesTest, LinesAndPaymentsOfADocumentNeverCountedAreUncountedAtOpen) {
    struct Case {
        const char* name;
        const char *document, *dependent;
        int documentLength, dependentLength;
        void (*open)();
        std::int32_t DataState::*counter;
    };
    const std::vector<Case> cases = {
        {"invoice lines", ".INV", ".DTL", 150, 90, [] { Open_FileInvoice(); }, &DataState::gLastInvoiceLineRecord},
        {"payments, invoices not open", ".INV", ".PAY", 150, 235, [] { Open_FilePayment(); },
         &DataState::gLastPaymentRecord},
        {"payments after the invoices", ".INV", ".PAY", 150, 235,
         [] {
             Open_FileInvoice();
             Open_FilePayment();
         },
         &DataState::gLastPaymentRecord},
        {"order lines", ".ORD", ".ORL", 252, 90, [] { Open_FileOrder(); }, &DataState::gLastOrderLineRecord},
        {"order payments", ".ORD", ".ORP", 252, 235, [] { Open_FileOrder(); }, &DataState::gLastOrderPaymentRecord},
        {"adjustment lines", ".ADJ", ".ADD", 90, 80, [] { Open_Fileadjustment(); },
         &DataState::gLastAdjustmentLineRecord},
        {"purchase lines", ".PUR", ".PUL", 300, 90, [] { Open_Filepurchase(); }, &DataState::gLastPurchaseLineRecord},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        std::filesystem::remove_all(dir / "Data");
        SetUp();
        // Documents 2 and 3 saved; lines of 2, 3 and of 4, which never was.
        const std::string blanks(20, ' ');
        WriteFile(c.document, Record("3" + blanks, c.documentLength) + Record("0000002", c.documentLength) +
                                  Record("0000003", c.documentLength));
        std::string lines = Record(" 6" + blanks, c.dependentLength);
        for (const char* l : {"0000002001", "0000003001", "0000003002", "0000004001", "0000004002"})
            lines += Record(l, c.dependentLength);
        WriteFile(c.dependent, lines);
        c.open();
        EXPECT_EQ(gData.*c.counter, 4);
        EXPECT_NE(Log().find(std::string(c.dependent) + " counted records 5 to 6 of a document above 3"),
                  std::string::npos)
            << Log();
        Data_CloseAll(gData);
        // Written back: the next opening finds nothing to mend.
        const std::string logged = Log();
        c.open();
        EXPECT_EQ(gData.*c.counter, 4);
        EXPECT_EQ(Log(), logged);
        EXPECT_EQ(File(c.dependent).size(), 6u * static_cast<std::size_t>(c.dependentLength));  // records stay
    }
}

TEST_F(TransactionFilesTest, UncountingStopsAtARecordThatNamesNoDocument) {
    const std::string blanks(20, ' ');
    WriteFile(".INV", Record("2" + blanks, 150) + Record("0000002", 150));
    WriteFile(".DTL",
              Record("4" + blanks, 90) + Record("0000002001", 90) + Record("garbage", 90) + Record("0000003001", 90));
    Open_FileInvoice();
    EXPECT_EQ(gData.gLastInvoiceLineRecord, 3);
    // A missing invoice file uncounts nothing.
    Data_CloseAll(gData);
    std::filesystem::remove(dir / "Data/1234567.INV");
    WriteFile(".PAY", Record("3" + blanks, 235) + Record("000000201", 235) + Record("000000301", 235));
    Open_FilePayment();
    EXPECT_EQ(gData.gLastPaymentRecord, 3);
}

TEST_F(TransactionFilesTest, PhysicalCountRecords) {
    EXPECT_EQ(Physical_Add("00012345", 2.5), PhysicalAddResult::Ok);
    EXPECT_EQ(gData.gLastPhysicalRecord, 2);
    EXPECT_EQ(Physical_Add("AB-7 ", 3), PhysicalAddResult::Ok);
    EXPECT_EQ(Physical_Add("1", 123456), PhysicalAddResult::QuantityTooWide);
    EXPECT_EQ(Physical_Add("1", 1.23456), PhysicalAddResult::QuantityTooWide);
    Open_FilePhysical();
    EXPECT_EQ(gData.gLastPhysicalRecord, 3);
    EXPECT_EQ(gData.physical.Read(1), "3" + std::string(17, ' '));
    EXPECT_EQ(gData.physical.Read(2), "12345   2.5      0");
    EXPECT_EQ(gData.physical.Read(3), "AB-7    3        0");
}

TEST_F(TransactionFilesTest, ActivityTotalsForADay) {
    auto rec = [](const char* date, char type, const char* cashier, const char* amount) {
        return std::string(date) + "0930" + type + "0" + PadRight("", 8) + PadRight(cashier, 8) + PadRight(amount, 9) +
               std::string(9, ' ');
    };
    Open_FileActivity();
    auto add = [&](const std::string& r) { Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, r); };
    // older records of the same day, beyond the newest 1,001, still count
    add(rec("20260307", 'D', "11", "1"));
    for (int i = 0; i < 1100; ++i) add(rec("20260306", 'D', "11", "100"));
    add(rec("20260307", 'D', "11", "10.005"));
    add(rec("20260307", 'D', "11", "20.004"));
    add(rec("20260307", 'B', "22", "50"));
    add(rec("20260307", 'P', "11", "-.25"));
    add(rec("20260307", 'O', "11", "100"));
    add(rec("20260307", 'C', "11", "abc"));
    add(rec("20260307", 'W', "11", "5"));
    Data_CloseAll(gData);

    ActivityTotals all = Activity_Totals("20260307", 1, "11");
    EXPECT_EQ(all.deposits.Text(), "31.01");  // 1 + 10.01 + 20.00
    EXPECT_EQ(all.bankDeposits.Text(), "50");
    EXPECT_EQ(all.paidOuts.Text(), "-.25");
    EXPECT_EQ(all.openings.Text(), "100");
    EXPECT_EQ(all.declarations.Text(), "0");
    ActivityTotals mine = Activity_Totals("20260307", 3, "11");
    EXPECT_EQ(mine.bankDeposits.Text(), "0");  // cashier 22's
    EXPECT_EQ(mine.deposits.Text(), "31.01");
}

}  // namespace
}  // namespace tarvo
