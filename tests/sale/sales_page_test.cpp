// The Sales page's keys pressed as the cashier presses them: text typed in
// the entry box, then the soft key of page 13 (mDept_Click), with the sale
// engine's own totals and the recording stand-ins for everything else.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "register/key_fixture.h"
#include "register/register_keys.h"
#include "register_mode_print.h"
#include "sale/sales_page.h"
#include "sale/totals.h"

namespace tarvo {
namespace {

std::string Cents(Money m) { return m.Format("0.00"); }
Money Price(const char* text) { return *Money::Parse(text); }

class SalesPageTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        Reg().services = &page;
        LoggedIn();
        gSale.gMode = RegisterMode::Sales;
        gReg.gKeyPage = KeyPage::Sales;
    }

    // `typed` in the entry box, then Sales page key `key`.
    void Press(int key, const std::string& typed = "") {
        Type(typed);
        mDept_Click(key);
    }

    // A line straight into the sale, then the totals.
    void Line(const std::string& key, double quantity, const char* price, const std::string& taxFlags = "   ",
              double units = 1) {
        SaleState& s = gSale;
        const int n = ++s.gItemCount;
        s.gLines[n].key = key;
        s.gLines[n].product = key;
        s.gLines[n].description = "Item " + key;
        s.gLines[n].quantity = quantity;
        s.gLines[n].listPrice = Price(price);
        s.gLines[n].unitPrice = Price(price);
        s.gLines[n].priceUnits = units;
        s.gLines[n].taxFlags = taxFlags;
        ASSERT_TRUE(Totals_Update());
    }

    void Manager(const std::string& number, const std::string& code, const std::string& rights) {
        gData.ManagerTable.push_back(ManagerRow{number, code, "Manager " + number, rights});
        gData.gManagerCount = static_cast<std::int32_t>(gData.ManagerTable.size() - 1);
    }

    // Products (key, category, price) loaded from a received product file.
    void Catalogue(const std::vector<std::vector<std::string>>& items) {
        std::vector<std::string> lines;
        for (const auto& i : items)
            lines.push_back(Fixed(273, {{1, i[0]}, {12, i[0]}, {34, i[1]}, {60, "Item"}, {100, i[2]}}));
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(lines));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, static_cast<std::int32_t>(items.size()));
    }

    RecordingKeys page;  // page 13's keys are the Sales page's own
};

// ---- key 1: case letter ----------------------------------------------------------------------

TEST_F(SalesPageTest, CaseKeyOffersTheLabelledLettersInTurnThenCancels) {
    gSettings.gCaseLabel = {"Case of 6", "Case of 12", "", "Crate"};  // "c" has no label
    const std::vector<std::pair<std::string, std::string>> presses{
        {"a", "Case Selection: Case of 6"},
        {"b", "Case Selection: Case of 12"},
        {"", "Case Selection Cancelled"},  // no "c": cancelled, even though "d" has a label
        {"a", "Case Selection: Case of 6"},
    };
    for (const auto& [letter, message] : presses) {
        Press(1);
        EXPECT_EQ(gSale.gCaseLetter, letter);
        EXPECT_EQ(MessageLine(), message);
    }
    gSale.gCaseLetter = "d";
    Press(1);
    EXPECT_EQ(gSale.gCaseLetter, "");

    gSettings.gCaseLabel = {"", "", "", ""};
    Press(1);
    EXPECT_EQ(gSale.gCaseLetter, "");
    EXPECT_EQ(MessageLine(), "Case Selection Cancelled");
}

// ---- key 3: tax rate by digit ------------------------------------------------------------------

