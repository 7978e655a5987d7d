#include "register/register_keys.h"
#include "print/printer_output.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/indexes.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/transaction_files.h"
#include "key_fixture.h"
#include "office/journal_reader.h"
#include "office/office_service.h"
#include "office/time_clock.h"
#include "register/prompt_line.h"
#include "register_mode_print.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/screen_build.h"

namespace tarvo {
namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }
const ControlId kPaymentKey{Control::BPayment, 0};

using Calls = std::vector<std::string>;

const std::string k8(8, ' ');
const std::string k9(9, ' ');

class KeysTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
    }
    // Only the calls of this kind, in order.
    Calls CallsOf(std::string_view prefix) const {
        Calls v;
        for (const auto& c : keys.calls)
            if (c.rfind(prefix, 0) == 0) v.push_back(c);
        return v;
    }
    void SetFlag(int group, int key) {
        gConstants.tables.SoftKeyFlags[static_cast<std::size_t>(group)][static_cast<std::size_t>(key)] = "1";
    }
    // A manager whose code is 9999.
    static void Manager() {
        gData.ManagerTable.push_back(ManagerRow{"00000042", "9999", "Boss", "111111"});
        gData.gManagerCount = static_cast<std::int32_t>(gData.ManagerTable.size() - 1);
    }
};

// ---- department pages ----------------------------------------------------------------------

TEST_F(KeysTest, DepartmentPageFillsTheSoftKeysFromItsDepartments) {
    screen.SetCaption(Id(Control::BDep, 3), "Produce");
    gSettings.gPageColour[2] = "4242";
    // Keys of page 3 are departments 49..72; font size by the longer caption line.
    struct Case {
        int key;
        const char* line1;
        const char* line2;
        double size;
    };
    const Case cases[] = {
        {1, "Apples", "", 13},     {2, "Bananas", "Ripe", 13},    {3, "Cherries", "", 12},
        {4, "x", "Tangerine", 11}, {5, "Grapefruit", "Pink", 10}, {6, "", "", 13},
    };
    for (const Case& c : cases) {
        gSettings.Departments[static_cast<std::size_t>(48 + c.key)].Caption1 = c.line1;
        gSettings.Departments[static_cast<std::size_t>(48 + c.key)].Caption2 = c.line2;
    }
    Products({"G53"});
    DepartmentSells(53, "G53");  // key 5
    Type("typed");
    BDep_Click(3);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(screen.Caption(SoftKeyId(c.key)), std::string(c.line1) + "\r\n" + c.line2);
        EXPECT_EQ(screen.State(SoftKeyId(c.key)).font.size, c.size);
        EXPECT_EQ(screen.State(SoftKeyId(c.key)).backColour, 4242u);
        EXPECT_TRUE(screen.Enabled(SoftKeyId(c.key)));
    }
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(screen.Focus(), kEntryBox);

    mDept_Click(5);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"G53"}));  // department 53's product sold
}

TEST_F(KeysTest, DepartmentPageWithoutCaptionKeepsThePage) {
    screen.SetCaption(Id(Control::BDep, 2), "Deli");
    BDep_Click(2);
    screen.SetCaption(SoftKeyId(1), "Deli 1");
    screen.SetFontSize(SoftKeyId(1), 13);
    Type("5");
    BDep_Click(4);  // no caption
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department2);
    EXPECT_EQ(screen.Caption(SoftKeyId(1)), "Deli 1");
    EXPECT_EQ(Entry(), "");
    // The soft keys' font is reset all the same.
    for (int k = 1; k <= 24; ++k) EXPECT_EQ(screen.State(SoftKeyId(k)).font.size, 11) << k;
}

TEST_F(KeysTest, PageKeysBringTheReceiptBackOverAPanel) {
    screen.SetCaption(Id(Control::BDep, 1), "Grocery");
    for (auto [press, what] :
         {std::pair{+[] { BDep_Click(1); }, "department page"}, std::pair{+[] { BSys_Click(2); }, "Mode page"}}) {
        SCOPED_TRACE(what);
        gReg.gReceiptAreaContent = ReceiptAreaContent::Totals;
        screen.SetVisible(Id(Control::Rt_Total), false);
        press();
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
        EXPECT_TRUE(screen.Visible(Id(Control::Rt_Total)));
    }
}

// ---- menu pages ----------------------------------------------------------------------------------

TEST_F(KeysTest, MenuPagesShowTheirCaptionsInTheLanguage) {
    const KeyPage pages[] = {KeyPage::System, KeyPage::Mode,    KeyPage::Extras,
                             KeyPage::Print,  KeyPage::Special, KeyPage::Sales};
    gSettings.gExtrasPageOn = true;
    gSettings.gCardEnabled = true;
    gSettings.gMenuKeyColour = "777";
    for (std::int16_t language : {1, 2}) {
        gSettings.gLanguage = language;
        for (int i = 1; i <= 6; ++i) {
            SCOPED_TRACE(testing::Message() << "language " << language << " page key " << i);
            BSys_Click(i);
            EXPECT_EQ(gReg.gKeyPage, pages[i - 1]);
            EXPECT_EQ(SoftKeyGroupOfPage(pages[i - 1]), i);
            for (int k = 1; k <= 24; ++k) {
                if (i == 5 && k == 21) continue;  // suspend / recall, below
                if (i == 3 && k == 22) continue;  // the stock check's switch, below
                const std::string& caption = SoftKeyCaption(gConstants.tables, i, k, language);
                EXPECT_EQ(screen.Caption(SoftKeyId(k)), caption) << k;
                EXPECT_EQ(screen.Enabled(SoftKeyId(k)), caption.find_first_not_of(' ') != std::string::npos) << k;
                EXPECT_EQ(screen.State(SoftKeyId(k)).backColour, 777u);
                EXPECT_EQ(screen.State(SoftKeyId(k)).font.size, i == 3 ? 10 : 11) << k;
            }
        }
    }
    // The Extras page's key 22 says what a touch would do to the stock check.
    gSettings.gOnlineStockCheck = false;
    for (auto [language, caption] :
         {std::pair{1, "Stock Check\r\nActivate"}, std::pair{2, "V\xE9rif. Stock\r\nActiver"}}) {
        gSettings.gLanguage = static_cast<std::int16_t>(language);
        BSys_Click(3);
        EXPECT_EQ(screen.Caption(SoftKeyId(22)), caption);
        EXPECT_TRUE(screen.Enabled(SoftKeyId(22)));
    }
    // A few texts as the cashier reads them.
    gSettings.gLanguage = 1;
    BSys_Click(1);
    EXPECT_EQ(screen.Caption(SoftKeyId(1)), "Change\r\nTerminal");
    gSettings.gLanguage = 2;
    BSys_Click(1);
    EXPECT_EQ(screen.Caption(SoftKeyId(1)), "Changer\r\nTerminal");
}

TEST_F(KeysTest, BlankMenuCaptionsLeaveTheirKeysDisabled) {
    gConstants.tables.SoftKeyCaptions[4][3][1] = "   ";
    BSys_Click(4);
    EXPECT_FALSE(screen.Enabled(SoftKeyId(3)));
}

