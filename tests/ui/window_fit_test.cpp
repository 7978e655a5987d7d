// The register window on the demo store as a cashier sees it, at the screen
// sizes of the tills it runs on: every text that shows fits its control, the
// grand total stays the largest figure of the receipt, and the first sale's
// receipt appears on the screen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "demo_window.h"
#include "platform/process.h"
#include "print/printer_output.h"
#include "program_state.h"
#include "register/screen_actions.h"
#include "sale/sale_save.h"
#include "screen/controls.h"
#include "screen/register_state.h"
#include "test_dir.h"
#include "test_net.h"
#include "ui/app_controller.h"
#include "ui/key_colours.h"
#include "ui/register_layout.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

const QSize kScreens[] = {{1024, 768}, {1280, 1024}, {1920, 1080}};

std::string Name(const QWidget* w) { return w->objectName().toStdString(); }

// The text a control shows and whether it overflows the room its widget
// draws text in, measured here with the widget's own font.
struct Overflow {
    std::string control, text;
    QSize needed, room;
};

std::vector<Overflow> Overflows(QWidget* window) {
    std::vector<Overflow> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->property("controlName").isNull() || !w->isVisibleTo(window)) continue;
        const QFontMetrics fm(w->font());
        QString text;
        QRect room;
        bool wraps = false, scrolls = false;
        if (auto* key = qobject_cast<QPushButton*>(w)) {
            text = ShownCaption(key->text());
            room = KeyCaptionRect(key);
            wraps = true;
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
            room = label->contentsRect();
            wraps = label->wordWrap();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            text = edit->displayText();
            const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
            room = edit->rect().adjusted(frame + 2, frame + 1, -frame - 2, -frame - 1);
        } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
            text = box->toPlainText();
            room = box->viewport()->rect().adjusted(4, 4, -4, -4);
            scrolls = true;
        }
        if (text.isEmpty()) continue;
        QSize needed;
        if (wraps) {
            needed = fm.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, text).size();
        } else {
            const QStringList lines = text.split('\n');
            for (const QString& line : lines) needed.setWidth(std::max(needed.width(), fm.horizontalAdvance(line)));
            needed.setHeight(scrolls ? 0 : fm.height() + fm.lineSpacing() * (int(lines.size()) - 1));
        }
        if (needed.width() > room.width() || needed.height() > room.height())
            out.push_back({Name(w), text.toStdString(), needed, room.size()});
    }
    return out;
}

class WindowFitTest : public DemoWindowTest {
protected:
    // At every screen size: no text overflows, and every control lies inside
    // the window (the receipt area's inside the area).
    void ExpectEverythingFits(const char* step) {
        for (const QSize& size : kScreens) {
            SCOPED_TRACE(std::string(step) + " at " + std::to_string(size.width()) + "x" +
                         std::to_string(size.height()));
            window->setFixedSize(size);
            QApplication::processEvents();
            ASSERT_EQ(window->size(), size);
            for (const Overflow& o : Overflows(window))
                ADD_FAILURE() << o.control << " \"" << o.text << "\" needs " << o.needed.width() << "x"
                              << o.needed.height() << ", has " << o.room.width() << "x" << o.room.height();
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (w->property("controlName").isNull() || !w->isVisibleTo(window)) continue;
                EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << Name(w);
            }
        }
    }
};

TEST_F(WindowFitTest, EveryTextFitsItsControlThroughASaleAtEveryScreenSize) {
    ExpectEverythingFits("login");

    Type("1111");
    ExpectEverythingFits("opening amount");  // the long mode name "Open.Amount"
    Type("100");
    Type("1001");
    Type("1002");
    Type("1002");
    ExpectEverythingFits("sale");
    // The grand total, larger than the line amounts and as large as any amount of the totals panel.
    const double total = W(Control::Rt_Total)->font().pointSizeF();
    EXPECT_GT(total, W(Control::Rt_Extension, 1)->font().pointSizeF());
    EXPECT_GE(total, W(Control::Tr_Amount, 6)->font().pointSizeF());
    EXPECT_FALSE(qobject_cast<QLineEdit*>(W(Control::Rt_Total))->text().isEmpty());

    Type("99999999");  // an unknown code: the timed message
    ASSERT_TRUE(W(Control::Txt_Message)->isVisible());
    ExpectEverythingFits("not found");

    QTest::keyClick(entry, Qt::Key_F2);  // the payment page
    ASSERT_EQ(gReg.gKeyPage, KeyPage::Payment);
    ExpectEverythingFits("payment page");

    // Cash for 100, then Total: the demo prints on its screen.
    QTest::keyClicks(entry, "100");
    QTest::mouseClick(window->findChild<QPushButton*>(ControlObjectName(SoftKey(1))), Qt::LeftButton);
    ASSERT_EQ(gSale.gPaymentCount, 1);
    ExpectEverythingFits("tendered");
    QTest::keyClick(entry, Qt::Key_F1);
    auto* printout = qobject_cast<QPlainTextEdit*>(W(Control::Txt_Printer));
    ASSERT_TRUE(printout->isVisible()) << "the receipt is not on the screen";
    EXPECT_TRUE(printout->toPlainText().contains("Thank you for shopping with us"))
        << printout->toPlainText().toStdString();
    ExpectEverythingFits("receipt on screen");
}

