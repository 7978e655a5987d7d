// The card payments of the register (CardService): the card data of a swipe
// or a keyed card, the charge of a sale's card tender and the batch close
// through the card-authorisation program's exchange files, the wait for its
// answer on the Credit timer, and the outcome shown and posted.
//
// Track data stays in this object's memory only, from the swipe until the
// request file is written, and is overwritten then (or when the card is let
// go). The request file is the only file that ever holds it; it is removed
// once its answer was read or its wait ended.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "card/card_http.h"
#include "card/exchange_files.h"
#include "common/money.h"
#include "screen/card_service.h"
#include "screen/register_state.h"

namespace tarvo {

class CardPayments final : public CardService {
public:
    CardPayments();
    ~CardPayments() override;
    CardPayments(const CardPayments&) = delete;
    CardPayments& operator=(const CardPayments&) = delete;

    void Card_Load() override;
    SwipedCard Card_ParseSwipe(const std::string& track) override;
    std::int16_t Card_TypeFind(const std::string& number) override;
    void Card_Charge(const CardRequest& request) override;
    void Credit_Card_Display_Response(std::int16_t status) override;
    void Card_Settlement() override;
    void Terminal_Find() override;
    void TerminalIP_Input() override;
    void Terminal_Test() override;
    void Gateway_Test() override;
    void Card_Escape() override { Terminal_FindCancel(); }

    // Where the terminal search takes this computer's address from (the
    // first IPv4 address of an interface that is up, not loopback).
    void SetOwnAddressSource(std::function<std::string()> source) { ownAddress_ = std::move(source); }
    // Stops a terminal search under way (its result is then not kept).
    void Terminal_FindCancel();
    // The status of the last charge or batch close (0 approved), the one
    // its outcome showed.
    std::int16_t LastStatus() const { return status_; }

    // The Credit timer's tick (every 2 seconds while an answer is awaited).
    void Credit_Timer_Timer();
    // The Settlement timer's tick (every 10 seconds while a batch close of
    // the terminal or the gateway runs): one status request.
    void Settlement_Timer_Timer();

    // How many ticks an answer file that opens but cannot be read is read
    // again before the request ends with "Response File Is Empty"; an answer
    // that cannot be opened is tried on five ticks.
    static constexpr int kReadAttempts = 3;
    static constexpr int kOpenAttempts = 5;

private:
    bool CardTender_Add(const std::string& why);
    std::string NextInvoice_Keep();
    enum class Operation { None, Sale, Settlement, Terminal, Gateway, NetworkSettlement, Tool };

    // The card terminal's charge: one GET on the background runner while
    // the Credit timer counts the wait; the first of the reply and the
    // time-out ends it, the other is logged and ignored.
    void Terminal_Charge();
    void Terminal_Reply(std::uint64_t exchange, const card::HttpReply& reply);
    // Ends the terminal's or the gateway's wait at the time-out (status 4).
    void Network_Timeout();
    // The card gateway's charge: the card tender added first, the request on
    // the runner; anything but an approval takes the tender back.
    void Gateway_Charge();
    void Gateway_Reply(std::uint64_t exchange, const card::HttpReply& reply);
    // The batch close of the terminal and the gateway on the settlement
    // server of setting 146: the start (keys locked), then the polling with
    // the keys free, until the end, an error or the overall limit; the
    // report printed once at whichever end comes first.
    void Network_Settlement();
    void Settlement_Started(std::uint64_t exchange, const card::HttpReply& reply);
    void Settlement_Polled(std::uint64_t exchange, const card::HttpReply& reply, bool receipt);
    void Settlement_End(std::int16_t status, const std::string& message);
    void Settlement_RunningLine();
    void TerminalIP_Keep(const std::string& address);
    // The terminal's information text: each line added after a "|"; the
    // body of the mail to the support desk.
    void TerminalLog_Add(const std::string& line) { terminalInfo_ += "|" + line; }
    // This register's and the terminal's network details added, then mailed.
    void TerminalInfo_Show();
    // The information text mailed to the support desk through the back
    // office (task 90) in the background; nothing is sent on dial-up.
    void TerminalInfo_Mail();
    std::string terminalInfo_;
    std::function<std::string()> ownAddress_;
    std::shared_ptr<std::atomic<bool>> findCancel_;
    // The host number the search is probing (set by the worker, shown on the
    // Credit tick), with the range's ends for the message.
    std::shared_ptr<std::atomic<int>> findHost_;
    int findFirst_ = 0, findLast_ = 0;
    bool polling_ = false, pollInFlight_ = false;
    std::uint64_t settleExchange_ = 0;
    int settleTicks_ = 0;
    std::string progress_, settleTimeout_;
    void Terminal_Post(const std::string& last4, const std::string& name, const std::string& authCode);
    std::string TerminalLogPath() const;
    void TerminalLog(const std::string& line);

    // The exchange files of the current settings; false (status 1 shown)
    // when the exchange cannot be used: the lock held elsewhere, or an old
    // answer that cannot be cleared.
    bool Exchange_Begin();
    void LateAnswer_Report(const std::string& line, bool atStart);
    // The outcome of a charge or a batch close kept as the last status and shown.
    void Outcome_Show(std::int16_t status);
    void Wait_ForResponse();
    void Credit_Card_Start();
    void Credit_Card_End();
    void ShowRunningTime();
    void Answer_Process(const std::string& line);
    void Timeout_Response();
    void Failure_End(std::int16_t status);
    void Request_End();
    void Tender_Remove();
    void Settlement_Report(std::int16_t status);
    void SettleTimeout_Compute();

    std::unique_ptr<card::ExchangeFiles> files_;
    // The charge under way, as the register handed it over: its timers,
    // answer and tender read this copy only.
    CardRequest request_;
    std::int16_t status_ = 0;
    std::string track_;
    int type_ = 0;
    int tenderIndex_ = 0;
    Operation operation_ = Operation::None;
    int ticks_ = 0;
    std::string timeoutRun_;
    int openFailures_ = 0, readFailures_ = 0;
    int tenderSlot_ = 0;
    std::string message_;
    // The request last handed over, for the log of an answer that comes late.
    std::string lastMasked_;
    Money lastAmount_;
    bool lastWasSettlement_ = false;
    // The exchange in flight on the runner (0 none): a completion of any
    // other number is late.
    std::uint64_t exchange_ = 0, exchangeCount_ = 0;
    std::string invoiceSent_;
    std::string authCode_;
};

}  // namespace tarvo
