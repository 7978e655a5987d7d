// The watch seam: "tell me when this file descriptor has something to read".
// A device that answers (the scale) is never waited for on the user-interface
// thread: its port is watched, and the handler runs from the event loop when
// data has come. The window backs it with socket notifiers; tests run the
// handlers themselves.
#pragma once
#include <poll.h>

#include <cerrno>
#include <functional>
#include <map>
#include <vector>

namespace tarvo {

class IoWatch {
public:
    virtual ~IoWatch() = default;
    // From now on `onReadable` runs on the user-interface thread each time
    // `fd` has data waiting or its other side has gone (the handler reads to
    // tell which). Watching a descriptor again replaces its handler.
    virtual void Watch(int fd, std::function<void()> onReadable) = 0;
    // Stops watching `fd`; allowed from inside its own handler.
    virtual void Unwatch(int fd) = 0;
    virtual bool Watching(int fd) const = 0;
};

// A watcher a test runs by hand: nothing happens until RunReady.
class ManualIoWatch : public IoWatch {
public:
    void Watch(int fd, std::function<void()> onReadable) override { handlers_[fd] = std::move(onReadable); }
    void Unwatch(int fd) override { handlers_.erase(fd); }
    bool Watching(int fd) const override { return handlers_.count(fd) != 0; }

    // Waits up to `waitMs` for a watched descriptor to become readable, then
    // runs once the handler of each one that is. Returns how many ran.
    int RunReady(int waitMs) {
        std::vector<pollfd> fds;
        for (const auto& [fd, handler] : handlers_) fds.push_back(pollfd{fd, POLLIN, 0});
        if (fds.empty()) return 0;
        int r;
        do r = ::poll(fds.data(), fds.size(), waitMs);
        while (r < 0 && errno == EINTR);
        if (r <= 0) return 0;
        int ran = 0;
        for (const pollfd& p : fds) {
            if (p.revents == 0) continue;
            // A handler may have stopped (or replaced) this watch meanwhile.
            auto it = handlers_.find(p.fd);
            if (it == handlers_.end() || !it->second) continue;
            const std::function<void()> handler = it->second;
            handler();
            ++ran;
        }
        return ran;
    }

private:
    std::map<int, std::function<void()>> handlers_;
};

}  // namespace tarvo
