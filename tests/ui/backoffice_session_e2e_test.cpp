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
    // The session's window is up over the register while it waits.
    QtSessionWindow* status = app->Session();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->windowTitle().toStdString(), "Communication Status");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gCommSchedule.inSession; }, 15000));
    // The Internet step shows its cross, and the server step was not tried.
    EXPECT_TRUE(status->Picture(SessionRow::Internet, 2)->isVisibleTo(status));
    EXPECT_FALSE(status->Picture(SessionRow::Server, 0)->isVisibleTo(status));
    EXPECT_FALSE(status->Picture(SessionRow::Server, 1)->isVisibleTo(status));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !status->isVisible(); }, 5000)) << "it goes after its pause";
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
