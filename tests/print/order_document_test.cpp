// The order document: orders written as records of the order files (header,
// lines, payments, card fields stored encoded) and printed into the capture
// backend, compared byte for byte with documents written out by hand: narrow
// and wide paper, English and French clients, a layaway with a kit and a
// balance, a store order without lines, weighed goods with discount, taxes
// and product-code lines, card slips by entry kind and back-end, and the
// failure paths (record outside the file, printing off, an output that does
// not open, order files that do not open, an output that fails part-way).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "common/cp1252.h"
#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "file_size_limit.h"
#include "print/devices.h"
#include "print/order_document.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace print_golden;

constexpr const char* kTerminal = "1234567";

std::string W(const char* utf8) { return Utf8ToCp1252(utf8); }
std::string Pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

std::string ProductRecord(const std::string& key, const std::string& description, const std::string& taxes,
                          const std::string& units, const std::string& col94 = "", bool weighed = false) {
    std::string r =
        Fixed(273, {{12, key}, {40, "BC-" + key}, {60, description}, {90, taxes}, {94, col94}, {175, units}});
    if (weighed) r[8] = 'S';
    return r;
}

std::string ClientRecord(const std::string& id, const std::string& language, const std::string& number,
                         const std::string& name, const std::string& a1, const std::string& a2,
                         const std::string& tel) {
    return Fixed(200, {{1, id}, {9, language}, {12, number}, {20, name}, {50, a1}, {80, a2}, {140, tel}});
}

std::string Encoded(std::string s) {
    if (!Trim(s).empty()) Str_Encode(s);
    return s;
}

// One order as the order writer stores it (amounts as left-aligned text).
struct Order {
    std::string kind = "1", type = "11", priority = "2", delivery = "2";
    std::string date = "20260214", deliveryDate = "20261224";
    std::string client = "C100", cashier = "00000007", salesman = "00000009";
    std::string subtotal = "0", discount = "0", tax1 = "0", tax2 = "0", tax3 = "0", total = "0", change = "0";
    std::string comment;
    struct Line {
        std::string key, quantity, price, note;
        bool kitComponent = false;
    };
    struct Payment {
        std::string type, amount, reference{}, entry = "0", number{}, expiry{}, holder{};
    };
    std::vector<Line> lines;
    std::vector<Payment> payments;
};

// Appends the order to the order files; returns its header record number.
std::int32_t Store(const Order& o) {
    Open_FileOrder();
    const std::string no = PadZero(std::to_string(gData.gLastOrderRecord + 1), 7);
    const std::string header =
        Fixed(239, {{1, no},           {9, "0"},         {11, o.kind},     {12, o.date},         {20, "1"},
                    {21, o.delivery},  {22, "2"},        {24, o.cashier},  {32, o.deliveryDate}, {40, o.client},
                    {48, o.salesman},  {56, o.subtotal}, {65, o.discount}, {74, o.tax1},         {83, o.tax2},
                    {92, o.tax3},      {101, o.total},   {110, o.change},  {119, "2"},           {125, o.type},
                    {128, o.priority}, {130, o.comment}});
    EXPECT_TRUE(Transaction_Append(gData.orders, gData.gLastOrderRecord, 230, header));
    int i = 0;
    for (const Order::Line& l : o.lines) {
        const std::string rec = Fixed(88, {{1, no},
                                           {8, PadZero(std::to_string(++i), 3)},
                                           {11, "P"},
                                           {19, l.key},
                                           {39, l.quantity},
                                           {48, l.price},
                                           {57, l.price},
                                           {66, l.note},
                                           {87, l.kitComponent ? "1" : "0"},
                                           {88, l.note.empty() ? "0" : "1"}});
        EXPECT_TRUE(Transaction_Append(gData.orderLines, gData.gLastOrderLineRecord, 60, rec));
    }
    int j = 0;
    for (const Order::Payment& p : o.payments) {
        const std::string rec = Fixed(232, {{1, no},
                                            {8, PadZero(std::to_string(++j), 2)},
                                            {10, p.type},
                                            {18, p.amount},
                                            {27, p.reference},
                                            {47, p.entry},
                                            {48, Encoded(p.number)},
                                            {73, Encoded(p.expiry)},
                                            {83, Encoded(p.holder)}});
        EXPECT_TRUE(Transaction_Append(gData.orderPayments, gData.gLastOrderPaymentRecord, 230, rec));
    }
    const std::int32_t rec = gData.gLastOrderRecord;
    gData.orderPayments.Close();
    gData.orderLines.Close();
    gData.orders.Close();
    return rec;
}

class OrderDocumentTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        for (const char* ext : {".ORD", ".ORL", ".ORP", ".NWC"})
            std::filesystem::remove_all(gConstants.paths.gDataPath + ext);
        std::filesystem::remove(dir / "receipt.txt");
        std::filesystem::remove(dir / kDeviceMapFile);
        gPrint = PrintState{};
        gSaleSave = SaleSaveState{};
        gTerminalNumber = kTerminal;
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gData.SalesmanTable.push_back(SalesmanRow{"00000009", "99", "Bob"});
        gData.gSalesmanCount = 1;
        gSettings.gPrintCashier = true;
        gSettings.gPrintSalesman = true;
        gSettings.gHeaderLine = {"MY STORE", "", "", "", ""};
        gSettings.gTaxName = {"GST", "PST", "HST"};
        gSettings.gWeightUnit = "Lb";
        // Payment kinds as the register builds them at load: "Cash" (type
        // code 1) and "Visa Card" (code 4, two caption lines).
        for (PaymentType& t : gSettings.PaymentTypes) t = PaymentType{};
        for (const auto& [number, code, name1, name2] :
             {std::tuple{1, "1", "Cash", ""}, std::tuple{4, "4", "Visa", "Card"}}) {
            PaymentType& p = gSettings.PaymentTypes[static_cast<std::size_t>(number)];
            p.Number = std::to_string(number);
            p.CardType = code;
            p.Name1 = name1;
            p.Name2 = name2;
        }
        Payment_Setup();
        UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;

        const std::vector<std::string> products = {
            ProductRecord("APPLE", "Apple", "1  ", "1"),
            ProductRecord("BOOK", "Book", "   ", "1", "each "),
            ProductRecord("CHEESE", "Cheese", "11 ", "1", "", true),
            ProductRecord("EGGS", "Eggs", "   ", "12"),
            ProductRecord("KIT", "Gift basket", "   ", "1"),
            ProductRecord("KITPART", "Basket ribbon", "   ", "1"),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(products));
        Parse_FileProduct();
        const std::vector<std::string> clients = {
            ClientRecord("1", "1", "00000001", "Walk-in", "", "", ""),
            ClientRecord("C100", "1", "00000100", "John Smith", "1 Main St", "Springfield", "555-0100"),
            ClientRecord("C200", "2", "00000200", "Marie Tremblay", "12 rue Principale", "Montreal", "514-555-0100"),
            ClientRecord("C300", "3", "00000300", "Hans Weber", "", "", ""),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".CLI", CrLf(clients));
        Parse_FileClient();
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    std::string Print(std::int32_t rec) {
        gSaleSave.gPrintRecordNo = rec;
        PrinterCapture cap;
        Order_Print();
        return cap.bytes;
    }
    std::string Log() const { return dir.Read("Files/" + std::string(kTerminal) + ".LOG"); }

    TestDir dir;
};

// A layaway for a client: apple 2 x 10.00 (tax 1), book 1 x 20.00 with a
// note, eggs 6 at 6.00 a dozen, a gift basket kit with one component line;
// GST 2.00, total 60.00, a cash deposit of 25.00.
Order Layaway(const std::string& client) {
    Order o;
    o.client = client;
    o.subtotal = "58";
    o.tax1 = "2";
    o.total = "60";
    o.comment = "Call when it arrives";
    o.lines = {{"APPLE", "2", "10", ""},
               {"BOOK", "1", "20", "Gift wrap"},
               {"EGGS", "6", "6", ""},
               {"KIT", "1", "15", ""},
               {"KITPART", "1", "0", "", true}};
    o.payments = {{"1", "25"}};
    return o;
}

