#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <thread>

#include "test_dir.h"

namespace tarvo {
namespace {

using Clock = std::chrono::steady_clock;

// Gone, or a zombie waiting for its new parent to reap it.
bool ProcessEnded(pid_t pid) {
    if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::size_t paren = all.rfind(')');
    return paren == std::string::npos || (paren + 2 < all.size() && all[paren + 2] == 'Z');
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

TEST(RunAndWait, ReportsTheExitCode) {
    struct Case {
        std::vector<std::string> argv;
        int exitCode;
    } cases[] = {
        {{"true"}, 0},
        {{"false"}, 1},
        {{"/bin/sh", "-c", "exit 7"}, 7},
    };
    for (const auto& c : cases) {
        RunResult r = RunAndWait(c.argv, 5000);
        EXPECT_TRUE(r.started) << c.argv[0];
        EXPECT_FALSE(r.timedOut) << c.argv[0];
        EXPECT_EQ(r.exitCode, c.exitCode) << c.argv[0];
    }
}

TEST(RunAndWait, AMissingProgramIsNotStarted) {
    RunResult r = RunAndWait({"tarvo-no-such-program-here"}, 1000);
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_FALSE(RunAndWait({}, 1000).started);
}

TEST(RunAndWait, TimeOutKillsTheProgramAndWhatItStarted) {
    TestDir dir;
    std::string pids = dir / "pids";
    // The shell starts a background sleep, notes both process ids, and waits.
    auto start = Clock::now();
    RunResult r = RunAndWait({"/bin/sh", "-c", "sleep 30 & echo $$ $! > " + pids + "; wait"}, 300);
    auto took = Clock::now() - start;
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_GE(took, std::chrono::milliseconds(300));

    std::ifstream in(pids);
    pid_t shell = 0, child = 0;
    ASSERT_TRUE(in >> shell >> child) << "the shell did not start its child";
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(shell); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return ProcessEnded(child); }, 2000)) << "the background sleep survived";
}

TEST(ExpandCommand, SplitsAtBlanksAndKeepsEachValueOneArgument) {
    const std::vector<std::pair<std::string, std::string>> values = {
        {"entry", "Home Dial Up"}, {"user", "shop 12"}, {"password", "p w"}};
    struct Case {
        std::string pattern;
        std::vector<std::string> argv;
    } cases[] = {
        {"nmcli connection up {entry}", {"nmcli", "connection", "up", "Home Dial Up"}},
        {"  dial   {entry}  ", {"dial", "Home Dial Up"}},
        {"pon {entry} user={user} {password}", {"pon", "Home Dial Up", "user=shop 12", "p w"}},
        {"x {entry}{entry}", {"x", "Home Dial UpHome Dial Up"}},
        {"hangup", {"hangup"}},
        {"keep {unknown}", {"keep", "{unknown}"}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandCommand(c.pattern, values), c.argv) << '"' << c.pattern << '"';
}

TEST(ExpandCommand, EmptyValueStaysAnArgument) {
    EXPECT_EQ(ExpandCommand("dial {entry} {user}", {{"entry", "ISP"}, {"user", ""}}),
              (std::vector<std::string>{"dial", "ISP", ""}));
}

TEST(ExpandCommand, ValuesArePutInLiterallyNeverExpandedAgain) {
    EXPECT_EQ(ExpandCommand("a {entry}", {{"entry", "{entry}"}}), (std::vector<std::string>{"a", "{entry}"}));
    // An entry name that looks like a placeholder must not pull in the password.
    EXPECT_EQ(ExpandCommand("dial {entry} {user}",
                            {{"entry", "A {password} B"}, {"user", "{entry}"}, {"password", "secret"}}),
              (std::vector<std::string>{"dial", "A {password} B", "{entry}"}));
}

TEST(ProgramExists, FindsProgramsInPathAndByPath) {
    EXPECT_TRUE(ProgramExists("sh"));
    EXPECT_TRUE(ProgramExists("/bin/sh"));
    EXPECT_FALSE(ProgramExists("tarvo-no-such-program-here"));
    EXPECT_FALSE(ProgramExists(""));
    TestDir dir;
    std::string plain = dir.Write("not-executable", "#!/bin/sh\n");
    EXPECT_FALSE(ProgramExists(plain));
}

TEST(RestartProgram, RunsTheSameBinaryAgainWithItsArgumentsAfterTheClosers) {
    TestDir dir;
    std::string record = dir / "restart record.txt";  // a blank: must stay one argument
    RunResult r = RunAndWait({TARVO_RESTART_PROBE, record}, 5000);
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(dir.Read("restart record.txt"), "start\nclosed\nstart\n");
}

}  // namespace
}  // namespace tarvo
