#include "ui/entry_window.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPalette>
#include <algorithm>
#include <optional>

#include "ui/fonts.h"
#include "ui/key_translation.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"
#include "ui/window_controls.h"

namespace tarvo::ui {
namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kDesignWidth = kEntryFormWidth / kTwipsPerPixel;
constexpr double kDesignHeight = kEntryFormHeight / kTwipsPerPixel;

// The core's lines (carriage return and line feed, or either alone) as Qt's.
QString Lines(const std::string& cp1252) {
    QString s = FromCore(cp1252);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

// A colour number: blue in the high byte, red in the low.
QColor Colour(std::int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

void TextColour(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette p = w->palette();
    if (p.color(role) == c) return;
    p.setColor(role, c);
    w->setPalette(p);
}

QFont Designed(const char* family, double points, bool bold) {
    QFont f(InstalledFamily(QLatin1String(family)));
    f.setPointSizeF(std::max(points, kSmallestFitPoints));
    f.setBold(bold);
    return f;
}

}  // namespace

EntryWindow::EntryWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("FrmNew");
    setWindowTitle("Entry");
    resize(static_cast<int>(kDesignWidth * 1.28), static_cast<int>(kDesignHeight * 1.2));
    installEventFilter(this);
    static const char* kNames[] = {"", "Button7", "Button6", "Button8", "Button9"};
    for (int k = 1; k <= kEntryButtons; ++k) {
        auto* b = Watch(new QPushButton(this), kNames[k], 0);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, k] {
            if (form_ && form_->IsLoaded()) form_->Button_Click(k);
        });
        buttons_[static_cast<std::size_t>(k)] = b;
    }
    message_ = Watch(new QLabel(this), "Txt_EntryMessage", 0);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    TextColour(message_, QPalette::WindowText, QColor(Qt::red));
    message_->hide();
}

template <class W>
W* EntryWindow::Watch(W* w, const char* name, int index) {
    const QString n = index > 0 ? QString("%1_%2").arg(name).arg(index) : QString(name);
    w->setObjectName(n);
    w->setProperty("controlName", n);
    w->installEventFilter(this);
    return w;
}

std::vector<QWidget*> EntryWindow::TextControls() const {
    std::vector<QWidget*> out;
    for (int i = 1; i <= Rows(); ++i) {
        out.push_back(Col1(i));
        out.push_back(Col2(i));
        out.push_back(Col3(i));
    }
    for (int k = 1; k <= kEntryButtons; ++k) out.push_back(Button(k));
    out.push_back(message_);
    return out;
}

// ---- building and laying out ------------------------------------------------------------

void EntryWindow::Build(const EntryForm& form) {
    for (std::size_t i = 1; i < col2_.size(); ++i) {
        for (QWidget* w :
             {static_cast<QWidget*>(col1_[i]), static_cast<QWidget*>(col2_[i]), static_cast<QWidget*>(col3_[i])}) {
            designed_.remove(w);
            w->removeEventFilter(this);
            w->hide();
            w->deleteLater();
        }
    }
    col1_.assign(1, nullptr);
    col2_.assign(1, nullptr);
    col3_.assign(1, nullptr);
    fontSize_ = form.State().gListFontSize;
    for (int i = 1; i <= form.Rows(); ++i) {
        auto* caption = Watch(new QLabel(this), "Col1", i);
        caption->setWordWrap(true);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        auto* box = Watch(new QLineEdit(this), "Col2", i);
        box->setFrame(true);
        box->setMaxLength(std::max(form.Row(i).width, 1));
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (form_ && form_->IsLoaded()) form_->Row_Changed(i, ToCore(text));
        });
        auto* help = Watch(new QLabel(this), "Col3", i);
        help->setWordWrap(true);
        help->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        col1_.push_back(caption);
        col2_.push_back(box);
        col3_.push_back(help);
        caption->show();
        box->show();
        help->show();
    }
    // Tab order: the entry boxes, then Button7, Button6, Button8, Button9.
    QWidget* previous = nullptr;
    for (int i = 1; i <= form.Rows(); ++i) {
        if (previous) setTabOrder(previous, Col2(i));
        previous = Col2(i);
    }
    for (int k = 1; k <= kEntryButtons; ++k) {
        if (previous) setTabOrder(previous, Button(k));
        previous = Button(k);
    }
}

QRect EntryWindow::Pixels(const FormRect& r) const {
    const double k = scale_ / kTwipsPerPixel;
    const double left = (width() - kDesignWidth * scale_) / 2;
    const double top = (height() - kDesignHeight * scale_) / 2;
    const int x = static_cast<int>(left + r.left * k);
    const int y = static_cast<int>(top + r.top * k);
    return QRect(x, y, static_cast<int>(left + (r.left + r.width) * k) - x,
                 static_cast<int>(top + (r.top + r.height) * k) - y);
}

