#include "ui/register_window.h"
#include "screen/controls.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTest>
#include <set>
#include <tuple>
#include <vector>

#include "register/screen_actions.h"
#include "ui/key_translation.h"
#include "ui/qt_text.h"
#include "ui/qt_timers.h"
#include "ui/register_layout.h"
#include "ui/startup_window.h"

namespace tarvo::ui {
namespace {

// Every control the register writes, by name and index.
std::vector<ControlId> AllControlIds() {
    std::vector<ControlId> ids;
    auto array = [&](Control name, int first, int last) {
        for (int k = first; k <= last; ++k) ids.push_back({name, k});
    };
    array(Control::BDep, 1, 8);
    array(Control::BSys, 1, 6);
    array(Control::BOp, 1, 8);
    array(Control::BReg, 1, 4);
    array(Control::mDept, 1, 24);
    array(Control::mNumeric, 1, 12);
    for (Control single : {Control::mTotalRegister,  Control::BPayment,       Control::Rt_Up,
                           Control::RT_Down,         Control::txtDEA,         Control::txtCIA,
                           Control::BarCode,         Control::Txt_Message,    Control::Txt_All,
                           Control::Txt_Printer,     Control::Txt_Mode,       Control::Greeting,
                           Control::Lbl_Phys_Code,   Control::Lbl_Phys_Desc,  Control::Lbl_Phys_Quantity,
                           Control::Lbl_BalanceDue,  Control::Title_Number,   Control::Title_Description,
                           Control::Title_Tax,       Control::Title_Quantity, Control::Title_Price,
                           Control::Title_Extension, Control::Title_Total,    Control::Rt_Total})
        ids.push_back({single, 0});
    for (Control cell : {Control::Rt_Number, Control::Rt_Description, Control::Rt_Tax, Control::Rt_Quantity,
                         Control::Rt_Price, Control::Rt_Extension})
        array(cell, 1, 7);
    array(Control::Tr_Title, 1, 10);
    array(Control::Tr_Amount, 1, 11);
    array(Control::Line_Total, 0, 1);
    return ids;
}

struct Recorded {
    std::vector<ControlId> clicks;
    std::vector<std::tuple<bool, int, int>> keys;  // down?, code, shift
    std::vector<std::string> edits;
    std::vector<ControlId> focused;
};

class RegisterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        MessageBoxesShown().clear();
        window = std::make_unique<RegisterWindow>(screen);
        RegisterInput in;
        in.onClick = [this](const ControlId& id) { got.clicks.push_back(id); };
        in.onKeyDown = [this](int code, int shift) { got.keys.emplace_back(true, code, shift); };
        in.onKeyUp = [this](int code, int shift) { got.keys.emplace_back(false, code, shift); };
        in.onEntryEdited = [this](const std::string& text) { got.edits.push_back(text); };
        // The register's answer to a touched cell: the focus back to the entry box.
        in.onFocusCell = [this](const ControlId& id) {
            got.focused.push_back(id);
            screen.SetFocus(ControlId{Control::txtDEA, 0});
        };
        window->SetInput(in);
    }

    QWidget* W(Control name, int index = 0) { return window->Control(ControlId{name, index}); }
    QLineEdit* Edit(Control name, int index = 0) { return qobject_cast<QLineEdit*>(W(name, index)); }

    ScreenModel screen;
    std::unique_ptr<RegisterWindow> window;
    Recorded got;
};

