#include "ui/deposit_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

#include "config/settings.h"
#include "ui/fonts.h"
#include "ui/qt_text.h"
#include "ui/startup_window.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;
constexpr int kCaptionLeft = 120;
constexpr int kCaptionWidth = 330;
constexpr int kBoxLeft = 460;
constexpr int kBoxWidth = 400;
constexpr int kRowHeight = 44;

int RowTop(int row) { return 100 + row * 58; }

}  // namespace

template <class W>
W* DepositWindow::Add(W* w, const QFont& designed, bool text) {
    designed_.insert(w, designed);
    w->setFont(designed);
    if (text) texts_.push_back(w);
    w->installEventFilter(this);
    return w;
}

void DepositWindow::Fit(QWidget* w) { FitScaled(w, designed_.value(w, w->font()), scale_); }

void DepositWindow::Relayout() {
    const DesignScale design(size(), kDesignWidth, kDesignHeight);
    scale_ = design.scale;
    for (auto it = design_.cbegin(); it != design_.cend(); ++it)
        it.key()->setGeometry(design.Place(it.value()).translated(design.offset));
    for (auto it = designed_.cbegin(); it != designed_.cend(); ++it) Fit(it.key());
}

void DepositWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

DepositWindow::DepositWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("KQ_Frm");
    setWindowTitle("Deposit Entry");
    resize(kDesignWidth, kDesignHeight);

    const QFont plain = DesignedFont(QLatin1String("Tahoma"), 14);
    const QFont bold = DesignedFont(QLatin1String("Tahoma"), 14, true);

    title_ = Add(new QLabel(this), DesignedFont(QLatin1String("Tahoma"), 22, true));
    title_->setAlignment(Qt::AlignCenter);
    title_->setGeometry(0, 20, kDesignWidth, 50);

    // The rows: a caption and its box; the revenue list and the two check
    // boxes in a box's place.
    struct Row {
        DepositField field;
        DepositText caption;
        int row;
    };
    const Row rows[] = {{kDepositRecord, kDepositTextRecord, 0},   {kDepositNumber, kDepositTextNumber, 1},
                        {kDepositDate, kDepositTextDate, 2},       {kDepositAmount, kDepositTextAmount, 3},
                        {kDepositRevenue, kDepositTextRevenue, 4}, {kDepositLine, kDepositTextLine, 7}};
    for (const Row& r : rows) {
        auto* caption = Add(new QLabel(this), bold);
        caption->setGeometry(kCaptionLeft, RowTop(r.row), kCaptionWidth, kRowHeight);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        captions_[static_cast<std::size_t>(r.caption)] = caption;
        if (r.field == kDepositRevenue) continue;
        auto* box = Add(new QLineEdit(this), plain);
        box->setGeometry(kBoxLeft, RowTop(r.row), kBoxWidth, kRowHeight);
        box->setMaxLength(40);
        const DepositField field = r.field;
        connect(box, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            if (form_ && !updating_) form_->Text_Changed(field, ToCore(text));
        });
        boxes_[static_cast<std::size_t>(field)] = box;
    }
    boxes_[kDepositLine]->setReadOnly(true);
    boxes_[kDepositLine]->setFocusPolicy(Qt::NoFocus);

    auto* hint = Add(new QLabel(this), DesignedFont(QLatin1String("Tahoma"), 11));
    hint->setGeometry(kBoxLeft + kBoxWidth + 10, RowTop(2), 140, kRowHeight);
    captions_[kDepositTextDateHint] = hint;

    revenue_ = Add(new QComboBox(this), plain, false);
    revenue_->setGeometry(kBoxLeft, RowTop(4), kBoxWidth, kRowHeight);
    connect(revenue_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (form_ && !updating_) form_->Revenue_Chosen(index);
    });

    // The check boxes: the box, its caption a label beside it.
    const std::array<std::pair<QCheckBox**, DepositText>, 2> checks = {std::pair{&cash_, kDepositTextCash},
                                                                       std::pair{&print_, kDepositTextPrint}};
    for (std::size_t i = 0; i < checks.size(); ++i) {
        auto* box = Add(new QCheckBox(this), plain, false);
        box->setGeometry(kBoxLeft, RowTop(5 + static_cast<int>(i)), 40, kRowHeight);
        *checks[i].first = box;
        auto* caption = Add(new QLabel(this), bold);
        caption->setGeometry(kBoxLeft + 44, RowTop(5 + static_cast<int>(i)), kBoxWidth - 44, kRowHeight);
        captions_[static_cast<std::size_t>(checks[i].second)] = caption;
    }
    connect(cash_, &QCheckBox::toggled, this, [this](bool on) {
        if (form_ && !updating_) form_->Cash_Toggled(on);
    });
    connect(print_, &QCheckBox::toggled, this, [this](bool on) {
        if (form_ && !updating_) form_->Print_Toggled(on);
    });

    message_ = Add(new QLabel(this), bold);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignCenter);
    message_->setGeometry(60, RowTop(8) + 10, kDesignWidth - 120, 70);

    const QFont command = DesignedFont(QLatin1String("Tahoma"), 16, true);
    save_ = Add(new QPushButton(this), command);
    cancel_ = Add(new QPushButton(this), command);
    save_->setGeometry(kDesignWidth / 2 - 230, 680, 210, 70);
    cancel_->setGeometry(kDesignWidth / 2 + 20, 680, 210, 70);
    connect(save_, &QPushButton::clicked, this, [this] {
        if (form_) form_->Save_Click();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (form_) form_->Cancel_Click();
    });

    for (QWidget* w : findChildren<QWidget*>())
        if (w->parentWidget() == this) design_.insert(w, w->geometry());
    Captions(TextLanguage(gSettings));
    Relayout();
}

