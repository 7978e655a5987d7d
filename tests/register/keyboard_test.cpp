#include "register/keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/indexes.h"
#include "key_fixture.h"
#include "register/prompt_line.h"
#include "register/register_keys.h"
#include "register/total_key.h"
#include "sale/sale_save.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"

namespace tarvo {
namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

using Calls = std::vector<std::string>;

class KeyboardTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        EnableAllButtons();
    }
    void EnableAllButtons() {
        auto group = [&](Control name, int from, int to) {
            for (int i = from; i <= to; ++i) screen.SetEnabled(Id(name, i), true);
        };
        group(Control::BReg, 1, 4);
        group(Control::BOp, 1, 8);
        group(Control::BSys, 1, 6);
        group(Control::BDep, 1, 8);
        group(Control::mDept, 1, 24);
        for (Control single : {Control::BPayment, Control::mTotalRegister, Control::Rt_Up, Control::RT_Down})
            screen.SetEnabled(Id(single), true);
    }
    // A key pressed and released without a modifier.
    void Press(int keyCode, int shift = 0) {
        Form_KeyDown(keyCode, shift);
        Form_KeyUp(keyCode, shift);
    }
    void KeyboardMode() { gSettings.gKeyboardHints = 1; }
};

// ---- the highlight ---------------------------------------------------------------------------------

TEST_F(KeyboardTest, ArrowsMoveTheHighlightRoundTheSoftKeys) {
    struct Case {
        int from, key, to;
    };
    const Case cases[] = {
        {3, KeyCode::Up, 23},   {22, KeyCode::Down, 2}, {24, KeyCode::Right, 1}, {1, KeyCode::Left, 24},
        {5, KeyCode::Left, 4},  {5, KeyCode::Right, 6}, {10, KeyCode::Down, 14}, {10, KeyCode::Up, 6},
        {4, KeyCode::Up, 24},   {21, KeyCode::Down, 1}, {0, KeyCode::Left, 1},   {0, KeyCode::Up, 1},
        {0, KeyCode::Right, 1}, {0, KeyCode::Down, 1},
    };
    for (const Case& c : cases) {
        gReg.gHighlightKey = static_cast<std::int16_t>(c.from);
        Type("12");
        Press(c.key);
        EXPECT_EQ(gReg.gHighlightKey, c.to) << c.from << " key " << c.key;
        EXPECT_EQ(Entry(), "12");  // arrows leave the entry alone
    }
}

TEST_F(KeyboardTest, TheHighlightShowsAsAPlusInKeyboardModeOnly) {
    for (int k = 1; k <= 24; ++k) screen.SetCaption(SoftKeyId(k), "Key" + std::to_string(k));
    screen.SetFont(SoftKeyId(5), Font{"Cambria", 13, true, true});
    gReg.gHighlightKey = 4;
    Press(KeyCode::Right);
    EXPECT_EQ(screen.Caption(SoftKeyId(5)), "Key5");  // not in keyboard mode

    KeyboardMode();
    Press(KeyCode::Left);
    EXPECT_EQ(screen.Caption(SoftKeyId(4)), "Key4+");
    Press(KeyCode::Down);
    EXPECT_EQ(screen.Caption(SoftKeyId(4)), "Key4");
    EXPECT_EQ(screen.Caption(SoftKeyId(8)), "Key8+");
    EXPECT_EQ(screen.State(SoftKeyId(5)).font, (Font{"Cambria", 13, false, false}));
    for (int k = 1; k <= 24; ++k) {
        const std::string& caption = screen.Caption(SoftKeyId(k));
        EXPECT_EQ(caption.back() == '+', k == 8) << k;
    }
}

TEST_F(KeyboardTest, PlusPressesTheHighlightedSoftKey) {
    // Key 3 of page 2 is department 27, which sells product 123.
    Products({"123"});
    DepartmentSells(27, "123");
    gReg.gKeyPage = KeyPage::Department2;
    gReg.gHighlightKey = 3;
    for (auto [key, shift] : {std::pair{KeyCode::NumAdd, 0}, std::pair{KeyCode::Equals, KeyShift::Shift}}) {
        SCOPED_TRACE(key);
        gSale = SaleState{};
        gSettings.gKeyboardHints = 0;
        keys.calls.clear();
        Press(key, shift);
        EXPECT_EQ(gSale.gItemCount, 0);  // not in keyboard mode

        KeyboardMode();
        Press(key, shift);
        EXPECT_EQ(LineKeys(), (std::vector<std::string>{"123"}));
        EXPECT_EQ(keys.calls, Calls{"Kit_Processing(123)"});

        keys.calls.clear();
        screen.SetEnabled(SoftKeyId(3), false);
        Press(key, shift);
        EXPECT_EQ(gSale.gItemCount, 1);
        EXPECT_TRUE(keys.calls.empty());
        screen.SetEnabled(SoftKeyId(3), true);
    }
    gReg.gHighlightKey = 0;
    keys.calls.clear();
    Press(KeyCode::NumAdd);
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_TRUE(keys.calls.empty());
}

