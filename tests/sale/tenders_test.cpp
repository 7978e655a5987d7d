// Tenders and change: the payment kinds list, the payment page's keys, each
// tender key's amount rules (typed, fixed, as-is, capped), the automatic
// exchange and change lines, removal, the tender limit, the card hand-over
// and the paid / change / balance / status recomputation. Amounts are checked
// with four decimals so that a stray fraction of a cent shows.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/settings.h"
#include "data/sale_state.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "screen/panels.h"

namespace tarvo {
namespace {

std::string Amt(Money m) { return m.Format("#0.0000"); }
Money M(const char* text) { return *Money::Parse(text); }

ControlId TitleRow(int row) { return ControlId{Control::Tr_Title, row}; }
ControlId AmountRow(int row) { return ControlId{Control::Tr_Amount, row}; }

class TenderKeys : public RegisterServices {
public:
    std::vector<std::string> calls;
    bool Called(const std::string& c) const {
        for (const std::string& x : calls)
            if (x == c) return true;
        return false;
    }
    void Credit_Card_PromptAmount() override { calls.push_back("Credit_Card_PromptAmount"); }
    void Credit_Card_PromptCardNumber() override { calls.push_back("Credit_Card_PromptCardNumber"); }
    void Credit_Card_Display_Response(std::int16_t status) override {
        calls.push_back("Credit_Card_Display_Response(" + std::to_string(status) + ")");
    }
    int PromptInCIA_Show(int question) override {
        calls.push_back("PromptInCIA_Show(" + std::to_string(question) + ")");
        gReg.gPromptLine = static_cast<std::int16_t>(question);  // the question opened, as the prompt line has it
        return 0;
    }
    void Customer_Total() override { calls.push_back("Customer_Total"); }
};

void SetType(int i, const char* name1, const char* name2, const char* cardType, const char* changeMode = "",
             const char* amount = "0", const char* asIs = "", double rate = 0, const char* code = "",
             const char* changeType = "", const char* active = "", const char* reference = "") {
    PaymentType& t = gSettings.PaymentTypes[static_cast<std::size_t>(i)];
    t.Number = std::to_string(i);
    t.Name1 = name1;
    t.Name2 = name2;
    t.CardType = cardType;
    t.ChangeMode = changeMode;
    t.Amount = M(amount);
    t.AmountAsIs = asIs;
    t.Rate = rate;
    t.Code = code;
    t.ChangeType = changeType;
    t.Active = active;
    t.PromptReference = reference;
}

// The store's payment keys used throughout.
enum Key {
    kCash = 1,
    kCheck = 2,
    kForeign = 3,
    kGift = 4,
    kCoupon = 5,
    kTerminalCard = 6,
    kOddRate = 7,
    kFixedChange = 8
};

void ConfigureTypes() {
    SetType(kCash, "Cash", "", "CA", "", "0", "", 0, "", "", "1");
    SetType(kCheck, "Check", "", "CK", "0", "0", "", 0, "", "", "", "1");      // capped, reference asked
    SetType(kForeign, "US", "Dollars", "US", "1", "0", "", 0.35, "EX", "CA");  // exchange and change lines
    SetType(kGift, "Gift", "Cert", "GC", "", "25");                            // fixed 25
    SetType(kCoupon, "Coupon", "", "CP", "", "5", "1");                        // fixed 5, as-is
    SetType(kTerminalCard, "Card", "", "2");
    SetType(kOddRate, "Pesos", "", "MX", "1", "0", "", 0.1235, "EX", "CA");
    SetType(kFixedChange, "Voucher", "", "VO", "1", "25", "", 0, "EX", "CA");  // fixed 25, change mode 1
}

class TendersTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Reg().services = &keys;
        gTender = TenderState{};
        ConfigureTypes();
        Payment_Setup();
    }

    // The payment page opened on a sale of `total`.
    void OpenPage(const char* total, int items = 1) {
        gSale.gTotal = M(total);
        gSale.gItemCount = items;
        Summary_Show();
        gSale.gBalanceDue = gSale.gTotal;
        Payment_Display();
        keys.calls.clear();
    }
    void Press(int key, const std::string& entry = "") {
        screen.SetText(kEntryBox, entry);
        Payment_Process(key);
    }
    struct Tender {
        std::string description, amount;
        bool operator==(const Tender&) const = default;
        friend void PrintTo(const Tender& t, std::ostream* os) { *os << t.description << " " << t.amount; }
    };
    std::vector<Tender> Tenders() const {
        std::vector<Tender> out;
        for (int i = 1; i <= gSale.gPaymentCount; ++i) {
            const SalePayment& p = gSale.gPayments[static_cast<std::size_t>(i)];
            out.push_back({p.description, Amt(p.amount)});
        }
        return out;
    }

