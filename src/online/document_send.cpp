#include "online/document_send.h"

#include <memory>
#include <string>

#include "backoffice/backoffice_request.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "online/fetched_numbers.h"
#include "online/online_page.h"
#include "online/purchase_order_file.h"
#include "sale/record_fields.h"
#include "screen/messages.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

bool CashierLoggedIn() { return gReg.gCashierIndex >= 1 && gReg.gCashierIndex <= gData.gCashierCount; }
std::string Cashier() { return Trim(CashierNumberAt(gReg.gCashierIndex)); }

// What differs between the three documents.
struct DocumentPlan {
    const char* what = "";  // for the log
    TaskCode headerTask{}, lineTask{}, closeTask{};
    const char* headerReply = "";  // the server's number of the document
    const char* lineReply = "";    // the server's number of a line
    bool prices = false;           // a line's list price goes too (task 15)
};

DocumentPlan PlanOf(RegisterMode mode) {
    switch (mode) {
    case RegisterMode::ReceivePO:
        return {"received purchase order",
                TaskCode::ReceivePurchaseOrder,
                TaskCode::ReceivePurchaseOrderLine,
                TaskCode::PurchaseOrderStatus,
                "purchase number",
                "purchase line",
                false};
    case RegisterMode::NewPurchaseOrder:
        return {"purchase order",
                TaskCode::NewPurchaseOrder,
                TaskCode::NewPurchaseOrderLine,
                TaskCode::PurchaseOrderStatus,
                "purchase order number",
                "purchase order line",
                true};
    default:
        return {"packed order",
                TaskCode::PackedOrderInvoice,
                TaskCode::PackedOrderInvoiceLine,
                TaskCode::ClosePackedOrder,
                "invoice number",
                "purchase line",
                false};
    }
}

std::string Totals() {
    const SaleState& s = gSale;
    return Tag("subtotal", s.gSubtotal.Text()) + Tag("discount", s.gSaleDiscount.Text()) +
           Tag("nettotal", s.gTotal.Text()) + Tag("total", s.gTotal.Text());
}

std::string HeaderPayload(RegisterMode mode) {
    const SaleState& s = gSale;
    std::string p;
    if (mode == RegisterMode::PackOrder) {
        p = Tag("client id", s.gClientCode);
        if (CashierLoggedIn()) p += Tag("pack by", Cashier()) + Tag("employee", Cashier());
        p += Tag("invoice date", ServerDate(gReg.gBusinessDate)) + Totals() + Tag("order number", s.gFetchedDocNumber);
        return p;
    }
    p = Tag("vendor number", s.gPurchaseVendor);
    if (CashierLoggedIn()) p += Tag("employee", Cashier());
    p += Totals();
    if (mode == RegisterMode::ReceivePO) return p + Tag("purchase order number", s.gFetchedDocNumber);
    auto optional = [&p](const char* name, const std::string& value) {
        if (!value.empty()) p += Tag(name, value);
    };
    optional("vendor reference number", s.gDocVendorOrderNo);
    optional("delivery date", ServerDate(s.gDocDeliveryDate));
    optional("comment", s.gDocComment);
    optional("canceldate", ServerDate(s.gDocCancelDate));
    optional("tracking number", s.gDocDeliveryMethod);
    optional("contact", s.gDocSupplyMethod);
    optional("back order", s.gDocCancelBackOrders);
    optional("type", s.gDocType);
    optional("status", s.gDocPriority);
    return p;
}

// The line's number on the server: the fetched line's own, or for a
// purchase order made here its place in the order.
int LineNumber(RegisterMode mode, int i) {
    const std::int16_t source = gSale.gLines[static_cast<std::size_t>(i)].sourceIndex;
    return mode == RegisterMode::NewPurchaseOrder || source == 0 ? i : source;
}

