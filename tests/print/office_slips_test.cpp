// Cash-office slips and client / product sheets: journal records and sheet
// records written through the real working files, printed into the capture
// backend and compared byte for byte with printouts written out by hand
// (narrow and wide paper, English and French), plus the failures: a record the
// caller could not write, an output that does not open, an output that fails
// in the middle of the printout and a product key setting that is no number.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "print/devices.h"
#include "print/office_slips.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace print_golden;

constexpr const char* kTerminal = "1234567";
const std::string kBetweenCopies = "F\r\nC\r\n";

// A journal record as the cash-office writers build it (48 characters).
std::string Activity(const std::string& date, const std::string& time, char letter, const std::string& cashier,
                     const std::string& amount, const std::string& manager = "") {
    return Fixed(
        48, {{1, date}, {9, time}, {13, std::string(1, letter) + "0"}, {15, manager}, {23, cashier}, {31, amount}});
}

class OfficeSlipsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        gPrint = PrintState{};
        gTerminalNumber = kTerminal;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gSettings.gHeaderLine = {"MY STORE", "", "  12 Main St", "", ""};
        UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    // Appends a journal record by the header rule; returns its record number.
    std::int32_t Journal(const std::string& record) {
        Open_FileActivity();
        EXPECT_TRUE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, record));
        gData.activity.Close();
        return gData.gLastActivityRecord;
    }
    std::int32_t NewEntry(void (*opener)(), const std::string& record) {
        opener();
        EXPECT_TRUE(Transaction_Append(gData.newFile, gData.gNewCount, gData.newFile.RecordLength() - 2, record));
        return gData.gNewCount;
    }

    std::string Log() const { return dir.Read("Files/" + std::string(kTerminal) + ".LOG"); }
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }
    // The parallel printer LPT1 as a plain file of the test.
    std::string UseFilePrinter() {
        const std::string file = dir.Write("lp.out", "");
        dir.Write(kDeviceMapFile, "LPT1=" + file + "\n");
        gSettings.gPrinterType = PrinterType::Lpt1;
        return file;
    }

    TestDir dir;
};

// The heading of one copy of a slip (record of 9 December 2026 at 14:05 by Ann).
std::string SlipHeading(const std::string& title, bool french) {
    return T(title) + L("MY STORE") + L("  12 Main St") + L("") + L("Date:     09/Dec/2026") +
           L(std::string(french ? "Heure:    " : "Time:     ") + "14:05") + L("Terminal: 1234567") +
           L(std::string(french ? "Commis:   " : "Cashier:  ") + "Ann");
}

// ------------------------------------------------------------------- slips ----

TEST_F(OfficeSlipsTest, SlipsPrintTheirRecordOnBothPaperWidthsAndBothLanguages) {
    struct Case {
        const char* name;
        void (*print)(std::int32_t);
        char letter;
        const char* amount;
        bool wide;
        int language;
        std::string expected;
    };
    const std::string safeEn = SlipHeading("DEPOSIT TO SAFE", false) + T("Amount: 1,234.50");
    const std::string safeFr = SlipHeading("     DEPOT", true) + T("Montant: 1,234.50");
    const std::string bankEn = SlipHeading("DEPOSIT TO BANK", false) + T("Amount: 250.00");
    const std::string bankFr = SlipHeading("DEPOT A BANQUE", true) + T("Montant: 250.00");
    auto paidOut = [](bool french, std::size_t rule, const std::string& total) {
        return SlipHeading("PAID OUT", french) + Rule(rule) + L(B(15) + "Total: $" + total) + Rule(rule);
    };
    const std::vector<Case> cases = {
        {"safe, narrow, English", Deposit_PrintSafe, 'D', "1234.5", false, 1,
         kOpen + safeEn + kBetweenCopies + safeEn + kClose},
        {"safe, wide, French", Deposit_PrintSafe, 'D', "1234.5", true, 2,
         kOpen + safeFr + kBetweenCopies + safeFr + kClose},
        {"bank, narrow, French", DepositBank_Print, 'B', "250", false, 2,
         kOpen + bankFr + kBetweenCopies + bankFr + kClose},
        {"bank, wide, English", DepositBank_Print, 'B', "250", true, 1,
         kOpen + bankEn + kBetweenCopies + bankEn + kClose},
        {"paid out, narrow, English", PAIDOUT_Print, 'P', "12.5", false, 1,
         kOpen + paidOut(false, 40, B(6) + "12.50") + kClose},
        {"paid out, wide, French", PAIDOUT_Print, 'P', ".05", true, 2,
         kOpen + paidOut(true, 54, B(7) + "0.05") + kClose},
        {"paid out refund", PAIDOUT_Print, 'P', "-12", false, 1, kOpen + paidOut(false, 40, B(5) + "-12.00") + kClose},
        {"paid out wider than its field prints whole", PAIDOUT_Print, 'P', "1234567.5", false, 1,
         kOpen + paidOut(false, 40, "1,234,567.50") + kClose},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        const std::int32_t rec = Journal(Activity("20261209", "1405", c.letter, "00000007", c.amount, "00000009"));
        PrinterCapture cap;
        c.print(rec);
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_EQ(cap.bytes, c.expected);
        EXPECT_FALSE(gData.activity.IsOpen());
        EXPECT_EQ(gData.gActivityRec, Activity("20261209", "1405", c.letter, "00000007", c.amount, "00000009"));
    }
}

