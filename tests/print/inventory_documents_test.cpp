// The purchase and stock-adjustment printouts: documents written into the
// .PUR/.PUL and .ADJ/.ADD working files in their stored layouts, printed into
// the capture backend and compared byte for byte with printouts written out
// by hand (narrow and wide paper, English and French), the variants of the
// purchase-order block, the vendor's language, the product-code lines, the
// adjustment reasons, and the failures: printing off, record numbers outside
// the file, an output that does not open or refuses bytes, a header record
// that cannot be read, document files that cannot be opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/adjustment_records.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "print/devices.h"
#include "print/inventory_documents.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "sale/sale_save.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace print_golden;

constexpr const char* kTerminal = "1234567";
const std::string kStoreHeader = "MY STORE\r\n\r\n";

// Padded with blanks to `n`.
std::string P(const std::string& text, std::size_t n) { return text + B(n - text.size()); }

std::string Vendor(const std::string& code, const std::string& name, const std::string& a1, const std::string& a3,
                   const std::string& language, const std::string& tel, const std::string& fax) {
    return Fixed(220, {{1, code}, {9, name}, {49, a1}, {129, a3}, {179, language}, {181, tel}, {201, fax}});
}

// A purchase header in the .PUR layout; every field can be changed by a test.
struct PurchaseHead {
    std::string number = "0000002", flag = "1", date = "20260815", status = "2", type = "3 ", backOrder = "1",
                cashier = "00000007", delivery = "20260203", vendor = "V100", cancel = "20260430", subtotal = "45",
                discount = "4.5", tax1 = "2.03", tax2, tax3, total = "42.53", lines = "  2", orderRef = "PO-77",
                contact = "Jane Roe", reference = "TRK-9";
    std::string Record() const {
        return Fixed(298, {{1, number},      {9, "0"},
                           {11, flag},       {12, date},
                           {20, status},     {21, type},
                           {23, backOrder},  {24, cashier},
                           {32, delivery},   {40, vendor},
                           {48, cancel},     {56, subtotal},
                           {65, discount},   {74, tax1},
                           {83, tax2},       {92, tax3},
                           {101, total},     {110, lines},
                           {113, orderRef},  {133, contact},
                           {163, reference}, {183, "call before delivery"}});
    }
};

std::string PurchaseLine(const std::string& number, const std::string& line, const std::string& key,
                         const std::string& qty, const std::string& cost, const std::string& note) {
    return Fixed(88, {{1, number},
                      {8, line},
                      {11, "P"},
                      {19, key},
                      {39, qty},
                      {57, cost},
                      {66, note},
                      {86, note.empty() ? "0" : "1"}});
}

// An adjustment header in the .ADJ layout.
struct AdjustmentHead : AdjustmentHeadRecord {
    AdjustmentHead()
        : AdjustmentHeadRecord{"0000002",  "20261209", "1405",  "00000007",
                               "00000003", "7 ",       "-12.5", "Shelf 4 recount"} {}
};

std::string AdjustmentLine(const std::string& number, const std::string& line, const std::string& key,
                           const std::string& qty, const std::string& note) {
    return AdjustmentLineRecord(number, line, "P", key, qty, note);
}

bool HasLine(const std::string& bytes, const std::string& line) {
    const auto all = SplitLines(bytes);
    return std::find(all.begin(), all.end(), line) != all.end();
}

class InventoryDocumentsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        for (const char* ext : {".PUR", ".PUL", ".ADJ", ".ADD"})
            std::filesystem::remove(gConstants.paths.gDataPath + ext);
        gPrint = PrintState{};
        gSaleSave = SaleSaveState{};
        gTerminalNumber = kTerminal;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gData.ManagerTable.push_back(ManagerRow{"00000003", "33", "Bob", ""});
        gData.gManagerCount = 1;
        gSettings.gHeaderLine = {"MY STORE", "", "", "", ""};
        gSettings.gTaxName = {"GST", "PST", "HST"};
        UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;

        // Sorted by product number (key mode "0") and by bar code alike.
        const std::vector<std::string> products = {
            Fixed(273, {{1, "1001"}, {12, "APPLE"}, {40, "0001"}, {60, "Apple"}}),
            Fixed(273, {{1, "1002"}, {12, "BOOK"}, {40, "0002"}, {60, "Book of Thirty-One Characters!!"}}),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(products));
        Parse_FileProduct();
        const std::vector<std::string> vendors = {
            Vendor("V100", "Acme Supply", "12 Mill Road", "Springfield", " 1", "555-0100", "555-0101"),
            Vendor("V200", "Fournitures Boreal", "8 rue du Port", "Quebec", " 2", "555-0200", ""),
            Vendor("V300", "Third Language Ltd", "", "", " 3", "", ""),
            Vendor("V400", "Odd Language Co", "", "", "x", "", ""),
            Vendor("V500", "Zero Filled Ltee", "", "", "02", "", ""),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".VND", CrLf(vendors));
        Parse_Filevendor();
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    void Purchase(const PurchaseHead& h, const std::vector<std::string>& lines) {
        Open_Filepurchase();
        ASSERT_TRUE(Transaction_Append(gData.purchases, gData.gLastPurchaseRecord, 278, h.Record()));
        for (const auto& l : lines)
            ASSERT_TRUE(Transaction_Append(gData.purchaseLines, gData.gLastPurchaseLineRecord, 88, l));
        gData.purchases.Close();
        gData.purchaseLines.Close();
    }
    void Adjustment(const AdjustmentHead& h, const std::vector<std::string>& lines) {
        Open_Fileadjustment();
        ASSERT_TRUE(Transaction_Append(gData.adjustments, gData.gLastAdjustmentRecord, 78, h.Record()));
        for (const auto& l : lines)
            ASSERT_TRUE(Transaction_Append(gData.adjustmentLines, gData.gLastAdjustmentLineRecord, 58, l));
        gData.adjustments.Close();
        gData.adjustmentLines.Close();
    }
    // The usual purchase order: Apple 12 at 2.50, Book 3 without a cost and with a note.
    void OrderWithTwoLines(const PurchaseHead& h = PurchaseHead{}) {
        Purchase(h, {PurchaseLine(h.number, "001", "APPLE", "12", "2.5", ""),
                     PurchaseLine(h.number, "002", "BOOK", "3", "", "rush order")});
    }
    // The usual adjustment: Apple -2, an unknown product with a note, Book -3 with a note.
    void ShortageWithThreeLines(const AdjustmentHead& h = AdjustmentHead{}) {
        Adjustment(h, {AdjustmentLine(h.number, "001", "APPLE", "-2", ""),
                       AdjustmentLine(h.number, "002", "GHOST", "-1", "box crushed"),
                       AdjustmentLine(h.number, "003", "BOOK", "-3", "water damage")});
    }
    std::string PrintPurchase(std::int32_t rec = 2) {
        gSaleSave.gPrintRecordNo = rec;
        PrinterCapture cap;
        Purchase_Print();
        return cap.bytes;
    }
    std::string PrintAdjustment(std::int32_t rec = 2) {
        gSaleSave.gPrintRecordNo = rec;
        PrinterCapture cap;
        Adjustment_Print();
        return cap.bytes;
    }
    std::string Log() const { return dir.Read("Files/" + std::string(kTerminal) + ".LOG"); }
    bool FilesClosed() const {
        return !gData.purchases.IsOpen() && !gData.purchaseLines.IsOpen() && !gData.adjustments.IsOpen() &&
               !gData.adjustmentLines.IsOpen();
    }

    TestDir dir;
};

// ------------------------------------------------------------------ purchase