TEST_F(KeysTest, SpecialPageCardAndSuspendKeys) {
    struct Case {
        const char* card;
        RegisterMode mode;
        bool suspended;
        std::int16_t language;
        const char* key2;
        const char* key21;
    };
    const Case cases[] = {
        {"1", RegisterMode::Sales, false, 1, "Close\r\nBatch", "Suspend"},
        {"1", RegisterMode::Training, true, 1, "Close\r\nBatch", "Recall"},
        {"0", RegisterMode::Sales, false, 2, "", "Suspendre"},
        {"0", RegisterMode::Sales, true, 2, "", "Rappel"},
        {"1", RegisterMode::OrderEntry, false, 1, "Close\r\nBatch", ""},
        {"1", RegisterMode::PriceChecker, true, 1, "Close\r\nBatch", ""},
        {"1", RegisterMode::Sales, false, 3, "Close\r\nBatch", "Suspendre"},  // any language but English
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.card << " mode " << RegisterMode_Name(c.mode) << " suspended "
                                        << c.suspended << " language " << c.language);
        gSettings.gCardEnabled = c.card;
        gSale.gMode = c.mode;
        gSale.gSuspended = c.suspended;
        gSettings.gLanguage = c.language;
        BSys_Click(5);
        if (c.language == 2) {
            EXPECT_EQ(screen.Caption(SoftKeyId(2)), c.card ? "Fermeture\r\nBatch" : "");
        } else {
            EXPECT_EQ(screen.Caption(SoftKeyId(2)), c.key2);
        }
        EXPECT_EQ(screen.Enabled(SoftKeyId(2)), !screen.Caption(SoftKeyId(2)).empty());
        EXPECT_EQ(screen.Caption(SoftKeyId(21)), c.key21);
        EXPECT_EQ(screen.Enabled(SoftKeyId(21)), *c.key21 != 0);
    }
}

TEST_F(KeysTest, SystemPageNeedsItsPasswordTypedFirst) {
    gSettings.gSystemPageCode = "4321";
    gReg.gKeyPage = KeyPage::Department3;

    BSys_Click(1);  // nothing typed
    EXPECT_EQ(MessageLine(), "System Password Required");
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department3);

    Type("1111");
    BSys_Click(1);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department3);
    EXPECT_EQ(Entry(), "");

    Type("4321");
    BSys_Click(1);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::System);
    EXPECT_EQ(Entry(), "");

    // Without a password the page opens and what was typed stays.
    gSettings.gSystemPageCode.clear();
    Type("12");
    BSys_Click(1);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::System);
    EXPECT_EQ(Entry(), "12");
    EXPECT_EQ(screen.Focus(), kEntryBox);
}

TEST_F(KeysTest, ExtrasPageNeedsItsSettingAndMaybeAManager) {
    gReg.gKeyPage = KeyPage::Department2;
    gSettings.gExtrasPageOn = false;
    screen.SetFontSize(SoftKeyId(1), 13);
    BSys_Click(3);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department2);
    EXPECT_EQ(screen.State(SoftKeyId(1)).font.size, 13);  // the soft keys as they were
    EXPECT_FALSE(keys.Called("Caption_Reset"));

    gSettings.gExtrasPageOn = true;
    gSettings.gExtrasNeedsManager = true;
    Manager();
    Type("999");  // not a manager's code
    BSys_Click(3);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department2);
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(MessageLine(), "Manager Authorization Required");

    Type("9999");
    BSys_Click(3);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Extras);
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(screen.Caption(SoftKeyId(22)), "Stock Check\r\nActivate");  // the stock check's switch
}

TEST_F(KeysTest, StockCountKeepsPrintSpecialAndSalesPagesClosed) {
    gSale.gStockCount = true;
    gReg.gKeyPage = KeyPage::Department1;
    for (int i : {4, 5, 6}) {
        BSys_Click(i);
        EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1) << i;
    }
    BSys_Click(2);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Mode);
}

TEST_F(KeysTest, SalesPageClearsTheMessageLineWhenChangeIsDue) {
    for (bool changeDue : {false, true}) {
        CIATime("Change 5.00", 0);
        gSale.gChange = changeDue ? Money::FromUnits(5) : Money();
        BSys_Click(6);
        EXPECT_EQ(MessageLine(), changeDue ? "" : "Change 5.00");
    }
}

// ---- soft keys ------------------------------------------------------------------------------------

TEST_F(KeysTest, SoftKeysReachTheHandlerOfTheirPage) {
    // A department page's key sells department key + 24 x (page - 1).
    Products({"D1", "D192", "D53"});
    DepartmentSells(1, "D1");
    DepartmentSells(53, "D53");
    DepartmentSells(192, "D192");
    struct Department {
        int page, key;
        std::string product;
    };
    for (const Department& d : {Department{1, 1, "D1"}, Department{3, 5, "D53"}, Department{8, 24, "D192"}}) {
        keys.calls.clear();
        gReg.gKeyPage = DepartmentPage(d.page);
        Type("7");
        mDept_Click(d.key);
        ASSERT_GE(gSale.gItemCount, 1) << d.page;
        EXPECT_EQ(gSale.gLines[gSale.gItemCount].key, d.product) << d.page;
        EXPECT_EQ(keys.calls, Calls{"Kit_Processing(" + d.product + ")"}) << d.page;
        EXPECT_EQ(Entry(), "") << d.page;
    }
    // The pages of the other subsystems.
    struct Case {
        KeyPage page;
        int key;
        const char* call;
    };
    const Case cases[] = {
        {KeyPage::Extras, 4, "Online_Process(4)"},
    };
    for (const Case& c : cases) {
        keys.calls.clear();
        gReg.gKeyPage = c.page;
        Type("7");
        mDept_Click(c.key);
        EXPECT_EQ(keys.calls, Calls{c.call}) << c.page;
        EXPECT_EQ(Entry(), "") << c.page;
    }
    gSale = SaleState{};  // the departments' lines gone: no sale in progress
    // The register's own pages answer on the message line: the System
    // page's printer test, the Print page's printout on the screen, the
    // Special page's paid-out question.
    struct PageCase {
        KeyPage page;
        int key;
        const char* message;
    };
    const PageCase pages[] = {
        {KeyPage::System, 7, "Printer is Deactivated Through Setting"},
        {KeyPage::Print, 17, "Printout Will Be Displayed Onscreen"},
        {KeyPage::Special, 23, "Type Amount & Press Enter"},
    };
    for (const PageCase& c : pages) {
        CIATime("", 0);
        gReg.gKeyPage = c.page;
        Type("7");
        mDept_Click(c.key);
        EXPECT_EQ(MessageLine(), c.message) << c.page;
        EXPECT_EQ(Entry(), "") << c.page;
    }
    EXPECT_TRUE(gPrint.gPrintToScreen);
    EXPECT_EQ(gReg.gPromptState, PromptState::PaidOut);
    gReg.gPromptState = PromptState::None;
    // The Sales page: key 4 steps the tax status.
    gReg.gKeyPage = KeyPage::Sales;
    Type("7");
    mDept_Click(4);
    EXPECT_EQ(MessageLine(), "Tax Status: NNN");
    EXPECT_EQ(Entry(), "");
    // The payment page: key 6 takes the amount typed as a tender.
    gSale = SaleState{};
    gSettings.PaymentTypes[6].CardType = "6";
    AddLine("A", 1, Money::FromCents(1250));
    BPayment_Click();
    Type("7");
    mDept_Click(6);
    EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 7}), "$7.00");
    EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 11}), "$5.50");  // the balance due
    EXPECT_EQ(Entry(), "");
    // The Mode page: key 3 starts a purchase order, refused without vendors.
    gSale = SaleState{};
    gReg.gKeyPage = KeyPage::Mode;
    Type("7");
    mDept_Click(3);
    EXPECT_EQ(MessageLine(), "No Vendor Information Available");
    EXPECT_EQ(Entry(), "");
    // No page, or a page no key belongs to: only the entry is emptied.
    for (KeyPage page : {KeyPage::None, static_cast<KeyPage>(9), static_cast<KeyPage>(17)}) {
        keys.calls.clear();
        gReg.gKeyPage = page;
        Type("7");
        mDept_Click(4);
        EXPECT_TRUE(keys.calls.empty()) << page;
        EXPECT_EQ(Entry(), "") << page;
    }
}