TEST_F(RegisterWindowTest, BuildsEveryControlWithItsNameAndTheDesignedPlaces) {
    const auto ids = AllControlIds();
    ASSERT_EQ(ids.size(), 8u + 6 + 8 + 4 + 24 + 12 + 24 + 42 + 10 + 11 + 2);
    std::set<QWidget*> distinct;
    for (const ControlId& id : ids) {
        QWidget* w = window->Control(id);
        ASSERT_NE(w, nullptr) << id.name << " " << id.index;
        distinct.insert(w);
        EXPECT_EQ(w->property("controlName").toString().toStdString(), ControlName(id.name));
        EXPECT_EQ(w->property("controlIndex").toInt(), id.index);
    }
    EXPECT_EQ(distinct.size(), ids.size());
    // The control table holds those and no more; the window builds each of
    // its controls under the table's name (the form is the window itself).
    std::size_t inTable = 0;
    ForEachControl([&](const ControlId& id) {
        if (id == kRegisterForm) return;
        ++inTable;
        QWidget* w = window->Control(id);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_EQ(w->objectName(), ControlObjectName(id));
    });
    EXPECT_EQ(inTable, ids.size());
    EXPECT_EQ(window->findChild<QAbstractButton*>("mDept_5"), W(Control::mDept, 5));
    EXPECT_EQ(window->findChild<QLineEdit*>("txtDEA"), W(Control::txtDEA));
    EXPECT_EQ(window->findChild<QAbstractButton*>("mNumeric12"), W(Control::mNumeric, 12));
    EXPECT_EQ(window->findChild<QWidget*>("Line_Total_0"), W(Control::Line_Total, 0));
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(W(Control::Txt_All)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(W(Control::Txt_Printer)), nullptr);
    EXPECT_TRUE(Edit(Control::txtCIA)->isReadOnly());
    EXPECT_TRUE(Edit(Control::Rt_Price, 3)->isReadOnly());
    EXPECT_FALSE(Edit(Control::txtDEA)->isReadOnly());

    // The receipt area at its designed twips: px = twips x dpi / 1440, from
    // the area's origin at the grid titles' top (955).
    const double dpi = window->logicalDpiY();
    auto px = [&](int twips) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); };
    const QRect description = W(Control::Rt_Description, 3)->geometry();
    EXPECT_EQ(description.left(), px(405));
    EXPECT_EQ(description.top(), px(1260 + 465 * 2 - 955));
    EXPECT_EQ(description.left() + description.width(), px(405 + 2850));
    EXPECT_EQ(description.top() + description.height(), px(1260 + 465 * 3 - 955));
    EXPECT_EQ(W(Control::Title_Extension)->geometry(), TwipsRect(5701, 0, 1279, 300, dpi));
    EXPECT_EQ(W(Control::Rt_Total)->geometry(), TwipsRect(4602, 4560 - 955, 2321, 630, dpi));
    EXPECT_EQ(W(Control::Tr_Amount, 11)->geometry(), TwipsRect(1916, 428 * 9, 1580, 428, dpi));
    EXPECT_EQ(W(Control::Tr_Title, 10)->geometry(), TwipsRect(3495, 428 * 9, 1680, 428, dpi));
    EXPECT_EQ(W(Control::Lbl_BalanceDue)->geometry(), TwipsRect(0, 4800 - 955, 2014, 500, dpi));
    EXPECT_EQ(W(Control::Rt_Number, 1)->parentWidget(), window->ReceiptArea());

    // The soft keys: 6 rows of 4 (the keyboard highlight moves by 1 and by 4).
    const QRect k1 = W(Control::mDept, 1)->geometry();
    EXPECT_EQ(W(Control::mDept, 2)->geometry().top(), k1.top());
    EXPECT_GT(W(Control::mDept, 2)->geometry().left(), k1.left());
    EXPECT_EQ(W(Control::mDept, 5)->geometry().left(), k1.left());
    EXPECT_GT(W(Control::mDept, 5)->geometry().top(), k1.top());
    EXPECT_EQ(W(Control::mDept, 21)->geometry().left(), k1.left());
    EXPECT_EQ(W(Control::mDept, 24)->geometry().top(), W(Control::mDept, 21)->geometry().top());

    // Every control of the window itself inside 1024 x 768, none over another.
    std::vector<std::pair<QWidget*, QRect>> placed;
    for (const ControlId& id : ids) {
        QWidget* w = window->Control(id);
        if (w->parentWidget() == window.get()) placed.push_back({w, w->geometry()});
    }
    placed.push_back({window->ReceiptArea(), window->ReceiptArea()->geometry()});
    auto name = [](QWidget* w) { return w->objectName().toStdString(); };
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(placed[i].second)) << name(placed[i].first);
        EXPECT_GE(placed[i].second.width(), 1) << name(placed[i].first);
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(placed[i].second.intersects(placed[j].second))
                << name(placed[i].first) << " / " << name(placed[j].first);
    }
}