void EntryWindow::Relayout() {
    scale_ = std::max(0.1, std::min(width() / kDesignWidth, height() / kDesignHeight));
    designed_.clear();
    if (form_) {
        const EntryFormLayout layout = form_->Entry_Layout();
        for (int i = 1; i <= Rows() && i <= form_->Rows(); ++i) {
            const EntryRowLayout& l = layout.rows[static_cast<std::size_t>(i)];
            Col1(i)->setGeometry(Pixels(l.caption));
            Col2(i)->setGeometry(Pixels(l.entry).adjusted(2, 2, -2, -2));
            Col3(i)->setGeometry(Pixels(l.help).adjusted(4, 0, 0, 0));
            designed_.insert(Col1(i), Designed("Cambria", fontSize_ * scale_, true));
            designed_.insert(Col2(i), Designed("Cambria", fontSize_ * scale_, true));
            designed_.insert(Col3(i), Designed("Cambria", fontSize_ * scale_, false));
        }
        for (int k = 1; k <= kEntryButtons; ++k) {
            Button(k)->setGeometry(Pixels(layout.buttons[static_cast<std::size_t>(k)]));
            designed_.insert(Button(k), Designed("impact", 13 * scale_, false));
        }
        message_->setGeometry(Pixels(layout.message));
        designed_.insert(message_, Designed("Cambria", 12 * scale_, true));
    }
    for (QWidget* w : TextControls()) Fit(w);
}

void EntryWindow::Fit(QWidget* w) {
    if (!designed_.contains(w)) return;
    const std::optional<TextRoom> room = TextRoomOf(w);
    if (room) w->setFont(FittingFont(designed_.value(w), TextOf(w), *room));
}

void EntryWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

// ---- the form to the widgets ------------------------------------------------------------

void EntryWindow::Entry_Show(EntryForm& form) {
    form_ = &form;
    Build(form);
    SetCloseButton(this, false);
    show();
    Entry_Update(form);
    Relayout();
    raise();
    activateWindow();
}

void EntryWindow::Entry_Update(const EntryForm& form) {
    for (int i = 1; i <= Rows() && i <= form.Rows(); ++i) {
        const EntryRow& row = form.Row(i);
        const QColor colour = Colour(row.colour);
        const QString caption = Lines(row.caption), help = Lines(row.help), text = FromCore(row.text);
        if (Col1(i)->text() != caption) Col1(i)->setText(caption);
        if (Col3(i)->text() != help) Col3(i)->setText(help);
        if (Col2(i)->text() != text) Col2(i)->setText(text);
        TextColour(Col1(i), QPalette::WindowText, colour);
        TextColour(Col2(i), QPalette::Text, colour);
        TextColour(Col3(i), QPalette::WindowText, colour);
        Fit(Col1(i));
        Fit(Col2(i));
        Fit(Col3(i));
    }
    for (int k = 1; k <= kEntryButtons; ++k) {
        const QString caption = Lines(form.ButtonCaption(k));
        if (Button(k)->text() != caption) Button(k)->setText(caption);
        Button(k)->setVisible(form.ButtonVisible(k));
        Fit(Button(k));
    }
    const QString message = FromCore(form.Message());
    if (message_->text() != message) message_->setText(message);
    message_->setVisible(!message.isEmpty());
    Fit(message_);

    if (!isVisible() || !form.IsLoaded()) return;
    const int p = form.Position();
    QWidget* focus = p >= 1 && p <= Rows()                                 ? static_cast<QWidget*>(Col2(p))
                     : p > form.Rows() && p - form.Rows() <= kEntryButtons ? Button(p - form.Rows())
                                                                           : nullptr;
    if (focus && !focus->hasFocus()) focus->setFocus(Qt::OtherFocusReason);
}

void EntryWindow::Entry_Hide() { hide(); }

// ---- the cashier to the form ------------------------------------------------------------

int EntryWindow::RowOf(const QObject* w) const {
    for (int i = 1; i <= Rows(); ++i)
        if (w == Col1(i) || w == Col2(i) || w == Col3(i)) return i;
    return 0;
}

int EntryWindow::ButtonOf(const QObject* w) const {
    for (int k = 1; k <= kEntryButtons; ++k)
        if (w == Button(k)) return k;
    return 0;
}

bool EntryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!form_ || !form_->IsLoaded()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        // The form sees every key before its controls.
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = VirtualKeyCode(key->key(), key->modifiers());
        if (code != 0 && form_->Form_KeyDown(code, ShiftState(key->modifiers()))) return true;
        break;
    }
    case QEvent::MouseButtonPress:
        if (qobject_cast<QLabel*>(watched) && RowOf(watched) > 0) form_->Row_Click(RowOf(watched));
        break;
    case QEvent::FocusIn:
        if (qobject_cast<QLineEdit*>(watched) && RowOf(watched) > 0)
            form_->Row_Focus(RowOf(watched));
        else if (ButtonOf(watched) > 0)
            form_->Button_Focus(ButtonOf(watched));
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarvo::ui