TEST_F(KeysTest, FlaggedKeysRunOnlyForAnAcceptedManager) {
    Manager();
    struct Case {
        KeyPage page;
        int group, key;
        const char* call;     // what the key reached, or
        const char* message;  // what the register's or the sale's own key answered
    };
    const Case cases[] = {
        {KeyPage::System, 1, 7, "", "Printer is Deactivated Through Setting"},
        {KeyPage::Mode, 2, 3, "", "No Vendor Information Available"},
        {KeyPage::Print, 4, 17, "", "Printout Will Be Displayed Onscreen"},
        {KeyPage::Special, 5, 23, "", "Type Amount & Press Enter"},
        {KeyPage::Sales, 6, 4, "", "Tax Status: NNN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " " << c.key);
        SetFlag(c.group, c.key);
        gReg.gKeyPage = c.page;
        for (bool accepted : {false, true}) {
            keys.calls.clear();
            gSale.gTaxStatus = 0;
            CIATime("", 0);
            Type(accepted ? "9999" : "1234");
            mDept_Click(c.key);
            EXPECT_EQ(keys.calls, accepted && *c.call ? Calls{c.call} : Calls());
            EXPECT_EQ(MessageLine(), accepted ? c.message : "Manager Authorization Required");
            EXPECT_EQ(Entry(), "");
            gReg.gPromptState = PromptState::None;
        }
        // An unflagged key of the page runs at once: no manager's code asked.
        keys.calls.clear();
        CIATime("", 0);
        Type("1234");
        mDept_Click(c.key == 1 ? 2 : 1);
        EXPECT_NE(MessageLine(), "Manager Authorization Required");
        gReg.gPromptState = PromptState::None;
    }
    // The Extras page has no manager test.
    SetFlag(3, 4);
    gReg.gKeyPage = KeyPage::Extras;
    keys.calls.clear();
    mDept_Click(4);
    EXPECT_EQ(keys.calls, Calls{"Online_Process(4)"});
}

TEST_F(KeysTest, WithoutTheManagerCheckAFlaggedKeyIsRefused) {
    RegisterServices standIns;
    Reg().services = &standIns;
    SetFlag(1, 5);
    gReg.gKeyPage = KeyPage::System;
    gReg.gAuthorized = true;  // from an earlier code
    Type("1234");
    mDept_Click(5);
    EXPECT_FALSE(gReg.gAuthorized);
    EXPECT_EQ(MessageLine(), "Manager Authorization Required");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 2000);
}

TEST_F(KeysTest, KeysThatAskSomethingNextKeepTheEntry) {
    struct Case {
        KeyPage page;
        int key;
        const char* entry;  // what the entry box holds after the key
    };
    // The Mode page's keys that ask something next (new client, shortage,
    // overage, change price) empty the entry themselves before they ask.
    const Case cases[] = {
        {KeyPage::Mode, 5, ""},        {KeyPage::Mode, 14, ""},
        {KeyPage::Mode, 15, ""},       {KeyPage::Mode, 17, ""},
        {KeyPage::Mode, 16, ""},       {KeyPage::Special, 22, "12-"},  // the minus key adds the sign to what was typed
        {KeyPage::Special, 21, ""},    {KeyPage::System, 1, "12"},
        {KeyPage::System, 9, "12"},    {KeyPage::System, 10, "12"},
        {KeyPage::System, 11, "12"},   {KeyPage::System, 2, ""},
        {KeyPage::Sales, 5, ""},       {KeyPage::Print, 1, ""},
        {KeyPage::Department3, 5, ""},
    };
    // Keys 9-11 run a session, which logs out a register nobody is logged in
    // to (and so empties the entry): a cashier is logged in here.
    AddCashier("1111", "00000007", "Ann", 1);
    gReg.gCashierIndex = 1;
    for (const Case& c : cases) {
        gReg.gKeyPage = c.page;
        Type("12");
        mDept_Click(c.key);
        EXPECT_EQ(Entry(), c.entry) << c.page << " " << c.key;
    }
    // A refused manager code never stays on the screen.
    SetFlag(1, 9);
    gReg.gKeyPage = KeyPage::System;
    Type("1234");  // no manager's code
    mDept_Click(9);
    EXPECT_EQ(Entry(), "");
}

TEST_F(KeysTest, AProposedCardAmountStaysAfterAPaymentKey) {
    // Payment key 3 is a card paid on the card terminal, which proposes the
    // balance as the amount.
    gSettings.gCardEnabled = true;
    gSettings.gCardBackend = CardBackend::Terminal;
    gSettings.PaymentTypes[3].CardType = "2";
    AddLine("A", 1, Money::FromCents(1250));
    BPayment_Click();
    keys.calls.clear();
    mDept_Click(3);
    EXPECT_EQ(keys.calls, Calls{"Credit_Card_PromptAmount"});
    EXPECT_EQ(Entry(), "12.5");  // the balance, as the card dialogue proposes it
    EXPECT_FALSE(gReg.gCardAmountPending);
    // The next key empties the entry as any key does.
    mDept_Click(24);
    EXPECT_EQ(Entry(), "");
}

// ---- payment key ---------------------------------------------------------------------------------

TEST_F(KeysTest, PaymentKeyOpensThePaymentPage) {
    AddLine("A", 1, Money::FromCents(1250));
    gSale.gTotal = Money::FromCents(1250);
    gSale.gSelectedLine = 1;
    gSettings.gCardEnabled = true;
    gSettings.gCardBackend = CardBackend::ExchangeFiles;
    Type("x");
    BPayment_Click();
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    EXPECT_EQ(gSale.gSelectedLine, 0);
    EXPECT_EQ(gSale.gBalanceDue, Money::FromCents(1250));
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Totals);  // the totals panel
    // The total worked out again, the balance on the tender rows, the soft
    // keys captioned by the payment types (none set up here).
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$12.50");
    EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 11}), "$12.50");
    EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 7}), "");
    EXPECT_EQ(screen.Caption(SoftKeyId(1)), "");
    EXPECT_FALSE(screen.Enabled(SoftKeyId(1)));
    EXPECT_EQ(screen.Caption(SoftKeyId(23)), "Manual\r\nCreditCard");
    EXPECT_EQ(screen.Caption(SoftKeyId(24)), "Delete\r\nPayment");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(23)));
    EXPECT_TRUE(screen.Enabled(SoftKeyId(24)));
    EXPECT_EQ(Entry(), "");
}

TEST_F(KeysTest, ManualCardKeyOnlyWithCardsOnAndNotTheTerminal) {
    struct Case {
        bool enabled;
        CardBackend backend;
        bool manual;
    };
    for (Case c : {Case{true, CardBackend::ExchangeFiles, true}, Case{true, CardBackend::Gateway, true},
                   Case{true, CardBackend::Terminal, false}, Case{false, CardBackend::ExchangeFiles, false}}) {
        screen.SetCaption(SoftKeyId(23), "tender");
        gSettings.gCardEnabled = c.enabled;
        gSettings.gCardBackend = c.backend;
        BPayment_Click();
        // Without the manual key, key 23 is what the payment types give it
        // (nothing here).
        EXPECT_EQ(screen.Caption(SoftKeyId(23)), c.manual ? "Manual\r\nCreditCard" : "") << static_cast<int>(c.backend);
        EXPECT_EQ(screen.Caption(SoftKeyId(24)), "Delete\r\nPayment");
    }
}

