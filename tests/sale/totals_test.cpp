// Totals, discounts and taxes: line extensions, the three taxes on their
// bases with the store's inclusions and exemptions, the sale discount, and
// the total on screen. Every amount is checked to the cent (four decimals
// shown) against a value worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/money.h"
#include "data/sale_state.h"
#include "print/devices.h"
#include "print/pole_display.h"
#include "register/register_fixture.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"
#include "test_dir.h"

namespace tarvo {
namespace {

// An amount with all four decimals, so that a stray fraction of a cent shows.
std::string Amt(Money m) { return m.Format("#0.0000"); }
std::string Amt(const char* text) { return Amt(*Money::Parse(text)); }
Money M(const char* text) { return *Money::Parse(text); }

struct LineSpec {
    const char* price;
    double quantity;
    double priceUnits;
    const char* taxFlags;
};

void AddLines(SaleState& s, const std::vector<LineSpec>& lines) {
    for (const LineSpec& l : lines) {
        const int n = ++s.gItemCount;
        s.gLines[n].unitPrice = M(l.price);
        s.gLines[n].quantity = l.quantity;
        s.gLines[n].priceUnits = l.priceUnits;
        s.gLines[n].taxFlags = l.taxFlags;
    }
}

// ---- extensions --------------------------------------------------------------------------

struct ExtensionCase {
    const char* name;
    LineSpec line;
    const char* extension;
};

// UnitPrice x Quantity / PriceUnits in floating point, taken to four decimals
// (ties to even), then to cents half away from zero.
const ExtensionCase kExtensionCases[] = {
    {"price for two units", {"1.99", 3, 2, ""}, "2.99"},       // 2.985
    {"return of a half cent", {"2.345", -1, 1, ""}, "-2.35"},  // away from zero, not -2.34
    {"sale of a half cent", {"2.345", 1, 1, ""}, "2.35"},
    {"negative price", {"-1.005", 1, 1, ""}, "-1.01"},
    {"weight", {"3.49", 1.235, 1, ""}, "4.31"},                 // 4.31015 -> 4.3102
    {"half unit, binary noise", {"2.99", 0.5, 1, ""}, "1.50"},  // 1.495 in binary is just below
    {"whole units, binary noise", {"1.15", 3, 1, ""}, "3.45"},  // 3.4499999999999997 in binary
    {"thirds", {"1.00", 1, 3, ""}, "0.33"},
    {"two thirds", {"2.00", 1, 3, ""}, "0.67"},
    {"price units 0 count as 1", {"4.99", 2.5, 0, ""}, "12.48"},  // 12.475
    {"quantity 0", {"12.34", 0, 1, ""}, "0.00"},
    // The four-decimal step decides the cent: 0.01495 -> 0.0150 -> 0.02
    // (straight to cents it would be 0.01).
    {"tie to even before cents", {"0.0299", 1, 2, ""}, "0.02"},
    {"tie to even before cents, returned", {"0.0299", -1, 2, ""}, "-0.02"},
    {"tie to even up from below a cent", {"0.0099", 1, 2, ""}, "0.01"},  // 0.00495 -> 0.0050
};

TEST(TotalsComputeTest, LineExtensions) {
    for (const ExtensionCase& c : kExtensionCases) {
        SCOPED_TRACE(c.name);
        SaleState s;
        AddLines(s, {c.line});
        SaleTotalsResult r;
        ASSERT_TRUE(Totals_Compute(s, Settings{}, r));
        EXPECT_EQ(Amt(r.extension[1]), Amt(c.extension));
        EXPECT_EQ(Amt(r.subtotal), Amt(c.extension));
    }
}

// Whatever shortcut the computation takes, each extension is the floating
// product taken to four decimals and then to cents.
TEST(TotalsComputeTest, ExtensionsFollowTheFloatingProduct) {
    std::mt19937_64 rng(20261209);
    std::uniform_int_distribution<std::int64_t> cents(-500000, 5000000);
    std::uniform_int_distribution<int> whole(-40, 400);
    std::uniform_int_distribution<int> kind(0, 5);
    const double units[] = {0, 1, 1, 2, 3, 12};
    for (int round = 0; round < 50; ++round) {
        SaleState s;
        for (int i = 1; i <= kMaxSaleLines; ++i) {
            std::int64_t raw = cents(rng) * 100 + (i % 9 == 0 ? 5 : 0);  // some half cents
            if (i % 97 == 0) raw += 987'654'321'098'765;                 // 15 digits and more with the quantity
            const int k = kind(rng);
            const double q = k <= 2 ? whole(rng) : whole(rng) / 8.0 + (k == 5 ? 0.001 : 0);
            s.gLines[i].unitPrice = Money::FromRaw(raw);
            s.gLines[i].quantity = q;
            s.gLines[i].priceUnits = units[static_cast<std::size_t>(i) % 6];
        }
        s.gItemCount = kMaxSaleLines;
        SaleTotalsResult r;
        ASSERT_TRUE(Totals_Compute(s, Settings{}, r));
        for (int i = 1; i <= kMaxSaleLines; ++i) {
            double x = s.gLines[i].unitPrice.ToDouble() * s.gLines[i].quantity;
            if (s.gLines[i].priceUnits != 0) x = x / s.gLines[i].priceUnits;
            ASSERT_EQ(Amt(r.extension[i]), Amt(CentRound(*Money::FromDouble(x))))
                << "line " << i << ": " << s.gLines[i].unitPrice.Text() << " x " << s.gLines[i].quantity << " / "
                << s.gLines[i].priceUnits;
        }
    }
}

// The same for a tax: base x rate / 100 taken to four decimals, then to
// cents. Rates and cent bases that land on exact half ten-thousandths
// (0.99 x 0.5 % = 0.00495) are frequent here, as are ordinary ones.
TEST(TotalsComputeTest, TaxesFollowTheFloatingProduct) {
    std::mt19937_64 rng(9975);
    std::uniform_int_distribution<std::int64_t> cents(-2'000'000, 20'000'000);
    const double rates[] = {0.5, 5, 7.5, 9.975, 12.5, 0.125, 14.975, 8.25, 3.3333};
    for (int round = 0; round < 20000; ++round) {
        SaleState s;
        const double rate = rates[static_cast<std::size_t>(round) % std::size(rates)];
        std::int64_t raw = cents(rng) * 100;
        if (round % 5 == 0) raw = raw % 100'000 * 100;  // small bases, where ties are many
        AddLines(s, {{"0", 1, 1, "t"}});
        s.gLines[1].unitPrice = Money::FromRaw(raw);
        s.gTaxRate[1] = rate;
        SaleTotalsResult r;
        ASSERT_TRUE(Totals_Compute(s, Settings{}, r));
        const Money expected = CentRound(*Money::FromDouble(Money::FromRaw(raw).ToDouble() * (rate / 100)));
        ASSERT_EQ(Amt(r.tax1), Amt(expected)) << Money::FromRaw(raw).Text() << " x " << rate << " %";
    }
}

// ---- taxes, inclusions, exemptions and the sale discount -----------------------------------

struct TaxCase {
    const char* name;
    std::vector<LineSpec> lines;
    double rate1, rate2, rate3;
    const char* includes;  // settings 330, 335, 340 as three characters
    const char* exempt;    // "x" in position k: tax k exempt
    const char* discount;
    // expected
    const char* subtotal;
    const char* base1;
    const char* base2;
    const char* base3;
    const char* tax1;
    const char* tax2;
    const char* tax3;
    const char* total;
};

const TaxCase kTaxCases[] = {
    // 10.00 x 5 % = 0.50; tax-2 base 10.00 + 0.50; 10.50 x 9.975 % = 1.047375 -> 1.05.
    {"tax 2 includes tax 1",
     {{"10.00", 1, 1, "tt "}},
     5,
     9.975,
     0,
     "100",
     "",
     "0",
     "10.00",
     "10.00",
     "10.50",
     "0",
     "0.50",
     "1.05",
     "0",
     "11.55"},
    // 10.00 x 9.975 % = 0.9975 -> 1.00.
    {"no inclusion",
     {{"10.00", 1, 1, "tt "}},
     5,
     9.975,
     0,
     "000",
     "",
     "0",
     "10.00",
     "10.00",
     "10.00",
     "0",
     "0.50",
     "1.00",
     "0",
     "11.50"},
    // Tax 1 reaches the tax-3 base only through tax-2 lines.
    {"tax 3 includes tax 1, line without tax 2",
     {{"10.00", 1, 1, "tnt"}},
     5,
     0,
     8,
     "010",
     "",
     "0",
     "10.00",
     "10.00",
     "0",
     "10.00",
     "0.50",
     "0",
     "0.80",
     "11.30"},
    // The tax-1 share of a tax-2 line goes to the tax-3 base even though the
    // line pays neither tax 1 nor tax 3: 0.50 x 8 % = 0.04.
    {"tax 3 includes tax 1 of a tax-2-only line",
     {{"10.00", 1, 1, "nt "}},
     5,
     7,
     8,
     "010",
     "",
     "0",
     "10.00",
     "0",
     "10.00",
     "0.50",
     "0",
     "0.70",
     "0.04",
     "10.74"},
    // 20.00 + 20.00 x 7 % = 21.40; x 8 % = 1.712 -> 1.71.
    {"tax 3 includes tax 2",
     {{"20.00", 1, 1, "ntt"}},
     5,
     7,
     8,
     "001",
     "",
     "0",
     "20.00",
     "0",
     "20.00",
     "21.40",
     "0",
     "1.40",
     "1.71",
     "23.11"},
    {"tax 2 exempt: base kept, no tax",
     {{"10.00", 1, 1, "tt "}},
     5,
     9.975,
     0,
     "100",
     ".x.",
     "0",
     "10.00",
     "10.00",
     "10.50",
     "0",
     "0.50",
     "0",
     "0",
     "10.50"},
    // The tax-1 share is added whether or not tax 1 is charged.
    {"tax 1 exempt still feeds tax 2",
     {{"10.00", 1, 1, "tt "}},
     5,
     9.975,
     0,
     "100",
     "x..",
     "0",
     "10.00",
     "10.00",
     "10.50",
     "0",
     "0",
     "1.05",
     "0",
     "11.05"},
    {"every tax exempt",
     {{"10.00", 1, 1, "ttt"}},
     5,
     9.975,
     1,
     "111",
     "xxx",
     "0",
     "10.00",
     "10.00",
     "10.50",
     "11.50",
     "0",
     "0",
     "0",
     "10.00"},
    // Same flags on every line: the discount lowers both bases, 14.00 each;
    // 14.00 x 9.975 % = 1.3965 -> 1.40.
    {"discount, uniform flags",
     {{"10.00", 1, 1, "tt "}, {"5.00", 1, 1, "tt "}},
     5,
     9.975,
     0,
     "000",
     "",
     "1.00",
     "15.00",
     "14.00",
     "14.00",
     "0",
     "0.70",
     "1.40",
     "0",
     "16.10"},
    // Mixed flags: no base changes, only the total drops.
    {"discount, mixed flags",
     {{"10.00", 1, 1, "tt "}, {"5.00", 1, 1, "tn "}},
     5,
     9.975,
     0,
     "000",
     "",
     "1.00",
     "15.00",
     "15.00",
     "10.00",
     "0",
     "0.75",
     "1.00",
     "0",
     "15.75"},
    // Flags compare exactly: "tt" is not "tt ".
    {"discount, flags differing by a blank",
     {{"10.00", 1, 1, "tt "}, {"5.00", 1, 1, "tt"}},
     5,
     9.975,
     0,
     "000",
     "",
     "1.00",
     "15.00",
     "15.00",
     "15.00",
     "0",
     "0.75",
     "1.50",
     "0",
     "16.25"},
    // The share comes from the line before the discount: 10.50 - 1.00 = 9.50;
    // 9.50 x 9.975 % = 0.947625 -> 0.9476 -> 0.95.
    {"discount after inclusion",
     {{"10.00", 1, 1, "tt "}},
     5,
     9.975,
     0,
     "100",
     "",
     "1.00",
     "10.00",
     "9.00",
     "9.50",
     "0",
     "0.45",
     "0.95",
     "0",
     "10.40"},
    // One line is always uniform; only the taxes it pays lose the discount.
    {"discount, single line",
     {{"20.00", 1, 1, "ntt"}},
     5,
     7,
     8,
     "000",
     "",
     "2.00",
     "20.00",
     "0",
     "18.00",
     "18.00",
     "0",
     "1.26",
     "1.44",
     "20.70"},
    // Refund: -10.10 x 5 % = -0.505 -> -0.51 (half away from zero).
    {"refund, half cent tax",
     {{"10.10", -1, 1, "tn "}},
     5,
     0,
     0,
     "000",
     "",
     "0",
     "-10.10",
     "-10.10",
     "0",
     "0",
     "-0.51",
     "0",
     "0",
     "-10.61"},
    // Share -0.51; base 2 -10.61; x 10 % = -1.061 -> -1.06.
    {"refund with inclusion",
     {{"10.10", -1, 1, "tt "}},
     5,
     10,
     0,
     "100",
     "",
     "0",
     "-10.10",
     "-10.10",
     "-10.61",
     "0",
     "-0.51",
     "-1.06",
     "0",
     "-11.67"},
    // Line 1: share1 0.50 to bases 2 and 3, share2 0.9975 -> 1.00 to base 3.
    // Line 2 (-2.35): share1 -0.1175 -> -0.12, share2 -0.2344125 -> -0.2344 -> -0.23.
    // Bases 7.65, 8.03, 8.80; taxes 0.3825 -> 0.38, 0.8009925 -> 0.80, 0.088 -> 0.09.
    {"three taxes, every inclusion, a return",
     {{"10.00", 1, 1, "ttt"}, {"2.345", -1, 1, "ttt"}},
     5,
     9.975,
     1,
     "111",
     "",
     "0",
     "7.65",
     "7.65",
     "8.03",
     "8.80",
     "0.38",
     "0.80",
     "0.09",
     "8.92"},
    // 0.99 x 0.5 % = 0.00495 -> 0.0050 -> 0.01; straight to cents it would be 0.00.
    {"tax tie to even before cents",
     {{"0.99", 1, 1, "t"}},
     0.5,
     0,
     0,
     "000",
     "",
     "0",
     "0.99",
     "0.99",
     "0",
     "0",
     "0.01",
     "0",
     "0",
     "1.00"},
    // Only a lower-case "t" taxes; a short flag text taxes what it holds.
    {"only lower-case t taxes",
     {{"10.00", 1, 1, "TNt"}, {"4.00", 1, 1, "t"}},
     5,
     5,
     5,
     "000",
     "",
     "0",
     "14.00",
     "4.00",
     "0",
     "10.00",
     "0.20",
     "0",
     "0.50",
     "14.70"},
};

TEST(TotalsComputeTest, TaxesInclusionsExemptionsAndDiscounts) {
    for (const TaxCase& c : kTaxCases) {
        SCOPED_TRACE(c.name);
        SaleState s;
        AddLines(s, c.lines);
        s.gTaxRate = {0, c.rate1, c.rate2, c.rate3};
        const std::string exempt = c.exempt;
        for (std::size_t k = 0; k < exempt.size(); ++k) s.gTaxExempt[k + 1] = exempt[k] == 'x';
        s.gSaleDiscount = M(c.discount);
        Settings settings;
        settings.gTax2IncludesTax1 = c.includes[0] == '1';
        settings.gTax3IncludesTax1 = c.includes[1] == '1';
        settings.gTax3IncludesTax2 = c.includes[2] == '1';

        SaleTotalsResult r;
        ASSERT_TRUE(Totals_Compute(s, settings, r));
        EXPECT_EQ(Amt(r.subtotal), Amt(c.subtotal));
        EXPECT_EQ(Amt(r.taxBase[1]), Amt(c.base1));
        EXPECT_EQ(Amt(r.taxBase[2]), Amt(c.base2));
        EXPECT_EQ(Amt(r.taxBase[3]), Amt(c.base3));
        EXPECT_EQ(Amt(r.tax1), Amt(c.tax1));
        EXPECT_EQ(Amt(r.tax2), Amt(c.tax2));
        EXPECT_EQ(Amt(r.tax3), Amt(c.tax3));
        EXPECT_EQ(Amt(r.total), Amt(c.total));
    }
}

TEST(TotalsComputeTest, InclusionSettingsOtherThanOneAreOff) {
    SaleState s;
    AddLines(s, {{"10.00", 1, 1, "ttt"}});
    s.gTaxRate = {0, 5, 9.975, 1};
    Settings settings;
    // As the settings file gives them.
    std::string why;
    for (const char* line : {"330 Y", "335 Y", "340 Y"}) ASSERT_TRUE(Setup_ApplyLine(settings, line, why));
    SaleTotalsResult r;
    ASSERT_TRUE(Totals_Compute(s, settings, r));
    EXPECT_EQ(Amt(r.taxBase[2]), Amt("10.00"));
    EXPECT_EQ(Amt(r.taxBase[3]), Amt("10.00"));
}

// Without lines the total is the negated discount and no tax is charged,
// whatever an earlier line left in line 1.
TEST(TotalsComputeTest, NoLines) {
    SaleState s;
    s.gLines[1].unitPrice = M("10.00");
    s.gLines[1].quantity = 1;
    s.gLines[1].taxFlags = "ttt";
    s.gTaxRate = {0, 5, 7, 8};
    s.gSaleDiscount = M("1.00");
    SaleTotalsResult r;
    ASSERT_TRUE(Totals_Compute(s, Settings{}, r));
    EXPECT_EQ(Amt(r.subtotal), Amt("0"));
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(Amt(r.taxBase[k]), Amt("0")) << k;
    EXPECT_EQ(Amt(r.tax1 + r.tax2 + r.tax3), Amt("0"));
    EXPECT_EQ(Amt(r.total), Amt("-1.00"));
}

// ---- amounts beyond the currency range ------------------------------------------------------

struct RangeCase {
    const char* name;
    std::vector<LineSpec> lines;
    double rate1;
    const char* discount;
};

// The currency holds a little over 922 trillion.
const RangeCase kRangeCases[] = {
    {"extension", {{"500000000000000", 2, 1, ""}}, 0, "0"},
    {"extension from a fractional quantity", {{"700000000000000", 1.5, 1, ""}}, 0, "0"},
    {"subtotal", {{"500000000000000", 1, 1, ""}, {"500000000000000", 1, 1, ""}}, 0, "0"},
    {"tax", {{"500000000000000", 1, 1, "t"}}, 200, "0"},
    {"total with tax", {{"900000000000000", 1, 1, "t"}}, 5, "0"},
    {"total less a negative discount", {{"900000000000000", 1, 1, ""}}, 0, "-100000000000000"},
    {"infinite quantity", {{"1.00", INFINITY, 1, ""}}, 0, "0"},
    {"quantity that is no number", {{"1.00", NAN, 1, ""}}, 0, "0"},
};

TEST(TotalsComputeTest, AmountsBeyondTheCurrencyAreRefused) {
    for (const RangeCase& c : kRangeCases) {
        SCOPED_TRACE(c.name);
        SaleState s;
        AddLines(s, c.lines);
        s.gTaxRate[1] = c.rate1;
        s.gSaleDiscount = M(c.discount);
        SaleTotalsResult r;
        EXPECT_FALSE(Totals_Compute(s, Settings{}, r));
    }
}

TEST(TotalsComputeTest, LargestAmountsThatFit) {
    SaleState s;
    AddLines(s, {{"900000000000000", 1, 1, "t"}, {"-900000000000000", 1, 1, ""}});
    s.gTaxRate[1] = 2;
    SaleTotalsResult r;
    ASSERT_TRUE(Totals_Compute(s, Settings{}, r));
    EXPECT_EQ(Amt(r.tax1), Amt("18000000000000"));
    EXPECT_EQ(Amt(r.total), Amt("18000000000000"));
}

// ---- on the register ------------------------------------------------------------------------

class TotalsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &svc;
        gDisplay = DisplayState{};
    }
    void TearDown() override {
        Customer_Close();
        ProgramLog().Close();
        RegisterTest::TearDown();
    }
    // The pole display on the first parallel port, a file here; "" until
    // something is shown.
    std::string PoleDisplay() const { return dir.Read("lpt1.out"); }
    void PoleDisplayOnAFile() {
        dir.Write(kDeviceMapFile, "LPT1=" + dir.Write("lpt1.out", "") + "\n");
        gSettings.gDisplayPort = 7;
    }
    const std::string& TotalCell() const { return screen.Text(ControlId{Control::Rt_Total, 0}); }
    const std::string& MessageLine() const { return screen.Text(kMessageLine); }