std::string LinePayload(RegisterMode mode, int i) {
    const SaleState& s = gSale;
    const SaleLine& l = s.gLines[static_cast<std::size_t>(i)];
    const std::string number = std::to_string(LineNumber(mode, i));
    const std::string quantity = Num_TextDisplay(l.quantity);
    switch (mode) {
    case RegisterMode::ReceivePO:
        return Tag("purchase number", s.gServerDocNumber) + Tag("purchase order number", s.gFetchedDocNumber) +
               Tag("line number", number) + Tag("product id", l.product) + Tag("order quantity", l.taxFlags) +
               Tag("receive quantity", quantity) + Tag("unit cost", l.unitPrice.Text()) +
               Tag("line extension", l.extension.Text()) + Tag("comment", l.note);
    case RegisterMode::NewPurchaseOrder:
        return Tag("purchase order number", s.gServerDocNumber) + Tag("line number", number) +
               Tag("product id", l.product) + Tag("order quantity", quantity) + Tag("receive quantity", quantity) +
               Tag("unit cost", l.unitPrice.Text()) + Tag("line extension", l.extension.Text());
    default:
        return Tag("invoice number", s.gServerDocNumber) + Tag("order number", s.gFetchedDocNumber) +
               Tag("line number", number) + Tag("product id", l.product) + Tag("order quantity", l.taxFlags) +
               Tag("ship quantity", quantity) + Tag("price", l.unitPrice.Text()) +
               Tag("line extension", l.extension.Text()) + Tag("comment", l.note);
    }
}

std::string ClosePayload(RegisterMode mode) {
    const SaleState& s = gSale;
    switch (mode) {
    case RegisterMode::ReceivePO: return Tag("purchase order number", s.gFetchedDocNumber);
    case RegisterMode::NewPurchaseOrder:
        return Tag("purchase order number", s.gServerDocNumber) +
               Tag("status", s.gDocPriority.empty() ? "2" : s.gDocPriority);
    default: return Tag("order number", s.gFetchedDocNumber);
    }
}

// One sending, from wherever the document stands to its close.
struct Sending {
    RegisterMode mode{};
    DocumentPlan plan;
    std::shared_ptr<RequestChain> chain;
    std::function<void(bool)> then;
};
using SendPtr = std::shared_ptr<Sending>;

void Next(const SendPtr& x, int from);

void Fail(const SendPtr& x, Message message, const std::string& why) {
    x->chain->End();
    ProgramLog().Write(1, std::string("Online: the ") + x->plan.what + " was not sent whole: " + why +
                              (gSale.gServerDocNumber.empty()
                                   ? ""
                                   : " (server number " + gSale.gServerDocNumber + " kept, Total sends the rest)"));
    CIATime(Msg(message), 0);
    if (x->then) x->then(false);
}

// Asks the server; a request that fails ends the sending with
// "Unsuccessful: Communication Error".
void Ask(const SendPtr& x, TaskCode task, const std::string& payload, std::function<void(const std::string&)> next) {
    x->chain->Ask(StandardQuery(task, payload), [x, task, next = std::move(next)](const BackOfficeResult& r) {
        if (!r)
            return Fail(x, Message::UnsuccessfulCommunicationError,
                        "task " + std::to_string(TaskNumber(task)) + ": " + r.error);
        next(r.reply);
    });
}

void Done(const SendPtr& x) {
    x->chain->End();
    const std::string number = gSale.gServerDocNumber;
    ProgramLog().Write(1, std::string("Online: the ") + x->plan.what + " is on the server as " + number);
    if (x->mode == RegisterMode::NewPurchaseOrder) PurchaseOrderFile_Sent(number);
    CIATime(Msg(Message::DocumentNumber) + " " + number, 30);
    if (x->then) x->then(true);
}

void Close(const SendPtr& x) {
    if (gSale.gServerDocClosed) return Done(x);
    CIATime(Msg(Message::RequestInProgress), 0);
    Ask(x, x->plan.closeTask, ClosePayload(x->mode), [x](const std::string&) {
        gSale.gServerDocClosed = true;
        Done(x);
    });
}

bool Wanted(const SendPtr& x, const SaleLine& l) {
    if (l.quantity == 0) return false;
    return l.serverLine.empty() || (x->plan.prices && !l.listPrice.IsZero() && !l.priceSent);
}

void SendPrice(const SendPtr& x, int i) {
    const SaleLine& l = gSale.gLines[static_cast<std::size_t>(i)];
    Ask(x, TaskCode::ProductPrice, Tag("product id", l.product) + Tag("price", l.listPrice.Text()),
        [x, i](const std::string& reply) {
            SaleLine& line = gSale.gLines[static_cast<std::size_t>(i)];
            if (Trim(Extract(reply, "product id")).empty())
                ProgramLog().Write(1, "Online: the price of product " + line.product + " was not confirmed");
            line.priceSent = true;
            Next(x, i + 1);
        });
}