TEST_F(KeysTest, ARefundNeedsReturnOrExchangeAndLeavesThePageAsItWas) {
    screen.SetCaption(Id(Control::BDep, 2), "Deli");
    BDep_Click(2);
    const std::string key1 = screen.Caption(SoftKeyId(1));
    AddLine("A", -1, Money::FromUnits(3));  // a refund of $3.00
    BPayment_Click();
    EXPECT_EQ(MessageLine(), "Return/Exchange Is Not Authorized");
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department2);
    EXPECT_EQ(screen.Caption(SoftKeyId(1)), key1);
    // A soft key pressed next is still a department key: department 25 sells
    // its product, nothing is tendered.
    Products({"D25"});
    DepartmentSells(25, "D25");
    mDept_Click(1);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"A", "D25"}));
    EXPECT_EQ(gSale.gPaymentCount, 0);

    for (bool* allowed : {&gSale.gReturnMode, &gSale.gExchangeStarted}) {
        gSale.gReturnMode = gSale.gExchangeStarted = false;
        *allowed = true;
        gReg.gKeyPage = KeyPage::Department2;
        BPayment_Click();
        EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    }
}

TEST_F(KeysTest, PaymentKeyDoesNothingWhileCounting) {
    gSale.gStockCount = true;
    gReg.gKeyPage = KeyPage::Department1;
    BPayment_Click();
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);
    EXPECT_TRUE(keys.calls.empty());
}

// ---- void last and void ----------------------------------------------------------------------------

TEST_F(KeysTest, VoidLastDropsTheLastLine) {
    for (int i = 1; i <= 10; ++i) AddLine(std::to_string(i), 1, Money::FromUnits(i));
    gSale.gTopLine = 10;
    gSale.gPaymentCount = 2;
    BOp_Click(1);
    EXPECT_EQ(gSale.gItemCount, 9);
    EXPECT_EQ(gSale.gTopLine, 3);  // the newest line on the last row
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_TRUE(keys.calls.empty());
    // The total of the nine lines left, shown and offered.
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$45.00");
    EXPECT_FALSE(screen.Enabled(kSaleTotalKey));  // the tenders went with the line
    EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 11}), "$45.00");
    EXPECT_EQ(screen.Text(Id(Control::Rt_Number, 7)), "9");

    // The first line shown stays when it still exists; it never drops below 1.
    gSale.gTopLine = 2;
    BOp_Click(1);
    EXPECT_EQ(gSale.gTopLine, 2);
    gSale.gItemCount = 3;
    gSale.gTopLine = 3;
    BOp_Click(1);
    EXPECT_EQ(gSale.gTopLine, 1);
}

TEST_F(KeysTest, VoidingTheOnlyLineStartsTheSaleOver) {
    screen.SetEnabled(kPaymentKey, true);
    AddLine("A", 1, Money::FromUnits(2));
    gSale.gSaleDiscount = Money::FromUnits(1);
    BOp_Click(1);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_FALSE(screen.Enabled(kPaymentKey));
    // The sale's discount went with it: an empty sale totals nothing.
    EXPECT_TRUE(gSale.gSaleDiscount.IsZero());
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$0.00");
}

TEST_F(KeysTest, VoidLastWithNothingToVoid) {
    struct Case {
        int lines;
        RegisterMode mode;
    };
    for (Case c : {Case{0, RegisterMode::Sales}, Case{2, RegisterMode::ReceivePO}, Case{2, RegisterMode::PackOrder}}) {
        gSale = SaleState{};
        for (int i = 0; i < c.lines; ++i) AddLine("A", 1, Money::FromUnits(1));
        gSale.gMode = c.mode;
        keys.calls.clear();
        BOp_Click(1);
        EXPECT_EQ(MessageLine(), "Invalid Entry") << RegisterMode_Name(c.mode);
        EXPECT_EQ(gSale.gItemCount, c.lines);
        EXPECT_TRUE(keys.calls.empty());
    }
}

TEST_F(KeysTest, VoidLastReentersTheLastLineAsAVoidLine) {
    gSettings.gVoidLastReenters = 1;
    Products({"a555", "b777"});
    AddLine("555", 1, Money::FromUnits(2));
    AddLine("777", 3, Money::FromCents(1250));
    gSale.gCaseLetter = "b";
    gSale.gPaymentCount = 1;
    BOp_Click(1);
    EXPECT_EQ(gData.gProductKey, "b777");
    EXPECT_EQ(gSale.gCaseLetter, "");
    EXPECT_FALSE(gData.gManualPrice);
    // The void line: the product again, the quantity negated, at the line's
    // own price; the total is back to the first line's.
    ASSERT_EQ(gSale.gItemCount, 3);
    EXPECT_EQ(gSale.gLines[3].key, "b777");
    EXPECT_EQ(gSale.gLines[3].quantity, -3);
    EXPECT_EQ(gSale.gLines[3].unitPrice, Money::FromCents(1250));
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$2.00");
    EXPECT_TRUE(keys.calls.empty());  // the kit look-up is the register's own
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_EQ(Entry(), "");
}

// A kit entered again as a void line voids its components with it.
TEST_F(KeysTest, VoidLastReentersAKitWithItsComponents) {
    gSettings.gVoidLastReenters = 1;
    // Products 1001 (key a555) and 1002 (key b777).
    ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
    for (const auto& [number, key] : {std::pair{"1001", "a555"}, std::pair{"1002", "b777"}}) {
        std::string rec(273, ' ');
        rec.replace(0, 4, number);
        rec.replace(11, 4, key);
        rec.replace(59, 11, "Description");
        ASSERT_TRUE(gData.products.Write(gData.products.RecordCount() + 1, rec));
    }
    gData.gProductCount = 2;
    // b777 is kit 7 of one a555, its components at no price of their own.
    auto field = [](std::string text, std::size_t width) {
        text.resize(width, ' ');
        return text;
    };
    dir.Write(std::string("Files/") + kTerminal + ".KTM", field("b777", 20) + field("7", 10) + field("2", 6) + "\r\n");
    dir.Write(std::string("Files/") + kTerminal + ".KTD",
              field("000007", 10) + field("a555", 20) + field("1", 10) + field("", 15) + "\r\n");
    Parse_FileKit();
    ASSERT_EQ(gData.gKitCount, 1);
    AddLine("a555", 3, Money());  // the component sold with the kit
    gSale.gLines[1].product = "1001";
    AddLine("777", 3, Money::FromCents(1250));
    gSale.gLines[2].product = "1002";  // a void line must find its product sold
    gSale.gCaseLetter = "b";
    BOp_Click(1);
    ASSERT_EQ(gSale.gItemCount, 4);
    EXPECT_EQ(gSale.gLines[3].key, "b777");
    EXPECT_EQ(gSale.gLines[3].quantity, -3);
    EXPECT_EQ(gSale.gLines[4].key, "a555");
    EXPECT_EQ(gSale.gLines[4].quantity, -3);
}

TEST_F(KeysTest, VoidLastDropsInsteadInThePurchaseModes) {
    gSettings.gVoidLastReenters = 1;
    for (RegisterMode mode : {RegisterMode::PurchaseOrder, RegisterMode::Purchase, RegisterMode::NewPurchaseOrder}) {
        gSale = SaleState{};
        gSale.gMode = mode;
        AddLine("A", 1, Money::FromUnits(1));
        AddLine("B", 1, Money::FromUnits(1));
        BOp_Click(1);
        EXPECT_EQ(LineKeys(), (std::vector<std::string>{"A"})) << RegisterMode_Name(mode);
    }
}

TEST_F(KeysTest, VoidLastRefusesALineItCannotEnterAgain) {
    gSettings.gVoidLastReenters = 1;
    Products({"555"});
    AddLine("555", -1, Money::FromUnits(2));  // already a void line
    gSale.gPaymentCount = 1;
    BOp_Click(1);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    AddLine("404", 1, Money::FromUnits(2));  // no longer in the product file
    BOp_Click(1);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gPaymentCount, 1);
    EXPECT_EQ(gSale.gQuantity, 1);  // the next product is not affected
    EXPECT_FALSE(gSale.gVoidMode);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"555", "404"}));
}

