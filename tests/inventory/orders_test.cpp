// Customer orders: the .ORD header, .ORL lines and .ORP deposits read back
// byte for byte from the files for a table of orders (deposits and change,
// type and priority codes, clients entered here, card fields), the header
// records and the numbering of orders that follow each other; amounts that
// do not fit and a failure at every write leave the files and the sale as
// they were; the Total key with the program's services saves the order and
// prints it, or keeps the order open when it cannot be saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/fields.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "file_size_limit.h"
#include "inventory/document_fixture.h"
#include "inventory/orders.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/program_services.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "screen/controls.h"

namespace tarvo {
namespace {

using namespace document_fixture;
using sale_builder::AddLine;
using sale_builder::AddTender;
using sale_builder::Totals;

const std::vector<std::string> kOrderFiles = {".ORD", ".ORL", ".ORP"};

// An order header as it must be stored; each test changes what it sets.
struct OrderHead {
    std::string number = "0000002", kind = "1", date = "20261209", supply = "2", delivery = "2", backOrders = "2",
                cashier = "00000007", deliveryDate, client = "C100", salesman, subtotal = "40", discount = "0",
                tax1 = "2", tax2 = "0", tax3 = "0", total = "42", change = "0", status = "1", lines = "2",
                payments = "0", type = "1 ", priority = "1", comment;
    std::string Record() const {
        return Fixed(239, {{1, number},     {9, "0"},         {11, kind},      {12, date},         {20, supply},
                           {21, delivery},  {22, backOrders}, {24, cashier},   {32, deliveryDate}, {40, client},
                           {48, salesman},  {56, subtotal},   {65, discount},  {74, tax1},         {83, tax2},
                           {92, tax3},      {101, total},     {110, change},   {119, status},      {120, lines},
                           {123, payments}, {125, type},      {128, priority}, {130, comment}});
    }
};

std::string OrderLine(const std::string& number, const std::string& line, const std::string& product,
                      const std::string& key, const std::string& qty, const std::string& list, const std::string& price,
                      const std::string& note = "", const std::string& flags = "00") {
    return Fixed(88, {{1, number},
                      {8, line},
                      {11, product},
                      {19, key},
                      {39, qty},
                      {48, list},
                      {57, price},
                      {66, note},
                      {87, flags}});
}

struct Card {
    std::string entry = "0", number, expiry, holder, data;
};
std::string OrderPayment(const std::string& number, const std::string& j, const std::string& type,
                         const std::string& amount, const std::string& reference = "", const Card& c = Card{}) {
    return Fixed(232, {{1, number},
                       {8, j},
                       {10, type},
                       {18, amount},
                       {27, reference},
                       {47, c.entry},
                       {48, c.number},
                       {73, c.expiry},
                       {83, c.holder},
                       {133, c.data}});
}

class OrderTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        for (const std::string& e : kOrderFiles) std::filesystem::remove(FilePath(e));
    }
    // A client order of two lines, 40.00 plus 2.00 tax, nothing paid yet.
    static void TwoLineOrder() {
        gSale.gMode = RegisterMode::OrderEntry;
        gSale.gOrderKind = "1";
        gSale.gClientCode = "C100";
        gData.gClientRecNo = 1;
        AddLine("1001", "012345", 2, "10", "10");
        AddLine("1002", "ABC", 1, "20", "20", "Gift wrap", true);
        Totals("40", "2", "42");
    }
    static std::vector<std::string> TwoLines(const std::string& number = "0000002") {
        return {OrderLine(number, "001", "1001", "012345", "2", "10", "10"),
                OrderLine(number, "002", "1002", "ABC", "1", "20", "20", "Gift wrap", "01")};
    }
};

// ---- the records ------------------------------------------------------------------

