// The cash count window offscreen: it opens through the office, its keys and
// boxes reach the core's form, and every caption and amount fits its control.
#include "ui/cash_count_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <string>
#include <vector>

#include "office/cash_count.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace tarvo::ui {
namespace {

class CountServices : public RegisterServices {
public:
    void Count_Cash_Resume() override { calls.push_back("Count_Cash_Resume"); }
    std::vector<std::string> calls;
};

class CashCountFormTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &services;
        // A receipt printer whose drawer kick reads "D".
        gSettings.gPrinterType = PrinterType::Com1;
        print_golden::SetCode(4, "D");
        PrinterCodes_Load();
        window = std::make_unique<CashCountWindow>();
        CashCount_SetView(window.get());
    }
    void TearDown() override {
        CashCount_SetView(nullptr);
        window.reset();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }
    // Every text of the window fits its control at the font it is drawn in.
    void ExpectEveryTextFits() {
        for (QWidget* w : window->TextControls()) {
            const std::optional<TextRoom> room = TextRoomOf(w);
            ASSERT_TRUE(room.has_value());
            const QString text = TextOf(w);
            EXPECT_TRUE(TextFits(w->font(), text, *room)) << text.toStdString();
            if (!room->wraps) {
                const QFontMetrics fm(w->font());
                EXPECT_LE(fm.horizontalAdvance(text), room->rect.width()) << text.toStdString();
                EXPECT_LE(fm.height(), room->rect.height()) << text.toStdString();
            }
        }
    }

    // The form opened through the office; what reached the printer meanwhile.
    std::string Open() {
        PrinterCapture printer;
        EXPECT_TRUE(CashCount_Open());
        return printer.bytes;
    }

    TestDir dir;
    CountServices services;
    std::unique_ptr<CashCountWindow> window;
};

TEST_F(CashCountFormTest, ShowsTheFormsCaptions) {
    EXPECT_EQ(Open(), "D\r\n");  // the drawer opens for the count
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(services.calls.empty());
    const char* cash[] = {"$100", "$50", "$20", "$10", "$5", "$1", "$2", "$1", "$.25", "$.10", "$.05", "$.01"};
    for (int i = 0; i < kCashDenominations; ++i) EXPECT_EQ(window->cmd_Cash(i)->text(), cash[i]);
    const char* pad[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "00", "."};
    for (int k = 0; k < kCashNumberPadKeys; ++k) EXPECT_EQ(window->cmd_NumberPad(k)->text(), pad[k]);
    const char* labels[] = {"Cash In Drawer", "Other Collections(+)", "Total Deposits", "Opening/Closing(-)",
                            "Paidouts",       "Over / Short"};
    for (int i = 0; i < kCashSummaryBoxes; ++i) EXPECT_EQ(window->Label(i)->text(), labels[i]);
    EXPECT_EQ(window->Cmd_Print()->text(), "PRINT");
    EXPECT_EQ(window->cmd_Abort()->text(), "CANCEL");
    EXPECT_EQ(window->Cmd_Erase()->text(), "ERASE");
    std::vector<std::string> texts;
    for (QWidget* w : window->TextControls()) texts.push_back(TextOf(w).toStdString());
    for (const char* caption : {" Bills ", "Coins", "Summary", "Total to Withdraw"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), caption), texts.end()) << caption;
    ExpectEveryTextFits();
}

TEST_F(CashCountFormTest, KeysAndBoxesReachTheForm) {
    Open();
    ASSERT_NE(CashCount_Form(), nullptr);
    CashCountForm& f = *CashCount_Form();
    QTest::mouseClick(window->cmd_Cash(0), Qt::LeftButton);
    QTest::mouseClick(window->cmd_NumberPad(2), Qt::LeftButton);
    EXPECT_EQ(f.QuantityText(0), "2");
    EXPECT_EQ(window->txt_Cash(0)->text(), "2");
    QTest::mouseClick(window->txt_Cash(8), Qt::LeftButton);
    EXPECT_EQ(f.CashIndex(), 8);
    QTest::mouseClick(window->cmd_NumberPad(3), Qt::LeftButton);
    QTest::mouseClick(window->cmd_NumberPad(11), Qt::LeftButton);  // "." does nothing here
    EXPECT_EQ(f.QuantityText(8), "3");
    EXPECT_EQ(window->txt_Summary(kCashInDrawer)->text(), "$200.75");

    // Typed into a quantity box: digits go through the pad, other keys are dropped.
    QTest::keyClicks(window->txt_Cash(3), "4x.");
    EXPECT_EQ(f.QuantityText(3), "4");
    EXPECT_EQ(window->txt_Cash(3)->text(), "4");

    QTest::mouseClick(window->txt_Summary(kOtherCollections), Qt::LeftButton);
    EXPECT_FALSE(f.EntryToCash());
    QTest::mouseClick(window->cmd_NumberPad(5), Qt::LeftButton);
    QTest::mouseClick(window->cmd_NumberPad(10), Qt::LeftButton);
    EXPECT_EQ(f.SummaryText(kOtherCollections), "500");
    EXPECT_EQ(window->txt_DailyTotal()->text(), "$740.75");

    // A typed amount that is not a number is refused; the box keeps the last one.
    window->txt_Summary(kOtherCollections)->clear();
    QTest::keyClicks(window->txt_Summary(kOtherCollections), "12abc");
    EXPECT_EQ(f.SummaryText(kOtherCollections), "12");
    EXPECT_EQ(window->txt_Summary(kOtherCollections)->text(), "12");
    EXPECT_EQ(window->txt_DailyTotal()->text(), "$252.75");

    f.Box_Focus(kOtherCollections, true);
    QTest::mouseClick(window->Cmd_Erase(), Qt::LeftButton);
    EXPECT_EQ(f.SummaryText(kOtherCollections), "");
    EXPECT_EQ(window->txt_DailyTotal()->text(), "$240.75");

    QTest::keyClick(window->txt_Cash(3), Qt::Key_Return);  // Enter: the next denomination
    EXPECT_EQ(f.CashIndex(), 4);
    EXPECT_TRUE(f.EntryToCash());
    ExpectEveryTextFits();

    QTest::keyClick(window.get(), Qt::Key_Escape);  // as CANCEL
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(screen.Visible(kRegisterForm));
    EXPECT_TRUE(services.calls.empty());  // no report after a cancelled count
}

TEST_F(CashCountFormTest, TheWidestAmountsFit) {
    Open();
    ASSERT_NE(CashCount_Form(), nullptr);
    CashCountForm& f = *CashCount_Form();
    for (int i = 0; i < kCashDenominations; ++i) ASSERT_TRUE(f.Quantity_Typed(i, "999"));
    ASSERT_TRUE(f.Summary_Typed(kOtherCollections, "810,779.40"));
    for (int i : {kTotalDeposits, kPaidouts, kOverShort}) ASSERT_TRUE(f.Summary_Typed(i, "-$999,999.99"));
    ASSERT_FALSE(f.Summary_Typed(kOpeningClosing, "-1"));  // the total would reach a million
    EXPECT_EQ(window->txt_Summary(kCashInDrawer)->text(), "$189,220.59");
    EXPECT_EQ(window->txt_DailyTotal()->text(), "$999,999.99");
    ExpectEveryTextFits();
}

}  // namespace
}  // namespace tarvo::ui
