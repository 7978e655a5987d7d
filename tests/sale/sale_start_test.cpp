#include "sale/sale_start.h"
#include "print/printer_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "register/register_fixture.h"
#include "register/screen_actions.h"
#include "register_mode_print.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

// Records what the sale start asks of the subsystems around it and answers
// as the test sets it up.
class StartServices : public RegisterServices {
public:
    std::vector<std::string> calls;

    // answers
    bool greetingFails = false;        // the customer display does not answer the greeting
    bool commUpdatesProducts = false;  // the session brings product or client files
    std::string dateText = "9/December/2026";

    int Count(std::string_view call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), std::string(call)));
    }
    bool Called(std::string_view call) const { return Count(call) > 0; }

    void Date_Set() override {
        Note("Date_Set");
        gSale.gDateText = dateText;
    }
    void Communicate(std::function<void()> then) override {
        Note("Communicate(" + std::to_string(static_cast<int>(gComm.gOperationMode)) + ")");
        gComm.gCommResult = 0;
        gComm.gProductsUpdated = commUpdatesProducts;
        if (then) then();
    }
    void RestartProgram() override { Note("RestartProgram"); }
    // Each display operation leaves its own outcome, as the display does.
    void Customer_Greeting() override {
        Note("Customer_Greeting");
        displayError_ = greetingFails ? 1 : 0;
    }
    std::int16_t DisplayError() const override { return displayError_; }

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
    std::int16_t displayError_ = 0;
};

class SaleStartTest : public RegisterTest {
protected:
    static constexpr const char* kTerminal = "1234567";

    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        Reg().services = &services;
        Reg().services.print = &printer;  // the real print-to-screen mode
        gTerminalNumber = kTerminal;
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    // A line of the settings file ("305 5").
    static void Setting(const std::string& line) {
        std::string detail;
        ASSERT_TRUE(Setup_ApplyLine(gSettings, line, detail)) << line << ": " << detail;
    }

    // A line of the received client file: id 1-8, account type 11, number
    // 12-19, name 20-49, telephone 140-159, discount 205-209, price level 210.
    static std::string ClientLine(std::string_view id, std::string_view number, std::string_view name,
                                  std::string_view phone) {
        std::string line(210, ' ');
        auto put = [&](std::size_t column, std::string_view text) { line.replace(column - 1, text.size(), text); };
        put(1, id);
        put(11, "0");
        put(12, number);
        put(20, name);
        put(140, phone);
        put(205, "0");
        put(210, "1");
        return line;
    }

    // The demo store's first clients, loaded as at start-up.
    void DemoClients() {
        std::string text;
        for (const std::string& l :
             {ClientLine("1", "1", "Cash Customer", ""), ClientLine("1001", "1001", "Martin Dubois", "555-0101"),
              ClientLine("1002", "1002", "Sarah Johnson", "555-0102"),
              ClientLine("1003", "1003", "Luc Tremblay", "555-0103")})
            text += l + "\r\n";
        dir.Write("Files/" + std::string(kTerminal) + ".CLI", text);
        Parse_FileClient();
        ASSERT_EQ(gData.gClientCount, 4);
    }

    // The demo store's cashiers (levels 1, 3 and 2).
    static void DemoCashiers() {
        gData.CashierTable = {CashierRow{}, CashierRow{"1", "1111", "Demo Cashier", 1},
                              CashierRow{"2", "2222", "Head Cashier", 3},
                              CashierRow{"3", "3333", "Evening Cashier", 2}};
        gData.gCashierCount = 3;
        gData.gNoCashiers = false;
    }

    // A logged-in cashier between sales, the demo store's client file loaded.
    void LoggedInWithClients() {
        DemoCashiers();
        DemoClients();
        gReg.gCashierIndex = 2;
        gReg.gBusinessDate = "20261209";
        gSale.gDateText = "9/December/2026";
        gReg.gPromptState = PromptState::None;
    }

    const std::string& MessageLine() const { return screen.Text(kMessageLine); }
    bool Enabled(Control name, int index = 0) const { return screen.Enabled(Id(name, index)); }

    // Every key group Buttons_Lock and Buttons_Unlock act on.
    void SetAllKeys(bool on) {
        for (auto [name, count] : kKeyGroups)
            for (int i = 1; i <= count; ++i) screen.SetEnabled(Id(name, i), on);
        screen.SetEnabled(Id(Control::mTotalRegister), on);
        screen.SetEnabled(Id(Control::BPayment), on);
    }
    static constexpr std::pair<Control, int> kKeyGroups[] = {{Control::mDept, 24}, {Control::BOp, 8},
                                                             {Control::BSys, 6},   {Control::BDep, 8},
                                                             {Control::BReg, 4},   {Control::mNumeric, 12}};

