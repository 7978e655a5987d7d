// The private print server of the print tests: a cupsd of the suite's own,
// listening on 127.0.0.1, with a raw queue whose device is a TCP listener of
// the test, so a job's bytes can be read back as the printer gets them. The
// suite is skipped when cupsd cannot be started here.
#pragma once
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tarvo {
namespace cups_fixture {

inline int FreeTcpListener(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

inline bool CanConnect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

}  // namespace cups_fixture

// A private print server for the suite: a raw queue RAWQ (the default) whose
// device is a TCP listener of the test, and a queue REJQ that refuses jobs.
// `Base` is the suite's own fixture; its SetUp runs first.
template <class Base>
class CupsSpoolerTest : public Base {
protected:
    static void SetUpTestSuite() {
        skip_.clear();
        if (::access("/usr/sbin/cupsd", X_OK) != 0) {
            skip_ = "cupsd is not installed (/usr/sbin/cupsd)";
            return;
        }
        char tmpl[] = "/tmp/tarvo-cupsd-XXXXXX";
        if (!::mkdtemp(tmpl)) {
            skip_ = "no temporary folder for cupsd";
            return;
        }
        root_ = tmpl;
        // The queue's backend runs as an unprivileged user and must reach the spool folder.
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                std::filesystem::perms::group_exec |
                                                std::filesystem::perms::others_read |
                                                std::filesystem::perms::others_exec);
        for (const char* sub : {"etc/ppd", "spool/tmp", "cache", "state", "log", "run"})
            std::filesystem::create_directories(root_ + "/" + sub);
        int serverPort = 0;
        const int probe = cups_fixture::FreeTcpListener(serverPort);
        if (probe >= 0) ::close(probe);
        sink_ = cups_fixture::FreeTcpListener(sinkPort_);
        if (probe < 0 || sink_ < 0) {
            skip_ = "no free TCP port on 127.0.0.1";
            return;
        }
        std::ofstream(root_ + "/etc/cups-files.conf")
            << "ServerRoot " << root_ << "/etc\nRequestRoot " << root_ << "/spool\nTempDir " << root_
            << "/spool/tmp\nCacheDir " << root_ << "/cache\nStateDir " << root_ << "/state\nAccessLog " << root_
            << "/log/access_log\nErrorLog " << root_ << "/log/error_log\nPageLog " << root_
            << "/log/page_log\nSystemGroup root\n";
        std::ofstream(root_ + "/etc/cupsd.conf")
            << "LogLevel warn\nListen 127.0.0.1:" << serverPort << "\nListen " << root_
            << "/run/cups.sock\nBrowsing No\nWebInterface No\nDefaultAuthType None\nIdleExitTimeout 0\n"
               "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
               "<Location /admin>\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
               "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
        std::vector<std::string> args = {
            "cupsd", "-f", "-c", root_ + "/etc/cupsd.conf", "-s", root_ + "/etc/cups-files.conf"};
        std::vector<char*> argv;
        for (auto& s : args) argv.push_back(s.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        const std::string out = root_ + "/log/cupsd.out";
        posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&fa, 1, 2);
        if (posix_spawn(&cupsd_, "/usr/sbin/cupsd", &fa, nullptr, argv.data(), environ) != 0) cupsd_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        if (cupsd_ <= 0) {
            skip_ = "cupsd could not be started";
            return;
        }
        bool up = false;
        for (int i = 0; i < 1000 && !up; ++i) {
            up = cups_fixture::CanConnect(serverPort);
            if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (::waitpid(cupsd_, nullptr, WNOHANG) == cupsd_) {
                cupsd_ = -1;
                break;
            }
        }
        if (!up) {
            skip_ = "cupsd did not start listening (see " + out + ")";
            return;
        }
        server_ = "127.0.0.1:" + std::to_string(serverPort);
        ::setenv("CUPS_SERVER", server_.c_str(), 1);
        const std::string uri = "socket://127.0.0.1:" + std::to_string(sinkPort_);
        const std::string cmds = "lpadmin -p RAWQ -E -v " + uri + " && lpadmin -d RAWQ && lpadmin -p REJQ -E -v " +
                                 uri + " && cupsreject REJQ";
        if (std::system(cmds.c_str()) != 0) skip_ = "lpadmin could not set up the queues";
    }
    static void TearDownTestSuite() {
        if (cupsd_ > 0) {
            ::kill(cupsd_, SIGTERM);
            ::waitpid(cupsd_, nullptr, 0);
            cupsd_ = -1;
        }
        if (sink_ >= 0) ::close(sink_);
        sink_ = -1;
        ::unsetenv("CUPS_SERVER");
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }
    void SetUp() override {
        Base::SetUp();
        if (!skip_.empty()) GTEST_SKIP() << "private print server unavailable: " << skip_;
        cupsSetServer(server_.c_str());
    }
    // The bytes of the next job the queue's device receives.
    static std::string ReceiveJob() {
        pollfd p{sink_, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0) return "(no job arrived)";
        const int c = ::accept4(sink_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) return "(accept failed)";
        std::string got;
        char buf[4096];
        for (;;) {
            pollfd q{c, POLLIN, 0};
            if (::poll(&q, 1, 60000) <= 0) break;
            const ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        ::close(c);
        return got;
    }

    static inline std::string skip_, root_, server_;
    static inline pid_t cupsd_ = -1;
    static inline int sink_ = -1, sinkPort_ = 0;
};

}  // namespace tarvo
