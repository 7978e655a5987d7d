// A back-office dispatcher on 127.0.0.1 for tests: serves
// "/ExternalRequest/Dispatcher.asp", refuses wrong basic-auth credentials with
// 401, records every request's raw query and answers per task with the text
// the test sets (or whatever a handler returns).
//
//   DispatcherStub stub;
//   stub.UseAsSlot(1);                       // gConstants.servers slot 1 -> stub
//   stub.SetReply(TaskCode::LabelsByPurchaseOrder, "<line number>1</line number>");
//   ... run the code under test ...
//   EXPECT_EQ(stub.LastCall().Param("data"), "<purchase order number>7</purchase order number>");
#pragma once
#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "backoffice/backoffice_request.h"
#include "config/constants.h"
#include "platform/codec.h"

namespace tarvo {

// One request as the dispatcher saw it.
struct DispatcherCall {
    std::string query;                                       // raw, as it came over the wire (after "?")
    std::vector<std::pair<std::string, std::string>> pairs;  // decoded key/value pairs, in order
    bool authorized = false;                                 // right credentials given
    int clientPort = 0;                                      // the connection it came over

    // The decoded value of the first pair named `key` (exact spelling); nullopt when absent.
    std::optional<std::string> Find(const std::string& key) const {
        for (const auto& [k, v] : pairs)
            if (k == key) return v;
        return std::nullopt;
    }
    std::string Param(const std::string& key) const { return Find(key).value_or(""); }
    std::vector<std::string> Keys() const {
        std::vector<std::string> k;
        for (const auto& p : pairs) k.push_back(p.first);
        return k;
    }
    int Task() const {
        const std::string t = Param("task");
        return t.empty() ? -1 : std::atoi(t.c_str());
    }
};

struct DispatcherAnswer {
    int status = 200;
    std::string body;
    bool chunked = false;  // send without a Content-Length
};

class DispatcherStub {
public:
    using Handler = std::function<DispatcherAnswer(const DispatcherCall&)>;

    explicit DispatcherStub(std::string user = "tarvo", std::string password = "pelmorek")
        : expectedAuth_("Basic " + Base64Encode(user + ":" + password)) {
        server_.Get("/ExternalRequest/Dispatcher.asp",
                    [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); });
        // As a web server in front of a dispatcher does: a connection serves a
        // whole chain of requests, and each answer leaves at once.
        server_.set_keep_alive_max_count(1000);
        server_.set_tcp_nodelay(true);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~DispatcherStub() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        released_.notify_all();
        for (int i = 0; i < 500 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        server_.stop();
        thread_.join();
    }
    DispatcherStub(const DispatcherStub&) = delete;
    DispatcherStub& operator=(const DispatcherStub&) = delete;

    bool Bound() const { return port_ > 0; }
    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

    // Points server slot 1 or 2 of gConstants.servers at this stub.
    void UseAsSlot(int slot) const {
        auto& s = gConstants.servers;
        s.gServerHosts[slot - 1] = Host();
        s.gServerUrls[slot - 1] = DispatcherUrl(Host());
    }

    // The body answered (status 200) to every request of `task`; tasks with no
    // reply set get an empty body.
    void SetReply(int task, std::string body) {
        std::lock_guard<std::mutex> lock(mutex_);
        replies_[task] = std::move(body);
    }
    void SetReply(TaskCode task, std::string body) { SetReply(TaskNumber(task), std::move(body)); }
    // Decides every authorized answer instead of the replies above.
    void SetHandler(Handler handler) {
        std::lock_guard<std::mutex> lock(mutex_);
        handler_ = std::move(handler);
    }

    // Every request so far, refused ones included.
    std::vector<DispatcherCall> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    DispatcherCall LastCall() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_.empty() ? DispatcherCall{} : calls_.back();
    }

    // For a handler that must answer late: waits until `limit` passes or the
    // stub shuts down, whichever comes first.
    void Hold(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait_for(lock, limit, [this] { return stopping_; });
    }

    // A query value as the dispatcher decodes it: "%XX" to the byte, "+" to a blank.
    static std::string Decode(const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '+') {
                out += ' ';
            } else if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                       std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
                out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += s[i];
            }
        }
        return out;
    }

private:
    void Serve(const httplib::Request& req, httplib::Response& res) {
        DispatcherCall call;
        const std::size_t q = req.target.find('?');
        if (q != std::string::npos) call.query = req.target.substr(q + 1);
        std::size_t from = 0;
        while (!call.query.empty() && from <= call.query.size()) {
            std::size_t amp = call.query.find('&', from);
            if (amp == std::string::npos) amp = call.query.size();
            const std::string pair = call.query.substr(from, amp - from);
            const std::size_t eq = pair.find('=');
            call.pairs.emplace_back(Decode(pair.substr(0, eq)),
                                    eq == std::string::npos ? std::string() : Decode(pair.substr(eq + 1)));
            from = amp + 1;
        }
        call.authorized = req.get_header_value("Authorization") == expectedAuth_;
        call.clientPort = req.remote_port;

        Handler handler;
        DispatcherAnswer answer;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back(call);
            handler = handler_;
            auto it = replies_.find(call.Task());
            if (it != replies_.end()) answer.body = it->second;
        }
        if (!call.authorized) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"Dispatcher\"");
            res.set_content("Access denied", "text/plain");
            return;
        }
        if (handler) answer = handler(call);
        res.status = answer.status;
        if (answer.chunked) {
            auto body = std::make_shared<std::string>(std::move(answer.body));
            res.set_chunked_content_provider("text/plain", [body](size_t offset, httplib::DataSink& sink) {
                const std::size_t n = std::min<std::size_t>(64 * 1024, body->size() - offset);
                if (n > 0 && !sink.write(body->data() + offset, n)) return false;
                if (offset + n >= body->size()) sink.done();
                return true;
            });
        } else {
            res.set_content(answer.body, "text/plain; charset=windows-1252");
        }
    }

    std::string expectedAuth_;
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool stopping_ = false;
    std::map<int, std::string> replies_;
    Handler handler_;
    std::vector<DispatcherCall> calls_;
};

}  // namespace tarvo
