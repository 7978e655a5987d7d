// A real FTP server for tests: pyftpdlib on 127.0.0.1 (a free port), serving
// a folder of the test, optionally misbehaving (see
// fixtures/ftp/ftp_server.py for the faults). Stopped when the object goes.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarvo {

class LocalFtpServer {
public:
    LocalFtpServer(const std::string& root, const std::string& user, const std::string& password,
                   const std::string& fault = "none", const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {
            "/usr/bin/python3", std::string(TARVO_FIXTURES) + "/ftp/ftp_server.py", root, user, password, fault};
        args.insert(args.end(), extra.begin(), extra.end());
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        // "PORT n" comes within a fraction of a second.
        std::string line;
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pid_ > 0 && line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buf[64];
            ssize_t n = ::read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            line.append(buf, static_cast<size_t>(n));
        }
        ::close(out[0]);
        if (line.rfind("PORT ", 0) == 0) port_ = std::atoi(line.c_str() + 5);
    }
    ~LocalFtpServer() { Stop(); }
    LocalFtpServer(const LocalFtpServer&) = delete;
    LocalFtpServer& operator=(const LocalFtpServer&) = delete;

    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = -1;
    int port_ = -1;
};

}  // namespace tarvo
