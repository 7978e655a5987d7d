// The sales receipt: sales built in memory, saved through the real save path,
// then printed from the invoice files into the capture backend and compared
// byte for byte with receipts written out by hand: both paper widths and
// languages (the terminal's or the stored client's), discount and taxes,
// gift receipts, duplicates and reprints, return, credit-note and training
// titles, manager, salesperson and client lines, card slips, the spooler's
// total line, product numbers and notes, the reference, receipt.txt and the
// footer, and record numbers outside the files printing nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/work_file.h"
#include "file_size_limit.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "print/receipt_fixture.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace print_golden;
using namespace receipt_fixture;

const std::string kStoreHeader = L("MY STORE") + L("");

// The invoice and terminal lines of a sale, on narrow (gap 4) or wide (gap 14) paper.
std::string InvoiceTop(bool wide, bool french, const char* invoice = "0000002") {
    const std::string gap = B(wide ? 14 : 4);
    return L(std::string(french ? "Facture:  " : "Invoice:  ") + invoice + gap + "Date:  09/Dec/2026") +
           L("Terminal: 1234567" + gap + (french ? "Heure: " : "Time:  ") + "10:30");
}
// The same with the cashier line, for the sale saved first.
std::string InvoiceLines(bool wide, bool french) {
    return InvoiceTop(wide, french) + L(std::string(french ? "Commis:   " : "Cashier:  ") + "Ann");
}
std::string Heading(bool wide, bool french) { return kStoreHeader + InvoiceLines(wide, french); }

