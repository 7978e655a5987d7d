// Product entry driven through the real data layer: a small product file is
// written as the back office sends it, loaded with Parse_FileProduct, looked
// up with Product_Find, and added with Product_Add; the totals are the sale
// engine's own. Other subsystems are recording stand-ins.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "register/key_fixture.h"
#include "register/register_keys.h"
#include "register_mode_print.h"
#include "sale/product_entry.h"

namespace tarvo {
namespace {

using Calls = std::vector<std::string>;

// The recording services, with the calls product entry makes of the printing,
// display, prompt-line, inventory and online subsystems.
class ProductKeys : public RecordingKeys {
public:
    void Scale_Open(std::function<bool(double)> weighed) override {
        calls.push_back("Scale_Open");
        DeviceStandIn::Scale_Open(std::move(weighed));  // starts the 10-second scale timer
    }
    void Scale_Close() override { calls.push_back("Scale_Close"); }
    void Item_PrintLine() override { calls.push_back("Item_PrintLine(" + gSale.gLines[1].key + ")"); }
    void Customer_PriceChecker() override { calls.push_back("Customer_PriceChecker"); }
    int PromptInCIA_Show(int question) override {
        calls.push_back("PromptInCIA_Show(" + std::to_string(question) + ")");
        gReg.gPromptLine = static_cast<std::int16_t>(question);  // the question opened, as the prompt line has it
        return 0;
    }
    void Product_Display_Info() override { calls.push_back("Product_Display_Info"); }
    void Purchase_PromptCost() override { calls.push_back("Purchase_PromptCost"); }
    void Purchase_PromptPrice() override { calls.push_back("Purchase_PromptPrice"); }
    void Purchase_PromptComment() override { calls.push_back("Purchase_PromptComment"); }
    void Purchase_AddProduct() override { calls.push_back("Purchase_AddProduct"); }
    void Online_Product_CheckStock(const std::string& product) override {
        calls.push_back("Online_Product_CheckStock(" + product + ")");
    }

    // The calls of the product-entry services only (the totals' calls left out).
    Calls EntryCalls() const {
        Calls out;
        for (const std::string& c : calls)
            if (c != "Total_Activate" && c != "Caption_Reset") out.push_back(c);
        return out;
    }
};

// One product of the product file.
struct Item {
    std::string number;                           // columns 1-8
    std::string key;                              // 12-31 (key mode "0")
    std::string description;                      // 60-89
    std::array<std::string, 5> prices{};          // levels 1-5 at 100, 115, 130, 145, 160
    std::string units;                            // 175-179
    std::string taxes;                            // 90-92
    std::string department;                       // 94-99
    bool weighed = false;                         // 9 "S"
    std::string stock, onOrder, third, location;  // 180, 190, 200, 250
};

std::string Record(const Item& i) {
    std::string r = Fixed(273, {{1, i.number},
                                {12, i.key},
                                {60, i.description},
                                {90, i.taxes},
                                {94, i.department},
                                {175, i.units},
                                {180, i.stock},
                                {190, i.onOrder},
                                {200, i.third},
                                {250, i.location}});
    if (i.weighed) r[8] = 'S';
    for (std::size_t level = 0; level < 5; ++level) r.replace(99 + 15 * level, i.prices[level].size(), i.prices[level]);
    return r;
}

Item Simple(std::string number, std::string key, std::string price, std::string units = "") {
    Item i;
    i.number = std::move(number);
    i.key = std::move(key);
    i.description = "Item " + i.key;
    i.prices[0] = std::move(price);
    i.units = std::move(units);
    return i;
}

std::string Cents(Money m) { return m.Format("0.00"); }

class ProductEntryTest : public RegisterTest {
protected:
    static constexpr const char* kTerminal = "1234567";

    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        Reg().services = &keys;
        ScaleTimer_Connect();
        for (int p = 1; p <= 8; ++p) screen.SetCaption(ControlId{Control::BDep, p}, "Page " + std::to_string(p));
        FreshSale();
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    // An empty sale in Sales mode with the default client attached and no taxes.
    void FreshSale() {
        gSale = SaleState{};
        gSale.gMode = RegisterMode::Sales;
        gData.gClientRecNo = 1;
        gData.gNewClientRecNo = 0;
        gData.gManualPrice = false;
        gReg.gKeyPage = KeyPage::Department1;
        gReg.gLoggedOut = false;
        gReg.gReceiptAreaContent = ReceiptAreaContent::Grid;
    }

    // The product file as received, loaded into the working file (key order).
    void Store(const std::vector<Item>& items) {
        std::vector<std::string> lines;
        for (const Item& i : items) lines.push_back(Record(i));
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(lines));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, static_cast<std::int32_t>(items.size()));
    }

    // A code scanned or typed: looked up (a bar code may carry its price),
    // then added as a product line.
    void Scan(const std::string& code) {
        const ProductCode scanned = Product_SplitPriceCode(gSale.gCaseLetter + code);
        const std::optional<ProductMatch> found = Product_Find(scanned.key);
        if (scanned.price) {
            gData.gManualPrice = found.has_value();
            gData.gManualPriceValue = found ? *scanned.price : Money();
        }
        ASSERT_TRUE(found && found->recNo != 0) << code;
        Product_SetCurrent(scanned.key, found);
        gSale.gLineKind = "P";
        Product_Add();
    }

    // A line placed straight into the sale.
    void PlaceLine(const std::string& product, double quantity, Money unitPrice, const std::string& taxFlags = "   ") {
        SaleState& s = gSale;
        const int n = ++s.gItemCount;
        s.gLines[n].product = product;
        s.gLines[n].key = "K" + product;
        s.gLines[n].description = "Placed " + product;
        s.gLines[n].quantity = quantity;
        s.gLines[n].unitPrice = unitPrice;
        s.gLines[n].listPrice = unitPrice;
        s.gLines[n].priceUnits = 1;
        s.gLines[n].taxFlags = taxFlags;
    }

    const std::string& MessageLine() const { return screen.Text(kMessageLine); }
    const std::string& TimedPanel() const { return screen.Text(ControlId{Control::Txt_Message, 0}); }
    void Type(const std::string& text) { screen.SetTextFromView(kEntryBox, text); }

    TestDir dir;
    ProductKeys keys;
};

// ---- sale lines -----------------------------------------------------------------------------

