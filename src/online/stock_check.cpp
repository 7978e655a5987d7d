#include "online/stock_check.h"

#include <chrono>
#include <mutex>
#include <thread>

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

struct StockCheck::Slot {
    std::mutex mutex;
    std::string waiting;                                // the product to ask next ("" none)
    std::uint64_t latest = 0;                           // number of the latest product asked
    bool asking = false;                                // the worker holds the check's work
    std::chrono::steady_clock::time_point lastAsked{};  // the last request's start
    // One connection for every check, used by the worker only: a scan does
    // not pay for a new connection; dropped after a failure.
    std::unique_ptr<BackOfficeConnection> connection;
};

StockCheck::StockCheck(long timeoutMs, long gapMs)
    : timeoutMs_(timeoutMs), gapMs_(gapMs), slot_(std::make_shared<Slot>()) {}

void StockCheck::Ask(BackgroundRunner& runner, const std::string& productId) {
    const std::string& site = gSettings.gSiteId;
    if (!Sql_IsDigits(productId) || !Sql_IsDigits(site)) {
        {
            std::lock_guard lock(slot_->mutex);
            ++slot_->latest;  // an answer still on its way is no longer this product's
            slot_->waiting.clear();
        }
        ProgramLog().Write(1, "Stock check: product id \"" + productId + "\" or site id \"" + site +
                                  "\" is not a plain number; nothing asked");
        CIATime("Stock check: product or site id not a number", 0);
        return;
    }
    CIATime(Msg(Message::RequestInProgressPleaseWait), 0);
    std::uint64_t firstNumber = 0;
    {
        std::lock_guard lock(slot_->mutex);
        firstNumber = ++slot_->latest;
        if (slot_->asking) {
            slot_->waiting = productId;  // replaces any product still waiting; the worker takes it next
            return;
        }
        slot_->asking = true;
    }
    // The server, site and terminal in force when the worker is woken serve
    // every product it asks for before it stops.
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string terminal = gTerminalNumber;
    BackgroundRunner* r = &runner;
    runner.Post(
        [slot = slot_, r, prefix, site, terminal, timeoutMs = timeoutMs_, gap = std::chrono::milliseconds(gapMs_),
         first = productId, firstNumber] {
            std::string product = first;  // the product that woke the worker, then what the slot holds
            std::uint64_t number = firstNumber;
            for (;;) {
                // The gap since the last request; products scanned meanwhile
                // leave only the latest in the slot.
                const auto next = slot->lastAsked + gap;
                if (std::chrono::steady_clock::now() < next) std::this_thread::sleep_until(next);
                if (product.empty()) {
                    std::lock_guard lock(slot->mutex);
                    if (slot->waiting.empty()) {
                        slot->asking = false;
                        return;
                    }
                    product = std::move(slot->waiting);
                    slot->waiting.clear();
                    number = slot->latest;
                }
                slot->lastAsked = std::chrono::steady_clock::now();
                const std::string query =
                    RegisterDatabaseQuery(TaskCode::DatabaseSelect, StockCheck_Sql(product, site), terminal);
                product.clear();
                if (!slot->connection) slot->connection = std::make_unique<BackOfficeConnection>();
                BackOfficeResult result = slot->connection->Request(prefix, query, timeoutMs);
                if (!result) slot->connection.reset();
                std::string text = StockCheck_Message(result.ok, result.reply);
                {
                    std::lock_guard lock(slot->mutex);
                    if (number != slot->latest && result) continue;  // a later product was asked: dropped
                }
                r->Notify([slot, number, prefix, query, result = std::move(result), text = std::move(text)] {
                    if (!result) BackOfficeRequest_LogFailure(prefix, query, result);
                    bool latest = false;
                    {
                        std::lock_guard lock(slot->mutex);
                        latest = number == slot->latest;
                    }
                    if (latest) Show(text);
                });
            }
        },
        [] {});
}

}  // namespace tarvo
