#include "online/stock_check.h"

#include "backoffice/backoffice_request.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "online/deposit_records.h"
#include "platform/background_runner.h"
#include "platform/codec.h"
#include "screen/messages.h"

namespace tarvo {
namespace {

const char* const kCommError = "Error: In communication with server";
const char* const kDecodeError = "Error: Uncompressing response from server";

void Show(const std::string& text) {
    if (text.rfind("Error", 0) == 0) ProgramLog().Write(1, "Stock check: " + text);
    CIATime(text, 0);
}

}  // namespace

std::string StockCheck_Sql(const std::string& productId, const std::string& siteId) {
    return "Select stock_qty-orders_commited_qty-unavailable_qty from tbl_prd_detail  where product_id= " + productId +
           " and site_id= " + siteId;
}

std::string StockCheck_Message(bool ok, const std::string& reply) {
    if (!ok) return kCommError;
    if (reply.find("<body>") == std::string::npos) return kDecodeError;
    const auto decoded = Base64Decode(Extract_Compressed_Message(reply));
    if (!decoded) return kDecodeError;
    const std::string count = Trim(Extract(*decoded, "record count"));
    if (count.empty() || count == "0") return "No records selected from stock table";
    std::string rows = *decoded;
    const std::string quantity = Extract(Record_Extract(rows), "0");
    if (quantity.empty()) return "None in stock";
    return quantity + " is in stock";
}

void StockCheck::Ask(BackgroundRunner& runner, const std::string& productId) {
    ++latest_;
    const std::string& site = gSettings.gSiteId;
    if (!Sql_IsDigits(productId) || !Sql_IsDigits(site)) {
        ProgramLog().Write(1, "Stock check: product id \"" + productId + "\" or site id \"" + site +
                                  "\" is not a plain number; nothing asked");
        CIATime("Stock check: product or site id not a number", 0);
        return;
    }
    CIATime(Msg(Message::RequestInProgressPleaseWait), 0);
    if (busy_) {
        waiting_ = productId;  // replaces any product still waiting
        return;
    }
    Send(runner, productId);
}

void StockCheck::Send(BackgroundRunner& runner, const std::string& productId) {
    busy_ = true;
    const std::uint64_t number = latest_;
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string query =
        RegisterDatabaseQuery(TaskCode::DatabaseSelect, StockCheck_Sql(productId, gSettings.gSiteId));
    BackgroundRunner* r = &runner;
    const long timeoutMs = timeoutMs_;
    if (!connection_) connection_ = std::make_shared<BackOfficeConnection>();
    auto connection = connection_;
    RunInBackground<BackOfficeResult>(
        runner, [connection, prefix, query, timeoutMs] { return connection->Request(prefix, query, timeoutMs); },
        [this, r, number, prefix, query](BackOfficeResult result) {
            busy_ = false;
            if (!result) {
                BackOfficeRequest_LogFailure(prefix, query, result);
                connection_.reset();
            }
            if (number == latest_) Show(StockCheck_Message(result.ok, result.reply));
            if (!waiting_.empty()) {
                const std::string next = std::move(waiting_);
                waiting_.clear();
                Send(*r, next);
            }
        });
}

}  // namespace tarvo