TEST_F(ProductEntryTest, AScannedProductBecomesALineFromItsRecord) {
    Item hose = Simple("1001", "HOSE", "12.50");
    hose.description = "Garden hose 15 m";
    hose.taxes = "101";
    hose.department = "HOME";
    Store({hose});
    gSale.gTaxRate = {0, 5, 0, 8};  // tax 2 at 0: its flag is a blank
    gSale.gQuantity = 2;
    screen.Show(ControlId{Control::Greeting, 0}, true);

    Scan("HOSE");

    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 1);
    EXPECT_EQ(s.gLines[1].product, "1001");
    EXPECT_EQ(s.gLines[1].key, "HOSE");
    EXPECT_EQ(s.gLines[1].description, "Garden hose 15 m");
    EXPECT_EQ(s.gLines[1].department, "HOME");
    EXPECT_EQ(s.gLines[1].quantity, 2);
    EXPECT_EQ(s.gLines[1].priceUnits, 1);  // blank price units read as 1
    EXPECT_EQ(Cents(s.gLines[1].listPrice), "12.50");
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "12.50");
    EXPECT_EQ(Cents(s.gLines[1].extension), "25.00");
    EXPECT_EQ(s.gLines[1].taxFlags, "t t");
    EXPECT_EQ(s.gLines[1].note, "");
    EXPECT_FALSE(s.gLines[1].hasNote);
    EXPECT_FALSE(s.gLines[1].kitComponent);
    EXPECT_EQ(s.gQuantity, 1);  // back to 1 after the line
    // 25.00 + 5 % + 8 %: the totals ran after the line.
    EXPECT_EQ(Cents(s.gSubtotal), "25.00");
    EXPECT_EQ(Cents(s.gTotal), "28.25");
    // The cashier sees the line and the greeting is gone.
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 1}), "Garden hose 15 m");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Tax, 1}), "t t");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Extension, 1}), "$25.00");
    EXPECT_FALSE(screen.Visible(ControlId{Control::Greeting, 0}));
}

TEST_F(ProductEntryTest, TaxFlagsFollowTheRatesAndTheRecordsColumns) {
    struct Case {
        std::array<double, 4> rates;
        std::string taxes;
        std::string flags;
    };
    const Case cases[] = {
        {{0, 5, 0, 8}, "101", "t t"}, {{0, 5, 9.975, 8}, "101", "tnt"}, {{0, 5, 9.975, 8}, "010", "ntn"},
        {{0, 0, 0, 0}, "111", "   "}, {{0, 5, 9.975, 0}, "1 1", "tn "},  // only "1" counts as taxable
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.taxes);
        FreshSale();
        Item i = Simple("1001", "A", "1.00");
        i.taxes = c.taxes;
        Store({i});
        gSale.gTaxRate = c.rates;
        Scan("A");
        EXPECT_EQ(gSale.gLines[1].taxFlags, c.flags);
    }
}

// Extensions are UnitPrice x Quantity / PriceUnits. In the sale modes the
// totals settle every line's extension half away from zero; a purchase line
// keeps product entry's own rule (add half a cent, then the floor), which
// differs for negative half cents.
TEST_F(ProductEntryTest, QuantitiesPriceUnitsAndExtensionsToTheCent) {
    enum Modifier { kNone, kReturn, kExchange };
    struct Case {
        const char* name;
        std::string price, units;
        double typed;
        Modifier modifier;
        RegisterMode mode;
        double quantity;
        std::string list, unit, extension;
    };
    const Case cases[] = {
        // name, price level 1, price units, typed, modifier, mode: quantity, list, unit, extension
        {"3 at 10.00 for 2 units", "10.00", "2", 3, kNone, RegisterMode::Sales, 3, "10", "10.00", "15.00"},
        {"1.99 for 2 units, 3 sold", "1.99", "2", 3, kNone, RegisterMode::Sales, 3, "1.99", "1.99", "2.99"},
        {"a typed 0 sells 1", "4.99", "", 0, kNone, RegisterMode::Sales, 1, "4.99", "4.99", "4.99"},
        {"99999 or more sells 1", "4.99", "", 99999, kNone, RegisterMode::Sales, 1, "4.99", "4.99", "4.99"},
        {"just under 99999 is kept", "0.01", "", 99998.5, kNone, RegisterMode::Sales, 99998.5, "0.01", "0.01",
         "999.99"},
        {"a negative typed quantity sells 1", "4.99", "", -2, kNone, RegisterMode::Sales, 1, "4.99", "4.99", "4.99"},
        {"exchange of 3", "2.50", "", 3, kExchange, RegisterMode::Sales, -3, "2.5", "2.50", "-7.50"},
        {"exchange of a typed -2", "2.50", "", -2, kExchange, RegisterMode::Sales, 2, "2.5", "2.50", "5.00"},
        {"return of 2", "1.25", "", 2, kReturn, RegisterMode::Sales, -2, "1.25", "1.25", "-2.50"},
        {"return with no quantity is -1", "1.25", "", 0, kReturn, RegisterMode::Sales, -1, "1.25", "1.25", "-1.25"},
        {"price rounded to cents first", "1.005", "", 1, kNone, RegisterMode::Sales, 1, "1.005", "1.01", "1.01"},
        {"negative price: half a cent up", "-1.005", "", 1, kNone, RegisterMode::Sales, 1, "-1.005", "-1.00", "-1.00"},
        {"half a cent up", "0.05", "2", 1, kNone, RegisterMode::Sales, 1, "0.05", "0.05", "0.03"},
        {"sale: negative half cent away from zero", "0.05", "2", 1, kReturn, RegisterMode::Sales, -1, "0.05", "0.05",
         "-0.03"},
        {"sale: four decimals, ties to even", "0.99", "", 0.005, kNone, RegisterMode::Sales, 0.005, "0.99", "0.99",
         "0.01"},
        {"sale: negative tie to even", "0.99", "", 0.005, kReturn, RegisterMode::Sales, -0.005, "0.99", "0.99",
         "-0.01"},
        {"purchase: half a cent up", "0.05", "2", 1, kNone, RegisterMode::Purchase, 1, "0.05", "0.05", "0.03"},
        {"purchase: negative half cent up", "0.05", "2", 1, kReturn, RegisterMode::Purchase, -1, "0.05", "0.05",
         "-0.02"},
        {"purchase: negative tie to even", "0.99", "", 0.005, kReturn, RegisterMode::Purchase, -0.005, "0.99", "0.99",
         "0.00"},
        {"purchase: 3 at 10.00 for 2 units", "10.00", "2", 3, kNone, RegisterMode::Purchase, 3, "10", "10.00", "15.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshSale();
        Store({Simple("1001", "A", c.price, c.units)});
        gSale.gMode = c.mode;
        gSale.gPurchaseVendor = "V1";
        gSale.gReturnMode = c.modifier == kReturn;
        gSale.gExchangeMode = c.modifier == kExchange;
        gSale.gQuantity = c.typed;
        Scan("A");
        const SaleState& s = gSale;
        ASSERT_EQ(s.gItemCount, 1);
        EXPECT_DOUBLE_EQ(s.gLines[1].quantity, c.quantity);
        EXPECT_EQ(s.gLines[1].listPrice.TextDisplay(), c.list);
        EXPECT_EQ(Cents(s.gLines[1].unitPrice), c.unit);
        EXPECT_EQ(Cents(s.gLines[1].extension), c.extension);
        EXPECT_EQ(s.gQuantity, 1);
    }
}

TEST_F(ProductEntryTest, ThePriceComesFromTheClientsPriceLevel) {
    Item i = Simple("1001", "A", "12.50");
    i.prices = {"12.50", "11.00", "10.255", "9.99", "8.75"};
    Store({i});
    struct Case {
        int level;
        std::string price, note;
    };
    const Case cases[] = {
        {1, "12.50", ""},       {2, "11.00", "Price 2"}, {3, "10.26", "Price 3"}, {4, "9.99", "Price 4"},
        {5, "8.75", "Price 5"}, {0, "12.50", ""},        {6, "12.50", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        FreshSale();
        gSale.gClientPriceLevel = static_cast<std::int16_t>(c.level);
        Scan("A");
        EXPECT_EQ(Cents(gSale.gLines[1].unitPrice), c.price);
        EXPECT_EQ(Cents(gSale.gLines[1].extension), c.price);
        EXPECT_EQ(gSale.gLines[1].note, c.note);
        EXPECT_FALSE(gSale.gLines[1].hasNote);
    }
    // The list price is the level's price as the file gives it.
    EXPECT_EQ(gSale.gLines[1].listPrice.Text(), "12.5");
    FreshSale();
    gSale.gClientPriceLevel = 3;
    Scan("A");
    EXPECT_EQ(gSale.gLines[1].listPrice.Text(), "10.255");
}

TEST_F(ProductEntryTest, AManualPriceIsUsedOnceWithTheListPriceKept) {
    Store({Simple("1001", "A", "12.50")});
    gSale.gClientPriceLevel = 2;  // a manual price wins over the level
    gData.gManualPrice = true;
    gData.gManualPriceValue = Money::FromRaw(99950);  // 9.995
    gSale.gQuantity = 2;
    Scan("A");
    Scan("A");

    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 2);
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "10.00");
    EXPECT_EQ(Cents(s.gLines[1].listPrice), "12.50");
    EXPECT_EQ(Cents(s.gLines[1].extension), "20.00");
    EXPECT_EQ(s.gLines[1].note, "Manual Price");
    EXPECT_FALSE(gData.gManualPrice);
    // The next product is back at its price (level 2 has none: 0).
    EXPECT_EQ(Cents(s.gLines[2].unitPrice), "0.00");
    EXPECT_EQ(s.gLines[2].note, "Price 2");
}

