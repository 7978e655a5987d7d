// Purchases and purchase orders: the .PUR header and .PUL lines read back
// byte for byte (the price columns by the three question settings, with the
// answers typed on the real prompt line; status, type and back-order codes;
// purchase or purchase order), the header records and the numbering of
// purchases that follow each other; values that do not fit and a failure at
// every write leave the files and the sale as they were; the entry from the
// Mode page's keys through the vendor list, the header page and the demo
// store's vendor shown on the information panel, the questions and the
// cancel; the Total key with the program's services saves and prints it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/fields.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "inventory/document_fixture.h"
#include "inventory/inventory_service.h"
#include "inventory/purchases.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/program_services.h"
#include "register/prompt_line.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/modes.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "sale/sale_service.h"
#include "screen/controls.h"

namespace tarvo {
namespace {

using namespace document_fixture;
using sale_builder::AddLine;

const std::vector<std::string> kPurchaseFiles = {".PUR", ".PUL"};

struct PurchaseHead {
    std::string number = "0000002", flag = "2", date = "20261209", status = "2", type = "1 ", backOrders = "2",
                cashier = "00000007", delivery, vendor = "V100", cancel, subtotal = "9", discount = "0", tax1 = "0",
                tax2 = "0", tax3 = "0", total = "9", lines = "2", orderRef, contact, tracking, comment;
    std::string Record() const {
        return Fixed(298,
                     {{1, number},      {9, "0"},       {11, flag},      {12, date},    {20, status}, {21, type},
                      {23, backOrders}, {24, cashier},  {32, delivery},  {40, vendor},  {48, cancel}, {56, subtotal},
                      {65, discount},   {74, tax1},     {83, tax2},      {92, tax3},    {101, total}, {110, lines},
                      {113, orderRef},  {133, contact}, {163, tracking}, {183, comment}});
    }
};

std::string PurchaseLine(const std::string& number, const std::string& line, const std::string& product,
                         const std::string& key, const std::string& qty, const std::string& retail,
                         const std::string& cost, const std::string& note = "") {
    return Fixed(88, {{1, number},
                      {8, line},
                      {11, product},
                      {19, key},
                      {39, qty},
                      {48, retail},
                      {57, cost},
                      {66, note},
                      {86, note.empty() ? "0" : "1"}});
}

// The demo store's vendors, loaded as the register loads them.
void DemoVendors(const TestDir& dir) {
    std::filesystem::copy_file(std::string(TARVO_SOURCE_DIR) + "/demo/Files/1234567.VND", dir / "Files/1234567.VND",
                               std::filesystem::copy_options::overwrite_existing);
    Parse_Filevendor();
}

class PurchaseTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        for (const std::string& e : kPurchaseFiles) std::filesystem::remove(FilePath(e));
        gSettings.gHomeMode = RegisterMode::Sales;
        gSettings.gAskPurchaseCost = true;
        gSettings.gAskPurchasePrice = false;
        gSettings.gAskPurchaseComment = false;
    }
    // A purchase from V100: 2 x 012345 at a cost of 4.50 (retail 9.99), and
    // a line without prices with a note.
    static void TwoLinePurchase() {
        gSale.gMode = RegisterMode::Purchase;
        gSale.gPurchaseIsOrder = false;
        gSale.gPurchaseVendor = "V100";
        AddLine("1001", "012345", 2, "9.99", "4.5");
        AddLine("1002", "ABC", 1, "0", "0", "rush order", true);
        gSale.gSubtotal = M("9");
        gSale.gTotal = M("9");
    }
};

// ---- the records ------------------------------------------------------------------

