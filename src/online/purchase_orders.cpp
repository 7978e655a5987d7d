#include "online/purchase_orders.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/backoffice_request.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "online/fetched_numbers.h"
#include "online/online_page.h"
#include "sale/modes.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

const std::string kCrLf = "\r\n";

// One fetch, from the header to the last line. It lives in the requests'
// completions; nothing of it is in the sale until the last line is in.
struct DocFetch {
    FetchedKind kind = FetchedKind::PurchaseOrder;
    std::shared_ptr<RequestChain> chain;
    std::string typed;   // the number as the cashier typed it
    std::string number;  // the server's number of the document
    std::string party;   // the vendor (purchase order) or the client (order to pack)
    std::string details;
    int lastLine = 0;
    std::vector<SaleLine> lines;

    bool Packing() const { return kind == FetchedKind::OrderToPack; }
    const char* What() const { return Packing() ? "Order " : "Purchase order "; }
    const char* NumberTag() const { return Packing() ? "order number" : "purchase order number"; }
};
using FetchPtr = std::shared_ptr<DocFetch>;

// Ends a fetch that did not complete: its message, a fresh sale, the keys back.
void Stop(const FetchPtr& f, const std::string& message, const std::string& why, int seconds = 5) {
    f->chain->End();
    ProgramLog().Write(1, f->What() + f->typed + " not fetched: " + why);
    Sale_Start();
    Buttons_Unlock();
    DEA_Reset();
    CIATime(message, seconds);
}

void AddDetail(std::string& text, const std::string& label, const std::string& value, bool lineBreak = true) {
    if (value.empty()) return;
    text += label + value;
    if (lineBreak) text += kCrLf;
}

// A fetched document's details as they show after the fetch, each piece only
// when the server gave it: the heading, the vendor's or client's line, and the
// tag of the reference number differ between a purchase order and an order to
// pack.
std::string FetchedDetails(const std::string& reply, const std::string& heading, const std::string& whoLabel,
                           const char* whoTag, const char* referenceTag) {
    auto v = [&](const char* tag) { return Extract(reply, tag); };
    auto piece = [&](std::string& t, const std::string& label, const char* tag) {
        const std::string value = v(tag);
        if (!value.empty()) t += label + value;
    };
    std::string t = heading + kCrLf;
    AddDetail(t, whoLabel, v(whoTag));
    AddDetail(t, "", v("address"));
    piece(t, "", "city");
    for (const char* tag : {"state", "country", "zip code"}) piece(t, " ", tag);
    t += kCrLf;
    piece(t, "Transport: ", "transport");
    piece(t, " Pkg: ", "package");
    piece(t, " Vol: ", "volume");
    piece(t, " Weight: ", "weight");
    t += kCrLf;
    AddDetail(t, Msg(Message::Comments) + ": ", v("comments"));
    AddDetail(t, Msg(Message::NameOfContact), v("contact"));
    AddDetail(t, Msg(Message::OrderRefNo), v(referenceTag));
    AddDetail(t, Msg(Message::EntryBy), v("employee name"));
    piece(t, "Date: ", "order date");
    piece(t, " " + Trim(Msg(Message::DeliveryDate)), "delivery date");
    piece(t, " " + Msg(Message::CancelationDate), "cancel date");
    t += kCrLf;
    AddDetail(t, "Ship To: ", v("ship name"));
    AddDetail(t, "", v("ship address"));
    piece(t, "", "ship city");
    for (const char* tag : {"ship state", "ship country", "ship zip code"}) piece(t, " ", tag);
    t += kCrLf;
    t += kCrLf + "(" + Msg(Message::TouchOrClickEnterButtonToContinue) + ")";
    return t;
}

std::string PurchaseDetails(const std::string& reply, const std::string& number) {
    return FetchedDetails(reply, Msg(Message::PurchaseOrderTitle) + ": " + number, Msg(Message::Vendor) + " ",
                          "vendor name", "vendor order number");
}

std::string PackDetails(const std::string& reply, const std::string& number) {
    return FetchedDetails(reply, Msg(Message::Order) + number, Msg(Message::Client) + ": ", "client name",
                          "purchase order number");
}