TEST_F(ProductEntryTest, APriceEmbeddedInTheBarCodeSellsTheProductAtThatPrice) {
    // "2" + five-digit product code + price in cents.
    gSettings.gPricePrefixStart = 1;
    gSettings.gPricePrefixEnd = 1;
    gSettings.gPricePrefix = "2";
    gSettings.gPriceCodeStart = 2;
    gSettings.gPriceCodeEnd = 6;
    gSettings.gPriceValueStart = 7;
    gSettings.gPriceValueEnd = 11;
    Store({Simple("1001", "12345", "3.00")});

    Scan("21234500257");
    gSale.gReturnMode = true;
    Scan("21234500199");

    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 2);
    EXPECT_EQ(s.gLines[1].key, "12345");
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "2.57");
    EXPECT_EQ(Cents(s.gLines[1].listPrice), "3.00");
    EXPECT_EQ(s.gLines[1].note, "Manual Price");
    EXPECT_EQ(Cents(s.gLines[2].extension), "-1.99");
    EXPECT_EQ(Cents(s.gTotal), "0.58");
    EXPECT_FALSE(gData.gManualPrice);
}

TEST_F(ProductEntryTest, TheKitComponentFlagIsSetOnEveryNewLine) {
    Store({Simple("1001", "A", "1.00")});
    // A stale flag in the slot of the next line must not stick to it.
    gSale.gLines[1].kitComponent = true;
    Scan("A");
    EXPECT_FALSE(gSale.gLines[1].kitComponent);
    // Kit expansion marks the next line.
    gSale.gNextLineKitComponent = true;
    Scan("A");
    EXPECT_TRUE(gSale.gLines[2].kitComponent);
    EXPECT_FALSE(gSale.gNextLineKitComponent);
    Scan("A");
    EXPECT_FALSE(gSale.gLines[3].kitComponent);
}

TEST_F(ProductEntryTest, AProductKnownOnlyAsEnteredAtThisRegisterAddsNoLine) {
    Store({Simple("1001", "A", "1.00")});
    gData.gProductRecNo = 0;
    gData.gNewProductRecNo = 2;  // what Product_Find leaves for such a product
    gSale.gLineKind = "P";
    Product_Add();
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(MessageLine(), "Not Found");
}

TEST_F(ProductEntryTest, TheGridFollowsTheNewestLine) {
    Store({Simple("1001", "A", "1.00")});
    for (int i = 1; i <= 7; ++i) Scan("A");
    EXPECT_EQ(gSale.gTopLine, 1);
    Scan("A");
    EXPECT_EQ(gSale.gTopLine, 2);
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Number, 7}), "8");
    EXPECT_EQ(Cents(gSale.gTotal), "8.00");
}

// ---- voids ----------------------------------------------------------------------------------

TEST_F(ProductEntryTest, AProductIsVoidedOncePerSale) {
    Store({Simple("1001", "A", "2.00"), Simple("1002", "B", "3.00"), Simple("1003", "C", "4.00")});
    Scan("A");
    Scan("A");
    Scan("B");

    // Sold on two lines: the first void is accepted.
    gSale.gVoidMode = true;
    Scan("A");
    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 4);
    EXPECT_EQ(s.gLines[4].quantity, -1);
    EXPECT_EQ(Cents(s.gLines[4].extension), "-2.00");
    EXPECT_EQ(s.gCheckResult, 1);
    EXPECT_FALSE(s.gVoidMode);
    EXPECT_EQ(Cents(s.gTotal), "5.00");

    // Already voided: refused, the line dropped, void mode over.
    struct Case {
        const char* name;
        std::string code;
    };
    for (const Case& c : {Case{"voided before", "A"}, Case{"never sold", "C"}}) {
        SCOPED_TRACE(c.name);
        gSale.gVoidMode = true;
        gSale.gQuantity = 1;
        Scan(c.code);
        EXPECT_EQ(s.gItemCount, 4);
        EXPECT_EQ(s.gCheckResult, 0);
        EXPECT_FALSE(s.gVoidMode);
        EXPECT_EQ(MessageLine(), "Void Mode Cancelled");
        EXPECT_EQ(Cents(s.gTotal), "5.00");
    }

    // A void of 2: the typed quantity, negated.
    gSale.gVoidMode = true;
    gSale.gQuantity = 2;
    Scan("B");
    ASSERT_EQ(s.gItemCount, 5);
    EXPECT_EQ(s.gLines[5].quantity, -2);
    EXPECT_EQ(Cents(s.gLines[5].extension), "-6.00");
    EXPECT_EQ(Cents(s.gTotal), "-1.00");
}