    TestDir dir;
    StartServices services;
    PrintingImpl printer;
};

// ---- Register_Reset ----------------------------------------------------------------------

TEST_F(SaleStartTest, RegisterResetOpensTheLoginPromptWithTheKeysLockedForLogin) {
    DemoCashiers();
    Setting("220 Demo Store - Register 1");
    gReg.gEnteredAmount = Money::FromUnits(50);  // left by a paid-out
    gSale.gItemCount = 3;
    screen.Show(kGreeting, false);
    SetAllKeys(true);

    Register_Reset();

    EXPECT_EQ(screen.Caption(kGreeting), "Welcome to\r\nDemo Store - Register 1");
    EXPECT_EQ(screen.State(kGreeting).font.name, "Cambria");
    EXPECT_EQ(screen.State(kGreeting).font.size, 36);
    EXPECT_TRUE(screen.Visible(kGreeting));
    EXPECT_EQ(services.Count("Customer_Greeting"), 1);
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);
    EXPECT_EQ(MessageLine(), "Type Cashier Number & Select Enter Button");
    EXPECT_EQ(screen.State(kEntryBox).passwordChar, '*');
    EXPECT_TRUE(gReg.gEnteredAmount.IsZero());
    EXPECT_EQ(gSale.gItemCount, 0);
    // Nobody logged in can type a code, erase, press Enter and clock in or out.
    for (int k = 1; k <= 24; ++k) EXPECT_FALSE(Enabled(Control::mDept, k)) << k;
    for (int k = 1; k <= 12; ++k) EXPECT_TRUE(Enabled(Control::mNumeric, k)) << k;
    EXPECT_TRUE(Enabled(Control::BOp, 3));
    EXPECT_FALSE(Enabled(Control::BOp, 8));
    EXPECT_FALSE(Enabled(Control::BSys, 2));
    EXPECT_FALSE(Enabled(Control::BDep, 1));
    EXPECT_FALSE(Enabled(Control::BReg, 1));
    EXPECT_TRUE(Enabled(Control::BReg, 2));
    EXPECT_FALSE(Enabled(Control::BReg, 3));
    EXPECT_TRUE(Enabled(Control::BReg, 4));
    EXPECT_FALSE(Enabled(Control::mTotalRegister));
    EXPECT_FALSE(Enabled(Control::BPayment));
    // Nobody was logged in.
    EXPECT_EQ(gReg.gCashierIndex, 0);
    EXPECT_TRUE(gReg.gBusinessDate.empty());
    EXPECT_FALSE(services.Called("Date_Set"));
}

TEST_F(SaleStartTest, GreetingNamesTheTerminalOrElseTheTrimmedFirstHeaderLine) {
    struct Case {
        const char* description;  // setting 220
        const char* header;       // setting 805
        const char* greeting;
    } cases[] = {
        {"", "   DEMO STORE   ", "Welcome to\r\nDEMO STORE"},
        {"Lane 2", "DEMO STORE", "Welcome to\r\nLane 2"},
        {"", "", "Welcome to\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.description) + "/" + c.header);
        gSettings.gTerminalDescription = c.description;
        gSettings.gHeaderLine[0] = c.header;
        Register_Reset();
        EXPECT_EQ(screen.Caption(kGreeting), c.greeting);
    }
}

TEST_F(SaleStartTest, LoginPromptSaysWhenTheTerminalHasNoCashiers) {
    ASSERT_TRUE(gData.gNoCashiers);
    Register_Reset();
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);
    EXPECT_EQ(MessageLine(), "No Cashier Information Available for This Terminal");
}

// ---- Login_Automatic -----------------------------------------------------------------------

