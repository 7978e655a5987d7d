#include "common/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

TEST(Numbers, LenientReaderStopsAtFirstOtherCharacter) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"12", 12},       {"  12.5abc", 12.5},
        {"-3.25", -3.25}, {"+7", 7},
        {"1.2.3", 1.2},   {".5", 0.5},
        {"-.25", -0.25},  {"abc", 0},
        {"", 0},          {"   ", 0},
        {"-", 0},         {".", 0},
        {"12 34", 12},    {"\t 9", 9},
        {"0012", 12},     {"5,000", 5},
        {"1e3", 1},       {"1234567.891", 1234567.891},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Num_Val(c.text), c.value) << '"' << c.text << '"';
}

TEST(Numbers, StrictReaderWantsTheWholeText) {
    EXPECT_EQ(Num_ReadStrict(" 12 "), 12.0);
    EXPECT_EQ(Num_ReadStrict("-1.5"), -1.5);
    EXPECT_EQ(Num_ReadStrict(".5"), 0.5);
    for (const char* bad : {"", "  ", "12a", "1.2.3", "-", ".", "1 2", "abc"})
        EXPECT_FALSE(Num_ReadStrict(bad).has_value()) << bad;
}

TEST(Numbers, PlainAmountIsOneDecimalNumberOrNothing) {
    struct Good {
        const char* text;
        std::int64_t tenThousandths;
    } good[] = {
        {"12", 120000},        {" 12.5 ", 125000}, {"-3.25", -32500},  {"+7", 70000},      {".05", 500},
        {"5000.01", 50000100}, {"0", 0},           {"1.00005", 10000}, {"1.00015", 10002}, {"123456.78", 1234567800},
    };
    for (const auto& c : good) {
        const std::optional<Money> m = PlainAmount_Read(c.text);
        ASSERT_TRUE(m.has_value()) << '"' << c.text << '"';
        EXPECT_EQ(m->Raw(), c.tenThousandths) << '"' << c.text << '"';
    }
    for (const char* bad :
         {"abc", "$5", "1,000", "1e3", "12abc", "", "  ", "-", ".", "1.2.3", "1 2", "5-", "99999999999999999999"})
        EXPECT_FALSE(PlainAmount_Read(bad).has_value()) << '"' << bad << '"';
}

TEST(Numbers, StrictIntegerRoundsHalfToEvenAndChecksRange) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> v;
    } cases[] = {
        {"12", 12},
        {" 7 ", 7},
        {"1.5", 2},
        {"2.5", 2},
        {"-2.5", -2},
        {"3.5", 4},
        {"2.51", 3},
        {"32767", 32767},
        {"32768", std::nullopt},
        {"-32768", -32768},
        {"x", std::nullopt},
        {"", std::nullopt},
        {"1e2", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Num_ReadStrictInteger(c.text, -32768, 32767), c.v) << c.text;
    EXPECT_EQ(Num_ToInteger(0.5, -10, 10), 0);
    EXPECT_EQ(Num_ToInteger(1.5, -10, 10), 2);
    EXPECT_EQ(Num_ToInteger(70000, -32768, 32767), std::nullopt);
    EXPECT_EQ(Num_ToInteger(NAN, -1, 1), std::nullopt);
}

TEST(Numbers, ShortestTextAsRecordsHoldIt) {
    struct Case {
        double v;
        const char* text;
        const char* display;
    } cases[] = {
        {0.5, ".5", "0.5"},
        {-0.25, "-.25", "-0.25"},
        {12.5, "12.5", "12.5"},
        {100, "100", "100"},
        {0, "0", "0"},
        {-2.25, "-2.25", "-2.25"},
        {0.1 + 0.2, ".3", "0.3"},
        {1.0 / 3.0, ".333333333333333", "0.333333333333333"},
        {2.0 / 3.0, ".666666666666667", "0.666666666666667"},
        {123456789012345.0, "123456789012345", "123456789012345"},
        {1e15, "1E+15", "1E+15"},
        {-1.5e17, "-1.5E+17", "-1.5E+17"},
        {0.0001, ".0001", "0.0001"},
        {0.00001, "1E-05", "1E-05"},
        {1234.5678, "1234.5678", "1234.5678"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Num_Text(c.v), c.text) << c.v;
        EXPECT_EQ(Num_TextDisplay(c.v), c.display) << c.v;
    }
}

TEST(Numbers, RoundingToFourDecimals) {
    // ties to even on the 15-digit decimal of the double
    struct Case {
        double v;
        std::int64_t even;
        std::int64_t away;
    } cases[] = {
        {1.23445, 12344, 12345}, {1.23455, 12346, 12346}, {-1.23445, -12344, -12345}, {0.00005, 0, 1},
        {0.00015, 2, 2},         {2.5e-5, 0, 0},          {19.99 * 0.05, 9995, 9995},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Num_RoundHalfEven(Num_Decimal15(c.v), 4), c.even) << c.v;
        EXPECT_EQ(Num_RoundHalfAway(Num_Decimal15(c.v), 4), c.away) << c.v;
    }
    EXPECT_EQ(Num_RoundHalfEven(Num_Scan("99999999999999999999"), 0), std::nullopt);
}

TEST(Numbers, FormatPatterns) {
    struct Case {
        double v;
        const char* pattern;
        const char* text;
    } cases[] = {
        {1234.5, "$###,##0.00", "$1,234.50"},
        {-1234.5, "$###,##0.00", "-$1,234.50"},
        {0, "$###,##0.00", "$0.00"},
        {0.005, "$###,##0.00", "$0.01"},
        {-0.004, "$###,##0.00", "$0.00"},
        {1234567.891, "$###,##0.00", "$1,234,567.89"},
        {1234.5, "####0.00", "1234.50"},
        {-3.1, "####0.00", "-3.10"},
        {1.2345, "#0.000", "1.235"},
        {0.5, "#0.000", "0.500"},
        {7, "00", "07"},
        {123, "00", "123"},
        {5, "0000000", "0000005"},
        {0, "##", ""},
        {12, "##", "12"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {5, "$-###,##0.00", "$-5.00"},
        {1234.5, "$####,###.00", "$1,234.50"},
        {0.5, "$####,###.00", "$.50"},
        {12345678.9, "##,###,##0.00", "12,345,678.90"},
        {42, "#######", "42"},
    };
    for (const auto& c : cases) EXPECT_EQ(Num_Format(c.v, c.pattern), c.text) << c.v << " " << c.pattern;
}

TEST(Numbers, FormatIsLocaleFree) {
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    const char* old = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");  // may not exist; C stays then
    EXPECT_EQ(Num_Format(1234.5, "###,##0.00"), "1,234.50");
    EXPECT_EQ(Num_Text(0.5), ".5");
    EXPECT_DOUBLE_EQ(Num_Val("2.5"), 2.5);
    if (old) std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace tarvo