TEST_F(PurchaseTest, HeadersAreStoredColumnForColumn) {
    struct Case {
        const char* what;
        std::function<void(PurchaseHead&)> build;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"a purchase: no type, no status, back orders allowed", [](PurchaseHead&) {}, "PURCHASE 0000002"},
        {"a purchase order with every header field",
         [](PurchaseHead& h) {
             gSale.gPurchaseIsOrder = true;
             gSale.gDocPriority = "1";
             gSale.gDocType = "4";
             gSale.gDocCancelBackOrders = "1";
             gSale.gDocDeliveryDate = "20261224";
             gSale.gDocCancelDate = "20270115";
             gSale.gDocVendorOrderNo = "PO-77";
             gSale.gDocSupplyMethod = "Jane Roe";
             gSale.gDocDeliveryMethod = "TRK-9";
             gSale.gDocComment = "call before delivery";
             gSale.gSaleDiscount = M(".9");
             gSale.gTax1 = M(".45");
             gSale.gTotal = M("8.55");
             h.flag = "1";
             h.status = "1";
             h.type = "4 ";
             h.backOrders = "1";
             h.delivery = "20261224";
             h.cancel = "20270115";
             h.orderRef = "PO-77";
             h.contact = "Jane Roe";
             h.tracking = "TRK-9";
             h.comment = "call before delivery";
             h.discount = "-.9";
             h.tax1 = ".45";
             h.total = "8.55";
         },
         "PURCHASE ORDER 0000002"},
        {"a new future order",
         [](PurchaseHead& h) {
             gSale.gPurchaseIsOrder = true;
             gSale.gDocPriority = "2";
             gSale.gDocType = "2";
             h.flag = "1";
             h.type = "2 ";
         },
         "PURCHASE ORDER 0000002"},
        {"a request for quote",
         [](PurchaseHead& h) {
             gSale.gDocType = "5";
             h.type = "5 ";
         },
         "PURCHASE 0000002"},
        {"an unknown type", [](PurchaseHead&) { gSale.gDocType = "9"; }, "PURCHASE 0000002"},
        {"a business date longer than 8", [](PurchaseHead&) { gReg.gBusinessDate = "202612091"; }, "PURCHASE 0000002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        TwoLinePurchase();
        PurchaseHead head;
        c.build(head);
        ASSERT_TRUE(Purchase_Save()) << MessageLine();

        const auto pur = Records(".PUR", 300);
        ASSERT_EQ(pur.size(), 2u);
        EXPECT_EQ(pur[0], "2" + Blanks(270));
        EXPECT_EQ(pur[1], head.Record());
        EXPECT_EQ(pur[1].size(), 298u);
        const auto pul = Records(".PUL", 90);
        ASSERT_EQ(pul.size(), 3u);
        EXPECT_EQ(pul[0], "3" + Blanks(80));
        EXPECT_EQ(pul[1], PurchaseLine("0000002", "001", "1001", "012345", "2", "", "4.5"));
        EXPECT_EQ(pul[2], PurchaseLine("0000002", "002", "1002", "ABC", "1", "", "", "rush order"));
        EXPECT_EQ(pul[1].size(), 88u);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gPurchase.gDocumentNumber, "0000002");
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 2);
        EXPECT_EQ(gData.gLastPurchaseRecord, 2);
        EXPECT_EQ(gData.gLastPurchaseLineRecord, 3);
        EXPECT_EQ(gReg.gBusinessDate, "20261209");
        EXPECT_FALSE(gData.purchases.IsOpen() || gData.purchaseLines.IsOpen());
    }
}