TEST_F(InventoryDocumentsTest, PurchaseOrderPrintsOnBothPaperWidthsInTheVendorsLanguage) {
    struct Case {
        const char* name;
        bool wide;
        const char* vendor;
        std::string expected;
    };
    // The English vendor's order: the vendor block, the contact and the rules
    // take their widths from the paper.
    const auto english = [](bool wide) {
        const std::size_t v = wide ? 40 : 30, v3 = wide ? 45 : 30, contact = wide ? 30 : 20, w = wide ? 54 : 40;
        return kOpen + kStoreHeader + T("PURCHASE ORDER") + L("") + L("Document Number:  1234567 0000002") +
               L("Date:     15/Aug/2026") + L("Cashier:  Ann") + L("Vendor:" + P("Acme Supply", v)) +
               L(B(7) + P("12 Mill Road", v)) + L(B(7) + P("Springfield", v3)) + L("Telephone: " + P("555-0100", 20)) +
               L("Fax:       " + P("555-0101", 20)) + L("Order Ref. No.: " + P("PO-77", 20)) +
               L("Name of Contact:  " + P("Jane Roe", contact)) + L("Reference Number: " + P("TRK-9", 20)) +
               L("Delivery Date:    03/Feb/2026") + L("Cancelation Date: 30/Apr/2026") + L("Allow Back Order: No") +
               L("Status: New") + L("Type:   Ship Complete") + Rule(w) + L("     Description        Quantity  Price") +
               L(P("Apple", 25) + P("12", 7) + "    2.50") + L("Book of Thirty-One Charac" + P("3", 7)) +
               L(P("rush order", 20)) + Rule(w) + L(B(7) + "Sub Total: " + B(16) + "45.00") +
               L(B(7) + "Discount:   (10.00 %)" + B(7) + "4.50") + L(B(7) + "GST:       " + B(17) + "2.03") +
               L(B(7) + "Total:     " + B(16) + "42.53") + kClose;
    };
    const std::string frenchWide =
        kOpen + kStoreHeader + T("COMMANDE D'ACHAT") + L("") + L("Numero Document: 1234567 0000002") +
        L("Date:     15/Auo/2026") + L("Commis:   Ann") + L("Fournisseur:" + P("Fournitures Boreal", 40)) +
        L(B(12) + P("8 rue du Port", 40)) + L(B(12) + P("Quebec", 45)) + L("Telephone: " + P("555-0200", 20)) +
        L("Numero de Commande: " + P("PO-77", 20)) + L("Nom de Contact:     " + P("Jane Roe", 30)) +
        L("Numero de Reference:" + P("TRK-9", 20)) + L("Date de Livraison:  03/Fev/2026") +
        L("Date d'Annulation:  30/Avr/2026") + L("Annulez Back Order: Non") + L("Statut de Commande: New") +
        L("Type de Commande:   Ship Complete") + Rule(54) + L("     Description        Quantite  Prix") +
        L(P("Apple", 25) + P("12", 7) + "    2.50") + L("Book of Thirty-One Charac" + P("3", 7)) +
        L(P("rush order", 20)) + Rule(54) + L(B(7) + "Sous Total:" + B(16) + "45.00") +
        L(B(7) + "Escompte:   (10.00 %)" + B(7) + "4.50") + L(B(7) + "GST:       " + B(17) + "2.03") +
        L(B(7) + "Total:     " + B(16) + "42.53") + kClose;
    const std::vector<Case> cases = {
        {"narrow, English vendor", false, "V100", english(false)},
        {"wide, English vendor", true, "V100", english(true)},
        {"wide, French vendor", true, "V200", frenchWide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gLanguage = 1;
        PurchaseHead h;
        h.vendor = c.vendor;
        OrderWithTwoLines(h);
        EXPECT_EQ(PrintPurchase(), c.expected);
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_EQ(gData.gDocumentKey, "0000002");
        EXPECT_TRUE(FilesClosed());
    }
}

TEST_F(InventoryDocumentsTest, NarrowFrenchPurchaseCutsTheVendorBlockToThirty) {
    gSettings.gWidePaper = 0;
    PurchaseHead h;
    h.vendor = "V200";
    h.flag = "2";
    OrderWithTwoLines(h);
    const std::string expected =
        kOpen + kStoreHeader + T("ACHAT") + L("") + L("Numero Document: 1234567 0000002") + L("Date:     15/Auo/2026") +
        L("Commis:   Ann") + L("Fournisseur:" + P("Fournitures Boreal", 30)) + L(B(12) + P("8 rue du Port", 30)) +
        L(B(12) + P("Quebec", 30)) + L("Telephone: " + P("555-0200", 20)) + Rule(40) +
        L("     Description        Quantite  Prix") + L(P("Apple", 25) + P("12", 7) + "    2.50") +
        L("Book of Thirty-One Charac" + P("3", 7)) + L(P("rush order", 20)) + Rule(40) +
        L(B(7) + "Sous Total:" + B(16) + "45.00") + L(B(7) + "Escompte:   (10.00 %)" + B(7) + "4.50") +
        L(B(7) + "GST:       " + B(17) + "2.03") + L(B(7) + "Total:     " + B(16) + "42.53") + kClose;
    EXPECT_EQ(PrintPurchase(), expected);
}

TEST_F(InventoryDocumentsTest, PlainPurchaseWithoutLinesPrintsTwoRulesAndTotalsOnlyWhenCostsAreAsked) {
    struct Case {
        const char* name;
        bool askCost;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {"costs asked", true,
         L(B(7) + "Sub Total: " + B(16) + "45.00") + L(B(7) + "Discount:   (10.00 %)" + B(7) + "4.50") +
             L(B(7) + "GST:       " + B(17) + "2.03") + L(B(7) + "Total:     " + B(16) + "42.53")},
        {"costs not asked", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gAskPurchaseCost = c.askCost;
        PurchaseHead h;
        h.flag = "2";
        h.vendor = "V300";
        Purchase(h, {});
        const std::string expected = kOpen + kStoreHeader + T("PURCHASE") + L("") +
                                     L("Document Number:  1234567 0000002") + L("Date:     15/Aug/2026") +
                                     L("Cashier:  Ann") + L("Vendor:" + P("Third Language Ltd", 30)) + Rule(40) +
                                     Rule(40) + c.tail + kClose;
        EXPECT_EQ(PrintPurchase(), expected);
    }
}

TEST_F(InventoryDocumentsTest, PurchaseOrderBlockFollowsTheStoredCodes) {
    struct Case {
        const char* name;
        void (*change)(PurchaseHead&);
        std::vector<std::string> present, absent;
    };
    const std::vector<Case> cases = {
        {"negative total on an order",
         [](PurchaseHead& h) { h.total = "-42.53"; },
         {"<REQUEST FOR CREDIT>", "Allow Back Order: No", "Status: New", "Type:   Ship Complete"},
         {"<PURCHASE ORDER>"}},
        {"negative total on a purchase",
         [](PurchaseHead& h) {
             h.total = "-1";
             h.flag = "2";
         },
         {"<REQUEST FOR CREDIT>", B(7) + "Total:     " + B(16) + "-1.00"},
         {"<PURCHASE>", "Allow Back Order: No", "Status: New", "Type:   Ship Complete"}},
        {"back orders allowed", [](PurchaseHead& h) { h.backOrder = "2"; }, {"Allow Back Order: Yes"}, {}},
        {"draft", [](PurchaseHead& h) { h.status = "1"; }, {"Status: Draft"}, {}},
        {"regular", [](PurchaseHead& h) { h.type = "1 "; }, {"Type:   Regular"}, {}},
        {"future", [](PurchaseHead& h) { h.type = "2 "; }, {"Type:   Future"}, {}},
        {"ship direct", [](PurchaseHead& h) { h.type = "4 "; }, {"Type:   Ship Direct"}, {}},
        {"request for quote", [](PurchaseHead& h) { h.type = "5 "; }, {"Type:   Request for Quote"}, {}},
        {"unknown type", [](PurchaseHead& h) { h.type = "9 "; }, {"Type:   Unknown"}, {}},
        {"blank fields",
         [](PurchaseHead& h) { h.orderRef = h.contact = h.reference = h.delivery = h.cancel = ""; },
         {"Allow Back Order: No", "Status: New"},
         {"Order Ref. No.: " + P("PO-77", 20), "Name of Contact:  " + P("Jane Roe", 20),
          "Reference Number: " + P("TRK-9", 20), "Delivery Date:    03/Feb/2026", "Cancelation Date: 30/Apr/2026"}},
        {"month out of range", [](PurchaseHead& h) { h.date = "20261315"; }, {"Date:     15/Jan/2026"}, {}},
        {"no discount, second tax only",
         [](PurchaseHead& h) {
             h.discount = "0";
             h.tax1 = "";
             h.tax2 = "1.25";
         },
         {B(7) + "PST:       " + B(17) + "1.25"},
         {B(7) + "GST:       " + B(17) + "2.03"}},
        {"discount on a zero subtotal",
         [](PurchaseHead& h) { h.subtotal = "0"; },
         {B(7) + "Discount:   (" + B(8) + " %)" + B(4) + "4.50"},
         {}},
        {"discount wider than its field",
         [](PurchaseHead& h) {
             h.subtotal = "0.01";
             h.discount = "999999.99";
         },
         {B(7) + "Discount:   (9999999900.00 %)999,999.99"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        PurchaseHead h;
        c.change(h);
        OrderWithTwoLines(h);
        const std::string out = PrintPurchase();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_TRUE(out.ends_with(kClose)) << out;
        for (const auto& line : c.present) EXPECT_TRUE(HasLine(out, line)) << line << "\n" << out;
        for (const auto& line : c.absent) EXPECT_FALSE(HasLine(out, line)) << line << "\n" << out;
    }
}

TEST_F(InventoryDocumentsTest, PurchaseLanguageIsFrenchOnlyForVendorLanguageTwo) {
    struct Case {
        const char* vendor;
        int terminalLanguage;
        bool french;
        bool vendorBlock;
    };
    const std::vector<Case> cases = {
        {"V100", 2, false, true},                             // the vendor's language wins over the terminal's
        {"V200", 1, true, true},   {"V300", 2, false, true},  // 3 prints in English
        {"V400", 2, false, true},                             // anything else too
        {"V500", 1, true, true},                              // the language read as a number
        {"V999", 2, true, false},                             // unknown vendor: the terminal's language
        {"V999", 1, false, false}, {"V999", 3, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.vendor) + " terminal language " + std::to_string(c.terminalLanguage));
        TearDown();
        SetUp();
        gSettings.gLanguage = static_cast<std::int16_t>(c.terminalLanguage);
        PurchaseHead h;
        h.vendor = c.vendor;
        OrderWithTwoLines(h);
        const std::string out = PrintPurchase();
        EXPECT_TRUE(HasLine(out, c.french ? "<COMMANDE D'ACHAT>" : "<PURCHASE ORDER>")) << out;
        EXPECT_TRUE(HasLine(out, c.french ? "Date:     15/Auo/2026" : "Date:     15/Aug/2026")) << out;
        EXPECT_TRUE(HasLine(out, c.french ? "Annulez Back Order: Non" : "Allow Back Order: No")) << out;
        const bool anyVendor = out.find("Vendor:") != std::string::npos ||
                               out.find("Fournisseur:") != std::string::npos;
        EXPECT_EQ(anyVendor, c.vendorBlock) << out;
    }
}

TEST_F(InventoryDocumentsTest, PurchaseLinesPrintTheProductCodeAndSkipUnknownProducts) {
    struct Case {
        const char* name;
        const char* option811;
        ProductKey keyMode;
        const char* appleKey;
        std::string codeLine;
    };
    const std::vector<Case> cases = {
        {"no code line", "0", ProductKey::Number, "APPLE", ""},
        {"product number", "1", ProductKey::Number, "APPLE", L(P("APPLE", 20))},
        {"bar code", "1", ProductKey::BarCode, "0001", L(P("0001", 20))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gPrintOption811 = std::string(c.option811) == "1";
        gSettings.gProductKeyMode = c.keyMode;
        Parse_FileProduct();
        gSettings.gAskPurchaseCost = false;
        PurchaseHead h;
        h.flag = "2";
        h.vendor = "V999";
        Purchase(h, {PurchaseLine("0000002", "001", c.appleKey, "12", "2.5", ""),
                     PurchaseLine("0000002", "002", "GHOST", "1", "7", "never printed"),
                     PurchaseLine("0000002", "003", c.appleKey, "1", "0", "")});
        const std::string expected = kOpen + kStoreHeader + T("PURCHASE") + L("") +
                                     L("Document Number:  1234567 0000002") + L("Date:     15/Aug/2026") +
                                     L("Cashier:  Ann") + Rule(40) + L("     Description        Quantity  Price") +
                                     L(P("Apple", 25) + P("12", 7) + "    2.50") + c.codeLine + L("Product Not Found") +
                                     L(P("Apple", 25) + P("1", 7)) + c.codeLine + Rule(40) + kClose;
        EXPECT_EQ(PrintPurchase(), expected);
    }
}

TEST_F(InventoryDocumentsTest, EachPurchasePrintsOnlyItsOwnLines) {
    gSettings.gAskPurchaseCost = false;
    PurchaseHead first;
    first.flag = "2";
    first.vendor = "V999";
    Purchase(first, {PurchaseLine("0000002", "001", "APPLE", "1", "", "")});
    PurchaseHead second = first;
    second.number = "0000003";
    Purchase(second, {PurchaseLine("0000003", "001", "BOOK", "2", "", ""),
                      PurchaseLine("0000003", "002", "APPLE", "3", "", "")});
    const std::string out2 = PrintPurchase(2);
    EXPECT_TRUE(HasLine(out2, P("Apple", 25) + P("1", 7))) << out2;
    EXPECT_EQ(out2.find("Book"), std::string::npos) << out2;
    const std::string out3 = PrintPurchase(3);
    EXPECT_TRUE(HasLine(out3, "Document Number:  1234567 0000003")) << out3;
    EXPECT_TRUE(HasLine(out3, "Book of Thirty-One Charac" + P("2", 7))) << out3;
    EXPECT_TRUE(HasLine(out3, P("Apple", 25) + P("3", 7))) << out3;
    EXPECT_FALSE(HasLine(out3, P("Apple", 25) + P("1", 7))) << out3;
    EXPECT_EQ(gData.gDocumentKey, "0000003");
}

// ---------------------------------------------------------------- adjustment

TEST_F(InventoryDocumentsTest, AdjustmentPrintsOnBothPaperWidthsAndBothLanguages) {
    struct Case {
        const char* name;
        bool wide;
        int language;
    };
    const std::vector<Case> cases = {
        {"narrow English", false, 1},
        {"wide English", true, 1},
        {"narrow French", false, 2},
        {"wide French", true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        ShortageWithThreeLines();
        const bool fr = c.language == 2;
        const std::size_t w = c.wide ? 54 : 40;
        const std::string expected =
            kOpen + kStoreHeader + T(fr ? "AJUSTEMENT DU STOCK" : "INVENTORY ADJUSTMENT") +
            L(std::string(fr ? "Numero Document: " : "Document Number:  ") + "1234567 0000002") +
            L("Date:     09/Dec/2026") + L(std::string(fr ? "Heure: " : "Time:  ") + "   14:05") +
            L(std::string(fr ? "Commis:   " : "Cashier:  ") + "Ann") + L("Manager:  Bob") +
            L(std::string(fr ? "Raison:   " : "Reason:   ") + "Shortage") + L(P("Shelf 4 recount", 40)) + L("") +
            L(fr ? "     Description          Quantite" : "     Description          Quantity") + Rule(w) +
            L(P("Apple", 30) + P("-2", 8)) + L("Product Not Found") + L(P("box crushed", 30)) +
            L("Book of Thirty-One Characters!" + P("-3", 8)) + L(P("water damage", 30)) + Rule(w) +
            L(B(15) + "Total: $" + B(6) + "-12.50") + kClose;
        EXPECT_EQ(PrintAdjustment(), expected);
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_EQ(gData.gDocumentKey, "0000002");
        EXPECT_TRUE(FilesClosed());
    }
}

TEST_F(InventoryDocumentsTest, AdjustmentReasonAndManagerLines) {
    struct Case {
        const char* reason;
        const char* manager;
        std::string reasonLine;
        bool managerLine;
    };
    const std::vector<Case> cases = {
        {"1 ", "00000003", "Reason:   Breakage", true},
        {"2 ", "00000003", "Reason:   Damaged", true},
        {"3 ", "", "Reason:   Expired", false},
        {"4 ", "", "Reason:   Physical Count", false},
        {"5 ", "", "Reason:   Samples to Clients", false},
        {"6 ", "", "Reason:   Samples to Salesmen", false},
        {"8 ", "", "Reason:   Theft", false},
        {"9 ", "00000099", "Reason:   Other", false},  // a manager no longer in the table
        {"12", "", "Reason:   Unknown", false},
        {"  ", "", "Reason:   Unknown", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TearDown();
        SetUp();
        AdjustmentHead h;
        h.reason = c.reason;
        h.manager = c.manager;
        h.amount = "-999999.9";
        h.reference = "";
        Adjustment(h, {AdjustmentLine("0000002", "001", "APPLE", "4", "")});
        const std::string out = PrintAdjustment();
        EXPECT_TRUE(HasLine(out, c.reasonLine)) << out;
        EXPECT_EQ(HasLine(out, "Manager:  Bob"), c.managerLine) << out;
        EXPECT_NE(out.find(L(B(15) + "Total: $ -999,999.90") + kClose), std::string::npos) << out;
        // A blank reference still prints its line.
        EXPECT_NE(out.find(L(c.reasonLine) + L(B(40)) + L("")), std::string::npos) << out;
    }
}

// ------------------------------------------------------------------ failures

struct Printout {
    const char* name;
    void (*print)();
    const char* failLog;
};
const std::vector<Printout> kPrintouts = {
    {"purchase", Purchase_Print, "Print_Recipt: HandlerReceipt, Error detected during printout of receipt"},
    {"adjustment", Adjustment_Print, "Adjustment_Print: HandlerReceipt, Error detected during printout of receipt"},
};

TEST_F(InventoryDocumentsTest, PrintingSwitchedOffOpensNoFileAndSucceeds) {
    gSettings.gPrinterType = PrinterType::Off;
    for (const Printout& p : kPrintouts) {
        SCOPED_TRACE(p.name);
        gPrint.gPrintStatus = 3;
        gSaleSave.gPrintRecordNo = 2;
        p.print();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        // The openers would have created the missing files.
        for (const char* ext : {".PUR", ".PUL", ".ADJ", ".ADD"})
            EXPECT_FALSE(std::filesystem::exists(gConstants.paths.gDataPath + ext)) << ext;
    }
}

TEST_F(InventoryDocumentsTest, ARecordOutsideTheFilePrintsNothingAndClosesTheFiles) {
    OrderWithTwoLines();
    ShortageWithThreeLines();
    for (const Printout& p : kPrintouts) {
        for (const std::int32_t rec : {-1, 0, 1, 3}) {
            SCOPED_TRACE(std::string(p.name) + " record " + std::to_string(rec));
            gSaleSave.gPrintRecordNo = rec;
            gPrint.gPrintStatus = 0;
            PrinterCapture cap;
            p.print();
            EXPECT_EQ(cap.bytes, "");
            EXPECT_EQ(gPrint.gPrintStatus, 2);  // nothing printed is not reported as printed
            EXPECT_TRUE(FilesClosed());
        }
    }
}

TEST_F(InventoryDocumentsTest, AnOutputThatDoesNotOpenOrTakeBytesIsNeverSuccess) {
    struct Device {
        const char* name;
        PrinterType type;
        std::string map;
    };
    const std::vector<Device> devices = {
        {"missing serial device", PrinterType::Com1, "COM1=" + (dir / "no-such-tty") + "\n"},
        {"parallel device that refuses bytes", PrinterType::Lpt1, "LPT1=/dev/full\n"},
    };
    OrderWithTwoLines();
    ShortageWithThreeLines();
    for (const Device& d : devices) {
        for (const Printout& p : kPrintouts) {
            SCOPED_TRACE(std::string(d.name) + ", " + p.name);
            dir.Write(kDeviceMapFile, d.map);
            gSettings.gPrinterType = d.type;
            gPrint.gPrintStatus = 0;
            gSaleSave.gPrintRecordNo = 2;
            p.print();
            EXPECT_NE(gPrint.gPrintStatus, 0);
            EXPECT_TRUE(FilesClosed());
            EXPECT_EQ(Log().find(p.failLog), std::string::npos);  // the open failed; no printout was started
        }
    }
}

TEST_F(InventoryDocumentsTest, AHeaderCountingADocumentNeverWrittenEndsThePrintoutWithAFailure) {
    // The header counts a third document that never reached the file: the
    // opener cuts the count back to the file, and the third is not there.
    OrderWithTwoLines();
    ShortageWithThreeLines();
    for (WorkFile* f : {&gData.purchases, &gData.adjustments}) {
        const bool purchases = f == &gData.purchases;
        ASSERT_TRUE(f->Open(gConstants.paths.gDataPath + (purchases ? ".PUR" : ".ADJ"), purchases ? 300 : 90));
        ASSERT_TRUE(f->Write(1, "       3" + B(40)));
        f->Close();
    }
    const struct {
        const char* name;
        void (*print)();
        const char* log;
    } cases[] = {
        {"purchase", Purchase_Print, "Purchase_Print: record 3 is not in the document file, nothing printed"},
        {"adjustment", Adjustment_Print, "Adjustment_Print: record 3 is not in the document file, nothing printed"},
    };
    for (const auto& p : cases) {
        SCOPED_TRACE(p.name);
        gPrint.gPrintStatus = 0;
        gSaleSave.gPrintRecordNo = 3;
        PrinterCapture cap;
        p.print();
        EXPECT_EQ(cap.bytes, "");  // nothing printed
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_TRUE(FilesClosed());
        EXPECT_NE(Log().find(p.log), std::string::npos) << Log();
    }
}

TEST_F(InventoryDocumentsTest, DocumentFilesThatCannotBeOpenedAreNeverSuccess) {
    for (const Printout& p : kPrintouts) {
        SCOPED_TRACE(p.name);
        gData.stamps.WaitAll();  // a working file's stamp may still be on its way to Data/
        std::filesystem::remove_all(dir / "Data");
        dir.Write("Data", "a file where the folder should be");
        gPrint.gPrintStatus = 0;
        gSaleSave.gPrintRecordNo = 2;
        PrinterCapture cap;
        p.print();
        EXPECT_EQ(cap.bytes, "");
        EXPECT_NE(gPrint.gPrintStatus, 0);
        EXPECT_TRUE(FilesClosed());
        EXPECT_NE(Log().find("the document files could not be opened"), std::string::npos) << Log();
    }
}

}  // namespace
}  // namespace tarvo
