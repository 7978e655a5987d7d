#include "transfer/transfer_service.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

#include "common/line_reader.h"
#include "data/log.h"
#include "program_state.h"
#include "screen/register_context.h"
#include "test_dir.h"
#include "test_net.h"

namespace tarvo {
namespace {

// The transfer on a program folder of its own, its Internet check aimed at
// a loopback address and its dial commands noting their arguments.
class SessionTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        Reg() = RegisterContext{};
        Reg().programFolder = dir.Path();
        ASSERT_TRUE(Log_Open(dir / "test.LOG"));
        dir.Write("dial.sh", "echo \"$*\" >> " + (dir / "runs") + "\n");
        internet.connectTimeoutMs = 300;
        internet.totalTimeoutMs = 1000;
        transfer.internet = &internet;
        transfer.dial = &dial;
    }
    void TearDown() override {
        ProgramLog().Close();
        Reg() = RegisterContext{};
    }
    std::vector<std::string> Runs() const { return SplitLines(dir.Read("runs")); }

    TestDir dir;
    InternetCheckConfig internet;
    DialCommands dial{"/bin/sh " + (dir / "dial.sh") + " up {entry} {user} {password}",
                      "/bin/sh " + (dir / "dial.sh") + " down {entry}", 5000};
    SessionTransfer transfer;
};

TEST_F(SessionTransferTest, DialsTheEntryOfTheDialSettingsUntilTheInternetAnswers) {
    ClosedPort offline;
    internet.url = offline.Url();
    EXPECT_FALSE(transfer.Internet_Check());

    EXPECT_EQ(transfer.ReadDialSettings(), 2);  // no Files/Dial.Set yet
    EXPECT_NE(dir.Read("test.LOG").find("Dial-up: Dial.Set not found"), std::string::npos);
    EXPECT_TRUE(gComm.gDialEntry.empty());

    dir.Write("Files/Dial.Set", "Shop Line\nshop12\nsecret\n");
    ASSERT_EQ(transfer.ReadDialSettings(), 1);
    EXPECT_EQ(gComm.gDialEntry, "Shop Line");
    EXPECT_EQ(gComm.gDialUser, "shop12");
    EXPECT_EQ(gComm.gDialPassword, "secret");

    // Still offline: four tries, then failure.
    EXPECT_EQ(transfer.RasDialConnect(), 3);
    EXPECT_FALSE(gComm.gInternetAvailable);
    EXPECT_EQ(Runs().size(), 4u);

    LocalHttpServer server(200);
    internet.url = server.Url();
    std::filesystem::remove(dir / "runs");
    EXPECT_EQ(transfer.RasDialConnect(), 1);
    EXPECT_TRUE(gComm.gInternetAvailable);
    transfer.RasDialHangUp();
    EXPECT_EQ(Runs(), (std::vector<std::string>{"up Shop Line shop12 secret", "down Shop Line"}));
}

}  // namespace
}  // namespace tarvo
