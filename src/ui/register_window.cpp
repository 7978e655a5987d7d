#include "ui/register_window.h"
#include "screen/controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "register/register_form.h"
#include "register/screen_actions.h"
#include "screen/entry_box.h"
#include "startup/settings_load.h"
#include "ui/fonts.h"
#include "ui/key_colours.h"
#include "ui/key_translation.h"
#include "ui/printout_panel.h"
#include "ui/qt_text.h"
#include "ui/startup_window.h"
#include "ui/text_fit.h"

namespace tarvo::ui {

namespace {

// A caption's line breaks (CR LF, a lone CR or a lone LF) as Qt's.
QString LineBreaks(QString text) {
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

// A windows colour: an RGB number (red in the low byte), or a system colour
// (high bit set, the system colour's number in the low byte).
QColor WindowsColour(std::uint32_t v) {
    if (v & 0x80000000u) {
        const QPalette p = QApplication::palette();
        switch (v & 0xFF) {
        case 5: return p.color(QPalette::Base);  // window
        case 7:                                  // menu text
        case 8: return p.color(QPalette::Text);  // window text
        case 13: return p.color(QPalette::Highlight);
        case 14: return p.color(QPalette::HighlightedText);
        case 15: return p.color(QPalette::Button);                    // button face
        case 16: return p.color(QPalette::Mid);                       // button shadow
        case 17: return p.color(QPalette::Disabled, QPalette::Text);  // grey text
        case 18: return p.color(QPalette::ButtonText);
        case 20: return p.color(QPalette::Light);  // button highlight
        case 23: return p.color(QPalette::ToolTipText);
        case 24: return p.color(QPalette::ToolTipBase);
        default: return p.color(QPalette::Window);
        }
    }
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// The control's font at the window's scale (1 at the designed 1024 x 768).
QFont ToQFont(const Font& f, double scale) {
    QFont q(InstalledFamily(FromCore(f.name)));
    if (f.size > 0) q.setPointSizeF(static_cast<double>(f.size) * scale);
    q.setBold(f.bold);
    q.setUnderline(f.underline);
    return q;
}

// Buttons show the caption, labels too; boxes show their text. A control
// the register writes the other way shows that instead.
const std::string& ShownText(ControlKind kind, const ControlState& s) {
    const bool byCaption = kind == ControlKind::Button || kind == ControlKind::Label;
    const std::string& first = byCaption ? s.caption : s.text;
    const std::string& second = byCaption ? s.text : s.caption;
    return first.empty() ? second : first;
}

// Boxes that show and never take typing.
bool DisplayOnly(const ControlDef& def) {
    if (def.kind == ControlKind::Cell || def.kind == ControlKind::MultiLineEdit) return true;
    const Control n = def.id.name;
    return n == Control::txtCIA || n == Control::Txt_Mode || n == Control::Txt_Message;
}

// A key button: the caption wraps between words and breaks at its line
// breaks, centred, as a touch-screen key's caption does, in the colours of
// KeyColoursFor (readable on its face, a disabled key washed out).
class KeyButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    void SetColours(const QColor& back, const QColor& text) {
        back_ = back;
        text_ = text;
        update();
    }
    KeyColours Colours() const { return KeyColoursFor(back_, text_, isEnabled()); }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const QString caption = ShownCaption(opt.text);
        opt.text.clear();
        const KeyColours colours = Colours();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            opt.palette.setColor(group, QPalette::Button, colours.back);
            opt.palette.setColor(group, QPalette::ButtonText, colours.caption);
        }
        p.drawControl(QStyle::CE_PushButton, opt);
        QRect r = KeyCaptionRect(this);
        if (isDown())
            r.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                        style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this));
        int flags = Qt::AlignCenter | Qt::TextWordWrap;
        flags |= style()->styleHint(QStyle::SH_UnderlineShortcut, &opt, this) ? Qt::TextShowMnemonic
                                                                              : Qt::TextHideMnemonic;
        p.setPen(colours.caption);
        p.setFont(font());
        p.drawText(r, flags, caption);
    }
    void changeEvent(QEvent* e) override {
        if (e->type() == QEvent::EnabledChange) update();
        QPushButton::changeEvent(e);
    }

private:
    QColor back_ = QColor(240, 240, 240);
    QColor text_ = QColor(0, 0, 0);
};

// The application's style with another password character.
class MaskStyle : public QProxyStyle {
public:
    explicit MaskStyle(QChar mask) : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), mask_(mask) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return mask_.unicode();
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }

private:
    QChar mask_;
};

