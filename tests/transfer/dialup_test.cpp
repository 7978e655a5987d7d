#include "transfer/dialup.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

#include "common/line_reader.h"
#include "data/log.h"
#include "platform/internet.h"
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

// A dial command that keeps what it was given: its arguments, what its
// standard input held, and the password file it was named (contents and
// mode), one run a block.
class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("dial.sh", "out=" + (dir / "runs") +
                                 "\n"
                                 "printf 'argv:%s\\n' \"$*\" >> $out\n"
                                 "IFS= read -r line; printf 'stdin:%s\\n' \"$line\" >> $out\n"
                                 "for a in \"$@\"; do case $a in */tarvo-dial-pw.*)\n"
                                 "  printf 'file:%s\\n' \"$(cat \"$a\")\" >> $out\n"
                                 "  printf 'mode:%s\\n' \"$(stat -c %a \"$a\")\" >> $out\n"
                                 "  printf '%s\\n' \"$a\" >> " +
                                 (dir / "files") + ";; esac; done\n");
        std::filesystem::create_directories(dir / "Files");
        ASSERT_TRUE(Log_Open(dir / "test.LOG"));
    }
    void TearDown() override { ProgramLog().Close(); }
    DialCommands Commands(const std::string& arguments) const {
        DialCommands c{"/bin/sh " + (dir / "dial.sh") + " " + arguments,
                       "/bin/sh " + (dir / "dial.sh") + " down " + arguments, 5000};
        c.passwordFolder = dir / "Files";
        return c;
    }
    // The password files the command was named: none of them is left.
    void ExpectNoPasswordFileLeft() {
        for (const std::string& f : SplitLines(dir.Read("files"))) EXPECT_FALSE(std::filesystem::exists(f)) << f;
        for (const auto& e : std::filesystem::directory_iterator(dir / "Files"))
            ADD_FAILURE() << "left in the folder: " << e.path();
    }

    TestDir dir;
    DialValues values{"Home Dial Up", "shop 12", "s3cr:t p@ss"};
};

TEST_F(PasswordTest, ThePasswordReachesTheCommandByFileAndInputNeverByItsArguments) {
    const DialCommands cmd = Commands("{entry} {user} {passwordfile}");
    ASSERT_EQ(RasDialConnect(cmd, values, [] { return true; }), 1);
    RasDialHangUp(cmd, values);
    const std::vector<std::string> runs = SplitLines(dir.Read("runs"));
    ASSERT_EQ(runs.size(), 8u) << dir.Read("runs");
    for (int run : {0, 4}) {
        EXPECT_EQ(runs[run].find("s3cr:t"), std::string::npos) << runs[run];
        EXPECT_NE(runs[run].find("Home Dial Up shop 12 " + dir / "Files/tarvo-dial-pw."), std::string::npos)
            << runs[run];
        EXPECT_EQ(runs[run + 1], "stdin:s3cr:t p@ss");
        EXPECT_EQ(runs[run + 2], "file:s3cr:t p@ss");
        EXPECT_EQ(runs[run + 3], "mode:600");
    }
    ExpectNoPasswordFileLeft();
    const std::string log = dir.Read("test.LOG");
    EXPECT_EQ(log.find("s3cr:t"), std::string::npos) << log;
    EXPECT_EQ(log.find("command line"), std::string::npos) << log;  // nothing to warn of
}

TEST_F(PasswordTest, OnlyStandardInputWhenTheCommandNamesNoPassword) {
    ASSERT_EQ(RasDialConnect(Commands("{entry}"), values, [] { return true; }), 1);
    EXPECT_EQ(dir.Read("runs"), "argv:Home Dial Up\nstdin:s3cr:t p@ss\n");
    ExpectNoPasswordFileLeft();
}

TEST_F(PasswordTest, ThePasswordOnTheCommandLineStillWorksButIsWarnedOfAndNeverLogged) {
    const DialCommands cmd = Commands("{entry} {password}");
    int checks = 0;
    EXPECT_EQ(RasDialConnect(cmd, values, [&] { return ++checks == 2; }), 1);
    RasDialHangUp(cmd, values);
    EXPECT_NE(dir.Read("runs").find("argv:Home Dial Up s3cr:t p@ss\n"), std::string::npos);
    const std::string log = dir.Read("test.LOG");
    EXPECT_EQ(log.find("s3cr:t"), std::string::npos) << log;
    const std::string dialWarning = "the dial command puts the password on the command line";
    const std::string hangUpWarning = "the hang-up command puts the password on the command line";
    ASSERT_NE(log.find(dialWarning), std::string::npos) << log;
    EXPECT_EQ(log.find(dialWarning, log.find(dialWarning) + 1), std::string::npos) << "once per dial-up: " << log;
    EXPECT_NE(log.find(hangUpWarning), std::string::npos) << log;
}

