#include "screen/panels.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "register/register_fixture.h"
#include "register/screen_actions.h"
#include "screen/messages.h"
#include "screen/receipt_area.h"

namespace tarvo {
namespace {

constexpr std::uint32_t kGridBack = 12632256;
constexpr std::uint32_t kAlert = 32768;
constexpr std::uint32_t kLineText = 8421504;

ControlId Title(int k) { return {Control::Tr_Title, k}; }
ControlId Amount(int k) { return {Control::Tr_Amount, k}; }

// The panels of the receipt area, each by the controls that make it up.
enum Panel { kGrid, kTotals, kMessageBox, kTimedBox, kPrintout, kCount, kPanels };
const char* const kPanelNames[] = {"grid", "totals", "message box", "timed box", "printout", "count labels"};

std::vector<ControlId> PanelControls(Panel p) {
    std::vector<ControlId> ids;
    switch (p) {
    case kGrid:
        for (const PlacedControl& c : ReceiptGridLayout()) ids.push_back({c.name, c.index});
        ids.push_back({Control::Line_Total, 0});
        ids.push_back({Control::Line_Total, 1});
        break;
    case kTotals:
        for (int k = 1; k <= 10; ++k) {
            ids.push_back(Title(k));
            ids.push_back(Amount(k));
        }
        ids.push_back(Amount(11));
        ids.push_back({Control::Lbl_BalanceDue, 0});
        break;
    case kMessageBox: ids.push_back({Control::Txt_All, 0}); break;
    case kTimedBox: ids.push_back({Control::Txt_Message, 0}); break;
    case kPrintout: ids.push_back({Control::Txt_Printer, 0}); break;
    case kCount:
        for (Control n : {Control::Lbl_Phys_Code, Control::Lbl_Phys_Desc, Control::Lbl_Phys_Quantity})
            ids.push_back({n, 0});
        break;
    default: break;
    }
    return ids;
}

class PanelsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        gSettings.gColour450 = std::to_string(kGridBack);
        gSettings.gSelectedRowColour = std::to_string(kAlert);
        gSettings.gGreetingForeColour = static_cast<std::int32_t>(kLineText);
        MessageTimers_Connect();
    }

    void ShowEveryPanel() {
        for (int p = 0; p < kPanels; ++p)
            for (const ControlId& id : PanelControls(static_cast<Panel>(p))) screen.Show(id, true);
    }
    // The panels with any control visible.
    std::vector<std::string> VisiblePanels() const {
        std::vector<std::string> v;
        for (int p = 0; p < kPanels; ++p) {
            bool any = false;
            for (const ControlId& id : PanelControls(static_cast<Panel>(p))) any = any || screen.Visible(id);
            if (any) v.push_back(kPanelNames[p]);
        }
        return v;
    }
    // Every panel control whole: shown means every control visible.
    bool Whole(Panel p) const {
        for (const ControlId& id : PanelControls(p))
            if (!screen.Visible(id)) return false;
        return true;
    }
    // Texts, visibility and colours of the totals panel.
    std::string TotalsPicture() const {
        std::string out;
        for (const ControlId& id : PanelControls(kTotals)) {
            const ControlState& s = screen.State(id);
            out += std::string(ControlName(id.name)) + std::to_string(id.index) + "=" + s.text + s.caption + "/" +
                   std::to_string(s.visible) + std::to_string(s.enabled) + "/" + std::to_string(s.backColour) + "/" +
                   std::to_string(s.foreColour) + "\n";
        }
        return out;
    }
};

TEST_F(PanelsTest, EveryShowRoutineLeavesOnlyItsOwnPanelInTheArea) {
    // A value no routine sets: the area content a routine leaves alone.
    constexpr auto kUntouched = static_cast<ReceiptAreaContent>(5);
    struct Case {
        const char* routine;
        std::function<void()> show;
        std::vector<std::string> visible;
        ReceiptAreaContent content;
    } cases[] = {
        {"Receipt_Show", Receipt_Show, {"grid"}, ReceiptAreaContent::Grid},
        {"Summary_Show", Summary_Show, {"totals"}, ReceiptAreaContent::Totals},
        {"Client_ShowInformation", Client_ShowInformation, {"message box"}, ReceiptAreaContent::Panel},
        {"MessageWithNoEnd_Show", MessageWithNoEnd_Show, {"message box"}, ReceiptAreaContent::Panel},
        {"MessageWithTimerToEnd_Show", MessageWithTimerToEnd_Show, {"timed box"}, ReceiptAreaContent::Panel},
        {"Printout_Show", Printout_Show, {"printout"}, ReceiptAreaContent::Panel},
        {"Greeting_Show", Greeting_Show, {}, ReceiptAreaContent::Panel},
        {"Mode_PriceChange_Activate", Mode_PriceChange_Activate, {"count labels"}, ReceiptAreaContent::Grid},
        {"All_Hide", All_Hide, {}, kUntouched},
    };
    for (const Case& c : cases) {
        ShowEveryPanel();
        gReg.gReceiptAreaContent = kUntouched;
        c.show();
        EXPECT_EQ(VisiblePanels(), c.visible) << c.routine;
        for (int p = 0; p < kPanels; ++p)
            if (!c.visible.empty() && c.visible[0] == kPanelNames[p]) {
                EXPECT_TRUE(Whole(static_cast<Panel>(p))) << c.routine;
            }
        EXPECT_EQ(gReg.gReceiptAreaContent, c.content) << c.routine;
    }
}