TEST_F(ProductEntryTest, AVoidOnAnEmptySaleDoesNothing) {
    Store({Simple("1001", "A", "2.00")});
    gSale.gVoidMode = true;
    Scan("A");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_TRUE(gSale.gVoidMode);
}

// ---- department keys ------------------------------------------------------------------------

TEST_F(ProductEntryTest, ProductKindDepartmentKeysSellTheirTarget) {
    Item hat = Simple("2001", "aHAT", "15.00");
    Store({Simple("2002", "HAT", "12.00"), hat});
    gSettings.Departments[27] = DepartmentKey{"27", "Hats", "", "P", "HAT"};
    Department_Process(27);

    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 1);
    EXPECT_EQ(s.gLineKind, "P");
    EXPECT_EQ(s.gLines[1].product, "2002");
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "12.00");
    EXPECT_EQ(s.gLines[1].note, "");
    EXPECT_EQ(keys.EntryCalls(), (Calls{"Kit_Processing(HAT)"}));

    // The case letter goes in front of the target and is used up.
    gSale.gCaseLetter = "a";
    Department_Process(27);
    ASSERT_EQ(s.gItemCount, 2);
    EXPECT_EQ(s.gLines[2].product, "2001");
    EXPECT_EQ(s.gCaseLetter, "");

    // A target the file does not hold.
    gSettings.Departments[28] = DepartmentKey{"28", "Gone", "", "P", "NOPE"};
    keys.calls.clear();
    Department_Process(28);
    EXPECT_EQ(s.gItemCount, 2);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_EQ(TimedPanel(), "Not Found");
    EXPECT_TRUE(keys.EntryCalls().empty());
}

TEST_F(ProductEntryTest, PriceKindDepartmentKeysSellAtTheTypedPrice) {
    Item misc = Simple("3001", "MISC", "0");
    misc.taxes = "100";
    Store({misc});
    gSettings.Departments[5] = DepartmentKey{"5", "Misc", "", "D", "MISC"};
    gSale.gTaxRate = {0, 5, 0, 0};

    struct Case {
        const char* name;
        std::string typed;
        int lines;
        std::string price, message;
    };
    const Case cases[] = {
        {"a typed price", "7.25", 1, "7.25", ""},
        {"a negative price", "-3.10", 1, "-3.10", ""},
        {"a price with more decimals", "7.255", 1, "7.26", ""},
        {"nothing typed", "", 0, "", "Invalid Entry"},
        {"a price too wide for the line", "1234567.89", 0, "", "Invalid Entry"},
        {"a price beyond any amount", "99999999999999999999", 0, "", "Invalid Entry"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshSale();
        gSale.gTaxRate = {0, 5, 0, 0};
        screen.SetText(kMessageLine, "");
        Type(c.typed);
        Department_Process(5);
        const SaleState& s = gSale;
        ASSERT_EQ(s.gItemCount, c.lines);
        EXPECT_EQ(MessageLine(), c.message);
        if (c.lines == 0) continue;
        EXPECT_EQ(s.gLineKind, "D");
        EXPECT_EQ(Cents(s.gLines[1].unitPrice), c.price);
        EXPECT_EQ(s.gLines[1].listPrice.Text(), Money::Parse(c.typed)->Text());
        EXPECT_EQ(s.gLines[1].note, "Department");
        EXPECT_EQ(s.gLines[1].taxFlags, "t  ");
    }
    // 7.25 + 5 %: 7.6125 -> tax 0.36.
    FreshSale();
    gSale.gTaxRate = {0, 5, 0, 0};
    Type("7.25");
    Department_Process(5);
    EXPECT_EQ(Cents(gSale.gTax1), "0.36");
    EXPECT_EQ(Cents(gSale.gTotal), "7.61");
}

TEST_F(ProductEntryTest, APriceKindKeyWhoseTargetIsMissingEndsTheLookups) {
    Store({Simple("3001", "MISC", "0")});
    gSettings.Departments[6] = DepartmentKey{"6", "Lost", "", "D", "LOST"};
    gSale.gPriceSearch = true;
    gSale.gStockSearch = true;
    Type("5.00");
    Department_Process(6);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_EQ(TimedPanel(), "Not Found");
    EXPECT_FALSE(gSale.gPriceSearch);
    EXPECT_FALSE(gSale.gStockSearch);
    EXPECT_EQ(gSale.gDepartmentPrice, "");
}

// ---- products sold by weight ------------------------------------------------------------------

class ProductEntryWeightTest : public ProductEntryTest {
protected:
    void SetUp() override {
        ProductEntryTest::SetUp();
        Item apples = Simple("4001", "APPLES", "2.49");
        apples.weighed = true;
        apples.description = "Apples per kg";
        Store({apples, Simple("4002", "BREAD", "3.00")});
        gSettings.gScalePort = 2;
    }
    int ApplesRecord() const { return 1; }
};

TEST_F(ProductEntryWeightTest, TheWeightAddsTheProductThatAskedForIt) {
    Scan("APPLES");
    const SaleState& s = gSale;
    EXPECT_EQ(s.gItemCount, 0);
    EXPECT_EQ(keys.EntryCalls(), (Calls{"Scale_Open"}));
    EXPECT_EQ(s.gScaleProductRecNo, ApplesRecord());
    EXPECT_EQ(s.gScaleRequestCount, 0);
    EXPECT_EQ(s.gQuantity, 0);
    EXPECT_TRUE(timers.Running(TimerId::Scale));
    EXPECT_EQ(timers.Interval(TimerId::Scale), 10000);

    // Meanwhile the cashier checks the price of the bread.
    gSale.gPriceSearch = true;
    Scan("BREAD");
    EXPECT_EQ(s.gItemCount, 0);

    ASSERT_TRUE(Product_AddWeighed(1.235));
    ASSERT_EQ(s.gItemCount, 1);
    EXPECT_EQ(s.gLines[1].product, "4001");
    EXPECT_EQ(s.gLines[1].description, "Apples per kg");
    EXPECT_DOUBLE_EQ(s.gLines[1].quantity, 1.235);
    // 2.49 x 1.235 = 3.07515
    EXPECT_EQ(Cents(s.gLines[1].extension), "3.08");
    EXPECT_EQ(s.gScaleProductRecNo, 0);
    EXPECT_EQ(s.gScaleRequestCount, -1);
    EXPECT_EQ(s.gQuantity, 1);

    // The timer that fires afterwards has nothing to give up.
    screen.SetText(kMessageLine, "");
    timers.Tick(TimerId::Scale);
    EXPECT_EQ(MessageLine(), "");
    EXPECT_FALSE(timers.Running(TimerId::Scale));
}

TEST_F(ProductEntryWeightTest, AReturnedWeightIsNegative) {
    gSale.gReturnMode = true;
    Scan("APPLES");
    ASSERT_TRUE(Product_AddWeighed(0.5));
    // 2.49 x -0.5 = -1.245: half a cent, away from zero in a sale.
    EXPECT_EQ(gSale.gLines[1].quantity, -0.5);
    EXPECT_EQ(Cents(gSale.gLines[1].extension), "-1.25");
}

TEST_F(ProductEntryWeightTest, AWeightOfZeroOrLessIsRefused) {
    for (double weight : {0.0, -0.25}) {
        SCOPED_TRACE(weight);
        FreshSale();
        Scan("APPLES");
        EXPECT_FALSE(Product_AddWeighed(weight));
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(MessageLine(), "Scale Is at Zero, Try Again");
        // The request is over: a late timer says nothing and a late weight adds nothing.
        screen.SetText(kMessageLine, "");
        timers.Tick(TimerId::Scale);
        EXPECT_EQ(MessageLine(), "");
        EXPECT_FALSE(Product_AddWeighed(1.0));
        EXPECT_EQ(gSale.gItemCount, 0);
    }
}

TEST_F(ProductEntryWeightTest, WithNoScalePortTheCashierIsTold) {
    for (int port : {0, 7, -1}) {
        SCOPED_TRACE(port);
        FreshSale();
        keys.calls.clear();
        gSettings.gScalePort = static_cast<std::int16_t>(port);
        Scan("APPLES");
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(gSale.gScaleProductRecNo, 0);
        EXPECT_EQ(MessageLine(), "Unable to Open Scale Communication Port");
        EXPECT_TRUE(keys.EntryCalls().empty());
    }
}

TEST_F(ProductEntryWeightTest, AWeightTheLineCannotHoldIsNotKeptForTheNextProduct) {
    Scan("APPLES");
    EXPECT_FALSE(Product_AddWeighed(0.123456789));
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gScaleProductRecNo, 0);
    Scan("BREAD");
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].quantity, 1);
}