TEST_F(SalesPageTest, TaxRateKeyAppliesTheRowOfTheTypedDigit) {
    gSale.gTaxRate = {0, 5, 8, 2};
    Line("A", 1, "10.00", "ttt");
    auto& table = gSettings.TaxChoiceTable;
    table[3] = TaxChoice{"000", 2, 7.5, "4"};
    table[8] = TaxChoice{"000", 1, 6, "x"};   // status character outside 0-7
    table[5] = TaxChoice{"000", 0, 99, "7"};  // no rate change
    table[6] = TaxChoice{"000", 4, 3, "1"};   // kind not 0-3

    Press(3, "3");
    EXPECT_EQ(gSale.gTaxRate[2], 7.5);
    EXPECT_EQ(gSale.gTaxStatus, 4);
    EXPECT_FALSE(gSale.gTaxExempt[1]);
    EXPECT_FALSE(gSale.gTaxExempt[2]);
    EXPECT_TRUE(gSale.gTaxExempt[3]);
    EXPECT_EQ(MessageLine(), "Tax Status: TTN");
    EXPECT_EQ(Cents(gSale.gTax2), "0.75");  // the totals ran with the new rate
    EXPECT_EQ(Cents(gSale.gTax3), "0.00");
    EXPECT_EQ(gSale.gClientName, "");  // no client attached
    EXPECT_EQ(Entry(), "");

    // 8.5 rounds to the even digit 8: the rate is applied, the status is not.
    Press(3, "8.5");
    EXPECT_EQ(gSale.gTaxRate[1], 6);
    EXPECT_EQ(gSale.gTaxStatus, 4);
    EXPECT_EQ(Cents(gSale.gTax1), "0.60");

    Press(3, "5");
    EXPECT_EQ(gSale.gTaxStatus, 7);
    EXPECT_EQ(MessageLine(), "Tax Status: TNN");
    EXPECT_EQ(gSale.gTaxRate[1], 6);

    for (const char* typed : {"", "9.6", "-1", "6", "0"}) {  // row 0 was never filled (kind 10)
        SCOPED_TRACE(typed);
        screen.SetText(kMessageLine, "");
        Press(3, typed);
        EXPECT_EQ(MessageLine(), "Invalid Entry");
        EXPECT_EQ(gSale.gTaxStatus, 7);
        EXPECT_EQ(gSale.gTaxRate[1], 6);
    }
}

TEST_F(SalesPageTest, TaxRateRowWithAClientCodeRunsTheClientKeyWithIt) {
    // A client file holding client number 1001.
    dir.Write("Files/" + std::string(kTerminal) + ".CLI",
              CrLf({Fixed(210,
                          {{1, "C1001"}, {11, "0"}, {12, "1001"}, {20, "Exempt Buyer"}, {205, "0"}, {210, "1"}})}));
    Parse_FileClient();
    ASSERT_EQ(gData.gClientCount, 1);
    gSettings.TaxChoiceTable[2] = TaxChoice{"1001", 0, 0, "1"};
    Line("A", 1, "10.00");
    Press(3, "2");
    // The client key attached client 1001 to the sale.
    EXPECT_EQ(gData.gClientRecNo, 1);
    EXPECT_EQ(gSale.gClientNumber, "1001");
    EXPECT_EQ(gSale.gClientName, "Exempt Buyer");
    EXPECT_EQ(gSale.gTaxStatus, 1);
    EXPECT_EQ(MessageLine(), "Tax Status: NNN");
}

// ---- key 4: tax exempt ---------------------------------------------------------------------------

TEST_F(SalesPageTest, TaxExemptKeyStepsThroughTheEightStatuses) {
    const std::vector<std::string> letters{"NNN", "NTT", "TNT", "TTN", "NNT", "NTN", "TNN", "TTT"};
    for (const std::string& expected : letters) {
        Press(4);
        EXPECT_EQ(MessageLine(), "Tax Status: " + expected);
    }
    EXPECT_EQ(gSale.gTaxStatus, 0);

    gSale.gTaxStatus = 7;
    Press(4);
    EXPECT_EQ(gSale.gTaxStatus, 0);
    EXPECT_EQ(MessageLine(), "Tax Status: TTT");
}