    TenderKeys keys;
};

// ---- one tender key on a fresh page ---------------------------------------------------

struct TenderCase {
    const char* name;
    const char* total;
    int key;
    const char* entry;
    std::vector<std::pair<const char*, const char*>> tenders;  // description, amount
    const char* paid;
    const char* balance;
    const char* change;
    const char* status;
    const char* changeRow;   // Tr_Amount(10)
    const char* balanceRow;  // Tr_Amount(11)
};

const TenderCase kTenderCases[] = {
    {"balance taken with an empty entry", "10", kCash, "", {{"Cash", "10.0000"}}, "10", "0", "0", "4", "", ""},
    {"excess becomes change", "10", kCash, "20", {{"Cash", "20.0000"}}, "20", "0", "10", "4", "$10.00", ""},
    {"partial payment", "10", kCash, "4", {{"Cash", "4.0000"}}, "4", "6", "0", "2", "", "$6.00"},
    {"capped type takes no more than the balance",
     "10",
     kCheck,
     "20",
     {{"Check", "10.0000"}},
     "10",
     "0",
     "0",
     "4",
     "",
     ""},
    {"exchange with change back",
     "100",
     kForeign,
     "100",
     {{"US Dollars", "100.0000"}, {"Exchange", "35.0000"}, {"Cash", "-35.0000"}},
     "100",
     "0",
     "0",
     "4",
     "$35.00",
     ""},
    {"exchange without change",
     "100",
     kForeign,
     "50",
     {{"US Dollars", "50.0000"}, {"Exchange", "17.5000"}},
     "67.5",
     "32.5",
     "0",
     "2",
     "",
     "$32.50"},
    // 10 x 0.1235 = 1.235: +0.001 gives 1.23 where +0.005 would give 1.24.
    {"exchange rounds with the 0.001 rule",
     "100",
     kOddRate,
     "10",
     {{"Pesos", "10.0000"}, {"Exchange", "1.2300"}},
     "11.23",
     "88.77",
     "0",
     "2",
     "",
     "$88.77"},
    {"fixed amount below the balance taken whole",
     "40",
     kGift,
     "",
     {{"Gift Cert", "25.0000"}},
     "25",
     "15",
     "0",
     "2",
     "",
     "$15.00"},
    {"fixed amount over the balance capped without change mode 1",
     "10",
     kGift,
     "",
     {{"Gift Cert", "10.0000"}},
     "10",
     "0",
     "0",
     "4",
     "",
     ""},
    {"fixed amount over the balance taken whole with change mode 1",
     "10",
     kFixedChange,
     "",
     {{"Voucher", "25.0000"}, {"Cash", "-15.0000"}},
     "10",
     "0",
     "0",
     "4",
     "$15.00",
     ""},
    {"as-is fixed amount over the balance gives change",
     "3",
     kCoupon,
     "",
     {{"Coupon", "5.0000"}},
     "5",
     "0",
     "2",
     "4",
     "$2.00",
     ""},
    {"refund: typed amount made negative",
     "-20",
     kCash,
     "5",
     {{"Cash", "-5.0000"}},
     "-5",
     "-15",
     "0",
     "2",
     "",
     "-$15.00"},
    {"refund: empty entry pays the whole refund",
     "-20",
     kCash,
     "",
     {{"Cash", "-20.0000"}},
     "-20",
     "0",
     "0",
     "4",
     "",
     ""},
    {"refund: as-is fixed amount negated",
     "-20",
     kCoupon,
     "",
     {{"Coupon", "-5.0000"}},
     "-5",
     "-15",
     "0",
     "2",
     "",
     "-$15.00"},
    {"refund: more than the refund is change",
     "-20",
     kCash,
     "25",
     {{"Cash", "-25.0000"}},
     "-25",
     "0",
     "-5",
     "4",
     "-$5.00",
     ""},
    {"largest accepted amount",
     "200000",
     kCash,
     "100000",
     {{"Cash", "100000.0000"}},
     "100000",
     "100000",
     "0",
     "2",
     "",
     "$100,000.00"},
};