// The register fills the screen when it opens, and its layout grows with it.
TEST_F(WindowFitTest, TheRegisterFillsTheScreenAndScalesWithIt) {
    EXPECT_EQ(window->geometry(), window->screen()->geometry());
    window->setFixedSize(1024, 768);
    QApplication::processEvents();
    const QRect small = window->ReceiptArea()->geometry();
    window->setFixedSize(1920, 1080);
    QApplication::processEvents();
    const QRect large = window->ReceiptArea()->geometry();
    EXPECT_NEAR(double(large.width()) / small.width(), 1080.0 / 768, 0.02);
    EXPECT_NEAR(double(large.height()) / small.height(), 1080.0 / 768, 0.02);
    // The keys take the rest of the screen, whatever its shape.
    const QRect lastKey = W(Control::BReg, 4)->geometry();
    EXPECT_GT(lastKey.right(), 1920 - 20);
    EXPECT_GT(lastKey.bottom(), 1080 - 20);
    EXPECT_GT(W(Control::mNumeric, 1)->geometry().bottom(), 1080 - 20);
}

// Filling the screen the window has no title bar: its title (cashier,
// business date, terminal) shows in a strip along its top, above the
// message line, at every screen size; in a window the title bar has it.
TEST_F(WindowFitTest, TheTitleShowsInAStripWhileTheRegisterFillsTheScreen) {
    Type("1111");
    Type("100");
    ASSERT_TRUE(window->isFullScreen());
    QLabel* strip = window->TitleStrip();
    for (const QSize& size : kScreens) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        window->setFixedSize(size);  // a window of that size, full screen again
        window->setWindowState(Qt::WindowFullScreen);
        QApplication::processEvents();
        ASSERT_EQ(window->size(), size);
        ASSERT_TRUE(strip->isVisible());
        EXPECT_EQ(strip->text(), window->windowTitle());
        EXPECT_TRUE(strip->text().contains("(1234567)")) << strip->text().toStdString();
        EXPECT_TRUE(strip->text().contains("Demo Cashier")) << strip->text().toStdString();
        EXPECT_EQ(strip->geometry().top(), 0);
        EXPECT_LE(strip->geometry().bottom(), W(Control::txtCIA)->geometry().top());
        const QFontMetrics fm(strip->font());
        EXPECT_LE(fm.horizontalAdvance(strip->text()), strip->contentsRect().width());
        EXPECT_LE(fm.height(), strip->contentsRect().height());
    }
    window->setWindowState(Qt::WindowNoState);
    QApplication::processEvents();
    EXPECT_FALSE(strip->isVisible());
}

// Keys read on every back colour the store may give them, and a disabled key
// tells itself from an enabled one at a glance.
TEST(KeyColours, CaptionsReadOnEveryBackColourAndDisabledKeysStandApart) {
    const QColor backs[] = {
        QColor(0, 0, 192),      // the Total key's default
        QColor(0, 255, 255),    // the keypad's
        QColor(255, 255, 192),  // operation, payment and page keys'
        QColor(255, 192, 255),  // the page keys'
        QColor(255, 255, 255), QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 128, 0), QColor(128, 128, 128),
    };
    for (const QColor& back : backs) {
        SCOPED_TRACE(back.name().toStdString());
        const KeyColours on = KeyColoursFor(back, QColor(0, 0, 0), true);
        const KeyColours off = KeyColoursFor(back, QColor(0, 0, 0), false);
        EXPECT_EQ(on.back, back);
        EXPECT_GE(ContrastRatio(on.caption, on.back), kReadableContrast);
        // Disabled: still legible, but plainly weaker, on another face.
        EXPECT_GE(ContrastRatio(off.caption, off.back), 2.5);
        EXPECT_LT(ContrastRatio(off.caption, off.back), ContrastRatio(on.caption, on.back));
        EXPECT_NE(off.back, on.back);
    }
    // A text colour of the register's own that reads is kept.
    EXPECT_EQ(KeyColoursFor(QColor(255, 255, 192), QColor(128, 0, 0), true).caption, QColor(128, 0, 0));
    EXPECT_EQ(KeyColoursFor(QColor(0, 0, 192), QColor(0, 0, 0), true).caption, QColor(255, 255, 255));
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
}

}  // namespace
}  // namespace tarvo::ui