TEST_F(OrderTest, OrdersAreStoredColumnForColumn) {
    struct Case {
        const char* what;
        std::function<void(OrderHead&)> build;  // the sale beyond its two lines, and what the header holds then
        std::vector<std::string> payments;      // the .ORP records
        const char* lastTender;                 // the last tender in the sale after the save
    };
    const Card keyed{"2", "HEEEEEEEEEEEEEEE", "EFFK", "UV", "EF4aU"};
    const std::vector<Case> cases = {
        {"nothing paid: status 1, no deposit record", [](OrderHead&) {}, {}, nullptr},
        {"a deposit: part paid",
         [](OrderHead& h) {
             AddTender("1", "10", "DEP-1");
             h.status = "2";
             h.payments = "1";
         },
         {OrderPayment("0000002", "01", "1", "10", "DEP-1")},
         "10"},
        {"paid in full with 2.50 change off the last tender of 20.00",
         [](OrderHead& h) {
             AddTender("1", "24.5");
             AddTender("4", "20");
             gSale.gChange = M("2.5");
             h.status = "4";
             h.payments = "2";
             h.change = "2.5";
         },
         {OrderPayment("0000002", "01", "1", "24.5"), OrderPayment("0000002", "02", "4", "17.5")},
         "17.5"},
        {"a store's quotation, rush, from the supplier, picked up, no back orders",
         [](OrderHead& h) {
             gSale.gOrderKind = "2";
             gSale.gDocType = "3";
             gSale.gDocPriority = "2";
             gSale.gDocSupplyMethod = "1";
             gSale.gDocDeliveryMethod = "1";
             gSale.gDocCancelBackOrders = "1";
             gSale.gDocDeliveryDate = "20261224";
             gSale.gDocComment = "Call when it arrives";
             gSale.gSaleDiscount = M("1.5");
             gSale.gTax2 = M(".63");
             gSale.gTax3 = M("-.01");
             h.kind = "2";
             h.type = "5 ";
             h.priority = "2";
             h.supply = "1";
             h.delivery = "1";
             h.backOrders = "1";
             h.deliveryDate = "20261224";
             h.comment = "Call when it arrives";
             h.discount = "-1.5";
             h.tax2 = ".63";
             h.tax3 = "-.01";
         },
         {},
         nullptr},
        {"a layaway, urgent",
         [](OrderHead& h) {
             gSale.gDocType = "2";
             gSale.gDocPriority = "3";
             h.type = "11";
             h.priority = "3";
         },
         {},
         nullptr},
        {"an RMA, normal",
         [](OrderHead& h) {
             gSale.gDocType = "4";
             gSale.gDocPriority = "1";
             h.type = "10";
         },
         {},
         nullptr},
        {"a draft order, an unknown priority",
         [](OrderHead& h) {
             gSale.gDocType = "5";
             gSale.gDocPriority = "9";
             h.type = "9 ";
         },
         {},
         nullptr},
        {"no type, no priority, an unknown kind, a business date longer than 8",
         [](OrderHead&) {
             gSale.gDocType = "";
             gSale.gDocPriority = "";
             gSale.gOrderKind = "7";
             gReg.gBusinessDate = "2026120915";
         },
         {},
         nullptr},
        {"a client entered here and no client record, a salesperson",
         [](OrderHead& h) {
             gData.gClientRecNo = 0;
             gData.gNewClientRecNo = 1234567;
             gData.SalesmanTable.push_back(SalesmanRow{"00000005", "5", "Sam"});
             gData.gSalesmanCount = 1;
             gSale.gSalesmanIndex = 1;
             h.client = "N1234567";
             h.salesman = "00000005";
         },
         {},
         nullptr},
        {"card fields: blank ones stay blank, the others are stored encoded",
         [](OrderHead& h) {
             AddTender("1", "10");
             AddTender("4", "20", "APPROVED 123456");
             SalePayment& card = gSale.gPayments[2];
             card.entryKind = 2;
             card.cardNumber = "4111111111111111";
             card.cardExpiry = "1227";
             card.cardHolder = "AB";
             card.cardData = "12 MA";
             AddTender("5", "12");
             gSale.gPayments[3].cardNumber = "   ";
             gSale.gPayments[3].cardHolder = " ";
             h.status = "4";
             h.payments = "3";
         },
         {OrderPayment("0000002", "01", "1", "10"), OrderPayment("0000002", "02", "4", "20", "APPROVED 123456", keyed),
          OrderPayment("0000002", "03", "5", "12")},
         "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        TwoLineOrder();
        OrderHead head;
        c.build(head);
        ASSERT_TRUE(Order_Save()) << MessageLine();

        const auto ord = Records(".ORD", 252);
        ASSERT_EQ(ord.size(), 2u);
        EXPECT_EQ(ord[0], "2" + Blanks(230));
        EXPECT_EQ(ord[1], head.Record());
        EXPECT_EQ(ord[1].size(), 239u);
        const auto orl = Records(".ORL", 90);
        ASSERT_EQ(orl.size(), 3u);
        EXPECT_EQ(orl[0], "3" + Blanks(60));
        EXPECT_EQ(std::vector<std::string>(orl.begin() + 1, orl.end()), TwoLines());
        const auto orp = Records(".ORP", 235);
        ASSERT_EQ(orp.size(), 1 + c.payments.size());
        if (!c.payments.empty()) {
            EXPECT_EQ(orp[0], Pad(std::to_string(1 + c.payments.size()), 233));
            EXPECT_EQ(std::vector<std::string>(orp.begin() + 1, orp.end()), c.payments);
            EXPECT_EQ(gData.gLastOrderPaymentRecord, static_cast<std::int32_t>(1 + c.payments.size()));
        }
        if (c.lastTender) {
            EXPECT_EQ(gSale.gPayments[static_cast<std::size_t>(gSale.gPaymentCount)].amount, M(c.lastTender));
        }
        EXPECT_EQ(gData.gLastOrderRecord, 2);
        EXPECT_EQ(gData.gLastOrderLineRecord, 3);
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 2);
        // What the save normalises stays so: the kind and the business date.
        EXPECT_EQ(gSale.gOrderKind, head.kind);
        EXPECT_EQ(gReg.gBusinessDate, head.date);
        EXPECT_FALSE(gData.orders.IsOpen() || gData.orderLines.IsOpen() || gData.orderPayments.IsOpen());
    }
}