TEST_F(PanelsTest, AllHideLeavesTheGreetingAlone) {
    for (bool shown : {true, false}) {
        screen.Show({Control::Greeting, 0}, shown);
        All_Hide();
        EXPECT_EQ(screen.Visible({Control::Greeting, 0}), shown);
    }
}

TEST_F(PanelsTest, SummaryShowsTheSaleTotals) {
    struct Case {
        const char* subtotal;
        const char* discount;
        const char* tax1;
        const char* tax2;
        const char* tax3;
        const char* total;
        std::vector<std::string> amounts;  // Tr_Amount 1..6
        const char* discountTitle;
    } cases[] = {
        {"10", "0", "0", "0.7", "0", "10.7", {"$10.00", "", "", "$0.70", "", "$10.70"}, ""},
        {"1234.5",
         "5",
         "61.48",
         "0",
         "123.02",
         "1414",
         {"$1,234.50", "$-5.00", "$61.48", "", "$123.02", "$1,414.00"},
         "Discount "},
        {"-20", "0", "-1", "0", "0", "-21", {"-$20.00", "", "-$1.00", "", "", "-$21.00"}, ""},
        {"0", "0", "0", "0", "0", "0", {"$0.00", "", "", "", "", "$0.00"}, ""},
    };
    for (std::int16_t language : {1, 2}) {
        gSettings.gLanguage = language;
        Variables_Set();
        for (const Case& c : cases) {
            gSale.gSubtotal = *Money::Parse(c.subtotal);
            gSale.gSaleDiscount = *Money::Parse(c.discount);
            gSale.gTax1 = *Money::Parse(c.tax1);
            gSale.gTax2 = *Money::Parse(c.tax2);
            gSale.gTax3 = *Money::Parse(c.tax3);
            gSale.gTotal = *Money::Parse(c.total);
            Summary_Show();
            for (int k = 1; k <= 6; ++k)
                EXPECT_EQ(screen.Text(Amount(k)), c.amounts[k - 1]) << c.subtotal << " row " << k;
            EXPECT_EQ(screen.Text(Title(2)), c.discountTitle) << "language " << language;
        }
    }
}

TEST_F(PanelsTest, SummaryColoursAndTheTenderRowsItLeavesAlone) {
    for (int k = 7; k <= 11; ++k) screen.SetText(Amount(k), "tender " + std::to_string(k));
    screen.SetText(Title(8), "Cash ");
    Summary_Show();
    for (int k = 1; k <= 10; ++k) {
        for (const ControlId& id : {Title(k), Amount(k)}) {
            EXPECT_TRUE(screen.Enabled(id));
            EXPECT_EQ(screen.State(id).backColour, kGridBack);
        }
    }
    for (const ControlId& id : {Title(6), Amount(6), Title(10), Amount(10), ControlId{Control::Lbl_BalanceDue, 0}})
        EXPECT_EQ(screen.State(id).foreColour, kAlert) << id.name << id.index;
    EXPECT_EQ(screen.State(Amount(11)).backColour, kGridBack);
    EXPECT_EQ(screen.State(Amount(11)).foreColour, kLineText);
    for (int k = 7; k <= 11; ++k) EXPECT_EQ(screen.Text(Amount(k)), "tender " + std::to_string(k));
    EXPECT_EQ(screen.Text(Title(8)), "Cash ");
}

TEST_F(PanelsTest, SummaryTwiceLeavesTheSamePicture) {
    Variables_Set();
    gSale.gSubtotal = Money::FromUnits(12);
    gSale.gTax1 = Money::FromCents(60);
    gSale.gTotal = Money::FromCents(1260);
    Summary_Show();
    std::string first = TotalsPicture();
    Summary_Show();
    EXPECT_EQ(TotalsPicture(), first);
}

