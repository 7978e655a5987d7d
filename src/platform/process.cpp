#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace tarvo {
namespace {

std::vector<std::string>& SavedArgs() {
    static std::vector<std::string> args;
    return args;
}
std::vector<std::function<void()>>& Closers() {
    static std::vector<std::function<void()>> c;
    return c;
}

std::vector<char*> CArgs(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

pid_t Spawn(const std::vector<std::string>& argv, bool detached, const std::string& workDir, int stdinFd = -1) {
    if (argv.empty()) return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&fa, stdinFd, 0);
    else
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&fa, workDir.c_str());
    posix_spawnattr_t at;
    posix_spawnattr_init(&at);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (detached)
        flags |= POSIX_SPAWN_SETSID;
    else
        flags |= POSIX_SPAWN_SETPGROUP;  // its own group, so a time-out kills all it started
    posix_spawnattr_setflags(&at, flags);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&at, &none);
    posix_spawnattr_setsigdefault(&at, &all);
    posix_spawnattr_setpgroup(&at, 0);
    auto args = CArgs(argv);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0].c_str(), &fa, &at, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&at);
    return rc == 0 ? pid : -1;
}

}  // namespace

RunResult RunAndWait(const std::vector<std::string>& argv, int timeoutMs) {
    return RunAndWait(argv, timeoutMs, std::string());
}

RunResult RunAndWait(const std::vector<std::string>& argv, int timeoutMs, const std::string& input) {
    RunResult r;
    pid_t pid = -1;
    if (input.empty()) {
        pid = Spawn(argv, false, "");
    } else {
        // The input goes into the pipe before the program starts and the
        // writing end is closed at once: no write can meet a reader that has
        // already gone (SIGPIPE), and the program sees the input's end.
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return r;
        const ssize_t n = input.size() <= 65536 ? ::write(fds[1], input.data(), input.size()) : -1;
        ::close(fds[1]);
        if (n == static_cast<ssize_t>(input.size())) pid = Spawn(argv, false, "", fds[0]);
        ::close(fds[0]);
    }
    if (pid < 0) return r;
    r.started = true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        pid_t w = ::waitpid(pid, &status, WNOHANG);
        if (w == pid) {
            r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return r;
        }
        if (w < 0 && errno != EINTR) return r;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            r.timedOut = true;
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool SpawnDetached(const std::vector<std::string>& argv, const std::string& workDir) {
    // A double fork is not needed: SIGCHLD is left to the default, and the
    // child is reaped by init once we exit; reap it here if it ends earlier.
    pid_t pid = Spawn(argv, true, workDir);
    if (pid < 0) return false;
    std::thread([pid] {
        int st;
        ::waitpid(pid, &st, 0);
    }).detach();
    return true;
}

bool ProgramExists(const std::string& program) {
    if (program.empty()) return false;
    if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string p = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= p.size()) {
        std::size_t end = p.find(':', start);
        if (end == std::string::npos) end = p.size();
        std::string dir = p.substr(start, end - start);
        if (dir.empty()) dir = ".";
        std::string full = dir + "/" + program;
        struct stat st;
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(full.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

std::vector<std::string> ExpandCommand(const std::string& pattern,
                                       const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        while (i < pattern.size() && pattern[i] == ' ') ++i;
        if (i >= pattern.size()) break;
        std::size_t e = pattern.find(' ', i);
        if (e == std::string::npos) e = pattern.size();
        // One pass over the pattern's word: a value put in is never looked
        // at again, so a value that reads like a placeholder stays as it is.
        std::string word;
        for (std::size_t k = i; k < e;) {
            bool put = false;
            if (pattern[k] == '{') {
                for (const auto& [name, value] : values) {
                    std::string key = "{" + name + "}";
                    if (k + key.size() <= e && pattern.compare(k, key.size(), key) == 0) {
                        word += value;
                        k += key.size();
                        put = true;
                        break;
                    }
                }
            }
            if (!put) word += pattern[k++];
        }
        out.push_back(word);
        i = e;
    }
    return out;
}

void Program_SetArguments(int argc, char** argv) { SavedArgs().assign(argv, argv + argc); }

void Program_OnClose(std::function<void()> closer) { Closers().push_back(std::move(closer)); }

void Program_CloseAll() {
    auto& c = Closers();
    for (auto it = c.rbegin(); it != c.rend(); ++it) (*it)();
    c.clear();
}

void RestartProgram() {
    Program_CloseAll();
    std::vector<std::string> args = SavedArgs();
    if (args.empty()) args.push_back("tarvo");
    auto cargs = CArgs(args);
    // Files are opened close-on-exec, so the new copy starts with none of ours.
    ::execv("/proc/self/exe", cargs.data());
    std::_Exit(127);
}

}  // namespace tarvo
