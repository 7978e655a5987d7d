// Kit expansion on the real road: product and kit files written as the back
// office sends them and loaded by the data layer, a code entered as the
// cashier scans it (Product_EnterCode), the sale engine adding the lines and
// the inventory expanding the kit.
#include "inventory/kits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "inventory/inventory_service.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "sale/sale_service.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "test_dir.h"

namespace tarvo {
namespace {

constexpr const char* kTerminal = "1234567";

struct Product {
    std::string key, price;
    bool weighed = false;
};

struct KitLine {
    std::string kit, key, quantity, price;
};

// What a test reads of a line.
struct Line {
    std::string key;
    double quantity;
    std::string price;
    bool kit;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Line& l) {
    return o << "{" << l.key << " x " << l.quantity << " at " << l.price << (l.kit ? ", kit component" : "") << "}";
}

class KitTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        Reg().services.sale = &engine;
        Reg().services.inventory = &inventory;
        gSettings.gProductKeyMode = ProductKey::Number;
        Products({{"A", "5.00"}, {"B", "2.50"}, {"C", "1.00"}, {"KIT", "20.00"}, {"PLAIN", "3.00"}});
        FreshSale();
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    void FreshSale() {
        gSale = SaleState{};
        gSale.gMode = RegisterMode::Sales;
        gData.gClientRecNo = 1;
        gData.gManualPrice = false;
        gReg.gKeyPage = KeyPage::Department1;
        gReg.gReceiptAreaContent = ReceiptAreaContent::Grid;
    }

    void Products(const std::vector<Product>& products) {
        std::vector<std::string> lines;
        int number = 1000;
        for (const Product& p : products) {
            std::string r =
                Fixed(273, {{1, std::to_string(++number)}, {12, p.key}, {60, "Item " + p.key}, {100, p.price}});
            if (p.weighed) r[8] = 'S';
            lines.push_back(r);
        }
        dir.Write(std::string("Files/") + kTerminal + ".PRD", CrLf(lines));
        Parse_FileProduct();
    }

    // Kit headers (code, number, type) and kit lines, both in key order.
    void Kits(const std::vector<std::vector<std::string>>& headers, const std::vector<KitLine>& lines) {
        std::vector<std::string> h, l;
        for (const auto& k : headers) h.push_back(Fixed(36, {{1, k[0]}, {21, k[1]}, {31, k[2]}}));
        for (const KitLine& k : lines)
            l.push_back(Fixed(55, {{1, k.kit}, {11, k.key}, {31, k.quantity}, {41, k.price}}));
        dir.Write(std::string("Files/") + kTerminal + ".KTM", CrLf(h));
        dir.Write(std::string("Files/") + kTerminal + ".KTD", CrLf(l));
        Parse_FileKit();
        ASSERT_EQ(gData.gKitCount, static_cast<std::int32_t>(headers.size()));
        ASSERT_EQ(gData.gKitLineCount, static_cast<std::int32_t>(lines.size()));
    }
    // KIT is kit 7 of `type`: two of A at 12.50, three of B.
    void TheKit(const std::string& type) {
        Kits({{"KIT", "7", type}}, {{"000007", "A", "2", "12.50"}, {"000007", "B", "3", ""}});
    }

    void Scan(const std::string& code, double quantity = 1) {
        gSale.gQuantity = quantity;
        Product_EnterCode(code);
    }

    std::vector<Line> Lines() const {
        std::vector<Line> out;
        for (int i = 1; i <= gSale.gItemCount; ++i) {
            const SaleLine& l = gSale.gLines[static_cast<std::size_t>(i)];
            out.push_back({l.key, l.quantity, l.unitPrice.Format("0.00"), l.kitComponent});
        }
        return out;
    }
    std::string MessageLine() const { return screen.Text(kMessageLine); }
    std::string Log() const { return dir.Read(std::string("Files/") + kTerminal + ".LOG"); }

