// The Total key of a document the back office is sent (a received purchase
// order): the send waits in the background, the register's keys stay locked
// until it has answered, and the rest of the Total key (the end-of-sale pause
// and the end of the order after it) follows the answer. Refused, the order
// stays open and the keys come back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "data/sale_state.h"
#include "platform/background_runner.h"
#include "register/keyboard.h"
#include "register/register_fixture.h"
#include "register/register_keys.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/messages.h"

namespace tarvo {
namespace {

constexpr ControlId kTotalKey{Control::mTotalRegister, 0};
constexpr ControlId kFirstSoftKey{Control::mDept, 1};

// The online services with the document's send waiting on the register's
// background runner, as an answer from a server does; `answer` is the back
// office's.
class WaitingSend : public RegisterServices {
public:
    bool answer = true;
    int sends = 0;
    int ordersEnded = 0;

    void Document_Send(RegisterMode, std::function<void(bool)> then) override {
        ++sends;
        const bool sent = answer;
        Reg().runner->Post([] {},
                           [sent, then = std::move(then)] {
                               if (!sent) CIATime("Back Office Did Not Answer", 5);
                               then(sent);
                           });
    }
    void Delete_This() override { ++ordersEnded; }
};

class TotalKeyTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Reg().services = &online;
        Reg().runner = &runner;
        EndSaleTimer_Connect();
        gSaleSave = SaleSaveState{};
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261209";
        // A received purchase order of two lines, counted in.
        gSale.gMode = RegisterMode::ReceivePO;
        sale_builder::AddLine("1001", "COFFEE", 3, "4", "4");
        sale_builder::AddLine("1002", "DECAF", 1, "5", "5");
        gReg.gEnteredAmount = Money();
        Buttons_Unlock();
        Total_Activate();
        ASSERT_TRUE(screen.Enabled(kTotalKey));
    }
    void TearDown() override {
        gSaleSave = SaleSaveState{};
        RegisterTest::TearDown();
    }

    bool KeysLocked() const {
        return !screen.Enabled(kTotalKey) && !screen.Enabled(kPaymentKey) && !screen.Enabled(kFirstSoftKey);
    }

    WaitingSend online;
    ManualRunner runner;
};

TEST_F(TotalKeyTest, KeysStayLockedUntilTheSendAnswersAndTheOrderEndsAfterThePause) {
    screen.SetCaption(kFirstSoftKey, "Coffee");
    Button_Click(kTotalKey);
    EXPECT_EQ(online.sends, 1);
    EXPECT_TRUE(KeysLocked());
    EXPECT_EQ(screen.Text(kMessageLine), "    " + Msg(Message::PrintingInProgress));
    EXPECT_FALSE(timers.Running(TimerId::EndSale));
    EXPECT_FALSE(gSaleSave.gSaleFinished);

    // Pressed again while the send waits (the keyboard, or a card approved
    // meanwhile): nothing is sent twice.
    Form_KeyDown(KeyCode::F1, 0);
    mTotalRegister_Click();
    EXPECT_EQ(online.sends, 1);

    ASSERT_EQ(runner.WaitAndRun(5000), 1);
    EXPECT_TRUE(gSaleSave.gSaleFinished);
    EXPECT_TRUE(timers.Running(TimerId::EndSale));
    EXPECT_TRUE(KeysLocked());  // until the next sale
    EXPECT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(online.ordersEnded, 0);

    EXPECT_TRUE(timers.Tick(TimerId::EndSale));
    EXPECT_EQ(online.ordersEnded, 1);
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(online.sends, 1);
}

TEST_F(TotalKeyTest, ARefusedSendLeavesTheOrderOpenAndGivesTheKeysBack) {
    online.answer = false;
    screen.SetText(kMessageLine, "");
    Button_Click(kTotalKey);
    EXPECT_TRUE(KeysLocked());

    ASSERT_EQ(runner.WaitAndRun(5000), 1);
    EXPECT_EQ(screen.Text(kMessageLine), "Back Office Did Not Answer");
    EXPECT_TRUE(screen.Enabled(kTotalKey));
    EXPECT_TRUE(screen.Enabled(kPaymentKey));
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_FALSE(timers.Running(TimerId::EndSale));
    EXPECT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(online.ordersEnded, 0);

    // The cashier may press Total again: a second send.
    online.answer = true;
    Button_Click(kTotalKey);
    ASSERT_EQ(runner.WaitAndRun(5000), 1);
    EXPECT_EQ(online.sends, 2);
    EXPECT_TRUE(gSaleSave.gSaleFinished);
}

}  // namespace
}  // namespace tarvo
