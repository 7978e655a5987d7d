#include "ui/search_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPolygonF>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <optional>

#include "ui/key_translation.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"
#include "ui/window_controls.h"

namespace tarvo::ui {
namespace {

constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;
constexpr double kSmallestScale = 0.5;
constexpr double kTwipsPerPixel = 15;  // at 96 dots per inch
// The grid's area in the window, and the row of buttons under it. The list
// is laid out in twips for about 800 x 533 pixels; it is drawn larger, to
// fill its area, so that the narrowest columns still show their headings.
constexpr int kGridLeft = 12;
constexpr int kGridTop = 12;
constexpr int kGridAreaWidth = 1000;
constexpr int kGridAreaHeight = 652;
constexpr int kButtonTop = 676;
constexpr int kButtonHeight = 84;
const double kGridZoom = std::min(kGridAreaWidth / ((kSearchListLeft + kSearchListWidth) / kTwipsPerPixel),
                                  kGridAreaHeight / (kSearchListHeight / kTwipsPerPixel));
// Below the smallest size of the other texts, for a heading in a column
// narrower than the heading's word (the client list's 2 % price column).
constexpr double kSmallestCellPoints = 3;

QColor FromRgb(std::uint32_t v) {
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

// A serif face: Cambria where it is installed, else its metric twin or
// another serif.
QFont ListFont(double points, bool bold) {
    QFont f;
    f.setFamilies({"Cambria", "Caladea", "DejaVu Serif"});
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

int Px(int twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel * kGridZoom)); }

// One arrow up or down, two for a page.
QIcon ArrowIcon(bool down, bool page) {
    const int size = 48;
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const int count = page ? 2 : 1;
    const double h = page ? 16 : 22;
    double top = (size - count * h - (count - 1) * 4) / 2;
    for (int i = 0; i < count; ++i, top += h + 4) {
        QPolygonF tri;
        if (down)
            tri << QPointF(8, top) << QPointF(size - 8, top) << QPointF(size / 2.0, top + h);
        else
            tri << QPointF(size / 2.0, top) << QPointF(size - 8, top + h) << QPointF(8, top + h);
        p.drawPolygon(tri);
    }
    return QIcon(pix);
}

}  // namespace

SearchWindow::SearchWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("FrmSearch");
    setWindowTitle("Search");
    setFocusPolicy(Qt::StrongFocus);
    resize(kDesignWidth, kDesignHeight);

    // Page back, one back, one forward, page forward, top to bottom.
    ScrollButton(4, false, true)->setAccessibleName("Page Up");
    ScrollButton(2, false, false)->setAccessibleName("Up");
    ScrollButton(1, true, false)->setAccessibleName("Down");
    ScrollButton(3, true, true)->setAccessibleName("Page Down");
    const std::array<int, 4> order = {4, 2, 1, 3};
    for (std::size_t i = 0; i < order.size(); ++i)
        designedRect_.insert(buttons_[static_cast<std::size_t>(order[i])],
                             QRect(kGridLeft + static_cast<int>(i) * 128, kButtonTop, 120, kButtonHeight));

    for (int n : {8, 9}) {
        auto* b = new QPushButton(n == 8 ? "Select" : "Exit", this);
        b->setObjectName(QString("Button%1").arg(n));
        b->setFocusPolicy(Qt::NoFocus);
        designedRect_.insert(b, QRect(n == 8 ? 620 : 822, kButtonTop, 190, kButtonHeight));
        designedFont_.insert(b, ListFont(13, true));
        buttons_[static_cast<std::size_t>(n)] = b;
    }
    connect(buttons_[1], &QPushButton::clicked, this, [this] {
        if (form_) form_->Button1_Click();
    });
    connect(buttons_[2], &QPushButton::clicked, this, [this] {
        if (form_) form_->Button2_Click();
    });
    connect(buttons_[3], &QPushButton::clicked, this, [this] {
        if (form_) form_->Button3_Click();
    });
    connect(buttons_[4], &QPushButton::clicked, this, [this] {
        if (form_) form_->Button4_Click();
    });
    connect(buttons_[8], &QPushButton::clicked, this, [this] {
        if (form_) form_->Button8_click();
    });
    connect(buttons_[9], &QPushButton::clicked, this, [this] {
        if (form_) form_->Button9_Click();
    });
    Place();
}

QPushButton* SearchWindow::ScrollButton(int n, bool down, bool page) {
    auto* b = new QPushButton(this);
    b->setObjectName(QString("Button%1").arg(n));
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(ArrowIcon(down, page));
    buttons_[static_cast<std::size_t>(n)] = b;
    return b;
}

