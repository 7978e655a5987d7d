#include "ui/cash_count_form.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "config/settings.h"
#include "ui/fonts.h"
#include "ui/key_colours.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;

// A colour setting: a decimal value with red in the low byte.
QColor SettingColour(const std::string& text, const QColor& otherwise) {
    bool ok = false;
    const qlonglong v = QString::fromStdString(text).trimmed().toLongLong(&ok);
    if (!ok || v < 0 || v > 0xFFFFFF) return otherwise;
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

void Paint(QWidget* w, const QColor& back) {
    const KeyColours c = KeyColoursFor(back, QColor(Qt::black), true);
    QPalette p = w->palette();
    p.setColor(QPalette::Button, c.back);
    p.setColor(QPalette::Base, c.back);
    p.setColor(QPalette::ButtonText, c.caption);
    p.setColor(QPalette::Text, c.caption);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFont Designed(const char* family, int points, bool bold = false) {
    return DesignedFont(QLatin1String(family), points, bold);
}

QFrame* Frame(QWidget* parent, const QRect& r) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::Box);
    f->setGeometry(r);
    return f;
}

}  // namespace

template <class W>
W* CashCountWindow::Add(W* w, const QFont& designed) {
    designed_.insert(w, designed);
    w->setFont(designed);
    texts_.push_back(w);
    if (auto* key = qobject_cast<QPushButton*>(w)) key->setFocusPolicy(Qt::NoFocus);
    w->installEventFilter(this);
    return w;
}

void CashCountWindow::Fit(QWidget* w) { FitScaled(w, designed_.value(w, w->font()), scale_); }

// The form keeps its designed proportions: every control at its designed
// place times the scale of the window against the design, the whole centred.
void CashCountWindow::Relayout() {
    const DesignScale design(size(), kDesignWidth, kDesignHeight);
    scale_ = design.scale;
    for (auto it = design_.cbegin(); it != design_.cend(); ++it) {
        QRect placed = design.Place(it.value());
        if (it.key()->parentWidget() == this) placed.translate(design.offset);
        it.key()->setGeometry(placed);
    }
    for (QWidget* w : texts_) Fit(w);
}

void CashCountWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

CashCountWindow::CashCountWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("FrmSummary");
    setWindowTitle("Cash Count");
    resize(kDesignWidth, kDesignHeight);
    installEventFilter(this);

    const QColor keypad = SettingColour(gSettings.gColour430, QColor(Qt::lightGray));
    const QColor payment = SettingColour(gSettings.gPaymentKeyColour, QColor(Qt::lightGray));
    const QFont plain = Designed("Arial", 14);
    const QFont boxFont = Designed("Arial", 16, true);
    BuildCashRows(payment, plain, boxFont);
    BuildNumberPad(keypad);
    BuildCommands(keypad);
    BuildSummary(plain, boxFont);

    // Every control's designed place, for the layout at any window size.
    for (QWidget* w : findChildren<QWidget*>())
        if (w->parentWidget() == this || qobject_cast<QFrame*>(w->parentWidget())) design_.insert(w, w->geometry());
    Relayout();
}

// Bills and coins: a key and its quantity box per row.
void CashCountWindow::BuildCashRows(const QColor& payment, const QFont& plain, const QFont& boxFont) {
    const std::array<QRect, 2> frames = {QRect(10, 10, 330, 400), QRect(350, 10, 330, 400)};
    const std::array<const char*, 2> titles = {CashCountCaptions::kBills, CashCountCaptions::kCoins};
    for (int f = 0; f < 2; ++f) {
        QFrame* frame = Frame(this, frames[static_cast<std::size_t>(f)]);
        auto* title = Add(new QLabel(FromCore(titles[static_cast<std::size_t>(f)]), frame), plain);
        title->setGeometry(10, 4, 200, 30);
        for (int row = 0; row < kCashBills; ++row) {
            const int i = f * kCashBills + row;
            const auto at = static_cast<std::size_t>(i);
            auto* key =
                Add(new QPushButton(FromCore(CashCountCaptions::kDenominations[at]), frame), Designed("Arial", 18));
            key->setGeometry(15, 40 + row * 58, 140, 52);
            Paint(key, payment);
            connect(key, &QPushButton::clicked, this, [this, i] {
                if (form_) form_->Denomination_Click(i);
            });
            cash_[at] = key;
            auto* box = Add(new QLineEdit(frame), boxFont);
            box->setGeometry(170, 40 + row * 58, 140, 52);
            box->setMaxLength(kCashQuantityDigits);
            box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
                if (form_) form_->Quantity_Typed(i, ToCore(text));
            });
            quantity_[at] = box;
        }
    }
}

// The number pad: 7 8 9 / 4 5 6 / 1 2 3 / 0 00 .
void CashCountWindow::BuildNumberPad(const QColor& keypad) {
    const std::array<int, kCashNumberPadKeys> order = {7, 8, 9, 4, 5, 6, 1, 2, 3, 0, 10, 11};
    for (int n = 0; n < kCashNumberPadKeys; ++n) {
        const int k = order[static_cast<std::size_t>(n)];
        auto* key = Add(new QPushButton(FromCore(CashCountCaptions::kNumberPad[static_cast<std::size_t>(k)]), this),
                        Designed("impact", 28));
        key->setGeometry(695 + (n % 3) * 106, 10 + (n / 3) * 86, 100, 80);
        Paint(key, keypad);
        connect(key, &QPushButton::clicked, this, [this, k] {
            if (form_) form_->NumberPad_Click(k);
        });
        pad_[static_cast<std::size_t>(k)] = key;
    }
}