TEST_F(OrderTest, TenLinesAreNumberedAndTheNextOrderFollowsOn) {
    TwoLineOrder();
    gSale.gItemCount = 0;
    for (int i = 1; i <= 10; ++i) AddLine(("P" + std::to_string(i)).c_str(), "K", 1, "4", "4");
    Totals("40", "2", "42");
    AddTender("1", "20");
    AddTender("1", "22");
    ASSERT_TRUE(Order_Save()) << MessageLine();

    auto orl = Records(".ORL", 90);
    ASSERT_EQ(orl.size(), 11u);
    EXPECT_EQ(orl[0], "11" + Blanks(60));
    for (int i = 1; i <= 10; ++i) {
        char no[12];
        std::snprintf(no, sizeof no, "%03d", i);
        EXPECT_EQ(orl[static_cast<std::size_t>(i)],
                  OrderLine("0000002", no, "P" + std::to_string(i), "K", "1", "4", "4"));
    }
    EXPECT_EQ(Records(".ORD", 252)[1].substr(118, 5), "410 2");  // status, lines, deposits

    // The next order takes the next number in every file.
    gSale = SaleState{};
    gSaleSave = SaleSaveState{};
    TwoLineOrder();
    gSale.gItemCount = 1;
    Totals("10", "0", "10");
    AddTender("1", "10");
    ASSERT_TRUE(Order_Save()) << MessageLine();
    const auto ord = Records(".ORD", 252);
    ASSERT_EQ(ord.size(), 3u);
    EXPECT_EQ(ord[0], "3" + Blanks(230));
    EXPECT_EQ(ord[2].substr(0, 9), "0000003 0");
    orl = Records(".ORL", 90);
    ASSERT_EQ(orl.size(), 12u);
    EXPECT_EQ(orl[0], "12" + Blanks(60));
    EXPECT_EQ(orl[11], OrderLine("0000003", "001", "1001", "012345", "2", "10", "10"));
    const auto orp = Records(".ORP", 235);
    ASSERT_EQ(orp.size(), 4u);
    EXPECT_EQ(orp[0], Pad("4", 233));
    EXPECT_EQ(orp[3], OrderPayment("0000003", "01", "1", "10"));
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 3);
    EXPECT_EQ(gData.gLastOrderRecord, 3);
    EXPECT_EQ(gData.gLastOrderLineRecord, 12);
    EXPECT_EQ(gData.gLastOrderPaymentRecord, 4);
}

