#include "online/purchase_orders.h"

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
#include "sale/sale_save.h"
#include "sale/sale_start.h"
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

bool WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// A number the server wrote: digits with at most one period and a leading "-".
bool PlainNumber(const std::string& text) {
    std::size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
    bool digit = false, period = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digit = true;
        else if (text[i] == '.' && !period)
            period = true;
        else
            return false;
    }
    return digit;
}

// Every key locked while the server is asked.
void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

// One fetch, from the header to the last line. It lives in the requests'
// completions; nothing of it is in the sale until the last line is in.
struct PoFetch {
    BackgroundRunner* runner = nullptr;
    std::string typed;   // the number as the cashier typed it
    std::string prefix;  // the dispatcher address at the start
    std::string number;  // the server's purchase-order number
    std::string vendor;
    std::string details;
    int lastLine = 0;
    std::vector<SaleLine> lines;
};
using FetchPtr = std::shared_ptr<PoFetch>;

void Ask(const FetchPtr& f, const std::string& query, void (*next)(const FetchPtr&, const std::string&));

// Ends a fetch that did not complete: its message, a fresh sale, the keys back.
void Stop(const FetchPtr& f, const std::string& message, const std::string& why) {
    ProgramLog().Write(1, "Purchase order " + f->typed + " not fetched: " + why);
    Sale_Start();
    Buttons_Unlock();
    DEA_Reset();
    CIATime(message, 5);
}

void AddDetail(std::string& text, const std::string& label, const std::string& value, bool lineBreak = true) {
    if (value.empty()) return;
    text += label + value;
    if (lineBreak) text += kCrLf;
}

// The order's details as they show after the fetch.
std::string Details(const std::string& reply, const std::string& number) {
    auto v = [&](const char* tag) { return Extract(reply, tag); };
    std::string t = Msg(224) + ": " + number + kCrLf;
    AddDetail(t, Msg(217) + " ", v("vendor name"));
    AddDetail(t, "", v("address"));
    t += v("city") + " " + v("state") + " " + v("country") + " " + v("zip code") + kCrLf;
    t += "Transport: " + v("transport") + " Pkg: " + v("package") + " Vol: " + v("volume") + " Weight: " + v("weight") +
         kCrLf;
    AddDetail(t, Msg(219) + ": ", v("comments"));
    AddDetail(t, Msg(229), v("contact"));
    AddDetail(t, Msg(268), v("vendor order number"));
    AddDetail(t, Msg(228), v("employee name"));
    t += "Date: " + v("order date") + " " + Trim(Msg(231)) + v("delivery date") + " " + Msg(232) + v("cancel date") +
         kCrLf;
    AddDetail(t, "Ship To: ", v("ship name"));
    AddDetail(t, "", v("ship address"));
    t += v("ship city") + " " + v("ship state") + " " + v("ship country") + " " + v("ship zip code") + kCrLf;
    t += kCrLf + "(" + Msg(274) + ")";
    return t;
}

std::string LineQuery(const PoFetch& f, int line) {
    return StandardQuery(TaskCode::FetchPurchaseOrderLine, "<purchase order number>" + f.typed +
                                                               "</purchase order number><line number>" +
                                                               std::to_string(line) + "</line number>");
}

void AskLine(const FetchPtr& f);

// Every line in: the sale holds the order, the register receives it.
void Finish(const FetchPtr& f) {
    SaleState& s = gSale;
    s.gItemCount = 0;
    for (const SaleLine& line : f->lines) s.gLines[static_cast<std::size_t>(++s.gItemCount)] = line;
    s.gPurchaseVendor = f->vendor;
    s.gFetchedDocNumber = f->number;
    Buttons_Unlock();
    Receipt_Display();
    SaleEngine().Totals_Update();
    SaleEngine().Change_Display();
    Total_Activate();
    s.gMode = 28;
    SaleEngine().Mode_Display();
    All_Hide();
    Screen().SetText(ControlId{Control::Txt_All, 0}, f->details);
    MessageWithNoEnd_Show();
    DEA_Reset();
    ProgramLog().Write(1, "Purchase order " + f->number + " fetched, " + std::to_string(f->lines.size()) + " lines");
}