    TestDir dir;
    RegisterServices svc;
};

TEST_F(TotalsTest, UpdateWritesTheSaleAndShowsTheTotal) {
    gSettings.gTax2IncludesTax1 = true;
    PoleDisplayOnAFile();
    SaleState& s = gSale;
    AddLines(s, {{"10.00", 1, 0, "tt "}, {"1.99", 3, 2, "tt "}});
    s.gLines[2].description = "Tea towel";
    s.gTaxRate = {0, 5, 9.975, 0};
    s.gBalanceDue = M("99.00");
    screen.SetEnabled(kPaymentKey, false);
    screen.SetEnabled(ControlId{Control::mTotalRegister, 0}, true);
    screen.SetCaption(ControlId{Control::mTotalRegister, 0}, "");
    screen.SetCaption(kPaymentKey, "");

    EXPECT_TRUE(Totals_Update());

    EXPECT_EQ(Amt(s.gLines[1].extension), Amt("10.00"));
    EXPECT_EQ(Amt(s.gLines[2].extension), Amt("2.99"));
    EXPECT_EQ(s.gLines[1].priceUnits, 1);  // 0 becomes 1
    EXPECT_EQ(s.gLines[2].priceUnits, 2);
    // 12.99 x 5 % = 0.6495 -> 0.65; shares 0.50 and 0.1495 -> 0.15: base 2 13.64,
    // x 9.975 % = 1.36059 -> 1.3606 -> 1.36.
    EXPECT_EQ(Amt(s.gSubtotal), Amt("12.99"));
    EXPECT_EQ(Amt(s.gTax1), Amt("0.65"));
    EXPECT_EQ(Amt(s.gTax2), Amt("1.36"));
    EXPECT_EQ(Amt(s.gTax3), Amt("0"));
    EXPECT_EQ(Amt(s.gTotal), Amt("15.00"));
    EXPECT_EQ(Amt(s.gBalanceDue), Amt("0"));

    EXPECT_EQ(screen.Caption(ControlId{Control::Title_Total, 0}), "Total");
    EXPECT_EQ(TotalCell(), "$15.00");
    EXPECT_TRUE(screen.Enabled(kPaymentKey));
    EXPECT_FALSE(screen.Enabled(ControlId{Control::mTotalRegister, 0}));  // nothing paid yet
    // The newest line faces the customer: its description, the quantity and
    // its amount (command set 0, one piece a line on the parallel port).
    EXPECT_EQ(PoleDisplay(), std::string("\x14\x11\x10\x00", 4) + "Tea towel           \r\n" +
                                 "\x10\x14(x3)                \r\n" + "\x10\x1b        $2.99\r\n");
    EXPECT_EQ(gDisplay.gDisplayError, 0);
    // The Total and Payment keys captioned for a sale.
    EXPECT_EQ(screen.Caption(ControlId{Control::mTotalRegister, 0}), "Total");
    EXPECT_EQ(screen.Caption(kPaymentKey), "Payment");
    EXPECT_EQ(MessageLine(), "");
}