    TestDir dir;
    SaleEngineImpl engine;
    InventoryDocuments inventory;
};

TEST_F(KitTest, EachTypePricesItsComponentsAndTheKitQuantityScalesThem) {
    struct Case {
        const char* type;
        std::vector<Line> components;
    };
    const Case cases[] = {
        {"1", {{"A", 6, "5.00", false}, {"B", 9, "2.50", false}}},
        {"2", {{"A", 6, "0.00", false}, {"B", 9, "0.00", false}}},
        {"3", {{"A", 6, "0.00", true}, {"B", 9, "0.00", true}}},
        // The kit line's price, whatever the catalogue says; none reads as 0.
        {"4", {{"A", 6, "12.50", false}, {"B", 9, "0.00", false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("type ") + c.type);
        FreshSale();
        TheKit(c.type);
        Scan("KIT", 3);
        std::vector<Line> expected{{"KIT", 3, "20.00", false}};
        expected.insert(expected.end(), c.components.begin(), c.components.end());
        EXPECT_EQ(Lines(), expected);
        EXPECT_EQ(gKits.gKitRecNo, 1);
        // The cashier's next entry starts clean.
        EXPECT_EQ(gSale.gQuantity, 1);
        EXPECT_FALSE(gData.gManualPrice);
        EXPECT_FALSE(gSale.gVoidMode);
        EXPECT_FALSE(gSale.gNextLineKitComponent);
        EXPECT_EQ(gSale.gKitCode, "");
        // The totals hold every line.
        Money sum;
        for (int i = 1; i <= gSale.gItemCount; ++i) sum += gSale.gLines[i].extension;
        EXPECT_EQ(gSale.gSubtotal, sum);
    }
}

TEST_F(KitTest, ATypeOutsideOneToFourIsNoKit) {
    for (const char* type : {"9", "0", " ", "x"}) {
        SCOPED_TRACE(std::string("type '") + type + "'");
        FreshSale();
        TheKit(type);
        gKits.gKitRecNo = 5;
        Scan("KIT", 3);
        EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 3, "20.00", false}}));
        EXPECT_EQ(gKits.gKitRecNo, 0);
    }
}

TEST_F(KitTest, KitNumbersMatchTheirSixDigitForm) {
    struct Case {
        const char* number;
        const char* lines;
    };
    const Case cases[] = {
        {"45", "000045"}, {"  45", "000045"}, {"000045", "000045"}, {"1234567", "234567"}, {"ab", "0000ab"}};
    for (const Case& c : cases) EXPECT_EQ(Kit_LineNumber(c.number), c.lines) << c.number;

    Kits({{"KIT", "45", "1"}}, {{"000045", "C", "1", ""}});
    Scan("KIT");
    EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 1, "20.00", false}, {"C", 1, "1.00", false}}));
}

// A kit of five lines between two others: a search on the kit number alone
// would land on its third line; every line is added, in file order.
TEST_F(KitTest, EveryLineOfTheKitIsAddedWhereverTheSearchLands) {
    Kits({{"KIT", "2", "1"}, {"PLAIN", "1", "1"}, {"Z", "3", "1"}}, {{"000001", "A", "1", ""},
                                                                     {"000001", "B", "1", ""},
                                                                     {"000001", "C", "1", ""},
                                                                     {"000002", "A", "1", ""},
                                                                     {"000002", "B", "2", ""},
                                                                     {"000002", "C", "3", ""},
                                                                     {"000002", "B", "4", ""},
                                                                     {"000002", "A", "5", ""},
                                                                     {"000003", "A", "1", ""},
                                                                     {"000003", "B", "1", ""},
                                                                     {"000003", "C", "1", ""}});
    Scan("KIT", 2);
    EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 2, "20.00", false},
                                          {"A", 2, "5.00", false},
                                          {"B", 4, "2.50", false},
                                          {"C", 6, "1.00", false},
                                          {"B", 8, "2.50", false},
                                          {"A", 10, "5.00", false}}));
}