TEST_F(PurchaseTest, ThePriceColumnsFollowTheQuestionsAsked) {
    struct Case {
        const char* what;
        bool cost, price;
        const char* list;
        const char* unit;
        const char* retailColumn;
        const char* costColumn;
    };
    const Case cases[] = {
        {"cost asked, price not", true, false, "0", "4.5", "", "4.5"},
        {"price asked, cost not: the retail price is the unit price", false, true, "0", "9.99", "9.99", ""},
        {"both asked", true, true, "9.99", "4.5", "9.99", "4.5"},
        {"neither asked", false, false, "9.99", "4.5", "", ""},
        {"both asked, a cost of 0", true, true, "9.99", "0", "9.99", ""},
        {"both asked, a negative cost", true, true, "0", "-1.25", "", "-1.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        gSettings.gAskPurchaseCost = c.cost;
        gSettings.gAskPurchasePrice = c.price;
        TwoLinePurchase();
        gSale.gLines[1].listPrice = M(c.list);
        gSale.gLines[1].unitPrice = M(c.unit);
        ASSERT_TRUE(Purchase_Save()) << MessageLine();
        const auto pul = Records(".PUL", 90);
        ASSERT_EQ(pul.size(), 3u);
        EXPECT_EQ(pul[1], PurchaseLine("0000002", "001", "1001", "012345", "2", c.retailColumn, c.costColumn));
        EXPECT_EQ(pul[2], PurchaseLine("0000002", "002", "1002", "ABC", "1", "", "", "rush order"));
    }
}

// The questions answered on the real prompt line put their answers where the
// save takes them from.
class PurchaseQuestionsTest : public PurchaseTest {
protected:
    void SetUp() override {
        PurchaseTest::SetUp();
        Reg().services.inventory = &inventory;
        Reg().services.prompt = &prompt;
    }
    // The first question switched on, as the product entry asks it.
    static void AskFirst() {
        if (gSettings.gAskPurchaseCost)
            Purchase_PromptCost();
        else if (gSettings.gAskPurchasePrice)
            Purchase_PromptPrice();
        else if (gSettings.gAskPurchaseComment)
            Purchase_PromptComment();
        else
            Purchase_AddProduct();
    }
    void Answer(const std::string& text) {
        screen.SetText(kEntryBox, text);
        PromptInCIA_Enter();
    }
    InventoryDocuments inventory;
    PromptLine prompt;
    SaleEngineImpl engine;
};

TEST_F(PurchaseQuestionsTest, AnswersLandInTheColumnsTheQuestionsName) {
    struct Case {
        const char* what;
        bool cost, price, comment;
        std::vector<std::string> answers;
        std::vector<int> questions;  // the prompt-line states met, in order
        std::string line;            // the .PUL record of the product
        const char* total;           // shown once all is asked: 2 x the unit price
    };
    const Case cases[] = {
        {"cost only",
         true,
         false,
         false,
         {"4.5"},
         {10},
         PurchaseLine("0000002", "001", "1001", "K", "2", "", "4.5"),
         "$9.00"},
        {"price only",
         false,
         true,
         false,
         {"9.99"},
         {11},
         PurchaseLine("0000002", "001", "1001", "K", "2", "9.99", ""),
         "$19.98"},
        {"cost, price and comment",
         true,
         true,
         true,
         {"4.5", "9.99", "top shelf"},
         {10, 11, 12},
         PurchaseLine("0000002", "001", "1001", "K", "2", "9.99", "4.5", "top shelf"),
         "$9.00"},
        {"a cost of 0 and no price",
         true,
         true,
         false,
         {"0", ""},
         {10, 11},
         PurchaseLine("0000002", "001", "1001", "K", "2", "", ""),
         "$0.00"},
        {"no question",
         false,
         false,
         false,
         {},
         {},
         PurchaseLine("0000002", "001", "1001", "K", "2", "", ""),
         "$24.98"},
    };
    const ControlId totalCell{Control::Rt_Total, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        gSettings.gAskPurchaseCost = c.cost;
        gSettings.gAskPurchasePrice = c.price;
        gSettings.gAskPurchaseComment = c.comment;
        gSale.gMode = RegisterMode::Purchase;
        gSale.gPurchaseVendor = "V100";
        // The product as the product entry adds it, at its selling price.
        AddLine("1001", "K", 2, "12.49", "12.49");
        svc.calls.clear();
        screen.SetText(totalCell, "");
        AskFirst();
        std::vector<int> met;
        for (const std::string& a : c.answers) {
            EXPECT_EQ(screen.Text(totalCell), "");  // nothing totalled while a question is open
            met.push_back(gReg.gPromptLine);
            Answer(a);
        }
        EXPECT_EQ(met, c.questions);
        EXPECT_EQ(screen.Text(totalCell), c.total);  // the line added once all is asked
        gSale.gSubtotal = M("9");
        gSale.gTotal = M("9");
        ASSERT_TRUE(Purchase_Save()) << MessageLine();
        const auto pul = Records(".PUL", 90);
        ASSERT_EQ(pul.size(), 2u);
        EXPECT_EQ(pul[1], c.line);
    }
}

// The product rung up as the product entry adds it (at its selling price,
// 2 x 12.49), its questions answered: the receipt shows the line's amount
// from what was answered at once, as the total does.
TEST_F(PurchaseQuestionsTest, TheReceiptShowsTheLinesAmountFromItsCostAtOnce) {
    struct Case {
        const char* what;
        bool cost, price;
        std::vector<std::string> answers;
        const char* amount;
    };
    const Case cases[] = {
        {"cost asked", true, false, {"4.5"}, "$9.00"},
        {"cost and price asked", true, true, {"4.5", "9.99"}, "$9.00"},
        {"price asked alone", false, true, {"9.99"}, "$19.98"},
    };
    const ControlId amountCell{Control::Rt_Extension, 1}, totalCell{Control::Rt_Total, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Reg().services.sale = &engine;
        dir.Write("Files/1234567.PRD",
                  CrLf({Fixed(273, {{1, "1001"}, {12, "012345"}, {40, "012345"}, {60, "Apple"}, {100, "12.49"}})}));
        Parse_FileProduct();
        gSettings.gAskPurchaseCost = c.cost;
        gSettings.gAskPurchasePrice = c.price;
        gData.gClientRecNo = 1;
        gSale.gMode = RegisterMode::Purchase;
        gSale.gPurchaseVendor = "V100";
        gSale.gQuantity = 2;
        gData.gProductRecNo = 1;
        gSale.gLineKind = "P";
        SaleEngine().Product_Add();
        ASSERT_EQ(gSale.gItemCount, 1);
        for (const std::string& a : c.answers) Answer(a);
        EXPECT_FALSE(gReg.gPromptLineActive);
        EXPECT_EQ(screen.Text(amountCell), c.amount);
        EXPECT_EQ(screen.Text(totalCell), c.amount);
    }
}

TEST_F(PurchaseQuestionsTest, NoCostDropsTheProductJustAdded) {
    gSale.gMode = RegisterMode::Purchase;
    AddLine("1001", "K", 2, "12.49", "12.49");
    AddLine("1002", "L", 1, "3", "3");
    AskFirst();
    ASSERT_EQ(gReg.gPromptLine, 10);
    Answer("");
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].key, "K");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Total, 0}), "$24.98");  // 2 x 12.49, the line left
    // The last line dropped leaves an empty purchase.
    AskFirst();
    Answer("");
    EXPECT_EQ(gSale.gItemCount, 0);
}

