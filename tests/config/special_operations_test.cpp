#include "config/special_operations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

class SpecialOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Setup_Initialize(s);
        FillTextTables(t);
    }
    SpecialOpsResult Apply(const std::string& ops) {
        s.gSpecialOperations = ops;
        return Special_Operations(s, t);
    }
    Settings s;
    TextTables t;
};

// The option string for records given without separators: the count, one
// unread character, then the records as they stand (5 characters each; a
// folder or tax-choice record takes 15).
std::string Ops(int count, const std::vector<std::string>& records) {
    char head[16];
    std::snprintf(head, sizeof head, "%02d ", count);
    std::string out = head;
    for (const auto& r : records) {
        EXPECT_TRUE(r.size() == 5 || r.size() == 15) << r;
        out += r;
    }
    return out;
}

TEST_F(SpecialOpsTest, EmptyOrBadCountAppliesNothing) {
    for (const char* ops : {"", "0", "00 1011 ", "ab 1011 ", "200 1011 "}) {
        SCOPED_TRACE(ops);
        SetUp();
        Apply(ops);
        EXPECT_EQ(t.SoftKeyFlags[1][1], "0");
        EXPECT_EQ(t.SoftKeyCaptions[1][1][1], "Change\r\nTerminal");
        EXPECT_TRUE(s.gDrawerAtOpening);
        EXPECT_EQ(s.gEndSaleDelay, 6000);
    }
}

TEST_F(SpecialOpsTest, SoftKeyFlagsAndRemovals) {
    // record 1 at position 4: group 1 key 17 needs a manager; group 4 key 13 removed;
    // key 25 does nothing; flag "2" does nothing; group 5 key 4 manager
    auto r = Apply("05 1171 4130 1251 6012 5041 ");
    EXPECT_EQ(t.SoftKeyFlags[1][17], "1");
    EXPECT_EQ(t.SoftKeyFlags[5][4], "1");
    EXPECT_EQ(t.SoftKeyFlags[6][1], "0");
    EXPECT_EQ(t.SoftKeyCaptions[4][13][1], "");
    EXPECT_EQ(t.SoftKeyCaptions[4][13][2], "");
    EXPECT_EQ(t.SoftKeyCaptions[6][1][1], "Case");
    EXPECT_TRUE(r.logLines.empty());
}

TEST_F(SpecialOpsTest, AKeyNumberWrittenWithABlankIsThatKey) {
    // " 7" and "7 " are key 7: protected, then a removal of key 1 the same way.
    ASSERT_NE(t.SoftKeyCaptions[1][1][1], "");
    auto r = Apply(Ops(3, {"1 71 ", "27 1 ", "1 10 "}));
    EXPECT_EQ(t.SoftKeyFlags[1][7], "1");
    EXPECT_EQ(t.SoftKeyFlags[2][7], "1");
    EXPECT_EQ(t.SoftKeyCaptions[1][1][1], "");
    EXPECT_TRUE(r.logLines.empty());
}

TEST_F(SpecialOpsTest, APricePrefixShorterThanThreeCharactersKeepsNoBlank) {
    for (const auto& [ops, prefix] : std::vector<std::pair<std::string, std::string>>{
             {Ops(2, {"9G20 ", "1171 "}), "20"},  // the blank before the next record
             {Ops(1, {"9G2  "}), "2"},
             {Ops(1, {"9G020"}), "020"}}) {
        SCOPED_TRACE(ops);
        Apply(ops);
        EXPECT_EQ(s.gPricePrefix, prefix);
    }
}

TEST_F(SpecialOpsTest, NumberedOptionsOverrideSettings) {
    s.gCostDisplay = 1;  // as setting 160 would
    Apply("21 7001 7002 7003 7004 7005 7006 7007 7008 7009 7010 7012 7013 7014 7015 7016 7017 7018 7019 7020 7099 ");
    EXPECT_FALSE(s.gDrawerAtOpening);
    EXPECT_FALSE(s.gAskPurchaseCost);
    EXPECT_FALSE(s.gAskPurchasePrice);
    EXPECT_FALSE(s.gAskPurchaseComment);
    EXPECT_FALSE(s.gVendorTaxExempt);
    EXPECT_TRUE(s.gNoItemsOnPaymentPage);
    EXPECT_TRUE(s.gNoOrderPrint);
    EXPECT_TRUE(s.gCashRefundNeedsManager);
    EXPECT_TRUE(s.gFullCardNumberCopy);
    EXPECT_EQ(s.gCostDisplay, 0);
    EXPECT_TRUE(s.gSendAfterSale);
    EXPECT_TRUE(s.gNoReceiptForCash);
    EXPECT_TRUE(s.gGiftReceiptAlways);
    EXPECT_TRUE(s.gClientDiscountAllLines);
    EXPECT_TRUE(s.gZeroOpening);
    EXPECT_EQ(s.gDebugMode, "1");
    EXPECT_TRUE(s.gReceiptIfPositive);
    EXPECT_TRUE(s.gIndexShortWords);
    EXPECT_TRUE(s.gOnlineStockCheck);
    Apply("01 7011 ");
    EXPECT_EQ(s.gCostDisplay, 2);
}

