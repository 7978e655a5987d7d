// Register modes and manager authorisation: the manager code in the entry
// box, the mode box, and every key of the Mode page with its refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "register/key_fixture.h"
#include "register_mode_print.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/totals.h"
#include "screen/receipt_area.h"

namespace tarvo {
namespace {

const ControlId kModeBox{Control::Txt_Mode, 0};
const ControlId kCountLabel{Control::Lbl_Phys_Code, 0};
const ControlId kGridCell{Control::Rt_Description, 1};

// The key services with the Mode page's documents and the printer recorded too.
class ModeKeys : public RecordingKeys {
public:
    void Purchase_Start() override { calls.push_back("Purchase_Start"); }
    void Adjustment_Prepare() override { calls.push_back("Adjustment_Prepare"); }
    void Adjustment_Cancel() override { calls.push_back("Adjustment_Cancel"); }
    void CommandFile_Create() override { calls.push_back("CommandFile_Create"); }
    void EntryForm_Show() override { calls.push_back("EntryForm_Show(" + std::to_string(gSale.gSearchKind) + ")"); }
    void Printer_Close(bool closeHandle) override {
        calls.push_back(closeHandle ? "Printer_Close(1)" : "Printer_Close(0)");
    }
};

class ModesTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        Reg().services = &modeKeys;
        LoggedIn();
        // Manager 1 has every right but the mode right (9), manager 2 only that one.
        AddManager("00000001", "111", "111111110");
        AddManager("00000002", "222", "000000001");
    }

    void AddManager(const std::string& number, const std::string& code, const std::string& rights) {
        gData.ManagerTable.push_back(ManagerRow{number, code, "Manager " + number, rights});
        gData.gManagerCount = static_cast<std::int32_t>(gData.ManagerTable.size() - 1);
    }
    bool Called(const std::string& call) const { return modeKeys.Called(call); }
    std::string ModeBox() const { return screen.Text(kModeBox); }
    // A sale in progress: one line on the receipt.
    void OneLine() { AddLine("1001", 1, Money::FromUnits(2)); }

    ModeKeys modeKeys;
};

// ---- Authorization_Verify and Manager_Required ------------------------------------------------

TEST_F(ModesTest, AuthorizationVerify) {
    AddManager("00000003", "555", "111111111");
    AddManager("00000004", "555", "111111111");  // same code as manager 3
    gData.ManagerTable.push_back(ManagerRow{"00000009", "999", "Beyond the count", "111111111"});

    struct Case {
        const char* entry;
        std::int32_t index;
        const char* message;
    };
    const Case cases[] = {
        {"222", 2, "earlier"},
        {"555", 3, "earlier"},  // the first in table order
        {"", 0, "Manager Authorization Required"},
        {"9999", 0, "Invalid Manager Authorization Code"},
        {" 222", 0, "Invalid Manager Authorization Code"},  // exact text only
        {"22", 0, "Invalid Manager Authorization Code"},
        {"999", 0, "Invalid Manager Authorization Code"},  // past gManagerCount
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("entry '") + c.entry + "'");
        gReg.gAuthorized = true;  // from an earlier code
        gReg.gManagerIndex = 4;
        screen.SetText(kMessageLine, "earlier");
        timers.Stop(TimerId::CIA);
        Type(c.entry);

        Authorization_Verify();

        EXPECT_EQ(gReg.gManagerIndex, c.index);
        EXPECT_EQ(gReg.gAuthorized, c.index != 0);
        EXPECT_EQ(MessageLine(), c.message);
        if (c.index == 0) {
            EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
        }
        EXPECT_EQ(Entry(), c.entry);  // the caller empties the entry box
    }
}

