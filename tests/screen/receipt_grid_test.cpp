#include "screen/receipt_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "screen/messages.h"

namespace tarvo {
namespace {

constexpr std::uint32_t kAlert = 32768;       // distinct from the defaults, so a
constexpr std::uint32_t kLineText = 8421504;  // hard-wired colour shows

class ReceiptGridTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        gSettings.gSelectedRowColour = std::to_string(kAlert);
        gSettings.gGreetingForeColour = static_cast<std::int32_t>(kLineText);
        gSettings.gColour450 = "12632256";
    }

    // Appends a sale line.
    int Add(const std::string& description, double quantity = 1, const char* price = "1", const char* extension = "1",
            const std::string& tax = "T  ") {
        int i = ++gSale.gItemCount;
        gSale.gLines[i].description = description;
        gSale.gLines[i].quantity = quantity;
        gSale.gLines[i].unitPrice = *Money::Parse(price);
        gSale.gLines[i].extension = *Money::Parse(extension);
        gSale.gLines[i].taxFlags = tax;
        return i;
    }
    void AddLines(int n) {
        for (int i = 1; i <= n; ++i) Add("Item " + std::to_string(i));
    }
    void AddNote(int line, const std::string& note) {
        gSale.gLines[line].hasNote = true;
        gSale.gLines[line].note = note;
    }

    std::string Cell(Control column, int row) const { return screen.Text({column, row}); }
    // The six cells of a row, "|"-joined.
    std::string Row(int row) const {
        std::string out;
        for (const GridColumn& c : kGridColumns) {
            if (c.cell != kGridColumns[0].cell) out += "|";
            out += screen.Text({c.cell, row});
        }
        return out;
    }
    // The number cell of each row ("" for notes and empty rows).
    std::vector<std::string> Numbers() const {
        std::vector<std::string> v;
        for (int r = 1; r <= kGridRows; ++r) v.push_back(Cell(Control::Rt_Number, r));
        return v;
    }
};

TEST(ReceiptGridLayout, RowsColumnsAndButtonsStandWhereDesigned) {
    const auto& layout = ReceiptGridLayout();
    auto find = [&](Control name, int index) {
        for (const PlacedControl& p : layout)
            if (p.name == name && p.index == index) return p.rect;
        ADD_FAILURE() << name << "(" << index << ") not placed";
        return TwipRect{};
    };
    auto same = [](TwipRect a, TwipRect b) {
        return a.left == b.left && a.width == b.width && a.top == b.top && a.height == b.height;
    };
    EXPECT_EQ(layout.size(), 6u + 42u + 4u);
    struct Case {
        Control name;
        int index;
        TwipRect rect;
    } cases[] = {
        {Control::Title_Number, 0, {0, 400, 955, 300}},     {Control::Title_Extension, 0, {5701, 1279, 955, 300}},
        {Control::Rt_Number, 1, {0, 400, 1260, 465}},       {Control::Rt_Description, 2, {405, 2850, 1725, 465}},
        {Control::Rt_Tax, 3, {3256, 400, 2190, 465}},       {Control::Rt_Quantity, 4, {3660, 945, 2655, 465}},
        {Control::Rt_Price, 5, {4605, 1095, 3120, 465}},    {Control::Rt_Extension, 7, {5701, 1234, 4050, 465}},
        {Control::RT_Down, 0, {0, 1096, 4560, 630}},        {Control::Rt_Up, 0, {1096, 1096, 4560, 630}},
        {Control::Title_Total, 0, {3357, 1382, 4560, 630}}, {Control::Rt_Total, 0, {4602, 2321, 4560, 630}},
    };
    for (const Case& c : cases) EXPECT_TRUE(same(find(c.name, c.index), c.rect)) << c.name << "(" << c.index << ")";
}

