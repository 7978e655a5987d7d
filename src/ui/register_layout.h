// The register window's controls and where they go. The receipt area keeps
// its designed places in twips (px = twips x dpi / 1440, times the window's
// scale); the keys, keypad,
// entry box and message line have none and fill the rest of the window:
// message line and entry box above the receipt area, keypad with the Total
// and Payment keys below it, the soft keys (6 rows of 4) on the right under
// the page keys, the operation keys beside them and the register keys below.
#pragma once
#include <QRect>
#include <QSize>
#include <QString>
#include <Qt>
#include <map>
#include <vector>

#include "screen/screen_model.h"

namespace tarvo::ui {

struct ControlDef {
    ControlId id;
    ControlKind kind = ControlKind::Label;
    bool inReceiptArea = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// Every control of the register window (the control table's, but the form
// itself), bottom of the stack first.
const std::vector<ControlDef>& RegisterControls();
const ControlDef* FindControl(const ControlId& id);

// "mDept_5" for an element of an array, "mNumeric12" for a keypad key,
// "txtDEA" for a single control: the control table's ControlText.
QString ControlObjectName(const ControlId& id);

// Twips to pixels at `dpi` dots per inch, rounded.
int TwipsToPixels(int twips, double dpi);
// A rectangle given in twips, its edges rounded one by one so that cells
// placed side by side stay side by side.
QRect TwipsRect(int left, int top, int width, int height, double dpi);

// The receipt area's designed extent: its origin is at twips (0, 955), the
// top of the grid titles and of the first totals row.
constexpr int kReceiptTopTwips = 955;
constexpr int kReceiptWidthTwips = 6980;
constexpr int kReceiptHeightTwips = 5300 - kReceiptTopTwips;

// The window's designed size. A larger (or smaller) window scales the whole
// layout, receipt area and fonts included, by the smaller of its two ratios
// to it, so the documented proportions are kept.
constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;
constexpr double kSmallestScale = 0.5;
// The title strip of the window filling the screen: its height at the
// designed size (it grows with the window's height) and its font.
constexpr double kTitleStripDesignHeight = 24;
constexpr double kTitleStripPoints = 10;

struct RegisterLayout {
    double scale = 1;                     // of sizes and fonts against the design
    QRect receiptArea;                    // in the window
    std::map<ControlId, QRect> geometry;  // receipt controls: in the receipt area; others: in the window
};

// Where everything goes in a window of `size` at `dpi`.
RegisterLayout LayoutRegister(QSize size, double dpi);

}  // namespace tarvo::ui