// ---- page keys ------------------------------------------------------------------------------------

TEST_F(KeyboardTest, SlashAfterADigitOpensThatDepartmentPage) {
    screen.SetCaption(Id(Control::BDep, 3), "Produce");
    screen.SetCaption(Id(Control::BDep, 8), "Toys");
    struct Case {
        const char* typed;
        KeyPage page;
    };
    const Case cases[] = {{"3", KeyPage::Department3}, {"8", KeyPage::Department8},  {"9", KeyPage::Department1},
                          {"0", KeyPage::Department1}, {"33", KeyPage::Department1}, {"", KeyPage::Department1},
                          {"a", KeyPage::Department1}};
    for (int key : {KeyCode::NumDivide, KeyCode::Slash}) {
        for (const Case& c : cases) {
            gReg.gKeyPage = KeyPage::Department1;
            Type(c.typed);
            Press(key);
            EXPECT_EQ(gReg.gKeyPage, c.page) << key << " after " << c.typed;
            EXPECT_EQ(Entry(), "");
        }
    }
    screen.SetEnabled(Id(Control::BDep, 3), false);
    gReg.gKeyPage = KeyPage::Department1;
    Type("3");
    Press(KeyCode::Slash);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);
}

// A card reader types the track as keys: its "/" and "*" stay in the entry box.
TEST_F(KeyboardTest, SlashAndStarInACardTrackAreTyped) {
    screen.SetCaption(Id(Control::BDep, 3), "Produce");
    gReg.gKeyPage = KeyPage::Department1;
    gSale.gQuantity = 1;
    const std::pair<int, int> trackKeys[] = {
        {KeyCode::Slash, 0}, {KeyCode::NumDivide, 0}, {KeyCode::Digit8, KeyShift::Shift}};
    for (auto [key, shift] : trackKeys) {
        Type("%B4111111111111111^DOE");
        Press(key, shift);
        EXPECT_EQ(Entry(), "%B4111111111111111^DOE") << key;
        EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);
        EXPECT_EQ(gSale.gQuantity, 1);
    }
}

TEST_F(KeyboardTest, F5StepsThroughThePages) {
    for (int p : {2, 4, 7}) screen.SetCaption(Id(Control::BDep, p), "Page " + std::to_string(p));
    struct Case {
        KeyPage from, to;
    };
    const Case cases[] = {
        {KeyPage::None, KeyPage::Department2},
        {KeyPage::Department2, KeyPage::Department4},
        {KeyPage::Department3, KeyPage::Department4},
        {KeyPage::Department4, KeyPage::Department7},
        {KeyPage::Department7, KeyPage::Mode},
        {KeyPage::Department8, KeyPage::Mode},
        {KeyPage::Mode, KeyPage::Print},
        {KeyPage::Print, KeyPage::Department2},
        {KeyPage::System, KeyPage::Mode},
        {KeyPage::Extras, KeyPage::Mode},
        {KeyPage::Sales, KeyPage::Mode},
        {KeyPage::Special, KeyPage::Mode},
        {KeyPage::Payment, KeyPage::Mode},
    };
    for (const Case& c : cases) {
        gReg.gKeyPage = c.from;
        gReg.gHighlightKey = 9;
        Press(KeyCode::F5);
        EXPECT_EQ(gReg.gKeyPage, c.to) << "from " << c.from;
        EXPECT_EQ(gReg.gHighlightKey, 1);
    }
}

// ---- function keys ------------------------------------------------------------------------------------