TEST_F(TendersTest, OneTenderKey) {
    for (const TenderCase& c : kTenderCases) {
        SCOPED_TRACE(c.name);
        gSale = SaleState{};
        OpenPage(c.total);
        Press(c.key, c.entry);
        std::vector<Tender> expected;
        for (const auto& [d, a] : c.tenders) expected.push_back({d, a});
        EXPECT_EQ(Tenders(), expected);
        EXPECT_EQ(Amt(gSale.gPaid), Amt(M(c.paid)));
        EXPECT_EQ(Amt(gSale.gBalanceDue), Amt(M(c.balance)));
        EXPECT_EQ(Amt(gSale.gChange), Amt(M(c.change)));
        EXPECT_EQ(gSale.gInvoiceStatus, c.status);
        EXPECT_EQ(screen.Text(AmountRow(10)), c.changeRow);
        EXPECT_EQ(screen.Text(AmountRow(11)), c.balanceRow);
        // The check type asks for a reference on the message line instead.
        EXPECT_EQ(screen.Text(kMessageLine), c.key == kCheck ? Msg(Message::EnterPaymentReferenceInformation)
                                             : *c.changeRow  ? Msg(Message::Change) + " " + c.changeRow
                                                             : "");
        EXPECT_EQ(screen.Text(kEntryBox), "");
        EXPECT_EQ(gSale.gRefund, M(c.total) < Money());
        // The tender rows of the totals panel.
        for (int i = 1; i <= 3; ++i) {
            const bool held = i <= static_cast<int>(expected.size());
            EXPECT_EQ(screen.Text(TitleRow(i + 6)),
                      held ? expected[static_cast<std::size_t>(i - 1)].description + " " : "");
            EXPECT_EQ(screen.Text(AmountRow(i + 6)),
                      held ? M(expected[static_cast<std::size_t>(i - 1)].amount.c_str()).Format("$###,##0.00") : "");
        }
        // Total is offered once the sale is paid in full; a refund takes it
        // on any tender.
        EXPECT_EQ(screen.Enabled(ControlId{Control::mTotalRegister, 0}),
                  std::string(c.balance) == "0" || M(c.total) < Money());
        EXPECT_TRUE(keys.Called("Customer_Total"));
    }
}

TEST_F(TendersTest, TendersAddUpAcrossKeys) {
    OpenPage("57.30");
    Press(kCheck, "20");
    Press(kGift, "");  // fixed 25 below the balance of 37.30
    Press(kCash, "20");
    EXPECT_EQ(Tenders(), (std::vector<Tender>{{"Check", "20.0000"}, {"Gift Cert", "25.0000"}, {"Cash", "20.0000"}}));
    EXPECT_EQ(Amt(gSale.gPaid), "65.0000");
    EXPECT_EQ(Amt(gSale.gChange), "7.7000");
    EXPECT_EQ(Amt(gSale.gBalanceDue), "0.0000");
    EXPECT_EQ(gSale.gInvoiceStatus, "4");
    EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::Change) + " $7.70");
}

TEST_F(TendersTest, AmountAboveTheLimitIsRefused) {
    OpenPage("200000");
    Press(kCash, "100000.01");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::InvalidEntry));
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(Amt(gSale.gBalanceDue), "200000.0000");
}

TEST_F(TendersTest, SettledSaleIgnoresTenderKeys) {
    OpenPage("10");
    Press(kCash, "");
    keys.calls.clear();
    Press(kCash, "5");
    EXPECT_EQ(Tenders(), (std::vector<Tender>{{"Cash", "10.0000"}}));
    EXPECT_TRUE(keys.calls.empty());
}

TEST_F(TendersTest, ModesWithoutTendersOnlyClearTheEntry) {
    for (const auto& [mode, kind] :
         std::vector<std::pair<RegisterMode, const char*>>{{RegisterMode::OrderEntry, "2"},
                                                           {RegisterMode::PurchaseOrder, ""},
                                                           {RegisterMode::Purchase, ""},
                                                           {RegisterMode::Adjustment, ""},
                                                           {RegisterMode::ReceivePO, ""},
                                                           {RegisterMode::NewPurchaseOrder, ""},
                                                           {RegisterMode::PackOrder, ""}}) {
        SCOPED_TRACE(RegisterMode_Name(mode));
        gSale = SaleState{};
        OpenPage("10");
        gSale.gMode = mode;
        gSale.gOrderKind = kind;
        Press(kCash, "5");
        EXPECT_EQ(gSale.gPaymentCount, 0);
        EXPECT_EQ(screen.Text(kEntryBox), "");
    }
}

TEST_F(TendersTest, KeyWithoutTheSummaryShowsItAndEmptiesTheList) {
    OpenPage("10");
    Press(kCash, "4");
    gReg.gReceiptAreaContent = ReceiptAreaContent::Grid;
    Press(kCash, "3");
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Totals);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_EQ(Amt(gSale.gBalanceDue), "10.0000");
    EXPECT_EQ(screen.Text(AmountRow(7)), "");
}

