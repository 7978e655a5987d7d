// The stock check: after each product added to a sale (while the check is
// on), the back office is asked how many units of it this site has available
// (task 300 on tbl_prd_detail), and the answer shows on the message line.
#pragma once
#include <memory>
#include <string>

namespace tarvo {

class BackgroundRunner;
class BackOfficeConnection;

// What the back office's answer to the stock select means for the cashier:
// "<n> is in stock", "None in stock", "No records selected from stock table",
// "Error: In communication with server" (`ok` false) or "Error: Uncompressing
// response from server".
std::string StockCheck_Message(bool ok, const std::string& reply);

// The select text; the caller has checked that both ids are plain digits.
std::string StockCheck_Sql(const std::string& productId, const std::string& siteId);

// One register's stock check. At most one request is in flight: a product
// added meanwhile waits in a single slot (a later one takes its place), so a
// scanner burst never queues waits. The worker, once woken, asks for what
// waits in the slot until it is empty, at most one request per `gapMs` (a
// burst costs the back office and the register a request now and then, not
// one per scan; the scanning thread only fills the slot); an answer is shown
// only while its product is still the latest asked, older answers are dropped
// before they reach the user-interface thread. The keys stay free.
class StockCheck {
public:
    // An answer not back within `timeoutMs` is a communication error.
    explicit StockCheck(long timeoutMs = 10000, long gapMs = 50);

    // Asks for `productId` (the product record's id, columns 1-8) at the
    // site of the settings. An id or site id that is not plain digits is
    // refused before any request text is built (message and log line).
    void Ask(BackgroundRunner& runner, const std::string& productId);

private:
    struct Slot;
    long timeoutMs_;
    long gapMs_;
    // Shared with the worker: the product waiting, the number of the latest
    // product asked, whether the worker is asking.
    std::shared_ptr<Slot> slot_;
};

}  // namespace tarvo