TEST_F(SpecialOpsTest, LetteredValues) {
    // A..F positions, G prefix, H order type, P drawer port
    Apply(Ops(9, {"9A01 ", "9B02 ", "9C03 ", "9D07 ", "9E08 ", "9F12 ", "9G20x", "9H 3 ", "9P04 "}));
    EXPECT_EQ(s.gPricePrefixStart, 1);
    EXPECT_EQ(s.gPricePrefixEnd, 2);
    EXPECT_EQ(s.gPriceCodeStart, 3);
    EXPECT_EQ(s.gPriceCodeEnd, 7);
    EXPECT_EQ(s.gPriceValueStart, 8);
    EXPECT_EQ(s.gPriceValueEnd, 12);
    EXPECT_EQ(s.gPricePrefix, "20x");
    EXPECT_EQ(s.gOrderTypeDefault, "3");
    EXPECT_EQ(s.gDrawerPort, 4);
}

TEST_F(SpecialOpsTest, FolderLetterUsesThreeRecords) {
    // I takes 15 characters: the folder runs into the next two records; the
    // count includes them, and the record after them still applies
    Apply(Ops(4, {"9I/srv/icverify", "1171 "}));
    EXPECT_EQ(s.gCardExchangeFolder, "/srv/icverify");
    EXPECT_EQ(s.gCardRequestFolder, "/srv/icverify/Request");
    EXPECT_EQ(s.gCardRequestBase, "/srv/icverify/Request/icver001");
    EXPECT_EQ(t.SoftKeyFlags[1][17], "1");
}

TEST_F(SpecialOpsTest, TaxChoiceRows) {
    Apply(Ops(6, {"9O3GST105.000E ", "9O9   20     0 "}));
    EXPECT_EQ(s.TaxChoiceTable[3].TaxChoiceCode, "GST");
    EXPECT_EQ(s.TaxChoiceTable[3].TaxChoiceKind, 1);
    EXPECT_DOUBLE_EQ(s.TaxChoiceTable[3].TaxChoiceRate, 5.0);
    EXPECT_EQ(s.TaxChoiceTable[3].TaxChoiceStatus, "E");
    EXPECT_EQ(s.TaxChoiceTable[9].TaxChoiceKind, 2);
    EXPECT_EQ(s.TaxChoiceTable[0].TaxChoiceKind, 10);  // reset row
    EXPECT_EQ(s.TaxChoiceTable[0].TaxChoiceStatus, "0");
}

TEST_F(SpecialOpsTest, EndOfSaleDelayHoldsEveryTwoDigitValue) {
    Apply("01 9J40 ");
    EXPECT_EQ(s.gEndSaleDelay, 40000);
    Apply("01 9J99 ");
    EXPECT_EQ(s.gEndSaleDelay, 99000);
    auto r = Apply("02 9J00 1171 ");
    EXPECT_EQ(s.gEndSaleDelay, 6000);
    ASSERT_EQ(r.logLines.size(), 1u);
    EXPECT_EQ(t.SoftKeyFlags[1][17], "1");  // parsing went on
}

TEST_F(SpecialOpsTest, MalformedRecordsAreSkippedAndLogged) {
    auto r = Apply(Ops(4, {"1x11 ", "X0000", "1171 ", "9Q00 "}));
    EXPECT_EQ(t.SoftKeyFlags[1][17], "1");
    ASSERT_EQ(r.logLines.size(), 2u);
    EXPECT_NE(r.logLines[0].find("record 1"), std::string::npos);
    EXPECT_NE(r.logLines[1].find("record 2"), std::string::npos);
}

TEST_F(SpecialOpsTest, CountLargerThanRecordsPresent) {
    Apply("50 1171 ");
    EXPECT_EQ(t.SoftKeyFlags[1][17], "1");
}

TEST_F(SpecialOpsTest, ReapplyingResetsFlagsAndTaxChoices) {
    Apply(Ops(4, {"1171 ", "9O3GST105.000E "}));
    Apply("");
    EXPECT_EQ(t.SoftKeyFlags[1][17], "0");
    EXPECT_EQ(s.TaxChoiceTable[3].TaxChoiceCode, "");
}

}  // namespace
}  // namespace tarvo
