// The documents other than sales through the real program on the demo store,
// offscreen, as a cashier makes them: a purchase from a vendor chosen on the
// vendor list with its header page, costs and prices; a stock out with its
// reason; a customer order with its header page and a deposit. Each is saved
// by Total, printed on the screen, and its records are in the files.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <string>

#include "data/transaction_files.h"
#include "demo_window.h"
#include "forms/entry_form.h"
#include "register_mode_print.h"
#include "screen/register_context.h"
#include "ui/entry_window.h"
#include "ui/search_window.h"

namespace tarvo::ui {
namespace {

constexpr int kWaitMs = 5000;

class DocumentsE2ETest : public DemoWindowTest {
protected:
    void SetUp() override {
        DemoWindowTest::SetUp();
        if (HasFatalFailure()) return;
        Type("1111");
        Type("100");
        ASSERT_FALSE(gReg.gLoggedOut);
    }
    void Touch(const char* objectName) {
        QPushButton* key = Key(objectName);
        ASSERT_NE(key, nullptr) << objectName;
        ASSERT_TRUE(key->isVisible() && key->isEnabled()) << objectName;
        QTest::mouseClick(key, Qt::LeftButton);
    }
    // A key of the Mode page.
    void ModeKey(const char* objectName) {
        Touch("BSys_2");
        Touch(objectName);
    }
    QPlainTextEdit* Printout() { return qobject_cast<QPlainTextEdit*>(W(Control::Txt_Printer)); }
    // Total (F1): the document saved and printed on the screen, then closed.
    std::string TotalAndPrintout() {
        QTest::keyClick(entry, Qt::Key_F1);
        EXPECT_TRUE(gSaleSave.gSaleFinished) << Screen().Text(kMessageLine);
        QPlainTextEdit* p = Printout();
        if (!p || !p->isVisible()) {
            ADD_FAILURE() << "no printout on the screen";
            return {};
        }
        const std::string text = p->toPlainText().toStdString();
        QTest::keyClick(entry, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([] { return !gSaleSave.gSaleFinished; }, 20000));
        return text;
    }
    // The Print page's reprint key `key`, with `number` typed first: the
    // document on the screen again, then closed.
    std::string Reprint(const char* number, const char* key) {
        Touch("BSys_4");
        QTest::keyClicks(entry, number);
        Touch(key);
        QPlainTextEdit* p = Printout();
        if (!p || !p->isVisible()) {
            ADD_FAILURE() << "no reprint on the screen: " << Screen().Text(kMessageLine);
            return {};
        }
        const std::string text = p->toPlainText().toStdString();
        QTest::keyClick(entry, Qt::Key_Return);
        return text;
    }
    // Record k of a transaction file of the terminal, as the register reads it.
    std::string Record(const char* ext, int recordLength, int k) {
        WorkFile f;
        if (!f.Open(dir.Path() + "/Data/1234567" + ext, recordLength)) return {};
        return f.Read(k);
    }
};

TEST_F(DocumentsE2ETest, APurchaseFromAVendorWithCostsIsSavedAndPrinted) {
    ModeKey("mDept_4");
    SearchWindow* search = app->Search();
    ASSERT_TRUE(QTest::qWaitFor([&] { return search->isVisible(); }, kWaitMs));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(search->Cell(1, 1)->text(), "Vendor Name");
    EXPECT_EQ(search->Cell(2, 1)->text(), "Springfield Coffee Roasters");
    QTest::keyClick(search, Qt::Key_Return);

    EntryWindow* form = app->Entry();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, kWaitMs));
    ASSERT_EQ(form->Rows(), 9);
    EXPECT_EQ(form->Col1(1)->text(), "Name of Contact");
    QTest::keyClicks(form->Col2(1), "Tom Roast");
    QTest::keyClicks(form->Col2(3), "20261224");
    QTest::mouseClick(form->Button(kEntrySaveExit), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs));
    EXPECT_EQ(gSale.gMode, RegisterMode::Purchase);
    EXPECT_EQ(gSale.gPurchaseVendor, "V100");
    EXPECT_NE(Screen().Text(kMessageBox).find("Springfield Coffee Roasters"), std::string::npos);
    // The vendor's information is read whole, without scrolling.
    auto* info = qobject_cast<QPlainTextEdit*>(W(Control::Txt_All));
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(info->isVisible());
    EXPECT_EQ(info->verticalScrollBar()->maximum(), 0);

    // The product, then its cost, retail price and comment on the prompt line.
    Type("1001");
    ASSERT_EQ(gSale.gItemCount, 1);
    ASSERT_EQ(gReg.gPromptLine, 10);
    Type("4.50");
    ASSERT_EQ(gReg.gPromptLine, 11);
    Type("9.99");
    ASSERT_EQ(gReg.gPromptLine, 12);
    Type("fresh roast");
    EXPECT_FALSE(gReg.gPromptLineActive);
    EXPECT_EQ(gSale.gLines[1].unitPrice.Text(), "4.5");
    EXPECT_EQ(gSale.gSubtotal.Text(), "4.5");

    const std::string printed = TotalAndPrintout();
    EXPECT_NE(printed.find("Springfield Coffee Roasters"), std::string::npos) << printed;
    const std::string header = Record(".PUR", 300, 2);
    ASSERT_EQ(header.size(), 298u);
    EXPECT_EQ(header.substr(0, 11), "0000002 0 2");
    EXPECT_EQ(header.substr(31, 16), "20261224V100    ");
    EXPECT_EQ(header.substr(132, 10), "Tom Roast ");
    const std::string line = Record(".PUL", 90, 2);
    ASSERT_EQ(line.size(), 88u);
    EXPECT_EQ(line.substr(0, 10), "0000002001");
    EXPECT_EQ(line.substr(47, 18), "9.99     4.5      ");
    EXPECT_EQ(line.substr(65, 12), "fresh roast ");
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);  // back to sales
    EXPECT_EQ(Reprint("2", "mDept_15"), printed);
}