void SetColours(QWidget* w, ControlKind kind, const ControlState& s) {
    QPalette pal = w->palette();
    QPalette::ColorRole back = QPalette::Window, fore = QPalette::WindowText;
    switch (kind) {
    case ControlKind::Button:
        back = QPalette::Button;
        fore = QPalette::ButtonText;
        if (auto* key = dynamic_cast<KeyButton*>(w))
            key->SetColours(WindowsColour(s.backColour), WindowsColour(s.foreColour));
        break;
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
    case ControlKind::Cell:
        back = QPalette::Base;
        fore = QPalette::Text;
        break;
    case ControlKind::Form:
    case ControlKind::Label: break;
    case ControlKind::Line:
        // A line is drawn in its fore colour.
        pal.setColor(QPalette::Window, WindowsColour(s.foreColour));
        w->setPalette(pal);
        return;
    }
    pal.setColor(back, WindowsColour(s.backColour));
    // Disabled controls keep the style's greyed text.
    pal.setColor(QPalette::Active, fore, WindowsColour(s.foreColour));
    pal.setColor(QPalette::Inactive, fore, WindowsColour(s.foreColour));
    w->setPalette(pal);
}

// Asks the cashier; with TARVO_NONINTERACTIVE set the answer is yes.
bool Confirm(QWidget* parent, std::string_view text) {
    if (qEnvironmentVariableIsSet("TARVO_NONINTERACTIVE")) {
        std::printf("QUESTION: %s -> yes\n", FromCore(text).toUtf8().constData());
        std::fflush(stdout);
        return true;
    }
    return QMessageBox::question(parent, "Tarvo", FromCore(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// The caption a key shows while the register has written none: the keypad's
// figures, and arrows on the grid's scroll keys.
QString DesignCaption(const ControlId& id) {
    if (id.name == Control::mNumeric) return QString::fromStdString(KeypadText(id.index));
    if (id.name == Control::Rt_Up) return QString::fromUtf8("\u25B2");    // ▲
    if (id.name == Control::RT_Down) return QString::fromUtf8("\u25BC");  // ▼
    return QString();
}

}  // namespace

RegisterWindow::RegisterWindow(ScreenModel& screen, QWidget* parent)
    : QWidget(parent), screen_(screen), timers_(new QtTimers(this)) {
    InstallFontSubstitutes();
    setObjectName(ControlObjectName(kRegisterForm));
    setWindowTitle("Tarvo");
    titleStrip_ = new QLabel(this);
    titleStrip_->setObjectName("TitleStrip");
    titleStrip_->setProperty("controlName", QStringLiteral("TitleStrip"));  // the fit checks see it
    titleStrip_->setTextFormat(Qt::PlainText);
    titleStrip_->setAlignment(Qt::AlignCenter);
    titleStrip_->setAutoFillBackground(true);
    titleStrip_->hide();
    Build();
    resize(1024, 768);
    Relayout();

    // What the model holds already is shown at once.
    applying_ = true;
    for (auto& [id, entry] : entries_) Apply(entry, screen_.State(id));
    applying_ = false;
    ApplyTabOrder();
    if (!screen_.Title().empty()) setWindowTitle(FromCore(screen_.Title()));
    FitTitleStrip(scale_);
    const ControlId focus = screen_.Focus().name == Control::None ? kEntryBox : screen_.Focus();
    if (QWidget* w = Control(focus)) w->setFocus(Qt::OtherFocusReason);
    screen_.SetListener(this);
    // Key preview: every key of this window passes here first.
    qApp->installEventFilter(this);
}

RegisterWindow::~RegisterWindow() {
    qApp->removeEventFilter(this);
    screen_.SetListener(nullptr);
}

void RegisterWindow::Build() {
    receipt_ = new QWidget(this);
    receipt_->setObjectName("ReceiptArea");
    for (const ControlDef& def : RegisterControls()) {
        QWidget* w = MakeWidget(def, def.inReceiptArea ? receipt_ : this);
        w->setObjectName(ControlObjectName(def.id));
        w->setProperty("controlName", QString::fromUtf8(ControlName(def.id.name)));
        w->setProperty("controlIndex", def.id.index);
        entries_[def.id] = Entry{&def, w, ControlState{}, QFont(), true};
        ids_[w] = def.id;
    }
    // Between the grid's keys and boxes the area shows the grid's colour.
    receipt_->setAutoFillBackground(true);
}

QWidget* RegisterWindow::MakeWidget(const ControlDef& def, QWidget* parent) {
    const ControlId id = def.id;
    switch (def.kind) {
    case ControlKind::Button: {
        auto* b = new KeyButton(parent);
        b->setFocusPolicy(Qt::NoFocus);  // the focus stays in the entry box
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (input_.onClick) input_.onClick(id);
        });
        return b;
    }
    case ControlKind::Edit:
    case ControlKind::Cell: {
        auto* e = new QLineEdit(parent);
        e->setAlignment(def.alignment);
        if (DisplayOnly(def)) e->setReadOnly(true);
        if (id.name == Control::Tr_Title || id.name == Control::Tr_Amount) e->setFrame(false);
        e->setFocusPolicy(id == kEntryBox ? Qt::StrongFocus : Qt::ClickFocus);
        connect(e, &QLineEdit::textEdited, this, [this, id](const QString& t) { EditedByCashier(id, ToCore(t)); });
        connect(e, &QLineEdit::textChanged, this, [this, id] {
            if (Entry* entry = Find(id)) Fit(*entry);
        });
        return e;
    }
    case ControlKind::MultiLineEdit: {
        auto* e = id == kPrintout ? new PrintoutPanel(parent) : new QPlainTextEdit(parent);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
        connect(e, &QPlainTextEdit::textChanged, this, [this, id, e] {
            if (applying_) return;
            QString t = e->toPlainText();
            t.replace("\n", "\r\n");
            EditedByCashier(id, ToCore(t));
        });
        return e;
    }
    case ControlKind::Label: {
        auto* l = new QLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setAlignment(def.alignment);
        l->setAutoFillBackground(true);
        return l;
    }
    case ControlKind::Line: {
        auto* f = new QFrame(parent);
        f->setAutoFillBackground(true);
        return f;
    }
    case ControlKind::Form: break;  // the window itself, no widget of its own
    }
    return new QWidget(parent);
}

