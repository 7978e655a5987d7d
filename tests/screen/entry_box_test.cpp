#include "screen/entry_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "register/key_fixture.h"
#include "register/prompt_line.h"
#include "register/register_keys.h"

namespace tarvo {
namespace {

using Calls = std::vector<std::string>;

class EntryBoxTest : public KeyTest {};

// ---- emptying the entry box --------------------------------------------------------------------

TEST_F(EntryBoxTest, ResetMasksOnlyDuringTheLogin) {
    for (PromptState state : {PromptState::None, PromptState::PaidOut, PromptState::Login, PromptState::OpeningAmount,
                              PromptState::Declaration, PromptState::ClientNumber}) {
        SCOPED_TRACE(static_cast<int>(state));
        gReg.gPromptState = state;
        gReg.gEntryMasked = state != PromptState::Login;
        screen.SetPasswordChar(kEntryBox, state == PromptState::Login ? 0 : '*');
        screen.SetFocus(kMessageLine);
        Type("1234");
        DEA_Reset();
        EXPECT_EQ(Entry(), "");
        EXPECT_EQ(screen.State(kEntryBox).passwordChar, state == PromptState::Login ? '*' : 0);
        EXPECT_EQ(gReg.gEntryMasked, state == PromptState::Login);
        EXPECT_EQ(screen.Focus(), kEntryBox);
    }
}

// ---- keypad ----------------------------------------------------------------------------------------

TEST_F(EntryBoxTest, KeypadKeysTypeTheirTexts) {
    const char* texts[] = {"0", "00", ".", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    gReg.gLoggedOut = false;
    for (int n = 1; n <= 12; ++n) {
        Type("");
        mNumeric_Click(n);
        EXPECT_EQ(Entry(), texts[n - 1]) << n;
    }
    Type("");
    for (int n : {2, 8}) mNumeric_Click(n);
    EXPECT_EQ(Entry(), "005");
    Type("");
    for (int n : {4, 2, 3}) mNumeric_Click(n);
    EXPECT_EQ(Entry(), "100.");
    EXPECT_EQ(screen.State(kEntryBox).selStart, 4);  // the caret at the end
    EXPECT_EQ(screen.Focus(), kEntryBox);
    // Keys that do not exist type nothing.
    mNumeric_Click(0);
    mNumeric_Click(13);
    EXPECT_EQ(Entry(), "100.");
}

TEST_F(EntryBoxTest, KeypadMasksALoginCode) {
    struct Case {
        bool loggedOut, masked;
        char shown;
    };
    for (Case c : {Case{true, false, '*'}, Case{false, true, '*'}, Case{false, false, 0}}) {
        gReg.gLoggedOut = c.loggedOut;
        gReg.gEntryMasked = c.masked;
        Type("");
        mNumeric_Click(5);
        EXPECT_EQ(screen.State(kEntryBox).passwordChar, c.shown) << c.loggedOut << c.masked;
        EXPECT_EQ(Entry(), "2");
    }
}

// ---- product codes ---------------------------------------------------------------------------------

class BarCodeTest : public EntryBoxTest {
protected:
    void SetUp() override {
        EntryBoxTest::SetUp();
        LoggedIn();
    }
    // A sale of one line with the total given.
    void Sale(Money total) {
        AddLine("A", 1, total);
        gSale.gTotal = total;
    }
};

TEST_F(BarCodeTest, AProductCodeAddsItsProduct) {
    Products({"123", "b123"});
    gSale.gCaseLetter = "b";
    Type("123");
    BarCode_Change();
    EXPECT_EQ(gData.gProductKey, "b123");
    EXPECT_EQ(gSale.gCaseLetter, "");
    EXPECT_EQ(gSale.gLineKind, "P");
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"b123"}));
    EXPECT_EQ(keys.calls, (Calls{"Product_Add", "Kit_Processing(b123)"}));
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_EQ(Entry(), "");
}