TEST_F(SaleStartTest, PriceCheckerLogsTheFirstCashierInAndStartsASaleAtOnce) {
    Setting("485 27");
    DemoCashiers();
    DemoClients();
    gSale.gMode = RegisterMode::StockCount;  // a mode a sale start would keep: the login takes the home mode
    screen.SetVisible(kRegisterForm, false);

    Register_Reset();

    EXPECT_EQ(gReg.gCashierIndex, 1);
    EXPECT_EQ(gReg.gBusinessDate, "20261209");
    EXPECT_EQ(services.Count("Date_Set"), 1);
    EXPECT_EQ(MessageLine(), "Cashier Login Successful");
    EXPECT_EQ(gSale.gMode, RegisterMode::PriceChecker);
    EXPECT_TRUE(screen.Visible(kRegisterForm));
    // The sale is open: no login prompt, nothing masked, the keys usable.
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
    EXPECT_FALSE(gReg.gLoggedOut);
    EXPECT_EQ(screen.State(kEntryBox).passwordChar, 0);
    EXPECT_FALSE(gReg.gEntryMasked);
    EXPECT_FALSE(screen.Visible(kGreeting));
    EXPECT_TRUE(Enabled(Control::BPayment));
    EXPECT_EQ(screen.Title(), "Corlant 18.03.14 Kaspen (1234567)  9/December/2026 Demo Cashier");
}