TEST_F(ProductEntryWeightTest, NoAnswerFromTheScaleWithin10Seconds) {
    Scan("APPLES");
    keys.calls.clear();
    timers.Tick(TimerId::Scale);
    EXPECT_EQ(MessageLine(), "Error: No Response from Scale");
    EXPECT_EQ(TimedPanel(), "Error: No Response from Scale");
    EXPECT_EQ(keys.EntryCalls(), (Calls{"Scale_Close"}));
    EXPECT_EQ(gSale.gScaleProductRecNo, 0);
    EXPECT_EQ(gSale.gScaleRequestCount, -1);
    EXPECT_FALSE(timers.Running(TimerId::Scale));
    EXPECT_FALSE(Product_AddWeighed(1.0));
    // The next product gets its usual quantity, not the 0 of the request.
    Scan("BREAD");
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].quantity, 1);
}

TEST_F(ProductEntryWeightTest, ALineAddedMeanwhileEndsTheRequest) {
    Scan("APPLES");
    gSale.gQuantity = 1;
    Scan("BREAD");
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gScaleProductRecNo, 0);
    screen.SetText(kMessageLine, "");
    timers.Tick(TimerId::Scale);
    EXPECT_EQ(MessageLine(), "");
    EXPECT_FALSE(Product_AddWeighed(1.0));
    EXPECT_EQ(gSale.gItemCount, 1);
}

TEST_F(ProductEntryWeightTest, AVoidedWeighedProductSkipsTheScale) {
    Scan("APPLES");
    ASSERT_TRUE(Product_AddWeighed(2.0));
    keys.calls.clear();
    gSale.gVoidMode = true;
    Scan("APPLES");
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[2].quantity, -1);
    EXPECT_EQ(Cents(gSale.gLines[2].extension), "-2.49");
    EXPECT_FALSE(keys.Called("Scale_Open"));
}

TEST_F(ProductEntryWeightTest, ADepartmentPriceWaitsForTheWeight) {
    Item cheese = Simple("5001", "CHEESE", "0");
    cheese.weighed = true;
    Store({Simple("4002", "BREAD", "3.00"), cheese});
    gSettings.Departments[3] = DepartmentKey{"3", "Deli", "", "D", "CHEESE"};
    Type("12.00");
    Department_Process(3);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gDepartmentPrice, "12.00");
    Type("");  // the key emptied the entry box
    // A price check meanwhile looks up a product of its own.
    gSale.gPriceSearch = true;
    Scan("BREAD");

    ASSERT_TRUE(Product_AddWeighed(0.375));
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Cents(gSale.gLines[1].unitPrice), "12.00");
    EXPECT_EQ(gSale.gLines[1].note, "Department");
    EXPECT_EQ(Cents(gSale.gLines[1].extension), "4.50");
    EXPECT_EQ(gSale.gDepartmentPrice, "");
}

// ---- limits ---------------------------------------------------------------------------------

TEST_F(ProductEntryTest, The401stLineIsRefused) {
    Store({Simple("1001", "A", "1.00")});
    for (int i = 1; i <= 399; ++i) PlaceLine("9", 1, Money::FromUnits(1));
    gSale.gTopLine = 393;
    Scan("A");
    ASSERT_EQ(gSale.gItemCount, 400);
    EXPECT_EQ(gSale.gTopLine, 394);
    EXPECT_EQ(Cents(gSale.gTotal), "400.00");

    gData.gManualPrice = true;
    gData.gManualPriceValue = Money::FromUnits(5);
    gSale.gQuantity = 3;
    Scan("A");
    EXPECT_EQ(gSale.gItemCount, 400);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(Cents(gSale.gTotal), "400.00");
    EXPECT_EQ(gSale.gQuantity, 3);
    EXPECT_TRUE(gData.gManualPrice);
}

