#include "data/transaction_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "common/fields.h"
#include "data/count_and_activity.h"
#include "data/data_state.h"
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
    // The file holds its header and 11 lines: 12 whole records.
    std::string lines;
    for (int k = 2; k <= 12; ++k) lines += Record("line " + std::to_string(k), 90);
    struct Case {
        std::string header;
        std::int32_t count;
        const char* log;  // expected log text, or nullptr
    } cases[] = {
        {"12      ", 12, nullptr},
        {" 7      ", 7, nullptr},   // lines past the count were never committed: not counted
        {"1 2     ", 12, nullptr},  // blanks ignored wherever they stand
        {"12", 12, "Reading invoice detail header, Length of header record is less than 8, header set to zero"},
        {"12345678", 12, "Reading invoice detail header, Invalid header information initialized to zero"},
        {"-5      ", 12, "Reading invoice detail header, Invalid header information initialized to zero"},
        {"abcdefgh", 12, "Reading invoice detail header, Invalid header information initialized to zero"},
        // past the file's records: cut back to them, never trusted
        {"9999999 ", 12,
         "the header of 1234567.DTL counts 9999999 records but the file holds 12; count cut back to 12"},
        {"0       ", 12, "the header of 1234567.DTL holds 0 while records 2 to 12 are in the file; count set to 12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        std::filesystem::remove(dir / "test.LOG");
        ProgramLog().Open(dir / "test.LOG");
        WriteFile(".DTL", Record(c.header, 90) + lines);
        Open_FileInvoice();
        EXPECT_EQ(gData.gLastInvoiceLineRecord, c.count);
        EXPECT_EQ(File(".DTL").substr(90), lines);  // no record written over or given up
        if (c.log) {
            EXPECT_NE(Log().find(std::string("Open_FileInvoice: ") + c.log), std::string::npos) << Log();
            EXPECT_EQ(File(".DTL").substr(0, 90), Record(" " + std::to_string(c.count) + std::string(57, ' '), 90));
        } else {
            EXPECT_EQ(Log(), "");
        }
    }
    // An empty header, or 0, in a file of no documents: 1, nothing to say.
    for (const char* header : {"0       ", ""}) {
        SCOPED_TRACE(header);
        std::filesystem::remove(dir / "test.LOG");
        ProgramLog().Open(dir / "test.LOG");
        WriteFile(".DTL", Record(header, 90));
        Open_FileInvoice();
        EXPECT_EQ(gData.gLastInvoiceLineRecord, 1);
        EXPECT_EQ(File(".DTL"), Record(" 1" + std::string(58, ' '), 90));
    }
}