TEST_F(SaleStartTest, PriceCheckerWithAnEmptyCashierTableStaysAtTheLoginPrompt) {
    Setting("485 27");
    struct Case {
        const char* name;
        std::function<void()> empty;
    } cases[] = {
        {"no cashier file", [] {}},
        {"a cashier file without cashiers", [] { gData.gNoCashiers = false; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Data_Reset(gData);
        gReg = RegisterState{};
        gSale = SaleState{};
        c.empty();
        Register_Reset();
        EXPECT_EQ(gReg.gPromptState, PromptState::Login);
        EXPECT_EQ(MessageLine(), "No Cashier Information Available for This Terminal");
        EXPECT_EQ(gReg.gCashierIndex, 0);
        EXPECT_TRUE(gReg.gBusinessDate.empty());
        EXPECT_TRUE(gReg.gLoggedOut);
        EXPECT_TRUE(screen.Visible(kGreeting));
        EXPECT_TRUE(Enabled(Control::BOp, 3));
        EXPECT_FALSE(Enabled(Control::BPayment));
        EXPECT_FALSE(services.Called("Date_Set"));
        EXPECT_EQ(gSale.gItemCount, 0);  // no sale started
    }
}

// ---- Sale_Start ----------------------------------------------------------------------------

// Every field a sale start resets, left as the last sale and the cashier's
// keys might leave it.
void DirtySale() {
    SaleState& s = gSale;
    for (int i = 1; i <= kMaxSaleLines; ++i) {
        s.gLines[i].key = "K" + std::to_string(i);
        s.gLines[i].product = "P";
        s.gLines[i].description = "Desc";
        s.gLines[i].quantity = -2.5;
        s.gLines[i].listPrice = Money::FromCents(199);
        s.gLines[i].unitPrice = Money::FromCents(150);
        s.gLines[i].extension = Money::FromCents(-375);
        s.gLines[i].priceUnits = 12;
        s.gLines[i].taxFlags = "tn ";
        s.gLines[i].department = "D1";
        s.gLines[i].note = "Manual Price";
        s.gLines[i].hasNote = true;
        s.gLines[i].kitComponent = true;
        s.gLines[i].sourceIndex = 7;
    }
    for (int k = 1; k <= 10; ++k) {
        s.gPayments[k].type = "1";
        s.gPayments[k].description = "Cash";
        s.gPayments[k].amount = Money::FromUnits(20);
        s.gPayments[k].reference = "R";
        s.gPayments[k].cardNumber = "4111";
        s.gPayments[k].cardExpiry = "1230";
        s.gPayments[k].cardHolder = "HOLDER";
        s.gPayments[k].cardData = "DATA";
        s.gPayments[k].entryKind = 1;
    }
    s.gItemCount = kMaxSaleLines;
    s.gTopLine = 394;
    s.gSelectedLine = 4;
    s.gCaseLetter = "b";
    s.gPaid = Money::FromUnits(10);
    s.gPaymentCount = 3;
    s.gTenderLinesAdded = true;
    s.gChange = Money::FromCents(250);
    s.gSaleDiscount = Money::FromUnits(1);
    s.gTaxStatus = 5;
    s.gTaxExempt = {false, true, true, true};
    s.gTaxRate = {0, 9, 9, 9};
    gReg.gCardRequest.gCardAddress = "1 Main Street";
    gReg.gCardRequest.gCardZip = "12345";
    s.gScaleRequestCount = 7;
    s.gCardInSale = true;
    s.gSaleReference = "REF-1";
    s.gClientPriceLevel = 3;
    s.gReturnMode = s.gExchangeMode = s.gExchangeStarted = true;
    s.gSearchKind = 18;
    s.gSalesmanIndex = 2;
    s.gDocDeliveryDate = "20250101";
    s.gDocPriority = "3";
    s.gDocType = "5";
    s.gDocComment = "rush";
    s.gDocCancelBackOrders = "2";
    s.gDocSupplyMethod = s.gDocDeliveryMethod = "9";
    s.gPriceSearch = s.gStockSearch = true;
    gData.gManualPrice = true;
    gReg.gEntryMasked = true;
    gReg.gCardBusy = gPrint.gPrintToScreen = gReg.gPromptLineActive = true;
    gReg.gLoggedOut = true;
    gReg.gManagerIndex = 1;
    gReg.gHighlightKey = 9;
}

// A register whose printer is its screen (Tarvo.ini PrintToScreen=1) starts
// every sale in print-to-screen mode, whatever the last printout left; any
// other register ends the mode.
TEST_F(SaleStartTest, ARegisterThatPrintsOnItsScreenStartsEverySaleInPrintToScreenMode) {
    struct Case {
        bool screenIsPrinter, before, after;
    };
    for (const Case c :
         {Case{true, false, true}, Case{true, true, true}, Case{false, true, false}, Case{false, false, false}}) {
        SCOPED_TRACE(std::to_string(c.screenIsPrinter) + std::to_string(c.before));
        LoggedInWithClients();
        gPrint.gScreenIsPrinter = c.screenIsPrinter;
        gPrint.gPrintToScreen = c.before;
        Sale_Start();
        EXPECT_EQ(gPrint.gPrintToScreen, c.after);
    }
}

TEST_F(SaleStartTest, SaleStartClearsEveryLineTenderAndSaleField) {
    LoggedInWithClients();
    gReg.gPromptState = PromptState::OpeningAmount;  // the opening amount was just taken
    gSettings.gOrderTypeDefault = "2";
    Setting("155 4");
    Setting("156 6");
    DirtySale();
    screen.SetText(kEntryBox, "1111");
    screen.SetPasswordChar(kEntryBox, '*');
    for (int row = 7; row <= 9; ++row) {
        screen.SetText(Id(Control::Tr_Title, row), "Cash");
        screen.SetText(Id(Control::Tr_Amount, row), "$20.00");
    }

    Sale_Start();

    const SaleState& s = gSale;
    for (int i = 1; i <= kMaxSaleLines; ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(s.gLines[i].key, "");
        EXPECT_EQ(s.gLines[i].product, "");
        EXPECT_EQ(s.gLines[i].description, "");
        EXPECT_EQ(s.gLines[i].quantity, 0);
        EXPECT_TRUE(s.gLines[i].listPrice.IsZero());
        EXPECT_TRUE(s.gLines[i].unitPrice.IsZero());
        EXPECT_TRUE(s.gLines[i].extension.IsZero());
        EXPECT_EQ(s.gLines[i].priceUnits, 1);
        EXPECT_EQ(s.gLines[i].taxFlags, "");
        EXPECT_EQ(s.gLines[i].department, "");
        EXPECT_EQ(s.gLines[i].note, "");
        EXPECT_FALSE(s.gLines[i].hasNote);
        EXPECT_FALSE(s.gLines[i].kitComponent);
        EXPECT_EQ(s.gLines[i].sourceIndex, 0);
        if (HasFailure()) break;
    }
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("tender " + std::to_string(k));
        const SalePayment& p = s.gPayments[static_cast<std::size_t>(k)];
        EXPECT_EQ(p.type + p.description + p.reference, "");
        EXPECT_EQ(p.cardNumber + p.cardExpiry + p.cardHolder + p.cardData, "");
        EXPECT_TRUE(p.amount.IsZero());
        EXPECT_EQ(p.entryKind, 0);
    }
    for (int row = 7; row <= 9; ++row) {
        EXPECT_EQ(screen.Text(Id(Control::Tr_Title, row)), "") << row;
        EXPECT_EQ(screen.Text(Id(Control::Tr_Amount, row)), "") << row;
    }

    EXPECT_EQ(s.gItemCount, 0);
    EXPECT_EQ(s.gTopLine, 1);
    EXPECT_EQ(s.gSelectedLine, 0);
    EXPECT_EQ(s.gCaseLetter, "");
    EXPECT_TRUE(s.gPaid.IsZero());
    EXPECT_EQ(s.gPaymentCount, 0);
    EXPECT_FALSE(s.gTenderLinesAdded);
    EXPECT_TRUE(s.gChange.IsZero());
    EXPECT_TRUE(s.gSaleDiscount.IsZero());
    EXPECT_FALSE(gData.gManualPrice);
    EXPECT_EQ(gReg.gCardRequest.gCardAddress + gReg.gCardRequest.gCardZip, "");
    EXPECT_EQ(s.gScaleRequestCount, -1);
    EXPECT_FALSE(s.gCardInSale);
    EXPECT_EQ(s.gSaleReference, "");
    EXPECT_EQ(s.gClientPriceLevel, 1);
    EXPECT_FALSE(s.gReturnMode);
    EXPECT_FALSE(s.gExchangeMode);
    EXPECT_FALSE(s.gExchangeStarted);
    EXPECT_EQ(s.gSearchKind, 0);
    EXPECT_EQ(s.gSalesmanIndex, 0);
    EXPECT_EQ(gReg.gManagerIndex, 0);
    EXPECT_EQ(gReg.gPromptState, PromptState::None);
    EXPECT_FALSE(gReg.gLoggedOut);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(gPrint.gPrintToScreen);
    EXPECT_FALSE(gReg.gPromptLineActive);
    // The next scan still only shows a price or the stock.
    EXPECT_TRUE(s.gPriceSearch);
    EXPECT_TRUE(s.gStockSearch);

    // Order documents start from the store's defaults.
    EXPECT_EQ(s.gDocDeliveryDate, "20261209");
    EXPECT_EQ(s.gDocPriority, "1");
    EXPECT_EQ(s.gDocType, "2");
    EXPECT_EQ(s.gDocComment, "");
    EXPECT_EQ(s.gDocCancelBackOrders, "1");
    EXPECT_EQ(s.gDocSupplyMethod, "6");
    EXPECT_EQ(s.gDocDeliveryMethod, "4");

    // The entry box: empty, not masked, with the focus.
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(screen.State(kEntryBox).passwordChar, 0);
    EXPECT_FALSE(gReg.gEntryMasked);
    EXPECT_EQ(screen.Focus(), kEntryBox);
}

TEST_F(SaleStartTest, SaleStartShowsAnEmptyReceiptAndUnlocksTheKeys) {
    LoggedInWithClients();
    Setting("285 1");  // keyboard mode shows the highlighted soft key
    gSettings.Departments[1].Caption1 = "Produce";
    Buttons_Lock();
    screen.Show(kGreeting, true);
    screen.SetVisible(Id(Control::Rt_Total), false);
    screen.SetVisible(Id(Control::Title_Total), false);
    for (int row = 1; row <= 7; ++row) screen.SetText(Id(Control::Rt_Description, row), "Old line");
    screen.SetText(Id(Control::Rt_Total), "$12.00");
    screen.SetEnabled(Id(Control::mTotalRegister), true);  // left on by the last sale

    Sale_Start();

    EXPECT_EQ(screen.Title(), "Corlant 18.03.14 Kaspen (1234567)  9/December/2026 Head Cashier");
    EXPECT_FALSE(screen.Visible(kGreeting));
    EXPECT_TRUE(screen.Visible(Id(Control::Rt_Total)));
    EXPECT_TRUE(screen.Visible(Id(Control::Title_Total)));
    EXPECT_EQ(screen.Text(Id(Control::Rt_Total)), "");
    for (int row = 1; row <= 7; ++row) EXPECT_EQ(screen.Text(Id(Control::Rt_Description, row)), "") << row;
    EXPECT_TRUE(Enabled(Control::BPayment));
    EXPECT_TRUE(Enabled(Control::Rt_Up));
    EXPECT_TRUE(Enabled(Control::RT_Down));
    EXPECT_EQ(gReg.gHighlightKey, 1);
    const std::string& first = screen.Caption(Id(Control::mDept, 1));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), '+');
    EXPECT_FALSE(Enabled(Control::mTotalRegister));  // no line to total yet
    EXPECT_EQ(services.Count("Customer_Greeting"), 1);
    // The message line's timer runs on its sale-start interval.
    EXPECT_TRUE(timers.Running(TimerId::CIA));
    EXPECT_EQ(timers.Interval(TimerId::CIA), 15000);
}