TEST_F(PasswordTest, WithoutRoomForThePasswordFileNothingIsRun) {
    DialCommands cmd = Commands("{entry} {passwordfile}");
    cmd.passwordFolder = dir / "no such folder";
    int checks = 0;
    EXPECT_EQ(RasDialConnect(cmd, values, [&] { return ++checks > 0; }), 3);
    EXPECT_EQ(checks, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "runs"));
    const std::string log = dir.Read("test.LOG");
    EXPECT_NE(log.find("the dial command is not run: the password file cannot be made in " + dir / "no such folder"),
              std::string::npos)
        << log;
}

TEST_F(PasswordTest, APasswordFileACrashLeftIsRemovedWhenItIsAnHourOld) {
    namespace fs = std::filesystem;
    const std::string stale = dir.Write("Files/tarvo-dial-pw.stale1", "old secret\n");
    const std::string fresh = dir.Write("Files/tarvo-dial-pw.fresh1", "being used\n");
    const std::string other = dir.Write("Files/1234567.SET", "kept");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(2));
    ASSERT_EQ(RasDialConnect(Commands("{entry} {passwordfile}"), values, [] { return true; }), 1);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));  // another dial-up may be using it
    EXPECT_EQ(dir.Read("Files/1234567.SET"), "kept");
}

// A free loopback port, found by binding and letting go.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

// The dial command brings "the Internet" up: a web server on the check's
// address; the hang-up command takes it down again.
TEST(DialUpLine, TheDialCommandBringsTheCheckAddressUpAndTheHangUpTakesItDown) {
    TestDir dir;
    ASSERT_TRUE(Log_Open(dir / "test.LOG"));
    const int port = FreePort();
    ASSERT_GT(port, 0);
    dir.Write("server.py", "import http.server, os, sys\n"
                           "class H(http.server.BaseHTTPRequestHandler):\n"
                           "    def do_GET(self):\n"
                           "        self.send_response(200); self.end_headers(); self.wfile.write(b'up')\n"
                           "    def log_message(self, *a): pass\n"
                           "s = http.server.HTTPServer(('127.0.0.1', int(sys.argv[1])), H)\n"
                           "open(sys.argv[2] + '.tmp', 'w').write(str(os.getpid()))\n"
                           "os.rename(sys.argv[2] + '.tmp', sys.argv[2])\n"
                           "s.serve_forever()\n");
    const std::string pidFile = dir / "line.pid";
    dir.Write("up.sh", "echo \"$1\" >> " + (dir / "dialled") + "\n/usr/bin/python3 " + (dir / "server.py") + " " +
                           std::to_string(port) + " " + pidFile +
                           " </dev/null >/dev/null 2>&1 &\n"
                           "i=0; while [ ! -s " +
                           pidFile + " ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n");
    dir.Write("down.sh", "pid=$(cat " + pidFile + ") && kill $pid && rm " + pidFile +
                             "\n"
                             "i=0; while grep -qs '^State:[^Z]*$' /proc/$pid/status && [ $i -lt 100 ]; do\n"
                             "  sleep 0.05; i=$((i+1)); done\n");
    dir.Write("Files/Dial.Set", "Shop Line\r\nshop12\r\nsecret\r\n");
    const DialCommands cmd{"/bin/sh " + (dir / "up.sh") + " {entry}", "/bin/sh " + (dir / "down.sh"), 10000};
    InternetCheckConfig check;
    check.url = "http://127.0.0.1:" + std::to_string(port) + "/";
    check.connectTimeoutMs = 1000;
    check.totalTimeoutMs = 2000;

    EXPECT_FALSE(Internet_Check(check));
    DialValues v;
    ASSERT_EQ(ReadDialSettings(dir.Path(), v), 1);
    EXPECT_EQ(RasDialConnect(cmd, v, [&] { return Internet_Check(check); }), 1);
    EXPECT_EQ(dir.Read("dialled"), "Shop Line\n");  // connected at the first try
    EXPECT_TRUE(Internet_Check(check));
    RasDialHangUp(cmd, v);
    EXPECT_FALSE(Internet_Check(check));
    EXPECT_FALSE(std::filesystem::exists(pidFile));

    // Whatever failed above, the server does not outlive the test.
    std::string pid = dir.Read("line.pid");
    if (!pid.empty()) ::kill(std::stoi(pid), SIGKILL);
    ProgramLog().Close();
}

}  // namespace
}  // namespace tarvo