// PRINT, CANCEL, ERASE and the blank key.
void CashCountWindow::BuildCommands(const QColor& keypad) {
    const QFont command = Designed("impact", 16);
    print_ = Add(new QPushButton(FromCore(CashCountCaptions::kPrint), this), command);
    abort_ = Add(new QPushButton(FromCore(CashCountCaptions::kCancel), this), command);
    erase_ = Add(new QPushButton(FromCore(CashCountCaptions::kErase), this), command);
    auto* blank = new QPushButton(this);
    blank->setFocusPolicy(Qt::NoFocus);
    const std::array<QPushButton*, 4> commands = {erase_, blank, print_, abort_};
    for (std::size_t n = 0; n < commands.size(); ++n) {
        commands[n]->setGeometry(695 + static_cast<int>(n % 2) * 159, 360 + static_cast<int>(n / 2) * 90, 153, 84);
        Paint(commands[n], keypad);
    }
    connect(print_, &QPushButton::clicked, this, [this] {
        if (form_) form_->Print_Click();
    });
    connect(abort_, &QPushButton::clicked, this, [this] {
        if (form_) form_->Cancel_Click();
    });
    connect(erase_, &QPushButton::clicked, this, [this] {
        if (form_) form_->Erase_Click();
    });
}

// The summary: a label and a box per row, then the total.
void CashCountWindow::BuildSummary(const QFont& plain, const QFont& boxFont) {
    QFrame* frame = Frame(this, QRect(10, 420, 670, 338));
    auto* title = Add(new QLabel(FromCore(CashCountCaptions::kSummary), frame), plain);
    title->setGeometry(10, 4, 200, 30);
    for (int i = 0; i < kCashSummaryBoxes; ++i) {
        const auto at = static_cast<std::size_t>(i);
        auto* label = Add(new QLabel(FromCore(CashCountCaptions::kSummaryLabels[at]), frame), plain);
        label->setGeometry(15, 38 + i * 42, 300, 38);
        labels_[at] = label;
        auto* box = Add(new QLineEdit(frame), boxFont);
        box->setGeometry(330, 38 + i * 42, 320, 38);
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (form_) form_->Summary_Typed(i, ToCore(text));
        });
        summary_[at] = box;
    }
    auto* label9 = Add(new QLabel(FromCore(CashCountCaptions::kTotal), frame), Designed("Arial", 14, true));
    label9->setGeometry(15, 292, 300, 38);
    total_ = Add(new QLineEdit(frame), boxFont);
    total_->setGeometry(330, 292, 320, 38);
    total_->setReadOnly(true);
    total_->setFocusPolicy(Qt::NoFocus);
    total_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Paint(total_, QColor(255, 0, 0));  // colour 255
}

int CashCountWindow::IndexOf(const QLineEdit* box, bool& summary) const {
    for (int i = 0; i < kCashDenominations; ++i)
        if (quantity_[static_cast<std::size_t>(i)] == box) {
            summary = false;
            return i;
        }
    for (int i = 0; i < kCashSummaryBoxes; ++i)
        if (summary_[static_cast<std::size_t>(i)] == box) {
            summary = true;
            return i;
        }
    return -1;
}

bool CashCountWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!form_ || !form_->IsLoaded()) return QWidget::eventFilter(watched, event);
    auto* box = qobject_cast<QLineEdit*>(watched);
    bool summary = false;
    const int index = box ? IndexOf(box, summary) : -1;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The form sees Enter and Escape before its boxes.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            form_->Enter_Key();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            form_->Escape_Key();
            return true;
        }
        if (index >= 0 && !summary) {
            const QString text = key->text();
            if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
                // A digit typed into a box goes into that box, however it got the focus.
                if (!form_->EntryToCash() || form_->CashIndex() != index) form_->Quantity_Click(index);
                form_->NumberPad_Click(text[0].unicode() - '0');
                return true;
            }
            if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                return false;
            return true;  // every other key is discarded
        }
        break;
    }
    case QEvent::MouseButtonPress:
        if (index >= 0) {
            if (summary)
                form_->Summary_Click(index);
            else
                form_->Quantity_Click(index);
        }
        break;
    case QEvent::FocusIn:
        if (index >= 0) form_->Box_Focus(index, summary);
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void CashCountWindow::CashCount_Show(CashCountForm& form) {
    form_ = &form;
    if (fillsScreen_) {
        // In the register's place: the whole screen, as the register has it.
        if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
            setGeometry(screen->geometry());
        showFullScreen();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void CashCountWindow::CashCount_Update(const CashCountForm& form) {
    auto draw = [this](QLineEdit* box, const std::string& text) {
        const QString shown = FromCore(text);
        if (box->text() != shown) box->setText(shown);
        box->setCursorPosition(static_cast<int>(box->text().size()));
        Fit(box);
    };
    for (int i = 0; i < kCashDenominations; ++i) draw(quantity_[static_cast<std::size_t>(i)], form.QuantityText(i));
    for (int i = 0; i < kCashSummaryBoxes; ++i) draw(summary_[static_cast<std::size_t>(i)], form.SummaryText(i));
    draw(total_, form.TotalText());
    QLineEdit* focus = form.LastBoxIsSummary() ? summary_[static_cast<std::size_t>(form.LastBoxIndex())]
                                               : quantity_[static_cast<std::size_t>(form.LastBoxIndex())];
    if (isVisible() && !focus->hasFocus()) focus->setFocus();
}

void CashCountWindow::CashCount_Hide() { hide(); }

}  // namespace tarvo::ui
