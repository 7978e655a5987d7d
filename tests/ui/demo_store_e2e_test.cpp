// A cashier's day on the demo store, through the register window's keys and
// touch keys only: a cash sale, a cash refund, a sale suspended and recalled;
// then the invoice, line, payment and activity records those left on disk.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdint>
#include <string>

#include "config/constants.h"
#include "data/data_state.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "demo_window.h"
#include "ui/terminal_form.h"

namespace tarvo::ui {
namespace {

constexpr int kLongWaitMs = 20000;  // the end-of-sale pause on a loaded machine

std::string Pad(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}

class DemoStoreE2ETest : public DemoWindowTest {
protected:
    // Total (F1) on a paid sale: its receipt shows on the screen and stays
    // there past the end-of-sale pause until Enter closes it; the next sale
    // then starts empty.
    void TotalAndCloseReceipt(const char* step) {
        SCOPED_TRACE(step);
        QTest::keyClick(entry, Qt::Key_F1);
        ASSERT_TRUE(gSaleSave.gSaleFinished) << "the sale was not saved";
        QPlainTextEdit* printout = Printout();
        ASSERT_NE(printout, nullptr);
        ASSERT_TRUE(printout->isVisible()) << "the receipt is not on the screen";
        EXPECT_TRUE(printout->toPlainText().contains("Thank you for shopping with us"))
            << printout->toPlainText().toStdString();
        // The pause ends while the receipt is up: the sale waits for the cashier.
        ASSERT_TRUE(QTest::qWaitFor([] { return gSaleSave.gEndAfterPrintout; }, kLongWaitMs));
        EXPECT_TRUE(printout->isVisible());
        EXPECT_TRUE(gSaleSave.gSaleFinished);
        QTest::keyClick(entry, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([] { return !gSaleSave.gSaleFinished; }, kLongWaitMs));
        EXPECT_FALSE(printout->isVisible());
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(gSale.gPaymentCount, 0);
    }

    std::string DataFile(const char* ext) const { return dir.Path() + "/Data/1234567" + ext; }
};

TEST_F(DemoStoreE2ETest, SaleRefundAndSuspendedSaleThroughTheKeysLeaveTheirRecords) {
    // Log in with the opening amount.
    Type("1111");
    Type("100");
    ASSERT_EQ(gReg.gPromptState, PromptState::None);
    ASSERT_EQ(gReg.gCashierIndex, 1);

    // 1. A sale of two coffees paid 50 in cash on the payment page.
    Type("1001");
    Type("1002");
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gSubtotal.Text(), "18.48");
    QTest::keyClick(entry, Qt::Key_F2);
    ASSERT_EQ(gReg.gKeyPage, KeyPage::Payment);
    QTest::keyClicks(entry, "50");
    Touch("mDept_1");
    ASSERT_EQ(gSale.gPaymentCount, 1);
    EXPECT_EQ(gSale.gTotal.Text(), "18.48");  // coffee bears no tax
    EXPECT_EQ(gSale.gPayments[1].amount.Text(), "50");
    TotalAndCloseReceipt("the sale");
    if (HasFatalFailure()) return;

    // 2. A return of one coffee, refunded in cash.
    Touch("BSys_5");  // the Special page
    Touch("mDept_16");
    ASSERT_TRUE(gSale.gReturnMode);
    Type("1001");
    ASSERT_EQ(gSale.gItemCount, 1);
    ASSERT_LT(gSale.gTotal, Money());
    EXPECT_EQ(gSale.gTotal.Text(), "-8.99");
    QTest::keyClick(entry, Qt::Key_F2);
    ASSERT_EQ(gReg.gKeyPage, KeyPage::Payment);
    Touch("mDept_1");  // nothing typed: the whole balance back in cash
    ASSERT_EQ(gSale.gPaymentCount, 1);
    EXPECT_EQ(gSale.gPayments[1].amount.Text(), "-8.99");
    TotalAndCloseReceipt("the refund");
    if (HasFatalFailure()) return;
    EXPECT_FALSE(gSale.gReturnMode);

    // 3. A sale put aside and taken up again with its lines.
    Type("1002");
    Type("1001");
    ASSERT_EQ(gSale.gItemCount, 2);
    Touch("BSys_5");
    Touch("mDept_21");
    ASSERT_TRUE(gSale.gSuspended);
    ASSERT_EQ(gSale.gItemCount, 0);
    Touch("BSys_5");
    Touch("mDept_21");
    ASSERT_FALSE(gSale.gSuspended);
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gLines[1].key, "1002");
    EXPECT_EQ(gSale.gLines[2].key, "1001");
    EXPECT_EQ(gSale.gSubtotal.Text(), "18.48");
    auto text = [&](Control c, int i) {
        auto* w = W(c, i);
        EXPECT_NE(w, nullptr);
        return w ? w->property("text").toString().toStdString() : std::string();
    };
    EXPECT_EQ(text(Control::Rt_Description, 1), "Decaf Coffee 1 lb");
    EXPECT_EQ(text(Control::Rt_Description, 2), "Coffee 1 lb");

    // 4. The records on disk: two invoices, their lines and cash tenders.
    const std::string& date = gReg.gBusinessDate;
    ASSERT_EQ(date.size(), 8u);
    WorkFile inv, dtl, pay, act;
    ASSERT_TRUE(inv.Open(DataFile(".INV"), 150));
    ASSERT_TRUE(dtl.Open(DataFile(".DTL"), 90));
    ASSERT_TRUE(pay.Open(DataFile(".PAY"), 235));
    ASSERT_TRUE(act.Open(DataFile(".ACT"), 60));