TEST_F(KeysTest, VoidDeletesTheLineTypedOrSelected) {
    for (int i = 1; i <= 5; ++i)
        AddLine(std::string(1, char('A' + i - 1)), 1, Money::FromUnits(i), static_cast<std::int16_t>(10 * i));
    Type("3");
    BOp_Click(2);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"A", "B", "D", "E"}));
    EXPECT_EQ(gSale.gLines[3].unitPrice, Money::FromUnits(4));
    // The position in a fetched order stays with its slot.
    EXPECT_EQ(gSale.gLines[3].sourceIndex, 30);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$12.00");  // 1 + 2 + 4 + 5

    Type("2.9");  // the whole part
    BOp_Click(2);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"A", "D", "E"}));

    gSale.gSelectedLine = 3;
    BOp_Click(2);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"A", "D"}));
}

TEST_F(KeysTest, VoidRefusesAMissingOrUnknownLineNumber) {
    for (int i = 1; i <= 3; ++i) AddLine(std::to_string(i), 1, Money::FromUnits(1));
    BOp_Click(2);
    EXPECT_EQ(MessageLine(), "Invalid Entry, Line No. to Void is Required");
    for (const char* typed : {"0", "4", "-1", "abc"}) {
        CIATime("", 0);
        Type(typed);
        BOp_Click(2);
        EXPECT_EQ(MessageLine(), "Invalid Entry") << typed;
        EXPECT_EQ(gSale.gItemCount, 3) << typed;
    }
    gSale.gSelectedLine = 9;  // not a line of this sale
    BOp_Click(2);
    EXPECT_EQ(MessageLine(), "Invalid Entry, Line No. to Void is Required");
}

TEST_F(KeysTest, VoidTogglesVoidModeWhenVoidLastReenters) {
    gSettings.gVoidLastReenters = 1;
    BOp_Click(2);
    EXPECT_FALSE(gSale.gVoidMode);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    AddLine("A", 1, Money::FromUnits(1));
    BOp_Click(2);
    EXPECT_TRUE(gSale.gVoidMode);
    EXPECT_EQ(MessageLine(), "Void Mode");
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Void Mode");
    BOp_Click(2);
    EXPECT_FALSE(gSale.gVoidMode);
    EXPECT_EQ(MessageLine(), "Void Mode Cancelled");
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_EQ(gSale.gItemCount, 1);
}

TEST_F(KeysTest, VoidDoesNothingInTheFetchedOrderModes) {
    for (RegisterMode mode : {RegisterMode::ReceivePO, RegisterMode::PackOrder}) {
        gSale.gMode = mode;
        AddLine("A", 1, Money::FromUnits(1));
        Type("1");
        BOp_Click(2);
        EXPECT_EQ(gSale.gItemCount, 1);
        EXPECT_EQ(MessageLine(), "");
        gSale.gItemCount = 0;
    }
}

TEST_F(KeysTest, NoVoidWhileACardPaymentIsInTheSale) {
    gSettings.gVoidLastReenters = 1;
    for (int i = 1; i <= 3; ++i) AddLine(std::to_string(i), 1, Money::FromUnits(1));
    gSale.gCardInSale = true;
    gSale.gPaymentCount = 1;
    gReg.gKeyPage = KeyPage::Payment;
    for (int key : {1, 2}) {
        CIATime("", 0);
        Type("2");
        BOp_Click(key);
        EXPECT_EQ(MessageLine(), "Invalid Entry, Pending Credit Card Transaction") << key;
        EXPECT_EQ(gSale.gItemCount, 3);
        EXPECT_EQ(gSale.gPaymentCount, 1);
        EXPECT_FALSE(gSale.gVoidMode);
        EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
        EXPECT_EQ(Entry(), "");
    }
    gSettings.gLanguage = 2;
    BOp_Click(1);
    EXPECT_EQ(MessageLine(), Msg(Message::InvalidEntryPendingCreditCardTransaction));
    EXPECT_NE(Msg(Message::InvalidEntryPendingCreditCardTransaction), "Invalid Entry, Pending Credit Card Transaction");
}

TEST_F(KeysTest, LineKeysLeaveThePaymentPageFirst) {
    struct Case {
        int key;
        bool leaves;
    };
    screen.SetCaption(Id(Control::BDep, 1), "Grocery");
    for (Case c : {Case{1, true}, Case{2, true}, Case{8, true}, Case{3, false}, Case{4, false}}) {
        gReg.gKeyPage = KeyPage::Payment;
        BOp_Click(c.key);
        // Leaving, the register shows the default page (the first here).
        EXPECT_EQ(gReg.gKeyPage, c.leaves ? KeyPage::Department1 : KeyPage::Payment) << c.key;
    }
}

// ---- clock, salesperson, client, product ------------------------------------------------------------

TEST_F(KeysTest, ClockKeyClocksTheCashierInAndOut) {
    AddCashier("111", "00000001", "Ann", 1);
    gReg.gBusinessDate.clear();
    Type("111");
    BOp_Click(3);
    EXPECT_EQ(MessageLine(), "Clockin Successful Ann 10:30");
    EXPECT_EQ(gReg.gBusinessDate, "20261209");
    // The clock-in: an "I" record of employee 1, today at 10:30.
    EXPECT_EQ(JournalCount(), 2);
    EXPECT_EQ(JournalRecord(2), "202612091030I0" + k8 + "1       " + k9 + k9);

    clock.Set(LocalTime{2026, 12, 9, 17, 45, 0});
    gReg.gBusinessDate = "20261208";  // kept when set
    Type("111");
    BOp_Click(3);
    EXPECT_EQ(MessageLine(), "Clockout Successful Ann 17:45");
    EXPECT_EQ(gReg.gBusinessDate, "20261208");
    // Clocked in, so clocked out: a "U" record at 17:45.
    EXPECT_EQ(JournalCount(), 3);
    EXPECT_EQ(JournalRecord(3), "202612091745U0" + k8 + "1       " + k9 + k9);
    EXPECT_EQ(Entry(), "");
}

TEST_F(KeysTest, ClockKeyRefusals) {
    AddCashier("111", "00000001", "Ann", 1);
    Type("222");
    BOp_Click(3);
    EXPECT_EQ(MessageLine(), "Not Found");
    Type("");
    BOp_Click(3);
    EXPECT_EQ(MessageLine(), "");
    AddLine("A", 1, Money::FromUnits(1));
    Type("111");
    BOp_Click(3);
    EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale");
    EXPECT_EQ(JournalCount(), 1);  // nobody clocked
}

TEST_F(KeysTest, SalespersonKey) {
    gData.SalesmanTable.push_back(SalesmanRow{"00000004", "44", "Bob"});
    gData.gSalesmanCount = 1;
    BOp_Click(4);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    Type("45");
    BOp_Click(4);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_EQ(gSale.gSalesmanIndex, 0);
    Type("44");
    BOp_Click(4);
    EXPECT_EQ(MessageLine(), "Salesman Bob");
    EXPECT_EQ(gSale.gSalesmanIndex, 1);
    EXPECT_EQ(Entry(), "");
}