TEST_F(ReceiptTest, CashSaleWithChangePrintsOnBothPaperWidthsAndBothLanguages) {
    struct Case {
        const char* name;
        bool wide;
        int language;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"narrow English", false, 1,
         kOpen + Heading(false, false) + Rule(40) + L("Apple" + B(20) + " " + B(5)) +
             L(B(6) + "Qty: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
             L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + Rule(40) + L(B(7) + "Sub Total: " + B(16) + "40.00") +
             L(B(7) + "GST:       " + B(17) + "2.00") + B(7) + T("Total: " + B(4) + "42.00") +
             L(B(7) + "Cash" + B(14) + B(9) + "50.00") + L(B(7) + "Change" + B(12) + B(10) + "8.00") + Rule(40) +
             kClose},
        {"wide English", true, 1,
         kOpen + Heading(true, false) + Rule(54) + L("     Description              Quantity  Price    Total") +
             Rule(54) + L("Apple" + B(25) + B(6) + "2" + B(3) + "10.00" + B(4) + "20.00") +
             L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") + Rule(54) +
             L(B(7) + "Sub Total: " + B(16) + "40.00") + L(B(7) + "GST:       " + B(17) + "2.00") + B(7) +
             T("Total: " + B(4) + "42.00") + L(B(7) + "Cash" + B(14) + B(9) + "50.00") +
             L(B(7) + "Change" + B(12) + B(10) + "8.00") + Rule(54) + kClose},
        {"narrow French", false, 2,
         kOpen + Heading(false, true) + Rule(40) + L("Apple" + B(20) + " " + B(5)) +
             L(B(6) + "Qte: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
             L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + Rule(40) + L(B(7) + "Sous Total:" + B(16) + "40.00") +
             L(B(7) + "GST:       " + B(17) + "2.00") + B(7) + T("Total: " + B(4) + "42.00") +
             L(B(7) + "Cash" + B(14) + B(9) + "50.00") + L(B(7) + "Monnaie" + B(11) + B(10) + "8.00") + Rule(40) +
             kClose},
        {"wide French", true, 2,
         kOpen + Heading(true, true) + Rule(54) + L("     Description              Quantite   Prix     Total") +
             Rule(54) + L("Apple" + B(25) + B(6) + "2" + B(3) + "10.00" + B(4) + "20.00") +
             L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") + Rule(54) +
             L(B(7) + "Sous Total:" + B(16) + "40.00") + L(B(7) + "GST:       " + B(17) + "2.00") + B(7) +
             T("Total: " + B(4) + "42.00") + L(B(7) + "Cash" + B(14) + B(9) + "50.00") +
             L(B(7) + "Monnaie" + B(11) + B(10) + "8.00") + Rule(54) + kClose},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        CashSale();
        EXPECT_EQ(SaveAndPrint(), c.expected);
    }
}

TEST_F(ReceiptTest, DiscountAndEveryStoredTaxPrintEvenWithoutACurrentRate) {
    struct Case {
        const char* name;
        bool wide;
        std::string items;
    };
    const std::vector<Case> cases = {
        {"narrow", false,
         L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + L("Cheese" + B(24)) +
             L(B(9) + "1.500 Lb @" + B(4) + "$8.00/Lb" + B(3) + "$12.00") +
             L("Book" + B(21) + " " + B(5) + B(3) + "$20.00")},
        {"wide", true,
         L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") +
             L("Cheese" + B(17) + " " + " 1.500 Lb @" + B(3) + "$8.00/Lb" + B(2) + "$12.00") +
             L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSale.gTaxRate = {0, 0, 0, 0};  // the stored amounts decide
        AddLine("BOOK", 1, "20");
        AddLine("CHEESE", 1.5, "8");
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = M("52");
        gSale.gSaleDiscount = M("-5.2");
        gSale.gTax1 = M("2.34");
        gSale.gTax2 = M("3.51");
        gSale.gTotal = M("52.65");
        AddTender("1", "52.65");
        const std::size_t w = c.wide ? 54 : 40;
        const std::string title = c.wide ? L("     Description              Quantity  Price    Total") + Rule(54) : "";
        const std::string expected =
            kOpen + Heading(c.wide, false) + Rule(w) + title + c.items + Rule(w) +
            L(B(7) + "Sub Total: " + B(16) + "52.00") + L(B(7) + "Discount:   (10.00 %)" + B(7) + "5.20") +
            L(B(7) + "GST:       " + B(17) + "2.34") + L(B(7) + "PST:       " + B(17) + "3.51") + B(7) +
            T("Total: " + B(4) + "52.65") + L(B(7) + "Cash" + B(14) + B(9) + "52.65") + Rule(w) + kClose;
        EXPECT_EQ(SaveAndPrint(), expected);
    }
}

TEST_F(ReceiptTest, GiftReceiptPrintsDescriptionsWithoutPricesOrTotals) {
    struct Case {
        const char* name;
        bool wide;
        std::string items;
    };
    const std::vector<Case> cases = {
        {"narrow", false, Rule(40) + L("Apple" + B(20) + " ") + L("Book" + B(21) + " ") + Rule(40)},
        {"wide", true,
         Rule(54) + L("     Description              Quantity  ") + Rule(54) + L("Apple" + B(25) + B(6) + "2") +
             L("Book" + B(26) + B(6) + "1") + Rule(54)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        CashSale();
        gSaleSave.gGiftReceipt = true;
        EXPECT_EQ(SaveAndPrint(),
                  kOpen + kStoreHeader + T("   GIFT RECEIPT") + L("") + InvoiceLines(c.wide, false) + c.items + kClose);
        EXPECT_FALSE(gSaleSave.gGiftReceipt);
    }
}

TEST_F(ReceiptTest, DuplicatePrintsItsTitleAtTheTopAndAboveTheItems) {
    CashSale();
    ASSERT_TRUE(Sale_Save());
    gSaleSave.gReceiptDuplicate = true;
    PrinterCapture cap;
    Receipt_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    const std::string expected =
        kOpen + T(" ***DUPLICATE***") + Heading(false, false) + Rule(40) + T(" ***DUPLICATE***") +
        L("Apple" + B(20) + " " + B(5)) + L(B(6) + "Qty: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
        L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + Rule(40) + L(B(7) + "Sub Total: " + B(16) + "40.00") +
        L(B(7) + "GST:       " + B(17) + "2.00") + B(7) + T("Total: " + B(4) + "42.00") +
        L(B(7) + "Cash" + B(14) + B(9) + "50.00") + L(B(7) + "Change" + B(12) + B(10) + "8.00") + Rule(40) + kClose;
    EXPECT_EQ(cap.bytes, expected);
    EXPECT_FALSE(gSaleSave.gReceiptDuplicate);
}

TEST_F(ReceiptTest, CardSlipMasksTheNumberAndTakesTheAuthorizationByBackEnd) {
    struct Case {
        const char* name;
        CardBackend backend;
        std::int16_t copy;
        bool fullNumber;
        std::string number, auth, signature;
    };
    const std::string signature =
        L("") + L("") + L("") + L("X" + std::string(39, '-')) + L(B(9) + "Customer's Signature") + L("") + L("");
    const std::vector<Case> cases = {
        {"exchange file, first copy", CardBackend::ExchangeFiles, 0, false, "XXXXXXXXXXXX1111", "12345", signature},
        {"exchange file, second copy", CardBackend::ExchangeFiles, 1, true, "XXXXXXXXXXXX1111", "12345", ""},
        {"full number on the first copy", CardBackend::ExchangeFiles, 0, true, "4111111111111111", "12345", signature},
        {"back-end 2", CardBackend::Terminal, 0, false, "XXXXXXXXXXXX1111", "001234", signature},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gCardBackend = c.backend;
        gSettings.gFullCardNumberCopy = c.fullNumber;
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = M("20");
        gSale.gTotal = M("20");
        AddTender("4", "20");
        gSale.gPayments[1].reference = "0012345A\"";
        gSale.gPayments[1].entryKind = 2;
        gSale.gPayments[1].cardNumber = "4111111111111111";
        gSale.gPayments[1].cardExpiry = "1227";
        gSaleSave.gReceiptCopy = c.copy;
        const std::string expected =
            kOpen + Heading(false, false) + Rule(40) + L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + Rule(40) +
            L(B(7) + "Sub Total: " + B(16) + "20.00") + B(7) + T("Total: " + B(4) + "20.00") +
            L(B(7) + "Visa Card" + B(9) + B(9) + "20.00") + L(B(7) + Pad("0012345A\"", 20)) + Rule(40) + L("PURCHASE") +
            L("AMOUNT: 20.00") + L("MANUAL") + L(c.number + B(5) + "Expiry: 1227" + B(6)) +
            L("AUTHORIZATION: " + c.auth) + L("") + L(B(18) + "APPROVED") + c.signature + kClose;
        EXPECT_EQ(SaveAndPrint(), expected);
        EXPECT_EQ(gCardPaymentRecNo, 2);
    }
}

TEST_F(ReceiptTest, ARecordOutsideTheInvoiceFilePrintsNothing) {
    CashSale();
    ASSERT_TRUE(Sale_Save());
    for (const std::int32_t rec : {0, 1, 3}) {
        SCOPED_TRACE(rec);
        gSaleSave.gPrintRecordNo = rec;
        gSaleSave.gGiftReceipt = true;
        gPrint.gPrintStatus = 0;
        PrinterCapture cap;
        Receipt_Print();
        EXPECT_EQ(cap.bytes, "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);  // nothing printed is not reported as printed
        EXPECT_FALSE(gSaleSave.gGiftReceipt);
        EXPECT_FALSE(gData.invoices.IsOpen());
        EXPECT_NE(Log().find("Print_Recipt: invoice record " + std::to_string(rec) + " is not in the invoice file"),
                  std::string::npos);
    }
}

TEST_F(ReceiptTest, FailuresAreNeverReportedAsSuccess) {
    {
        // The log file lives under the same size limit: this case goes first.
        SCOPED_TRACE("output that fails part-way");
        CashSale();
        ASSERT_TRUE(Sale_Save());
        const std::string lp = dir.Write("lp.out", "");
        dir.Write(kDeviceMapFile, "LPT1=" + lp + "\n");
        gSettings.gPrinterType = PrinterType::Lpt1;
        {
            FileSizeLimit limit(400);
            Receipt_Print();
        }
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_FALSE(gData.invoices.IsOpen());
        const std::string printed = dir.Read("lp.out");
        EXPECT_EQ(printed.size(), 400u);
        EXPECT_EQ(printed.find("FC"), std::string::npos);  // no feed or cut after a failure
        EXPECT_NE(Log().find("Print_Recipt: HandlerReceipt, Error detected during printout of receipt"),
                  std::string::npos);
    }
    TearDown();
    SetUp();
    {
        SCOPED_TRACE("output that does not open");
        CashSale();
        ASSERT_TRUE(Sale_Save());
        dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
        gSaleSave.gGiftReceipt = true;
        Receipt_Print();
        EXPECT_NE(gPrint.gPrintStatus, 0);
        EXPECT_FALSE(gSaleSave.gGiftReceipt);
        EXPECT_FALSE(gData.invoices.IsOpen());
    }
    TearDown();
    SetUp();
    {
        SCOPED_TRACE("invoice line file that does not open");
        CashSale();
        ASSERT_TRUE(Sale_Save());
        std::filesystem::remove(gConstants.paths.gDataPath + ".DTL");
        std::filesystem::create_directory(gConstants.paths.gDataPath + ".DTL");
        PrinterCapture cap;
        Receipt_Print();
        EXPECT_EQ(cap.bytes, "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_FALSE(gData.invoices.IsOpen());
        EXPECT_NE(Log().find("Print_Recipt: the sale files cannot be opened"), std::string::npos);
        std::filesystem::remove(gConstants.paths.gDataPath + ".DTL");
    }
    TearDown();
    SetUp();
    {
        // The header counts a record the file does not hold: the opener cuts
        // the count back to the file, and record 3 is not there to print.
        SCOPED_TRACE("invoice record the file does not hold");
        CashSale();
        ASSERT_TRUE(Sale_Save());
        gData.invoices.Close();
        {
            WorkFile f;
            ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ".INV", 150));
            ASSERT_TRUE(f.Write(1, Pad("3", 138)));
        }
        gSaleSave.gPrintRecordNo = 3;
        PrinterCapture cap;
        Receipt_Print();
        EXPECT_EQ(cap.bytes, "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_NE(Log().find("Print_Recipt: invoice record 3 is not in the invoice file, nothing printed"),
                  std::string::npos)
            << Log();
    }
}

// ------------------------------------------------------------------------
// A single book for 20.00 paid with 20.00 cash, the receipt's simplest sale.

const std::string kBookItem = L("Book" + B(21) + " " + B(5) + B(3) + "$20.00");
std::string BookTotals(bool french = false) {
    return L(B(7) + (french ? "Sous Total:" : "Sub Total: ") + B(16) + "20.00") + B(7) + T("Total: " + B(4) + "20.00") +
           L(B(7) + "Cash" + B(14) + B(9) + "20.00") + Rule(40);
}

// The client file: the default client "1", C200 (language 1), C201
// (language 2), C203 (language 3), C204 (no language); and the new-client
// file with one client entered at the register (record 2).
void WriteClients(TestDir& dir) {
    auto client = [](const char* id, const char* language, const char* number, const char* name, const char* a1,
                     const char* a3, const char* phone) {
        return Fixed(212, {{1, id}, {9, language}, {12, number}, {20, name}, {50, a1}, {110, a3}, {140, phone}});
    };
    dir.Write("Files/" + std::string(kTerminal) + ".CLI",
              CrLf({client("1", "1", "", "Walk-in", "", "", ""),
                    client("C200", "1", "2002", "Harbour Cafe", "1 Pier Road", "Portsby", "555 0101"),
                    client("C201", "2", "2003", "Cafe du Port", "", "", ""),
                    client("C203", "3", "2004", "Third Client", "", "", ""),
                    client("C204", " ", "2005", "No Language", "", "", "")}));
    Parse_FileClient();
    WorkFile f;
    ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ".NWC", 500, true));
    ASSERT_TRUE(f.Write(1, Pad("2", 498)));  // the count record as the writer puts it
    ASSERT_TRUE(f.Write(2,
                        Fixed(220,
                              {{1, "N"}, {3, "3003"}, {11, "Dock Stores"}, {56, "9 Wharf Lane"}, {188, "555 0202"}})));
}

TEST_F(ReceiptTest, ReturnCreditNoteAndTrainingSalesPrintTheirTitles) {
    // A negative sale: one book taken back; refunded in full it is a return
    // (stored status "4"), with only 10.00 paid out a credit note.
    auto negative = [](const char* paid) {
        return L("Book" + B(21) + " " + B(5)) + L(B(6) + "Qty: -1       x" + B(3) + "20.00 =" + B(2) + "$-20.00") +
               Rule(40) + L(B(7) + "Sub Total: " + B(15) + "-20.00") + B(7) + T("Total: " + B(3) + "-20.00") +
               L(B(7) + "Cash" + B(14) + B(8) + paid) + Rule(40);
    };
    struct Case {
        const char* name;
        const char* paid;  // nullptr: an ordinary sale of one book
        bool training;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"return", "-20.00", false,
         kOpen + kStoreHeader + T("Return") + L("") + L("") + InvoiceLines(false, false) + Rule(40) +
             negative("-20.00") + kClose},
        {"credit note", "-10.00", false,
         kOpen + kStoreHeader + T("Credit Note") + L("") + L("") + InvoiceLines(false, false) + Rule(40) +
             negative("-10.00") + kClose},
        {"training sale", nullptr, true,
         kOpen + T("***TRAINING MODE***") + Heading(false, false) + Rule(40) + T("***TRAINING MODE***") + kBookItem +
             Rule(40) + BookTotals() + kClose},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (c.paid) {
            AddLine("BOOK", -1, "20");
            gSale.gSubtotal = gSale.gTotal = M("-20");
            AddTender("1", c.paid);
        } else {
            AddLine("BOOK", 1, "20");
            gSale.gSubtotal = gSale.gTotal = M("20");
            AddTender("1", "20");
        }
        if (c.training) gSale.gMode = RegisterMode::Training;
        EXPECT_EQ(SaveAndPrint(), c.expected);
    }
}

TEST_F(ReceiptTest, HeadingNamesManagerSalespersonAndClientBySettings) {
    const std::string manager = L("Manager:  Max"), cashier = L("Cashier:  Ann"), salesman = L("Salesman: Sam");
    struct Case {
        const char* name;
        const char* client;  // the sale's client; "N" the new client
        const char* print;   // settings 810, 815, 820
        std::string lines;   // between the terminal line and the rule
    };
    const std::vector<Case> cases = {
        {"client on file", "C200", "111",
         manager + cashier + salesman + L("Client:   " + Pad("Harbour Cafe", 30)) + L(B(10) + Pad("1 Pier Road", 30)) +
             L(B(10) + Pad("Portsby", 30)) + L("Telephone:" + Pad("555 0101", 20)) + L("Number:   2002    ")},
        {"client entered at the register", "N", "111",
         manager + cashier + salesman + L("Client:   " + Pad("Dock Stores", 30)) + L(B(10) + Pad("9 Wharf Lane", 30)) +
             L("Telephone:" + Pad("555 0202", 20)) + L("Number:   3003    ")},
        {"the default client prints no block", "1", "111", manager + cashier + salesman},
        {"a client not on file prints no block", "C999", "111", manager + cashier + salesman},
        {"cashier, salesperson and client switched off", "C200", "000", manager},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        WriteClients(dir);
        gData.ManagerTable.push_back(ManagerRow{"00000009", "9999", "Max", "111"});
        gData.gManagerCount = 1;
        gReg.gManagerIndex = 1;
        gData.SalesmanTable.push_back(SalesmanRow{"00000005", "55", "Sam"});
        gData.gSalesmanCount = 1;
        gSale.gSalesmanIndex = 1;
        gSettings.gPrintCashier = c.print[0] == '1';
        gSettings.gPrintSalesman = c.print[1] == '1';
        gSettings.gPrintClient = c.print[2] == '1';
        if (std::string(c.client) == "N") {
            gData.gClientRecNo = 0;
            gData.gNewClientRecNo = 2;
        } else {
            gSale.gClientCode = c.client;
            gData.gNewClientRecNo = 0;
        }
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = gSale.gTotal = M("20");
        AddTender("1", "20");
        EXPECT_EQ(SaveAndPrint(), kOpen + kStoreHeader + InvoiceTop(false, false) + c.lines + Rule(40) + kBookItem +
                                      Rule(40) + BookTotals() + kClose);
    }
}

TEST_F(ReceiptTest, StoredClientsLanguageChoosesTheReceiptLanguage) {
    struct Case {
        const char* name;
        int terminal;
        const char* client;
        bool french;
    };
    const std::vector<Case> cases = {
        {"language 2 on an English terminal", 1, "C201", true},
        {"language 3 on a French terminal", 2, "C203", false},
        {"language 1 on a French terminal", 2, "C200", false},
        {"no language on a French terminal", 2, "C204", false},
        {"client not on file: the terminal's", 2, "C999", true},
        {"client entered at the register: the terminal's", 2, "N", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        WriteClients(dir);
        gSettings.gLanguage = static_cast<std::int16_t>(c.terminal);
        if (std::string(c.client) == "N") {
            gData.gClientRecNo = 0;
            gData.gNewClientRecNo = 2;
        } else {
            gSale.gClientCode = c.client;
        }
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = gSale.gTotal = M("20");
        AddTender("1", "20");
        EXPECT_EQ(SaveAndPrint(),
                  kOpen + Heading(false, c.french) + Rule(40) + kBookItem + Rule(40) + BookTotals(c.french) + kClose);
    }
}

TEST_F(ReceiptTest, CardSlipOfSwipedKeyedAndRefundedCards) {
    const std::string rule39 = L("X" + std::string(39, '-'));
    struct Case {
        const char* name;
        std::int16_t entry;  // 1 swiped, 2 keyed
        bool refund;
        bool french;
        std::string slip;
    };
    const std::vector<Case> cases = {
        {"swiped: the card holder signs", 1, false, false,
         L("PURCHASE") + L("AMOUNT: 20.00") + L("SWIPE") + L("XXXXXXXXXXXX1111" + B(5) + "Expiry: 1227" + B(6)) +
             L("AUTHORIZATION: 12345") + L("") + L(B(18) + "APPROVED") + L("") + L("") + L("") + rule39 +
             L(B(13) + "JANE Q PUBLIC") + L("") + L("")},
        {"keyed for a French client", 2, false, true,
         L("PURCHASE") + L("MONTANT: 20.00") + L("MANUAL") + L("XXXXXXXXXXXX1111" + B(5) + "Expir.: 1227" + B(6)) +
             L("AUTHORIZATION: 12345") + L("") + L(B(18) + "APPROVED") + L("") + L("") + L("") + rule39 +
             L(B(9) + "Signature du Cliente") + L("") + L("")},
        {"refund: a rule with no name under it", 1, true, false,
         L("REFUND") + L("AMOUNT: -20.00") + L("SWIPE") + L("XXXXXXXXXXXX1111" + B(5) + "Expiry: 1227" + B(6)) +
             L("AUTHORIZATION: 12345") + L("") + L(B(18) + "APPROVED") + L("") + L("") + L("") + rule39 + L("") +
             L("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        WriteClients(dir);
        gSettings.gCardBackend = CardBackend::ExchangeFiles;
        gSale.gClientCode = c.french ? "C201" : "C200";
        const char* amount = c.refund ? "-20" : "20";
        AddLine("BOOK", 1, amount);
        gSale.gSubtotal = gSale.gTotal = M(amount);
        AddTender("4", amount);
        gSale.gPayments[1].reference = "0012345A\"";
        gSale.gPayments[1].entryKind = c.entry;
        gSale.gPayments[1].cardNumber = "4111111111111111";
        gSale.gPayments[1].cardExpiry = "1227";
        gSale.gPayments[1].cardHolder = "  JANE Q PUBLIC  ";
        const std::string item = c.refund ? L("Book" + B(21) + " " + B(5) + B(2) + "$-20.00") : kBookItem;
        const std::string a = c.refund ? B(15) + "-20.00" : B(16) + "20.00";
        const std::string totals = L(B(7) + (c.french ? "Sous Total:" : "Sub Total: ") + a) + B(7) +
                                   T("Total: " + std::string(c.refund ? B(3) + "-20.00" : B(4) + "20.00")) +
                                   L(B(7) + "Visa Card" + B(9) + (c.refund ? B(8) + "-20.00" : B(9) + "20.00")) +
                                   L(B(7) + Pad("0012345A\"", 20)) + Rule(40);
        const std::string title = c.refund ? T("Return") + L("") + L("") : "";
        EXPECT_EQ(SaveAndPrint(), kOpen + kStoreHeader + title + InvoiceLines(false, c.french) + Rule(40) + item +
                                      Rule(40) + totals + c.slip + kClose);
    }
}

TEST_F(ReceiptTest, SpoolerPrinterGetsThePlainTotalLine) {
    gSettings.gPrinterType = PrinterType::Spooler;
    CashSale();
    auto N = [](const std::string& text) { return text + "\n"; };
    const std::string expected = N("@") + N("MY STORE") + N("") + N("Invoice:  0000002    Date:  09/Dec/2026") +
                                 N("Terminal: 1234567    Time:  10:30") + N("Cashier:  Ann") + N(std::string(40, '-')) +
                                 N("Apple" + B(20) + " " + B(5)) +
                                 N(B(6) + "Qty: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
                                 N("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + N(std::string(40, '-')) +
                                 N(B(7) + "Sub Total: " + B(16) + "40.00") + N(B(7) + "GST:       " + B(17) + "2.00") +
                                 N(B(7) + "Total:     " + B(16) + "42.00") + N(B(7) + "Cash" + B(14) + B(9) + "50.00") +
                                 N(B(7) + "Change" + B(12) + B(10) + "8.00") + N(std::string(40, '-')) + kClose;
    EXPECT_EQ(SaveAndPrint(), expected);
}

TEST_F(ReceiptTest, ReferenceReceiptTextAndFooterEndTheReceipt) {
    struct Case {
        const char* name;
        bool gift;
        const char* footer;
        std::string end;
    };
    const std::string text = L("Thank you") + L("Returns within 30 days") + L("No cash refunds");
    const std::vector<Case> cases = {
        {"receipt with footer", false, "1",
         L("Reference: PO-778" + B(14)) + text + L("Footer one") + L("Footer three")},
        {"receipt without footer", false, "0", L("Reference: PO-778" + B(14)) + text},
        {"gift receipt: no reference", true, "1", text + L("Footer one") + L("Footer three")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        // Every line end the file may have: CR LF, a lone CR, a lone LF.
        dir.Write("receipt.txt", "Thank you\r\nReturns within 30 days\rNo cash refunds\n");
        gSettings.gPrintFooter = std::string(c.footer) == "1";
        gSettings.gFooterLine = {"Footer one", "", "Footer three", "", ""};
        gSale.gSaleReference = "PO-778";
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = gSale.gTotal = M("20");
        AddTender("1", "20");
        gSaleSave.gGiftReceipt = c.gift;
        const std::string body = c.gift ? kStoreHeader + T("   GIFT RECEIPT") + L("") + InvoiceLines(false, false) +
                                              Rule(40) + L("Book" + B(21) + " ") + Rule(40)
                                        : Heading(false, false) + Rule(40) + kBookItem + Rule(40) + BookTotals();
        EXPECT_EQ(SaveAndPrint(), kOpen + body + c.end + kClose);
    }
}

TEST_F(ReceiptTest, ItemLinesCarryProductNumbersAndNotesAndSkipKitComponents) {
    struct Case {
        const char* name;
        bool wide;
        std::string items;
    };
    const std::vector<Case> cases = {
        {"narrow", false,
         L("Apple" + B(20) + " " + B(5)) + L(B(6) + "Qty: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
             L("APPLE" + B(12) + "Tax: (T  )") + L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") +
             L("BOOK" + B(13) + "Tax: (   )") + L("Gift wrap" + B(12))},
        {"wide", true,
         L("     Description              Quantity  Price    Total") + Rule(54) +
             L("Apple" + B(25) + B(6) + "2" + B(3) + "10.00" + B(4) + "20.00") + L("APPLE" + B(15) + "Tax: (T  )") +
             L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") + L("BOOK" + B(16) + "Tax: (   )") +
             L("Gift wrap" + B(12))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gPrintOption811 = true;
        gSettings.gProductKeyMode = ProductKey::Number;
        AddLine("APPLE", 2, "10");
        AddLine("BOOK", 1, "20");
        gSale.gLines[2].hasNote = true;
        gSale.gLines[2].note = "Gift wrap";
        AddLine("CHEESE", 1, "0");
        gSale.gLines[3].kitComponent = true;  // part of a kit: not printed
        gSale.gSubtotal = gSale.gTotal = M("40");
        AddTender("1", "40");
        const std::size_t w = c.wide ? 54 : 40;
        EXPECT_EQ(SaveAndPrint(), kOpen + Heading(c.wide, false) + Rule(w) + c.items + Rule(w) +
                                      L(B(7) + "Sub Total: " + B(16) + "40.00") + B(7) + T("Total: " + B(4) + "40.00") +
                                      L(B(7) + "Cash" + B(14) + B(9) + "40.00") + Rule(w) + kClose);
    }
}

TEST_F(ReceiptTest, ReprintOfAnEarlierInvoiceIsItsDuplicate) {
    CashSale();
    ASSERT_TRUE(Sale_Save());
    gSale = SaleState{};
    gSale.gClientCode = "C100";
    AddLine("BOOK", 1, "20");
    gSale.gSubtotal = gSale.gTotal = M("20");
    AddTender("1", "20");
    ASSERT_TRUE(Sale_Save());
    ASSERT_EQ(gSaleSave.gPrintRecordNo, 3);

    gSaleSave.gPrintRecordNo = 2;
    gSaleSave.gReceiptDuplicate = true;
    PrinterCapture cap;
    Receipt_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(cap.bytes, kOpen + T(" ***DUPLICATE***") + Heading(false, false) + Rule(40) + T(" ***DUPLICATE***") +
                             L("Apple" + B(20) + " " + B(5)) +
                             L(B(6) + "Qty: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
                             L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + Rule(40) +
                             L(B(7) + "Sub Total: " + B(16) + "40.00") + L(B(7) + "GST:       " + B(17) + "2.00") +
                             B(7) + T("Total: " + B(4) + "42.00") + L(B(7) + "Cash" + B(14) + B(9) + "50.00") +
                             L(B(7) + "Change" + B(12) + B(10) + "8.00") + Rule(40) + kClose);
    EXPECT_FALSE(gSaleSave.gReceiptDuplicate);

    // The later invoice is untouched by the reprint.
    cap.bytes.clear();
    gSaleSave.gPrintRecordNo = 3;
    Receipt_Print();
    EXPECT_EQ(cap.bytes, kOpen + kStoreHeader + InvoiceTop(false, false, "0000003") + L("Cashier:  Ann") + Rule(40) +
                             kBookItem + Rule(40) + BookTotals() + kClose);
}

TEST_F(ReceiptTest, ProductOnlyInTheNewProductFilePrintsProductNotFound) {
    {
        WorkFile f;
        ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ".NWP", 300, true));
        ASSERT_TRUE(f.Write(1, "2"));
        ASSERT_TRUE(f.Write(2, Fixed(60, {{1, "N"}, {3, "NEWP"}, {23, "New item"}})));
    }
    AddLine("NEWP", 1, "5");
    AddLine("BOOK", 1, "20");
    gSale.gSubtotal = gSale.gTotal = M("25");
    AddTender("1", "25");
    EXPECT_EQ(SaveAndPrint(), kOpen + Heading(false, false) + Rule(40) + L("Product Not Found") + kBookItem + Rule(40) +
                                  L(B(7) + "Sub Total: " + B(16) + "25.00") + B(7) + T("Total: " + B(4) + "25.00") +
                                  L(B(7) + "Cash" + B(14) + B(9) + "25.00") + Rule(40) + kClose);
}

TEST_F(ReceiptTest, ReprintInTheMiddleOfASaleLeavesTheSalesClientAlone) {
    WriteClients(dir);
    gSettings.gPrintClient = true;
    gSale.gClientCode = "C201";  // a French client on file
    AddLine("BOOK", 1, "20");
    gSale.gSubtotal = gSale.gTotal = M("20");
    AddTender("1", "20");
    ASSERT_TRUE(Sale_Save());
    // The next sale has a client entered at the register attached.
    gData.gClientRecNo = 0;
    gData.gNewClientRecNo = 2;
    gData.gClientRec = "the sale's client";
    PrinterCapture cap;
    Receipt_Print();
    EXPECT_NE(cap.bytes.find("Cafe du Port"), std::string::npos);
    EXPECT_NE(cap.bytes.find("Sous Total:"), std::string::npos);
    EXPECT_EQ(gData.gClientRecNo, 0);
    EXPECT_EQ(gData.gNewClientRecNo, 2);
    EXPECT_EQ(gData.gClientRec, "the sale's client");
}

}  // namespace
}  // namespace tarvo
