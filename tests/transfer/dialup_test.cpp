#include "transfer/dialup.h"

#include <gtest/gtest.h>

#include <optional>

#include "common/line_reader.h"
#include "data/log.h"
#include "test_dir.h"

namespace tarvo {
namespace {

TEST(ReadDialSettings, NeedsThreeWholeLines) {
    struct Case {
        const char* name;
        std::optional<std::string> content;
        int result;
    } cases[] = {
        {"missing", std::nullopt, 2},
        {"empty", "", 2},
        {"one line", "ISP\r\n", 2},
        {"two lines", "ISP\r\nuser\r\n", 2},
        {"three lines", "Home Dial Up\r\nshop 12\r\n p w \r\n", 1},
        {"no final line end", "Home Dial Up\r\nshop 12\r\n p w ", 1},
        {"extra lines ignored", "Home Dial Up\nshop 12\n p w \nmore\n", 1},
    };
    for (const auto& c : cases) {
        TestDir dir;
        if (c.content) dir.Write("Files/Dial.Set", *c.content);
        DialValues v{"old entry", "old user", "old password"};
        std::string why;
        EXPECT_EQ(ReadDialSettings(dir.Path(), v, &why), c.result) << c.name;
        if (c.result == 1) {
            EXPECT_EQ(v.entry, "Home Dial Up") << c.name;
            EXPECT_EQ(v.user, "shop 12") << c.name;
            EXPECT_EQ(v.password, " p w ") << c.name;
        } else {
            EXPECT_EQ(v.entry, "old entry") << c.name;  // nothing changed
            EXPECT_EQ(v.password, "old password") << c.name;
            EXPECT_FALSE(why.empty()) << c.name;
        }
    }
}

TEST(ReadDialSettings, FileNameCaseDoesNotMatter) {
    TestDir dir;
    dir.Write("Files/DIAL.SET", "ISP\nuser\npassword\n");
    DialValues v;
    EXPECT_EQ(ReadDialSettings(dir.Path(), v), 1);
    EXPECT_EQ(v.entry, "ISP");
}

// A dial command that notes its arguments, one line per run.
class DialTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("dial.sh", "echo \"$#|$1|$2|$3\" >> " + (dir / "runs") + "\n");
        ASSERT_TRUE(Log_Open(dir / "test.LOG"));
    }
    void TearDown() override { ProgramLog().Close(); }
    std::vector<std::string> Runs() const { return SplitLines(dir.Read("runs")); }

    TestDir dir;
    DialCommands cmd{"/bin/sh " + (dir / "dial.sh") + " {entry} {user} {password}",
                     "/bin/sh " + (dir / "dial.sh") + " down {entry}", 5000};
    DialValues values{"Home Dial Up", "shop 12", "p w"};
};

TEST_F(DialTest, DialsUntilTheInternetAnswersAtMostFourTimes) {
    for (int answersAfter : {1, 2, 3, 4, 0}) {  // 0: never
        std::filesystem::remove(dir / "runs");
        int checks = 0;
        int result = RasDialConnect(cmd, values, [&] { return ++checks == answersAfter; });
        int expectedRuns = answersAfter == 0 ? 4 : answersAfter;
        EXPECT_EQ(result, answersAfter == 0 ? 3 : 1) << answersAfter;
        EXPECT_EQ(checks, expectedRuns) << answersAfter;
        EXPECT_EQ(Runs().size(), static_cast<std::size_t>(expectedRuns)) << answersAfter;
    }
}

TEST_F(DialTest, ValuesWithBlanksReachTheCommandAsSingleArguments) {
    ASSERT_EQ(RasDialConnect(cmd, values, [] { return true; }), 1);
    RasDialHangUp(cmd, values);
    EXPECT_EQ(Runs(), (std::vector<std::string>{"3|Home Dial Up|shop 12|p w", "2|down|Home Dial Up|"}));
}

TEST_F(DialTest, NoDialCommandMeansNotAvailable) {
    int checks = 0;
    EXPECT_EQ(RasDialConnect(DialCommands{}, values, [&] { return ++checks > 0; }), 3);
    EXPECT_EQ(checks, 0);
    EXPECT_NE(dir.Read("test.LOG").find("Dial-up not available: no dial command is configured"), std::string::npos);
    RasDialHangUp(DialCommands{}, values);  // nothing configured: nothing runs
    EXPECT_FALSE(std::filesystem::exists(dir / "runs"));
}

TEST_F(DialTest, ACommandThatCannotStartIsLoggedAndStillCheckedFourTimes) {
    int checks = 0;
    DialCommands missing{"tarvo-no-such-dialer {entry}", "", 1000};
    EXPECT_EQ(RasDialConnect(missing, values,
                             [&] {
                                 ++checks;
                                 return false;
                             }),
              3);
    EXPECT_EQ(checks, 4);
    EXPECT_NE(dir.Read("test.LOG").find("the dial command cannot be started: tarvo-no-such-dialer"), std::string::npos);
}

TEST_F(DialTest, ADialCommandThatHangsIsCutOff) {
    DialCommands slow{"sleep 30", "", 200};
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RasDialConnect(slow, values, [] { return true; }), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_NE(dir.Read("test.LOG").find("the dial command did not end in time"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
