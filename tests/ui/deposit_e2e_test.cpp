// The deposit form on the demo store: a manager opens it from the Special
// page, saves a deposit against a back office on 127.0.0.1, then prints its
// ticket, which shows on the screen; the register comes back on every way out.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>
#include <string>

#include "demo_window.h"
#include "online/deposit_office.h"
#include "ui/deposit_window.h"

namespace tarvo::ui {
namespace {

constexpr int kWaitMs = 5000;

class DepositE2ETest : public DemoWindowTest {
protected:
    void SetUp() override {
        DemoWindowTest::SetUp();
        if (HasFatalFailure()) return;
        office.stub.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        office.Healthy();
        office.Answer(DepositOffice::kMaster, DepositRowsReply({}));
        Type("1111");
        Type("100");
        ASSERT_FALSE(gReg.gLoggedOut);
    }
    void OpenDeposit(const char* key) {
        Touch("BSys_5");
        Touch(key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return app->Deposit()->isVisible(); }, kWaitMs));
        EXPECT_FALSE(window->isVisible());
    }
    bool Idle() {
        return QTest::qWaitFor([&] { return !app->DepositFormOf()->Busy(); }, kWaitMs);
    }

    DepositOffice office;
};

TEST_F(DepositE2ETest, ADepositIsSavedAndItsTicketShowsOnTheScreen) {
    OpenDeposit("mDept_5");
    DepositWindow* form = app->Deposit();
    EXPECT_EQ(form->Lbl_Title()->text().toStdString(), "Add a New Deposit");
    QTest::keyClicks(form->Box(kDepositNumber), "4711");
    QTest::keyClick(form->Box(kDepositNumber), Qt::Key_Return);
    ASSERT_TRUE(Idle());
    QTest::keyClicks(form->Box(kDepositDate), "03-15-2026");
    QTest::keyClicks(form->Box(kDepositAmount), "200");
    ASSERT_GT(form->Cmb_Rev()->count(), 0);
    app->DepositFormOf()->Revenue_Chosen(0);
    QTest::mouseClick(form->Cmd_Save(), Qt::LeftButton);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(form->Lbl_Msg()->text().toStdString(), "Entry Saved Successfully");
    QTest::mouseClick(form->Cmd_Cancel(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs));
    EXPECT_FALSE(form->isVisible());

    office.Answer(DepositOffice::kMaster, DepositRowsReply({{"9001", "12", "1", "1", "03-15-2026", "4711", "1 "}}));
    office.Answer(DepositOffice::kLines, DepositRowsReply({{"1", "1", "4711", "200", "1010", "12"}}));
    office.Answer(DepositOffice::kBank, DepositRowsReply({{"000123", "First Bank", "FB01", "Demo Store"}}));
    office.Answer(DepositOffice::kRevenue,
                  DepositRowsReply({{"12", "1010", "AG1", "T1", "F1", "2026", "1010", "C1", "FIPS1"}}));
    OpenDeposit("mDept_9");
    QTest::keyClicks(form->Box(kDepositNumber), "4711");
    QTest::mouseClick(form->Cmd_Save(), Qt::LeftButton);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(form->Lbl_Msg()->text().toStdString(), "Operation Completed.");
    QTest::mouseClick(form->Cmd_Cancel(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, kWaitMs));
    auto* printout = qobject_cast<QPlainTextEdit*>(W(Control::Txt_Printer));
    ASSERT_NE(printout, nullptr);
    const std::string text = printout->toPlainText().toStdString();
    EXPECT_NE(text.find("Deposit Ticket Number: 4711"), std::string::npos) << text;
    EXPECT_NE(text.find("Verified By:  Demo Cashier"), std::string::npos) << text;
    EXPECT_NE(text.find("$200.00"), std::string::npos) << text;
}

}  // namespace
}  // namespace tarvo::ui