TEST_F(OrderTest, AfterADamagedHeaderTheNextOrderFollowsTheOrdersOnFile) {
    for (int i = 0; i < 2; ++i) {
        gSale = SaleState{};
        TwoLineOrder();
        AddTender("1", "10");
        ASSERT_TRUE(Order_Save());
    }
    // Record 1 of each file spoilt: the orders carry their numbers, lines and
    // deposits count as whole records.
    for (const auto& [ext, length] : {std::pair{".ORD", 252}, std::pair{".ORL", 90}, std::pair{".ORP", 235}}) {
        WorkFile f;
        ASSERT_TRUE(f.Open(FilePath(ext), length));
        ASSERT_TRUE(f.Write(1, "x"));
    }
    gSale = SaleState{};
    TwoLineOrder();
    AddTender("1", "10");
    ASSERT_TRUE(Order_Save()) << MessageLine();
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 4);
    const auto ord = Records(".ORD", 252);
    ASSERT_EQ(ord.size(), 4u);
    EXPECT_EQ(ord[0], "4" + Blanks(230));
    EXPECT_EQ(ord[1].substr(0, 7), "0000002");
    EXPECT_EQ(ord[2].substr(0, 7), "0000003");
    EXPECT_EQ(ord[3].substr(0, 7), "0000004");
    const auto orl = Records(".ORL", 90);
    ASSERT_EQ(orl.size(), 7u);
    EXPECT_EQ(orl[0], "7" + Blanks(60));
    EXPECT_EQ(std::vector<std::string>(orl.begin() + 5, orl.end()), TwoLines("0000004"));
    const auto orp = Records(".ORP", 235);
    ASSERT_EQ(orp.size(), 4u);
    EXPECT_EQ(orp[3], OrderPayment("0000004", "01", "1", "10"));
}

// ---- refusals and failures -------------------------------------------------------------

// An order of two lines with two tenders and change, after one order saved.
class OrderRefusalTest : public OrderTest {
protected:
    void SetUp() override {
        OrderTest::SetUp();
        PaidOrder();
        ASSERT_TRUE(Order_Save());
        NextOrder();
    }
    static void PaidOrder() {
        TwoLineOrder();
        AddTender("1", "24.5");
        AddTender("4", "20");
        gSale.gChange = M("2.5");
    }
    void NextOrder() {
        gSale = SaleState{};
        gSaleSave = SaleSaveState{};
        gData.gClientRecNo = 0;
        PaidOrder();
    }
    // The sale as far as a failed save must leave it.
    static void ExpectSaleAsBuilt() {
        EXPECT_EQ(gSale.gItemCount, 2);
        EXPECT_EQ(gSale.gPaymentCount, 2);
        EXPECT_EQ(gSale.gPayments[1].amount, M("24.5"));
        EXPECT_EQ(gSale.gPayments[2].amount, M("20"));
        EXPECT_EQ(gSale.gChange, M("2.5"));
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
    }
    void ExpectCountersOfOneOrder() {
        EXPECT_EQ(gData.gLastOrderRecord, 2);
        EXPECT_EQ(gData.gLastOrderLineRecord, 3);
        EXPECT_EQ(gData.gLastOrderPaymentRecord, 3);
    }
};