void SendLine(const SendPtr& x, int i) {
    const SaleState& s = gSale;
    const SaleLine& l = s.gLines[static_cast<std::size_t>(i)];
    CIATime(Msg(Message::StoringProductInformation) + " " + std::to_string(LineNumber(x->mode, i)) + " / " +
                std::to_string(s.gItemCount),
            0);
    if (!l.serverLine.empty()) return SendPrice(x, i);
    Ask(x, x->plan.lineTask, LinePayload(x->mode, i), [x, i](const std::string& reply) {
        const std::string number = Trim(Extract(reply, x->plan.lineReply));
        if (number.empty())
            return Fail(x, Message::ErrorServerUnableToSaveTransaction,
                        "line " + std::to_string(LineNumber(x->mode, i)) + " refused by the server");
        SaleLine& line = gSale.gLines[static_cast<std::size_t>(i)];
        line.serverLine = number;
        line.serverQuantity = line.quantity;
        if (x->plan.prices && !line.listPrice.IsZero() && !line.priceSent) return SendPrice(x, i);
        Next(x, i + 1);
    });
}

void Next(const SendPtr& x, int from) {
    const SaleState& s = gSale;
    for (int i = from; i <= s.gItemCount && i <= kMaxSaleLines; ++i)
        if (Wanted(x, s.gLines[static_cast<std::size_t>(i)])) return SendLine(x, i);
    Close(x);
}

}  // namespace

void Document_Send(OnlineChains& chains, RegisterMode mode, std::function<void(bool sent)> then) {
    if (mode != RegisterMode::ReceivePO && mode != RegisterMode::NewPurchaseOrder && mode != RegisterMode::PackOrder) {
        Online_NotBuilt("sending the document of mode " + std::to_string(static_cast<int>(mode)));
        if (then) then(false);
        return;
    }
    auto chain = chains.Start();
    if (!chain) {
        Online_NotBuilt("sending a document without a background runner");
        if (then) then(false);
        return;
    }
    if (mode != RegisterMode::PackOrder && Trim(gSale.gPurchaseVendor).empty()) {
        // A purchase order goes to its vendor: none chosen yet, nothing is sent.
        chain->End();
        ProgramLog().Write(1, "Online: the purchase order has no vendor, nothing sent");
        CIATime(Msg(Message::NoVendorInformationAvailable), 5);
        if (then) then(false);
        return;
    }
    // A line the server has already must still say what the server has:
    // sending the rest would leave the two apart.
    for (int i = 1; i <= gSale.gItemCount && i <= kMaxSaleLines; ++i) {
        const SaleLine& l = gSale.gLines[static_cast<std::size_t>(i)];
        if (l.serverLine.empty() || l.quantity == l.serverQuantity) continue;
        chain->End();
        ProgramLog().Write(1, "Online: line " + std::to_string(LineNumber(mode, i)) + " (" + l.product +
                                  ") is on the server with the quantity " + Num_TextDisplay(l.serverQuantity) +
                                  ", not " + Num_TextDisplay(l.quantity) + "; nothing sent");
        CIATime(Msg(Message::InvalidEntry), 5);
        if (then) then(false);
        return;
    }
    auto x = std::make_shared<Sending>();
    x->mode = mode;
    x->plan = PlanOf(mode);
    x->chain = chain;
    x->then = std::move(then);
    chain->onCancel = [x] { Fail(x, Message::OperationCanceledTitle, "stopped by the cashier"); };
    CIATime(Msg(Message::RequestInProgress), 0);
    if (!gSale.gServerDocNumber.empty()) return Next(x, 1);
    Ask(x, x->plan.headerTask, HeaderPayload(mode), [x](const std::string& reply) {
        const std::string number = Trim(Extract(reply, x->plan.headerReply));
        if (number.empty())
            return Fail(x, Message::ErrorServerUnableToSaveTransaction, "the server gave no document number");
        gSale.gServerDocNumber = number;
        Next(x, 1);
    });
}

}  // namespace tarvo
