#include "ui/register_layout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"

namespace tarvo::ui {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;

Qt::Alignment ToQt(ControlAlign a) {
    switch (a) {
    case ControlAlign::Left: return kLeft;
    case ControlAlign::Centre: return kCentre;
    case ControlAlign::Right: return kRight;
    }
    return kLeft;
}

// The window's widgets from the control table: every element of every row
// but the form itself, in the table's order.
std::vector<ControlDef> BuildControls() {
    std::vector<ControlDef> v;
    ForEachControl([&](const ControlId& id) {
        const ControlRow& row = *FindControlRow(id.name);
        if (row.kind == ControlKind::Form) return;
        v.push_back({id, row.kind, row.area == ControlArea::Receipt, ToQt(row.align)});
    });
    return v;
}

// Places of the receipt area's controls that the grid and totals tables do
// not hold, in twips of the window's design.
struct PanelPlace {
    Control name;
    int index;
    TwipRect rect;  // left, width, top, height
};
constexpr int kPanelTop = kReceiptTopTwips;
constexpr int kPanelHeight = 4560 - kPanelTop;  // down to the scroll keys and the total box
constexpr PanelPlace kPanels[] = {
    {Control::Line_Total, 0, {0, 6935, 4530, 15}},
    {Control::Line_Total, 1, {0, 6935, 5205, 15}},
    {Control::Lbl_Phys_Code, 0, {120, 6740, 1260, 600}},
    {Control::Lbl_Phys_Desc, 0, {120, 6740, 1920, 1200}},
    {Control::Lbl_Phys_Quantity, 0, {120, 6740, 3180, 600}},
    {Control::Greeting, 0, {0, kReceiptWidthTwips, kPanelTop, kPanelHeight}},
    // The full text panel (a vendor's or a product's figures, a client's
    // information) and a printout are shown alone: they take the whole area.
    {Control::Txt_All, 0, {0, kReceiptWidthTwips, kPanelTop, kReceiptHeightTwips}},
    {Control::Txt_Printer, 0, {0, kReceiptWidthTwips, kPanelTop, kReceiptHeightTwips}},
    {Control::Txt_Message, 0, {0, kReceiptWidthTwips, kPanelTop, kPanelHeight}},
};

// `count` cells side by side (or one above the other) in `r`, `gap` apart,
// their edges spread so the last one ends on r's edge.
QRect Slice(const QRect& r, int count, int i, int gap, bool vertical) {
    const int total = (vertical ? r.height() : r.width()) + gap;
    const int a = total * i / count, b = total * (i + 1) / count - gap;
    return vertical ? QRect(r.left(), r.top() + a, r.width(), b - a) : QRect(r.left() + a, r.top(), b - a, r.height());
}

QRect GridCell(const QRect& r, int rows, int cols, int row, int col, int gap) {
    QRect line = Slice(r, rows, row, gap, true);
    return Slice(line, cols, col, gap, false);
}

}  // namespace

const std::vector<ControlDef>& RegisterControls() {
    static const std::vector<ControlDef> controls = BuildControls();
    return controls;
}

const ControlDef* FindControl(const ControlId& id) {
    static const std::map<ControlId, const ControlDef*> index = [] {
        std::map<ControlId, const ControlDef*> m;
        for (const ControlDef& s : RegisterControls()) m[s.id] = &s;
        return m;
    }();
    auto it = index.find(id);
    return it == index.end() ? nullptr : it->second;
}

QString ControlObjectName(const ControlId& id) { return QString::fromStdString(ControlText(id)); }