TEST_F(ModesTest, ManagerRequiredRemindsForTwoSecondsWhenRefused) {
    struct Case {
        const char* entry;
        bool authorised;
        const char* message;
        int seconds;
    };
    const Case cases[] = {
        {"", false, "Manager Authorization Required", 2},
        {"123", false, "Manager Authorization Required", 2},  // replaces "Invalid Manager Authorization Code"
        {"111", true, "earlier", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        screen.SetText(kMessageLine, "earlier");
        timers.Stop(TimerId::CIA);
        Type(c.entry);

        Manager_Required();

        EXPECT_EQ(gReg.gAuthorized, c.authorised);
        EXPECT_EQ(MessageLine(), c.message);
        if (c.seconds) {
            EXPECT_EQ(timers.Interval(TimerId::CIA), c.seconds * 1000);
        }
    }
}

// ---- Mode_Display -----------------------------------------------------------------------------

TEST_F(ModesTest, ModeDisplay) {
    struct Case {
        const char* name;
        RegisterMode mode;
        std::int16_t promptState;
        std::string modifiers;  // v void, r return, x exchange, p price search, s stock search, m manual price
        const char* text;
        RegisterMode modeAfter;
        double fontSize;  // 9 = kept
    };
    const Case cases[] = {
        {"sales", RegisterMode::Sales, 0, "", "Mode: Sales", RegisterMode::Sales, 9},
        {"order entry, 17 characters", RegisterMode::OrderEntry, 0, "", "Mode: Order Entry", RegisterMode::OrderEntry,
         12},
        {"purchase order, 15 characters", RegisterMode::PurchaseOrder, 0, "", "Mode: Pur.Order",
         RegisterMode::PurchaseOrder, 12},
        {"new purchase order shows the purchase order's name", RegisterMode::NewPurchaseOrder, 0, "", "Mode: Pur.Order",
         RegisterMode::NewPurchaseOrder, 12},
        {"purchase, 14 characters", RegisterMode::Purchase, 0, "", "Mode: Purchase", RegisterMode::Purchase, 9},
        {"adjustment, 16 characters", RegisterMode::Adjustment, 0, "", "Mode: Adjustment", RegisterMode::Adjustment,
         12},
        {"stock count", RegisterMode::StockCount, 0, "", "Mode: Stock Count", RegisterMode::StockCount, 12},
        {"receiving", RegisterMode::Receiving, 0, "", "Mode: Receiving", RegisterMode::Receiving, 12},
        {"training", RegisterMode::Training, 0, "", "Mode: Training", RegisterMode::Training, 9},
        {"price checker, 19 characters", RegisterMode::PriceChecker, 0, "", "Mode: Price Checker",
         RegisterMode::PriceChecker, 11},
        {"receive PO", RegisterMode::ReceivePO, 0, "", "Mode: Receive PO", RegisterMode::ReceivePO, 12},
        {"pack order", RegisterMode::PackOrder, 0, "", "Mode: Pack Order", RegisterMode::PackOrder, 12},
        {"change price, 18 characters", RegisterMode::ChangePrice, 0, "", "Mode: Change Price",
         RegisterMode::ChangePrice, 11},
        {"a named mode wins over the prompt", RegisterMode::Purchase, 2, "v", "Mode: Purchase", RegisterMode::Purchase,
         9},
        {"not a mode code", static_cast<RegisterMode>(99), 0, "", "Mode: Sales", RegisterMode::Sales, 9},
        {"a modifier's number is no mode", static_cast<RegisterMode>(20), 0, "", "Mode: Sales", RegisterMode::Sales, 9},
        {"login prompt", RegisterMode::Sales, 2, "", "Mode: Login", RegisterMode::Sales, 9},
        {"opening amount prompt", RegisterMode::Sales, 3, "", "Mode: Open.Amount", RegisterMode::Sales, 12},
        {"client number prompt", RegisterMode::Sales, 6, "", "Mode: Client Entry", RegisterMode::Sales, 11},
        {"prompt wins over modifiers", RegisterMode::Sales, 1, "vm", "Mode: Paidout", RegisterMode::Sales, 9},
        {"prompt state out of range", RegisterMode::Sales, 7, "", "Mode: Sales", RegisterMode::Sales, 9},
        {"void", RegisterMode::Sales, 0, "v", "Mode: Void Mode", RegisterMode::Sales, 12},
        {"void and manual price: the last wins", RegisterMode::Sales, 0, "vm", "Mode: Manual Price",
         RegisterMode::Sales, 11},
        {"return", RegisterMode::Sales, 0, "r", "Mode: Return", RegisterMode::Sales, 9},
        {"return and exchange", RegisterMode::Sales, 0, "rx", "Mode: Exchange", RegisterMode::Sales, 9},
        {"price search", RegisterMode::Sales, 0, "p", "Mode: Price Srch", RegisterMode::Sales, 12},
        {"price and stock search", RegisterMode::Sales, 0, "ps", "Mode: Stock Srch", RegisterMode::Sales, 12},
        {"modifier outside a named mode resets it", static_cast<RegisterMode>(99), 0, "r", "Mode: Return",
         RegisterMode::Sales, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSale.gMode = c.mode;
        gReg.gPromptState = static_cast<PromptState>(c.promptState);  // the mode box names it by number
        const auto has = [&](char m) { return c.modifiers.find(m) != std::string::npos; };
        gSale.gVoidMode = has('v');
        gSale.gReturnMode = has('r');
        gSale.gExchangeMode = has('x');
        gSale.gPriceSearch = has('p');
        gSale.gStockSearch = has('s');
        gData.gManualPrice = has('m');
        screen.SetFontSize(kModeBox, 9);
        screen.SetVisible(kModeBox, false);

        Mode_Display();

        EXPECT_EQ(ModeBox(), c.text);
        EXPECT_EQ(gSale.gMode, c.modeAfter);
        EXPECT_EQ(screen.State(kModeBox).font.size, c.fontSize);
        EXPECT_TRUE(screen.Visible(kModeBox));
    }
}

TEST_F(ModesTest, ModeDisplayFontSizeByLength) {
    struct Case {
        std::size_t nameLength;  // "Mode: " adds 6
        double fontSize;
    };
    const Case cases[] = {{8, 9}, {9, 12}, {11, 12}, {12, 11}, {15, 11}, {16, 10}, {24, 10}, {25, 9}, {40, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nameLength);
        gConstants.tables.ModeNameTable[28][1] = std::string(c.nameLength, 'x');
        gSale.gMode = RegisterMode::ReceivePO;
        screen.SetFontSize(kModeBox, 9);
        Mode_Display();
        EXPECT_EQ(screen.State(kModeBox).font.size, c.fontSize);
    }
}

TEST_F(ModesTest, ModeDisplayInFrench) {
    gSettings.gLanguage = 2;
    gSale.gMode = RegisterMode::StockCount;
    Mode_Display();
    EXPECT_EQ(ModeBox(), "Mode: Compte Physique");
    EXPECT_EQ(screen.State(kModeBox).font.size, 11);
}

// ---- Mode_Process: refusals ------------------------------------------------------------------

// With lines on the receipt every mode key but Sales Entry and leaving
// training answers "Operation Not Allowed in Mid Sale" and changes nothing.
TEST_F(ModesTest, MidSaleRefusesEveryModeChange) {
    struct Case {
        int key;
        bool emptiesEntry;
    };
    const Case cases[] = {{3, true},   {4, true},   {5, true},   {12, false}, {13, true}, {14, true}, {15, true},
                          {16, false}, {17, false}, {20, false}, {21, true},  {22, true}, {24, false}};
    gData.gClientRecNo = 5;
    gData.gVendorCount = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        gSale = SaleState{};
        OneLine();
        modeKeys.calls.clear();
        Type("222");  // a manager with the mode right
        screen.SetText(kModeBox, "before");

        Mode_Process(c.key);

        EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
        EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
        EXPECT_EQ(gSale.gItemCount, 1);
        EXPECT_FALSE(gSale.gStockCount);
        EXPECT_EQ(gSale.gSearchKind, 0);
        EXPECT_FALSE(gSale.gTaxExempt[1] || gSale.gTaxExempt[2] || gSale.gTaxExempt[3]);
        EXPECT_EQ(ModeBox(), "before");
        EXPECT_TRUE(modeKeys.calls.empty()) << modeKeys.calls.front();
        EXPECT_EQ(Entry(), c.emptiesEntry ? "" : "222");
    }
}

TEST_F(ModesTest, KeysWithoutAnActionDoNothing) {
    for (int key : {0, 2, 6, 7, 8, 9, 10, 11, 18, 19, 23, 25, -1}) {
        SCOPED_TRACE(key);
        Type("222");
        screen.SetText(kMessageLine, "earlier");
        Mode_Process(key);
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
        EXPECT_EQ(MessageLine(), "earlier");
        EXPECT_EQ(Entry(), "222");
        EXPECT_TRUE(modeKeys.calls.empty());
    }
}

// The keys that need a manager with the mode right: no code, a wrong code
// and a manager without the right are each told apart, and nothing happens.
TEST_F(ModesTest, ManagerWithTheModeRight) {
    struct Refusal {
        const char* entry;
        const char* message;
    };
    const Refusal refusals[] = {
        {"", "Manager Authorization Required"},
        {"333", "Invalid Manager Authorization Code"},
        {"111", "Manager Not Allowed Access"},
    };
    for (int key : {12, 16, 17, 24}) {
        for (const Refusal& r : refusals) {
            SCOPED_TRACE("key " + std::to_string(key) + " entry '" + r.entry + "'");
            gSale.gMode = RegisterMode::Sales;
            modeKeys.calls.clear();
            screen.SetEnabled(ControlId{Control::mTotalRegister, 0}, true);
            Type(r.entry);

            Mode_Process(key);

            EXPECT_EQ(MessageLine(), r.message);
            EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
            EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
            EXPECT_FALSE(gSale.gStockCount);
            EXPECT_FALSE(Called("CommandFile_Create"));
            EXPECT_TRUE(screen.Enabled(ControlId{Control::mTotalRegister, 0}));  // no sale started
            EXPECT_EQ(Entry(), key == 17 ? "" : r.entry);  // Change Price empties it in every case
        }
    }
}

// ---- Mode_Process: each key ---------------------------------------------------------------------

TEST_F(ModesTest, SalesEntry) {
    // From the price checker, no lines: a new sale in the sales mode.
    gSale.gMode = RegisterMode::PriceChecker;
    gSale.gStockCount = true;
    gSale.gSaleReference = "REF";
    screen.Show(kCountLabel, true);
    Mode_Process(1);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_FALSE(gSale.gStockCount);
    EXPECT_EQ(gSale.gSaleReference, "");  // the sale was started
    EXPECT_FALSE(screen.Visible(kCountLabel));
    EXPECT_TRUE(screen.Visible(kGridCell));
    EXPECT_EQ(ModeBox(), "Mode: Sales");
    EXPECT_EQ(MessageLine(), "");

    // In training a sale with lines is dropped.
    gSale.gMode = RegisterMode::Training;
    OneLine();
    Mode_Process(1);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(gSale.gItemCount, 0);

    // Outside training the lines stay and nothing is said.
    OneLine();
    gSale.gMode = RegisterMode::PriceChecker;
    screen.SetText(kMessageLine, "earlier");
    Mode_Process(1);
    EXPECT_EQ(gSale.gMode, RegisterMode::PriceChecker);
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(MessageLine(), "earlier");
}

TEST_F(ModesTest, PurchaseKeys) {
    struct Case {
        int key;
        bool isOrder;
    };
    for (const Case& c : {Case{3, true}, Case{4, false}}) {
        SCOPED_TRACE(c.key);
        gSale.gMode = RegisterMode::Sales;
        gSale.gPurchaseIsOrder = !c.isOrder;
        modeKeys.calls.clear();

        // No vendors: refused, the mode box refreshed.
        gData.gVendorCount = 0;
        Type("55");
        Mode_Process(c.key);
        EXPECT_EQ(MessageLine(), "No Vendor Information Available");
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
        EXPECT_EQ(gSale.gPurchaseIsOrder, !c.isOrder);
        EXPECT_FALSE(Called("Purchase_Start"));
        EXPECT_EQ(ModeBox(), "Mode: Sales");
        EXPECT_EQ(Entry(), "");

        gData.gVendorCount = 12;
        Mode_Process(c.key);
        EXPECT_EQ(gSale.gMode, RegisterMode::Purchase);
        EXPECT_EQ(gSale.gPurchaseIsOrder, c.isOrder);
        EXPECT_TRUE(Called("Purchase_Start"));
        EXPECT_EQ(ModeBox(), "Mode: Purchase");
    }
}

TEST_F(ModesTest, NewClientNeedsAClientToCopy) {
    // No client: said before the lines are looked at.
    OneLine();
    Type("55");
    Mode_Process(5);
    EXPECT_EQ(MessageLine(), "Begin by selecting a client to duplicate");
    EXPECT_EQ(Entry(), "");
    EXPECT_FALSE(Called("EntryForm_Show(18)"));

    gSale.gItemCount = 0;
    gData.gNewClientRecNo = 4;  // a new client is not one to copy
    Mode_Process(5);
    EXPECT_EQ(MessageLine(), "Begin by selecting a client to duplicate");

    gData.gClientRecNo = 7;
    Mode_Process(5);
    EXPECT_EQ(gSale.gSearchKind, 18);
    EXPECT_EQ(modeKeys.calls, (std::vector<std::string>{"EntryForm_Show(18)"}));
    EXPECT_EQ(ModeBox(), "Mode: Sales");
}

TEST_F(ModesTest, NewProduct) {
    Type("55");
    Mode_Process(13);
    EXPECT_EQ(gSale.gSearchKind, 19);
    EXPECT_EQ(modeKeys.calls, (std::vector<std::string>{"EntryForm_Show(19)"}));
    EXPECT_EQ(Entry(), "");
}

TEST_F(ModesTest, StockAdjustmentKeys) {
    struct Case {
        int key;
        RegisterMode mode;
        const char* call;
        std::int16_t direction;  // after the key; 7 = untouched
    };
    const Case cases[] = {
        {14, RegisterMode::Sales, "Adjustment_Prepare", -1},
        {15, RegisterMode::Sales, "Adjustment_Prepare", 1},
        {14, RegisterMode::Adjustment, "Adjustment_Cancel", 7},  // in the adjustment mode either key cancels
        {15, RegisterMode::Adjustment, "Adjustment_Cancel", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " in mode " + RegisterMode_Name(c.mode));
        gSale.gMode = c.mode;
        gSale.gAdjustmentDirection = 7;
        modeKeys.calls.clear();
        screen.SetText(kModeBox, "");
        Type("2");

        Mode_Process(c.key);

        EXPECT_EQ(modeKeys.calls, (std::vector<std::string>{c.call}));
        EXPECT_EQ(gSale.gAdjustmentDirection, c.direction);
        EXPECT_EQ(Entry(), "");
        EXPECT_FALSE(ModeBox().empty());
    }
}

TEST_F(ModesTest, SetStockToZero) {
    Type("222");
    Mode_Process(12);
    EXPECT_EQ(modeKeys.calls, (std::vector<std::string>{"CommandFile_Create"}));
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
}

TEST_F(ModesTest, CountStockTwiceEntersAndLeavesCounting) {
    gSettings.gHomeMode = RegisterMode::PriceChecker;
    Receipt_Show();

    Type("222");
    Mode_Process(16);
    EXPECT_EQ(gSale.gMode, RegisterMode::StockCount);
    EXPECT_TRUE(gSale.gStockCount);
    EXPECT_TRUE(screen.Visible(kCountLabel));
    EXPECT_FALSE(screen.Visible(kGridCell));
    EXPECT_EQ(MessageLine(), "Inventory Count Enabled");
    EXPECT_FALSE(timers.Running(TimerId::CIA));  // until replaced
    EXPECT_EQ(ModeBox(), "Mode: Stock Count");
    EXPECT_FALSE(Called("Printer_Close(1)"));

    Type("222");
    Mode_Process(16);
    EXPECT_EQ(gSale.gMode, RegisterMode::PriceChecker);  // the home mode
    EXPECT_FALSE(gSale.gStockCount);
    EXPECT_FALSE(screen.Visible(kCountLabel));
    EXPECT_TRUE(screen.Visible(kGridCell));
    EXPECT_EQ(MessageLine(), "Inventory Count Disabled");
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    EXPECT_EQ(ModeBox(), "Mode: Price Checker");
    EXPECT_EQ(modeKeys.Count("Printer_Close(1)"), 1);
}

TEST_F(ModesTest, ChangePriceTwiceEntersAndLeavesPriceChange) {
    Receipt_Show();
    gSale.gOnlineProduct = "00001234";

    Type("222");
    Mode_Process(17);
    EXPECT_EQ(gSale.gMode, RegisterMode::ChangePrice);
    EXPECT_EQ(gSale.gOnlineProduct, "");
    EXPECT_TRUE(gSale.gStockCount);  // the price-change panel blocks what counting blocks
    EXPECT_TRUE(screen.Visible(kCountLabel));
    EXPECT_FALSE(screen.Visible(kGridCell));
    EXPECT_EQ(MessageLine(), "Begin by Scanning/Inputting Product");
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    EXPECT_EQ(ModeBox(), "Mode: Change Price");
    EXPECT_EQ(Entry(), "");

    gSale.gOnlineProduct = "00001234";
    Type("222");
    Mode_Process(17);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(gSale.gOnlineProduct, "");
    EXPECT_FALSE(gSale.gStockCount);
    EXPECT_FALSE(screen.Visible(kCountLabel));
    EXPECT_TRUE(screen.Visible(kGridCell));
    EXPECT_EQ(MessageLine(), "Price Change Deactivated");
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    EXPECT_EQ(ModeBox(), "Mode: Sales");
    EXPECT_EQ(Entry(), "");
}

TEST_F(ModesTest, PriceChecker) {
    gSale.gSaleReference = "REF";
    Mode_Process(20);
    EXPECT_EQ(gSale.gMode, RegisterMode::PriceChecker);  // kept through the sale start
    EXPECT_EQ(gSale.gSaleReference, "");
    EXPECT_EQ(ModeBox(), "Mode: Price Checker");
}

TEST_F(ModesTest, OrderKeys) {
    struct Case {
        int key;
        std::int32_t client, newClient;
        const char* orderKind;  // nullptr: refused
        bool exempt;
    };
    const Case cases[] = {
        {21, 0, 0, nullptr, false}, {22, 0, 0, nullptr, false},
        {21, 3, 0, "1", false},     {21, 0, 4, "1", false},  // a new client will do
        {22, 3, 0, "2", true},      {22, 0, 4, "2", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " client " + std::to_string(c.client) + "/" + std::to_string(c.newClient));
        gSale = SaleState{};
        gData.gClientRecNo = c.client;
        gData.gNewClientRecNo = c.newClient;
        modeKeys.calls.clear();
        screen.SetText(kMessageLine, "");
        Type("5");

        Mode_Process(c.key);

        EXPECT_EQ(Entry(), "");
        if (!c.orderKind) {
            EXPECT_EQ(MessageLine(), "Must Begin by Indicating a Client First");
            EXPECT_EQ(gSale.gSearchKind, 0);
            EXPECT_TRUE(modeKeys.calls.empty());
            continue;
        }
        EXPECT_EQ(gSale.gSearchKind, 12);
        EXPECT_EQ(gSale.gOrderKind, c.orderKind);
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(gSale.gTaxExempt[k], c.exempt) << k;
        EXPECT_EQ(modeKeys.calls, (std::vector<std::string>{"EntryForm_Show(12)"}));
        EXPECT_EQ(MessageLine(), "");
    }
}

TEST_F(ModesTest, TrainingEntersWithAManagerAndLeavesWithoutOne) {
    gSale.gSaleReference = "REF";
    screen.SetText(kMessageLine, "earlier");
    Type("222");
    Mode_Process(24);
    EXPECT_EQ(gSale.gMode, RegisterMode::Training);
    EXPECT_EQ(gSale.gSaleReference, "");
    EXPECT_EQ(MessageLine(), "");
    EXPECT_EQ(ModeBox(), "Mode: Training");

    // Leaving needs no code and drops a sale with lines.
    OneLine();
    Type("");
    Mode_Process(24);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(ModeBox(), "Mode: Sales");
}

// ---- whole sales ----------------------------------------------------------------------------------

// Sales rung up through product entry on a small product file, with the
// totals and the mode keys of the register.
class WholeSaleTest : public ModesTest {
protected:
    void SetUp() override {
        ModesTest::SetUp();
        // Tax 1 5 %, tax 2 9.975 % on the price with tax 1, no tax 3.
        gSettings.gTaxDefaultRate = {5, 9.975, 0};
        gSettings.gTax2IncludesTax1 = true;
        gSale.gTaxRate = {0, 5, 9.975, 0};
        // Product 1 is taxable by taxes 1 and 2, product 2 (priced for two units) by tax 1 only.
        const std::vector<std::string> records = {
            Fixed(273, {{1, "00000001"}, {12, "A100"}, {60, "Lamp"}, {90, "110"}, {100, "10.00"}, {175, "1"}}),
            Fixed(273, {{1, "00000002"}, {12, "B200"}, {60, "Bulbs"}, {90, "100"}, {100, "1.99"}, {175, "2"}}),
        };
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(records));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, 2);
        AttachClient();
        Receipt_Show();
    }

    // The sale's client (the client key's work).
    void AttachClient() { gData.gClientRecNo = 1; }

    // A scanned code: the product found and added.
    void Scan(const std::string& code, double quantity = 1) {
        gSale.gQuantity = quantity;
        gSale.gLineKind = "P";
        const std::optional<ProductMatch> found = Product_Find(code);
        ASSERT_TRUE(found && found->recNo != 0) << code;
        Product_SetCurrent(code, found);
        Product_Add();
    }
    static std::string Cents(Money m) { return m.Format("#0.0000"); }
    std::string TotalCell() const { return screen.Text(ControlId{Control::Rt_Total, 0}); }
};