QLabel* SearchWindow::Cell(int row, int column) const {
    if (row < 1 || row > rows_ || column < 1 || column > kSearchColumns) return nullptr;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

QPushButton* SearchWindow::Button(int n) const {
    if (n < 1 || n > 9) return nullptr;
    return buttons_[static_cast<std::size_t>(n)];
}

std::vector<QWidget*> SearchWindow::TextControls() const {
    std::vector<QWidget*> out = {buttons_[8], buttons_[9]};
    for (int r = 1; r <= rows_; ++r)
        for (int k = 1; k <= kSearchColumns; ++k) out.push_back(Cell(r, k));
    return out;
}

void SearchWindow::Fit(QWidget* w) {
    const std::optional<TextRoom> room = TextRoomOf(w);
    if (!room) return;
    QFont designed = designedFont_.value(w, w->font());
    designed.setPointSizeF(designed.pointSizeF() * scale_);
    const QString text = TextOf(w);
    QFont fitting = FittingFont(designed, text, *room);
    if (qobject_cast<QLabel*>(w))
        for (double size = fitting.pointSizeF() - 0.5; size >= kSmallestCellPoints && !TextFits(fitting, text, *room);
             size -= 0.5)
            fitting.setPointSizeF(size);
    if (w->font() != fitting) w->setFont(fitting);
}

// Every control at its designed place and font, times the window's scale.
void SearchWindow::Place() {
    scale_ = std::max(kSmallestScale, std::min(double(width()) / kDesignWidth, double(height()) / kDesignHeight));
    // A wider screen than the design's shape: the form in its middle.
    const int margin = std::max(0, static_cast<int>((width() - kDesignWidth * scale_) / 2));
    for (auto it = designedRect_.cbegin(); it != designedRect_.cend(); ++it) {
        const QRect& d = it.value();
        const int left = margin + static_cast<int>(std::lround(d.left() * scale_));
        const int top = static_cast<int>(std::lround(d.top() * scale_));
        const int right = margin + static_cast<int>(std::lround((d.left() + d.width()) * scale_));
        const int bottom = static_cast<int>(std::lround((d.top() + d.height()) * scale_));
        it.key()->setGeometry(left, top, right - left, bottom - top);
    }
    const int icon = static_cast<int>(std::lround(48 * scale_));
    for (int n = 1; n <= 4; ++n) buttons_[static_cast<std::size_t>(n)]->setIconSize(QSize(icon, icon));
    for (QWidget* w : TextControls()) Fit(w);
}

void SearchWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Place();
}

// ---- the core's view ---------------------------------------------------------------------

void SearchWindow::Search_SetCloseButton(bool enable) { SetCloseButton(this, enable); }

void SearchWindow::Search_Layout(const SearchForm& form) {
    // The rows of the last opening go with it; the grid is built again.
    for (auto& row : cells_)
        for (QLabel* cell : row) {
            if (!cell) continue;
            designedRect_.remove(cell);
            designedFont_.remove(cell);
            delete cell;
        }
    rows_ = std::clamp(form.Rows(), 0, kSearchMaxRows);
    cells_.assign(static_cast<std::size_t>(rows_ + 1), {});
    for (int r = 1; r <= rows_; ++r) {
        const int top = form.RowTop(r);
        for (int k = 1; k <= kSearchColumns; ++k) {
            auto* cell = new QLabel(this);
            cell->setObjectName(QString("Col%1_%2").arg(k).arg(r));
            cell->setWordWrap(true);
            cell->setMargin(1);
            cell->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            cell->installEventFilter(this);
            const int left = form.ColumnLeft(k);
            const int x0 = Px(left), x1 = Px(left + form.ColumnWidth(k));
            // Rows a pitch apart with a one-pixel line between them (the
            // form's 10 twips), whatever the rounding.
            const int y0 = Px(top), y1 = std::max(y0 + 1, Px(top + form.RowPitch()) - 1);
            designedRect_.insert(cell, QRect(kGridLeft + x0, kGridTop + y0, x1 - x0, y1 - y0));
            designedFont_.insert(cell, ListFont(form.FontSize() * kGridZoom, r == 1));
            cell->setText(FromCore(form.Cell(r, k)));
            // A column without width (columns 7 and 8 of the vendor list) shows nothing.
            cell->setVisible(x1 > x0);
            cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] = cell;
        }
    }
    auto caption = [](const std::string& text) { return FromCore(text).replace("\r\n", "\n"); };
    if (!form.SelectCaption().empty()) buttons_[8]->setText(caption(form.SelectCaption()));
    if (!form.ExitCaption().empty()) buttons_[9]->setText(caption(form.ExitCaption()));
    Place();
}

void SearchWindow::Search_Show(SearchForm& form) {
    form_ = &form;
    show();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void SearchWindow::Search_Update(const SearchForm& form) {
    const QColor back = FromRgb(form.BackColour());
    for (int r = 1; r <= rows_; ++r) {
        const bool entryRow = r >= 2;
        const QColor text = FromRgb(form.RowTextColour(r));
        for (int k = 1; k <= kSearchColumns; ++k) {
            QLabel* cell = Cell(r, k);
            const QString shown = FromCore(form.Cell(r, k));
            if (cell->text() != shown) cell->setText(shown);
            if (entryRow) {
                QPalette p = cell->palette();
                p.setColor(QPalette::Window, back);
                p.setColor(QPalette::WindowText, text);
                cell->setPalette(p);
                cell->setAutoFillBackground(true);
            }
            // The selected row's first cell has the focus, as the form puts it.
            cell->setFrameShape(entryRow && r == form.Selected() && k == 1 ? QFrame::Box : QFrame::NoFrame);
            Fit(cell);
        }
    }
}

void SearchWindow::Search_Hide() { hide(); }

// ---- the cashier's keys and clicks ----------------------------------------------------

void SearchWindow::keyPressEvent(QKeyEvent* event) {
    if (!form_ || !form_->IsLoaded()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int code = VirtualKeyCode(event->key(), event->modifiers());
    if (code != 0) form_->KeyDown(code, ShiftState(event->modifiers()));
    event->accept();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && form_ && form_->IsLoaded()) {
        for (int r = 1; r <= rows_; ++r)
            for (int k = 1; k <= kSearchColumns; ++k)
                if (Cell(r, k) == watched) {
                    form_->Cell_Focus(r);
                    return true;
                }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarvo::ui
