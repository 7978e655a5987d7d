// The sales receipt: sales built in memory, saved through the real save path,
// then printed from the invoice files into the capture backend and compared
// byte for byte with receipts written out by hand (narrow and wide paper,
// English and French, discount and taxes, gift receipts, duplicates), plus
// record numbers outside the files printing nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/master_files.h"
#include "data/store_fixture.h"
#include "print/devices.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "register/register_fixture.h"
#include "sale/sale_save.h"
#include "sale/sale_state.h"
#include "startup/constants.h"
#include "startup/settings.h"
#include "startup/startup_sequence.h"
#include "test_dir.h"

namespace tarvo {
namespace {

constexpr const char* kTerminal = "1234567";
// Printable control sequences, so a receipt reads as text: "@" initialise,
// "<" and ">" title on and off, "F" feed, "C" cut.
const std::string kOpen = "@\r\n";
const std::string kClose = "FC";

Money M(const char* text) { return *Money::Parse(text); }
std::string B(std::size_t n) { return std::string(n, ' '); }
std::string L(const std::string& text) { return text + "\r\n"; }
std::string T(const std::string& text) { return "<" + text + ">\r\n"; }
std::string Rule(std::size_t n) { return L(std::string(n, '-')); }

void SetCode(int k, const std::string& bytes) {
    for (int j = 0; j < 6; ++j)
        gSettings.gPrinterCodeValues[static_cast<std::size_t>(6 * (k - 1) + j)] =
            j < static_cast<int>(bytes.size())
                ? std::to_string(static_cast<unsigned char>(bytes[static_cast<std::size_t>(j)]))
                : "";
}

// One product of the product file: number, key, description, taxes, units.
std::string ProductRecord(const std::string& number, const std::string& key, const std::string& description,
                          const std::string& taxes, const std::string& units, bool weighed = false) {
    std::string r = Fixed(273, {{1, number}, {12, key}, {60, description}, {90, taxes}, {175, units}});
    if (weighed) r[8] = 'S';
    return r;
}

class ReceiptTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        for (const char* ext : {".INV", ".DTL", ".PAY"}) std::filesystem::remove(gConstants.paths.gDataPath + ext);
        gPrint = PrintState{};
        gSaleSave = SaleSaveState{};
        gTerminalNumber = kTerminal;
        gReg.gBusinessDate = "20261209";
        gReg.gLoggedOut = false;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
        gSettings.gPrintCashier = "1";
        gSettings.gHeaderLine = {"MY STORE", "", "", "", ""};
        gSettings.gTaxName = {"GST", "PST", "HST"};
        gSettings.gWeightUnit = "Lb";
        gSettings.PaymentTypes[1].Code = "1";
        gSettings.PaymentTypes[1].Name1 = "Cash";
        gSettings.PaymentTypes[1].Name2 = "Comptant";
        for (int k = 1; k <= 7; ++k) SetCode(k, "");
        SetCode(1, "@");
        SetCode(2, "<");
        SetCode(3, ">");
        SetCode(6, "F");
        SetCode(7, "C");
        PrinterCodes_Load();
        gSettings.gPrinterType = "3";

        const std::vector<std::string> products = {
            ProductRecord("1001", "APPLE", "Apple", "1  ", "1"),
            ProductRecord("1002", "BOOK", "Book", "   ", "1"),
            ProductRecord("1003", "CHEESE", "Cheese", "11 ", "1", true),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(products));
        Parse_FileProduct();
        gSale = SaleState{};
        gSale.gClientCode = "C100";
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = "0";
        gData.invoices.Close();
        gData.invoiceLines.Close();
        gData.payments.Close();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    void AddLine(const char* key, double qty, const char* price) {
        const auto n = static_cast<std::size_t>(++gSale.gItemCount);
        gSale.gLineProduct[n] = "P";
        gSale.gLineKey[n] = key;
        gSale.gLineQuantity[n] = qty;
        gSale.gLineListPrice[n] = M(price);
        gSale.gLineUnitPrice[n] = M(price);
    }
    void AddTender(const char* type, const char* amount) {
        const auto t = static_cast<std::size_t>(++gSale.gPaymentCount);
        gSale.gPayType[t] = type;
        gSale.gPayAmount[t] = M(amount);
        gSale.gPaid += M(amount);
    }
    // Apple 2 x 10.00, Book 1 x 20.00; GST 2.00; total 42.00 paid with 50.00 cash.
    void CashSale() {
        AddLine("APPLE", 2, "10");
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = M("40");
        gSale.gTax1 = M("2");
        gSale.gTotal = M("42");
        gSale.gChange = M("8");
        AddTender("1", "50");
    }
    // Save the sale through the register's own save, then print its receipt.
    std::string SaveAndPrint() {
        EXPECT_TRUE(Sale_Save());
        PrinterCapture cap;
        Receipt_Print();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        return cap.bytes;
    }