void OnLine(const FetchPtr& f, const std::string& reply) {
    const int n = static_cast<int>(f->lines.size()) + 1;
    const std::string productId = Extract(reply, "product id");
    const std::string key =
        Trim(Extract(reply, gSettings.gProductKeyMode != "0" ? "product bar code" : "product number"));
    if (productId.empty() || key.empty()) return Stop(f, Msg(273), "line " + std::to_string(n) + " has no product");
    const std::optional<ProductMatch> found = Product_Find(key);
    if (!found || found->recNo == 0)
        return Stop(f, Msg(271), "product " + key + " of line " + std::to_string(n) + " not found");
    const std::string record(found->record);

    const std::string ordered = Trim(Extract(reply, "order quantity"));
    const std::string cost = Trim(Extract(reply, "unit cost"));
    const std::optional<Money> unit = cost.empty() ? std::optional<Money>(Money()) : Money::Parse(cost);
    if ((!ordered.empty() && !PlainNumber(ordered)) || !PlainNumber(cost.empty() ? "0" : cost) || !unit)
        return Stop(f, Msg(1), "line " + std::to_string(n) + " has a quantity or cost that is not a number");

    SaleLine line;
    line.product = Trim(Mid(record, 1, 8));
    line.key = std::string(ProductKeyOf(record));
    line.description = std::string(TrimRightView(Mid(record, 60, 30)));
    line.department = std::string(TrimRightView(Mid(record, 94, 6)));
    line.priceUnits = Num_Val(Mid(record, 175, 5));
    if (line.priceUnits == 0) line.priceUnits = 1;
    line.taxFlags = ordered;
    line.quantity = 0;
    line.listPrice = *unit;
    line.unitPrice = *unit;
    line.note = Extract(reply, "comment");
    line.hasNote = !line.note.empty();
    line.sourceIndex = static_cast<std::int16_t>(n);
    f->lines.push_back(line);
    if (n < f->lastLine)
        AskLine(f);
    else
        Finish(f);
}

void AskLine(const FetchPtr& f) {
    const int n = static_cast<int>(f->lines.size()) + 1;
    CIATime(Msg(269) + std::to_string(n) + " / " + std::to_string(f->lastLine), 0);
    Ask(f, LineQuery(*f, n), OnLine);
}

void OnHeader(const FetchPtr& f, const std::string& reply) {
    f->number = Trim(Extract(reply, "purchase order number"));
    if (f->number.empty()) return Stop(f, Msg(270), "the server gave no purchase order number");
    f->vendor = Trim(Extract(reply, "vendor number"));
    if (f->vendor.empty()) return Stop(f, Msg(270), "the server gave no vendor number");
    f->details = Details(reply, f->number);
    const std::string last = Trim(Extract(reply, "last line"));
    if (!last.empty() && !WholeNumber(last)) return Stop(f, Msg(270), "the last line \"" + last + "\" is not a number");
    f->lastLine = last.empty() ? 0 : std::stoi(last);
    if (f->lastLine > kMaxFetchedLines)
        return Stop(f,
                    gSettings.gLanguage == 2 ? "Document Trop Long: Plus de 400 Lignes"
                                             : "Document Too Long: More Than 400 Lines",
                    std::to_string(f->lastLine) + " lines");
    if (f->lastLine == 0) return Finish(f);
    AskLine(f);
}

void Ask(const FetchPtr& f, const std::string& query, void (*next)(const FetchPtr&, const std::string&)) {
    const std::string prefix = f->prefix;
    RunInBackground<BackOfficeResult>(
        *f->runner, [prefix, query] { return BackOfficeRequestAt(prefix, query); },
        [f, prefix, query, next](BackOfficeResult r) {
            if (!r) {
                BackOfficeRequest_LogFailure(prefix, query, r);
                return Stop(f, "Communication error with server", r.error);
            }
            next(f, r.reply);
        });
}

}  // namespace

void Online_Fetch_PO(BackgroundRunner& runner) {
    const std::string typed = Trim(Screen().Text(kEntryBox));
    if (!WholeNumber(typed)) {
        CIATime(Msg(1), 5);
        DEA_Reset();
        return;
    }
    auto f = std::make_shared<PoFetch>();
    f->runner = &runner;
    f->typed = typed;
    f->prefix = gConstants.servers.RequestPrefix();
    CIATime(Msg(260), 0);
    AllKeys_Lock();
    Ask(f, StandardQuery(TaskCode::FetchPurchaseOrder, "<purchase order number>" + typed + "</purchase order number>"),
        OnHeader);
}

}  // namespace tarvo