TEST_F(TendersTest, FourthTenderKeyStartsTheListAgain) {
    OpenPage("100");
    Press(kCash, "10");
    Press(kCash, "10");
    Press(kCash, "10");
    ASSERT_EQ(gSale.gPaymentCount, 3);
    Press(kCash, "10");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_EQ(gSale.gPayments[1].amount, Money());
    EXPECT_EQ(Amt(gSale.gBalanceDue), "100.0000");
    EXPECT_EQ(screen.Text(AmountRow(7)), "");
    EXPECT_EQ(gSale.gInvoiceStatus, "1");

    // With a card posted in the sale the list stays.
    Press(kCash, "10");
    Press(kCash, "10");
    Press(kCash, "10");
    gSale.gCardInSale = true;
    Press(kCash, "10");
    EXPECT_EQ(gSale.gPaymentCount, 3);
    EXPECT_EQ(Amt(gSale.gPaid), "30.0000");
}

TEST_F(TendersTest, ExchangeNeedingAFourthLineEmptiesTheList) {
    OpenPage("100");
    Press(kCash, "10");
    Press(kForeign, "100");  // tender 2, exchange 3, change would be 4
    EXPECT_EQ(gSale.gPaymentCount, 0);
    Press(kCash, "10");
    Press(kCash, "10");
    Press(kForeign, "10");  // tender 3, no room for its exchange line
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gSale.gTenderLinesAdded);
}

TEST_F(TendersTest, Key24RemovesTenders) {
    OpenPage("100");
    Press(kCash, "10");
    Press(kCheck, "20");
    Press(24);
    EXPECT_EQ(Tenders(), (std::vector<Tender>{{"Cash", "10.0000"}}));
    EXPECT_EQ(Amt(gSale.gBalanceDue), "90.0000");
    EXPECT_EQ(screen.Text(AmountRow(8)), "");

    // After an automatic exchange line the whole list goes.
    Press(kForeign, "50");
    ASSERT_EQ(gSale.gPaymentCount, 3);
    Press(24);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gSale.gTenderLinesAdded);
    EXPECT_EQ(Amt(gSale.gBalanceDue), "100.0000");

    // A card tender is not removed, nor anything while a card is in the sale.
    Press(kCash, "10");
    gSale.gPayments[1].entryKind = 1;
    Press(24);
    EXPECT_EQ(gSale.gPaymentCount, 1);
    gSale.gPayments[1].entryKind = 0;
    gSale.gCardInSale = true;
    Press(24);
    EXPECT_EQ(gSale.gPaymentCount, 1);
}

TEST_F(TendersTest, TerminalCardGoesToTheCardDialogue) {
    gSettings.gCardBackend = CardBackend::Terminal;
    gSettings.gCardEnabled = true;
    OpenPage("30");
    Press(kTerminalCard, "");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_TRUE(keys.Called("Credit_Card_PromptAmount"));
    EXPECT_FALSE(keys.Called("Credit_Card_Display_Response(9)"));
    EXPECT_TRUE(gReg.gCardAmountPending);

    // The dialogue posts the approved card through the same key.
    gReg.gCardAmountPending = false;
    gTender.gCardPosting = true;
    Press(kTerminalCard, "30");
    EXPECT_FALSE(gTender.gCardPosting);
    EXPECT_EQ(Tenders(), (std::vector<Tender>{{"Card", "30.0000"}}));
    EXPECT_EQ(gSale.gPayments[1].type, "2");

    // A second card in the sale is refused.
    gSale = SaleState{};
    OpenPage("30");
    gSale.gCardInSale = true;
    Press(kTerminalCard, "");
    EXPECT_TRUE(keys.Called("Credit_Card_Display_Response(9)"));
    EXPECT_FALSE(keys.Called("Credit_Card_PromptAmount"));
    EXPECT_EQ(gSale.gPaymentCount, 0);
}

TEST_F(TendersTest, KeyedCardKeyStartsTheCardDialogue) {
    gSettings.gCardEnabled = true;
    OpenPage("30");
    Press(23, "123");
    EXPECT_TRUE(keys.Called("Credit_Card_PromptCardNumber"));
    EXPECT_EQ(screen.Text(kEntryBox), "");
    EXPECT_EQ(gSale.gPaymentCount, 0);

    keys.calls.clear();
    gSale.gCardInSale = true;
    Press(23);
    EXPECT_TRUE(keys.Called("Credit_Card_Display_Response(9)"));
    EXPECT_FALSE(keys.Called("Credit_Card_PromptCardNumber"));
}