int TwipsToPixels(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

QRect TwipsRect(int left, int top, int width, int height, double dpi) {
    const int l = TwipsToPixels(left, dpi), t = TwipsToPixels(top, dpi);
    const int r = TwipsToPixels(left + width, dpi), b = TwipsToPixels(top + height, dpi);
    return QRect(l, t, std::max(1, r - l), std::max(1, b - t));
}

RegisterLayout LayoutRegister(QSize size, double dpi) {
    RegisterLayout L;
    const int W = size.width(), H = size.height();
    L.scale = std::max(kSmallestScale,
                       std::min(static_cast<double>(W) / kDesignWidth, static_cast<double>(H) / kDesignHeight));
    const double twipDpi = dpi * L.scale;
    const double scale = twipDpi / 96.0;
    auto S = [&](int px) { return static_cast<int>(std::lround(px * scale)); };
    auto put = [&](Control name, int index, const QRect& r) { L.geometry[ControlId{name, index}] = r; };
    auto placeTwips = [&](Control name, int index, const TwipRect& t) {
        put(name, index, TwipsRect(t.left, t.top - kReceiptTopTwips, t.width, t.height, twipDpi));
    };

    // ---- receipt area (designed places) ----
    for (const PlacedControl& p : ReceiptGridLayout()) placeTwips(p.name, p.index, p.rect);
    for (const PlacedControl& p : TotalsPanelLayout()) placeTwips(p.name, p.index, p.rect);
    for (const PanelPlace& p : kPanels) placeTwips(p.name, p.index, p.rect);
    const QSize receipt(TwipsToPixels(kReceiptWidthTwips, twipDpi), TwipsToPixels(kReceiptHeightTwips, twipDpi));

    // ---- the window ----
    const int m = S(6), g = S(4);
    const int bottom = H - m;  // the keys end here
    const int leftW = std::max(receipt.width(), S(440));
    // The scanner's box takes no room (the scanner types into the entry box):
    // a point in the corner, hidden by the window.
    put(Control::BarCode, 0, QRect(0, 0, 1, 1));

    // Left column: message line, entry box and mode box, receipt area, keypad.
    int y = m;
    const int lineH = S(32), entryH = S(44), modeW = S(180);
    put(Control::txtCIA, 0, QRect(m, y, leftW, lineH));
    y += lineH + g;
    put(Control::txtDEA, 0, QRect(m, y, leftW - modeW - g, entryH));
    put(Control::Txt_Mode, 0, QRect(m + leftW - modeW, y, modeW, entryH));
    y += entryH + g;
    L.receiptArea = QRect(m, y, receipt.width(), receipt.height());
    y += receipt.height() + 2 * g;

    // Keypad 4 x 3: 7 8 9 / 4 5 6 / 1 2 3 / 0 00 . ; Total and Payment beside it.
    const QRect keys(m, y, leftW, std::max(bottom - y, S(120)));
    const int keypadW = leftW * 3 / 5;
    const QRect keypad(keys.left(), keys.top(), keypadW, keys.height());
    static constexpr int kKeypad[4][3] = {{10, 11, 12}, {7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            put(Control::mNumeric, kKeypad[row][col], GridCell(keypad, 4, 3, row, col, g));
    const QRect big(keys.left() + keypadW + g, keys.top(), keys.width() - keypadW - g, keys.height());
    put(Control::mTotalRegister, 0, Slice(big, 2, 0, g, true));
    put(Control::BPayment, 0, Slice(big, 2, 1, g, true));

    // Right side: page keys, soft keys with the operation keys, register keys.
    const int x0 = m + leftW + 2 * g;
    const int rightW = std::max(W - x0 - m, S(300));
    const int pageH = S(48), regH = S(56);
    int ry = m;
    for (int i = 1; i <= 6; ++i) put(Control::BSys, i, Slice(QRect(x0, ry, rightW, pageH), 6, i - 1, g, false));
    ry += pageH + g;
    for (int i = 1; i <= 8; ++i) put(Control::BDep, i, Slice(QRect(x0, ry, rightW, pageH), 8, i - 1, g, false));
    ry += pageH + 2 * g;
    const QRect main(x0, ry, rightW, std::max(bottom - regH - 2 * g - ry, S(240)));
    const int opW = rightW / 5;
    const QRect soft(main.left(), main.top(), main.width() - opW - 2 * g, main.height());
    const QRect ops(main.right() + 1 - opW, main.top(), opW, main.height());
    for (int k = 1; k <= 24; ++k) put(Control::mDept, k, GridCell(soft, 6, 4, (k - 1) / 4, (k - 1) % 4, g));
    for (int i = 1; i <= 8; ++i) put(Control::BOp, i, Slice(ops, 8, i - 1, g, true));
    const QRect reg(x0, main.bottom() + 1 + 2 * g, rightW, regH);
    for (int i = 1; i <= 4; ++i) put(Control::BReg, i, Slice(reg, 4, i - 1, g, false));
    return L;
}

}  // namespace tarvo::ui
