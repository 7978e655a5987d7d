// The stock check: after each product added to a sale (while the check is
// on), the back office is asked how many units of it this site has available
// (task 300 on tbl_prd_detail), and the answer shows on the message line.
#pragma once
#include <cstdint>
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
// scanner burst never queues waits; an answer is shown only while its product
// is still the latest asked, older answers are dropped. The keys stay free.
class StockCheck {
public:
    // An answer not back within `timeoutMs` is a communication error.
    explicit StockCheck(long timeoutMs = 10000) : timeoutMs_(timeoutMs) {}

    // Asks for `productId` (the product record's id, columns 1-8) at the
    // site of the settings. An id or site id that is not plain digits is
    // refused before any request text is built (message and log line).
    void Ask(BackgroundRunner& runner, const std::string& productId);

private:
    void Send(BackgroundRunner& runner, const std::string& productId);

    long timeoutMs_;
    std::uint64_t latest_ = 0;  // number of the latest product asked
    bool busy_ = false;         // a request is in flight
    std::string waiting_;       // the product to ask once it is back ("" none)
    // One connection for every check (one request at a time uses it): a
    // scan does not pay for a new connection; dropped after a failure.
    std::shared_ptr<BackOfficeConnection> connection_;
};

}  // namespace tarvo
