// The card request killed at each file-system call of its writing (the crash
// child with the preloaded shim, as the working files' crash sweep): the
// request the card program sees is wholly there or not at all, and the next
// start removes what was left, so the swiped track stays in no file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "card/card_payments.h"
#include "config/settings.h"
#include "register/register_fixture.h"
#include "test_dir.h"

extern char** environ;

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLine =
    "\"C1\",\"Ann\",\"\",\"4111111111111111\",\"2605B4111111111111111^DOE/JOHN^2605101987654?\",\"11.00\"\r\n";
constexpr const char* kTrackSecret = "101987654";

struct ChildResult {
    int exitCode = -1;
    std::string out;
};

// The crash child writing the card request in `folder`, killed before
// file-system call `crashAt` (0: not killed).
ChildResult RunChild(const std::string& folder, long crashAt) {
    TestDir outDir;
    const std::string outPath = outDir / "out";
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("LD_PRELOAD=", 0) != 0 && std::string(*e).rfind("TARVO_CRASH", 0) != 0 &&
            std::string(*e).rfind("ASAN_OPTIONS=", 0) != 0)
            env.emplace_back(*e);
    env.push_back(std::string("LD_PRELOAD=") + TARVO_FS_SHIM);
    env.push_back("TARVO_CRASH_AT=" + std::to_string(crashAt));
    env.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string child = TARVO_CRASH_CHILD, scenario = "cardrequest", where = folder;
    char* argv[] = {child.data(), scenario.data(), where.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, child.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ChildResult r;
    if (pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::ifstream in(outPath, std::ios::binary);
    r.out.assign(std::istreambuf_iterator<char>(in), {});
    return r;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool AnyFileHolds(const std::string& folder, const std::string& text) {
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file() && Read(e.path().string()).find(text) != std::string::npos) return true;
    return false;
}

class CardRequestCrashTest : public RegisterTest {};

TEST_F(CardRequestCrashTest, ARequestKilledAtAnyCallIsWhollyThereOrNotAndTheNextStartClearsIt) {
    TestDir whole;
    const ChildResult full = RunChild(whole.Path(), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    const std::string request = whole / "ICVerify/Request/icver001.REQ";
    EXPECT_EQ(Read(request), kLine);
    EXPECT_EQ(fs::status(request).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    CardPayments cards;
    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        const ChildResult r = RunChild(w.Path(), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string req = w / "ICVerify/Request/icver001.REQ";
        if (fs::exists(req)) {
            EXPECT_EQ(Read(req), kLine) << "the request is partly written";
        }
        // The next start on that folder.
        Reg().programFolder = w.Path();
        gSettings.gCardEnabled = true;
        cards.Card_Load();
        EXPECT_FALSE(AnyFileHolds(w.Path(), kTrackSecret));
    }
    std::cout << "[ crash sweep ] card request: " << calls << " crash points\n";
}

}  // namespace
}  // namespace tarvo