TEST_F(BarCodeTest, AnUnknownCodeIsReportedThreeWays) {
    Products({"123"});
    AddLine("A", 1, Money::FromUnits(1));
    gSale.gCaseLetter = "b";
    gSale.gPriceSearch = true;
    gSale.gStockSearch = true;
    Type("123");
    BarCode_Change();
    EXPECT_EQ(gData.gProductKey, "b123");
    EXPECT_EQ(gSale.gCaseLetter, "");  // used up all the same
    EXPECT_EQ(MessageLine(), "Not Found");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
    EXPECT_EQ(screen.Text(ControlId{Control::Txt_Message, 0}), "Not Found");
    EXPECT_TRUE(screen.Visible(ControlId{Control::Txt_Message, 0}));
    EXPECT_TRUE(timers.Running(TimerId::Message));
    EXPECT_EQ(keys.calls, (Calls{"PlaySoundFile(1)"}));
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");  // the searches are off again
    EXPECT_FALSE(gSale.gPriceSearch);
    EXPECT_FALSE(gSale.gStockSearch);
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Entry(), "");
}

TEST_F(BarCodeTest, NothingHappensWhileTheQuestionLineWaits) {
    gReg.gPromptLineActive = true;
    Type("123");
    BarCode_Change();
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(Entry(), "123");
}

TEST_F(BarCodeTest, ACodeBeforeTheDaysFirstLoginIsALoginCode) {
    AddCashier("111", "00000001", "Ann", 1);
    gReg.gBusinessDate.clear();
    gReg.gPromptState = PromptState::Login;
    Type("111");
    BarCode_Change();
    EXPECT_EQ(gReg.gCashierIndex, 1);
    // Logged in on today's date; the day's first login asks for the opening amount.
    EXPECT_EQ(gReg.gBusinessDate, "20261209");
    EXPECT_EQ(gSale.gDateText, "09/Dec/2026");
    EXPECT_EQ(gReg.gPromptState, PromptState::OpeningAmount);
    EXPECT_EQ(MessageLine(), "Enter Drawer's Opening Amount & Select Enter");
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(Entry(), "");
}

// ---- card swipes --------------------------------------------------------------------------------------

TEST_F(BarCodeTest, ASwipeOpensThePaymentPageAndAsksForTheAmount) {
    gSettings.gCardEnabled = true;
    Sale(Money::FromCents(1250));
    Type("%B4111111111111111^DOE/JOHN^2512?");
    BarCode_Change();
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    // The parser had the track; the register keeps the card it read, never the track.
    EXPECT_EQ(keys.trackWhenParsed, "%B4111111111111111^DOE/JOHN^2512?");
    EXPECT_EQ(gReg.gCardRequest.gCardEntry, 1);
    EXPECT_EQ(gReg.gCardRequest.gCardNumber, "4111111111111111");
    EXPECT_EQ(gReg.gCardRequest.gCardName, "DOE/JOHN");
    EXPECT_EQ(gReg.gCardRequest.gCardExpiry, "2512");
    // The payment page with the sale's total and balance, then the card.
    EXPECT_EQ(screen.Text(kSaleTotalCell), "$12.50");
    EXPECT_EQ(screen.Text(ControlId{Control::Tr_Amount, 11}), "$12.50");
    EXPECT_EQ(keys.calls, (Calls{"Caption_Reset", "Card_ParseSwipe", "Card_TypeFind(4111111111111111)"}));
    // The amount proposed for confirmation, no track data.
    EXPECT_EQ(MessageLine(), "Confirm Amount of Charge");
    EXPECT_TRUE(gReg.gPromptLineActive);
    EXPECT_EQ(gReg.gPromptLine, 1);
    EXPECT_EQ(Entry(), "12.5");

    // Through Enter the proposed amount stays as well.
    PromptInCIA_Cancel();  // the first card let go
    gReg.gKeyPage = KeyPage::Department1;
    Type("%B4111111111111111^DOE/JOHN^2512?");
    BReg_Click(4);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    EXPECT_EQ(Entry(), "12.5");
}