TEST_F(PanelsTest, SummaryHideHidesTheTotalsAndKeepsTheirTexts) {
    gSale.gTotal = Money::FromUnits(3);
    Summary_Show();
    Summary_Hide();
    for (const ControlId& id : PanelControls(kTotals)) {
        EXPECT_FALSE(screen.Visible(id)) << id.name << id.index;
        EXPECT_FALSE(screen.Enabled(id)) << id.name << id.index;
    }
    EXPECT_EQ(screen.Text(Amount(6)), "$3.00");
}

TEST_F(PanelsTest, CountLabelsAreEmptiedWhenHiddenAndKeptWhenShown) {
    const ControlId code{Control::Lbl_Phys_Code, 0};
    screen.SetCaption(code, "1234");
    screen.Show(code, false);
    Physical_Hide();  // already hidden: still emptied
    EXPECT_EQ(screen.Caption(code), "");

    screen.SetCaption(code, "5678");
    Physical_Activate();
    EXPECT_TRUE(gSale.gStockCount);
    EXPECT_EQ(screen.Caption(code), "5678");
    EXPECT_TRUE(Whole(kCount));
    Physical_Hide();
    EXPECT_TRUE(gSale.gStockCount);  // the end of stock-count mode clears it, not the panel
    EXPECT_FALSE(screen.Enabled(code));
}

TEST_F(PanelsTest, ClientSummaryReadsLineByLine) {
    gSale.gClientName = "Ada Moreau";
    gSale.gClientAddress = "12 Rue Vert";
    gSale.gClientPhone = "555-0101";
    gSale.gClientExtra = "Good";
    struct Case {
        std::int16_t language;
        std::int16_t priceLevel;
        double discount;
        const char* text;
    } cases[] = {
        {1, 2, 12.5,
         "Client: Ada Moreau\r\n12 Rue Vert\r\n555-0101\r\nStanding:  Good\r\nPrice Index:  2\r\n"
         "Discount %:   12.5\r\n(Touch or Click Enter Button to Continue)"},
        {1, 1, 0,
         "Client: Ada Moreau\r\n12 Rue Vert\r\n555-0101\r\nStanding:  Good\r\nPrice Index:  1\r\n"
         "Discount %:   0\r\n(Touch or Click Enter Button to Continue)"},
    };
    for (const Case& c : cases) {
        gSettings.gLanguage = c.language;
        gSale.gClientPriceLevel = c.priceLevel;
        gSale.gClientDiscount = c.discount;
        Client_ShowInformation();
        EXPECT_EQ(screen.Text({Control::Txt_All, 0}), c.text);
        EXPECT_TRUE(screen.Visible({Control::Txt_All, 0}));
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);
    }
    // The shortest form, without binary noise.
    gSettings.gLanguage = 1;
    gSale.gClientDiscount = 0.1 + 0.2;
    Client_ShowInformation();
    EXPECT_NE(screen.Text({Control::Txt_All, 0}).find("Discount %:   0.3\r\n"), std::string::npos);

    gSettings.gLanguage = 2;
    gSale.gClientPriceLevel = 2;
    Client_ShowInformation();
    const std::string& french = screen.Text({Control::Txt_All, 0});
    EXPECT_NE(french.find("\r\n" + Msg(Message::PriceIndex) + " 2\r\n"), std::string::npos);
    EXPECT_NE(french.find("(" + Msg(Message::TouchOrClickEnterButtonToContinue) + ")"), std::string::npos);
    EXPECT_NE(Msg(Message::TouchOrClickEnterButtonToContinue), "Touch or Click Enter Button to Continue");
}

TEST_F(PanelsTest, CardRequestFreezesTheTotalsAndEntryWithoutMovingThem) {
    Summary_Show();
    screen.Show({Control::txtDEA, 0}, true);
    screen.Show({Control::Txt_Mode, 0}, false);  // hidden stays hidden
    std::vector<ControlId> frozen = PanelControls(kTotals);
    for (Control n : {Control::txtDEA, Control::txtCIA, Control::Txt_Mode}) frozen.push_back({n, 0});

    ReceiptArea_Deactivate();
    for (const ControlId& id : frozen) EXPECT_FALSE(screen.Enabled(id)) << id.name << id.index;
    EXPECT_TRUE(screen.Visible(Amount(1)));
    EXPECT_TRUE(screen.Visible({Control::txtDEA, 0}));

    ReceiptArea_Activate();
    for (const ControlId& id : frozen) EXPECT_TRUE(screen.Enabled(id)) << id.name << id.index;
    EXPECT_FALSE(screen.Visible({Control::Txt_Mode, 0}));
}

}  // namespace
}  // namespace tarvo