void RegisterWindow::Relayout() {
    // Filling the screen the window has no title bar: its title (cashier,
    // business date, terminal) goes in a strip along its top, of a height
    // that grows with the window, and the register lays out below it.
    const bool strip = isFullScreen();
    const int stripH = strip ? static_cast<int>(std::lround(height() * kTitleStripDesignHeight / kDesignHeight)) : 0;
    const QPoint below(0, stripH);
    const RegisterLayout layout = LayoutRegister(QSize(width(), height() - stripH), logicalDpiY());
    receipt_->setGeometry(layout.receiptArea.translated(below));
    for (auto& [id, entry] : entries_) {
        auto it = layout.geometry.find(id);
        if (it == layout.geometry.end()) continue;
        entry.widget->setGeometry(entry.def->inReceiptArea ? it->second : it->second.translated(below));
    }
    titleStrip_->setGeometry(0, 0, width(), stripH);
    titleStrip_->setVisible(strip);
    FitTitleStrip(layout.scale);
    const bool rescaled = layout.scale != scale_;
    scale_ = layout.scale;
    for (auto& [id, entry] : entries_) {
        if (entry.fresh) continue;
        if (rescaled) entry.designed = ToQFont(entry.applied.font, scale_);
        Fit(entry);
    }
}

void RegisterWindow::Fit(Entry& entry) {
    if (entry.fresh) return;
    QWidget* w = entry.widget;
    const std::optional<TextRoom> room = TextRoomOf(w);
    QFont font;
    if (auto* printout = qobject_cast<PrintoutPanel*>(w))
        font = printout->FittingFont(entry.designed);  // measured as it grows, not again for every line
    else
        font = room ? FittingFont(entry.designed, TextOf(w), *room) : entry.designed;
    if (w->font() != font || w->font().pointSizeF() != font.pointSizeF()) w->setFont(font);
}

void RegisterWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void RegisterWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Relayout();
}

void RegisterWindow::FitTitleStrip(double scale) {
    titleStrip_->setText(windowTitle());
    QFont designed = QApplication::font();
    designed.setPointSizeF(kTitleStripPoints * scale);
    designed.setBold(true);
    const std::optional<TextRoom> room = TextRoomOf(titleStrip_);
    titleStrip_->setFont(room ? FittingFont(designed, titleStrip_->text(), *room) : designed);
}

QWidget* RegisterWindow::Control(const ControlId& id) const {
    auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : it->second.widget;
}

RegisterWindow::Entry* RegisterWindow::Find(const ControlId& id) {
    auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : &it->second;
}

// ---- the model to the widgets ----------------------------------------------------------

void RegisterWindow::ControlChanged(const ControlId& id, const ControlState& state) {
    if (id == kRegisterForm) {  // the window itself (hidden while another form is up)
        setVisible(state.visible);
        setEnabled(state.enabled);
        return;
    }
    Entry* entry = Find(id);
    if (!entry) return;
    const bool wasApplying = applying_;
    applying_ = true;
    Apply(*entry, state);
    applying_ = wasApplying;
    if (tabOrderDirty_) ApplyTabOrder();
}