TEST_F(DocumentsE2ETest, LeavingTheVendorListOrTheHeaderPageCancelsThePurchase) {
    ModeKey("mDept_4");
    SearchWindow* search = app->Search();
    ASSERT_TRUE(QTest::qWaitFor([&] { return search->isVisible(); }, kWaitMs));
    QTest::keyClick(search, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs));
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);

    ModeKey("mDept_4");
    ASSERT_TRUE(QTest::qWaitFor([&] { return search->isVisible(); }, kWaitMs));
    QTest::keyClick(search, Qt::Key_Return);
    EntryWindow* form = app->Entry();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, kWaitMs));
    // The page opens with its defaults in three rows: Exit asks once.
    QTest::keyClick(form->Col2(1), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(form->Col2(1), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs));
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(gSale.gPurchaseVendor, "");
}

TEST_F(DocumentsE2ETest, AStockOutWithItsReasonIsSavedAndPrinted) {
    ModeKey("mDept_14");
    ASSERT_EQ(gReg.gPromptLine, 9);
    // The cashier reads the nine reasons on the panel, not the welcome.
    auto* reasons = qobject_cast<QLabel*>(W(Control::Greeting));
    ASSERT_NE(reasons, nullptr);
    EXPECT_TRUE(reasons->isVisible());
    EXPECT_EQ(reasons->text().toStdString(),
              " 1  Breakage\n2  Damaged\n3  Expired\n4  Physical Count\n5  Samples to Clients\n"
              "6  Samples to Salesmen\n7  Shortage\n8  Theft\n9  Other");
    Type("8");
    ASSERT_EQ(gSale.gMode, RegisterMode::Adjustment);
    Type("1001");
    Type("1002");
    ASSERT_EQ(gSale.gItemCount, 2);
    const std::string printed = TotalAndPrintout();
    EXPECT_NE(printed.find("INVENTORY ADJUSTMENT"), std::string::npos) << printed;
    const std::string header = Record(".ADJ", 90, 2);
    ASSERT_EQ(header.size(), 88u);
    EXPECT_EQ(header.substr(0, 9), "0000002 0");
    EXPECT_EQ(header.substr(37, 2), "8 ");
    EXPECT_EQ(header.substr(39, 7), "-18.48 ");
    EXPECT_EQ(Record(".ADD", 80, 3).substr(0, 10), "0000002002");
    EXPECT_EQ(Record(".ADD", 80, 2).substr(38, 8), "-1      ");
    EXPECT_EQ(Reprint("", "mDept_10"), printed);
}

TEST_F(DocumentsE2ETest, ACustomerOrderWithADepositIsSavedAndPrinted) {
    ModeKey("mDept_21");
    EntryWindow* form = app->Entry();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }, kWaitMs));
    ASSERT_EQ(form->Rows(), 7);
    EXPECT_EQ(form->Col1(1)->text(), "Order Type");
    form->Col2(1)->selectAll();
    QTest::keyClicks(form->Col2(1), "2");  // a layaway
    QTest::keyClicks(form->Col2(7), "Hold until Friday");
    QTest::mouseClick(form->Button(kEntrySaveExit), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs));
    ASSERT_EQ(gSale.gMode, RegisterMode::OrderEntry);

    Type("1001");
    QTest::keyClick(entry, Qt::Key_F2);
    QTest::keyClicks(entry, "5");
    Touch("mDept_1");  // a cash deposit
    ASSERT_EQ(gSale.gPaymentCount, 1);
    const std::string printed = TotalAndPrintout();
    EXPECT_NE(printed.find("Hold until Friday"), std::string::npos) << printed;
    const std::string header = Record(".ORD", 252, 2);
    ASSERT_EQ(header.size(), 239u);
    EXPECT_EQ(header.substr(0, 11), "0000002 0 1");
    EXPECT_EQ(header[118], '2');  // part paid
    EXPECT_EQ(header.substr(124, 2), "11");
    EXPECT_EQ(header.substr(129, 18), "Hold until Friday ");
    EXPECT_EQ(Record(".ORP", 235, 2).substr(0, 26), "000000201" + std::string("1       ") + "5        ");
    // The reprint is marked as a copy; the order itself is the same.
    const std::string again = Reprint("2", "mDept_14");
    EXPECT_NE(again.find("Hold until Friday"), std::string::npos) << again;
}

}  // namespace
}  // namespace tarvo::ui