TEST_F(SaleStartTest, TaxDefaultsComeFromSettings305315And325) {
    Setting("305 5");
    Setting("315 14.975");
    Setting("325 0");
    struct Case {
        const char* name;
        void (*run)();
        bool resetsCounters;
    } cases[] = {
        {"Sale_Start", Sale_Start, true},
        {"Variable_StartSale", Variable_StartSale, true},
        {"Tax_SetDefaults", Tax_SetDefaults, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DemoClients();
        DirtySale();
        c.run();
        const SaleState& s = gSale;
        EXPECT_EQ(s.gTaxStatus, 0);
        EXPECT_DOUBLE_EQ(s.gTaxRate[1], 5);
        EXPECT_DOUBLE_EQ(s.gTaxRate[2], 14.975);
        EXPECT_DOUBLE_EQ(s.gTaxRate[3], 0);
        EXPECT_FALSE(s.gTaxExempt[1] || s.gTaxExempt[2] || s.gTaxExempt[3]);
        if (c.resetsCounters) {
            EXPECT_EQ(s.gItemCount, 0);
            EXPECT_EQ(s.gTopLine, 1);
            EXPECT_EQ(s.gPaymentCount, 0);
            EXPECT_TRUE(s.gPaid.IsZero());
            EXPECT_TRUE(s.gChange.IsZero());
            EXPECT_TRUE(s.gSaleDiscount.IsZero());
            EXPECT_FALSE(s.gTenderLinesAdded);
            EXPECT_FALSE(gData.gManualPrice);
            EXPECT_EQ(gReg.gCardRequest.gCardAddress + gReg.gCardRequest.gCardZip, "");
        } else {
            EXPECT_EQ(s.gItemCount, kMaxSaleLines);
            EXPECT_EQ(s.gPaymentCount, 3);
        }
    }
}

TEST_F(SaleStartTest, VariableStartSaleLeavesTheLinesAndTheModifiersAlone) {
    // The Void-last key empties the sale through it: the line texts and the
    // sale's modes are not its business.
    DirtySale();
    gSale.gMode = RegisterMode::Purchase;
    Variable_StartSale();
    EXPECT_EQ(gSale.gLines[1].key, "K1");
    EXPECT_EQ(gSale.gLines[400].priceUnits, 12);
    EXPECT_TRUE(gSale.gReturnMode);
    EXPECT_EQ(gSale.gMode, RegisterMode::Purchase);
    EXPECT_EQ(gSale.gScaleRequestCount, 7);
}

TEST_F(SaleStartTest, DefaultClientIsLookedUpAfterEveryClientFieldIsCleared) {
    DemoCashiers();
    DemoClients();
    struct Case {
        const char* defaultClient;  // setting 255
        std::int32_t record;        // 0: not found
        const char* saleClientId;
        const char* name;  // the sale's client fields, from the default client's record
        const char* phone;
    } cases[] = {
        {"1", 1, "1", "Cash Customer", ""},
        {"1003", 4, "1003", "Luc Tremblay", "555-0103"},
        {"77", 0, "", "", ""},
        {"", 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("default client \"") + c.defaultClient + "\"");
        services.calls.clear();
        gSettings.gDefaultClient = c.defaultClient;
        // The client of the last sale, entered at the register.
        gData.gClientRecNo = 3;
        gData.gNewClientRecNo = 6;
        SaleState& s = gSale;
        s.gClientCode = "N6";
        s.gSaleClientId = "1002";
        s.gClientName = "Sarah Johnson";
        s.gClientAddress = "45 Oak Avenue";
        s.gClientPhone = "555-0102";
        s.gClientExtra = "VIP";
        s.gClientDiscount = 10;
        s.gClientPriceLevel = 4;

        Sale_Start();

        EXPECT_EQ(gData.gClientRecNo, c.record);
        EXPECT_EQ(gData.gNewClientRecNo, 0);
        EXPECT_EQ(s.gSaleClientId, c.saleClientId);
        // Nothing of the last sale's client is left: what the default client's
        // record holds, or nothing.
        EXPECT_EQ(s.gClientCode, c.saleClientId);
        EXPECT_EQ(s.gClientNumber, c.saleClientId);
        EXPECT_EQ(s.gClientName, c.name);
        EXPECT_EQ(s.gClientPhone, c.phone);
        EXPECT_EQ(Trim(s.gClientAddress), "");
        EXPECT_EQ(s.gClientExtra, "");
        EXPECT_EQ(s.gClientDiscount, 0);
        EXPECT_EQ(s.gClientPriceLevel, 1);
        if (c.record != 0) {
            EXPECT_EQ(gData.gClientRec, gData.clients.Read(c.record));
            EXPECT_NE(MessageLine(), "Not Found");
        } else {
            EXPECT_EQ(MessageLine(), "Not Found");
            EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
        }
    }
}

TEST_F(SaleStartTest, OnlyTrainingPriceCheckerAndStockCountSurviveASaleStart) {
    LoggedInWithClients();
    struct Case {
        RegisterMode home, before, after;
    } cases[] = {
        {RegisterMode::Sales, RegisterMode::Training, RegisterMode::Training},
        {RegisterMode::Sales, RegisterMode::PriceChecker, RegisterMode::PriceChecker},
        {RegisterMode::Sales, RegisterMode::StockCount, RegisterMode::StockCount},
        {RegisterMode::Sales, RegisterMode::Sales, RegisterMode::Sales},
        {RegisterMode::Sales, RegisterMode::OrderEntry, RegisterMode::Sales},
        {RegisterMode::Sales, RegisterMode::Purchase, RegisterMode::Sales},
        {RegisterMode::Sales, RegisterMode::ReceivePO, RegisterMode::Sales},
        {RegisterMode::Sales, RegisterMode::ChangePrice, RegisterMode::Sales},
        {RegisterMode::OrderEntry, RegisterMode::Sales, RegisterMode::OrderEntry},
        {RegisterMode::PriceChecker, RegisterMode::Sales, RegisterMode::PriceChecker},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("home " + RegisterMode_Name(c.home) + ", mode " + RegisterMode_Name(c.before));
        gSettings.gHomeMode = c.home;
        gSale.gMode = c.before;
        gSale.gStockCount = c.before == RegisterMode::StockCount;
        Sale_Start();
        EXPECT_EQ(gSale.gMode, c.after);
    }
}

TEST_F(SaleStartTest, ScheduledSendThatFellDueDuringTheSaleRunsAtTheNextSaleStart) {
    LoggedInWithClients();
    struct Case {
        bool pending, productsArrive;
        std::vector<std::string> calls;  // of the session and the restart
    } cases[] = {
        {false, false, {}},
        {true, false, {"Communicate(0)"}},
        {true, true, {"Communicate(0)", "RestartProgram"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pending ? "pending" : "nothing pending") + (c.productsArrive ? ", products" : ""));
        services.calls.clear();
        services.commUpdatesProducts = c.productsArrive;
        gComm.gOperationMode = CommMode::ResendAll;
        gSale.gSendPending = c.pending;
        Sale_Start();
        std::vector<std::string> seen;
        for (const std::string& call : services.calls)
            if (call.rfind("Communicate", 0) == 0 || call == "RestartProgram") seen.push_back(call);
        EXPECT_EQ(seen, c.calls);
        EXPECT_FALSE(gSale.gSendPending);
    }
}

TEST_F(SaleStartTest, SilentCustomerDisplayIsReportedButTheSaleStarts) {
    LoggedInWithClients();
    struct Case {
        bool fails;
        bool reported;
    } cases[] = {{false, false}, {true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fails ? "display fails" : "display answers");
        screen.SetText(kMessageLine, "");
        services.greetingFails = c.fails;
        Sale_Start();
        EXPECT_EQ(MessageLine() == "Error: Customer Display is Disconnected", c.reported);
        if (c.reported) {
            EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
        }
        EXPECT_EQ(gReg.gPromptState, PromptState::None);
        EXPECT_TRUE(Enabled(Control::BPayment));
    }
}

// ---- key locks ----------------------------------------------------------------------------

TEST_F(SaleStartTest, ButtonsLockByLevel) {
    enum Level { kLogin, kFull, kOrdinary };
    struct Case {
        const char* name;
        Money entered;
        Level level;
    } cases[] = {
        {"0", Money(), kLogin},
        {"1", Money::FromUnits(1), kFull},
        {"1.0001", Money::FromRaw(10001), kOrdinary},
        {"50 paid out", Money::FromUnits(50), kOrdinary},
        {"-1", Money::FromUnits(-1), kOrdinary},
    };
    for (const Case& c : cases) {
        for (bool from : {true, false}) {
            SCOPED_TRACE(std::string("level ") + c.name + (from ? ", keys enabled before" : ", keys disabled before"));
            SetAllKeys(from);
            gReg.gEnteredAmount = c.entered;
            Buttons_Lock();
            for (int k = 1; k <= 24; ++k) EXPECT_FALSE(Enabled(Control::mDept, k)) << Id(Control::mDept, k);
            for (int k = 1; k <= 8; ++k)
                EXPECT_EQ(Enabled(Control::BOp, k), c.level == kLogin && k == 3) << Id(Control::BOp, k);
            for (int k = 1; k <= 6; ++k) EXPECT_FALSE(Enabled(Control::BSys, k)) << Id(Control::BSys, k);
            for (int k = 1; k <= 8; ++k) EXPECT_FALSE(Enabled(Control::BDep, k)) << Id(Control::BDep, k);
            for (int k = 1; k <= 12; ++k)
                EXPECT_EQ(Enabled(Control::mNumeric, k), c.level != kFull) << Id(Control::mNumeric, k);
            for (int k = 1; k <= 4; ++k) {
                const bool blockOrQuantity = k == 1 || k == 3;
                EXPECT_EQ(Enabled(Control::BReg, k), c.level == kOrdinary || (c.level == kLogin && !blockOrQuantity))
                    << Id(Control::BReg, k);
            }
            EXPECT_FALSE(Enabled(Control::mTotalRegister));
            EXPECT_FALSE(Enabled(Control::BPayment));
            EXPECT_EQ(gReg.gEnteredAmount, c.entered);
        }
    }
}

TEST_F(SaleStartTest, ButtonsUnlockEnablesTheKeysThatHaveACaption) {
    struct Key {
        Control name;
        int index;
        const char* caption;
        bool enabled;
    } keys[] = {
        {Control::mDept, 1, "Apples\r\n", true},
        {Control::mDept, 2, "   ", false},
        {Control::mDept, 3, "", false},
        {Control::mDept, 4, " x ", true},
        {Control::mDept, 24, "Void\r\nItem", true},
        {Control::BOp, 1, "VoidLast Item", true},
        {Control::BOp, 3, "  ", false},
        {Control::BOp, 8, "", false},
        {Control::BSys, 1, "System", true},
        {Control::BSys, 3, "", false},
        {Control::BDep, 1, "Produce", true},
        {Control::BDep, 5, "", false},
        {Control::BReg, 1, "Block", true},
        {Control::BReg, 2, "", false},
        {Control::BReg, 4, "Enter", true},
    };
    for (bool from : {false, true}) {
        SCOPED_TRACE(from ? "keys enabled before" : "keys disabled before");
        SetAllKeys(from);
        for (const Key& k : keys) screen.SetCaption(Id(k.name, k.index), k.caption);
        for (Control scroll : {Control::Rt_Up, Control::RT_Down}) screen.Show(Id(scroll), false);

        Buttons_Unlock();

        for (const Key& k : keys) EXPECT_EQ(Enabled(k.name, k.index), k.enabled) << k.name << " " << k.index;
        // Keys left without a caption are disabled too.
        EXPECT_FALSE(Enabled(Control::mDept, 5));
        EXPECT_FALSE(Enabled(Control::BOp, 5));
        for (int n = 1; n <= 12; ++n) EXPECT_TRUE(Enabled(Control::mNumeric, n)) << n;
        for (Control scroll : {Control::Rt_Up, Control::RT_Down}) {
            EXPECT_TRUE(Enabled(scroll)) << scroll;
            EXPECT_TRUE(screen.Visible(Id(scroll))) << scroll;
        }
        EXPECT_TRUE(Enabled(Control::BPayment));
        // The Total key is not this routine's.
        EXPECT_EQ(Enabled(Control::mTotalRegister), from);
    }
}

// ---- receipt columns and entry box -------------------------------------------------------

TEST_F(SaleStartTest, ReceiptClearColumnsEmptiesEveryCellAndTheTotal) {
    const Control cells[] = {Control::Rt_Number,   Control::Rt_Description, Control::Rt_Tax,
                             Control::Rt_Quantity, Control::Rt_Price,       Control::Rt_Extension};
    for (int row = 1; row <= 7; ++row)
        for (Control cell : cells) screen.SetText(Id(cell, row), "x");
    screen.SetText(Id(Control::Rt_Total), "$5.00");
    screen.SetCaption(Id(Control::Title_Total), "Total");

    Receipt_ClearColumns();

    for (int row = 1; row <= 7; ++row)
        for (Control cell : cells) EXPECT_EQ(screen.Text(Id(cell, row)), "") << cell << " " << row;
    EXPECT_EQ(screen.Text(Id(Control::Rt_Total)), "");
    EXPECT_EQ(screen.Caption(Id(Control::Title_Total)), "Total");
}

TEST_F(SaleStartTest, EntryBoxAtLoadIsEmptyMaskedAndHolds300Characters) {
    screen.SetText(kEntryBox, "left over");
    DEA_Initialize();
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(screen.State(kEntryBox).passwordChar, '*');
    EXPECT_EQ(screen.State(kEntryBox).maxLength, 300);
}

}  // namespace
}  // namespace tarvo