// The heading of an order for the clients C100 (English) and C200 (French)
// down to the rule under the delivery date.
std::string Heading(const std::string& title, bool wide, bool french) {
    const std::string gap = B(wide ? 14 : 4);
    std::string h = L("MY STORE") + L("") + T(title);
    if (!french) {
        h += L("Order:    0000002" + gap + "Date:  14/Feb/2026") + L("Terminal: 1234567") + L("Cashier:  Ann") +
             L("Salesman: Bob") + L("Client:   " + Pad("John Smith", 30)) + L(B(10) + Pad("1 Main St", 30)) +
             L(B(10) + Pad("Springfield", 30)) + L("Telephone:" + Pad("555-0100", 20)) + L("Number:   00000100") +
             L("Delivery: RUSH   Ship Directly to Client");
    } else {
        h += L("Commande: 0000002" + gap + "Date:  14/Fev/2026") + L("Terminal: 1234567") + L("Commis:   Ann") +
             L("Vendeur:  Bob") + L("Client:   " + Pad("Marie Tremblay", 30)) +
             L(B(10) + Pad("12 rue Principale", 30)) + L(B(10) + Pad("Montreal", 30)) +
             L("Telephone:" + Pad("514-555-0100", 20)) + L("Number:   00000200") +
             L(W("Livraison:RUSH   Livraison à Client"));
    }
    return h + L(B(10) + "24/Dec/2026") + L("") + Rule(wide ? 54 : 40);
}

std::string ColumnTitle(bool french) {
    return L(french ? "     Description              Quantite   Prix     Total"
                    : "     Description              Quantity  Price    Total") +
           Rule(54);
}