TEST_F(TotalsTest, UpdateIsRebuiltFromTheLinesEachTime) {
    SaleState& s = gSale;
    AddLines(s, {{"10.00", 1, 1, "t"}, {"5.00", 1, 1, "t"}});
    s.gTaxRate[1] = 5;
    ASSERT_TRUE(Totals_Update());
    EXPECT_EQ(Amt(s.gTotal), Amt("15.75"));
    s.gItemCount = 1;  // the last line dropped
    ASSERT_TRUE(Totals_Update());
    EXPECT_EQ(Amt(s.gTotal), Amt("10.50"));
    EXPECT_EQ(TotalCell(), "$10.50");
}

TEST_F(TotalsTest, RefundTotalShowsAMinusBeforeTheDollar) {
    AddLines(gSale, {{"1234.50", -1, 1, "n"}});
    ASSERT_TRUE(Totals_Update());
    EXPECT_EQ(TotalCell(), "-$1,234.50");
}

TEST_F(TotalsTest, NoLinesLeavesThePaymentKeyAsItWas) {
    screen.SetEnabled(kPaymentKey, false);
    gSale.gSaleDiscount = M("1.00");
    ASSERT_TRUE(Totals_Update());
    EXPECT_FALSE(screen.Enabled(kPaymentKey));
    EXPECT_EQ(TotalCell(), "-$1.00");
}