TEST_F(RegisterWindowTest, ModelChangesReachTheirWidgets) {
    window->show();
    const ControlId key{Control::mDept, 7};
    screen.SetCaption(key, "Close\r\nProgram");
    auto* button = qobject_cast<QAbstractButton*>(W(Control::mDept, 7));
    EXPECT_EQ(button->text(), QString("Close\nProgram"));
    screen.SetCaption(key, "Lone\rCR");
    EXPECT_EQ(button->text(), QString("Lone\nCR"));
    screen.SetCaption(key, "Lone\nLF \x80");
    EXPECT_EQ(button->text(), QString::fromUtf8("Lone\nLF €"));

    screen.SetBackColour(key, 0x00FF8040);  // windows RGB: red 0x40, green 0x80, blue 0xFF
    screen.SetForeColour(key, 0x000000FF);
    EXPECT_EQ(button->palette().color(QPalette::Button), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(button->palette().color(QPalette::Active, QPalette::ButtonText), QColor(255, 0, 0));

    screen.SetFont(key, Font{"Cambria", 14, true, true});
    EXPECT_EQ(button->font().pointSizeF(), 14.0);
    EXPECT_TRUE(button->font().bold());
    EXPECT_TRUE(button->font().underline());
    EXPECT_EQ(QFontInfo(button->font()).family(), QString("Caladea"));

    screen.SetVisible(key, false);
    EXPECT_TRUE(button->isHidden());
    screen.SetVisible(key, true);
    EXPECT_TRUE(button->isVisible());
    screen.SetEnabled(key, false);
    EXPECT_FALSE(button->isEnabled());

    // The entry box: masked typing, length, text and caret.
    QLineEdit* entry = Edit(Control::txtDEA);
    screen.SetPasswordChar(ControlId{Control::txtDEA, 0}, '*');
    EXPECT_EQ(entry->echoMode(), QLineEdit::Password);
    EXPECT_EQ(entry->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, entry), int('*'));
    screen.SetPasswordChar(ControlId{Control::txtDEA, 0}, 0);
    EXPECT_EQ(entry->echoMode(), QLineEdit::Normal);
    screen.SetMaxLength(ControlId{Control::txtDEA, 0}, 4);
    EXPECT_EQ(entry->maxLength(), 4);
    screen.SetText(ControlId{Control::txtDEA, 0}, "12\xE9");
    EXPECT_EQ(entry->text(), QString::fromUtf8("12é"));
    screen.SetSelStart(ControlId{Control::txtDEA, 0}, 1);
    EXPECT_EQ(entry->cursorPosition(), 1);

    // Grid cells and totals written by text, labels by caption, panels with line breaks.
    screen.SetText(ControlId{Control::Rt_Extension, 2}, "$1,234.50");
    EXPECT_EQ(Edit(Control::Rt_Extension, 2)->text(), QString("$1,234.50"));
    EXPECT_EQ(Edit(Control::Rt_Extension, 2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    screen.SetText(ControlId{Control::Tr_Title, 1}, "Subtotal ");
    EXPECT_EQ(Edit(Control::Tr_Title, 1)->text(), QString("Subtotal "));
    screen.SetCaption(ControlId{Control::Greeting, 0}, "Welcome\r\nBienvenue");
    EXPECT_EQ(qobject_cast<QLabel*>(W(Control::Greeting))->text(), QString("Welcome\nBienvenue"));
    screen.SetBackColour(ControlId{Control::Greeting, 0}, 0x8000000F);  // the system's button face
    EXPECT_EQ(W(Control::Greeting)->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    screen.SetText(ControlId{Control::Txt_All, 0}, "Client: A\r\nPhone: 1");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(W(Control::Txt_All))->toPlainText(), QString("Client: A\nPhone: 1"));
    screen.Show(ControlId{Control::Txt_All, 0}, false);
    EXPECT_TRUE(W(Control::Txt_All)->isHidden());
    EXPECT_FALSE(W(Control::Txt_All)->isEnabled());

    // Without a caption of its own a keypad key shows its figure.
    auto* keypad2 = qobject_cast<QAbstractButton*>(W(Control::mNumeric, 2));
    EXPECT_EQ(keypad2->text(), QString("00"));
    screen.SetCaption(ControlId{Control::mNumeric, 2}, "Clear");
    EXPECT_EQ(keypad2->text(), QString("Clear"));
    screen.SetCaption(ControlId{Control::mNumeric, 2}, "");
    EXPECT_EQ(keypad2->text(), QString("00"));
    EXPECT_EQ(qobject_cast<QAbstractButton*>(W(Control::mNumeric, 1))->text(), QString("0"));
    EXPECT_EQ(qobject_cast<QAbstractButton*>(W(Control::mNumeric, 3))->text(), QString("."));
    EXPECT_EQ(qobject_cast<QAbstractButton*>(W(Control::mNumeric, 12))->text(), QString("9"));

    screen.SetTitle("Tarvo - Caf\xE9");
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Tarvo - Café"));
    screen.MessageBox("Not Found");
    EXPECT_EQ(MessageBoxesShown(), QStringList{"Not Found"});
    // The register hides its own window while another form is up.
    screen.SetVisible(ControlId{Control::frmCashMain, 0}, false);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RegisterWindowTest, StateTheModelHeldBeforeTheWindowIsShownAtOnce) {
    ScreenModel early;
    early.SetCaption(ControlId{Control::BSys, 3}, "Print");
    early.SetVisible(ControlId{Control::Txt_Printer, 0}, false);
    early.SetFocus(ControlId{Control::txtDEA, 0});
    early.SetFont(ControlId{Control::mNumeric, 5}, Font{"Cambria", 28, false, false});
    RegisterWindow w(early);
    EXPECT_EQ(w.Control({Control::mNumeric, 5})->font().pointSizeF(), 28.0);
    EXPECT_EQ(qobject_cast<QAbstractButton*>(w.Control({Control::BSys, 3}))->text(), QString("Print"));
    EXPECT_TRUE(w.Control({Control::Txt_Printer, 0})->isHidden());
    EXPECT_EQ(w.focusWidget(), w.Control({Control::txtDEA, 0}));
}

TEST_F(RegisterWindowTest, ClicksKeysAndTypingReachTheRegister) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    QTest::mouseClick(W(Control::mDept, 5), Qt::LeftButton);
    QTest::mouseClick(W(Control::mNumeric, 4), Qt::LeftButton);
    QTest::mouseClick(W(Control::mTotalRegister), Qt::LeftButton);
    EXPECT_EQ(got.clicks,
              (std::vector<ControlId>{{Control::mDept, 5}, {Control::mNumeric, 4}, {Control::mTotalRegister, 0}}));

    // Every key once, down then up, whichever widget it was sent to.
    QLineEdit* entry = Edit(Control::txtDEA);
    QTest::keyClick(entry, Qt::Key_F2);
    QTest::keyClick(entry, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(entry, Qt::Key_Asterisk, Qt::ShiftModifier);
    using K = std::tuple<bool, int, int>;
    EXPECT_EQ(got.keys, (std::vector<K>{K{true, 113, 0}, K{false, 113, 0}, K{true, 107, 0}, K{false, 107, 0},
                                        K{true, 13, 0}, K{false, 13, 0}, K{true, 27, 0}, K{false, 27, 0},
                                        K{true, 16, 1}, K{true, 56, 1}, K{false, 56, 1}, K{false, 16, 0}}));
    // The keys reached the entry box too.
    EXPECT_EQ(entry->text(), QString("+*"));
    EXPECT_EQ(got.edits, (std::vector<std::string>{"+", "+*"}));

    // The keys go on to the entry box; its text reaches the model and the register.
    got.keys.clear();
    got.edits.clear();
    screen.SetText(ControlId{Control::txtDEA, 0}, "");
    QTest::keyClicks(entry, "12");
    EXPECT_EQ(entry->text(), QString("12"));
    EXPECT_EQ(screen.Text(ControlId{Control::txtDEA, 0}), "12");
    EXPECT_EQ(got.edits, (std::vector<std::string>{"1", "12"}));
    EXPECT_EQ(got.keys, (std::vector<K>{K{true, 49, 0}, K{false, 49, 0}, K{true, 50, 0}, K{false, 50, 0}}));
    // A later change of another property does not undo the typing.
    screen.SetForeColour(ControlId{Control::txtDEA, 0}, 255);
    EXPECT_EQ(entry->text(), QString("12"));
    EXPECT_EQ(entry->cursorPosition(), 2);
}

TEST_F(RegisterWindowTest, ATouchedCellIsReportedAndTheFocusGoesBackToTheEntryBox) {
    window->show();
    QWidget* cell = W(Control::Rt_Number, 3);
    cell->setFocus(Qt::MouseFocusReason);
    QFocusEvent touched(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(cell, &touched);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.focused.empty(); }));
    EXPECT_EQ(got.focused, (std::vector<ControlId>{{Control::Rt_Number, 3}}));
    EXPECT_EQ(window->focusWidget(), W(Control::txtDEA));
    // The register's own focus moves are not reported back.
    screen.SetFocus(ControlId{Control::Txt_All, 0});
    QApplication::processEvents();
    EXPECT_EQ(got.focused.size(), 1u);
}