TEST_F(ReceiptGridTest, CellsShowTheLineInItsDisplayForms) {
    struct Case {
        double quantity;
        const char* price;
        const char* extension;
        const char* shown;  // number|description|tax|quantity|price|extension
    } cases[] = {
        {1, "5", "5", "1|Milk|GP |1|5.00|$5.00"},
        {0.5, "1234.5", "617.25", "1|Milk|GP |0.5|1234.50|$617.25"},
        {-2.25, "3", "-6.75", "1|Milk|GP |-2.25|3.00|-$6.75"},
        {3, "12345.678", "1234567.8", "1|Milk|GP |3|12345.68|$1,234,567.80"},
        {1, "-0.5", "-1234.5", "1|Milk|GP |1|-0.50|-$1,234.50"},
        {0, "0.004", "0", "1|Milk|GP |0|0.00|$0.00"},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        Add("Milk", c.quantity, c.price, c.extension, "GP ");
        Receipt_Display();
        EXPECT_EQ(Row(1), c.shown) << c.quantity << " " << c.price << " " << c.extension;
    }
}

TEST_F(ReceiptGridTest, RowTextColourFollowsTheSignOrTheExpectedQuantity) {
    struct Case {
        RegisterMode mode;
        double quantity;
        const char* tax;
        const char* extension;
        std::uint32_t colour;
    } cases[] = {
        {RegisterMode::Sales, -1, "T  ", "-4.99", kAlert},  // returned line
        {RegisterMode::Sales, 1, "T  ", "0", kLineText},    // free line
        {RegisterMode::Sales, 1, "T  ", "4.99", kLineText},
        {RegisterMode::Sales, 1, "T  ", "-0.004", kLineText},  // shown as $0.00, read back as zero
        {RegisterMode::ReceivePO, 3, "3", "-5", kLineText},    // counted to the ordered quantity, whatever the sign
        {RegisterMode::ReceivePO, 2, "3", "5", kAlert},
        {RegisterMode::PackOrder, 1.5, "1.50", "0", kLineText},  // compared as numbers
        {RegisterMode::PackOrder, 0, "2", "10", kAlert},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        gSale.gMode = c.mode;
        Add("Line", c.quantity, "1", c.extension, c.tax);
        Receipt_Display();
        for (const GridColumn& col : kGridColumns)
            EXPECT_EQ(screen.State({col.cell, 1}).foreColour, c.colour)
                << "mode " << RegisterMode_Name(c.mode) << " qty " << c.quantity << " ext " << c.extension << " "
                << col.cell;
    }
}

TEST_F(ReceiptGridTest, SevenRowWindowStartsAtTheTopLine) {
    AddLines(10);
    struct Case {
        std::int16_t topLine;
        std::vector<std::string> numbers;
    } cases[] = {
        {1, {"1", "2", "3", "4", "5", "6", "7"}},
        {4, {"4", "5", "6", "7", "8", "9", "10"}},
        {8, {"8", "9", "10", "", "", "", ""}},
        {10, {"10", "", "", "", "", "", ""}},
        {11, {"", "", "", "", "", "", ""}},
        {0, {"1", "2", "3", "4", "5", "6", "7"}},  // never shows the unused line 0
    };
    for (const Case& c : cases) {
        gSale.gTopLine = 1;
        Receipt_Display();  // every row filled before
        gSale.gTopLine = c.topLine;
        Receipt_Display();
        EXPECT_EQ(Numbers(), c.numbers) << "top line " << c.topLine;
        for (int r = 1; r <= kGridRows; ++r) {
            if (c.numbers[r - 1].empty()) {
                EXPECT_EQ(Row(r), "|||||") << "top line " << c.topLine << " row " << r;
            } else {
                EXPECT_EQ(gReg.gGridRowLine[r], std::stoi(c.numbers[r - 1]));
            }
        }
    }
}

TEST_F(ReceiptGridTest, EmptySaleEmptiesEveryRow) {
    AddLines(3);
    Receipt_Display();
    gSale.gItemCount = 0;
    Receipt_Display();
    for (int r = 1; r <= kGridRows; ++r) EXPECT_EQ(Row(r), "|||||") << r;
}

TEST_F(ReceiptGridTest, NoteTakesARowOfItsOwnAndNeedsRoomBelowItsLine) {
    AddLines(8);
    AddNote(2, "gift wrap");
    AddNote(6, "engraved");
    Receipt_Display();
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"1", "2", "", "3", "4", "5", "6"}));
    EXPECT_EQ(Row(3), "|gift wrap||||");
    EXPECT_EQ(gReg.gGridRowLine[3], 2);
    // Line 6 stands on row 7: its note has no room until the grid scrolls.
    gSale.gTopLine = 2;
    Receipt_Display();
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"2", "", "3", "4", "5", "6", ""}));
    EXPECT_EQ(Row(7), "|engraved||||");
    EXPECT_EQ(gReg.gGridRowLine[7], 6);
}