// Returned and exchanged kits take their components back with the mode's
// sign; a voided kit voids its components (positive pending quantity, void
// mode); orders and adjustments expand as a sale does.
TEST_F(KitTest, ComponentsFollowTheKitLineInEveryMode) {
    struct Case {
        const char* name;
        RegisterMode mode;
        bool returnMode, exchangeMode;
        double kitQuantity, a, b;
    };
    const Case cases[] = {
        {"sale", RegisterMode::Sales, false, false, 2, 4, 6},
        {"return", RegisterMode::Sales, true, false, -2, -4, -6},
        {"exchange", RegisterMode::Sales, false, true, -2, -4, -6},
        {"order", RegisterMode::OrderEntry, false, false, 2, 4, 6},
        {"adjustment", RegisterMode::Adjustment, false, false, 2, 4, 6},
    };
    TheKit("1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshSale();
        gSale.gMode = c.mode;
        gSale.gReturnMode = c.returnMode;
        gSale.gExchangeMode = c.exchangeMode;
        Scan("KIT", 2);
        EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", c.kitQuantity, "20.00", false},
                                              {"A", c.a, "5.00", false},
                                              {"B", c.b, "2.50", false}}));
        EXPECT_FALSE(gSale.gVoidMode);
    }

    // An exchange line typed negative is one the customer takes: so are its components.
    FreshSale();
    gSale.gExchangeMode = true;
    Scan("KIT", -1);
    EXPECT_EQ(Lines(),
              (std::vector<Line>{{"KIT", 1, "20.00", false}, {"A", 2, "5.00", false}, {"B", 3, "2.50", false}}));
}

TEST_F(KitTest, AVoidedKitVoidsEachComponent) {
    TheKit("3");
    Scan("KIT", 3);
    gSale.gVoidMode = true;
    Scan("KIT", 3);
    const std::vector<Line> lines = Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], (Line{"KIT", -3, "20.00", false}));
    EXPECT_EQ(lines[4], (Line{"A", -6, "0.00", true}));
    EXPECT_EQ(lines[5], (Line{"B", -9, "0.00", true}));
    EXPECT_FALSE(gSale.gVoidMode);
    EXPECT_EQ(gSale.gSubtotal, Money());
}

// Components never sold cannot be voided: their lines are dropped, and
// nothing of the kit's price or void mode is left for the next entry.
TEST_F(KitTest, AVoidedKitWhoseComponentsWereNotSoldLeavesNothingPending) {
    TheKit("4");
    Scan("KIT");
    gSale.gItemCount = 1;  // only the kit line left
    gSale.gVoidMode = true;
    Scan("KIT");
    EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 1, "20.00", false}, {"KIT", -1, "20.00", false}}));
    EXPECT_EQ(MessageLine(), "Void Mode Cancelled");
    EXPECT_FALSE(gSale.gVoidMode);
    EXPECT_FALSE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Money());
    EXPECT_EQ(gSale.gQuantity, 1);
    Scan("C");
    EXPECT_EQ(Lines().back(), (Line{"C", 1, "1.00", false}));
}

TEST_F(KitTest, PurchasesReceiveTheKitProductItself) {
    TheKit("1");
    for (RegisterMode mode : {RegisterMode::PurchaseOrder, RegisterMode::Purchase, RegisterMode::NewPurchaseOrder}) {
        SCOPED_TRACE(RegisterMode_Name(mode));
        FreshSale();
        gSale.gMode = mode;
        gSale.gItemCount = 1;
        gSale.gLines[1].key = "KIT";
        gSale.gLines[1].quantity = 2;
        gSale.gKitCode = "KIT";
        Kit_Processing();
        EXPECT_EQ(gSale.gItemCount, 1);
    }
}

// Only the line just added is expanded: a kit whose entry added no line
// (here a price check), or a code that is not the last line's, adds nothing.
TEST_F(KitTest, NothingIsExpandedWithoutTheLineJustAdded) {
    Kits({{"KIT", "7", "1"}}, {{"000007", "A", "1", ""}});
    Scan("KIT");
    gSale.gItemCount = 1;  // as if its component had been voided away
    gSale.gPriceSearch = true;
    Scan("KIT");
    EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 1, "20.00", false}}));

    Scan("PLAIN");
    gSale.gKitCode = "KIT";
    Kit_Processing();
    EXPECT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gKitCode, "");  // used up
}

