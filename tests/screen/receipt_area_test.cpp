#include "screen/receipt_area.h"

#include <gtest/gtest.h>

#include <string>

#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "screen/panels.h"

namespace tarvo {
namespace {

constexpr std::uint32_t kGridBack = 12632256;
constexpr std::uint32_t kAlert = 32768;

class ReceiptAreaTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        gSettings.gColour450 = std::to_string(kGridBack);
        gSettings.gSelectedRowColour = std::to_string(kAlert);
    }

    // Every control of the grid: titles, cells, total box, buttons, lines.
    std::vector<ControlId> GridControls() const {
        std::vector<ControlId> ids;
        for (const PlacedControl& p : ReceiptGridLayout()) ids.push_back({p.name, p.index});
        ids.push_back({Control::Line_Total, 0});
        ids.push_back({Control::Line_Total, 1});
        return ids;
    }
    ControlId Title(int k) const { return {Control::Tr_Title, k}; }
    ControlId Amount(int k) const { return {Control::Tr_Amount, k}; }
};

TEST_F(ReceiptAreaTest, HideTakesEveryGridControlAwayAndKeepsTheTexts) {
    Receipt_Show();
    screen.SetText({Control::Rt_Description, 4}, "Bread");
    screen.SetText({Control::Rt_Total, 0}, "$12.00");
    Receipt_Hide();
    for (const ControlId& id : GridControls()) EXPECT_FALSE(screen.Visible(id)) << id.name << id.index;
    EXPECT_FALSE(screen.Enabled({Control::Rt_Up, 0}));
    EXPECT_FALSE(screen.Enabled({Control::RT_Down, 0}));
    EXPECT_EQ(screen.Text({Control::Rt_Description, 4}), "Bread");
    EXPECT_EQ(screen.Text({Control::Rt_Total, 0}), "$12.00");
}

TEST_F(ReceiptAreaTest, ShowBringsTheGridBackInTheGridColours) {
    Receipt_Hide();
    gReg.gReceiptAreaContent = ReceiptAreaContent::Totals;
    Receipt_Show();
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
    for (const ControlId& id : GridControls()) EXPECT_TRUE(screen.Visible(id)) << id.name << id.index;
    EXPECT_TRUE(screen.Enabled({Control::Rt_Up, 0}));
    EXPECT_TRUE(screen.Enabled({Control::RT_Down, 0}));
    for (int r = 1; r <= kGridRows; ++r)
        for (const GridColumn& c : kGridColumns)
            EXPECT_EQ(screen.State({c.cell, r}).backColour, kGridBack) << c.cell << r;
    for (Control name : {Control::Title_Total, Control::Rt_Total, Control::Rt_Up, Control::RT_Down})
        EXPECT_EQ(screen.State({name, 0}).backColour, kGridBack) << name;
}

TEST_F(ReceiptAreaTest, TaxColumnHoldsExpectedQuantitiesInTheOrderModes) {
    struct Case {
        RegisterMode mode;
        const char* title;
        double size;
    } cases[] = {{RegisterMode::ReceivePO, "Qty", 9.5},
                 {RegisterMode::Sales, "Tax", 12},
                 {RegisterMode::PackOrder, "Qty", 9.5},
                 {RegisterMode::NewPurchaseOrder, "Tax", 12},
                 {RegisterMode::ChangePrice, "Tax", 12}};
    for (const Case& c : cases) {
        gSale.gMode = c.mode;
        Receipt_Show();
        EXPECT_EQ(screen.Caption({Control::Title_Tax, 0}), c.title) << RegisterMode_Name(c.mode);
        for (int r = 1; r <= kGridRows; ++r)
            EXPECT_EQ(screen.State({Control::Rt_Tax, r}).font.size, c.size) << RegisterMode_Name(c.mode);
    }
}

TEST_F(ReceiptAreaTest, ShowWhileShownLeavesTheRowsAsTheyWere) {
    gSale.gItemCount = 1;
    gSale.gLines[1].description = "Soap";
    gSale.gLines[1].quantity = 2;
    Receipt_Show();
    Receipt_Display();
    gSale.gLines[1].description = "changed since";
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    Receipt_Show();
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
    EXPECT_EQ(screen.Text({Control::Rt_Description, 1}), "Soap");
    EXPECT_EQ(screen.Text({Control::Rt_Quantity, 1}), "2");
}