TEST_F(PurchaseTest, TheNextPurchaseTakesTheNextNumbers) {
    TwoLinePurchase();
    ASSERT_TRUE(Purchase_Save());
    gSale = SaleState{};
    TwoLinePurchase();
    gSale.gPurchaseIsOrder = true;
    gSale.gItemCount = 1;
    gSale.gMode = RegisterMode::PurchaseOrder;  // a purchase order saves the same way
    ASSERT_TRUE(Purchase_Save());
    const auto pur = Records(".PUR", 300);
    ASSERT_EQ(pur.size(), 3u);
    EXPECT_EQ(pur[0], "3" + Blanks(270));
    EXPECT_EQ(pur[2].substr(0, 11), "0000003 0 1");
    const auto pul = Records(".PUL", 90);
    ASSERT_EQ(pul.size(), 4u);
    EXPECT_EQ(pul[0], "4" + Blanks(80));
    EXPECT_EQ(pul[3], PurchaseLine("0000003", "001", "1001", "012345", "2", "", "4.5"));
    EXPECT_EQ(MessageLine(), "PURCHASE ORDER 0000003");
    EXPECT_EQ(gPurchase.gDocumentNumber, "0000003");
}

// ---- refusals and failures -------------------------------------------------------------

class PurchaseRefusalTest : public PurchaseTest {
protected:
    void SetUp() override {
        PurchaseTest::SetUp();
        TwoLinePurchase();
        ASSERT_TRUE(Purchase_Save());
        Next();
    }
    static void Next() {
        gSale = SaleState{};
        gSaleSave = SaleSaveState{};
        gPurchase = PurchaseState{};
        TwoLinePurchase();
    }
};