TEST_F(SalesPageTest, TaxExemptKeyWithTheManagerCheckNeedsRightTwo) {
    gSettings.gTaxExemptCheck = true;
    Manager("00000001", "111", "10");
    Manager("00000002", "222", "01");
    const struct {
        const char* typed;
        const char* message;
        int status;
    } cases[] = {
        {"", "Manager Authorization Required", 0},
        {"999", "Invalid Manager Authorization Code", 0},
        {"111", "Manager Not Allowed Access", 0},
        {"222", "Tax Status: NNN", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Press(4, c.typed);
        EXPECT_EQ(MessageLine(), c.message);
        EXPECT_EQ(gSale.gTaxStatus, c.status);
    }
}

// ---- keys 6 and 7: note and reference ---------------------------------------------------------

TEST_F(SalesPageTest, ItemReferenceNotesTheLastLineWhateverIsHighlighted) {
    Line("A", 1, "1.00");
    Line("B", 1, "2.00");
    gSale.gSelectedLine = 1;
    Press(6, "gift, wrap & bow");
    EXPECT_EQ(gSale.gLines[2].note, "gift  wrap   bow");
    EXPECT_TRUE(gSale.gLines[2].hasNote);
    EXPECT_EQ(gSale.gLines[1].note, "");
    EXPECT_FALSE(gSale.gLines[1].hasNote);

    Press(6, "");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    gSale.gItemCount = 0;
    Press(6, "note");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

TEST_F(SalesPageTest, TransactionReferenceBecomesTheSaleReference) {
    Press(7, "PO 4471'B");
    EXPECT_EQ(gSale.gSaleReference, "PO 4471 B");
    EXPECT_EQ(MessageLine(), "Reference = PO 4471 B");
    Press(7, "");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(gSale.gSaleReference, "PO 4471 B");
}

// ---- key 9: 20 percent off the merchandise ------------------------------------------------------

TEST_F(SalesPageTest, MerchandiseDiscountLeavesCategory1080AndMissingProductsAlone) {
    Catalogue({{"P1", "1080", "10.00"}, {"P2", "2000", "10.00"}, {"P3", "", "3.33"}});
    Line("P1", 1, "10.00");
    Line("P2", 2, "10.00");
    Line("GONE", 1, "5.00");
    Line("P3", 1, "3.33");
    Press(9);
    const SaleState& s = gSale;
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "10.00");
    EXPECT_FALSE(s.gLines[1].hasNote);
    EXPECT_EQ(Cents(s.gLines[2].unitPrice), "8.00");
    EXPECT_EQ(Cents(s.gLines[2].extension), "16.00");
    EXPECT_EQ(s.gLines[2].note, "Dsct%:20 ($10)");
    EXPECT_TRUE(s.gLines[2].hasNote);
    EXPECT_EQ(Cents(s.gLines[3].unitPrice), "5.00");
    EXPECT_EQ(Cents(s.gLines[4].unitPrice), "2.66");  // 2.664: up only from the half cent
    EXPECT_EQ(s.gLines[4].note, "Dsct%:20 ($3.33)");
    EXPECT_EQ(Cents(s.gSubtotal), "33.66");
    EXPECT_EQ(MessageLine(), "Discount %:  20");
    EXPECT_EQ(Entry(), "");

    // Again from the discounted prices: 64 percent of the first price.
    Press(9);
    EXPECT_EQ(Cents(s.gLines[2].unitPrice), "6.40");
    EXPECT_EQ(s.gLines[2].note, "Dsct%:20 ($8)");

    Press(9, "5");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(Cents(s.gLines[2].unitPrice), "6.40");
}

// ---- keys 13 and 14: one line's discount --------------------------------------------------------

TEST_F(SalesPageTest, LineDiscountsByAmountAndPercentage) {
    const struct {
        const char* name;
        int key;
        const char* typed;
        int selected;       // 0: none highlighted
        int line;           // the line expected to change, 0 none
        const char* price;  // its new unit price
        const char* note;
        const char* message;
    } cases[] = {
        {"amount above the highlighted price", 13, "5", 1, 0, "", "", ""},
        {"amount off the highlighted line", 13, "1.25", 1, 1, "2.75", "Discount $1.25 ($4)", "Discount $1.25"},
        {"amount off the last line", 13, "0.50", 0, 2, "2.00", "Discount $0.50 ($2.5)", "Discount $0.50"},
        {"negative amount on the last line raises it", 13, "-2", 0, 2, "4.50", "Discount $-2 ($2.5)", "Discount $-2"},
        {"negative amount on the highlighted line", 13, "-2", 1, 0, "", "", "Negative Price Is Disallowed"},
        {"percentage above 100", 14, "150", 1, 0, "", "", ""},
        {"100 percent", 14, "100", 1, 1, "0.00", "Dsct%:100 ($4)", "Discount %:  100"},
        {"percentage rounds up at the half cent", 14, "15", 0, 2, "2.13", "Dsct%:15 ($2.5)", "Discount %:  15"},
        {"negative percentage on the highlighted line", 14, "-5", 1, 0, "", "", "Negative Price Is Disallowed"},
        {"empty entry", 14, "", 0, 0, "", "", "Invalid Entry"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gSale = SaleState{};
        Line("A", 1, "4.00");
        Line("B", 3, "2.50");
        gSale.gSelectedLine = c.selected;
        screen.SetText(kMessageLine, "");
        Press(c.key, c.typed);
        const SaleState& s = gSale;
        EXPECT_EQ(MessageLine(), c.message);
        for (int i = 1; i <= 2; ++i) {
            if (i == c.line) {
                EXPECT_EQ(Cents(s.gLines[i].unitPrice), c.price);
                EXPECT_EQ(s.gLines[i].note, c.note);
                EXPECT_TRUE(s.gLines[i].hasNote);
            } else {
                EXPECT_EQ(Cents(s.gLines[i].unitPrice), i == 1 ? "4.00" : "2.50") << "line " << i;
                EXPECT_FALSE(s.gLines[i].hasNote) << "line " << i;
            }
            // The list price is never touched by a discount.
            EXPECT_EQ(Cents(s.gLines[i].listPrice), i == 1 ? "4.00" : "2.50");
        }
        if (c.line == 2) {
            EXPECT_EQ(Cents(s.gLines[2].extension), Cents(Money::FromRaw(s.gLines[2].unitPrice.Raw() * 3)));
        }
    }
}

TEST_F(SalesPageTest, ALineDiscountOnALongSaleShowsTheLastLine) {
    for (int i = 1; i <= 9; ++i) Line("L" + std::to_string(i), 1, "1.00");
    gSale.gTopLine = 4;
    Press(13, "0.10");
    EXPECT_EQ(gSale.gTopLine, 9);

    gSale.gTopLine = 5;
    Press(14, "10");
    EXPECT_EQ(gSale.gTopLine, 5);
}

// ---- keys 15 and 16: sale discount -------------------------------------------------------------

TEST_F(SalesPageTest, SaleDiscountsByAmountAndPercentageOfTheSubtotal) {
    Line("A", 1, "33.33");
    const SaleState& s = gSale;

    Press(16, "10");
    EXPECT_EQ(Cents(s.gSaleDiscount), "3.33");
    EXPECT_EQ(Cents(s.gTotal), "30.00");
    EXPECT_EQ(MessageLine(), "Discount Applied -$3.33");

    Press(16, "150");
    EXPECT_EQ(Cents(s.gSaleDiscount), "3.33");
    EXPECT_EQ(Entry(), "");

    Press(15, "40");  // above the subtotal
    EXPECT_EQ(Cents(s.gSaleDiscount), "3.33");

    Press(15, "5.005");
    EXPECT_EQ(Cents(s.gSaleDiscount), "5.01");
    EXPECT_EQ(Cents(s.gTotal), "28.32");

    Press(15, "-1");  // a negative amount is taken
    EXPECT_EQ(Cents(s.gSaleDiscount), "-1.00");
    EXPECT_EQ(Cents(s.gTotal), "34.33");

    Press(15, "");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    Press(16, "");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(Cents(s.gSaleDiscount), "-1.00");
}

// ---- key 21: manual price ----------------------------------------------------------------------

TEST_F(SalesPageTest, ManualPriceOnTheHighlightedLineReplacesBothPrices) {
    Line("A", 2, "4.00");
    Line("B", 1, "1.00");
    gSale.gSelectedLine = 1;
    Press(21, "$ 7,255");
    const SaleState& s = gSale;
    EXPECT_EQ(s.gLines[1].unitPrice, Price("7.255"));  // not rounded
    EXPECT_EQ(s.gLines[1].listPrice, Price("7.255"));
    EXPECT_EQ(Cents(s.gLines[1].extension), "14.51");
    EXPECT_EQ(Cents(s.gSubtotal), "15.51");
    EXPECT_FALSE(gData.gManualPrice);

    gSale.gSelectedLine = 1;
    Press(21, "-3");
    EXPECT_EQ(MessageLine(), "Negative Price Is Disallowed");
    EXPECT_EQ(s.gLines[1].unitPrice, Price("7.255"));
}

TEST_F(SalesPageTest, ManualPriceWithoutAHighlightedLineWaitsForTheNextProduct) {
    Press(21, "12,50");
    EXPECT_TRUE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Price("12.5"));
    EXPECT_EQ(MessageLine(), "Manual Price = 12.5");

    Press(21, "-1");
    EXPECT_FALSE(gData.gManualPrice);
    EXPECT_EQ(MessageLine(), "Negative Price Is Disallowed");

    Press(21, "3");
    EXPECT_TRUE(gData.gManualPrice);
    Press(21, "");
    EXPECT_FALSE(gData.gManualPrice);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

TEST_F(SalesPageTest, APriceTheTotalsCannotHoldLeavesTheSaleAsItWas) {
    Line("A", 20000, "1.00");
    gSale.gSelectedLine = 1;
    Press(21, "900000000000");  // 9e11 x 20000 leaves the currency range
    const SaleState& s = gSale;
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "1.00");
    EXPECT_EQ(Cents(s.gLines[1].listPrice), "1.00");
    EXPECT_EQ(Cents(s.gSubtotal), "20000.00");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

// ---- keys 23 and 24: search modes -----------------------------------------------------------------

TEST_F(SalesPageTest, PriceAndStockSearchExcludeEachOther) {
    const struct {
        int key;
        bool price, stock;
        const char* message;
    } steps[] = {
        {23, true, false, "Price Search Mode Enabled"},   {24, false, true, "Stock Search Mode Enabled"},
        {24, false, false, "Stock Search Mode Disabled"}, {23, true, false, "Price Search Mode Enabled"},
        {23, false, false, "Price Search Mode Disabled"},
    };
    for (const auto& step : steps) {
        Press(step.key);
        EXPECT_EQ(gSale.gPriceSearch, step.price);
        EXPECT_EQ(gSale.gStockSearch, step.stock);
        EXPECT_EQ(MessageLine(), step.message);
    }
}

TEST_F(SalesPageTest, KeysWithoutAnActionChangeNothing) {
    Line("A", 1, "4.00");
    for (int key : {2, 5, 8, 10, 11, 12, 17, 18, 19, 20, 22}) {
        screen.SetText(kMessageLine, "");
        Press(key, "5");
        EXPECT_EQ(MessageLine(), "") << key;
    }
    EXPECT_EQ(Cents(gSale.gLines[1].unitPrice), "4.00");
    EXPECT_EQ(Cents(gSale.gSaleDiscount), "0.00");
}

// ---- tax status helpers used by the recall -----------------------------------------------------

TEST_F(SalesPageTest, EveryTaxStatusIsFoundAgainFromItsFlags) {
    for (int status = 0; status <= 7; ++status) {
        TaxStatus_Apply(status);
        gSale.gTaxStatus = 0;
        EXPECT_EQ(TaxStatus_FromFlags(), status);
    }
}

}  // namespace
}  // namespace tarvo
