// A card sale on the demo store through the register window, with the fake
// card program answering in the demo's exchange folder: the swipe typed into
// the entry box, the amount confirmed, the answer taken on the window's own
// Credit timer, the receipt with its masked card slip on the screen.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>
#include <string>

#include "card/fake_card_program.h"
#include "demo_window.h"

namespace tarvo::ui {
namespace {

class DemoCardTest : public DemoWindowTest {};

TEST_F(DemoCardTest, SwipedCardIsApprovedAndItsSlipPrintedMasked) {
    FakeCardProgram fake(dir.Path() + "/ICVerify", "demo", "");
    ASSERT_TRUE(fake.Ready());
    LogIn();
    Type("1001");
    ASSERT_EQ(gSale.gItemCount, 1);
    QTest::keyClicks(entry, "%B4111111111111111^DEMO/CARD^2812101?");
    EXPECT_EQ(entry->text().toStdString(), "%B4111111111111111^DEMO/CARD^2812101?");
    QTest::keyClick(entry, Qt::Key_Return);
    ASSERT_EQ(gReg.gPromptLine, 1) << window->Control(kMessageLine)->property("text").toString().toStdString();
    QTest::keyClick(entry, Qt::Key_Return);  // the amount proposed is confirmed
    EXPECT_TRUE(gReg.gCardBusy);
    ASSERT_TRUE(QTest::qWaitFor([] { return gSaleSave.gSaleFinished; }, 10000)) << "no approval";
    EXPECT_TRUE(gSale.gCardInSale);
    QPlainTextEdit* printout = Printout();
    ASSERT_NE(printout, nullptr);
    const std::string text = printout->toPlainText().toStdString();
    EXPECT_NE(text.find("XXXXXXXXXXXX1111"), std::string::npos) << text;
    EXPECT_EQ(text.find("4111111111111111"), std::string::npos) << text;
}

}  // namespace
}  // namespace tarvo::ui