std::string LineQuery(const DocFetch& f, int line) {
    const std::string tag = f.NumberTag();
    return StandardQuery(f.Packing() ? TaskCode::FetchOrderToPackLine : TaskCode::FetchPurchaseOrderLine,
                         "<" + tag + ">" + f.typed + "</" + tag + "><line number>" + std::to_string(line) +
                             "</line number>");
}

void AskLine(const FetchPtr& f);

// Every line in: the sale holds the document and the register counts into it.
void Finish(const FetchPtr& f) {
    f->chain->End();
    SaleState& s = gSale;
    s.gItemCount = 0;
    for (const SaleLine& line : f->lines) s.gLines[static_cast<std::size_t>(++s.gItemCount)] = line;
    if (f->Packing())
        s.gClientCode = f->party;
    else
        s.gPurchaseVendor = f->party;
    s.gFetchedDocNumber = f->number;
    s.gServerDocNumber.clear();
    s.gServerDocClosed = false;
    Buttons_Unlock();
    Receipt_Display();
    Totals_Update();
    Change_Display();
    s.gMode = f->Packing() ? RegisterMode::PackOrder : RegisterMode::ReceivePO;
    Total_Activate();
    Mode_Display();
    All_Hide();
    Screen().SetText(ControlId{Control::Txt_All, 0}, f->details);
    MessageWithNoEnd_Show();
    DEA_Reset();
    ProgramLog().Write(1, f->What() + f->number + " fetched, " + std::to_string(f->lines.size()) + " lines");
}

void OnLine(const FetchPtr& f, const BackOfficeResult& r) {
    const std::string& reply = r.reply;
    const int n = static_cast<int>(f->lines.size()) + 1;
    const std::string where = "line " + std::to_string(n);
    const std::string productId = Extract(reply, "product id");
    if (productId.empty() && f->Packing())
        return Stop(f, Msg(Message::ErrorServerMissingItem) + std::to_string(n), where + " has no product id");
    const std::string key =
        Trim(Extract(reply,
                     gSettings.gProductKeyMode.asText != ProductKey::Number ? "product bar code" : "product number"));
    if (productId.empty() || key.empty())
        return Stop(f, Msg(Message::ErrorProductIdMissingFromResponse), where + " has no product");
    const std::optional<ProductMatch> found = Product_Find(key);
    if (!found || found->recNo == 0)
        return Stop(f, Msg(Message::ErrorProductNotFoundLocally), "product " + key + " of " + where + " not found");
    const std::string record(found->record);

    const std::string ordered = Trim(Extract(reply, f->Packing() ? "quantity to ship" : "order quantity"));
    const std::string cost = Trim(Extract(reply, f->Packing() ? "unit price" : "unit cost"));
    const std::optional<Money> unit = cost.empty() ? std::optional<Money>(Money()) : PlainAmount_Read(cost);
    if ((!ordered.empty() && !Num_ReadStrict(ordered)) || !unit)
        return Stop(f, Msg(Message::InvalidEntry), where + " has a quantity or price that is not a number");
    std::int16_t serverLine = static_cast<std::int16_t>(n);
    if (f->Packing()) {
        const std::string number = Trim(Extract(reply, "line number"));
        if (!number.empty()) {
            // The line keeps the number in a 16-bit field: a larger one would
            // go back to the server as another line's.
            const auto whole = FetchedWholeNumber(number);
            if (!whole || *whole < 1 || *whole > INT16_MAX)
                return Stop(f, Msg(Message::InvalidEntry), where + " has the line number \"" + number + "\"");
            serverLine = static_cast<std::int16_t>(*whole);
        }
    }

    SaleLine line;
    line.product = Trim(Mid(record, 1, 8));
    line.key = std::string(ProductKeyOf(record));
    line.description = std::string(TrimRightView(Mid(record, 60, 30)));
    line.department = std::string(TrimRightView(Mid(record, 94, 6)));
    line.priceUnits = Num_Val(Mid(record, 175, 5));
    if (line.priceUnits == 0) line.priceUnits = 1;
    // The quantity ordered (to ship) as the server wrote it, its number only.
    line.taxFlags = ordered.empty() ? std::string() : Num_TextDisplay(*Num_ReadStrict(ordered));
    line.quantity = 0;
    line.listPrice = *unit;
    line.unitPrice = *unit;
    line.note = Extract(reply, "comment");
    line.hasNote = !line.note.empty();
    line.sourceIndex = serverLine;
    f->lines.push_back(line);
    if (n < f->lastLine)
        AskLine(f);
    else
        Finish(f);
}