TEST_F(KeysTest, ClientKey) {
    // Nothing typed: the client number is asked.
    BOp_Click(6);
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(MessageLine(), "Input Client Number & Select Enter");
    EXPECT_TRUE(gReg.gPromptLineActive);
    EXPECT_EQ(gReg.gPromptLine, 7);
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Client Entry");
    BReg_Click(3);  // cancelled
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");

    keys.calls.clear();
    Type("77");
    BOp_Click(6);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_TRUE(keys.calls.empty());

    std::string rec(208, ' ');
    rec.replace(11, 2, "77");
    rec.replace(19, 11, "Corner Shop");
    ASSERT_TRUE(gData.clients.Open(gConstants.paths.gDataPath + ".CLI", 210, true));
    ASSERT_TRUE(gData.clients.Write(1, rec));
    gData.gClientCount = 1;
    AddLine("A", 2, Money::FromUnits(3));
    Type("77");
    BOp_Click(6);
    EXPECT_TRUE(keys.calls.empty());
    // The client attached: its name, its panel, the totals again.
    EXPECT_EQ(gSale.gClientName, "Corner Shop");
    EXPECT_EQ(MessageLine(), "Client Corner Shop");
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$6.00");
    EXPECT_EQ(Entry(), "");
}

TEST_F(KeysTest, SearchKeysSearchWhatWasTyped) {
    // Word indexes: client "Cash Customer", product "Description".
    DefaultClient_Load();
    Products({"123"});
    Index_Product();
    Index_Client();
    Type("cash");
    BOp_Click(5);
    EXPECT_EQ(keys.calls, Calls{"SearchForm_Show"});
    EXPECT_EQ(keys.searchForm.mode, 2);  // the clients
    EXPECT_EQ(Entry(), "");
    keys.calls.clear();
    Type("descr");
    BOp_Click(7);
    EXPECT_EQ(keys.calls, Calls{"SearchForm_Show"});
    EXPECT_EQ(keys.searchForm.mode, 1);  // the products
    EXPECT_EQ(Entry(), "");
    // A word nobody has opens no list.
    keys.calls.clear();
    Type("zebra");
    BOp_Click(7);
    EXPECT_TRUE(keys.calls.empty());
}

TEST_F(KeysTest, ProductKey) {
    Products({"123"});
    BOp_Click(8);
    EXPECT_EQ(MessageLine(), "Invalid Entry");

    Type("123");
    BOp_Click(8);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"123"}));
    EXPECT_EQ(gSale.gLineKind, "P");
    EXPECT_TRUE(keys.Called("Kit_Processing(123)"));
    EXPECT_EQ(Entry(), "");

    keys.calls.clear();
    gSale.gPriceSearch = gSale.gStockSearch = true;
    Type("999");
    BOp_Click(8);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_EQ(screen.Text(Id(Control::Txt_Message)), "Not Found");
    EXPECT_TRUE(screen.Visible(Id(Control::Txt_Message)));
    EXPECT_FALSE(gSale.gPriceSearch);
    EXPECT_FALSE(gSale.gStockSearch);
    EXPECT_EQ(keys.calls, Calls{"PlaySoundFile(1)"});
    EXPECT_EQ(gSale.gItemCount, 1);
}

TEST_F(KeysTest, OperationKeysDoNothingWhileCounting) {
    gSale.gStockCount = true;
    AddLine("A", 1, Money::FromUnits(1));
    for (int key = 1; key <= 8; ++key) {
        Type("1");
        BOp_Click(key);
        EXPECT_EQ(Entry(), "1") << key;
    }
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(gSale.gItemCount, 1);
}

// ---- block, erase, quantity ---------------------------------------------------------------------------

TEST_F(KeysTest, BlockTogglesTheMaskAndEraseEmpties) {
    Type("12");
    BReg_Click(1);
    EXPECT_EQ(screen.State(kEntryBox).passwordChar, '*');
    EXPECT_TRUE(gReg.gEntryMasked);
    EXPECT_EQ(Entry(), "12");
    BReg_Click(1);
    EXPECT_EQ(screen.State(kEntryBox).passwordChar, 0);
    EXPECT_FALSE(gReg.gEntryMasked);
    BReg_Click(2);
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(screen.Focus(), kEntryBox);
}