TEST_F(OfficeSlipsTest, EachSlipPrintsTheRecordItIsGiven) {
    const std::int32_t safe = Journal(Activity("20261209", "0900", 'D', "00000007", "100"));
    const std::int32_t bank = Journal(Activity("20261209", "0915", 'B', "00000007", "300"));
    Journal(Activity("20261209", "0920", 'D', "00000007", "999"));
    {
        PrinterCapture cap;
        DepositBank_Print(bank);
        EXPECT_NE(cap.bytes.find(T("Amount: 300.00")), std::string::npos);
    }
    {
        PrinterCapture cap;
        Deposit_PrintSafe(safe);  // not the newest safe deposit: the one just written
        EXPECT_NE(cap.bytes.find(T("Amount: 100.00")), std::string::npos);
        EXPECT_EQ(cap.bytes.find("999"), std::string::npos);
    }
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

TEST_F(OfficeSlipsTest, UnknownCashierAndMonthOutOfRange) {
    // No cashier line for a number not in the table; month 13 prints as January.
    const std::int32_t rec = Journal(Activity("20261309", "0700", 'P', "00000055", "3"));
    PrinterCapture cap;
    PAIDOUT_Print(rec);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(cap.bytes, kOpen + T("PAID OUT") + L("MY STORE") + L("  12 Main St") + L("") +
                             L("Date:     09/Jan/2026") + L("Time:     07:00") + L("Terminal: 1234567") + Rule(40) +
                             L(B(15) + "Total: $" + B(7) + "3.00") + Rule(40) + kClose);
}

TEST_F(OfficeSlipsTest, ARecordTheCallerCouldNotWritePrintsNothingAndFails) {
    const std::int32_t safe = Journal(Activity("20261209", "0900", 'D', "00000007", "100"));
    struct Case {
        const char* name;
        void (*print)(std::int32_t);
        std::int32_t rec;
        const char* log;
    };
    const std::vector<Case> cases = {
        {"write failed", PAIDOUT_Print, 0, "PAIDOUT_Print: Activity record 0 is not a paid-out"},
        {"the header", Deposit_PrintSafe, 1, "Deposit_PrintSafe: Activity record 1 is not a deposit to the safe"},
        {"past the last record", Deposit_PrintSafe, safe + 1, "Deposit_PrintSafe: Activity record 3 is not"},
        {"a record of another kind", DepositBank_Print, safe, "DepositBank_Print: Activity record 2 is not"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gPrint.gPrintStatus = 0;
        PrinterCapture cap;
        c.print(c.rec);
        EXPECT_EQ(cap.bytes, "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_TRUE(Logged(c.log));
        EXPECT_FALSE(gData.activity.IsOpen());
    }
    // Printing switched off still reports the record that was not written.
    gSettings.gPrinterType = PrinterType::Off;
    PAIDOUT_Print(0);
    EXPECT_EQ(gPrint.gPrintStatus, 2);
    Deposit_PrintSafe(safe);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

TEST_F(OfficeSlipsTest, SlipOnAPrinterThatDoesNotOpenLeavesAFailedStatus) {
    const std::int32_t rec = Journal(Activity("20261209", "0900", 'D', "00000007", "100"));
    dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
    Deposit_PrintSafe(rec);
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_TRUE(Logged("Printer_Open: HandlerPrinterOpen, Unable to open printer port"));
    EXPECT_FALSE(gData.activity.IsOpen());
}

TEST_F(OfficeSlipsTest, AnOutputFailingInTheMiddleEndsTheSlipWithoutFeedOrCut) {
    struct Case {
        const char* name;
        void (*print)(std::int32_t);
        char letter;
        const char* log;
    };
    const std::vector<Case> cases = {
        {"safe", Deposit_PrintSafe, 'D', "Deposit_PrintSafe: HandlerPrinterSafe, Printer error in middle of printing"},
        {"bank", DepositBank_Print, 'B',
         "DepositBank_Print: HandlerPrinterDeposit, Printer error in middle of printing"},
        {"paid out", PAIDOUT_Print, 'P', "PAIDOUT_Print: HandlerPrinterDeposit, Printer error in middle of printing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        const std::int32_t rec = Journal(Activity("20261209", "0900", c.letter, "00000007", "100"));
        const std::string file = UseFilePrinter();
        // The first header line does not fit in what the file may still take.
        gSettings.gHeaderLine[0] = std::string(6000, 'X');
        ASSERT_LT(std::filesystem::file_size(dir / ("Files/" + std::string(kTerminal) + ".LOG")), 1000u);
        {
            FileSizeLimit limit(4096);
            c.print(rec);
        }
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_TRUE(Logged(c.log));
        EXPECT_FALSE(gData.activity.IsOpen());
        const std::string printed = dir.Read("lp.out");
        EXPECT_EQ(printed.size(), 4096u);
        EXPECT_EQ(printed.substr(0, 4), kOpen + "<");
        EXPECT_EQ(printed.back(), 'X');  // nothing after the failure, no feed or cut
    }
}

TEST_F(OfficeSlipsTest, SlipOnTheScreenPanelShowsTitlesAndLineBreaks) {
    gSettings.gPrinterType = PrinterType::Screen;
    const std::int32_t rec = Journal(Activity("20261209", "1405", 'P', "00000007", "12.5"));
    PAIDOUT_Print(rec);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(screen.Text(kPrintout), "\r\nPAID OUT\r\nMY STORE\r\n  12 Main St\r\n\r\nDate:     09/Dec/2026\r\n"
                                      "Time:     14:05\r\nTerminal: 1234567\r\nCashier:  Ann\r\n" +
                                          std::string(40, '-') + "\r\n" + B(15) + "Total: $" + B(6) + "12.50\r\n" +
                                          std::string(40, '-') + "\r\n");
}

// ------------------------------------------------------------------ sheets ----

// A client entered at the register: a 45-character name and a 90-character
// address (only 39 of each print), an empty city.
std::string NewClientRecord() {
    return Fixed(217, {{1, "0"},
                       {3, "N0000005"},
                       {11, "Marie-Claire Beaulieu-Desrochers Fontaineb XY"},
                       {56, "1234 Boulevard des Laurentides Nord, appartement 56"},
                       {176, "H2X 1Y4"},
                       {188, "514-555-0101"}});
}

std::string NewProductRecord() {
    return Fixed(267, {{1, "0"},
                       {3, "NP-77"},
                       {23, "0001112223334"},
                       {43, "Garden hose, 25 m, reinforced, green, w/ nozzle"},
                       {88, "SUP-4411"},
                       {108, "11.2"},
                       {118, "1234.5"},
                       {168, "Ordered for Mrs Smith, call when it arrives. Second line."}});
}

TEST_F(OfficeSlipsTest, SheetsPrintNewAndMasterRecordsOnBothPaperWidths) {
    const std::string newClientBody = L("Marie-Claire Beaulieu-Desrochers Fontai") +
                                      L("1234 Boulevard des Laurentides Nord, ap") + L("") + L("H2X 1Y4") + L("") +
                                      T("Client: N0000005");
    const std::string clientBody =
        L("Jean Tremblay") + L("12 Main St") + L("Apt 4") + L("") + L("") + T("Client: 00000100");
    const std::string newProductBody = L("Garden hose, 25 m, reinforced, green, w") + T("$1,234.50") + L("SUP-4411") +
                                       L("Ordered for Mrs Smith, call when it arr") + L("") + T("Product: NP-77");
    const std::string productBody = L("Apple") + L("FRUIT") + L("1.5") + L("A-12") + L("");
    struct Case {
        const char* name;
        bool product, isNew, wide;
        int language;
        ProductKey keyMode;
        std::string heading, body;
    };
    const std::vector<Case> cases = {
        {"new client, narrow", false, true, false, 1, ProductKey::Number, "MY STORE", newClientBody},
        {"new client, wide, French", false, true, true, 2, ProductKey::Number, "MY STORE", newClientBody},
        {"client, narrow", false, false, false, 1, ProductKey::Number, "MY STORE", clientBody},
        {"new product, wide", true, true, true, 1, ProductKey::Number, " MY STORE ", newProductBody},
        {"new product, narrow, French", true, true, false, 2, ProductKey::Number, " MY STORE ", newProductBody},
        {"product by number, narrow", true, false, false, 1, ProductKey::Number, " MY STORE ",
         productBody + T("Product: 1001")},
        {"product by bar code, wide", true, false, true, 1, ProductKey::BarCode, " MY STORE ",
         productBody + T("Product: 0123456789012")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gHeaderLine[0] = " MY STORE ";  // trimmed on the client sheet only
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gProductKeyMode = c.keyMode;
        std::int32_t rec = 0;
        if (c.product && c.isNew) {
            NewEntry(Open_FileNewProduct, "0NP-1");
            rec = NewEntry(Open_FileNewProduct, NewProductRecord());
            Open_FileNewClient();  // the sheet switches the shared file itself
        } else if (c.product) {
            dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf({Fixed(273, {{12, "1001"},
                                                                                    {40, "0123456789012"},
                                                                                    {60, "Apple"},
                                                                                    {94, "FRUIT"},
                                                                                    {100, "1.5"},
                                                                                    {250, "A-12"}})}));
            Parse_FileProduct();
            rec = 1;
        } else if (c.isNew) {
            rec = NewEntry(Open_FileNewClient, NewClientRecord());
            Open_FileNewProduct();
        } else {
            dir.Write("Files/" + std::string(kTerminal) + ".CLI",
                      CrLf({Fixed(210, {{1, "C099"}, {12, "00000099"}, {20, "Other"}}),
                            Fixed(210, {{1, "C100"},
                                        {12, "00000100"},
                                        {20, "Jean Tremblay"},
                                        {50, "12 Main St"},
                                        {80, "Apt 4"}})}));
            Parse_FileClient();
            rec = 2;
        }
        const std::size_t w = c.wide ? 50 : 40;
        PrinterCapture cap;
        if (c.product)
            Print_NewProduct(c.isNew ? 1 : 0, rec);
        else
            Print_NewClient(c.isNew ? 1 : 0, rec);
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_EQ(cap.bytes, kOpen + Rule(w) + T(c.heading) + Rule(w) + c.body + Rule(w) + kClose);
    }
}

TEST_F(OfficeSlipsTest, SheetOfARecordOutsideItsFilePrintsNothingAndFails) {
    NewEntry(Open_FileNewClient, NewClientRecord());  // record 2
    NewEntry(Open_FileNewProduct, NewProductRecord());
    struct Case {
        const char* name;
        bool product;
        std::int16_t isNew;
        std::int32_t rec;
        const char* log;
    };
    const std::vector<Case> cases = {
        {"new client header", false, 1, 1, "Print_NewClient: Record 1 is not in the new-client file"},
        {"new client past the count", false, 1, 3, "Print_NewClient: Record 3 is not in the new-client file"},
        {"no client file loaded", false, 0, 1, "Print_NewClient: Record 1 is not in the client file"},
        {"new product 0", true, 1, 0, "Print_NewProduct: Record 0 is not in the new-product file"},
        {"no product file loaded", true, 0, 1, "Print_NewProduct: Record 1 is not in the product file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gPrint.gPrintStatus = 0;
        PrinterCapture cap;
        if (c.product)
            Print_NewProduct(c.isNew, c.rec);
        else
            Print_NewClient(c.isNew, c.rec);
        EXPECT_EQ(cap.bytes, "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_TRUE(Logged(c.log));
    }
    // The same records print once they are right.
    PrinterCapture cap;
    Print_NewClient(1, 2);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_NE(cap.bytes.find(T("Client: N0000005")), std::string::npos);
}

TEST_F(OfficeSlipsTest, ProductKeySettingThatIsNoNumberEndsTheSheetAsFailed) {
    dir.Write("Files/" + std::string(kTerminal) + ".PRD",
              CrLf({Fixed(273, {{12, "1001"}, {40, "0123456789012"}, {60, "Apple"}})}));
    Parse_FileProduct();
    gSettings.gProductKeyMode = ProductKeyMode_Read("A");
    PrinterCapture cap;
    Print_NewProduct(0, 1);
    EXPECT_EQ(gPrint.gPrintStatus, 2);
    EXPECT_TRUE(Logged("Print_NewProduct: HandlerPrintNewProduct: Printer error in middle of printing"));
    EXPECT_EQ(cap.bytes.find("Product:"), std::string::npos);
    EXPECT_EQ(cap.bytes.find(kClose), std::string::npos);
}

TEST_F(OfficeSlipsTest, SheetOutputFailingInTheMiddleIsLoggedWithoutFeedOrCut) {
    const std::int32_t client = NewEntry(Open_FileNewClient, NewClientRecord());
    const std::int32_t product = NewEntry(Open_FileNewProduct, NewProductRecord());
    struct Case {
        const char* name;
        bool product;
        const char* log;
    };
    const std::vector<Case> cases = {
        {"client", false, "Print_NewClient: HandlerPrintNewClient: Printer error in middle of printing"},
        {"product", true, "Print_NewProduct: HandlerPrintNewProduct: Printer error in middle of printing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseFilePrinter();
        gSettings.gHeaderLine[0] = std::string(6000, 'X');
        {
            FileSizeLimit limit(4096);
            if (c.product)
                Print_NewProduct(1, product);
            else
                Print_NewClient(1, client);
        }
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_TRUE(Logged(c.log));
        const std::string printed = dir.Read("lp.out");
        EXPECT_EQ(printed.size(), 4096u);
        EXPECT_EQ(printed.back(), 'X');
    }
}

TEST_F(OfficeSlipsTest, PrintingSwitchedOffPrintsNothingAndSucceeds) {
    const std::int32_t rec = Journal(Activity("20261209", "0900", 'B', "00000007", "100"));
    const std::int32_t client = NewEntry(Open_FileNewClient, NewClientRecord());
    gSettings.gPrinterType = PrinterType::Off;
    for (int k = 0; k < 2; ++k) {
        gPrint.gPrintStatus = 5;
        if (k == 0)
            DepositBank_Print(rec);
        else
            Print_NewClient(1, client);
        EXPECT_EQ(gPrint.gPrintStatus, 0) << k;
    }
    EXPECT_FALSE(gData.activity.IsOpen());
    // A sheet does nothing else: it opens (and so creates) no file and does
    // not look at the record.
    const std::string newProducts = gConstants.paths.gDataPath + ".NWP";
    std::filesystem::remove(newProducts);
    gData.newFile.Close();
    gPrint.gPrintStatus = 5;
    Print_NewProduct(1, 99);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(std::filesystem::exists(newProducts));
}

}  // namespace
}  // namespace tarvo
