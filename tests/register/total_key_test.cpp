// The Total key of a document the back office is sent (a received purchase
// order): the send waits in the background, the register's keys stay locked
// until it has answered, and the rest of the Total key (the end-of-sale pause
// and the end of the order after it: a new sale holding the lines received)
// follows the answer. Refused, the order stays open and the keys come back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
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
#include "test_dir.h"

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

    void Document_Send(RegisterMode, std::function<void(bool)> then) override {
        ++sends;
        const bool sent = answer;
        Reg().runner->Post([] {},
                           [sent, then = std::move(then)] {
                               if (!sent) CIATime("Back Office Did Not Answer", 5);
                               then(sent);
                           });
    }
};

class TotalKeyTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        // The products of the order, so the sale after it holds them again.
        UseTerminalFolder(dir.Path());
        dir.Write("Files/1234567.PRD", CrLf({Fixed(273, {{1, "1001"}, {12, "COFFEE"}, {60, "Coffee"}, {100, "4"}}),
                                             Fixed(273, {{1, "1002"}, {12, "DECAF"}, {60, "Decaf"}, {100, "5"}})}));
        Parse_FileProduct();
        // The store's default client, whom a new sale begins with.
        dir.Write("Files/1234567.CLI",
                  CrLf({Fixed(210, {{1, "1"}, {11, "0"}, {12, "1"}, {20, "Cash Customer"}, {205, "0"}, {210, "1"}})}));
        Parse_FileClient();
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
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    bool KeysLocked() const {
        return !screen.Enabled(kTotalKey) && !screen.Enabled(kPaymentKey) && !screen.Enabled(kFirstSoftKey);
    }

    // The order's lines: key and quantity.
    std::vector<std::pair<std::string, double>> Lines() const {
        std::vector<std::pair<std::string, double>> out;
        for (int i = 1; i <= gSale.gItemCount; ++i) out.emplace_back(gSale.gLines[i].key, gSale.gLines[i].quantity);
        return out;
    }

    TestDir dir;
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
    EXPECT_EQ(gSale.gMode, RegisterMode::ReceivePO);  // the order stays until the pause is over

    // Then a new sale holds again the lines received.
    EXPECT_TRUE(timers.Tick(TimerId::EndSale));
    using Lines_t = std::vector<std::pair<std::string, double>>;
    EXPECT_EQ(Lines(), (Lines_t{{"COFFEE", 3}, {"DECAF", 1}}));
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 1}), "Coffee");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 2}), "Decaf");
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
    EXPECT_EQ(gSale.gMode, RegisterMode::ReceivePO);

    // The cashier may press Total again: a second send.
    online.answer = true;
    Button_Click(kTotalKey);
    ASSERT_EQ(runner.WaitAndRun(5000), 1);
    EXPECT_EQ(online.sends, 2);
    EXPECT_TRUE(gSaleSave.gSaleFinished);
}

}  // namespace
}  // namespace tarvo