TEST_F(OrderRefusalTest, AValueWiderThanItsColumnsSavesNothing) {
    struct Case {
        const char* what;
        void (*spoil)();
        const char* message;
    };
    const Case cases[] = {
        {"quantity", [] { gSale.gLines[2].quantity = 1234567890; }, "Order Not Saved: Quantity of line 2 Too Large"},
        {"total", [] { gSale.gTotal = M("1234567.89"); }, "Order Not Saved: Total Too Large"},
        {"tender", [] { gSale.gPayments[1].amount = M("-123456.78"); },
         "Order Not Saved: Amount of tender 1 Too Large"},
        {"change", [] { gSale.gChange = M("12345678.5"); }, "Order Not Saved: Change Too Large"},
        {"subtotal", [] { gSale.gSubtotal = M("-1234567.8"); }, "Order Not Saved: Subtotal Too Large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NextOrder();
        c.spoil();
        const SaleState before = gSale;
        const Snapshot files = Files(kOrderFiles);
        EXPECT_FALSE(Order_Save());
        EXPECT_EQ(Files(kOrderFiles), files);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gSale.gPayments[1].amount, before.gPayments[1].amount);
        EXPECT_EQ(gSale.gPayments[2].amount, before.gPayments[2].amount);
        EXPECT_EQ(gSale.gChange, before.gChange);
        EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
        ExpectCountersOfOneOrder();
    }
    // Ten deposits do not fit the header's one column.
    NextOrder();
    for (int t = 3; t <= 10; ++t) AddTender("1", "0");
    const Snapshot files = Files(kOrderFiles);
    EXPECT_FALSE(Order_Save());
    EXPECT_EQ(Files(kOrderFiles), files);
    EXPECT_EQ(MessageLine().rfind("Order Not Saved: ", 0), 0u) << MessageLine();
}