TEST_F(ProductEntryTest, ValuesBeyondTheLineFieldsAreRefusedWithoutChangingTheSale) {
    enum Modifier { kNone, kReturn, kVoid, kManualPrice };
    struct Case {
        const char* name;
        std::string price;
        double typed;
        Modifier modifier;
    };
    const Case cases[] = {
        {"a return of 150000", "1.00", 150000, kReturn},
        {"a void of 99999", "1.00", 99999, kVoid},
        {"a quantity of more than 9 characters", "1.00", 0.123456789, kNone},
        {"a price of more than 9 characters", "123456789.5", 1, kNone},
        {"a list price of more than 9 characters", "12345.123456", 1, kNone},
        {"a manual price of more than 9 characters", "1.00", 1, kManualPrice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshSale();
        Store({Simple("1001", "A", c.price), Simple("1002", "B", "2.00")});
        Scan("B");
        screen.SetText(kMessageLine, "");
        gSale.gQuantity = c.typed;
        gSale.gReturnMode = c.modifier == kReturn;
        gSale.gVoidMode = c.modifier == kVoid;
        gData.gManualPrice = c.modifier == kManualPrice;
        gData.gManualPriceValue = Money::FromUnits(1234567);  // "1234567" fits, with cents it does not
        gData.gManualPriceValue += Money::FromCents(89);
        Scan("A");
        const SaleState& s = gSale;
        EXPECT_EQ(s.gItemCount, 1);
        EXPECT_EQ(MessageLine(), "Invalid Entry");
        EXPECT_EQ(s.gQuantity, c.typed);
        EXPECT_EQ(s.gVoidMode, c.modifier == kVoid);
        EXPECT_EQ(gData.gManualPrice, c.modifier == kManualPrice);
        EXPECT_EQ(Cents(s.gTotal), "2.00");
    }
}

TEST_F(ProductEntryTest, ALineTheTotalsCannotHoldIsTakenBack) {
    // 92 lines of 99,999,999 x 99,998 fill the currency range nearly to the top.
    Store({Simple("1001", "BIG", "99999999"), Simple("1002", "B", "2.00")});
    for (int i = 1; i <= 92; ++i) PlaceLine("1001", 99998, Money::FromUnits(99999999));
    gSale.gTopLine = 86;
    gData.gManualPrice = false;
    gSale.gQuantity = 99998;
    gSale.gCaseLetter = "";
    Scan("BIG");
    EXPECT_EQ(gSale.gItemCount, 92);
    EXPECT_EQ(gSale.gTopLine, 86);
    EXPECT_EQ(gSale.gQuantity, 99998);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    // The grid shows the sale as it is.
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Number, 7}), "92");
}

// ---- first line, register modes and the payment page ------------------------------------------

TEST_F(ProductEntryTest, TheFirstLineNeedsAClientOrAVendorInSomeModes) {
    struct Case {
        RegisterMode mode;
        bool client;
        std::string vendor;
        int defaultPage;
        int lines;
        std::string message;
    };
    const Case cases[] = {
        {RegisterMode::Sales, false, "", 1, 0, "Begin by First Entering a Client"},
        {RegisterMode::OrderEntry, false, "", 1, 0, "Begin by First Entering a Client"},
        {RegisterMode::Training, false, "", 1, 0, "Begin by First Entering a Client"},
        {RegisterMode::Sales, true, "", 1, 1, ""},
        {RegisterMode::Receiving, false, "", 1, 1, ""},
        {RegisterMode::PurchaseOrder, true, "", 1, 0, "No Vendor Information Available"},
        {RegisterMode::Purchase, true, "", 1, 0, "No Vendor Information Available"},
        {RegisterMode::NewPurchaseOrder, true, "", 1, 0, "No Vendor Information Available"},
        {RegisterMode::Purchase, true, "V1", 1, 1, ""},
        {RegisterMode::Sales, true, "", 11, 0, ""},  // default page Extras: sales mode adds nothing
        {RegisterMode::OrderEntry, true, "", 11, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(RegisterMode_Name(c.mode));
        FreshSale();
        Store({Simple("1001", "A", "1.00")});
        gSale.gMode = c.mode;
        gData.gClientRecNo = 0;
        gData.gNewClientRecNo = c.client ? 7 : 0;  // a client entered at this register counts
        gSale.gPurchaseVendor = c.vendor;
        gSettings.gDefaultKeyPage = static_cast<std::int16_t>(c.defaultPage);
        screen.SetText(kMessageLine, "");
        Scan("A");
        EXPECT_EQ(gSale.gItemCount, c.lines);
        EXPECT_EQ(MessageLine(), c.message);
    }
    // Once the sale has a line, no more checks.
    FreshSale();
    gSettings.gDefaultKeyPage = 1;
    Store({Simple("1001", "A", "1.00")});
    Scan("A");
    gData.gClientRecNo = 0;
    Scan("A");
    EXPECT_EQ(gSale.gItemCount, 2);
}

TEST_F(ProductEntryTest, APurchaseLineAsksWhatTheSettingsAskFor) {
    struct Case {
        bool cost, price, comment;
        std::string asked;
    };
    const Case cases[] = {
        {true, true, true, "Purchase_PromptCost"},
        {false, true, true, "Purchase_PromptPrice"},
        {false, false, true, "Purchase_PromptComment"},
        {false, false, false, "Purchase_AddProduct"},
    };
    for (RegisterMode mode : {RegisterMode::PurchaseOrder, RegisterMode::Purchase, RegisterMode::NewPurchaseOrder}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(RegisterMode_Name(mode) + " " + c.asked);
            FreshSale();
            Store({Simple("1001", "A", "1.00")});
            gSale.gMode = mode;
            gSale.gPurchaseVendor = "V1";
            gSettings.gAskPurchaseCost = c.cost;
            gSettings.gAskPurchasePrice = c.price;
            gSettings.gAskPurchaseComment = c.comment;
            keys.calls.clear();
            Scan("A");
            EXPECT_EQ(gSale.gItemCount, 1);
            // No totals in the purchase modes.
            EXPECT_EQ(keys.calls, (Calls{"Product_Display_Info", c.asked}));
        }
    }
}

TEST_F(ProductEntryTest, TheOnlineStockCheckFollowsEveryLine) {
    Store({Simple("1001", "A", "1.00")});
    gSettings.gOnlineStockCheck = true;
    Scan("A");
    EXPECT_EQ(keys.EntryCalls(), (Calls{"Online_Product_CheckStock(1001)"}));
    EXPECT_EQ(gSale.gOnlineProduct, "1001");
}

