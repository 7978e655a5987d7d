// The on-screen printout of the demo store (printer type 20, PrintToScreen)
// in the real register window, offscreen: every printout shows, one after
// the other, and a title, double width on paper, lines up with the amounts.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string>

#include "demo_window.h"
#include "screen/register_state.h"

namespace tarvo::ui {
namespace {

class PrintoutWindowTest : public DemoWindowTest {
protected:
    // The printout on the screen holds `text`; Enter then closes it.
    void ExpectShownThenClose(const char* step, const QString& text) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(Printout()->isVisible()) << "nothing on the screen; message line: " << Screen().Text(kMessageLine);
        EXPECT_TRUE(Printout()->toPlainText().contains(text)) << Printout()->toPlainText().toStdString();
        QTest::keyClick(entry, Qt::Key_Return);
        EXPECT_FALSE(Printout()->isVisible());
    }
    // The x where the text of the panel's line holding `text` ends.
    int LineEnd(const QString& text) {
        QTextDocument* doc = Printout()->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (!b.text().contains(text)) continue;
            QTextCursor c(b);
            c.movePosition(QTextCursor::EndOfBlock);
            return Printout()->cursorRect(c).left();
        }
        ADD_FAILURE() << "no line holds " << text.toStdString();
        return -1;
    }
};

// A paid-out slip, a deposit slip, then a report, then a sale's receipt:
// each one shows.
TEST_F(PrintoutWindowTest, EveryPrintoutShowsOneAfterTheOther) {
    LogIn();
    Touch("BSys_5");    // Special
    Touch("mDept_23");  // Paid Out
    Type("5");
    ExpectShownThenClose("the paid-out slip", "PAID OUT");
    if (HasFatalFailure()) return;

    Touch("BSys_5");
    QTest::keyClicks(entry, "200");
    Touch("mDept_7");  // Deposit Safe (deposits are on in the demo)
    ExpectShownThenClose("the deposit slip", "200.00");
    if (HasFatalFailure()) return;

    Touch("BSys_4");   // Print
    Touch("mDept_3");  // the X report
    ExpectShownThenClose("the X report after the slip", "Terminal: 1234567");
    if (HasFatalFailure()) return;

    Type("1001");
    QTest::keyClick(entry, Qt::Key_F2);
    QTest::keyClicks(entry, "20");
    Touch("mDept_1");
    QTest::keyClick(entry, Qt::Key_F1);
    ExpectShownThenClose("the receipt after the report", "Thank you for shopping with us");
}

// The receipt's "Total:" line is a title: drawn double width it ends where
// the other amounts of the receipt end.
TEST_F(PrintoutWindowTest, TheTotalLineEndsWhereTheOtherAmountsEnd) {
    LogIn();
    Type("1010");  // Potato Chips, both taxes
    QTest::keyClick(entry, Qt::Key_F2);
    QTest::keyClicks(entry, "20");
    Touch("mDept_1");
    QTest::keyClick(entry, Qt::Key_F1);
    ASSERT_TRUE(Printout()->isVisible());
    const int total = LineEnd("Total:");
    const int subtotal = LineEnd("Sub Total:");
    ASSERT_GT(subtotal, 0);
    EXPECT_NEAR(total, subtotal, 2) << Printout()->toPlainText().toStdString();
}

}  // namespace
}  // namespace tarvo::ui