TEST_F(KeysTest, QuantityForTheNextProduct) {
    struct Case {
        const char* what;
        bool exchange, counting;
        RegisterMode mode;
        const char* typed;
        double quantity;  // 0: refused
        const char* message;
    };
    const Case cases[] = {
        {"sale", false, false, RegisterMode::Sales, "3", 3, "Quantity 3"},
        {"cleaned", false, false, RegisterMode::Sales, "1,50", 1.5, "Quantity 1.50"},
        {"money sign", false, false, RegisterMode::Sales, "$ 2", 2, "Quantity 2"},
        {"zero in a sale", false, false, RegisterMode::Sales, "0", 0, "Invalid Entry"},
        {"negative in a sale", false, false, RegisterMode::Sales, "-2", 0, "Invalid Entry"},
        {"limit", false, false, RegisterMode::Sales, "99999", 0, "Invalid Entry"},
        {"under the limit", false, false, RegisterMode::Sales, "99998.5", 99998.5, "Quantity 99998.5"},
        {"nothing typed", false, false, RegisterMode::Sales, "", 0, "Invalid Entry"},
        {"exchange", true, false, RegisterMode::Sales, "-2", -2, "Quantity -2"},
        {"exchange limit", true, false, RegisterMode::Sales, "99999", 0, "Invalid Entry"},
        {"exchange lower limit", true, false, RegisterMode::Sales, "-99999", 0, "Invalid Entry"},
        {"counting", false, true, RegisterMode::StockCount, "-4", -4, "Quantity -4"},
        {"receive PO", false, false, RegisterMode::ReceivePO, "-1", -1, "Quantity -1"},
        {"new PO", false, false, RegisterMode::NewPurchaseOrder, "-1", -1, "Quantity -1"},
        {"pack order", false, false, RegisterMode::PackOrder, "-1", -1, "Quantity -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gSale.gQuantity = 1;
        gSale.gExchangeMode = c.exchange;
        gSale.gStockCount = c.counting;
        gSale.gMode = c.mode;
        Type(c.typed);
        BReg_Click(3);
        EXPECT_EQ(gSale.gQuantity, c.quantity == 0 ? 1 : c.quantity);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(KeysTest, QuantityOfTheSelectedLine) {
    AddLine("A", 1, Money::FromUnits(1));
    AddLine("B", 2, Money::FromUnits(1));
    gSale.gSelectedLine = 2;
    Type("4");
    BReg_Click(3);
    EXPECT_EQ(gSale.gLines[2].quantity, 4);
    EXPECT_EQ(gSale.gQuantity, 1);
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$5.00");  // 1 + 4 x 1
    EXPECT_EQ(screen.Text(Id(Control::Rt_Quantity, 2)), "4");
    EXPECT_EQ(gSale.gSelectedLine, 0);  // the redisplay drops the selection

    gSale.gSelectedLine = 2;
    Type("0");
    BReg_Click(3);
    EXPECT_EQ(gSale.gLines[2].quantity, 4);
    EXPECT_EQ(MessageLine(), "Invalid Entry");

    // Receiving a purchase order counts up.
    gSale.gMode = RegisterMode::ReceivePO;
    gSale.gSelectedLine = 2;
    Type("3");
    BReg_Click(3);
    EXPECT_EQ(gSale.gLines[2].quantity, 7);
}

TEST_F(KeysTest, QuantityKeyCancelsAPendingQuestion) {
    BOp_Click(6);  // the client number asked
    ASSERT_TRUE(gReg.gPromptLineActive);
    Type("5");
    BReg_Click(3);
    // The question goes with what was typed for it; no quantity is taken.
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "");
    EXPECT_EQ(gSale.gQuantity, 1);
    EXPECT_EQ(Entry(), "");
    EXPECT_TRUE(keys.calls.empty());
}

TEST_F(KeysTest, QuantityKeyLeavesThePaymentPage) {
    screen.SetCaption(Id(Control::BDep, 1), "Grocery");
    gReg.gKeyPage = KeyPage::Payment;
    Type("2");
    BReg_Click(3);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);  // the default page
}

// ---- Enter ------------------------------------------------------------------------------------------------

class EnterTest : public KeysTest {
protected:
    void SetUp() override {
        KeysTest::SetUp();
        gReg.gLoggedOut = true;
        gReg.gBusinessDate.clear();
        gReg.gPromptState = PromptState::Login;
        AddCashier("111", "00000001", "Ann", 1);
        AddCashier("222", "00000002", "Bea", 2);
        AddCashier("333", "00000003", "Cy", 3);
        AddCashier("444", "00000004", "Di", 0);
    }
    void Enter(const std::string& typed) {
        Type(typed);
        BReg_Click(4);
    }
};

TEST_F(EnterTest, LoginByCashierLevel) {
    struct Case {
        const char* code;
        std::int32_t cashier;  // 0: refused
        const char* message;
    };
    const Case cases[] = {
        {"111", 1, ""},
        {"333", 3, ""},
        {"222", 0, "Access Denied, Not a Cashier or Salesman"},
        {"444", 0, "Access Denied, Not a Cashier or Salesman"},
        {"555", 0, "Not Found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        gReg.gCashierIndex = 0;
        gReg.gBusinessDate.clear();
        keys.calls.clear();
        gReg.gPromptState = PromptState::Login;
        gSale.gDateText.clear();
        CIATime("Type Cashier Number & Select Enter Button", 0);
        Enter(c.code);
        EXPECT_EQ(gReg.gCashierIndex, c.cashier);
        // Accepted: the day's date, and the first login of the day asks for
        // the drawer's opening amount.
        EXPECT_EQ(MessageLine(), c.cashier ? "Enter Drawer's Opening Amount & Select Enter" : c.message);
        EXPECT_EQ(gReg.gBusinessDate, c.cashier ? "20261209" : "");
        EXPECT_EQ(gSale.gDateText, c.cashier ? "09/Dec/2026" : "");
        EXPECT_EQ(gReg.gPromptState, c.cashier ? PromptState::OpeningAmount : PromptState::Login);
        EXPECT_TRUE(keys.calls.empty());
        EXPECT_EQ(Entry(), "");
        EXPECT_FALSE(gReg.gEntryMasked);
    }
}

TEST_F(EnterTest, EmptyLoginDoesNothing) {
    Enter("");
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(MessageLine(), "");
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);
}

TEST_F(EnterTest, LoginClocksInWhenClockingIsAutomatic) {
    gSettings.gAutoClockOut = true;
    Enter("111");
    // Ann was not in: her clock-in at the login.
    EXPECT_EQ(JournalCount(), 2);
    EXPECT_EQ(JournalRecord(2), "202612091030I0" + k8 + "1       " + k9 + k9);
    EXPECT_EQ(MessageLine(), "Enter Drawer's Opening Amount & Select Enter");

    // Cy clocked in at 8:00 and logs in: no second clock-in.
    clock.Set(LocalTime{2026, 12, 9, 8, 0, 0});
    gReg.gEmployeeNumber = "00000003";
    ASSERT_TRUE(Clock_Login());
    clock.Set(LocalTime{2026, 12, 9, 10, 30, 0});
    gReg.gPromptState = PromptState::Login;
    Enter("333");
    EXPECT_EQ(gReg.gCashierIndex, 3);
    EXPECT_EQ(JournalCount(), 3);
    EXPECT_EQ(JournalRecord(3), "202612090800I0" + k8 + "3       " + k9 + k9);
    EXPECT_TRUE(keys.calls.empty());
}

TEST_F(EnterTest, LoginWithoutCashiersFetchesThemFirst) {
    gData.CashierTable.resize(1);
    gData.gCashierCount = 0;
    gData.gNoCashiers = true;
    gComm.gOperationMode = CommMode::DownloadOnly;
    gSettings.gConnectionMode = ConnectionMode::Interval;  // a standing connection: no dial-up around the session

    // A full session with its window shown; without it nobody can log in.
    keys.commResult = 1;
    Enter("999");
    EXPECT_EQ(MessageLine(), "Internet Connection Is Not Available");
    EXPECT_EQ(keys.calls, Calls{"Session_Run(0)"});
    EXPECT_EQ(gReg.gCashierIndex, 0);
    EXPECT_EQ(gReg.gPromptState, PromptState::Login);

    keys.calls.clear();
    keys.commResult = 0;
    keys.commUpdatesProducts = true;
    Enter("999");
    EXPECT_EQ(keys.calls, (Calls{"Session_Run(0)", "RestartProgram"}));
    EXPECT_EQ(gReg.gCashierIndex, 0);

    // A session that brought the cashiers lets the code be checked at once.
    keys.calls.clear();
    keys.commUpdatesProducts = false;
    keys.commBringsCashier = true;
    Enter("999");
    EXPECT_EQ(keys.calls, Calls{"Session_Run(0)"});
    EXPECT_EQ(gReg.gCashierIndex, 1);
    EXPECT_EQ(gSale.gDateText, "09/Dec/2026");
    EXPECT_EQ(MessageLine(), "Enter Drawer's Opening Amount & Select Enter");
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
}

TEST_F(EnterTest, OpeningAmount) {
    struct Case {
        const char* typed;
        std::string record;  // the opening's record, "" when refused
    };
    const Case cases[] = {{"5000", "202612091030O0" + k8 + "00000001" + "5000     " + k9},
                          {"0.01", "202612091030O0" + k8 + "00000001" + ".01      " + k9},
                          {"5000.01", ""},
                          {"0", ""},
                          {"-20", ""},
                          {"", ""}};
    // Ann has logged in; the day's opening is asked for.
    gReg.gCashierIndex = 1;
    gReg.gBusinessDate = "20261209";
    DefaultClient_Load();  // for the sale the login starts
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        gReg.gPromptState = PromptState::OpeningAmount;
        keys.calls.clear();
        screen.SetFontSize(SoftKeyId(1), 13);
        const std::int64_t before = JournalCount();
        Enter(c.typed);
        EXPECT_TRUE(keys.calls.empty());
        if (!c.record.empty()) {
            // The sale starts: its keys captioned again, no question pending.
            EXPECT_EQ(screen.State(SoftKeyId(1)).font.size, 11);
            EXPECT_EQ(gReg.gPromptState, PromptState::None);
            EXPECT_EQ(gSale.gClientName, "Cash Customer");
            EXPECT_EQ(MessageLine(), "Cashier Login Successful");
            EXPECT_EQ(JournalCount(), before + 1);
            EXPECT_EQ(JournalRecord(before + 1), c.record);
        } else {
            EXPECT_TRUE(keys.calls.empty());
            EXPECT_EQ(JournalCount(), before);
            EXPECT_EQ(MessageLine(), "Enter Drawer's Opening Amount & Select Enter");
            EXPECT_FALSE(timers.Running(TimerId::CIA));  // the request stays
            EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
        }
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(EnterTest, PaidOut) {
    const ControlId kPrintoutPanel{Control::Txt_Printer, 0};  // the on-screen printout
    struct Case {
        const char* typed;
        const char* total;  // the slip's total line; nullptr: refused
    };
    const Case cases[] = {
        {"-4999.99", "               Total: $  -4,999.99"},
        {"5000", "               Total: $   5,000.00"},
        {"12.5", "               Total: $      12.50"},
        {"-5000", nullptr},
        {"5000.01", nullptr},
        {"", nullptr},
    };
    // Each accepted paid-out is the next record of the journal, by Ann alone.
    const std::string records[] = {"202612091030P0" + k8 + "00000001" + "-4999.99 " + k9,
                                   "202612091030P0" + k8 + "00000001" + "5000     " + k9,
                                   "202612091030P0" + k8 + "00000001" + "12.5     " + k9};
    gReg.gCashierIndex = 1;
    gReg.gBusinessDate = "20261209";
    int written = 0;
    // The slip printed; the printer is the screen for this printout.
    gTerminalNumber = kTerminal;
    gSettings.gPrinterType = PrinterType::Com1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        gPrint.gPrintToScreen = true;
        screen.SetText(kPrintoutPanel, "");
        gReg.gPromptState = PromptState::PaidOut;
        keys.calls.clear();
        Enter(c.typed);
        EXPECT_TRUE(keys.calls.empty());
        if (c.total) {
            const int record = 2 + written;
            EXPECT_EQ(JournalCount(), record);
            EXPECT_EQ(JournalRecord(record), records[written]);
            ++written;
            EXPECT_EQ(MessageLine(), "Paidout Completed");
            // The slip is on the screen: the drawer left the print-to-screen
            // mode as it was.
            const std::string& shown = screen.Text(kPrintoutPanel);
            EXPECT_NE(shown.find("PAID OUT\r\n"), std::string::npos) << shown;
            EXPECT_NE(shown.find(std::string(c.total) + "\r\n"), std::string::npos) << shown;
            PromptInCIA_Enter();  // the printout closed
        } else {
            EXPECT_EQ(JournalCount(), 1 + written);
            EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
            EXPECT_EQ(screen.Text(kPrintoutPanel), "");
        }
        EXPECT_EQ(gReg.gPromptState, PromptState::None);
        EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");  // the question's mode is gone
        EXPECT_EQ(Entry(), "");
    }
    Open_FileActivity();
    EXPECT_EQ(gData.gLastActivityRecord, 4);  // the header and the three paid-outs
    gData.activity.Close();
}

TEST_F(EnterTest, Declaration) {
    struct Case {
        const char* typed;
        bool accepted;
    };
    // Over (+) or short (-): any amount but 0 that fits the record's 9 columns.
    const Case cases[] = {{"125.50", true},   {"0.01", true},    {"-3", true},   {"-99999.99", true},
                          {"0", false},       {"", false},       {"abc", false}, {"1234567.89", false},
                          {"-100000", false}, {"1000000", false}};
    // Each accepted declaration is the next record of the journal, by Ann.
    const std::string records[] = {"202612091030C0" + k8 + "00000001" + "125.5    " + k9,
                                   "202612091030C0" + k8 + "00000001" + ".01      " + k9,
                                   "202612091030C0" + k8 + "00000001" + "-3       " + k9,
                                   "202612091030C0" + k8 + "00000001" + "-99999.99" + k9};
    gReg.gCashierIndex = 1;
    gReg.gBusinessDate = "20261209";
    int written = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        gReg.gPromptState = PromptState::Declaration;
        keys.calls.clear();
        Enter(c.typed);
        EXPECT_TRUE(keys.calls.empty());
        if (c.accepted) {
            EXPECT_EQ(JournalCount(), 2 + written);
            EXPECT_EQ(JournalRecord(2 + written), records[written]);
            ++written;
            EXPECT_EQ(MessageLine(), "Entry Saved Successfully");
        } else {
            EXPECT_EQ(JournalCount(), 1 + written);
            EXPECT_EQ(MessageLine(), "Invalid Entry, Operation Cancelled");
        }
        EXPECT_EQ(gReg.gPromptState, PromptState::None);
        EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");  // the question's mode is gone
    }
}

