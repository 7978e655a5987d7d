// A card terminal for tests: a real HTTP server on a loopback address
// answering /cgi.html from the reply function the test gives (the decoded
// transaction document in, the body out) and /index.html with the page the
// terminal's small web server shows.
#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvo {

class FakeTerminal {
public:
    using Reply = std::function<std::string(const std::string& document)>;

    explicit FakeTerminal(Reply reply, const std::string& address = "127.0.0.1", int port = 0)
        : reply_(std::move(reply)) {
        server_.Get("/cgi.html", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string doc = req.get_param_value("TerminalTransaction");
            {
                std::lock_guard<std::mutex> lock(mutex_);
                documents_.push_back(doc);
                targets_.push_back(req.target);
            }
            res.set_content(reply_(doc), "text/xml");
        });
        server_.Get("/index.html", [this](const httplib::Request&, httplib::Response& res) {
            ++pageRequests_;
            std::this_thread::sleep_for(std::chrono::milliseconds(pageDelayMs_.load()));
            res.set_content("<HTML><BODY><H3>mini_httpd is running</H3></BODY></HTML>", "text/html");
        });
        if (port == 0) {
            port_ = server_.bind_to_any_port(address);
        } else if (server_.bind_to_port(address, port)) {
            port_ = port;
        }
        if (port_ > 0) {
            thread_ = std::thread([this] { server_.listen_after_bind(); });
            // A stop before the loop runs would be missed.
            for (int i = 0; i < 400 && !server_.is_running(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ~FakeTerminal() {
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }
    FakeTerminal(const FakeTerminal&) = delete;
    FakeTerminal& operator=(const FakeTerminal&) = delete;

    int Port() const { return port_; }
    // The terminal's page answered only after `ms` (a slow terminal).
    void SetPageDelay(int ms) { pageDelayMs_ = ms; }
    int PageRequests() const { return pageRequests_.load(); }
    std::vector<std::string> Documents() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return documents_;
    }
    std::vector<std::string> Targets() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return targets_;
    }

    // The value of <tag> in a document.
    static std::string Tag(const std::string& doc, const std::string& tag) {
        const std::string open = "<" + tag + ">", close = "</" + tag + ">";
        const auto a = doc.find(open);
        const auto b = doc.find(close);
        if (a == std::string::npos || b == std::string::npos) return "";
        return doc.substr(a + open.size(), b - a - open.size());
    }
    // A reply echoing the request's invoice and register, with `inner` added.
    static std::string Echo(const std::string& doc, const std::string& inner) {
        return "<response><InvNum>" + Tag(doc, "InvNum") + "</InvNum><RegisterId>" + Tag(doc, "RegisterId") +
               "</RegisterId>" + inner + "</response>";
    }

private:
    Reply reply_;
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::atomic<int> pageDelayMs_{0}, pageRequests_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> documents_, targets_;
};

}  // namespace tarvo