TEST_F(KeyboardTest, FunctionKeysPressTheirButtons) {
    // Word indexes for the searches of F11 (clients) and F12 (products).
    DefaultClient_Load();  // "Cash Customer"
    Products({"123"});     // "Description"
    Index_Product();
    Index_Client();
    struct Case {
        int key;
        const char* typed;
        const char* call;     // what the key reached, or
        const char* message;  // what its button answered
    };
    const Case cases[] = {
        {KeyCode::F7, "", "", "Invalid Entry, Line No. to Void is Required"},
        {KeyCode::F9, "", "", "Invalid Entry"},
        {KeyCode::F10, "", "", "Input Client Number & Select Enter"},
        {KeyCode::F11, "cash", "SearchForm_Show", ""},
        {KeyCode::F12, "descr", "SearchForm_Show", ""},
    };
    for (const Case& c : cases) {
        keys.calls.clear();
        CIATime("", 0);
        Type(c.typed);
        Press(c.key);
        EXPECT_EQ(keys.calls, *c.call ? Calls{c.call} : Calls()) << c.key;
        EXPECT_EQ(MessageLine(), c.message) << c.key;
        // The client search lists clients (mode 2), the product search products (1).
        if (c.key == KeyCode::F11) {
            EXPECT_EQ(keys.searchForm.mode, 2);
        }
        if (c.key == KeyCode::F12) {
            EXPECT_EQ(keys.searchForm.mode, 1);
        }
        // The client number asked is let go before the next key, and the
        // keys it locked are pressable again.
        if (gReg.gPromptLineActive) PromptInCIA_Cancel();
        EnableAllButtons();
    }
    // Disabled buttons are not pressed.
    for (int i = 1; i <= 8; ++i) screen.SetEnabled(Id(Control::BOp, i), false);
    screen.SetEnabled(Id(Control::mTotalRegister), false);
    keys.calls.clear();
    for (int key = KeyCode::F1; key <= KeyCode::F12; ++key) {
        if (key == KeyCode::F2 || key == KeyCode::F3 || key == KeyCode::F4 || key == KeyCode::F5) continue;
        Type(key == KeyCode::F11 ? "cash" : key == KeyCode::F12 ? "descr" : "");
        Press(key);
    }
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_FALSE(gSaleSave.gSaleFinished);

    // F1 is the Total key: the sale is saved and the end-of-sale pause begins.
    screen.SetEnabled(Id(Control::mTotalRegister), true);
    Press(KeyCode::F1);
    EXPECT_TRUE(gSaleSave.gSaleFinished);
    EXPECT_TRUE(timers.Running(TimerId::EndSale));
}

TEST_F(KeyboardTest, PaymentAndPageFunctionKeysHighlightTheFirstSoftKey) {
    gSale.gTotal = Money::FromUnits(3);
    gReg.gHighlightKey = 7;
    Press(KeyCode::F2);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    EXPECT_EQ(gReg.gHighlightKey, 1);

    struct Case {
        int key;
        KeyPage page;
    };
    for (Case c : {Case{KeyCode::F3, KeyPage::Special}, Case{KeyCode::F4, KeyPage::Sales}}) {
        gReg.gHighlightKey = 7;
        Press(c.key);
        EXPECT_EQ(gReg.gKeyPage, c.page);
        EXPECT_EQ(gReg.gHighlightKey, 1);
    }

    // A Payment key that did not run leaves the highlight.
    screen.SetEnabled(Id(Control::BPayment), false);
    gReg.gHighlightKey = 7;
    Press(KeyCode::F2);
    EXPECT_EQ(gReg.gHighlightKey, 7);

    AddLine("A", 1, Money::FromUnits(1));
    Press(KeyCode::F6);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gReg.gHighlightKey, 1);
}

TEST_F(KeyboardTest, BeforeLoginOnlyTotalClockAndTheEntryKeysWork) {
    gReg.gLoggedOut = true;
    gReg.gPromptState = PromptState::Login;
    gReg.gKeyPage = KeyPage::Department3;
    AddLine("A", 1, Money::FromUnits(1));
    gReg.gHighlightKey = 5;
    for (int key : {KeyCode::F3, KeyCode::F4, KeyCode::F5, KeyCode::F6, KeyCode::F7, KeyCode::F9, KeyCode::F10}) {
        Type("1");
        Press(key);
        EXPECT_EQ(Entry(), "") << key;  // the key still empties the entry
    }
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department3);
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gReg.gHighlightKey, 5);
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(MessageLine(), "");

    // Insert is ignored and does not even empty the entry.
    Type("12");
    Press(KeyCode::Insert);
    EXPECT_FALSE(gReg.gEntryMasked);
    EXPECT_EQ(Entry(), "12");

    DefaultClient_Load();  // for the sale after this one
    Press(KeyCode::F1);
    EXPECT_TRUE(gSaleSave.gSaleFinished);  // the Total key saved the sale
    Timer_EndSale_Timer();                 // the pause over: the next sale
    EnableAllButtons();                    // as the next sale finds them
    gSale.gItemCount = 0;
    AddCashier("111", "00000001", "Ann", 1);
    Type("111");
    Form_KeyDown(KeyCode::F8, 0);
    EXPECT_EQ(MessageLine(), "Clockin Successful Ann 10:30");
}