TEST_F(TotalsTest, DisconnectedCustomerDisplayIsReportedAfterTheTotals) {
    // The display's serial port leads nowhere.
    dir.Write(kDeviceMapFile, "COM1=" + (dir / "unplugged") + "\n");
    gSettings.gDisplayPort = 1;
    AddLines(gSale, {{"2.00", 1, 1, ""}});
    ASSERT_TRUE(Totals_Update());
    EXPECT_EQ(Amt(gSale.gTotal), Amt("2.00"));
    EXPECT_EQ(MessageLine(), "Error: Customer Display is Disconnected");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
}

TEST_F(TotalsTest, AmountBeyondTheCurrencyChangesNothing) {
    SaleState& s = gSale;
    PoleDisplayOnAFile();
    AddLines(s, {{"3.00", 1, 0, ""}});
    ASSERT_TRUE(Totals_Update());
    // What the good total showed is wiped, to see that nothing else is.
    dir.Write("lpt1.out", "");
    screen.SetCaption(ControlId{Control::mTotalRegister, 0}, "");
    screen.SetCaption(kPaymentKey, "");
    AddLines(s, {{"500000000000000", 2, 0, ""}});
    s.gBalanceDue = M("3.00");

    EXPECT_FALSE(Totals_Update());

    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
    EXPECT_EQ(Amt(s.gLines[2].extension), Amt("0"));
    EXPECT_EQ(s.gLines[2].priceUnits, 0);
    EXPECT_EQ(Amt(s.gSubtotal), Amt("3.00"));
    EXPECT_EQ(Amt(s.gTotal), Amt("3.00"));
    EXPECT_EQ(Amt(s.gBalanceDue), Amt("3.00"));
    EXPECT_EQ(TotalCell(), "$3.00");
    // Neither the customer's display nor the keys' captions were touched.
    EXPECT_EQ(PoleDisplay(), "");
    EXPECT_EQ(screen.Caption(ControlId{Control::mTotalRegister, 0}), "");
    EXPECT_EQ(screen.Caption(kPaymentKey), "");
}