TEST_F(OrderDocumentTest, LayawayPrintsOnBothPaperWidthsInTheClientsLanguage) {
    struct Case {
        const char* name;
        bool wide;
        bool french;
        std::string items;
    };
    const std::vector<Case> cases = {
        {"narrow English", false, false,
         L("Apple" + B(20) + " " + B(5)) + L(B(6) + "Qty: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
             L("Book" + B(21) + " each " + B(3) + "$20.00") + L(Pad("Gift wrap", 21)) + L("Eggs" + B(21) + " /12  ") +
             L(B(6) + "Qty: 6        x" + B(4) + "6.00 =" + B(4) + "$3.00") +
             L("Gift basket" + B(14) + " " + B(5) + B(3) + "$15.00")},
        {"narrow French", false, true,
         L("Apple" + B(20) + " " + B(5)) + L(B(6) + "Qte: 2        x" + B(3) + "10.00 =" + B(3) + "$20.00") +
             L("Book" + B(21) + " each " + B(3) + "$20.00") + L(Pad("Gift wrap", 21)) + L("Eggs" + B(21) + " /12  ") +
             L(B(6) + "Qte: 6        x" + B(4) + "6.00 =" + B(4) + "$3.00") +
             L("Gift basket" + B(14) + " " + B(5) + B(3) + "$15.00")},
        {"wide English", true, false,
         ColumnTitle(false) + L("Apple" + B(21) + " TNN" + B(6) + "2" + B(3) + "10.00" + B(4) + "20.00") +
             L("Book" + B(22) + " NNN" + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") + L(Pad("Gift wrap", 21)) +
             L("Eggs" + B(22) + " NNN" + B(6) + "6" + B(4) + "6.00" + B(5) + "3.00") +
             L("Gift basket" + B(15) + " NNN" + B(6) + "1" + B(3) + "15.00" + B(4) + "15.00")},
        {"wide French", true, true,
         ColumnTitle(true) + L("Apple" + B(21) + " TNN" + B(6) + "2" + B(3) + "10.00" + B(4) + "20.00") +
             L("Book" + B(22) + " NNN" + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") + L(Pad("Gift wrap", 21)) +
             L("Eggs" + B(22) + " NNN" + B(6) + "6" + B(4) + "6.00" + B(5) + "3.00") +
             L("Gift basket" + B(15) + " NNN" + B(6) + "1" + B(3) + "15.00" + B(4) + "15.00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gPrintFooter = true;
        gSettings.gFooterLine = {"See you soon", "", "", "", ""};
        dir.Write("receipt.txt", "Thank you\r\n");
        const std::int32_t rec = Store(Layaway(c.french ? "C200" : "C100"));
        const std::size_t w = c.wide ? 54 : 40;
        const std::string totals =
            c.french ? L(B(7) + "Sous Total:" + B(16) + "58.00") + L(B(7) + "GST:       " + B(17) + "2.00") +
                           L(B(7) + "Total:     " + B(16) + "60.00") + L(B(7) + "Cash" + B(14) + B(9) + "25.00") +
                           L(B(7) + "A Paye:" + B(11) + B(9) + "35.00")
                     : L(B(7) + "Sub Total: " + B(16) + "58.00") + L(B(7) + "GST:       " + B(17) + "2.00") +
                           L(B(7) + "Total:     " + B(16) + "60.00") + L(B(7) + "Cash" + B(14) + B(9) + "25.00") +
                           L(B(7) + "Balance:" + B(10) + B(9) + "35.00");
        const std::string expected = kOpen + Heading(c.french ? "   Mise-de-Cote" : "     Layaway", c.wide, c.french) +
                                     c.items + Rule(w) + totals + Rule(w) + L(Pad("Call when it arrives", 40)) +
                                     L(B(40)) + L(B(30)) + L("Thank you") + L("See you soon") + kClose;
        EXPECT_EQ(Print(rec), expected);
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_FALSE(gData.orderLines.IsOpen());
        EXPECT_FALSE(gData.orderPayments.IsOpen());
    }
}

TEST_F(OrderDocumentTest, TrainingAndDuplicateTitlesRepeatAboveTheLinesOnlyWhenThereAreLines) {
    gSale.gMode = RegisterMode::Training;
    // An English terminal and a French client: the top titles follow the
    // terminal, the repeats and the document the client.
    {
        SCOPED_TRACE("French client with a line");
        Order o;
        o.client = "C200";
        o.subtotal = "20";
        o.total = "20";
        o.lines = {{"BOOK", "1", "20", ""}};
        const std::int32_t rec = Store(o);
        gSaleSave.gReceiptDuplicate = true;
        const std::string expected =
            kOpen + T("***TRAINING MODE***") + T(" ***DUPLICATE***") + Heading("   Mise-de-Cote", false, true) +
            T("**MODE DE FORMATION**") + T(" ***DUPLICATA***") + L("Book" + B(21) + " each " + B(3) + "$20.00") +
            Rule(40) + L(B(7) + "Sous Total:" + B(16) + "20.00") + L(B(7) + "Total:     " + B(16) + "20.00") +
            L(B(7) + "A Paye:" + B(11) + B(9) + "20.00") + Rule(40) + kClose;
        EXPECT_EQ(Print(rec), expected);
        EXPECT_FALSE(gSaleSave.gReceiptDuplicate);
    }
    TearDown();
    SetUp();
    gSale.gMode = RegisterMode::Training;
    {
        // A French terminal; a store order for the default client (found,
        // English): no client block, no lines, so no repeated titles and the
        // duplicate flag stays set.
        SCOPED_TRACE("store order without lines");
        gSettings.gLanguage = 2;
        Order o;
        o.kind = "2";
        o.client = "1";
        o.priority = "1";
        o.delivery = "1";
        const std::int32_t rec = Store(o);
        gSaleSave.gReceiptDuplicate = true;
        const std::string expected =
            kOpen + T("**MODE DE FORMATION**") + T(" ***DUPLICATA***") + L("MY STORE") + L("") + T("    Store Order") +
            L("Order:    0000002" + B(4) + "Date:  14/Feb/2026") + L("Terminal: 1234567") + L("Cashier:  Ann") +
            L("Salesman: Bob") + L("Delivery: Normal Pickup from Store") + L(B(10) + "24/Dec/2026") + L("") + Rule(40) +
            Rule(40) + L(B(7) + "Sub Total: " + B(17) + "0.00") + L(B(7) + "Total:     " + B(17) + "0.00") + Rule(40) +
            kClose;
        EXPECT_EQ(Print(rec), expected);
        EXPECT_TRUE(gSaleSave.gReceiptDuplicate);
    }
}

TEST_F(OrderDocumentTest, WeighedGoodsDiscountTaxesAndProductCodeLines) {
    struct Case {
        const char* name;
        bool wide;
        std::string items;
    };
    const std::vector<Case> cases = {
        {"narrow", false,
         L("Cheese" + B(24)) + L(B(9) + "1.500 Lb @" + B(4) + "$8.00/Lb" + B(3) + "$12.00") +
             L(Pad("CHEESE", 17) + "Tax: (TTN)") + L("Product Not Found") +
             L("Book" + B(21) + " each " + B(3) + "$20.00") + L(Pad("BOOK", 17) + "Tax: (NNN)")},
        {"wide", true,
         ColumnTitle(false) + L("Cheese" + B(16) + " TTN" + B(3) + "1.5Lb @" + B(3) + "$8.00/Lb" + B(2) + "$12.00") +
             L(Pad("CHEESE", 20) + "Tax: (TTN)") + L("Product Not Found") +
             L("Book" + B(22) + " NNN" + B(6) + "1" + B(3) + "20.00" + B(4) + "20.00") +
             L(Pad("BOOK", 20) + "Tax: (NNN)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gPrintOption811 = true;
        gSale.gTaxRate = {0, 0, 0, 0};  // the stored amounts decide
        Order o;
        o.subtotal = "32";
        o.discount = "3.2";
        o.tax1 = "1.44";
        o.tax2 = "2.16";
        o.total = "32.4";
        o.lines = {{"CHEESE", "1.5", "8", ""}, {"GHOST", "1", "9", "never printed"}, {"BOOK", "1", "20", ""}};
        const std::int32_t rec = Store(o);
        const std::size_t w = c.wide ? 54 : 40;
        const std::string expected =
            kOpen + Heading("     Layaway", c.wide, false) + c.items + Rule(w) +
            L(B(7) + "Sub Total: " + B(16) + "32.00") + L(B(7) + "Discount:   (10.00 %)" + B(7) + "3.20") +
            L(B(7) + "GST:       " + B(17) + "1.44") + L(B(7) + "PST:       " + B(17) + "2.16") +
            L(B(7) + "Total:     " + B(16) + "32.40") + L(B(7) + "Balance:" + B(10) + B(9) + "32.40") + Rule(w) +
            kClose;
        EXPECT_EQ(Print(rec), expected);
    }
}

TEST_F(OrderDocumentTest, CardSlipByEntryKindAndBackEndWithTheNumberAlwaysMasked) {
    struct Case {
        const char* name;
        bool wide;
        bool french;
        CardBackend backend;
        Order::Payment card;
        std::string slip;
    };
    const std::string narrowRule = L("X" + std::string(39, '-'));
    const std::string wideRule = L("X" + std::string(49, '-'));
    const std::vector<Case> cases = {
        {"keyed, exchange-file back-end",
         false,
         false,
         CardBackend::ExchangeFiles,
         {"4", "20", "0012345A\"", "2", "4111111111111111", "1227", ""},
         L("PURCHASE") + L("AMOUNT: 20.00") + L("Visa Card") + L("MANUAL") +
             L("XXXXXXXXXXXX1111" + B(5) + "Expiry: 1227" + B(6)) + L("AUTHORIZATION: 12345") + L("") +
             L(B(18) + "APPROVED") + L("") + L("") + L("") + narrowRule + L(B(9) + "Customer's Signature") + L("") +
             L("")},
        {"swiped, terminal back-end",
         false,
         false,
         CardBackend::Terminal,
         {"4", "20", "001234", "1", "5500000000000004", "0128", "  JOHN SMITH  "},
         L("PURCHASE") + L("AMOUNT: 20.00") + L("Visa Card") + L("SWIPE") +
             L("XXXXXXXXXXXX0004" + B(5) + "Expiry: 0128" + B(6)) + L("AUTHORIZATION: 001234") + L("") +
             L(B(18) + "APPROVED") + L("") + L("") + L("") + narrowRule + L(B(14) + "JOHN SMITH") + L("") + L("")},
        {"keyed, French client, wide paper",
         true,
         true,
         CardBackend::ExchangeFiles,
         {"4", "20", "00A1\"", "2", "4111111111111111", "1227", ""},
         L("PURCHASE") + L("MONTANT: 20.00") + L("Visa Card") + L("MANUAL") +
             L("XXXXXXXXXXXX1111" + B(5) + "Expir.: 1227" + B(6)) + L("AUTHORIZATION: A1") + L("") +
             L(B(18) + "APPROVED") + L("") + L("") + L("") + wideRule + L(B(14) + "Signature du Cliente") + L("") +
             L("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gCardBackend = c.backend;
        gSettings.gFullCardNumberCopy = true;  // never honoured on the order document
        // The card pays part; cash tendered 35.00 pays the rest with 5.00
        // change, so the card is not the last payment.
        Order o;
        o.client = c.french ? "C200" : "C100";
        o.subtotal = "50";
        o.total = "50";
        o.change = "5";
        o.payments = {c.card, {"1", "30"}};
        const std::int32_t rec = Store(o);
        const std::size_t w = c.wide ? 54 : 40;
        const std::string payments =
            c.french ? L(B(7) + "Sous Total:" + B(16) + "50.00") + L(B(7) + "Total:     " + B(16) + "50.00") +
                           L(B(7) + "Visa Card" + B(9) + B(9) + "20.00") + L(B(7) + Pad(c.card.reference, 20)) +
                           L(B(7) + "Cash" + B(14) + B(9) + "35.00") + L(B(7) + "Monnaie" + B(11) + B(10) + "5.00")
                     : L(B(7) + "Sub Total: " + B(16) + "50.00") + L(B(7) + "Total:     " + B(16) + "50.00") +
                           L(B(7) + "Visa Card" + B(9) + B(9) + "20.00") + L(B(7) + Pad(c.card.reference, 20)) +
                           L(B(7) + "Cash" + B(14) + B(9) + "35.00") + L(B(7) + "Change" + B(12) + B(10) + "5.00");
        const std::string expected = kOpen + Heading(c.french ? "   Mise-de-Cote" : "     Layaway", c.wide, c.french) +
                                     Rule(w) + payments + Rule(w) + c.slip + kClose;
        EXPECT_EQ(Print(rec), expected);
    }
}

TEST_F(OrderDocumentTest, RefundByCardPrintsNoNameUnderTheRule) {
    Order o;
    o.type = "10";
    o.subtotal = "-20";
    o.total = "-20";
    o.lines = {{"BOOK", "-1", "20", ""}};
    o.payments = {{"4", "-20", "", "2", "4111111111111111", "", ""}};
    const std::int32_t rec = Store(o);
    const std::string expected =
        kOpen + Heading("       RMA", false, false) + L("Book" + B(21) + " each ") +
        L(B(6) + "Qty: -1       x" + B(3) + "20.00 =" + B(2) + "$-20.00") + Rule(40) +
        L(B(7) + "Sub Total: " + B(15) + "-20.00") + L(B(7) + "Total:     " + B(15) + "-20.00") +
        L(B(7) + "Visa Card" + B(9) + B(8) + "-20.00") + Rule(40) + L("REFUND") + L("AMOUNT: -20.00") + L("Visa Card") +
        L("MANUAL") + L("XXXXXXXXXXXX1111" + B(5) + "Expiry: " + B(10)) + L("AUTHORIZATION: " + B(6)) + L("") +
        L(B(18) + "APPROVED") + L("") + L("") + L("") + L("X" + std::string(39, '-')) + L("") + L("") + kClose;
    EXPECT_EQ(Print(rec), expected);
}

TEST_F(OrderDocumentTest, TitleFollowsOrderKindAndDocumentType) {
    struct Case {
        const char* kind;
        const char* type;
        const char* english;
        const char* french;
    };
    const std::vector<Case> cases = {
        {"1", "1 ", "   Special Order", "Commande Spécial"}, {"1", "11", "     Layaway", "   Mise-de-Cote"},
        {"1", "5 ", "    Quotation", "    Soumission"},      {"1", "10", "       RMA", "       RMA"},
        {"1", "9 ", "    Draft Order", "Commande Draft"},    {"2", "11", "    Store Order", "Commande de Magasin"},
        {"1", "7 ", "   Special Order", "Commande Spécial"},  // a type the writer never stores
    };
    for (const Case& c : cases) {
        for (const bool french : {false, true}) {
            SCOPED_TRACE(std::string(c.kind) + "/" + c.type + (french ? " French" : " English"));
            TearDown();
            SetUp();
            Order o;
            o.kind = c.kind;
            o.type = c.type;
            o.client = french ? "C200" : "C100";
            const std::string out = Print(Store(o));
            EXPECT_EQ(out.substr(0, kOpen.size() + 12 + T(W(french ? c.french : c.english)).size()),
                      kOpen + L("MY STORE") + L("") + T(W(french ? c.french : c.english)));
        }
    }
}

// An order kept without a delivery date (a store order, an order fetched
// from the back office) prints no date, never "/Jan/".
TEST_F(OrderDocumentTest, ABlankDeliveryDatePrintsNoDate) {
    Order o;
    o.deliveryDate = "";
    const std::string out = Print(Store(o));
    EXPECT_EQ(out.find("/Jan/"), std::string::npos) << out;
    EXPECT_EQ(out.find("/January/"), std::string::npos) << out;
}

TEST_F(OrderDocumentTest, ClientBlockByClientKindAndLanguageByClient) {
    // A client entered at the register, in the new-client file.
    Open_FileNewClient();
    gData.newFile.Write(1, Pad("2", 498));
    gData.newFile.Write(
        2,
        Fixed(497, {{3, "N0000002"}, {11, "Paul Martin"}, {56, "77 Lake Road"}, {116, "Lakeside"}, {188, "555-0199"}}));
    gData.newFile.Close();
    struct Case {
        const char* name;
        const char* client;
        std::int16_t terminalLanguage;
        std::string block;
        bool french;
    };
    // Each field prints whole, as stored.
    const std::string paul = L("Client:   " + Pad("Paul Martin", 30)) + L(B(10) + Pad("77 Lake Road", 30)) +
                             L(B(10) + Pad("Lakeside", 30)) + L("Telephone:" + Pad("555-0199", 20)) +
                             L("Number:   N0000002");
    const std::vector<Case> cases = {
        {"new client", "N2", 1, paul, false},
        {"new client on a French terminal", "N2", 2, paul, true},
        {"new client record outside the file", "N3", 1, "", false},
        {"default client", "1", 2, "", false},
        {"client language 3 prints in English", "C300", 2,
         L("Client:   " + Pad("Hans Weber", 30)) + L("Number:   00000300"), false},
        {"unknown client takes the terminal language", "C999", 2, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* ext : {".ORD", ".ORL", ".ORP"}) std::filesystem::remove(gConstants.paths.gDataPath + ext);
        gSettings.gLanguage = c.terminalLanguage;
        Order o;
        o.client = c.client;
        const std::int32_t rec = Store(o);
        // A reprint in the middle of a sale whose client was entered at the
        // register: the sale keeps its client.
        gData.gClientRecNo = 0;
        gData.gNewClientRecNo = 2;
        gData.gClientRec = "the sale's client";
        const std::string out = Print(rec);
        EXPECT_EQ(gData.gClientRecNo, 0);
        EXPECT_EQ(gData.gNewClientRecNo, 2);
        EXPECT_EQ(gData.gClientRec, "the sale's client");
        const std::string before = c.french ? L("Vendeur:  Bob") : L("Salesman: Bob");
        const std::string after = c.french ? "Livraison:" : "Delivery: ";
        const std::size_t from = out.find(before);
        const std::size_t to = out.find(after);
        ASSERT_NE(from, std::string::npos);
        ASSERT_NE(to, std::string::npos);
        EXPECT_EQ(out.substr(from + before.size(), to - from - before.size()), c.block);
    }
}

TEST_F(OrderDocumentTest, NothingPrintsForARecordOutsideTheOrderFile) {
    const std::int32_t rec = Store(Layaway("C100"));
    ASSERT_EQ(rec, 2);
    for (const std::int32_t r : {0, 1, 3}) {
        SCOPED_TRACE(r);
        gPrint.gPrintStatus = 0;
        EXPECT_EQ(Print(r), "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);  // nothing printed is not reported as printed
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_NE(Log().find("Order_Print: order record " + std::to_string(r) + " is not in the order file"),
                  std::string::npos);
    }
}

TEST_F(OrderDocumentTest, PrintingSwitchedOffOpensNothing) {
    const std::int32_t rec = Store(Layaway("C100"));
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 5;
    EXPECT_EQ(Print(rec), "");
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(gData.orders.IsOpen());
}

TEST_F(OrderDocumentTest, FailuresAreNeverReportedAsSuccess) {
    {
        SCOPED_TRACE("output that does not open");
        const std::int32_t rec = Store(Layaway("C100"));
        dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
        gSaleSave.gPrintRecordNo = rec;
        gSaleSave.gReceiptDuplicate = true;
        Order_Print();
        EXPECT_NE(gPrint.gPrintStatus, 0);
        EXPECT_TRUE(gSaleSave.gReceiptDuplicate);
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_NE(Log().find("Unable to open printer port"), std::string::npos);
    }
    TearDown();
    SetUp();
    {
        SCOPED_TRACE("order line file that does not open");
        const std::int32_t rec = Store(Layaway("C100"));
        std::filesystem::remove(gConstants.paths.gDataPath + ".ORL");
        std::filesystem::create_directory(gConstants.paths.gDataPath + ".ORL");
        EXPECT_EQ(Print(rec), "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_NE(Log().find("Order_Print: the order files cannot be opened"), std::string::npos);
    }
    TearDown();
    SetUp();
    {
        SCOPED_TRACE("output that fails part-way");
        gSettings.gWidePaper = 1;
        const std::int32_t rec = Store(Layaway("C100"));
        const std::string lp = dir.Write("lp.out", "");
        dir.Write(kDeviceMapFile, "LPT1=" + lp + "\n");
        gSettings.gPrinterType = PrinterType::Lpt1;
        gSaleSave.gPrintRecordNo = rec;
        {
            FileSizeLimit limit(700);
            Order_Print();
        }
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_FALSE(gData.orders.IsOpen());
        const std::string printed = dir.Read("lp.out");
        EXPECT_EQ(printed.size(), 700u);
        EXPECT_EQ(printed.substr(0, 3), kOpen);
        EXPECT_EQ(printed.find("FC"), std::string::npos);  // no feed or cut after a failure
        EXPECT_NE(Log().find("Order_Print: Error detected during printout of order"), std::string::npos);
    }
    TearDown();
    SetUp();
    {
        // The header counts a record the file does not hold: the opener cuts
        // the count back to the file, and record 3 is not there to print.
        SCOPED_TRACE("order record the file does not hold");
        Store(Layaway("C100"));
        {
            WorkFile f;
            ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ".ORD", 252));
            ASSERT_TRUE(f.Write(1, Pad("3", 238)));
        }
        EXPECT_EQ(Print(3), "");
        EXPECT_EQ(gPrint.gPrintStatus, 2);
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_NE(Log().find("order record 3 is not in the order file, nothing printed"), std::string::npos) << Log();
    }
}

}  // namespace
}  // namespace tarvo