void RegisterWindow::Apply(Entry& entry, const ControlState& s) {
    const ControlDef& def = *entry.def;
    QWidget* w = entry.widget;
    const ControlState& was = entry.applied;
    const bool all = entry.fresh;

    if (all || s.font != was.font) entry.designed = ToQFont(s.font, scale_);
    if (all || s.backColour != was.backColour || s.foreColour != was.foreColour) {
        SetColours(w, def.kind, s);
        // The grid's colour fills the area between its keys and boxes.
        if (def.id.name == Control::Rt_Total) {
            QPalette pal = receipt_->palette();
            pal.setColor(QPalette::Window, WindowsColour(s.backColour));
            receipt_->setPalette(pal);
        }
    }

    switch (def.kind) {
    case ControlKind::Button: {
        auto* b = static_cast<QPushButton*>(w);
        QString caption = LineBreaks(FromCore(ShownText(def.kind, s)));
        if (caption.isEmpty()) caption = DesignCaption(def.id);
        b->setText(caption);
        break;
    }
    case ControlKind::Label: static_cast<QLabel*>(w)->setText(LineBreaks(FromCore(ShownText(def.kind, s)))); break;
    case ControlKind::Edit:
    case ControlKind::Cell: {
        auto* e = static_cast<QLineEdit*>(w);
        if (all || s.maxLength != was.maxLength) e->setMaxLength(s.maxLength > 0 ? s.maxLength : 32767);
        if (all || s.passwordChar != was.passwordChar) {
            if (s.passwordChar) {
                QStyle* old = e->style();
                const bool ownMask = dynamic_cast<MaskStyle*>(old) && old->parent() == e;
                auto* style = new MaskStyle(FromCore(std::string(1, s.passwordChar)).at(0));
                style->setParent(e);
                e->setStyle(style);
                if (ownMask) old->deleteLater();
                e->setEchoMode(QLineEdit::Password);
            } else {
                e->setEchoMode(QLineEdit::Normal);
            }
        }
        if (!DisplayOnly(def) && (all || s.readOnly != was.readOnly)) e->setReadOnly(s.readOnly);
        // Compared with the widget: the cashier's typing is in the widget and
        // in the model, not in what was last applied.
        const QString text = FromCore(ShownText(def.kind, s));
        if (e->text() != text) e->setText(text);
        if (s.selStart != was.selStart) e->setCursorPosition(s.selStart);
        break;
    }
    case ControlKind::MultiLineEdit: {
        if (auto* printout = qobject_cast<PrintoutPanel*>(w)) {
            printout->ShowText(ShownText(def.kind, s), s.wide);
            break;
        }
        auto* e = static_cast<QPlainTextEdit*>(w);
        const QString text = LineBreaks(FromCore(ShownText(def.kind, s)));
        if (e->toPlainText() != text) e->setPlainText(text);
        break;
    }
    case ControlKind::Form:
    case ControlKind::Line: break;
    }

    if (all || s.enabled != was.enabled) w->setEnabled(s.enabled);
    if (all || s.tabStop != was.tabStop || s.tabIndex != was.tabIndex) tabOrderDirty_ = true;
    // The scanner types into the entry box: its own box takes no room.
    if (all || s.visible != was.visible) w->setVisible(s.visible && def.id.name != Control::BarCode);
    entry.applied = s;
    entry.fresh = false;
    Fit(entry);
}

void RegisterWindow::ApplyTabOrder() {
    tabOrderDirty_ = false;
    std::vector<const Entry*> stops;
    for (const auto& [id, entry] : entries_) {
        const ControlKind k = entry.def->kind;
        if (k != ControlKind::Edit && k != ControlKind::Cell && k != ControlKind::MultiLineEdit) continue;
        const bool stop = entry.applied.tabStop || id == kEntryBox;
        entry.widget->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
        if (stop) stops.push_back(&entry);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Entry* a, const Entry* b) { return a->applied.tabIndex < b->applied.tabIndex; });
    for (std::size_t i = 1; i < stops.size(); ++i) setTabOrder(stops[i - 1]->widget, stops[i]->widget);
}

void RegisterWindow::FocusChanged(const ControlId& id) {
    if (id == kRegisterForm) {
        activateWindow();
        return;
    }
    if (QWidget* w = Control(id)) w->setFocus(Qt::OtherFocusReason);
}