TEST_F(TotalsTest, DiscountShownOnTheLastLineAndTheMessageLine) {
    SaleState& s = gSale;
    AddLines(s, {{"10.00", 1, 1, "t"}, {"5.00", 1, 1, "t"}});
    s.gSaleDiscount = M("5.00");
    Receipt_Show();

    Discount_Display();

    EXPECT_EQ(s.gLines[2].note, "Total Discount -$5.00");
    EXPECT_TRUE(s.gLines[2].hasNote);
    EXPECT_FALSE(s.gLines[1].hasNote);
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 3}),
              "Total Discount -$5.00");  // the note row under line 2
    EXPECT_EQ(MessageLine(), "Discount Applied -$5.00");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
}

TEST_F(TotalsTest, NoDiscountOnlyRefreshesTheTotal) {
    SaleState& s = gSale;
    AddLines(s, {{"10.00", 1, 1, ""}});
    s.gTotal = M("1234.5");
    screen.SetText(kMessageLine, "earlier");

    Discount_Display();

    EXPECT_EQ(TotalCell(), "$1,234.50");
    EXPECT_EQ(screen.Caption(ControlId{Control::Title_Total, 0}), "Total");
    EXPECT_FALSE(s.gLines[1].hasNote);
    EXPECT_EQ(s.gLines[1].note, "");
    EXPECT_EQ(MessageLine(), "earlier");
}

}  // namespace
}  // namespace tarvo