TEST_F(KeyboardTest, EntryKeys) {
    Type("5");
    Press(KeyCode::Insert);
    EXPECT_TRUE(gReg.gEntryMasked);
    Type("5");
    Press(KeyCode::Delete);
    EXPECT_EQ(Entry(), "");
    for (auto [key, shift] : {std::pair{KeyCode::NumMultiply, 0}, std::pair{KeyCode::Digit8, KeyShift::Shift}}) {
        gSale.gQuantity = 1;
        Type("3");
        Press(key, shift);
        EXPECT_EQ(gSale.gQuantity, 3) << key;
        screen.SetEnabled(Id(Control::BReg, 3), false);
        Type("4");
        Form_KeyDown(key, shift);
        EXPECT_EQ(gSale.gQuantity, 3) << key;
        screen.SetEnabled(Id(Control::BReg, 3), true);
    }
}

TEST_F(KeyboardTest, EnterRunsTheEnterKeyEvenWhenItsButtonIsDisabled) {
    Products({"123"});
    screen.SetEnabled(Id(Control::BReg, 4), false);
    Type("123");
    Press(KeyCode::Enter);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"123"}));
}

TEST_F(KeyboardTest, PageKeysScrollTheReceipt) {
    for (int i = 1; i <= 9; ++i) AddLine(std::to_string(i), 1, Money::FromUnits(1));
    gSale.gTopLine = 1;
    Type("7");
    Press(KeyCode::PageUp);
    EXPECT_EQ(gSale.gTopLine, 2);
    Press(KeyCode::PageDown);
    EXPECT_EQ(gSale.gTopLine, 1);
    EXPECT_EQ(Entry(), "7");  // no clearing after the page keys
    screen.SetEnabled(Id(Control::RT_Down), false);
    Press(KeyCode::PageUp);
    EXPECT_EQ(gSale.gTopLine, 1);
}

// ---- shifted keys -------------------------------------------------------------------------------

TEST_F(KeyboardTest, ShiftF11OpensTheNewClientEntry) {
    // The Mode page's new-client key, which first needs a client to copy.
    Press(KeyCode::F11, KeyShift::Shift);
    EXPECT_EQ(MessageLine(), "Begin by selecting a client to duplicate");
    struct Case {
        const char* what;
        bool loggedOut, counting, enabled;
    };
    for (Case c : {Case{"logged out", true, false, true}, Case{"counting", false, true, true},
                   Case{"client key off", false, false, false}}) {
        keys.calls.clear();
        CIATime("", 0);
        gReg.gLoggedOut = c.loggedOut;
        gSale.gStockCount = c.counting;
        screen.SetEnabled(Id(Control::BOp, 6), c.enabled);
        Press(KeyCode::F11, KeyShift::Ctrl);
        EXPECT_EQ(MessageLine(), "") << c.what;
        EXPECT_TRUE(keys.calls.empty()) << c.what;
    }
}

TEST_F(KeyboardTest, ShiftF12SearchesTheProductAliases) {
    dir.Write(std::string("Files/") + kTerminal + ".PAX",
              "APPLE RED           00000001\r\nAPRICOT             00000002\r\nBANANA              00000003\r\n");
    Index_Pax();
    ASSERT_EQ(gData.gPaxCount, 3);

    Type("AP");
    Press(KeyCode::F12, KeyShift::Shift);
    EXPECT_EQ(keys.calls, Calls{"SearchForm_Show"});
    EXPECT_EQ(keys.searchForm, (SearchFormSetup{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10}));
    EXPECT_EQ(gData.gSearchText, "AP");
    EXPECT_EQ(gData.gSearchFirst, 1);
    EXPECT_EQ(gData.gSearchLast, 2);
    EXPECT_EQ(Entry(), "");

    struct Case {
        const char* what;
        const char* typed;
        bool loggedOut, counting;
    };
    for (Case c : {Case{"no alias", "ZZ", false, false}, Case{"nothing typed", "", false, false},
                   Case{"logged out", "AP", true, false}, Case{"counting", "AP", false, true}}) {
        keys.calls.clear();
        gReg.gLoggedOut = c.loggedOut;
        gSale.gStockCount = c.counting;
        Type(c.typed);
        Press(KeyCode::F12, KeyShift::Shift);
        EXPECT_TRUE(keys.calls.empty()) << c.what;
    }
}

