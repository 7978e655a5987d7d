// The end of a sale in the real register window on the demo store, offscreen:
// the second copy's message box waits for the cashier, and what the cashier
// does during the pause after a sale (2 s in the demo) goes into the next one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "config/settings.h"
#include "data/work_file.h"
#include "demo_window.h"
#include "screen/register_state.h"

namespace tarvo::ui {
namespace {

constexpr int kPastThePauseMs = 2600;  // the demo's pause is 2 s

std::string Pad(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}

// Message boxes really shown and waited on (the tests' main records them
// instead) while it lives.
class InteractiveBoxes {
public:
    InteractiveBoxes() : was_(qgetenv("TARVO_NONINTERACTIVE")) { qunsetenv("TARVO_NONINTERACTIVE"); }
    ~InteractiveBoxes() { qputenv("TARVO_NONINTERACTIVE", was_); }

private:
    QByteArray was_;
};

// Watches for a message box and closes it with Enter, as the cashier does,
// after `seen` has looked at the screen behind it.
class BoxCloser {
public:
    explicit BoxCloser(std::function<void(QMessageBox*)> seen) : seen_(std::move(seen)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                texts.append(box->text());
                modal = QApplication::activeModalWidget() == box;
                if (seen_) seen_(box);
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
        });
        timer_.start(50);
    }
    QStringList texts;
    bool modal = false;

private:
    std::function<void(QMessageBox*)> seen_;
    QTimer timer_;
};

class SaleEndWindowTest : public DemoWindowTest {
protected:
    QString Shown(Control c, int i = 0) { return W(c, i)->property("text").toString(); }
    // The sale in progress paid in cash, then Total: its receipt shows.
    void PayCashAndTotal(const char* amount) {
        QTest::keyClick(entry, Qt::Key_F2);
        QTest::keyClicks(entry, amount);
        Touch("mDept_1");
        ASSERT_EQ(gSale.gPaymentCount, 1);
        QTest::keyClick(entry, Qt::Key_F1);
        ASSERT_TRUE(Printout()->isVisible()) << "the receipt is not on the screen";
    }
};

// Card copies 2 and a credit card tender: the first copy shows, the box asks
// the cashier to tear it off, and the register goes on only once it is closed.
TEST_F(SaleEndWindowTest, TheSecondCopyWaitsForTheCashierToCloseItsBox) {
    gSettings.gCardCopies = CardCopies::Two;
    // The demo's Credit Card key as a register without card processing has it.
    gSettings.gCardEnabled = false;
    LogIn();
    Type("1001");
    QTest::keyClick(entry, Qt::Key_F2);
    Touch("mDept_2");  // Credit Card, for the whole balance
    Type("4711");      // its payment reference
    ASSERT_EQ(gSale.gPaymentCount, 1);
    ASSERT_EQ(gSale.gPayments[1].type.substr(0, 1), "3");

    const InteractiveBoxes interactive;
    QString behind;
    bool pauseRunning = true;
    BoxCloser closer([&](QMessageBox*) {
        behind = Printout()->toPlainText();
        pauseRunning = app->Register()->RegisterTimers().Running(TimerId::EndSale);
    });
    QTest::keyClick(entry, Qt::Key_F1);
    ASSERT_EQ(closer.texts, QStringList{"Tear Off First Copy. Press Enter to Print Second Copy."})
        << Screen().Text(kMessageLine);
    EXPECT_TRUE(closer.modal);
    // Behind the box: the first copy, and the register waiting for the box.
    EXPECT_TRUE(behind.contains("Thank you for shopping with us")) << behind.toStdString();
    EXPECT_FALSE(pauseRunning);
    // Closed: the second copy is on the screen and the pause runs.
    EXPECT_TRUE(Printout()->isVisible());
    EXPECT_TRUE(Printout()->toPlainText().contains("Thank you for shopping with us"));
    EXPECT_TRUE(app->Register()->RegisterTimers().Running(TimerId::EndSale));
}

// A product scanned while the receipt is still on the screen, inside the
// pause: the receipt closes, the product is the first line of the next sale,
// stays past the pause and is saved with that sale.
TEST_F(SaleEndWindowTest, AProductScannedDuringThePauseGoesIntoTheNextSale) {
    LogIn();
    Type("1001");
    PayCashAndTotal("20");
    if (HasFatalFailure()) return;
    Type("1002");  // the scanner: the code, then Enter
    EXPECT_FALSE(Printout()->isVisible());
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Shown(Control::Rt_Description, 1), "Decaf Coffee 1 lb");
    QTest::qWait(kPastThePauseMs);
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Shown(Control::Rt_Description, 1), "Decaf Coffee 1 lb");

    PayCashAndTotal("20");
    if (HasFatalFailure()) return;
    WorkFile dtl;
    ASSERT_TRUE(dtl.Open(dir.Path() + "/Data/1234567.DTL", 90));
    ASSERT_EQ(dtl.RecordCount(), 3);
    EXPECT_EQ(dtl.Read(3).substr(0, 38), "0000003001" + Pad("1002", 8) + Pad("1002", 20));
}

// The receipt closed at once and a page key touched: the page stays, and
// the keys under the cashier's finger stay the ones touched, past the pause.
TEST_F(SaleEndWindowTest, APageKeyTouchedAfterTheReceiptClosesStaysPastThePause) {
    LogIn();
    Type("1001");
    PayCashAndTotal("20");
    if (HasFatalFailure()) return;
    QTest::keyClick(entry, Qt::Key_Return);  // the receipt closes
    EXPECT_FALSE(Printout()->isVisible());
    Touch("BSys_5");  // the Special page
    ASSERT_EQ(Key("mDept_23")->text(), "Paid\nOut");
    QTest::qWait(kPastThePauseMs);
    EXPECT_EQ(gReg.gKeyPage, KeyPage::Special);
    EXPECT_EQ(Key("mDept_23")->text(), "Paid\nOut");
    EXPECT_EQ(gSale.gItemCount, 0);
}

}  // namespace
}  // namespace tarvo::ui
