#include "screen/receipt_area.h"

#include <string>

#include "common/fields.h"
#include "config/settings.h"
#include "data/sale_state.h"
#include "screen/panels.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr ControlId Id(Control name, int index = 0) { return ControlId{name, index}; }

// The grid's controls that are not cells.
void ForEachGridTitle(auto f) {
    for (const GridColumn& c : kGridColumns) f(Id(c.title));
}

struct TotalsCaptions {
    const char* subtotal;
    const char* discount;
    const char* total;
    const char* change;
    const char* balance;
};
constexpr TotalsCaptions kEnglish{"Subtotal ", "Discount ", "Total ", "Change ", "Balance"};
constexpr TotalsCaptions kFrench{"Soustotal ", "escompte  ", "Total ", "Monnaie ", "A Paye"};

}  // namespace

const std::vector<PlacedControl>& TotalsPanelLayout() {
    static const std::vector<PlacedControl> layout = [] {
        std::vector<PlacedControl> v;
        for (int k = 1; k <= kTotalsRows; ++k) {
            TwipRect title{30, 5155, TotalsRowTop(k), kTotalsRowHeight};
            if (k == kTotalsRows) title = {3495, 1680, TotalsRowTop(k), kTotalsRowHeight};
            v.push_back({Control::Tr_Title, k, title});
            v.push_back({Control::Tr_Amount, k, {5184, 1777, TotalsRowTop(k), kTotalsRowHeight}});
        }
        v.push_back({Control::Tr_Amount, 11, {1916, 1580, TotalsRowTop(kTotalsRows), kTotalsRowHeight}});
        v.push_back({Control::Lbl_BalanceDue, 0, {0, 2014, 4800, 500}});
        return v;
    }();
    return layout;
}

void Receipt_Hide() {
    ScreenModel& s = Screen();
    ForEachGridTitle([&](const ControlId& id) { s.SetVisible(id, false); });
    for (int r = 1; r <= kGridRows; ++r)
        for (const GridColumn& c : kGridColumns) s.SetVisible(Id(c.cell, r), false);
    s.SetVisible(Id(Control::Title_Total), false);
    s.SetVisible(Id(Control::Rt_Total), false);
    for (Control button : {Control::Rt_Up, Control::RT_Down}) {
        s.SetEnabled(Id(button), false);
        s.SetVisible(Id(button), false);
    }
    s.SetVisible(Id(Control::Line_Total, 0), false);
    s.SetVisible(Id(Control::Line_Total, 1), false);
}

void Receipt_Show() {
    gReg.gReceiptAreaContent = ReceiptAreaContent::Grid;
    All_Hide();
    ScreenModel& s = Screen();
    const std::uint32_t back = GridBackColour();
    const bool orderMode = gSale.gMode == RegisterMode::ReceivePO || gSale.gMode == RegisterMode::PackOrder;

    ForEachGridTitle([&](const ControlId& id) { s.SetVisible(id, true); });
    // In the order modes the tax column holds the expected quantities.
    s.SetCaption(Id(Control::Title_Tax), orderMode ? "Qty" : "Tax");
    for (int r = 1; r <= kGridRows; ++r) {
        for (const GridColumn& c : kGridColumns) s.SetVisible(Id(c.cell, r), true);
        for (Control cell : {Control::Rt_Number, Control::Rt_Description, Control::Rt_Tax})
            s.SetBackColour(Id(cell, r), back);
        s.SetFontSize(Id(Control::Rt_Tax, r), orderMode ? 9.5 : 12);
        for (Control cell : {Control::Rt_Quantity, Control::Rt_Price, Control::Rt_Extension})
            s.SetBackColour(Id(cell, r), back);
    }
    for (Control box : {Control::Title_Total, Control::Rt_Total}) {
        s.SetVisible(Id(box), true);
        s.SetBackColour(Id(box), back);
    }
    for (Control button : {Control::Rt_Up, Control::RT_Down}) {
        s.SetBackColour(Id(button), back);
        s.SetEnabled(Id(button), true);
        s.SetVisible(Id(button), true);
    }
    s.SetVisible(Id(Control::Line_Total, 0), true);
    s.SetVisible(Id(Control::Line_Total, 1), true);
}

void Variables_Set() {
    ScreenModel& s = Screen();
    const TotalsCaptions* captions = gSettings.gLanguage == 1   ? &kEnglish
                                     : gSettings.gLanguage == 2 ? &kFrench
                                                                : nullptr;
    if (captions) {
        s.SetText(Id(Control::Tr_Title, 1), captions->subtotal);
        s.SetText(Id(Control::Tr_Title, 2), captions->discount);
        s.SetText(Id(Control::Tr_Title, 6), captions->total);
        for (int k = 7; k <= 9; ++k) s.SetText(Id(Control::Tr_Title, k), "");
        s.SetText(Id(Control::Tr_Title, 10), captions->change);
        s.SetCaption(Id(Control::Lbl_BalanceDue), captions->balance);
    }
    for (int k = 0; k < 3; ++k) s.SetText(Id(Control::Tr_Title, 3 + k), gSettings.gTaxName[k] + " ");

    const std::uint32_t alert = AlertColour();
    for (int k = 1; k <= kTotalsRows; ++k) {
        for (Control cell : {Control::Tr_Title, Control::Tr_Amount}) {
            s.SetBold(Id(cell, k), true);
            s.SetFontSize(Id(cell, k), 15);
        }
    }
    for (int k : {6, 10}) {
        s.SetForeColour(Id(Control::Tr_Title, k), alert);
        s.SetForeColour(Id(Control::Tr_Amount, k), alert);
    }
    s.SetForeColour(Id(Control::Lbl_BalanceDue), alert);
    s.SetBold(Id(Control::Tr_Amount, 11), true);
    s.SetFontSize(Id(Control::Tr_Amount, 11), 15);
    s.SetFontSize(Id(Control::Tr_Amount, 1), 14);

    if (gSettings.gCardBackend == CardBackend::Gateway)
        gReg.gGatewayCredentials =
            "x_login=" + Trim(gSettings.gGatewayLogin) + "&x_tran_key=" + Trim(gSettings.gGatewayKey) + "&";
    else
        gReg.gGatewayCredentials.clear();
}

}  // namespace tarvo
