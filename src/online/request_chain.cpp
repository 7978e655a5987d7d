#include "online/request_chain.h"

#include "config/constants.h"
#include "data/log.h"
#include "sale/sale_start.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

RequestChain::RequestChain(BackgroundRunner& runner, std::string prefix, long timeoutMs)
    : runner_(runner),
      prefix_(std::move(prefix)),
      connection_(std::make_shared<BackOfficeConnection>()),
      timeoutMs_(timeoutMs) {}

void RequestChain::Ask(const std::string& query, std::function<void(const BackOfficeResult&)> next) {
    if (cancelled_) {
        ProgramLog().Write(1, "Online: the request chain was stopped by the cashier before " + query.substr(0, 8));
        auto cancel = std::move(onCancel);
        End();
        if (cancel) cancel();
        return;
    }
    const std::string prefix = prefix_;
    if (!connection_) connection_ = std::make_shared<BackOfficeConnection>();
    auto connection = connection_;
    const long timeoutMs = timeoutMs_;
    RunInBackground<BackOfficeResult>(
        runner_, [connection, prefix, query, timeoutMs] { return connection->Request(prefix, query, timeoutMs); },
        [prefix, query, next = std::move(next)](BackOfficeResult r) {
            if (!r) BackOfficeRequest_LogFailure(prefix, query, r);
            next(r);
        });
}

void RequestChain::End() {
    running_ = false;
    onCancel = nullptr;
    connection_.reset();
}

std::shared_ptr<RequestChain> OnlineChains::Start(BackgroundRunner* runner) {
    if (!runner) runner = runner_ ? runner_ : Reg().runner;
    if (!runner) return nullptr;
    auto chain = std::make_shared<RequestChain>(*runner, gConstants.servers.RequestPrefix(), timeoutMs_);
    current_ = chain;
    return chain;
}

bool OnlineChains::Escape() {
    const auto chain = current_.lock();
    if (!chain || !chain->Running()) return false;
    chain->Cancel();
    return true;
}

void OnlineKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

}  // namespace tarvo