// A header that disagrees with the file is repaired from what the file
// holds, each with a log line; the next record goes after the last one there.
TEST_F(TransactionFilesTest, AHeaderThatDisagreesWithTheFileIsRepairedFromItsRecords) {
    auto journal = [](int k) { return "2026030" + std::to_string(k % 10) + "1200D0" + std::string(34, ' '); };
    std::string act3;  // header slot filled in by each case, then records 2..4
    for (int k = 2; k <= 4; ++k) act3 += Record(journal(k), 60);
    std::string inv3;
    for (int k = 2; k <= 4; ++k) inv3 += Record(PadZero(std::to_string(k), 7) + " 0 invoice", 150);
    struct Case {
        const char* name;
        const char* ext;
        void (*open)();
        WorkFile DataState::*file;
        std::int32_t DataState::*counter;
        int recordLength;
        std::string bytes;
        std::int32_t count;
        const char* log;
    } cases[] = {
        {"journal header 0", ".ACT", Open_FileActivity, &DataState::activity, &DataState::gLastActivityRecord, 60,
         Record("0" + std::string(40, ' '), 60) + act3, 4,
         "Open_FileActivity: the header of 1234567.ACT holds 0 while records 2 to 4 are in the file; count set to 4"},
        {"journal header 0, zeros after the records", ".ACT", Open_FileActivity, &DataState::activity,
         &DataState::gLastActivityRecord, 60, Record("0       ", 60) + act3 + std::string(120, '\0'), 4,
         "Open_FileActivity: the header of 1234567.ACT holds 0 while records 2 to 4 are in the file"},
        {"journal header past the end", ".ACT", Open_FileActivity, &DataState::activity,
         &DataState::gLastActivityRecord, 60, Record("6120910" + std::string(40, ' '), 60) + act3, 4,
         "Open_FileActivity: the header of 1234567.ACT counts 6120910 records but the file holds 4; count cut back to "
         "4"},
        {"invoice header edited upwards", ".INV", [] { Open_FileInvoice(); }, &DataState::invoices,
         &DataState::gLastInvoiceRecord, 150, Record("5000000" + std::string(100, ' '), 150) + inv3, 4,
         "Open_FileInvoice: the header of 1234567.INV counts 5000000 records but the file holds 4"},
        {"invoice header 0", ".INV", [] { Open_FileInvoice(); }, &DataState::invoices, &DataState::gLastInvoiceRecord,
         150, Record("0       ", 150) + inv3, 4, "Open_FileInvoice: the header of 1234567.INV holds 0"},
        {"count file cut in its last record", ".PHY", Open_FilePhysical, &DataState::physical,
         &DataState::gLastPhysicalRecord, 20,
         Record(" 3      ", 20) + Record("123     2    0", 20) + Record("456     1    0", 20).substr(0, 10), 2,
         "Open_FilePhysical: record 3 of 1234567.PHY is cut short (10 of 20 bytes) and no longer counted; count set "
         "to 2"},
        {"order header past the end", ".ORD", [] { Open_FileOrder(); }, &DataState::orders,
         &DataState::gLastOrderRecord, 252, Record("40      ", 252) + Record("0000002 0 order", 252), 2,
         "Open_FileOrder: the header of 1234567.ORD counts 40 records but the file holds 2"},
        {"adjustment header 0", ".ADJ", [] { Open_Fileadjustment(); }, &DataState::adjustments,
         &DataState::gLastAdjustmentRecord, 90, Record(" 0      ", 90) + Record("0000002 0 adj", 90), 2, nullptr},
        {"purchase header past the end", ".PUR", [] { Open_Filepurchase(); }, &DataState::purchases,
         &DataState::gLastPurchaseRecord, 300, Record(" 9      ", 300) + Record("0000002 0 pur", 300), 2,
         "Open_Filepurchase: the header of 1234567.PUR counts 9 records but the file holds 2"},
        {"payments header past the end", ".PAY", Open_FilePayment, &DataState::payments, &DataState::gLastPaymentRecord,
         235, Record(" 30     ", 235) + Record("0000001 pay", 235), 2,
         "Open_FilePayment: the header of 1234567.PAY counts 30 records but the file holds 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Data_CloseAll(gData);
        std::filesystem::remove(dir / "test.LOG");
        ProgramLog().Open(dir / "test.LOG");
        WriteFile(c.ext, c.bytes);
        c.open();
        EXPECT_EQ(gData.*c.counter, c.count);
        if (c.log) {
            EXPECT_NE(Log().find(c.log), std::string::npos) << Log();
        }
        // the records there stay as they were; the header counts them
        const std::string after = File(c.ext);
        const std::size_t whole = static_cast<std::size_t>(c.count) * static_cast<std::size_t>(c.recordLength);
        EXPECT_EQ(after.substr(static_cast<std::size_t>(c.recordLength), whole - c.recordLength),
                  c.bytes.substr(static_cast<std::size_t>(c.recordLength), whole - c.recordLength));
        EXPECT_EQ(HeaderCount((gData.*c.file).View(1)), c.count);
        // the next record goes right after them, and the file grows by one record
        WorkFile& f = gData.*c.file;
        ASSERT_TRUE(Transaction_Append(f, gData.*c.counter, 8, "next"));
        EXPECT_EQ(gData.*c.counter, c.count + 1);
        EXPECT_EQ(std::filesystem::file_size(dir / (std::string("Data/1234567") + c.ext)),
                  std::max(c.bytes.size() / c.recordLength * c.recordLength, whole + c.recordLength));
        EXPECT_EQ(f.Read(c.count + 1), "next");
        EXPECT_EQ(f.Read(c.count).substr(0, 4), c.bytes.substr(whole - c.recordLength + 2, 4));
    }
}

// Any step of an append after the record is written failing puts the file
// back byte for byte: a failure reported is a record not counted.
TEST_F(TransactionFilesTest, AFailedAppendPutsTheFileBackAsItWas) {
    Open_FileActivity();
    ASSERT_TRUE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, "first", HeaderForm::BlanksAfter));
    const std::string before = File(".ACT");
    for (const char* failing : {"records", "sync", "header"}) {
        for (int which = 0; which < 2; ++which) {
            SCOPED_TRACE(std::string(failing) + " " + std::to_string(which));
            int seen = 0;
            DocumentCommit_SetWriteHook([&](const std::string& file, const std::string& step) {
                EXPECT_EQ(file, ".ACT");
                return step != failing || seen++ != which;
            });
            const bool ok =
                Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, "second", HeaderForm::BlanksAfter);
            DocumentCommit_SetWriteHook(nullptr);
            if (std::string(failing) != "sync" && which == 1) {
                EXPECT_TRUE(ok);  // records and header happen once: nothing failed
                Data_CloseAll(gData);
                WriteFile(".ACT", before);
                Open_FileActivity();
                continue;
            }
            EXPECT_FALSE(ok);
            EXPECT_EQ(File(".ACT"), before);
            EXPECT_EQ(gData.gLastActivityRecord, 2);
        }
    }
    ASSERT_TRUE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, "second", HeaderForm::BlanksAfter));
    EXPECT_EQ(File(".ACT"), Record("3" + std::string(40, ' '), 60) + before.substr(60) + Record("second", 60));
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
        gData.stamps.WaitAll();  // a working file's stamp may still be on its way to Data/
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

    ActivityTotals all = Activity_Totals("20260307", ReportKind::Closing, "11");
    EXPECT_EQ(all.deposits.Text(), "31.01");  // 1 + 10.01 + 20.00
    EXPECT_EQ(all.bankDeposits.Text(), "50");
    EXPECT_EQ(all.paidOuts.Text(), "-.25");
    EXPECT_EQ(all.openings.Text(), "100");
    EXPECT_EQ(all.declarations.Text(), "0");
    ActivityTotals mine = Activity_Totals("20260307", ReportKind::Cashier, "11");
    EXPECT_EQ(mine.bankDeposits.Text(), "0");  // cashier 22's
    EXPECT_EQ(mine.deposits.Text(), "31.01");
}

}  // namespace
}  // namespace tarvo
