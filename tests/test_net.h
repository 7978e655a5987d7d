// Loopback network helpers for tests: a small HTTP server whose answer the
// test decides, and a port on which nothing answers.
#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvo {

// An HTTP server on 127.0.0.1 (any free port) answering every GET with the
// status `status()` gives at that moment.
class LocalHttpServer {
public:
    explicit LocalHttpServer(std::function<int()> status) : status_(std::move(status)) {
        server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                cacheControl_.push_back(req.get_header_value("Cache-Control"));
            }
            res.status = status_();
            res.set_content("tarvo test", "text/plain");
        });
        // The socket listens from here on; connections wait in its backlog
        // until the accept loop runs.
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    explicit LocalHttpServer(int status) : LocalHttpServer([status] { return status; }) {}
    ~LocalHttpServer() {
        // stop() only acts on a running server; the loop may not have started.
        for (int i = 0; i < 500 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        server_.stop();
        thread_.join();
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Bound() const { return port_ > 0; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/check"; }
    // The Cache-Control header of every request so far.
    std::vector<std::string> CacheControl() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return cacheControl_;
    }

private:
    std::function<int()> status_;
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> cacheControl_;
};

// A loopback port that is bound but never listens: a connection is refused at
// once. Held for the lifetime of the object so no one else takes it.
class ClosedPort {
public:
    ClosedPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        socklen_t len = sizeof a;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port_ = ntohs(a.sin_port);
    }
    ~ClosedPort() {
        if (fd_ >= 0) ::close(fd_);
    }
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    bool Bound() const { return port_ > 0; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = -1;
};

}  // namespace tarvo