// A purchase holds 400 lines at most: the header never names lines that are
// not written.
TEST_F(PurchaseRefusalTest, APurchaseOfMoreThan400LinesSavesNothing) {
    struct Case {
        int lines;
        const char* message;  // "" saved
    };
    const Case cases[] = {{400, ""}, {401, "Purchase Not Saved: 401 Lines, 400 at Most"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        Next();
        gSale.gItemCount = 0;
        for (int i = 1; i <= 400; ++i) AddLine("1001", "012345", 1, "9.99", "4.5");
        gSale.gItemCount = c.lines;  // the count the writer is given; the sale holds 400
        const Snapshot files = Files(kPurchaseFiles);
        const bool saved = Purchase_Save();
        EXPECT_EQ(saved, c.message[0] == '\0');
        if (saved) {
            const auto pur = Records(".PUR", 300);
            ASSERT_EQ(pur.size(), 3u);
            EXPECT_EQ(pur[2].substr(109, 3), "400");
            EXPECT_EQ(Records(".PUL", 90).size(), 403u);  // the header, two lines before, 400 now
            PutBack(files);
        } else {
            EXPECT_EQ(Files(kPurchaseFiles), files);
            EXPECT_EQ(MessageLine(), c.message);
            EXPECT_NE(dir.Read("Files/1234567.LOG").find("Purchase_Save: 401 Lines, 400 at Most; Purchase not saved"),
                      std::string::npos);
            EXPECT_EQ(gPurchase.gDocumentNumber, "");
        }
    }
}

TEST_F(PurchaseRefusalTest, AValueWiderThanItsColumnsSavesNothing) {
    struct Case {
        const char* what;
        void (*spoil)();
        const char* message;
    };
    const Case cases[] = {
        {"quantity", [] { gSale.gLines[2].quantity = 1234567890; }, "Purchase Not Saved: Quantity of Line 2 Too Large"},
        {"cost", [] { gSale.gLines[1].unitPrice = M("-123456.78"); }, "Purchase Not Saved: Cost of Line 1 Too Large"},
        {"retail price",
         [] {
             gSettings.gAskPurchasePrice = true;
             gSale.gLines[1].listPrice = M("12345678.5");
         },
         "Purchase Not Saved: Retail Price of Line 1 Too Large"},
        {"total", [] { gSale.gTotal = M("1234567.89"); }, "Purchase Not Saved: Total Too Large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Next();
        c.spoil();
        const Snapshot files = Files(kPurchaseFiles);
        EXPECT_FALSE(Purchase_Save());
        EXPECT_EQ(Files(kPurchaseFiles), files);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gPurchase.gDocumentNumber, "");
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
        EXPECT_EQ(gData.gLastPurchaseRecord, 2);
        gSettings.gAskPurchasePrice = false;
    }
    // A value not asked is not written, so it cannot be too wide.
    Next();
    gSale.gLines[1].listPrice = M("12345678.5");
    EXPECT_TRUE(Purchase_Save()) << MessageLine();
}

TEST_F(PurchaseRefusalTest, AFailureAtAnyWritePutsEveryFileBack) {
    ExpectEveryFailedWritePutsTheFilesBack(
        kPurchaseFiles, 8, [] { return Purchase_Save(); }, [this] { Next(); },
        "Purchase Not Saved: Error Writing the Purchase Files",
        [] {
            EXPECT_EQ(gPurchase.gDocumentNumber, "");
            EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
            EXPECT_EQ(gData.gLastPurchaseRecord, 2);
            EXPECT_EQ(gData.gLastPurchaseLineRecord, 3);
            EXPECT_EQ(gSale.gItemCount, 2);
        },
        [] {});
}

TEST_F(PurchaseRefusalTest, APurchaseKilledBeforeAnyWriteIsWhollyThereOrNotAndTheNextFollowsOn) {
    ExpectKilledSavesWhollyThereOrNot(
        kPurchaseFiles, Open_Filepurchase,
        {{&DataState::purchases, &DataState::gLastPurchaseRecord},
         {&DataState::purchaseLines, &DataState::gLastPurchaseLineRecord}},
        [] { return Purchase_Save(); }, [this] { Next(); }, {1, 2});
}

// ---- the entry ---------------------------------------------------------------------------

TEST_F(PurchaseTest, StartOpensTheVendorListAndForgetsTheVendor) {
    gSale.gPurchaseVendor = "V300";
    screen.SetText(kEntryBox, "77");
    Purchase_Start();
    EXPECT_EQ(svc.searchForms,
              (std::vector<SearchFormSetup>{SearchFormSetup{7, 22, {32, 13, 15, 5, 35, 2, 0, 0}, 10}}));
    EXPECT_EQ(gSale.gPurchaseVendor, "");
    EXPECT_EQ(screen.Text(kEntryBox), "");
}

TEST_F(PurchaseTest, CollectInformationOpensThePurchasePage) {
    screen.SetText(kEntryBox, "77");
    Purchase_CollectInformation();
    EXPECT_EQ(gSale.gSearchKind, 14);
    EXPECT_EQ(svc.calls, (std::vector<std::string>{"EntryForm_Show(14)"}));
    EXPECT_EQ(screen.Text(kEntryBox), "");
}

TEST_F(PurchaseTest, TheChosenVendorIsShownOnTheInformationPanel) {
    DemoVendors(dir);
    ASSERT_EQ(gData.gVendorCount, 3);
    gData.gVendorRecNo = 1;
    gSettings.gVendorTaxExempt = true;
    screen.SetCaption(ControlId{Control::BDep, 1}, "Grocery");
    gReg.gKeyPage = KeyPage::Payment;
    Vendor_ShowInformation();
    EXPECT_EQ(screen.Text(kMessageBox),
              "Springfield Coffee Roasters\r\n88 Bean Street\r\nSpringfield\r\n\r\nTelephone: 555-0201\r\n"
              "Fax: 555-0202\r\n\r\nContact: Tom Roast\r\nMinimum Order: 100\r\nComments: Demo vendor\r\n\r\n"
              "Touch or Click Enter Button to Continue");
    EXPECT_TRUE(screen.Visible(kMessageBox));
    EXPECT_EQ(gSale.gPurchaseVendor, "V100");
    EXPECT_EQ(MessageLine(), "Entry Initiated Successfully");
    EXPECT_TRUE(gSale.gTaxExempt[1] && gSale.gTaxExempt[2] && gSale.gTaxExempt[3]);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);  // the default key page
    // The mode box is shown again, in the mode the register is in.
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_Mode, 0}), "Mode: Sales");

    // Purchases that carry tax.
    gSale = SaleState{};
    gSettings.gVendorTaxExempt = false;
    gData.gVendorRecNo = 3;
    Vendor_ShowInformation();
    EXPECT_EQ(gSale.gPurchaseVendor, "V300");
    EXPECT_EQ(screen.Text(kMessageBox).substr(0, 29), "Northern Dairy Co-op\r\n12 Crea");
    EXPECT_FALSE(gSale.gTaxExempt[1] || gSale.gTaxExempt[2] || gSale.gTaxExempt[3]);
}