TEST_F(ProductEntryTest, OnThePaymentPageProductsAreRefusedOrThePageLeft) {
    Store({Simple("1001", "A", "1.00")});
    gReg.gKeyPage = KeyPage::Payment;
    gSettings.gNoItemsOnPaymentPage = true;
    Scan("A");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);

    gSettings.gNoItemsOnPaymentPage = false;
    gSettings.gDefaultKeyPage = 3;
    Scan("A");
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department3);
}

TEST_F(ProductEntryTest, TheReceiptGridComesBackForANewLine) {
    Store({Simple("1001", "A", "1.00")});
    gReg.gReceiptAreaContent = ReceiptAreaContent::Totals;
    screen.Show(ControlId{Control::Rt_Description, 1}, false);
    Scan("A");
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
    EXPECT_TRUE(screen.Visible(ControlId{Control::Rt_Description, 1}));
}

// ---- price and stock search, price checker, price change ---------------------------------------

class ProductEntryLookupTest : public ProductEntryTest {
protected:
    void SetUp() override {
        ProductEntryTest::SetUp();
        Item hose = Simple("1001", "HOSE", "12.50");
        hose.description = "Garden hose 15 m";
        hose.prices[1] = "11.255";
        hose.stock = "42";
        hose.onOrder = "10";
        hose.third = "3";
        hose.location = "Aisle 4";
        Store({hose});
    }
};

TEST_F(ProductEntryLookupTest, APriceSearchShowsThePriceOfTheClientsLevel) {
    for (int level : {1, 2}) {
        SCOPED_TRACE(level);
        FreshSale();
        keys.calls.clear();
        gSale.gClientPriceLevel = static_cast<std::int16_t>(level);
        gSale.gPriceSearch = true;
        Scan("HOSE");
        std::string price = level == 1 ? "12.50" : "11.255";
        price.resize(12, ' ');
        std::string description = "Garden hose 15 m";
        description.resize(30, ' ');
        EXPECT_EQ(MessageLine(), "Price = $" + price + " " + description);
        EXPECT_EQ(gSale.gPriceCheckText, description);
        EXPECT_EQ(gSale.gPriceCheckPrice, level == 1 ? "$12.50" : "$11.26");
        EXPECT_EQ(timers.Interval(TimerId::CIA), 15000);
        EXPECT_FALSE(gSale.gPriceSearch);
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(keys.EntryCalls(), (Calls{"Customer_PriceChecker"}));
    }
}

TEST_F(ProductEntryLookupTest, ThePriceCheckerOnlyShowsPrices) {
    gSale.gMode = RegisterMode::PriceChecker;
    for (int i = 0; i < 2; ++i) Scan("HOSE");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(keys.Count("Customer_PriceChecker"), 2);
    EXPECT_EQ(gSale.gPriceCheckPrice, "$12.50");
}

TEST_F(ProductEntryLookupTest, AStockSearchShowsTheStockFigures) {
    gSale.gStockSearch = true;
    Scan("HOSE");
    EXPECT_EQ(MessageLine(), "Stk 42 Ord 10 3" + std::string(9, ' ') + " Loc: Aisle 4" + std::string(7, ' '));
    EXPECT_EQ(timers.Interval(TimerId::CIA), 15000);
    EXPECT_FALSE(gSale.gStockSearch);
    EXPECT_EQ(gSale.gItemCount, 0);
    // One-shot: the next scan sells.
    Scan("HOSE");
    EXPECT_EQ(gSale.gItemCount, 1);
}

TEST_F(ProductEntryLookupTest, InPriceChangeModeAProductOpensTheNewPriceQuestion) {
    gSale.gMode = RegisterMode::ChangePrice;
    Type("HOSE");
    Scan("HOSE");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gOnlineProduct, "1001");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Code, 0}), "HOSE");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Desc, 0}), "Garden hose 15 m");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Quantity, 0}), "$12.50");
    EXPECT_EQ(MessageLine(), "Input New Selling Price");
    EXPECT_FALSE(timers.Running(TimerId::CIA));  // no time limit
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(keys.EntryCalls(), (Calls{"PromptInCIA_Show(15)"}));
}

// ---- stock count --------------------------------------------------------------------------------

TEST_F(ProductEntryTest, StockCountRecordsEachCountAndAddsNoLine) {
    Item hose = Simple("00001001", "HOSE", "12.505", "2");
    hose.description = "Garden hose";
    Store({hose, Simple("1002", "RAKE", "9.00")});
    gSale.gMode = RegisterMode::StockCount;
    gSale.gStockCount = true;

    gSale.gQuantity = 3;
    Scan("HOSE");
    const SaleState& s = gSale;
    EXPECT_EQ(s.gItemCount, 0);
    EXPECT_EQ(s.gQuantity, 1);
    EXPECT_EQ(s.gLines[1].quantity, 3);
    // 12.505 -> 12.51; 12.51 x 3 / 2 = 18.765 -> 18.77
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "12.51");
    EXPECT_EQ(Cents(s.gLines[1].extension), "18.77");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Code, 0}), "HOSE");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Desc, 0}), "Garden hose");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Quantity, 0}), "3");
    EXPECT_EQ(keys.EntryCalls(), (Calls{"Item_PrintLine(HOSE)"}));

    // A shortage is counted as a negative quantity; each count is line 1 again.
    gSale.gQuantity = -2;
    Scan("RAKE");
    EXPECT_EQ(s.gItemCount, 0);
    EXPECT_EQ(s.gLines[1].product, "1002");
    EXPECT_EQ(screen.Caption(ControlId{Control::Lbl_Phys_Quantity, 0}), "-2");

    // A quantity the count file cannot hold is refused.
    gSale.gQuantity = 123.45;
    keys.calls.clear();
    Scan("HOSE");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_TRUE(keys.EntryCalls().empty());
    EXPECT_EQ(s.gQuantity, 1);

    const std::string file = dir.Read("Data/1234567.PHY");
    EXPECT_NE(file.find("1001    3        0"), std::string::npos);
    EXPECT_NE(file.find("1002    -2       0"), std::string::npos);
    EXPECT_EQ(file.find("123.45"), std::string::npos);
}

// ---- counting into a fetched order (modes 28 and 30) --------------------------------------------

