// A session with the back office on the demo store while the Internet is
// out: Communicate on the Special page waits in the background, then says
// so, logs why, and the register goes on with its keys back.
#include <gtest/gtest.h>

#include <QTest>
#include <string>

#include "demo_window.h"
#include "office/communication.h"

namespace tarvo::ui {
namespace {

TEST_F(DemoWindowTest, ABackOfficeSessionDuringAnOutageSaysSoAndTheRegisterGoesOn) {
    LogIn();
    Touch("BSys_5");
    Touch("mDept_1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gCommSchedule.inSession; }, 15000));
    const std::string said = window->Control(kMessageLine)->property("text").toString().toStdString();
    EXPECT_EQ(said, "Internet Connection Is Not Available");
    EXPECT_NE(dir.Read("Files/" + gTerminalNumber + ".LOG").find("Communication: the Internet did not answer"),
              std::string::npos);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(gReg.gCashierIndex, 1);
    // The register takes a sale again.
    Type("1001");
    EXPECT_EQ(gSale.gItemCount, 1);
}

}  // namespace
}  // namespace tarvo::ui