TEST_F(EnterTest, ASaleEntryIsAProductCode) {
    LoggedIn();
    Products({"123"});
    Enter("123");
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"123"}));
    EXPECT_EQ(Entry(), "");
}

TEST_F(EnterTest, EnterAnswersAPendingQuestion) {
    LoggedIn();
    BOp_Click(6);  // the client number asked
    ASSERT_TRUE(gReg.gPromptLineActive);
    Enter("42");
    // The answer went to the question (no such client), not to a product
    // look-up or a login.
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(gReg.gCashierIndex, 0);
}

TEST_F(EnterTest, EnterClosesTheMessageBoxFirst) {
    LoggedIn();
    screen.Show(Id(Control::Txt_All), true);
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    Enter("");
    EXPECT_FALSE(screen.Visible(Id(Control::Txt_All)));
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
}

TEST_F(EnterTest, StandInsAnswerTheKeysOfMissingSubsystems) {
    RegisterServices standIns;
    Reg().services = &standIns;
    LoggedIn();
    struct Case {
        KeyPage page;
        int key;
    };
    // The Extras and Special pages; the System and Print pages are the
    // register's own and always there, the department, Sales, payment and
    // Mode pages the sale's own.
    for (Case c : {Case{KeyPage::Extras, 3}, Case{KeyPage::Special, 6}}) {
        CIATime("", 0);
        gReg.gKeyPage = c.page;
        mDept_Click(c.key);
        EXPECT_EQ(MessageLine(), "Invalid Entry") << c.page;
    }
    // Quantity reads numbers the way the sale engine will.
    Type("2,5");
    BReg_Click(3);
    EXPECT_EQ(gSale.gQuantity, 2.5);
}

// ---- clicks by control id ----------------------------------------------------------------------------

TEST_F(KeysTest, ClicksReachTheHandlerOfTheirButton) {
    screen.SetCaption(Id(Control::BDep, 4), "Dairy");
    gSale.gTotal = Money::FromUnits(1);
    Products({"D74"});  // "Description", also in the product word index
    Index_Product();
    DepartmentSells(74, "D74");  // key 2 of page 4
    struct Case {
        ControlId id;
        std::function<bool()> happened;
        const char* typed = nullptr;  // typed before the click
    };
    const Case cases[] = {
        {Id(Control::BDep, 4), [] { return gReg.gKeyPage == KeyPage::Department4; }},
        {Id(Control::mDept, 2), [this] { return LineKeys() == std::vector<std::string>{"D74"}; }},
        {Id(Control::BSys, 6), [] { return gReg.gKeyPage == KeyPage::Sales; }},
        {Id(Control::BPayment), [] { return gReg.gKeyPage == KeyPage::Payment; }},
        {Id(Control::BOp, 7), [this] { return keys.Called("SearchForm_Show"); }, "descr"},
        {Id(Control::BReg, 1), [] { return gReg.gEntryMasked; }},
        {Id(Control::mTotalRegister), [] { return gSaleSave.gSaleFinished; }},  // the sale saved
        {Id(Control::mNumeric, 2), [this] { return Entry() == "00"; }},
        {Id(Control::mNumeric, 12), [this] { return Entry() == "009"; }},
    };
    for (const Case& c : cases) {
        if (c.typed) Type(c.typed);
        Button_Click(c.id);
        EXPECT_TRUE(c.happened()) << c.id.name << " " << c.id.index;
    }
    for (int i = 1; i <= 9; ++i) AddLine(std::to_string(i), 1, Money::FromUnits(1));
    Button_Click(Id(Control::RT_Down));
    EXPECT_EQ(gSale.gTopLine, 2);
    Button_Click(Id(Control::Rt_Up));
    EXPECT_EQ(gSale.gTopLine, 1);

    // Ids that are no button of the register do nothing.
    keys.calls.clear();
    Type("7");
    for (ControlId id :
         {Id(Control::mNumeric, 13), Id(Control::mNumeric, 0), Id(Control::txtCIA), Id(Control::Rt_Number, 1)})
        Button_Click(id);
    EXPECT_EQ(Entry(), "7");
    EXPECT_TRUE(keys.calls.empty());
}

}  // namespace
}  // namespace tarvo