void DepositWindow::Captions(int language) {
    for (int t = 0; t < kDepositTextCount; ++t)
        if (QLabel* l = captions_[static_cast<std::size_t>(t)])
            l->setText(FromCore(Deposit_Text(static_cast<DepositText>(t), language)));
    cancel_->setText(FromCore(Deposit_Text(kDepositTextCancel, language)));
}

DepositField DepositWindow::FieldOf(const QObject* w) const {
    for (int f = 0; f < kDepositFieldCount; ++f)
        if (boxes_[static_cast<std::size_t>(f)] == w) return static_cast<DepositField>(f);
    if (w == revenue_) return kDepositRevenue;
    if (w == cash_) return kDepositCash;
    if (w == print_) return kDepositPrint;
    if (w == save_) return kDepositSave;
    if (w == cancel_) return kDepositCancel;
    return kDepositFieldCount;
}

QLineEdit* DepositWindow::Box(DepositField field) const {
    return field >= 0 && field < kDepositFieldCount ? boxes_[static_cast<std::size_t>(field)] : nullptr;
}

// The window sees Enter, Down and Up before its controls: the next field or
// the one before.
bool DepositWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!form_ || !form_->IsLoaded() || updating_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Down) {
            if (watched == save_ || watched == cancel_) {
                if (key->key() != Qt::Key_Down)
                    static_cast<QPushButton*>(watched)->click();
                else
                    form_->Enter_Key();
                return true;
            }
            form_->Enter_Key();
            return true;
        }
        if (key->key() == Qt::Key_Up) {
            form_->Up_Key();
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        const DepositField f = FieldOf(watched);
        if (f != kDepositFieldCount) form_->Focus_Moved(f);
    }
    return QWidget::eventFilter(watched, event);
}

void DepositWindow::closeEvent(QCloseEvent* event) {
    if (form_ && form_->IsLoaded()) {
        if (form_->Busy()) {
            event->ignore();
            return;
        }
        form_->Cancel_Click();
    }
    event->accept();
}

void DepositWindow::Deposit_Show(DepositForm& form) {
    form_ = &form;
    if (fillsScreen_) {
        if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
            setGeometry(screen->geometry());
        showFullScreen();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void DepositWindow::Deposit_Update(const DepositForm& form) {
    updating_ = true;
    Captions(form.Language());
    title_->setText(FromCore(form.Title()));
    setWindowTitle(FromCore(form.Title()));
    save_->setText(FromCore(form.SaveCaption()));
    for (int f = 0; f < kDepositFieldCount; ++f) {
        const auto field = static_cast<DepositField>(f);
        QLineEdit* box = boxes_[static_cast<std::size_t>(f)];
        if (!box) continue;
        const QString shown = FromCore(form.Text(field));
        if (box->text() != shown) box->setText(shown);
        box->setVisible(form.Visible(field));
        box->setEnabled(field == kDepositLine || form.Enabled(field));
    }
    captions_[kDepositTextRecord]->setVisible(form.Visible(kDepositRecord));
    captions_[kDepositTextDate]->setVisible(form.Visible(kDepositDate));
    captions_[kDepositTextDateHint]->setVisible(form.Visible(kDepositDate));
    captions_[kDepositTextAmount]->setVisible(form.Visible(kDepositAmount));
    captions_[kDepositTextRevenue]->setVisible(form.Visible(kDepositRevenue));
    captions_[kDepositTextLine]->setVisible(form.Visible(kDepositLine));
    captions_[kDepositTextCash]->setVisible(form.Visible(kDepositCash));
    captions_[kDepositTextPrint]->setVisible(form.Visible(kDepositPrint));

    QStringList items;
    for (const std::string& e : form.RevenueList()) items.append(FromCore(e));
    QStringList current;
    for (int i = 0; i < revenue_->count(); ++i) current.append(revenue_->itemText(i));
    if (current != items) {
        revenue_->clear();
        revenue_->addItems(items);
    }
    revenue_->setCurrentIndex(form.RevenueIndex());
    revenue_->setVisible(form.Visible(kDepositRevenue));
    revenue_->setEnabled(form.Enabled(kDepositRevenue));
    cash_->setChecked(form.Cash());
    cash_->setVisible(form.Visible(kDepositCash));
    cash_->setEnabled(form.Enabled(kDepositCash));
    print_->setChecked(form.PrintNumbers());
    print_->setVisible(form.Visible(kDepositPrint));
    print_->setEnabled(form.Enabled(kDepositPrint));
    save_->setEnabled(form.Enabled(kDepositSave));
    cancel_->setEnabled(form.Enabled(kDepositCancel));
    message_->setText(FromCore(form.Message()));
    for (QWidget* w : texts_) Fit(w);

    QWidget* focus = nullptr;
    switch (form.Focus()) {
    case kDepositRevenue: focus = revenue_; break;
    case kDepositCash: focus = cash_; break;
    case kDepositPrint: focus = print_; break;
    case kDepositSave: focus = save_; break;
    case kDepositCancel: focus = cancel_; break;
    default: focus = boxes_[static_cast<std::size_t>(form.Focus())]; break;
    }
    if (isVisible() && focus && focus->isVisible() && focus->isEnabled() && !focus->hasFocus()) focus->setFocus();
    updating_ = false;
    repaint();
}

void DepositWindow::Deposit_Box(const std::string& title, const std::string& text) {
    ShowMessageBox(this, text, title);
}

void DepositWindow::Deposit_Hide() { hide(); }

}  // namespace tarvo::ui