TEST_F(KeyboardTest, OtherShiftedKeysDoNothing) {
    for (int key : {KeyCode::Enter, KeyCode::F1, KeyCode::F5, KeyCode::Delete, KeyCode::Slash}) {
        Type("3");
        Press(key, KeyShift::Shift);
        EXPECT_EQ(Entry(), "3") << key;
    }
    EXPECT_TRUE(keys.calls.empty());
}

// ---- card requests and questions ----------------------------------------------------------------------

TEST_F(KeyboardTest, EveryKeyWaitsForARunningCardRequest) {
    gReg.gCardBusy = true;
    gReg.gClearOnKeyUp = true;
    for (int key : {KeyCode::Enter, KeyCode::F1, KeyCode::F2, KeyCode::Delete, KeyCode::Escape}) {
        Type("1");
        Press(key);
        EXPECT_EQ(Entry(), "1") << key;
    }
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_FALSE(gReg.gClearOnKeyUp);
}

TEST_F(KeyboardTest, APendingQuestionTakesOnlyEnterAndEscape) {
    Press(KeyCode::F10);  // the client number asked
    ASSERT_TRUE(gReg.gPromptLineActive);
    Type("4111");
    Press(KeyCode::F1);
    Press(KeyCode::Delete);
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(Entry(), "4111");
    EXPECT_TRUE(gReg.gPromptLineActive);
    // Enter answers it (no such client), Escape cancels the next one.
    Press(KeyCode::Enter);
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "Not Found");
    EnableAllButtons();
    Press(KeyCode::F10);
    ASSERT_TRUE(gReg.gPromptLineActive);
    Type("4111");
    Press(KeyCode::Escape);
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(MessageLine(), "");
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_TRUE(keys.calls.empty());
}

TEST_F(KeyboardTest, KeyUpKeepsTheProposedCardAmount) {
    gReg.gPromptLineActive = true;
    gReg.gPromptLine = 1;
    Type("12.50");
    gReg.gClearOnKeyUp = true;
    Form_KeyUp(KeyCode::Enter, 0);
    EXPECT_EQ(Entry(), "12.50");
    EXPECT_FALSE(gReg.gClearOnKeyUp);

    gReg.gPromptLine = 3;
    gReg.gClearOnKeyUp = true;
    Form_KeyUp(KeyCode::Enter, 0);
    EXPECT_EQ(Entry(), "");
}

TEST_F(KeyboardTest, APlusAloneIsNoAnswer) {
    gReg.gPromptLineActive = true;
    gReg.gPromptLine = 1;
    for (auto [typed, left] : {std::pair{"+", ""}, std::pair{"1+", "1+"}, std::pair{"++", "++"}}) {
        Type(typed);
        Form_KeyUp(KeyCode::NumAdd, 0);
        EXPECT_EQ(Entry(), left) << typed;
    }
    gReg.gPromptLineActive = false;
    Type("+");
    Form_KeyUp(KeyCode::NumAdd, 0);
    EXPECT_EQ(Entry(), "+");
}

// ---- focus ------------------------------------------------------------------------------------------

TEST_F(KeyboardTest, CellsHandTheFocusBackToTheEntryBox) {
    for (ControlId id :
         {Id(Control::Rt_Description, 2), Id(Control::Rt_Extension, 1), Id(Control::Rt_Price, 7),
          Id(Control::Rt_Quantity, 3), Id(Control::Rt_Tax, 4), Id(Control::Rt_Total), Id(Control::Txt_Mode),
          Id(Control::txtCIA), Id(Control::Tr_Amount, 11), Id(Control::Tr_Title, 6)}) {
        screen.SetFocus(id);
        Control_GotFocus(id);
        EXPECT_EQ(screen.Focus(), kEntryBox) << id.name;
    }
    screen.SetFocus(Id(Control::BarCode));
    Control_GotFocus(Id(Control::BarCode));
    EXPECT_EQ(screen.Focus(), Id(Control::BarCode));
}

TEST_F(KeyboardTest, TouchingALineNumberSelectsTheLine) {
    for (int i = 1; i <= 9; ++i) AddLine(std::to_string(i), 1, Money::FromUnits(1));
    gSale.gTopLine = 3;
    Receipt_Display();
    Control_GotFocus(Id(Control::Rt_Number, 2));
    EXPECT_EQ(gSale.gSelectedLine, 4);
    EXPECT_EQ(screen.Focus(), kEntryBox);
    // Voiding then takes the selected line.
    gReg.gLoggedOut = false;
    Press(KeyCode::F7);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"1", "2", "3", "5", "6", "7", "8", "9"}));
}

}  // namespace
}  // namespace tarvo