TEST_F(ReceiptAreaTest, TotalsCaptionsInTheUsersLanguage) {
    gSettings.gTaxName = {"GST", "PST", ""};
    struct Case {
        std::int16_t language;
        std::vector<std::string> titles;  // Tr_Title 1..10
        const char* balance;
    } cases[] = {
        {1, {"Subtotal ", "Discount ", "GST ", "PST ", " ", "Total ", "", "", "", "Change "}, "Balance"},
        {2, {"Soustotal ", "escompte  ", "GST ", "PST ", " ", "Total ", "", "", "", "Monnaie "}, "A Paye"},
        // any other language writes no caption, only the tax names
        {3, {"old", "old", "GST ", "PST ", " ", "old", "old", "old", "old", "old"}, "old"},
    };
    for (const Case& c : cases) {
        for (int k = 1; k <= 10; ++k) screen.SetText(Title(k), "old");
        screen.SetCaption({Control::Lbl_BalanceDue, 0}, "old");
        gSettings.gLanguage = c.language;
        Variables_Set();
        for (int k = 1; k <= 10; ++k) EXPECT_EQ(screen.Text(Title(k)), c.titles[k - 1]) << c.language << " row " << k;
        EXPECT_EQ(screen.Caption({Control::Lbl_BalanceDue, 0}), c.balance);
    }
}

TEST_F(ReceiptAreaTest, TotalsFontsAndColours) {
    Variables_Set();
    for (int k = 1; k <= 10; ++k) {
        for (const ControlId& id : {Title(k), Amount(k)}) {
            const Font& f = screen.State(id).font;
            EXPECT_TRUE(f.bold) << id.name << k;
            EXPECT_EQ(f.size, id == Amount(1) ? 14 : 15) << id.name << k;
            bool alert = k == 6 || k == 10;
            EXPECT_EQ(screen.State(id).foreColour, alert ? kAlert : 0u) << id.name << k;
        }
    }
    EXPECT_TRUE(screen.State(Amount(11)).font.bold);
    EXPECT_EQ(screen.State(Amount(11)).font.size, 15);
    EXPECT_EQ(screen.State({Control::Lbl_BalanceDue, 0}).foreColour, kAlert);
}

TEST_F(ReceiptAreaTest, GatewayCredentialsOnlyForTheHttpGateway) {
    gSettings.gGatewayLogin = "  store12 ";
    gSettings.gGatewayKey = " K3y9 ";
    struct Case {
        CardBackend backend;
        const char* credentials;
    } cases[] = {{CardBackend::Gateway, "x_login=store12&x_tran_key=K3y9&"},
                 {CardBackend::ExchangeFiles, ""},
                 {CardBackend::Terminal, ""}};
    // In turn: a back-end that is not the gateway empties what an earlier
    // set-up built.
    for (const Case& c : cases) {
        gSettings.gCardBackend = c.backend;
        Variables_Set();
        EXPECT_EQ(gReg.gGatewayCredentials, c.credentials) << static_cast<int>(c.backend);
    }
}

TEST(TotalsPanelLayout, RowsFollowEachOtherAndTheLastRowIsShared) {
    auto find = [](Control name, int index) {
        for (const PlacedControl& p : TotalsPanelLayout())
            if (p.name == name && p.index == index) return p.rect;
        ADD_FAILURE() << name << index << " not placed";
        return TwipRect{};
    };
    EXPECT_EQ(TotalsPanelLayout().size(), 22u);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(find(Control::Tr_Amount, k).top, 955 + 428 * (k - 1));
        EXPECT_EQ(find(Control::Tr_Title, k).top, find(Control::Tr_Amount, k).top);
        EXPECT_EQ(find(Control::Tr_Amount, k).height, 428);
        EXPECT_EQ(find(Control::Tr_Amount, k).left, 5184);
        EXPECT_EQ(find(Control::Tr_Amount, k).width, 1777);
    }
    EXPECT_EQ(find(Control::Tr_Title, 10).top, 4807);
    EXPECT_EQ(find(Control::Tr_Title, 1).left, 30);
    EXPECT_EQ(find(Control::Tr_Title, 1).width, 5155);
    EXPECT_EQ(find(Control::Tr_Title, 10).left, 3495);
    EXPECT_EQ(find(Control::Tr_Title, 10).width, 1680);
    TwipRect balance = find(Control::Tr_Amount, 11);
    EXPECT_EQ(balance.left, 1916);
    EXPECT_EQ(balance.width, 1580);
    EXPECT_EQ(balance.top, 4807);
    EXPECT_EQ(balance.height, 428);
    TwipRect caption = find(Control::Lbl_BalanceDue, 0);
    EXPECT_EQ(caption.left, 0);
    EXPECT_EQ(caption.width, 2014);
    EXPECT_EQ(caption.top, 4800);
    EXPECT_EQ(caption.height, 500);
}

}  // namespace
}  // namespace tarvo
