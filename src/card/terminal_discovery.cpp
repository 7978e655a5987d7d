#include "card/terminal_discovery.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "card/card_http.h"
#include "card/terminal_exchange.h"

namespace tarvo::card {

namespace {

using Clock = std::chrono::steady_clock;

struct Probe {
    int host = 0;
    int fd = -1;
    Clock::time_point deadline;
};

// Starts a non-blocking connection; -1 when it failed at once.
int ConnectStart(const std::string& address, int port, bool& connected) {
    connected = false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return -1;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
        connected = true;
        return fd;
    }
    if (errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool DiscoveryRange_Make(const std::string& ownAddress, bool quick, DiscoveryRange& range) {
    std::string host;
    int port = 0;
    if (!TerminalAddress_Parse(ownAddress, host, port) || host != ownAddress) return false;
    const auto dot = host.rfind('.');
    range.prefix = host.substr(0, dot + 1);
    const int own = std::stoi(host.substr(dot + 1));
    range.first = quick ? std::max(1, own - 10) : 1;
    range.last = quick ? std::min(254, own + 10) : 254;
    return true;
}

std::vector<DiscoveryHost> Discovery_Scan(const DiscoveryConfig& config, const std::atomic<bool>& cancel,
                                          const std::function<void(int)>& progress) {
    const DiscoveryRange& r = config.range;
    std::vector<DiscoveryHost> hosts;
    for (int n = r.first; n <= r.last; ++n) {
        DiscoveryHost h;
        h.address = r.prefix + std::to_string(n);
        hosts.push_back(h);
    }
    std::vector<Probe> inFlight;
    int next = r.first;
    while ((next <= r.last || !inFlight.empty()) && !cancel.load()) {
        while (next <= r.last && static_cast<int>(inFlight.size()) < kMaxProbesInFlight && !cancel.load()) {
            if (progress) progress(next);
            bool connected = false;
            const int fd =
                ConnectStart(hosts[static_cast<std::size_t>(next - r.first)].address, config.port, connected);
            if (connected) {
                hosts[static_cast<std::size_t>(next - r.first)].alive = true;
                ::close(fd);
            } else if (fd >= 0) {
                inFlight.push_back(Probe{next, fd, Clock::now() + std::chrono::milliseconds(config.connectTimeoutMs)});
            }
            ++next;
        }
        if (inFlight.empty()) continue;
        std::vector<pollfd> fds;
        for (const Probe& p : inFlight) fds.push_back(pollfd{p.fd, POLLOUT, 0});
        ::poll(fds.data(), fds.size(), 50);
        const auto now = Clock::now();
        std::vector<Probe> still;
        for (std::size_t i = 0; i < inFlight.size(); ++i) {
            const Probe& p = inFlight[i];
            if (fds[i].revents != 0) {
                int error = 0;
                socklen_t len = sizeof error;
                ::getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &error, &len);
                if (error == 0) hosts[static_cast<std::size_t>(p.host - r.first)].alive = true;
                ::close(p.fd);
            } else if (now >= p.deadline) {
                ::close(p.fd);
            } else {
                still.push_back(p);
            }
        }
        inFlight.swap(still);
    }
    for (const Probe& p : inFlight) ::close(p.fd);
    if (cancel.load()) hosts.resize(static_cast<std::size_t>(next - r.first));
    // The page of each address that took the connection.
    for (DiscoveryHost& h : hosts) {
        if (!h.alive || cancel.load()) continue;
        const HttpReply reply = HttpGet(HttpGetRequest{
            "http://" + h.address + ":" + std::to_string(config.port) + "/index.html", "", config.pageTimeoutMs, ""});
        if (reply.kind != HttpReply::Kind::Ok || reply.body.empty()) continue;
        h.found = true;
        if (reply.body.find("<H3>mini_httpd is running</H3>") != std::string::npos) h.name = "*** Terminal Found ***";
    }
    return hosts;
}

std::string Discovery_Chosen(const std::vector<DiscoveryHost>& hosts) {
    std::string chosen;
    for (const DiscoveryHost& h : hosts)
        if (h.found) chosen = h.address;
    return chosen;
}

}  // namespace tarvo::card