TEST_F(PurchaseTest, AVendorOutsideTheFileCancelsThePurchase) {
    DemoVendors(dir);
    for (std::int32_t rec : {0, 4}) {
        SCOPED_TRACE(rec);
        svc.calls.clear();
        gSale.gMode = RegisterMode::Purchase;
        gSale.gPurchaseVendor = "";
        AddLine("1001", "K", 2, "12.49", "12.49");
        screen.SetText(kMessageBox, "");
        gData.gVendorRecNo = rec;
        Vendor_ShowInformation();
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
        EXPECT_EQ(gSale.gItemCount, 0);  // a new, empty sale
        EXPECT_EQ(gSale.gLines[1].key, "");
        EXPECT_EQ(MessageLine(), "Purchase Cancelled");
        EXPECT_EQ(gSale.gPurchaseVendor, "");
        EXPECT_EQ(screen.Text(kMessageBox), "");
        EXPECT_NE(dir.Read("Files/1234567.LOG")
                      .find("Vendor_ShowInformation: vendor record " + std::to_string(rec) +
                            " is not in the vendor file"),
                  std::string::npos);
    }
}

TEST_F(PurchaseTest, CancelGoesBackToTheHomeMode) {
    gSettings.gHomeMode = RegisterMode::Sales;
    gSale.gMode = RegisterMode::Purchase;
    AddLine("1001", "K", 2, "12.49", "12.49");
    screen.Show(kMessageBox, true);
    Purchase_Cancel();
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    // A new, empty sale in the home mode.
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gLines[1].key, "");
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_Mode, 0}), "Mode: Sales");
    EXPECT_EQ(MessageLine(), "Purchase Cancelled");
    EXPECT_FALSE(screen.Visible(kMessageBox));
    gSettings.gLanguage = 2;
    Purchase_Cancel();
    EXPECT_EQ(MessageLine(), "Achat Annul\xE9");
}