TEST_F(RegisterWindowTest, ClosingWithASaleOpenAsksAndUnattendedRunsSayYes) {
    int asked = 0;
    window->Input().canClose = [&] {
        ++asked;
        return false;
    };
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(window->isVisible());
}

TEST(KeyTranslation, QtKeysBecomeVirtualKeyCodes) {
    const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), pad(Qt::KeypadModifier);
    struct Row {
        int key;
        Qt::KeyboardModifiers mods;
        int code;
    };
    const Row rows[] = {
        {Qt::Key_Return, none, 13},
        {Qt::Key_Enter, pad, 13},
        {Qt::Key_Escape, none, 27},
        {Qt::Key_Backspace, none, 8},
        {Qt::Key_Tab, none, 9},
        {Qt::Key_Space, none, 32},
        {Qt::Key_PageUp, none, 33},
        {Qt::Key_PageDown, none, 34},
        {Qt::Key_End, none, 35},
        {Qt::Key_Home, none, 36},
        {Qt::Key_Left, none, 37},
        {Qt::Key_Up, none, 38},
        {Qt::Key_Right, none, 39},
        {Qt::Key_Down, none, 40},
        {Qt::Key_Insert, none, 45},
        {Qt::Key_Delete, none, 46},
        {Qt::Key_F1, none, 112},
        {Qt::Key_F2, none, 113},
        {Qt::Key_F12, none, 123},
        {Qt::Key_0, none, 48},
        {Qt::Key_9, none, 57},
        {Qt::Key_A, none, 65},
        {Qt::Key_Z, shift, 90},
        {Qt::Key_0, pad, 96},
        {Qt::Key_5, pad, 101},
        {Qt::Key_9, pad, 105},
        {Qt::Key_Asterisk, pad, 106},
        {Qt::Key_Plus, pad, 107},
        {Qt::Key_Minus, pad, 109},
        {Qt::Key_Period, pad, 110},
        {Qt::Key_Slash, pad, 111},
        {Qt::Key_Asterisk, shift, 56},
        {Qt::Key_Plus, shift, 187},
        {Qt::Key_Equal, none, 187},
        {Qt::Key_Minus, none, 189},
        {Qt::Key_Underscore, shift, 189},
        {Qt::Key_Period, none, 190},
        {Qt::Key_Comma, none, 188},
        {Qt::Key_Slash, none, 191},
        {Qt::Key_Question, shift, 191},
        {Qt::Key_Semicolon, none, 186},
        {Qt::Key_Apostrophe, none, 222},
        {Qt::Key_BracketLeft, none, 219},
        {Qt::Key_Backslash, none, 220},
        {Qt::Key_QuoteLeft, none, 192},
        {Qt::Key_Exclam, shift, 49},
        {Qt::Key_Dollar, shift, 52},
        {Qt::Key_ParenRight, shift, 48},
        {Qt::Key_Home, pad, 36},
        {Qt::Key_Clear, pad, 12},
        {Qt::Key_Shift, none, 16},
        {Qt::Key_Control, none, 17},
        {Qt::Key_Alt, none, 18},
        {Qt::Key_Eacute, none, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(VirtualKeyCode(r.key, r.mods), r.code) << QKeySequence(r.key).toString().toStdString();
    EXPECT_EQ(ShiftState(none), 0);
    EXPECT_EQ(ShiftState(shift | pad), 1);
    EXPECT_EQ(ShiftState(Qt::ControlModifier), 2);
    EXPECT_EQ(ShiftState(Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier), 7);
}

TEST(QtTimers, StartStopAndTheHandlerRunsOnTimeout) {
    QtTimers timers;
    int fired = 0;
    timers.SetHandler(TimerId::Message, [&] {
        ++fired;
        timers.Stop(TimerId::Message);  // a one-shot timer stops itself
    });
    EXPECT_FALSE(timers.Running(TimerId::Message));
    EXPECT_EQ(timers.Interval(TimerId::Message), 0);
    timers.Start(TimerId::Message, 1);
    EXPECT_TRUE(timers.Running(TimerId::Message));
    EXPECT_EQ(timers.Interval(TimerId::Message), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired > 0; }));
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timers.Running(TimerId::Message));
    EXPECT_EQ(timers.Interval(TimerId::Message), 1);

    timers.Start(TimerId::CIA, 60000);
    EXPECT_TRUE(timers.Running(TimerId::CIA));
    timers.Stop(TimerId::CIA);
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    timers.Start(TimerId::CIA, 0);  // interval 0: a timer that never fires
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    EXPECT_EQ(timers.Interval(TimerId::CIA), 0);
}

}  // namespace
}  // namespace tarvo::ui