    TestDir dir;
};

const std::string kStoreHeader = L("MY STORE") + L("");

// The invoice lines of the sale saved first, on narrow (gap 4) or wide (gap 14) paper.
std::string InvoiceLines(bool wide, bool french) {
    const std::string gap = B(wide ? 14 : 4);
    return L(std::string(french ? "Facture:  " : "Invoice:  ") + "0000002" + gap +
                                     "Date:  09/Dec/2026") +
           L("Terminal: 1234567" + gap + (french ? "Heure: " : "Time:  ") + "10:30") +
           L(std::string(french ? "Commis:   " : "Cashier:  ") + "Ann");
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
             L(B(7) + "Comptant" + B(10) + B(9) + "50.00") + L(B(7) + "Monnaie" + B(11) + B(10) + "8.00") +
             Rule(40) + kClose},
        {"wide French", true, 2,
         kOpen + Heading(true, true) + Rule(54) + L("     Description              Quantite   Prix     Total") +
             Rule(54) + L("Apple" + B(25) + B(6) + "2" + B(3) + "10.00" + B(4) + "20.00") +
             L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") + Rule(54) +
             L(B(7) + "Sous Total:" + B(16) + "40.00") + L(B(7) + "GST:       " + B(17) + "2.00") + B(7) +
             T("Total: " + B(4) + "42.00") + L(B(7) + "Comptant" + B(10) + B(9) + "50.00") +
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
        {"narrow", false, L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + L("Cheese" + B(24)) +
                              L(B(9) + "1.500 Lb @" + B(4) + "$8.00/Lb" + B(3) + "$12.00") +
                              L("Book" + B(21) + " " + B(5) + B(3) + "$20.00")},
        {"wide", true, L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") +
                           L("Cheese" + B(17) + " " + " 1.500 Lb @" + B(3) + "$8.00/Lb" + B(2) + "$12.00") +
                           L("Book" + B(26) + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSale.gTaxRate = {0, 0, 0, 0};   // the stored amounts decide
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
        {"wide", true, Rule(54) + L("     Description              Quantity  ") + Rule(54) +
                           L("Apple" + B(25) + B(6) + "2") + L("Book" + B(26) + B(6) + "1") + Rule(54)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        CashSale();
        gSaleSave.gGiftReceipt = true;
        EXPECT_EQ(SaveAndPrint(), kOpen + kStoreHeader + T("   GIFT RECEIPT") + L("") + InvoiceLines(c.wide, false) + c.items + kClose);
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
        const char* backend;
        std::int16_t copy;
        bool fullNumber;
        std::string number, auth, signature;
    };
    const std::string signature = L("") + L("") + L("") + L("X" + std::string(39, '-')) +
                                  L(B(9) + "Customer's Signature") + L("") + L("");
    const std::vector<Case> cases = {
        {"exchange file, first copy", "1", 0, false, "XXXXXXXXXXXX1111", "12345", signature},
        {"exchange file, second copy", "1", 1, true, "XXXXXXXXXXXX1111", "12345", ""},
        {"full number on the first copy", "1", 0, true, "4111111111111111", "12345", signature},
        {"back-end 2", "2", 0, false, "XXXXXXXXXXXX1111", "001234", signature},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.PaymentTypes[4].Code = "4";
        gSettings.PaymentTypes[4].Name1 = "Visa";
        gSettings.gCardBackend = c.backend;
        gSettings.gFullCardNumberCopy = c.fullNumber;
        AddLine("BOOK", 1, "20");
        gSale.gSubtotal = M("20");
        gSale.gTotal = M("20");
        AddTender("4", "20");
        gSale.gPayReference[1] = "0012345A\"";
        gSale.gPayEntryKind[1] = 2;
        gSale.gPayCardNumber[1] = "4111111111111111";
        gSale.gPayCardExpiry[1] = "1227";
        gSaleSave.gReceiptCopy = c.copy;
        const std::string expected =
            kOpen + Heading(false, false) + Rule(40) + L("Book" + B(21) + " " + B(5) + B(3) + "$20.00") + Rule(40) +
            L(B(7) + "Sub Total: " + B(16) + "20.00") + B(7) + T("Total: " + B(4) + "20.00") +
            L(B(7) + "Visa" + B(14) + B(9) + "20.00") + L(B(7) + "0012345A\"") + Rule(40) + L("PURCHASE") +
            L("AMOUNT: 20.00") + L("MANUAL") + L(c.number + B(5) + "Expiry: 1227") + L("AUTHORIZATION: " + c.auth) +
            L("") + L(B(18) + "APPROVED") + c.signature + kClose;
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
        PrinterCapture cap;
        Receipt_Print();
        EXPECT_EQ(cap.bytes, "");
        EXPECT_FALSE(gSaleSave.gGiftReceipt);
    }
}

TEST_F(ReceiptTest, APrinterThatDoesNotOpenLeavesAFailedStatus) {
    CashSale();
    ASSERT_TRUE(Sale_Save());
    dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
    gSaleSave.gGiftReceipt = true;
    Receipt_Print();
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(gSaleSave.gGiftReceipt);
    EXPECT_FALSE(gData.invoices.IsOpen());
}

}  // namespace
}  // namespace tarvo
