// A chain of back-office requests (a document's header, then its lines, then
// its close): each request runs on the background runner over one connection
// kept for the whole chain, and its completion, back on the window's thread,
// decides the next. Esc between two requests stops the chain before the next
// one is sent; the request in flight always completes, so what the server
// accepted is known.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "backoffice/backoffice_request.h"
#include "platform/background_runner.h"

namespace tarvo {

class RequestChain {
public:
    RequestChain(BackgroundRunner& runner, std::string prefix, long timeoutMs = kRequestTimeoutMs);

    // Sends `query`; `next` gets the result on the window's thread (a failure
    // is logged first, without credentials). When Esc came since the last
    // completion, nothing is sent and `onCancel` runs instead.
    void Ask(const std::string& query, std::function<void(const BackOfficeResult&)> next);
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }
    // What runs in place of the next request once the chain is cancelled.
    std::function<void()> onCancel;
    bool Running() const { return running_; }
    // The chain ends (no more requests will be asked): its connection is
    // let go and what onCancel held with it.
    void End();

private:
    BackgroundRunner& runner_;
    std::string prefix_;
    std::shared_ptr<BackOfficeConnection> connection_;
    long timeoutMs_;
    bool cancelled_ = false;
    bool running_ = true;
};

// The chain the Online page or the Total key started last, kept by the
// online services so that Esc can reach it.
class OnlineChains {
public:
    explicit OnlineChains(BackgroundRunner* runner = nullptr) : runner_(runner) {}
    // A new chain on `runner` (the register's when none is given) to the
    // current server; nullptr when the register has no background runner.
    std::shared_ptr<RequestChain> Start(BackgroundRunner* runner = nullptr);
    // Esc: the running chain stops before its next request. False when no
    // chain runs.
    bool Escape();
    // How long each request of the chains started from now may take.
    void SetTimeout(long ms) { timeoutMs_ = ms; }

private:
    BackgroundRunner* runner_;
    long timeoutMs_ = kRequestTimeoutMs;
    std::weak_ptr<RequestChain> current_;
};

// "Every key locked" (the keypad and the register keys too) while a chain runs.
void OnlineKeys_Lock();

}  // namespace tarvo