// An order holds 400 lines at most: the header never names lines that are
// not written.
TEST_F(OrderRefusalTest, AnOrderOfMoreThan400LinesSavesNothing) {
    struct Case {
        int lines;
        const char* message;  // "" saved
    };
    const Case cases[] = {{400, ""}, {401, "Order Not Saved: 401 Lines, 400 at Most"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        NextOrder();
        gSale.gItemCount = 0;
        for (int i = 1; i <= 400; ++i) AddLine("1001", "012345", 1, "1", "1");
        gSale.gItemCount = c.lines;  // the count the writer is given; the sale holds 400
        const Snapshot files = Files(kOrderFiles);
        const bool saved = Order_Save();
        EXPECT_EQ(saved, c.message[0] == '\0');
        if (saved) {
            const auto ord = Records(".ORD", 252);
            ASSERT_EQ(ord.size(), 3u);
            EXPECT_EQ(ord[2].substr(119, 3), "400");
            EXPECT_EQ(Records(".ORL", 90).size(), 403u);  // the header, two lines before, 400 now
            PutBack(files);
        } else {
            EXPECT_EQ(Files(kOrderFiles), files);
            EXPECT_EQ(MessageLine(), c.message);
            EXPECT_NE(dir.Read("Files/1234567.LOG").find("Order_Save: 401 Lines, 400 at Most; Order not saved"),
                      std::string::npos);
            EXPECT_EQ(gSaleSave.gPrintRecordNo, 0);
        }
    }
}

TEST_F(OrderRefusalTest, AFailureAtAnyWritePutsEveryFileBack) {
    // Records, flushes and counts of three files; once the fault is gone the
    // same order is saved whole, as order 3.
    ExpectEveryFailedWritePutsTheFilesBack(
        kOrderFiles, 12, [] { return Order_Save(); }, [this] { NextOrder(); },
        "Order Not Saved: Error Writing the Order Files",
        [this] {
            ExpectSaleAsBuilt();
            ExpectCountersOfOneOrder();
        },
        [] { EXPECT_EQ(gSale.gPayments[2].amount, M("17.5")); });
}

TEST_F(OrderRefusalTest, AFullDiskPartWayThroughTheLinesPutsEveryFileBack) {
    for (int i = 3; i <= 30; ++i) AddLine("1003", "XYZ", 1, "0", "0");
    const Snapshot before = Files(kOrderFiles);
    std::size_t largest = 0;
    for (const auto& [ext, bytes] : before) largest = std::max(largest, bytes.size());
    {
        // The lines' file fills up after a few of the 30 lines.
        FileSizeLimit limit(largest);
        EXPECT_FALSE(Order_Save());
    }
    EXPECT_EQ(Files(kOrderFiles), before);
    EXPECT_EQ(MessageLine(), "Order Not Saved: Error Writing the Order Files");
    EXPECT_EQ(gSale.gPayments[2].amount, M("20"));
    ExpectCountersOfOneOrder();
    // With room again the order is saved whole.
    ASSERT_TRUE(Order_Save());
    EXPECT_EQ(Records(".ORL", 90).size(), 33u);
    EXPECT_EQ(Records(".ORD", 252)[2].substr(119, 3), "30 ");
}

TEST_F(OrderRefusalTest, AnOrderKilledBeforeAnyWriteIsWhollyThereOrNotAndTheNextFollowsOn) {
    ExpectKilledSavesWhollyThereOrNot(
        kOrderFiles, Open_FileOrder,
        {{&DataState::orders, &DataState::gLastOrderRecord},
         {&DataState::orderLines, &DataState::gLastOrderLineRecord},
         {&DataState::orderPayments, &DataState::gLastOrderPaymentRecord}},
        [] { return Order_Save(); }, [this] { NextOrder(); }, {1, 2, 2});
}

// ---- the Total key -----------------------------------------------------------------------

class OrderTotalKeyTest : public OrderTest {
protected:
    void SetUp() override {
        OrderTest::SetUp();
        Reg().services = program.Set();
        print_golden::UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
        gSettings.gHeaderLine = {"MY STORE", "", "", "", ""};
        TwoProducts(dir);
        gTerminalNumber = "1234567";
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        OrderTest::TearDown();
    }
    ProgramServices program;
};

TEST_F(OrderTotalKeyTest, TotalSavesTheOrderAndPrintsIt) {
    TwoLineOrder();
    AddTender("1", "24.5");
    AddTender("4", "20");
    gSale.gChange = M("2.5");
    PrinterCapture cap;
    mTotalRegister_Click();

    EXPECT_TRUE(gSaleSave.gSaleFinished);
    const auto ord = Records(".ORD", 252);
    ASSERT_EQ(ord.size(), 2u);
    OrderHead head;
    head.status = "4";
    head.payments = "2";
    head.change = "2.5";
    EXPECT_EQ(ord[1], head.Record());
    EXPECT_EQ(Records(".ORP", 235)[2], OrderPayment("0000002", "02", "4", "17.5"));
    EXPECT_EQ(gSaleSave.gPrintRecordNo, 2);
    // The printout is the order just saved.
    for (const char* shown : {"Order:    0000002", "Special Order", "Qty: 2        x   10.00 =   $20.00", "Book",
                              "Gift wrap", "Total:                     42.00", "Change                      2.50"})
        EXPECT_NE(cap.bytes.find(shown), std::string::npos) << shown << "\n" << cap.bytes;
}

TEST_F(OrderTotalKeyTest, AnOrderThatCannotBeSavedStaysOpen) {
    TwoLineOrder();
    AddTender("1", "20");
    gSale.gTotal = M("1234567.89");
    PrinterCapture cap;
    mTotalRegister_Click();

    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(MessageLine(), "Order Not Saved: Total Too Large");
    EXPECT_EQ(Records(".ORD", 252).size(), 1u);
    EXPECT_TRUE(cap.bytes.empty());
    EXPECT_TRUE(screen.Enabled(ControlId{Control::mTotalRegister, 0}));  // the keys are back
    EXPECT_EQ(gSale.gItemCount, 2);
    EXPECT_FALSE(timers.Running(TimerId::EndSale));
}

}  // namespace
}  // namespace tarvo