TEST_F(TendersTest, ReferenceIsAskedAndKeptOnTheNewestTender) {
    OpenPage("50");
    Press(kCash, "10");
    Press(kCheck, "15");
    EXPECT_EQ(gReg.gPromptLine, 8);
    EXPECT_TRUE(keys.Called("PromptInCIA_Show(8)"));
    EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::EnterPaymentReferenceInformation));
    Payment_SetReference("CHK 1041");
    EXPECT_EQ(gSale.gPayments[2].reference, "CHK 1041");
    EXPECT_EQ(gSale.gPayments[1].reference, "");
}

TEST_F(TendersTest, PaymentListFromTheTypes) {
    const TenderState& t = gTender;
    // 8 types, one exchange code shared by two types, and the credit entry.
    ASSERT_EQ(t.gPaymentListCount, 10);
    const std::vector<std::string> codes{"", "CA", "CK", "US", "EX", "GC", "CP", "2", "MX", "VO", "24"};
    for (int j = 1; j <= 10; ++j)
        EXPECT_EQ(t.gPaymentListCode[static_cast<std::size_t>(j)], codes[static_cast<std::size_t>(j)]) << j;
    EXPECT_EQ(t.gPaymentListName[3], "US Dollars");
    EXPECT_EQ(t.gPaymentListName[4], Msg(Message::Exchange));
    EXPECT_EQ(t.gPaymentListName[10], Msg(Message::SalesOnCredit));
    EXPECT_TRUE(t.gPaymentListDrawer[1]);
    EXPECT_FALSE(t.gPaymentListDrawer[2]);
    EXPECT_FALSE(t.gPaymentListDrawer[4]);
}

TEST_F(TendersTest, PaymentListStopsAt23Entries) {
    for (int i = 1; i <= 23; ++i) {
        const std::string code = "T" + std::to_string(i), exchange = "X" + std::to_string(i);
        SetType(i, "Type", "", code.c_str(), "1", "0", "", 0, exchange.c_str());
    }
    Payment_Setup();
    const TenderState& t = gTender;
    EXPECT_EQ(t.gPaymentListCount, 23);
    EXPECT_EQ(t.gPaymentListCode[22], "X11");
    EXPECT_EQ(t.gPaymentListCode[23], "24");
    EXPECT_EQ(t.gPaymentListName[23], Msg(Message::SalesOnCredit));
}

TEST_F(TendersTest, DescriptionMatchesCodesNumerically) {
    SetType(9, "House", "Account", "07");
    Payment_Setup();
    struct Case {
        const char* type;
        std::string description;
    };
    const Case cases[] = {{"7", "House Account"},
                          {"24", Msg(Message::SalesOnCredit)},
                          {"24.0", Msg(Message::SalesOnCredit)},
                          {"CA", "Cash"},
                          {"ca", ""},
                          {"ZZ", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        gSale.gPaymentCount = 1;
        gSale.gPayments[1].type = c.type;
        gSale.gPayments[1].description = "old";
        Payment_GetDescription();
        EXPECT_EQ(gSale.gPayments[1].description, c.description);
    }
}

TEST_F(TendersTest, PaymentButtonsShowTheTypes) {
    gSettings.gPaymentKeyColour = "255";
    screen.SetCaption(SoftKey(12), "left over");
    screen.SetEnabled(SoftKey(12), true);
    PaymentButtons_Show();
    EXPECT_EQ(screen.Caption(SoftKey(kForeign)), "US\r\nDollars");
    EXPECT_TRUE(screen.Enabled(SoftKey(kForeign)));
    EXPECT_EQ(screen.Caption(SoftKey(12)), "");
    EXPECT_FALSE(screen.Enabled(SoftKey(12)));
    EXPECT_TRUE(screen.Enabled(SoftKey(24)));
    EXPECT_EQ(screen.State(SoftKey(12)).backColour, 255u);
    EXPECT_EQ(screen.State(SoftKey(kCash)).font.size, 11);
}

struct StatusCase {
    const char* total;
    const char* paid;
    const char* status;
};

TEST_F(TendersTest, InvoiceStatus) {
    const StatusCase cases[] = {{"10", "10", "4"}, {"10", "12", "4"},   {"10", "0", "1"},
                                {"10", "3", "2"},  {"-10", "-10", "4"}, {"-10", "-11", "4"},
                                {"-10", "0", "1"}, {"-10", "-3", "2"},  {"0", "0", "4"}};
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(std::string(c.total) + " / " + c.paid);
        gSale.gTotal = M(c.total);
        gSale.gPaid = M(c.paid);
        Invoice_Status();
        EXPECT_EQ(gSale.gInvoiceStatus, c.status);
    }
}

}  // namespace
}  // namespace tarvo
