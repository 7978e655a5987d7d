#include "common/money.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

Money M(const char* text) { return *Money::Parse(text); }

TEST(Money, ParseIsExactAndRoundsTiesToEven) {
    EXPECT_EQ(M("12.34").Raw(), 123400);
    EXPECT_EQ(M("  -0.5x").Raw(), -5000);
    EXPECT_EQ(M("1.23445").Raw(), 12344);
    EXPECT_EQ(M("1.23455").Raw(), 12346);
    EXPECT_EQ(M("1.234451").Raw(), 12345);
    EXPECT_EQ(M("abc").Raw(), 0);
    EXPECT_FALSE(Money::Parse("9999999999999999999").has_value());
}

TEST(Money, FromDoubleUsesTheFifteenDigitDecimal) {
    EXPECT_EQ(Money::FromDouble(0.1 + 0.2)->Raw(), 3000);
    EXPECT_EQ(Money::FromDouble(19.99 * 0.05)->Raw(), 9995);
    EXPECT_EQ(Money::FromDouble(10.0 / 3.0)->Raw(), 33333);
    EXPECT_EQ(Money::FromDouble(0.00005)->Raw(), 0);
    EXPECT_EQ(Money::FromDouble(-0.00015)->Raw(), -2);
    EXPECT_FALSE(Money::FromDouble(1e20).has_value());
}

TEST(Money, CentRoundingRules) {
    // x, CentRound (half away from zero), CentRoundUp (add half a cent, floor)
    struct Case {
        const char* x;
        const char* round;
        const char* up;
    } cases[] = {
        {"1.005", "1.01", "1.01"},    {"1.0049", "1", "1"},           {"-1.005", "-1.01", "-1"},
        {"-1.0049", "-1", "-1"},      {"-1.0051", "-1.01", "-1.01"},  {"2.345", "2.35", "2.35"},
        {"-2.345", "-2.35", "-2.34"}, {"0.005", ".01", ".01"},        {"-0.005", "-.01", "0"},
        {"12.34", "12.34", "12.34"},  {"-12.34", "-12.34", "-12.34"}, {"0", "0", "0"},
        {"-0.0051", "-.01", "-.01"},  {"10.005", "10.01", "10.01"},   {"-7.4950", "-7.5", "-7.49"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CentRound(M(c.x)).Text(), c.round) << c.x;
        EXPECT_EQ(CentRoundUp(M(c.x)).Text(), c.up) << c.x;
    }
    // the exchange rule adds a tenth of a cent
    EXPECT_EQ(CentRoundUpWith(M("1.009"), M("0.001")).Text(), "1.01");
    EXPECT_EQ(CentRoundUpWith(M("1.008"), M("0.001")).Text(), "1");
}

TEST(Money, TextForms) {
    EXPECT_EQ(M("12.50").Text(), "12.5");
    EXPECT_EQ(M("0.5").Text(), ".5");
    EXPECT_EQ(M("-0.25").Text(), "-.25");
    EXPECT_EQ(M("100").Text(), "100");
    EXPECT_EQ(M("0.5").TextDisplay(), "0.5");
    EXPECT_EQ(M("-1234.5").Format("$###,##0.00"), "-$1,234.50");
    EXPECT_EQ(M("2.345").Format("####0.00"), "2.35");
    EXPECT_EQ(M("-2.345").Format("####0.00"), "-2.35");
    EXPECT_EQ(M("0.001").Format("#0.000"), "0.001");
    EXPECT_EQ(Money::FromRaw(INT64_MAX).Text(), "922337203685477.5807");
    EXPECT_EQ(Money::FromRaw(INT64_MIN).Text(), "-922337203685477.5808");
}

TEST(Money, Arithmetic) {
    EXPECT_EQ(M("1.25") + M("2.5"), M("3.75"));
    EXPECT_EQ(M("1.25") - M("2.5"), M("-1.25"));
    EXPECT_LT(M("-1"), M("0"));
    EXPECT_EQ(Money::FromCents(199), M("1.99"));
}

}  // namespace
}  // namespace tarvo
