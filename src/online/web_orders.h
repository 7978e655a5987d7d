// The web-shop order import: each configured web shop's export file of new
// orders is fetched from the shop's FTP server into the program folder, then
// every order is replayed into the back office (a new client, task 2; a new
// order, task 3; a cash receipt for its total, task 5; one request per order
// line, task 4), and a log of the run is printed.
//
// Exactly once: a journal beside each fetched file (its name and ".journal",
// 0600) records each request's answer as it comes, flushed before the next
// request; a replay that stopped part-way (a failed request, a crash)
// resumes at the next import with the request that was not answered, using
// the server's numbers already recorded. A file whose journal ends with
// "END" is done.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/backoffice_request.h"

namespace tarvo {

class BackgroundRunner;

// One web shop's connection, from the identity store (Tarvo.ini): keys
// ShopNHost, ShopNUser, ShopNPassword, ShopNLabel and ShopNDomain for N = 1,
// 2, ... up to the first N without a host.
struct WebShop {
    std::string host, user, password, label, domain;
};
std::vector<WebShop> WebShops_Read(const std::string& programFolder);

// Where the fetched files are kept: "WebOrders" in the program folder.
std::string WebOrders_Folder(const std::string& programFolder);

// Fetches shop `index` (from 0)'s export file into `folder` (created when
// missing) under the first free name of `stamp` (MMDDhhmm) and the shop's
// suffix ("1.txt", "2.txt" ...; then "1-2.txt" ... when taken); only once the
// copy is on disk under that name is the shop's file deleted on its server.
// The local path, or "" when nothing was fetched. `log` gets the printed log's
// lines, `why` what the program log should say about a failure.
std::string WebShop_Fetch(const WebShop& shop, int index, const std::string& folder, const std::string& stamp,
                          std::vector<std::string>& log, std::string& why);

// What the replay sends with: a task and its payload to the back office.
using WebOrderSender = std::function<BackOfficeResult(TaskCode task, const std::string& payload)>;
// The back office's sender, for a worker thread: the address, terminal, debug
// mode and client flag copied now (on the user-interface thread).
WebOrderSender WebOrders_BackOfficeSender();

// The payloads of one order (lines as read, a TAB appended).
std::string WebOrder_ClientPayload(const std::string& line);
std::string WebOrder_OrderPayload(const std::string& line, const std::string& client, const std::string& employee);
std::string WebOrder_PaymentPayload(const std::string& line, const std::string& order);
std::string WebOrder_LinePayload(const std::string& line, const std::string& order);

// The replay of one fetched file.
class WebOrderReplay {
public:
    WebOrderReplay() = default;
    ~WebOrderReplay();
    WebOrderReplay(const WebOrderReplay&) = delete;
    WebOrderReplay& operator=(const WebOrderReplay&) = delete;

    // Reads the file and its journal (created 0600 when missing). False with
    // the log line when the file cannot be read or the journal opened.
    bool Open(const std::string& path, std::vector<std::string>& log);
    // The file's journal ends with "END": nothing left to send.
    bool Finished() const { return finished_; }
    int Orders() const { return static_cast<int>(orders_.size()); }
    // Orders wholly replayed (by this run or an earlier one).
    int Next() const { return next_; }
    // Replays the next order (the requests the journal has no answer for).
    // False when a request could not be sent or its answer not recorded:
    // the file stops there (log lines written) and resumes at the next import.
    bool ReplayNext(const WebOrderSender& send, const std::string& employee, std::vector<std::string>& log,
                    std::string& why);
    // Marks the file done ("END"); false when that cannot be recorded.
    bool Finish(std::string& why);

private:
    struct Order {
        std::string number;
        std::vector<std::string> lines;  // each with a TAB appended
    };
    bool Record(int order, const std::string& step, const std::string& value, std::string& why);
    // The answer of `step` of `order`: recorded, or asked now and recorded.
    // False when the request failed or could not be recorded.
    bool Step(int order, const std::string& step, TaskCode task, const std::string& payload, const char* tag,
              const WebOrderSender& send, std::string& value, std::string& why);

    std::string path_;
    std::vector<Order> orders_;
    std::map<std::string, std::string> journal_;  // "<order>\t<step>" -> answer
    int fd_ = -1;
    int next_ = 0;
    bool finished_ = false;
};

// Online page key 21: the whole import in the background, the keys locked,
// "Request In Progress ..." and then each order's progress on the message
// line; the log printed at the end. Files an earlier import left unfinished
// are replayed first.
class WebOrderImport {
public:
    void Start(BackgroundRunner& runner);
    bool Running() const { return job_ != nullptr; }

private:
    struct Job;
    void ReplayNext();
    void End();

    std::shared_ptr<Job> job_;
};

}  // namespace tarvo
