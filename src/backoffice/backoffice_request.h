// One exchange with the back-office dispatcher: an HTTP GET of the current
// server's dispatcher address followed by a query naming a task, answered by a
// flat tag text (see tag_text.h). The query builders below give every family
// of requests its exact key order; callers only pass the task and the payload.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo {

// Every task the dispatcher knows.
enum class TaskCode : int {
    ServerTest = 0,                 // reply "test"
    ProductMaster = 1,              // payload: the product code; reply "category", "class", "department"
    NewClient = 2,                  // web-shop import: new client; reply "client number"
    NewOrder = 3,                   // web-shop import: new order; reply "order number"
    OrderLine = 4,                  // web-shop import: order line; reply "order line"
    CashReceipt = 5,                // web-shop import: cash receipt; reply "receipt number"
    ShippingExport = 6,             // shipping export of one order
    FetchPurchaseOrder = 7,         // purchase-order header, "last line", "line count"
    FetchPurchaseOrderLine = 8,     // one purchase-order line
    ReceivePurchaseOrder = 9,       // receiving, header; reply "purchase number"
    ReceivePurchaseOrderLine = 10,  // receiving, line; reply "purchase line"
    PurchaseOrderStatus = 11,       // close or set the status of a purchase order
    NewPurchaseOrder = 12,          // new purchase order, header; reply "purchase order number"
    NewPurchaseOrderLine = 13,      // new purchase order, line; reply "purchase order line"
    LabelsByPurchaseOrder = 14,     // the label fields of one purchase-order line
    ProductPrice = 15,              // new purchase order, product price; reply "product id"
    FetchOrderToPack = 25,          // order to pack, header, "last line", "line count"
    FetchOrderToPackLine = 26,      // order to pack, one line
    PackedOrderInvoice = 27,        // packed order as invoice, header; reply "invoice number"
    PackedOrderInvoiceLine = 28,    // packed order as invoice, line; reply "purchase line"
    ClosePackedOrder = 29,          // close the packed order
    Email = 90,                     // e-mail; an empty reply is an error
    DatabaseSelect = 300,           // SQL select; reply "<body>" with base64 rows
    DatabaseUpdate = 301,           // SQL update or insert; reply "result" = "successful"
};

constexpr int TaskNumber(TaskCode task) { return static_cast<int>(task); }

inline constexpr long kRequestTimeoutMs = 60000;            // whole request, unless the caller says otherwise
inline constexpr long kConnectTimeoutMs = 10000;            // reaching the server (never above the total)
inline constexpr std::size_t kMaxReplyBytes = 1024 * 1024;  // a larger reply is refused

struct BackOfficeResult {
    bool ok = false;      // a 2xx answer within the size limit arrived
    long httpStatus = 0;  // 0 when no HTTP answer came back
    std::string reply;    // the server's bytes (windows-1252); empty unless ok
    std::string error;    // why it failed (no credentials in it); empty when ok
    explicit operator bool() const { return ok; }
};

// Sends gConstants.servers.RequestPrefix() followed by `query` and waits for
// the answer (the calling thread blocks). The credentials of the address go as
// HTTP basic authentication. No connection, a time-out, a bad host, an HTTP
// status other than 2xx or a reply larger than kMaxReplyBytes give ok = false
// and one log line (the address without its credentials).
BackOfficeResult BackOfficeRequest(const std::string& query, long timeoutMs = kRequestTimeoutMs);

// The same exchange for a worker thread: the dispatcher address is given (a
// copy taken on the user-interface thread) and nothing is logged; the caller
// hands a failure to BackOfficeRequest_LogFailure once back on that thread.
BackOfficeResult BackOfficeRequestAt(const std::string& prefix, const std::string& query,
                                     long timeoutMs = kRequestTimeoutMs);
void BackOfficeRequest_LogFailure(const std::string& prefix, const std::string& query, const BackOfficeResult& r);

// One connection to the dispatcher kept open for a chain of requests (the
// header, then each line): every Request goes over the same connection while
// the server keeps it, and opens a new one when it does not. Used by one
// thread at a time; each Request is BackOfficeRequestAt's exchange.
class BackOfficeConnection {
public:
    BackOfficeConnection() = default;
    ~BackOfficeConnection();
    BackOfficeConnection(const BackOfficeConnection&) = delete;
    BackOfficeConnection& operator=(const BackOfficeConnection&) = delete;

    BackOfficeResult Request(const std::string& prefix, const std::string& query, long timeoutMs = kRequestTimeoutMs);

private:
    void* handle_ = nullptr;  // the HTTP library's handle, made at the first request
};

// BackOfficeRequest for the register window's requests: the reply is also kept
// in gOnline.gReply for ASP_Decode, which is emptied when the request fails so
// an earlier reply is never read as this one's.
BackOfficeResult RequestIntoReply(const std::string& query, long timeoutMs = kRequestTimeoutMs);

// A data value as it goes into the query: every byte except letters, digits
// and "-", "_", ".", "~" as "%" and two upper-case hex digits (payloads are
// windows-1252 bytes; the dispatcher decodes them back).
std::string EncodeQueryValue(std::string_view bytes);

// The query families (what follows the dispatcher address). Terminal number
// (gTerminalNumber), debug mode (gSettings.gDebugMode) and the client flag are
// filled in here; every value is encoded with EncodeQueryValue.
//
// "task=" N "&terminal=" T "&debugmode=" D "&data=" payload
// (tasks 3-15 and 25-29, and the deposit form's database tasks 300 and 301).
std::string StandardQuery(TaskCode task, std::string_view payload);
// "task=2&terminal=" T "&debugmode=" D "&flag=" setting 644 "&data=" payload
std::string NewClientQuery(std::string_view payload);
// "task=0"
std::string ServerTestQuery();
// "task=1&data=" product code "&terminal=" T
std::string ProductMasterQuery(std::string_view productCode);
// "task=90&data=" payload
std::string EmailQuery(std::string_view payload);
// The register window's database tasks (300, 301):
// "task=" N "&flag=1&Data=" SQL "&terminal=" T "&debugmode=1"
std::string RegisterDatabaseQuery(TaskCode task, std::string_view sql);
// The same for the terminal number given (for work away from the user-interface
// thread, which takes a copy of it).
std::string RegisterDatabaseQuery(TaskCode task, std::string_view sql, std::string_view terminalNumber);
// The deposit form's database tasks (300, 301): the standard family.
std::string DepositDatabaseQuery(TaskCode task, std::string_view sql);

}  // namespace tarvo