void Ask(const FetchPtr& f, const std::string& query, void (*next)(const FetchPtr&, const BackOfficeResult&)) {
    f->chain->Ask(query, [f, next](const BackOfficeResult& r) {
        if (!r) return Stop(f, "Communication error with server", r.error, f->Packing() ? 10 : 5);
        next(f, r);
    });
}

void AskLine(const FetchPtr& f) {
    const int n = static_cast<int>(f->lines.size()) + 1;
    CIATime(Msg(Message::ReceivingItem) + std::to_string(n) + " / " + std::to_string(f->lastLine), 0);
    Ask(f, LineQuery(*f, n), OnLine);
}

void OnHeader(const FetchPtr& f, const BackOfficeResult& r) {
    const std::string& reply = r.reply;
    f->number = Trim(Extract(reply, f->NumberTag()));
    if (f->number.empty())
        return Stop(f, Msg(Message::InformationNotAvailableDenied), "the server gave no document number");
    f->party = Trim(Extract(reply, f->Packing() ? "client number" : "vendor number"));
    if (f->party.empty())
        return Stop(f, Msg(Message::InformationNotAvailableDenied),
                    f->Packing() ? "the server gave no client" : "no vendor number");
    f->details = f->Packing() ? PackDetails(reply, f->number) : PurchaseDetails(reply, f->number);
    const std::string last = Trim(Extract(reply, "last line"));
    const auto lines = last.empty() ? std::optional<std::int64_t>(0) : FetchedWholeNumber(last);
    if (!lines)
        return Stop(f, Msg(Message::InformationNotAvailableDenied), "the last line \"" + last + "\" is not a number");
    if (*lines > kMaxFetchedLines)
        return Stop(f,
                    gSettings.gLanguage == 2 ? "Document Trop Long: Plus de 400 Lignes"
                                             : "Document Too Long: More Than 400 Lines",
                    std::to_string(*lines) + " lines");
    f->lastLine = static_cast<int>(*lines);
    if (f->lastLine == 0) return Finish(f);
    AskLine(f);
}

}  // namespace

void FetchedDocument_Start(OnlineChains& chains, FetchedKind kind) {
    const std::string typed = Trim(Screen().Text(kEntryBox));
    if (!FetchedWholeNumber(typed)) {
        ProgramLog().Write(1, "Online: the document number \"" + typed + "\" is not a whole number");
        CIATime(Msg(Message::InvalidEntry), 5);
        DEA_Reset();
        return;
    }
    auto chain = chains.Start();
    if (!chain) {
        Online_NotBuilt(std::string(kind == FetchedKind::OrderToPack ? "fetching an order to pack"
                                                                     : "fetching a purchase order") +
                        " without a background runner");
        return;
    }
    auto f = std::make_shared<DocFetch>();
    f->kind = kind;
    f->chain = chain;
    f->typed = typed;
    chain->onCancel = [f] { Stop(f, Msg(Message::OperationCanceledTitle), "stopped by the cashier"); };
    CIATime(Msg(Message::RequestInProgress), 0);
    OnlineKeys_Lock();
    const std::string tag = f->NumberTag();
    Ask(f,
        StandardQuery(f->Packing() ? TaskCode::FetchOrderToPack : TaskCode::FetchPurchaseOrder,
                      "<" + tag + ">" + typed + "</" + tag + ">"),
        OnHeader);
}

void Online_Fetch_PO(OnlineChains& chains) { FetchedDocument_Start(chains, FetchedKind::PurchaseOrder); }

void OnLine_Pack_Order(OnlineChains& chains) { FetchedDocument_Start(chains, FetchedKind::OrderToPack); }

void Online_Fetch_PO(BackgroundRunner& runner) {
    OnlineChains chains(&runner);
    Online_Fetch_PO(chains);
}

}  // namespace tarvo