TEST_F(BarCodeTest, SwipesTheRegisterDoesNotTake) {
    struct Case {
        const char* what;
        bool cardEnabled;
        int lines;
        std::int64_t totalCents;
    };
    const Case cases[] = {
        {"card processing off", false, 1, 1250},
        {"no sale", true, 0, 0},
        {"zero total", true, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gSale = SaleState{};
        for (int i = 0; i < c.lines; ++i) AddLine("A", 1, Money::FromCents(c.totalCents));
        gSale.gTotal = Money::FromCents(c.totalCents);
        gSettings.gCardEnabled = c.cardEnabled;
        keys.calls.clear();
        gReg.gKeyPage = KeyPage::Department1;
        screen.SetText(kSaleModeBox, "");
        Type("%B4111111111111111^DOE/JOHN^2512?");
        BarCode_Change();
        EXPECT_TRUE(keys.calls.empty());
        EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
        EXPECT_EQ(gReg.gKeyPage, KeyPage::Department1);
        EXPECT_EQ(Entry(), "");
    }
}

TEST_F(BarCodeTest, ASecondCardIsRefused) {
    gSettings.gCardEnabled = true;
    Sale(Money::FromCents(1250));
    gSale.gCardInSale = true;
    gReg.gKeyPage = KeyPage::Payment;
    Type("%B5500000000000004^DOE/JANE^2601?");
    BarCode_Change();
    EXPECT_EQ(keys.calls, (Calls{"Credit_Card_Display_Response(9)"}));
    EXPECT_EQ(screen.Text(kSaleModeBox), "Mode: Sales");
    EXPECT_EQ(Entry(), "");
}

TEST_F(BarCodeTest, ASwipeWithoutACardNumberShowsItsStatus) {
    gSettings.gCardEnabled = true;
    Sale(Money::FromCents(1250));
    keys.cardNumberInTrack.clear();
    Type("%E?");
    BarCode_Change();
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    EXPECT_EQ(keys.calls, (Calls{"Caption_Reset", "Card_ParseSwipe", "Credit_Card_Display_Response(6)"}));
    EXPECT_FALSE(keys.CalledAny("Card_TypeFind"));
    EXPECT_EQ(Entry(), "");
}

TEST_F(BarCodeTest, AnUnusableCardShowsItsStatus) {
    gSettings.gCardEnabled = true;
    Sale(Money::FromCents(1250));
    keys.cardTypeStatus = 4;
    Type("%B6011000000000004^DOE/JOHN^2512?");
    BarCode_Change();
    EXPECT_TRUE(keys.Called("Credit_Card_Display_Response(4)"));
    EXPECT_FALSE(gReg.gPromptLineActive);  // no amount asked
    EXPECT_EQ(Entry(), "");
}

TEST_F(BarCodeTest, ASwipeOnARefusedRefundTakesNoCard) {
    gSettings.gCardEnabled = true;
    Sale(Money::FromCents(-300));
    gReg.gKeyPage = KeyPage::Department2;
    Type("%B4111111111111111^DOE/JOHN^2512?");
    BarCode_Change();
    EXPECT_EQ(MessageLine(), "Return/Exchange Is Not Authorized");
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Department2);
    EXPECT_FALSE(keys.Called("Card_ParseSwipe"));
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(gReg.gCardRequest.gCardNumber, "");  // an abandoned swipe keeps no card either

    // With return mode on the refund goes to the card.
    gSale.gReturnMode = true;
    Type("%B4111111111111111^DOE/JOHN^2512?");
    BarCode_Change();
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Payment);
    EXPECT_EQ(MessageLine(), "Confirm Amount of Charge");
    EXPECT_EQ(gReg.gPromptLine, 1);
    EXPECT_TRUE(gReg.gPromptLineActive);
}

}  // namespace
}  // namespace tarvo
