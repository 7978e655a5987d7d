// A socat pseudo-terminal pair standing in for a serial cable in tests.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tarvo {

// A pseudo-terminal pair from socat: A is the register's port, B the device
// at the other end (a printer, a pole display, a scale) driven by the test.
class PtyPair {
public:
    explicit PtyPair(const std::string& folder) : a_(folder + "/ttyA"), b_(folder + "/ttyB") {
        errFile_ = folder + "/socat.err";
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string left = "pty,raw,echo=0,link=" + a_, right = "pty,raw,echo=0,link=" + b_;
        std::vector<std::string> args = {"socat", "-d", "-d", left, right};
        std::vector<char*> argv;
        for (auto& s : args) argv.push_back(s.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "socat", &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        for (int i = 0; i < 1000 && pid_ > 0; ++i) {
            if (std::filesystem::exists(a_) && std::filesystem::exists(b_)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // The test keeps A open so that the register closing its side never
        // hangs the pair up; B is read raw.
        keepA_ = ::open(a_.c_str(), O_RDWR | O_NOCTTY);
        readB_ = ::open(b_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (readB_ >= 0) {
            termios t{};
            ::tcgetattr(readB_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(readB_, TCSANOW, &t);
        }
    }
    ~PtyPair() {
        if (keepA_ >= 0) ::close(keepA_);
        if (readB_ >= 0) ::close(readB_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool Ready() const { return pid_ > 0 && keepA_ >= 0 && readB_ >= 0; }
    const std::string& A() const { return a_; }
    int KeepA() const { return keepA_; }
    // Reads from B until `count` bytes came (or nothing more comes for a long while).
    std::string ReadB(std::size_t count, int waitMs = 20000) {
        std::string got;
        char buf[512];
        while (got.size() < count) {
            pollfd p{readB_, POLLIN, 0};
            if (::poll(&p, 1, waitMs) <= 0) break;
            const ssize_t n = ::read(readB_, buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                break;
        }
        return got;
    }

    // Sends bytes from the device's side (B) to the register's port (A).
    bool WriteB(const std::string& bytes) {
        return ::write(readB_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

private:
    std::string a_, b_, errFile_;
    pid_t pid_ = -1;
    int keepA_ = -1, readB_ = -1;
};

}  // namespace tarvo