void RegisterWindow::TitleChanged(const std::string& title) {
    setWindowTitle(FromCore(title));
    FitTitleStrip(scale_);
}

void RegisterWindow::MessageBox(const std::string& text) { ShowMessageBox(this, text); }
bool RegisterWindow::Question(const std::string& text) { return Confirm(this, text); }

// With TARVO_NONINTERACTIVE set nothing is typed.
std::string RegisterWindow::InputBox(const std::string& text) {
    if (qEnvironmentVariableIsSet("TARVO_NONINTERACTIVE")) return "";
    bool ok = false;
    const QString answer = QInputDialog::getText(this, "Tarvo", FromCore(text), QLineEdit::Normal, QString(), &ok);
    return ok ? ToCore(answer.trimmed()) : std::string();
}

// ---- the cashier to the register ------------------------------------------------------

void RegisterWindow::EditedByCashier(const ControlId& id, const std::string& text) {
    screen_.SetTextFromView(id, text);
    if (id == kEntryBox && input_.onEntryEdited) input_.onEntryEdited(text);
}

bool RegisterWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (redelivering_ == 0 && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this)
            return PreviewKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
        break;
    case QEvent::FocusIn: {
        auto it = ids_.find(watched);
        if (it == ids_.end() || it->second == kEntryBox) break;
        // Only the cashier's moves: the register's own SetFocus is not sent back.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::MouseFocusReason && reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
            reason != Qt::ShortcutFocusReason)
            break;
        // Later, so that the register may move the focus again.
        QTimer::singleShot(0, this, [this, id = it->second] {
            if (input_.onFocusCell) input_.onFocusCell(id);
        });
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

// The register sees the key first; then the key goes on to the widget it was
// meant for (the entry box, mostly), delivered here so that its way up to the
// parent widgets is not seen a second time.
bool RegisterWindow::PreviewKey(QWidget* target, QKeyEvent* event) {
    const bool down = event->type() == QEvent::KeyPress;
    const int code = VirtualKeyCode(event->key(), event->modifiers());
    int shift = ShiftState(event->modifiers());
    // A modifier key's own event reports the state before it: the classic
    // key-down of Shift already says Shift, its key-up no more.
    const int own = event->key() == Qt::Key_Shift     ? 1
                    : event->key() == Qt::Key_Control ? 2
                    : event->key() == Qt::Key_Alt     ? 4
                                                      : 0;
    if (own) shift = down ? (shift | own) : (shift & ~own);

    QPointer<QWidget> to(target);
    if (code != 0) {
        if (down) {
            if (input_.onKeyDown) input_.onKeyDown(code, shift);
        } else if (!event->isAutoRepeat()) {
            if (input_.onKeyUp) input_.onKeyUp(code, shift);
        }
    }
    if (to) {
        ++redelivering_;
        QCoreApplication::sendEvent(to, event);
        --redelivering_;
    }
    event->accept();
    return true;
}

void RegisterWindow::closeEvent(QCloseEvent* event) {
    if (input_.canClose && !input_.canClose() && !Confirm(this, input_.closeQuestion)) {
        event->ignore();
        return;
    }
    event->accept();
    if (input_.onClosed) input_.onClosed();
}

// ---- load ------------------------------------------------------------------------------

QString RegisterWindow::Summary() const { return summary_; }

bool RegisterWindow::Load() {
    gData.messageBox = [this](const std::string& text) { ShowMessageBox(this, text); };
    std::string message;
    bool ok = Form_Load(
        [](std::string& why) {
            SettingsLoad r = Register_LoadDataAndSettings();
            why = r.message;
            return r.ok;
        },
        message);
    if (!ok) {
        ShowMessageBox(this, message);
        return false;
    }
    const Settings& s = gSettings;
    int payments = 0, departments = 0;
    for (const auto& p : s.PaymentTypes) payments += !p.Name1.empty();
    for (const auto& d : s.Departments) departments += !d.Caption1.empty();
    // What was loaded, for the program log (the cashier's screen has no room for it).
    summary_ = QString("Terminal %1 (%2): language %3, %4 payment types, %5 department keys, %6 products, "
                       "%7 clients, %8 cashiers")
                   .arg(QString::fromStdString(gTerminalNumber))
                   .arg(FromCore(s.gTerminalDescription))
                   .arg(s.gLanguage)
                   .arg(payments)
                   .arg(departments)
                   .arg(gData.gProductCount)
                   .arg(gData.gClientCount)
                   .arg(gData.gCashierCount);
    ProgramLog().Write(1, ToCore(summary_));
    return true;
}

}  // namespace tarvo::ui