TEST_F(PurchaseTest, EachQuestionHasItsStateAndMessage) {
    struct Case {
        void (*ask)();
        int state;
        const char* english;
        const char* french;
    };
    const Case cases[] = {
        {Purchase_PromptCost, 10, "Input Product Purchase Cost", "Entrez Co\xFBt d'Achat de Produit"},
        {Purchase_PromptPrice, 11, "Input Product Retail Price", "Entrez Prix de Vente au D\xE9tail"},
        {Purchase_PromptComment, 12, "Input Product Comment", "Entrez Commentaire"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        for (int language : {1, 2}) {
            gSettings.gLanguage = static_cast<std::int16_t>(language);
            svc.calls.clear();
            screen.SetText(kEntryBox, "5");
            c.ask();
            EXPECT_EQ(gReg.gPromptLine, c.state);
            EXPECT_EQ(MessageLine(), language == 1 ? c.english : c.french);
            EXPECT_EQ(screen.Text(kEntryBox), "");
            EXPECT_EQ(svc.calls, (std::vector<std::string>{"PromptInCIA_Show(" + std::to_string(c.state) + ")"}));
        }
    }
}

TEST_F(PurchaseTest, AddAndCancelProductRedrawTheReceipt) {
    gSale.gMode = RegisterMode::Purchase;
    AddLine("1001", "K", 2, "12.49", "4.5");
    for (void (*step)() : {Purchase_AddProduct, Purchase_CancelProduct}) {
        svc.calls.clear();
        screen.Show(kMessageBox, true);
        screen.SetText(ControlId{Control::Rt_Total, 0}, "");
        screen.SetText(ControlId{Control::Rt_Extension, 1}, "");
        step();
        EXPECT_FALSE(screen.Visible(kMessageBox));
        EXPECT_TRUE(screen.Visible(ControlId{Control::Title_Total, 0}));
        EXPECT_TRUE(svc.calls.empty());
        // The line's amount from its cost, 2 x 4.50, on the receipt and in the total.
        EXPECT_EQ(screen.Text(ControlId{Control::Rt_Extension, 1}), "$9.00");
        EXPECT_EQ(screen.Text(ControlId{Control::Rt_Total, 0}), "$9.00");
    }
}

TEST_F(PurchaseTest, TheModeKeysStartTheEntryOnlyWithVendors) {
    InventoryDocuments inventory;
    Reg().services.inventory = &inventory;
    gSale.gMode = RegisterMode::Sales;
    Mode_Process(3);  // no vendor file
    EXPECT_EQ(MessageLine(), "No Vendor Information Available");
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_TRUE(svc.searchForms.empty());

    DemoVendors(dir);
    for (const auto& [key, order] : {std::pair{3, true}, std::pair{4, false}}) {
        SCOPED_TRACE(key);
        gSale = SaleState{};
        gSale.gMode = RegisterMode::Sales;
        gSale.gPurchaseIsOrder = !order;
        gSale.gPurchaseVendor = "V100";
        svc.searchForms.clear();
        Mode_Process(key);
        EXPECT_EQ(gSale.gMode, RegisterMode::Purchase);
        EXPECT_EQ(gSale.gPurchaseIsOrder, order);
        EXPECT_EQ(svc.searchForms.size(), 1u);
        EXPECT_EQ(gSale.gPurchaseVendor, "");
    }
}

// ---- the Total key -----------------------------------------------------------------------

class PurchaseTotalKeyTest : public PurchaseTest {
protected:
    void SetUp() override {
        PurchaseTest::SetUp();
        DemoVendors(dir);
        TwoProducts(dir);
        Reg().services = program.Set();
        print_golden::UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
        gTerminalNumber = "1234567";
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        PurchaseTest::TearDown();
    }
    ProgramServices program;
};

TEST_F(PurchaseTotalKeyTest, TotalSavesThePurchaseOrderAndPrintsIt) {
    TwoLinePurchase();
    gSale.gPurchaseIsOrder = true;
    PrinterCapture cap;
    mTotalRegister_Click();

    EXPECT_TRUE(gSaleSave.gSaleFinished);
    PurchaseHead head;
    head.flag = "1";
    const auto pur = Records(".PUR", 300);
    ASSERT_EQ(pur.size(), 2u);
    EXPECT_EQ(pur[1], head.Record());
    EXPECT_EQ(Records(".PUL", 90).size(), 3u);
    EXPECT_EQ(MessageLine(), "PURCHASE ORDER 0000002");
    EXPECT_NE(cap.bytes.find("PURCHASE ORDER"), std::string::npos) << cap.bytes;
    EXPECT_NE(cap.bytes.find("1234567 0000002"), std::string::npos) << cap.bytes;
    EXPECT_NE(cap.bytes.find("Springfield Coffee Roasters"), std::string::npos) << cap.bytes;
    EXPECT_NE(cap.bytes.find("Apple"), std::string::npos) << cap.bytes;
    EXPECT_NE(cap.bytes.find("rush order"), std::string::npos) << cap.bytes;
}

TEST_F(PurchaseTotalKeyTest, APurchaseThatCannotBeSavedStaysOpen) {
    TwoLinePurchase();
    gSale.gLines[1].quantity = 1234567890;
    PrinterCapture cap;
    mTotalRegister_Click();

    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(MessageLine(), "Purchase Not Saved: Quantity of Line 1 Too Large");
    EXPECT_EQ(Records(".PUR", 300).size(), 1u);
    EXPECT_TRUE(cap.bytes.empty());
    EXPECT_TRUE(screen.Enabled(ControlId{Control::mTotalRegister, 0}));
    EXPECT_EQ(gSale.gMode, RegisterMode::Purchase);
    EXPECT_EQ(gSale.gItemCount, 2);
}

}  // namespace
}  // namespace tarvo