TEST_F(WholeSaleTest, SaleWithAReturnAndADiscountToTheCent) {
    Scan("A100");
    ASSERT_EQ(gSale.gItemCount, 1);
    // 10.00; tax 1 0.50; tax 2 on 10.50 = 1.047375 -> 1.05.
    EXPECT_EQ(Cents(gSale.gTotal), "11.5500");
    EXPECT_EQ(TotalCell(), "$11.55");

    Scan("B200", 3);  // 1.99 x 3 / 2 = 2.985 -> 2.99
    gSale.gReturnMode = true;
    Scan("A100");  // returned: -10.00
    gSale.gReturnMode = false;
    ASSERT_EQ(gSale.gItemCount, 3);
    EXPECT_EQ(gSale.gLines[1].taxFlags, "tt ");
    EXPECT_EQ(gSale.gLines[2].taxFlags, "tn ");
    EXPECT_EQ(Cents(gSale.gLines[2].extension), "2.9900");
    EXPECT_EQ(Cents(gSale.gLines[3].extension), "-10.0000");
    // Tax-1 base 10.00 + 2.99 - 10.00 = 2.99 -> 0.1495 -> 0.15.
    // Tax-2 base 10.00 + 0.50 = 10.50, then - 10.00 - 0.50 = 0.00.
    EXPECT_EQ(Cents(gSale.gSubtotal), "2.9900");
    EXPECT_EQ(Cents(gSale.gTax1), "0.1500");
    EXPECT_EQ(Cents(gSale.gTax2), "0.0000");
    EXPECT_EQ(Cents(gSale.gTotal), "3.1400");
    EXPECT_EQ(TotalCell(), "$3.14");

    // A discount of 1.00 on mixed tax flags lowers the total only.
    gSale.gSaleDiscount = Money::FromUnits(1);
    ASSERT_TRUE(Totals_Update());
    Discount_Display();
    EXPECT_EQ(Cents(gSale.gTax1), "0.1500");
    EXPECT_EQ(Cents(gSale.gTotal), "2.1400");
    EXPECT_EQ(gSale.gLines[3].note, "Total Discount -$1.00");
    EXPECT_EQ(MessageLine(), "Discount Applied -$1.00");

    // The sale holds lines: no mode key changes anything now.
    Type("222");
    Mode_Process(24);
    EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(gSale.gItemCount, 3);
    EXPECT_EQ(Cents(gSale.gTotal), "2.1400");
}

TEST_F(WholeSaleTest, ModesDecideWhatAScanDoes) {
    // Price checker: a scan shows the price and adds no line.
    Mode_Process(20);
    ASSERT_EQ(gSale.gMode, RegisterMode::PriceChecker);
    Scan("A100");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(Cents(gSale.gTotal), "0.0000");

    // Back to sales: the same scan sells.
    Mode_Process(1);
    ASSERT_EQ(gSale.gMode, RegisterMode::Sales);
    AttachClient();
    Scan("A100");
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Cents(gSale.gTotal), "11.5500");

    // Sales Entry with lines outside training leaves the sale alone.
    Mode_Process(1);
    EXPECT_EQ(gSale.gItemCount, 1);

    // Training: entered on an empty sale with a manager's code, sells as
    // usual, and leaving it drops the sale.
    gSale.gItemCount = 0;
    Type("222");
    Mode_Process(24);
    ASSERT_EQ(gSale.gMode, RegisterMode::Training);
    AttachClient();
    Scan("B200", 3);
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Cents(gSale.gTotal), "3.1400");  // 2.99 + 0.1495 -> 0.15
    Mode_Process(24);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(Cents(gSale.gTotal), "0.0000");
}

}  // namespace
}  // namespace tarvo
