// Another process holding, or trying to take, the lock of a program folder:
// the folder_lock_holder helper, with pipes on its input and output.
#pragma once
#include <csignal>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarvo {

class LockHolder {
public:
    // `reexec`: once it holds the lock it replaces itself with a fresh copy,
    // as a restart does, and that copy takes the lock again.
    explicit LockHolder(const std::string& folder, bool reexec = false) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        std::string program = TARVO_LOCK_HOLDER;
        char* argv[] = {program.data(), const_cast<char*>(folder.c_str()), const_cast<char*>("reexec"), nullptr};
        if (!reexec) argv[2] = nullptr;
        if (posix_spawn(&pid_, program.c_str(), &fa, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~LockHolder() {
        Kill();
        if (input_ >= 0) ::close(input_);
        if (output_ >= 0) ::close(output_);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // The next line it wrote ("Taken", "InUse" or "Failed"); "" when none
    // came within `timeoutMs`.
    std::string NextLine(int timeoutMs = 10000) {
        std::string line;
        for (;;) {
            pollfd p{output_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) return "";
            char c;
            if (::read(output_, &c, 1) != 1) return "";
            if (c == '\n') return line;
            line += c;
        }
    }

    // Killed at once (no chance to let anything go itself) and reaped.
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        int status;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};

}  // namespace tarvo