TEST_F(KitTest, ComponentsThatCannotBeAddedAreSkippedAndLogged) {
    Kits({{"KIT", "7", "1"}}, {{"000007", "GONE", "1", ""},
                               {"000007", "A", "0", ""},
                               {"000007", "A", "", ""},
                               {"000007", "A", "two", ""},
                               {"000007", "A", "-1", ""},
                               {"000007", "B", "1", ""},
                               {"000007", "C", "50000", ""}});
    Scan("KIT", 2);
    // C would be 100000: more than a sale line holds; never made 1.
    EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 2, "20.00", false}, {"B", 2, "2.50", false}}));
    EXPECT_EQ(MessageLine(), "Kit Quantity Out of Range: C x 100000");
    const std::string log = Log();
    EXPECT_NE(log.find("Kit_Processing: kit KIT, component GONE is not in the product file, skipped"),
              std::string::npos);
    for (const char* q : {"\"0\"", "\"\"", "\"two\"", "\"-1\""})
        EXPECT_NE(log.find(std::string("component A: quantity ") + q + " is not a positive number"), std::string::npos)
            << q;
    EXPECT_NE(log.find("Kit_Processing: kit KIT, component C: quantity 100000 out of range, not added"),
              std::string::npos);
    EXPECT_EQ(gSale.gQuantity, 1);
}

// A sale holds 400 lines: a kit goes in whole, or not at all and the
// cashier is told so.
TEST_F(KitTest, AKitThatWouldPassTheSalesLinesIsNotAddedAtAll) {
    TheKit("1");
    struct Case {
        int linesBefore;
        std::vector<Line> last;  // the sale's last lines afterwards
        const char* message;
        const char* total;
    };
    const Case cases[] = {
        // 397 + the kit and its two components: the sale is full.
        {397, {{"KIT", 1, "20.00", false}, {"A", 2, "5.00", false}, {"B", 3, "2.50", false}}, "", "$1,228.50"},
        {398,
         {{"PLAIN", 1, "3.00", false}},
         "Kit Could Not Be Added Whole (400 Lines at Most): KIT Not Added",
         "$1,194.00"},
        {399,
         {{"PLAIN", 1, "3.00", false}},
         "Kit Could Not Be Added Whole (400 Lines at Most): KIT Not Added",
         "$1,197.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linesBefore);
        FreshSale();
        for (int i = 0; i < c.linesBefore; ++i) Scan("PLAIN");
        ASSERT_EQ(gSale.gItemCount, c.linesBefore);
        screen.SetText(kMessageLine, "");
        Scan("KIT");
        const std::vector<Line> lines = Lines();
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.linesBefore) + (c.message[0] ? 0 : 3));
        EXPECT_EQ(std::vector<Line>(lines.end() - static_cast<std::ptrdiff_t>(c.last.size()), lines.end()), c.last);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(screen.Text(ControlId{Control::Rt_Total, 0}), c.total);
    }
    EXPECT_NE(Log().find("Kit_Processing: kit KIT: its 2 components need 2 lines, the sale has 1 left; "
                         "the kit is not added"),
              std::string::npos);
}

TEST_F(KitTest, AWeighedComponentTakesItsKitQuantityWithoutTheScale) {
    Products({{"A", "5.00"}, {"APPLES", "2.00", true}, {"KIT", "20.00"}});
    Kits({{"KIT", "7", "1"}}, {{"000007", "APPLES", "1.5", ""}});
    gSettings.gScalePort = 0;  // no scale at this register
    Scan("KIT", 2);
    EXPECT_EQ(Lines(), (std::vector<Line>{{"KIT", 2, "20.00", false}, {"APPLES", 3, "2.00", false}}));
    EXPECT_EQ(gSale.gScaleProductRecNo, 0);
    EXPECT_EQ(gSale.gScaleRequestCount, -1);
}

// The demo store's gift basket: a type 3 kit of coffee, two teas and cookies.
TEST_F(KitTest, TheDemoStoresGiftBasket) {
    for (const char* ext : {".PRD", ".KTM", ".KTD"})
        std::filesystem::copy_file(std::string(TARVO_SOURCE_DIR) + "/demo/Files/" + kTerminal + ext,
                                   dir / (std::string("Files/") + kTerminal + ext),
                                   std::filesystem::copy_options::overwrite_existing);
    Parse_FileProduct();
    Parse_FileKit();
    Scan("5001");
    EXPECT_EQ(Lines(), (std::vector<Line>{{"5001", 1, "24.99", false},
                                          {"1001", 1, "0.00", true},
                                          {"1003", 2, "0.00", true},
                                          {"4001", 1, "0.00", true}}));
}

}  // namespace
}  // namespace tarvo