class ProductEntryOrderTest : public ProductEntryTest {
protected:
    // Five order lines of products 1001..1005, each ordered `ordered`, with
    // the quantities already scanned.
    void Order(RegisterMode mode, const std::array<double, 5>& scanned, const std::string& ordered = "2") {
        FreshSale();
        gSale.gMode = mode;
        for (int i = 1; i <= 5; ++i) {
            PlaceLine(std::to_string(1000 + i), scanned[static_cast<std::size_t>(i - 1)], Money::FromUnits(i), ordered);
            gSale.gLines[i].sourceIndex = static_cast<std::int16_t>(i);
        }
        std::vector<Item> items;
        for (int i = 1; i <= 5; ++i)
            items.push_back(Simple("0000" + std::to_string(1000 + i), "P" + std::to_string(i), "1.00"));
        items.push_back(Simple("1009", "P9", "1.00"));
        Store(items);
    }
    std::vector<std::string> Products() const {
        std::vector<std::string> v;
        for (int i = 1; i <= gSale.gItemCount; ++i) v.push_back(gSale.gLines[i].product);
        return v;
    }
};

TEST_F(ProductEntryOrderTest, AScannedProductMovesBehindTheLinesAlreadyScanned) {
    Order(RegisterMode::ReceivePO, {1, 1, 0, 0, 0});
    Scan("P4");
    const SaleState& s = gSale;
    EXPECT_EQ(Products(), (std::vector<std::string>{"1001", "1002", "1004", "1003", "1005"}));
    EXPECT_EQ(s.gLines[3].quantity, 1);
    EXPECT_EQ(s.gLines[4].quantity, 0);
    // Every field travels with its line.
    EXPECT_EQ(s.gLines[3].sourceIndex, 4);
    EXPECT_EQ(s.gLines[4].sourceIndex, 3);
    EXPECT_EQ(s.gLines[3].key, "K1004");
    EXPECT_EQ(Cents(s.gLines[3].unitPrice), "4.00");
    EXPECT_EQ(s.gTopLine, 3);
    EXPECT_EQ(s.gQuantity, 1);
    EXPECT_EQ(s.gItemCount, 5);

    // Nothing scanned yet: the line goes to the top.
    Order(RegisterMode::ReceivePO, {0, 0, 0, 0, 0});
    gSale.gQuantity = 2;
    Scan("P5");
    EXPECT_EQ(Products(), (std::vector<std::string>{"1005", "1002", "1003", "1004", "1001"}));
    EXPECT_EQ(s.gLines[1].quantity, 2);
    EXPECT_EQ(s.gTopLine, 1);

    // A line already in place stays.
    Order(RegisterMode::ReceivePO, {1, 1, 0, 0, 0});
    Scan("P2");
    EXPECT_EQ(Products(), (std::vector<std::string>{"1001", "1002", "1003", "1004", "1005"}));
    EXPECT_EQ(s.gLines[2].quantity, 2);
    EXPECT_EQ(s.gTopLine, 2);
}

TEST_F(ProductEntryOrderTest, AProductNotOnTheOrderOrBeyondItIsRefused) {
    struct Case {
        const char* name;
        RegisterMode mode;
        std::string code;
        double typed;
        bool counted;
    };
    const Case cases[] = {
        {"not on the order", RegisterMode::ReceivePO, "P9", 1, false},
        {"receiving beyond the order", RegisterMode::ReceivePO, "P1", 5, true},
        {"packing up to the order", RegisterMode::PackOrder, "P1", 1, true},
        {"packing beyond the order", RegisterMode::PackOrder, "P1", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Order(c.mode, {1, 0, 0, 0, 0});
        keys.calls.clear();
        screen.SetText(kMessageLine, "");
        gSale.gQuantity = c.typed;
        Scan(c.code);
        EXPECT_EQ(gSale.gQuantity, 1);
        if (c.counted) {
            EXPECT_EQ(gSale.gLines[1].quantity, 1 + c.typed);
            EXPECT_EQ(MessageLine(), "");
        } else {
            EXPECT_EQ(gSale.gLines[1].quantity, 1);
            EXPECT_EQ(MessageLine(), "Not Found");
            EXPECT_EQ(TimedPanel(), "Not Found");
            EXPECT_EQ(keys.EntryCalls(), (Calls{"PlaySoundFile(1)"}));
        }
    }
}

// ---- soft-key pages, product search ---------------------------------------------------------------

TEST_F(ProductEntryTest, TheDefaultPageIsOpenedByItsKey) {
    gSettings.gExtrasPageOn = true;
    struct Case {
        int setting;
        KeyPage page;
    };
    const Case cases[] = {{1, KeyPage::Department1},  {2, KeyPage::Department2}, {8, KeyPage::Department8},
                          {9, KeyPage::Department1},  {10, KeyPage::System},     {11, KeyPage::Extras},
                          {12, KeyPage::Print},       {13, KeyPage::Sales},      {14, KeyPage::Special},
                          {15, KeyPage::Department1}, {16, KeyPage::Mode},       {17, KeyPage::Department1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        gReg.gKeyPage = KeyPage::None;
        gSettings.gDefaultKeyPage = static_cast<std::int16_t>(c.setting);
        Department_SetDefaultKey();
        EXPECT_EQ(gReg.gKeyPage, c.page);
    }
}

TEST_F(ProductEntryTest, ClearingTheSoftKeysBlanksAll24Captions) {
    gSettings.gDefaultKeyPage = 1;
    gSettings.Departments[24] = DepartmentKey{"24", "Last", "Key", "P", "X"};
    Department_SetDefaultKey();
    ASSERT_EQ(screen.Caption(ControlId{Control::mDept, 24}), "Last\r\nKey");
    Department_ClearButtons();
    for (int k = 1; k <= 24; ++k) EXPECT_EQ(screen.Caption(ControlId{Control::mDept, k}), "") << k;
}

TEST_F(ProductEntryTest, AProductWordSearchOpensTheSearchForm) {
    Item hose = Simple("1001", "HOSE", "1.00");
    hose.description = "Garden Hose";
    Item rake = Simple("1002", "RAKE", "1.00");
    rake.description = "Leaf Rake";
    Store({hose, rake});
    Index_Product();

    Type("HOS");
    Aux_Product();
    EXPECT_EQ(keys.EntryCalls(), (Calls{"SearchForm_Show"}));
    EXPECT_EQ(keys.searchForm, (SearchFormSetup{1, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10}));
    EXPECT_EQ(gData.gSearchFirst, gData.gSearchLast);
    EXPECT_NE(gData.gSearchFirst, 0);
    EXPECT_EQ(screen.Text(kEntryBox), "");

    keys.calls.clear();
    Type("shovel");
    Aux_Product();
    EXPECT_TRUE(keys.EntryCalls().empty());
    EXPECT_EQ(screen.Text(kEntryBox), "");
}

}  // namespace
}  // namespace tarvo