TEST_F(ReceiptGridTest, NoteRowKeepsTheTextColourItHad) {
    Add("Return", -1, "2", "-2");
    Add("Sold", 1, "2", "2");
    Receipt_Display();  // row 2 in the line colour
    gSale.gLines[1].hasNote = true;
    gSale.gLines[1].note = "reason: damaged";
    Receipt_Display();
    EXPECT_EQ(Cell(Control::Rt_Description, 2), "reason: damaged");
    EXPECT_EQ(screen.State({Control::Rt_Description, 2}).foreColour, kLineText);
    EXPECT_EQ(screen.State({Control::Rt_Description, 3}).foreColour, kLineText);
}

TEST_F(ReceiptGridTest, StockCountShowsOnlyNumbersDescriptionsAndQuantities) {
    Add("Counted", 4, "9.99", "39.96", "T  ");
    Add("Other", 1, "1", "1", "T  ");
    AddNote(1, "shelf 3");
    gSale.gStockCount = true;
    Receipt_Display();
    EXPECT_EQ(Row(1), "1|Counted||4||");
    EXPECT_EQ(Row(2), "|shelf 3||||");
    EXPECT_EQ(Row(3), "2|Other||1||");
}

TEST_F(ReceiptGridTest, ScrollButtonsMoveTheTopLineWithinTheSale) {
    AddLines(3);
    gSale.gTopLine = 1;
    Receipt_Display();
    struct Step {
        void (*click)();
        std::int16_t topLine;
        const char* row1;
    } steps[] = {
        {Rt_Up_Click, 1, "1"},   {RT_Down_Click, 2, "2"}, {RT_Down_Click, 3, "3"},
        {RT_Down_Click, 3, "3"},  // the last line alone on row 1: no further
        {Rt_Up_Click, 2, "2"},   {Rt_Up_Click, 1, "1"},   {Rt_Up_Click, 1, "1"},
    };
    for (const Step& s : steps) {
        Receipt_GetFocus(1);
        screen.SetFocus({Control::Rt_Number, 1});
        s.click();
        EXPECT_EQ(gSale.gTopLine, s.topLine);
        EXPECT_EQ(Cell(Control::Rt_Number, 1), s.row1);
        EXPECT_EQ(gSale.gSelectedLine, 0);
        EXPECT_EQ(screen.State({Control::Rt_Number, 1}).backColour, kWhite);
        EXPECT_EQ(screen.Focus(), (ControlId{Control::txtDEA, 0}));
    }
}

TEST_F(ReceiptGridTest, TouchingARowSelectsItsLineOnlyWhenItShowsOne) {
    AddLines(5);
    AddNote(4, "note");
    gSale.gTopLine = 3;
    Receipt_Display();  // rows: 3, 4, note, 5, empty, empty, empty
    Receipt_GetFocus(2);
    EXPECT_EQ(gSale.gSelectedLine, 4);
    EXPECT_EQ(screen.State({Control::Rt_Number, 2}).backColour, kAlert);
    EXPECT_EQ(screen.Focus(), (ControlId{Control::txtDEA, 0}));

    for (int index : {3, 6, 0, 8}) {  // note row, empty row, no such row
        Receipt_GetFocus(2);
        Receipt_GetFocus(index);
        EXPECT_EQ(gSale.gSelectedLine, 0) << index;
        for (int r = 1; r <= kGridRows; ++r)
            EXPECT_EQ(screen.State({Control::Rt_Number, r}).backColour, kWhite) << index;
        EXPECT_EQ(screen.Focus(), (ControlId{Control::txtDEA, 0}));
    }
}

TEST_F(ReceiptGridTest, AnyRedisplayDropsTheHighlight) {
    AddLines(2);
    Receipt_Display();
    Receipt_GetFocus(1);
    ASSERT_EQ(gSale.gSelectedLine, 1);
    Add("New");
    Receipt_Display();
    EXPECT_EQ(gSale.gSelectedLine, 0);
    // White whatever back colour the grid cells have.
    EXPECT_EQ(screen.State({Control::Rt_Number, 1}).backColour, kWhite);
}

}  // namespace
}  // namespace tarvo
