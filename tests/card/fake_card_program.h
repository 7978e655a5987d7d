// The fake card-authorisation program (tests/tools/fake_card.py) run as a
// process of its own on a test's exchange folder, answering by its mode.
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

class FakeCardProgram {
public:
    FakeCardProgram(const std::string& exchangeFolder, const std::string& mode, const std::string& seenLog) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        std::string python = "/usr/bin/python3";
        std::string script = std::string(TARVO_SOURCE_DIR) + "/tests/tools/fake_card.py";
        char* argv[] = {python.data(),
                        script.data(),
                        const_cast<char*>(exchangeFolder.c_str()),
                        const_cast<char*>(mode.c_str()),
                        const_cast<char*>(seenLog.c_str()),
                        nullptr};
        if (posix_spawn(&pid_, python.c_str(), &fa, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(out[1]);
        output_ = out[0];
        ready_ = ReadLine(10000) == "READY";
    }
    ~FakeCardProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status;
            ::waitpid(pid_, &status, 0);
        }
        if (output_ >= 0) ::close(output_);
    }
    FakeCardProgram(const FakeCardProgram&) = delete;
    FakeCardProgram& operator=(const FakeCardProgram&) = delete;

    bool Ready() const { return ready_; }

private:
    std::string ReadLine(int timeoutMs) {
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
    pid_t pid_ = -1;
    int output_ = -1;
    bool ready_ = false;
};

}  // namespace tarvo
