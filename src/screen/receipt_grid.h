// The receipt grid of the register window: a title row, seven rows of six
// cells showing the sale lines from gSale.gTopLine on, a total box with its
// title, two scroll buttons and two separator lines. It holds no sale data,
// only the map from its rows to sale lines (gReg.gGridRowLine) and the
// highlighted line (gSale.gSelectedLine).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "screen/control_table.h"

namespace tarvo {

// ---- layout, in twips (1/1440 inch); the window places the controls by it ----

struct TwipRect {
    int left = 0, width = 0, top = 0, height = 0;
};

// A control of the register window at its designed place.
struct PlacedControl {
    Control name;
    int index = 0;
    TwipRect rect;
};

constexpr int kGridRows = 7;

struct GridColumn {
    Control cell;   // the cell array, indexed by row 1..7
    Control title;  // its column title
    int left = 0, width = 0;
};

inline constexpr std::array<GridColumn, 6> kGridColumns{{
    {Control::Rt_Number, Control::Title_Number, 0, 400},
    {Control::Rt_Description, Control::Title_Description, 405, 2850},
    {Control::Rt_Tax, Control::Title_Tax, 3256, 400},
    {Control::Rt_Quantity, Control::Title_Quantity, 3660, 945},
    {Control::Rt_Price, Control::Title_Price, 4605, 1095},
    {Control::Rt_Extension, Control::Title_Extension, 5701, 1234},
}};

constexpr int kGridTitleTop = 955;
constexpr int kGridTitleHeight = 300;
constexpr int kGridTitleExtensionWidth = 1279;  // the last title is wider than its cells
constexpr int kGridRowHeight = 465;
constexpr int GridRowTop(int row) { return 1260 + kGridRowHeight * (row - 1); }

inline constexpr TwipRect kRtDownRect{0, 1096, 4560, 630};
inline constexpr TwipRect kRtUpRect{1096, 1096, 4560, 630};
inline constexpr TwipRect kTitleTotalRect{3357, 1382, 4560, 630};
inline constexpr TwipRect kRtTotalRect{4602, 2321, 4560, 630};

// Every placed control of the grid: the six titles, the 42 cells, the scroll
// buttons, the total box and its title.
const std::vector<PlacedControl>& ReceiptGridLayout();

// ---- colours of the settings ---------------------------------------------------

// A colour setting's numeric value (windows RGB, red in the low byte); text
// that is no colour number reads as 0 (black).
std::uint32_t ColourValue(std::string_view setting);
std::uint32_t GridBackColour();  // setting 450
std::uint32_t AlertColour();     // setting 465
std::uint32_t LineColour();      // setting 470
constexpr std::uint32_t kWhite = 16777215;

// ---- operations ----------------------------------------------------------------

// Rebuilds the seven rows from the sale lines, starting at gSale.gTopLine;
// drops the highlight and the selection.
void Receipt_Display();
// The scroll buttons: one line down / up, focus back to the entry box.
void RT_Down_Click();
void Rt_Up_Click();
// The number cell of grid row `index` (1..7) was touched: highlights that
// row's line and selects it, when the row shows a line.
void Receipt_GetFocus(int index);
// Removes the highlight and the selection.
void Receipt_Clear_Highlight();

}  // namespace tarvo
