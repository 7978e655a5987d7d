#include "screen/receipt_grid.h"
#include "screen/controls.h"

#include <algorithm>
#include <string>

#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/sale_state.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

enum Column { kNumber, kDescription, kTax, kQuantity, kPrice, kExtension };

ControlId Cell(int column, int row) { return ControlId{kGridColumns[static_cast<std::size_t>(column)].cell, row}; }

// An amount as the grid shows it, read back: "-$1,234.50" is -1234.5.
double ReadShownAmount(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '$' && c != ',') plain += c;
    return Num_Val(plain);
}

void EmptyRow(ScreenModel& s, int row) {
    for (int c = 0; c < 6; ++c) s.SetText(Cell(c, row), "");
}

}  // namespace

const std::vector<PlacedControl>& ReceiptGridLayout() {
    static const std::vector<PlacedControl> layout = [] {
        std::vector<PlacedControl> v;
        for (const GridColumn& c : kGridColumns) {
            int width = c.title == Control::Title_Extension ? kGridTitleExtensionWidth : c.width;
            v.push_back({c.title, 0, {c.left, width, kGridTitleTop, kGridTitleHeight}});
        }
        for (int r = 1; r <= kGridRows; ++r)
            for (const GridColumn& c : kGridColumns)
                v.push_back({c.cell, r, {c.left, c.width, GridRowTop(r), kGridRowHeight}});
        v.push_back({Control::RT_Down, 0, kRtDownRect});
        v.push_back({Control::Rt_Up, 0, kRtUpRect});
        v.push_back({Control::Title_Total, 0, kTitleTotalRect});
        v.push_back({Control::Rt_Total, 0, kRtTotalRect});
        return v;
    }();
    return layout;
}

std::uint32_t ColourValue(std::string_view setting) {
    auto v = Num_ToInteger(Num_Val(setting), 0, 0xFFFFFFFFLL);
    return v ? static_cast<std::uint32_t>(*v) : 0;
}
std::uint32_t GridBackColour() { return ColourValue(gSettings.gColour450); }
std::uint32_t AlertColour() { return ColourValue(gSettings.gSelectedRowColour); }
std::uint32_t LineColour() { return static_cast<std::uint32_t>(gSettings.gGreetingForeColour); }

void Receipt_Display() {
    Receipt_Clear_Highlight();
    ScreenModel& s = Screen();
    const SaleState& sale = gSale;
    const bool orderMode = sale.gMode == RegisterMode::ReceivePO || sale.gMode == RegisterMode::PackOrder;
    const std::uint32_t line = LineColour(), alert = AlertColour();

    int r = 1;
    const int last = std::min<int>(sale.gItemCount, kMaxSaleLines);
    for (int i = std::max<int>(sale.gTopLine, 1); i <= last && r <= kGridRows; ++i) {
        gReg.gGridRowLine[r] = static_cast<std::int16_t>(i);
        s.SetText(Cell(kNumber, r), std::to_string(i));
        const SaleLine& saleLine = sale.gLines[static_cast<std::size_t>(i)];
        s.SetText(Cell(kDescription, r), saleLine.description);
        s.SetText(Cell(kTax, r), saleLine.taxFlags);
        s.SetText(Cell(kQuantity, r), Num_TextDisplay(saleLine.quantity));
        s.SetText(Cell(kPrice, r), saleLine.unitPrice.Format("####0.00"));
        s.SetText(Cell(kExtension, r), saleLine.extension.Format("$##,##0.00"));

        // In the order modes the tax cell holds the expected quantity: a line
        // counted to its expected quantity is in order, any other stands out.
        bool standsOut = orderMode ? Num_Val(s.Text(Cell(kQuantity, r))) != Num_Val(s.Text(Cell(kTax, r)))
                                   : ReadShownAmount(s.Text(Cell(kExtension, r))) < 0;
        for (int c = 0; c < 6; ++c) s.SetForeColour(Cell(c, r), standsOut ? alert : line);

        if (++r > kGridRows) break;
        if (saleLine.hasNote) {
            gReg.gGridRowLine[r] = static_cast<std::int16_t>(i);
            EmptyRow(s, r);
            s.SetText(Cell(kDescription, r), saleLine.note);
            ++r;
        }
    }
    for (; r <= kGridRows; ++r) EmptyRow(s, r);

    if (sale.gStockCount) {
        // A physical count shows only numbers, descriptions and quantities.
        for (int row = 1; row <= kGridRows; ++row) {
            s.SetText(Cell(kTax, row), "");
            s.SetText(Cell(kPrice, row), "");
            s.SetText(Cell(kExtension, row), "");
        }
    }
}

void RT_Down_Click() {
    Receipt_Clear_Highlight();
    if (gSale.gTopLine < gSale.gItemCount) {
        ++gSale.gTopLine;
        Receipt_Display();
    }
    Screen().SetFocus(kEntryBox);
}

void Rt_Up_Click() {
    Receipt_Clear_Highlight();
    if (gSale.gTopLine > 1) {
        --gSale.gTopLine;
        Receipt_Display();
    }
    Screen().SetFocus(kEntryBox);
}

void Receipt_GetFocus(int index) {
    Receipt_Clear_Highlight();
    if (index >= 1 && index <= kGridRows && !Screen().Text(Cell(kNumber, index)).empty()) {
        Screen().SetBackColour(Cell(kNumber, index), AlertColour());
        gSale.gSelectedLine = gReg.gGridRowLine[index];
    }
    Screen().SetFocus(kEntryBox);
}

void Receipt_Clear_Highlight() {
    for (int r = 1; r <= kGridRows; ++r) Screen().SetBackColour(Cell(kNumber, r), kWhite);
    gSale.gSelectedLine = 0;
}

}  // namespace tarvo
