// The card data of every back-end: the swipe, the brand, the request and
// answer lines and the exchange folder of special option I.
#include <gtest/gtest.h>

#include <string>

#include "card/card_data.h"
#include "common/money.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "program_state.h"

namespace tarvo::card {
namespace {

class CardDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
    }
};

TEST_F(CardDataTest, SwipeSplitsNumberNameAndExpiry) {
    SwipeFields f = ParseSwipe("%B4111111111111111^O'NEIL/ANN^2605101?", CardBackend::ExchangeFiles);
    EXPECT_EQ(f.number, "4111111111111111");
    EXPECT_EQ(f.name, "O NEIL/ANN");
    EXPECT_EQ(f.expiry, "2605");
    EXPECT_EQ(ParseSwipe("%B4111111111111111^O'NEIL/ANN^2605101?", CardBackend::Gateway).expiry, "0526");
    for (const char* track : {"%B4111111111111111", "%B4111^NAME", ""}) {
        f = ParseSwipe(track, CardBackend::ExchangeFiles);
        EXPECT_TRUE(f.number.empty() && f.name.empty() && f.expiry.empty()) << track;
    }
}

TEST_F(CardDataTest, BrandFollowsThePrefixTable) {
    const struct {
        const char* number;
        int type;
    } cases[] = {{"4111111111111111", 4},
                 {"5500000000000004", 5},
                 {"371449635398431", 6},
                 {"341111111111111", 6},
                 {"36000000000008", 7},
                 {"38000000000006", 7},
                 {"30001111111111", 7},
                 {"3530111333300000", 11},
                 {"30831111111111", 11},
                 {"6011000990139424", 9},
                 {"1234567890", 0},
                 {"4111", 0},
                 {"", 0}};
    for (const auto& c : cases) EXPECT_EQ(CardType_Find(c.number), c.type) << c.number;
}

TEST_F(CardDataTest, RequestLines) {
    RequestFields swiped;
    swiped.cashier = "A Cashier Whose Name Is Longer Than Thirty-Two";
    swiped.number = "4111111111111111";
    swiped.expiry = "2605";
    swiped.track = "%B4111111111111111^DOE/JOHN^2605101?";
    swiped.amount = *Money::Parse("7");
    EXPECT_EQ(RequestLine(swiped), "\"C1\",\"A Cashier Whose Name Is Longer T\",\"\",\"4111111111111111\","
                                   "\"2605B4111111111111111^DOE/JOHN^2605101?\",\"7.00\"\r\n");
    RequestFields refund;
    refund.refund = true;
    refund.cashier = "Ann";
    refund.number = "5500000000000004";
    refund.expiry = "2705";
    refund.amount = *Money::Parse("-12.5");
    EXPECT_EQ(RequestLine(refund), "\"C3\",\"Ann\",\"\",\"5500000000000004\",\"2705\",\"12.50\"\r\n");
    refund.withAddress = true;
    refund.address = std::string(40, 'a');
    refund.zip = "123456789012";
    EXPECT_EQ(RequestLine(refund), "\"C3\",\"Ann\",\"\",\"5500000000000004\",\"2705\",\"12.50\",\"" +
                                       std::string(32, 'a') + "\",\"123456789\"\r\n");
    EXPECT_EQ(SettlementLine(), "\"ST\"\r\n");
    EXPECT_EQ(SimulatedAnswer(10, 15), "\"Y101510\"\r\n");
}

TEST_F(CardDataTest, AnswerLines) {
    Answer a = Answer_Parse("\"Y123456Z\"");
    EXPECT_EQ(a.letter, 'Y');
    EXPECT_TRUE(a.Approved());
    EXPECT_EQ(a.text, "Y123456Z");
    EXPECT_EQ(a.avs, 'Z');
    EXPECT_EQ(AvsMessage(a.avs), "(Zip Matches Address Does Not)");
    a = Answer_Parse("\"Y101510\"");  // seven characters: no address letter
    EXPECT_EQ(a.avs, 0);
    a = Answer_Parse("\"NDECLINED");  // no closing quote
    EXPECT_FALSE(a.Approved());
    EXPECT_EQ(a.text, "");
    EXPECT_EQ(a.avs, 0);
    EXPECT_EQ(AvsMessage('Q'), "");
}

TEST_F(CardDataTest, StatusMessagesByBackend) {
    EXPECT_EQ(StatusMessage(1, CardBackend::ExchangeFiles), "Can Not Open Temporary Request File");
    EXPECT_EQ(StatusMessage(4, CardBackend::Gateway), "Error: Credit Operation Timed Out");
    EXPECT_EQ(StatusMessage(9, CardBackend::ExchangeFiles), "Multiple Credit Cards Not Allowed");
    EXPECT_EQ(StatusMessage(42, CardBackend::ExchangeFiles), "Unknown Credit Card Related Error");
    EXPECT_EQ(StatusMessage(1, CardBackend::Unknown), "");
}

TEST_F(CardDataTest, ExchangeFolderOfSpecialOptionI) {
    const struct {
        const char* given;
        const char* path;
    } cases[] = {{"C:\\ICVerify", "/reg/ICVerify"}, {"d:\\Shared\\Cards\\", "/reg/Shared/Cards"},
                 {"ICVerify", "/reg/ICVerify"},     {"/mnt/cards", "/mnt/cards"},
                 {"\\Cards", "/reg/Cards"},         {"", "/reg/ICVerify"}};
    for (const auto& c : cases) EXPECT_EQ(ExchangeFolder_Resolve("/reg", c.given), c.path) << c.given;
}

TEST_F(CardDataTest, MaskedLeavesTheLastFour) {
    EXPECT_EQ(Masked("4111111111111111"), "XXXXXXXXXXXX1111");
    EXPECT_EQ(Masked("123"), "XXX");
}

}  // namespace
}  // namespace tarvo::card