    ASSERT_EQ(inv.RecordCount(), 3);
    EXPECT_EQ(inv.Read(1), Pad("3", 101));
    const std::string sale = inv.Read(2), refund = inv.Read(3);
    ASSERT_EQ(sale.size(), 143u);
    ASSERT_EQ(refund.size(), 143u);
    EXPECT_EQ(sale.substr(0, 19), "0000002 0 0" + date);
    EXPECT_EQ(refund.substr(0, 19), "0000003 0 1" + date);
    for (const std::string* r : {&sale, &refund}) {
        EXPECT_EQ(r->substr(23, 8), Pad("1", 8));                             // the cashier's number
        EXPECT_EQ(r->substr(31, 24), Pad("", 8) + Pad("1", 8) + Pad("", 8));  // no manager; the default client
    }
    // Subtotal, sale discount, taxes 1-3, total, change, status (settled),
    // reference, line and tender counts.
    const std::string noDiscountNorTax = Pad("0", 9) + Pad("0", 9) + Pad("0", 9) + Pad("0", 9);
    EXPECT_EQ(sale.substr(55),
              Pad("18.48", 9) + noDiscountNorTax + Pad("18.48", 9) + Pad("31.52", 9) + "4" + Pad("", 20) + "2  1");
    EXPECT_EQ(refund.substr(55),
              Pad("-8.99", 9) + noDiscountNorTax + Pad("-8.99", 9) + Pad("0", 9) + "4" + Pad("", 20) + "1  1");

    // Line records: price columns, then no note and no kit.
    const std::string plain = Pad("", 21) + "00";
    ASSERT_EQ(dtl.RecordCount(), 4);
    EXPECT_EQ(dtl.Read(1), Pad("4", 61));
    EXPECT_EQ(dtl.Read(2),
              "0000002001" + Pad("1001", 8) + Pad("1001", 20) + Pad("1", 9) + Pad("8.99", 9) + Pad("8.99", 9) + plain);
    EXPECT_EQ(dtl.Read(3),
              "0000002002" + Pad("1002", 8) + Pad("1002", 20) + Pad("1", 9) + Pad("9.49", 9) + Pad("9.49", 9) + plain);
    EXPECT_EQ(dtl.Read(4),
              "0000003001" + Pad("1001", 8) + Pad("1001", 20) + Pad("-1", 9) + Pad("8.99", 9) + Pad("8.99", 9) + plain);

    // The cash tenders, the sale's net of its change; no reference nor card.
    const std::string noCard = Pad("", 20) + "0" + Pad("", 25 + 10 + 50 + 100);
    ASSERT_EQ(pay.RecordCount(), 3);
    EXPECT_EQ(pay.Read(1), Pad("3", 233));
    EXPECT_EQ(pay.Read(2), "000000201" + Pad("1", 8) + Pad("18.48", 9) + noCard);
    EXPECT_EQ(pay.Read(3), "000000301" + Pad("1", 8) + Pad("-8.99", 9) + noCard);

    // The opening amount in the activity journal.
    ASSERT_GE(act.RecordCount(), 2);
    EXPECT_EQ(act.Read(1), Pad(std::to_string(act.RecordCount()), std::to_string(act.RecordCount()).size() + 40));
    int openings = 0;
    for (std::int64_t k = 2; k <= act.RecordCount(); ++k) {
        const std::string r = act.Read(k);
        ASSERT_EQ(r.size(), 48u) << k;
        if (r[12] != 'O') continue;
        ++openings;
        EXPECT_EQ(r.substr(0, 8), date);
        EXPECT_EQ(r.substr(12), "O0" + Pad("", 8) + Pad("1", 8) + Pad("100", 9) + Pad("", 9));
    }
    EXPECT_EQ(openings, 1);
}

// Change Terminal on the System page: refused while the day's records wait
// to be sent; once they are gone the terminal-number form comes up over the
// register, and its Exit brings the register back unchanged.
TEST_F(DemoStoreE2ETest, ChangeTerminalShowsTheTerminalFormAndExitReturnsToTheRegister) {
    Type("1111");
    Type("100");
    ASSERT_TRUE(QTest::qWaitFor([] { return gReg.gCashierIndex != 0 && gReg.gPromptState == PromptState::None; },
                                5000));
    Touch("BSys_1");
    Touch("mDept_1");  // the opening record is not sent yet
    EXPECT_EQ(app->Terminal(), nullptr);
    EXPECT_TRUE(window->isVisible());
    Touch("mDept_24");  // Delete All (the question answers yes here)
    ASSERT_EQ(Files_UnsentAll(), 0);
    Touch("BSys_1");
    Touch("mDept_1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Terminal() && app->Terminal()->isVisible(); }, 5000));
    EXPECT_FALSE(window->isVisible());
    // No scheduled session starts while the form may change the terminal.
    EXPECT_FALSE(window->RegisterTimers().Running(TimerId::Comm));
    app->Terminal()->reject();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 5000));
    EXPECT_FALSE(app->Terminal()->isVisible());
    EXPECT_TRUE(window->RegisterTimers().Running(TimerId::Comm));
    EXPECT_EQ(window->RegisterTimers().Interval(TimerId::Comm), 60000);
    EXPECT_EQ(gTerminalNumber, "1234567");
}

}  // namespace
}  // namespace tarvo::ui
