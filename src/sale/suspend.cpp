#include "sale/suspend.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "platform/files.h"
#include "sale/clients.h"
#include "sale/sale_start.h"
#include "sale/sales_page.h"
#include "sale/totals.h"
#include "screen/messages.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr int kMessageSeconds = 5;
constexpr unsigned kFileMode = 0600;
constexpr const char* kLineBreak = "\r\n";
constexpr const char* kStoreFailed = "Error: Transaction Not Suspended";
constexpr const char* kRecallFailed = "Error: Suspended Transaction Not Read";
constexpr const char* kRecallNoProduct = "Suspended Sale Kept: None of Its Products Is on File";

// Header fields.
constexpr int kCodeWidth = 8, kAmountWidth = 9, kReferenceWidth = 20, kCountWidth = 3;
// Line fields.
constexpr int kKeyWidth = 20, kNoteWidth = 21;

void Say(Message message) { CIATime(Msg(message), kMessageSeconds); }

// A number's shortest text padded to its field; nullopt when it is longer
// than the field (cutting it would store another number).
std::optional<std::string> NumberField(const std::string& text, int width) {
    if (text.size() > static_cast<std::size_t>(width)) return std::nullopt;
    return PadRight(text, width);
}

// The whole file's text, or nullopt when a number of the sale does not fit.
std::optional<std::string> BuildFile() {
    const SaleState& s = gSale;
    const DataState& d = gData;
    std::string out;

    const auto manager = static_cast<std::size_t>(gReg.gManagerIndex);
    out += PadRight(manager > 0 && manager < d.ManagerTable.size() ? d.ManagerTable[manager].ManagerNumber : "",
                    kCodeWidth);
    out += PadRight(s.gClientCode, kCodeWidth);
    const auto salesman = static_cast<std::size_t>(s.gSalesmanIndex);
    out += PadRight(salesman > 0 && salesman < d.SalesmanTable.size() ? d.SalesmanTable[salesman].SalesmanNumber : "",
                    kCodeWidth);
    const auto discount = NumberField((-s.gSaleDiscount).Text(), kAmountWidth);
    const auto count = NumberField(std::to_string(s.gItemCount), kCountWidth);
    if (!discount || !count) return std::nullopt;
    out += *discount;
    out += PadRight(s.gSaleReference, kReferenceWidth);
    out += *count;
    for (std::size_t k = 1; k <= 3; ++k) out += s.gTaxExempt[k] ? '1' : '0';
    out += kLineBreak;

    for (int i = 1; i <= s.gItemCount && i <= kMaxSaleLines; ++i) {
        const SaleLine& line = s.gLines[static_cast<std::size_t>(i)];
        const auto quantity = NumberField(Num_Text(line.quantity), kAmountWidth);
        const auto list = NumberField(line.listPrice.Text(), kAmountWidth);
        const auto unit = NumberField(line.unitPrice.Text(), kAmountWidth);
        if (!quantity || !list || !unit) return std::nullopt;
        out += PadRight(line.key, kKeyWidth);
        out += *quantity;
        out += *list;
        out += *unit;
        out += PadRight(line.note, kNoteWidth);
        out += line.hasNote ? '1' : '0';
        out += line.kitComponent ? '1' : '0';
        out += kLineBreak;
    }
    return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The sale's manager, client and salesperson from the header's numbers; a
// blank or unknown number leaves what the sale start set.
void RestorePeople(std::string_view header) {
    DataState& d = gData;
    SaleState& s = gSale;
    if (const std::string manager = Trim(Mid(header, 1, kCodeWidth)); !manager.empty()) {
        if (const auto found = Manager_FindByNumber(manager)) gReg.gManagerIndex = *found;
    }
    if (const std::string client = Trim(Mid(header, 9, kCodeWidth)); !client.empty()) {
        if (const std::optional<RecordMatch> found = Client_FindLinear(client)) {
            d.gClientRecNo = found->recNo;
            d.gClientRec = found->record;
            d.gNewClientRecNo = 0;
            Client_GetInformation();
            s.gClientCode = client;
            s.gSaleClientId = Trim(Mid(d.gClientRec, 1, 8));
        }
    }
    if (const std::string salesman = Trim(Mid(header, 17, kCodeWidth)); !salesman.empty()) {
        if (const auto found = Salesman_FindByNumber(salesman)) s.gSalesmanIndex = *found;
    }
}

// One stored line as a new sale line, built from the product's record and
// the stored values. False when the product is gone or a value is unreadable.
bool AddStoredLine(std::string_view stored) {
    SaleState& s = gSale;
    if (s.gItemCount >= kMaxSaleLines) return false;
    const std::optional<ProductMatch> found = Product_Find(Trim(Mid(stored, 1, kKeyWidth)));
    if (!found || found->recNo == 0) return false;
    const std::string_view record = found->record;

    const double quantity = Num_Val(Mid(stored, 21, kAmountWidth));
    const auto list = Money::Parse(Mid(stored, 30, kAmountWidth));
    const auto unit = Money::Parse(Mid(stored, 39, kAmountWidth));
    double priceUnits = Num_Val(Mid(record, 175, 5));
    if (priceUnits == 0) priceUnits = 1;
    if (!list || !unit || !std::isfinite(quantity)) return false;
    const auto extension = Money::FromDouble(unit->ToDouble() * quantity / priceUnits);
    if (!extension) return false;

    std::string taxFlags;
    for (std::size_t k = 1; k <= 3; ++k) {
        if (s.gTaxRate[k] == 0)
            taxFlags += ' ';
        else
            taxFlags += Mid(record, 89 + k, 1) == "1" ? 't' : 'n';
    }

    const int n = ++s.gItemCount;
    SaleLine& line = s.gLines[static_cast<std::size_t>(n)];
    line.product = Trim(Mid(record, 1, 8));
    line.key = std::string(ProductKeyOf(record));
    line.description = std::string(TrimRightView(Mid(record, 60, 30)));
    line.department = std::string(TrimRightView(Mid(record, 94, 6)));
    line.priceUnits = priceUnits;
    line.taxFlags = taxFlags;
    line.sourceIndex = 0;
    line.quantity = quantity;
    line.listPrice = *list;
    line.unitPrice = *unit;
    line.extension = CentRoundUp(*extension);
    line.note = Trim(Mid(stored, 48, kNoteWidth));
    line.hasNote = Mid(stored, 69, 1) == "1";
    line.kitComponent = Mid(stored, 70, 1) == "1";
    if (n > s.gTopLine + 6) s.gTopLine = static_cast<std::int16_t>(n - 6);
    return true;
}

}  // namespace

std::string Suspend_Path() { return gConstants.paths.gDataPath + ".Sus"; }

void Suspend_CheckAtLoad() { gSale.gSuspended = FileExists(Suspend_Path()); }

void Suspend_Store() {
    SaleState& s = gSale;
    const std::string path = Suspend_Path();
    if (s.gSuspended || FileExists(path)) {
        // A sale is waiting already: it is never replaced.
        s.gSuspended = true;
        Say(Message::NotAllowedThereIsASuspendedTransaction);
        return;
    }
    if (s.gItemCount <= 0) {
        Say(Message::InvalidEntryNothingToSuspend);
        return;
    }
    const std::optional<std::string> text = BuildFile();
    if (!text) {
        CIATime(kStoreFailed, kMessageSeconds);
        return;
    }
    std::string why;
    if (!WriteFileAtomic(path, *text, kFileMode, &why)) {
        ProgramLog().Write(1, "Suspend: " + path + ": " + why);
        CIATime(kStoreFailed, kMessageSeconds);
        return;
    }
    Say(Message::TransactionSuspendedSuccessfully);
    s.gSuspended = true;
    Sale_Start();
}

void Suspend_Recall() {
    SaleState& s = gSale;
    const std::string path = Suspend_Path();
    if (s.gItemCount > 0) {
        // Starting the recall would throw away the sale on the receipt.
        Say(Message::OperationNotAllowedInMidSale);
        return;
    }
    std::string text;
    if (!FileExists(path)) {
        s.gSuspended = false;
        Say(Message::NotFound);
        return;
    }
    if (!ReadWholeFile(path, text)) {
        CIATime(kRecallFailed, kMessageSeconds);
        return;
    }

    Sale_Start();
    const std::vector<std::string> lines = SplitLines(text);
    const std::string_view header = lines.empty() ? std::string_view() : std::string_view(lines[0]);
    const auto count = Num_ToInteger(Num_Val(Mid(header, 54, kCountWidth)), 1, 999);
    if (!count) {
        // The file stays; the sale waits on.
        Sale_Start();
        return;
    }

    RestorePeople(header);
    const auto discount = Money::Parse(Mid(header, 25, kAmountWidth));
    s.gSaleDiscount = CentRound(-discount.value_or(Money()));
    s.gSaleReference = Trim(Mid(header, 34, kReferenceWidth));
    for (std::size_t k = 1; k <= 3; ++k) s.gTaxExempt[k] = Mid(header, 56 + k, 1) == "1";
    s.gTaxStatus = static_cast<std::int16_t>(TaxStatus_FromFlags());

    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (TrimView(lines[i]).empty()) continue;
        if (AddStoredLine(lines[i])) Receipt_Display();
    }
    if (s.gItemCount == 0) {
        // Not one product is on file any more: a sale discount on no line
        // would make a refund of it. The sale waits on in its file, for a
        // product file that has its products again.
        ProgramLog().Write(1, "Suspend_Recall: none of the suspended sale's products is on file; the sale stays "
                              "suspended");
        Sale_Start();
        CIATime(kRecallNoProduct, kMessageSeconds);
        return;
    }

    if (!Totals_Update()) {
        // The totals cannot hold the recalled sale: it stays in the file.
        Sale_Start();
        CIATime(kRecallFailed, kMessageSeconds);
        return;
    }
    Suspend_False();
    Say(Message::TransactionRecalledSuccessfully);
}

void Suspend_Drop() {
    const std::string path = Suspend_Path();
    std::string text;
    if (FileExists(path)) {
        if (!ReadWholeFile(path, text)) {
            ProgramLog().Write(1, "Suspend: the suspended sale was dropped unread: " + path);
        } else {
            const std::vector<std::string> lines = SplitLines(text);
            int count = 0;
            Money total;
            bool readable = !lines.empty();
            if (readable) total = Money::Parse(Mid(lines[0], 25, kAmountWidth)).value_or(Money());
            for (std::size_t i = 1; i < lines.size(); ++i) {
                if (TrimView(lines[i]).empty()) continue;
                ++count;
                const double quantity = Num_Val(Mid(lines[i], 21, kAmountWidth));
                const auto unit = Money::Parse(Mid(lines[i], 39, kAmountWidth));
                const auto amount = unit ? Money::FromDouble(unit->ToDouble() * quantity) : std::nullopt;
                if (amount)
                    total += CentRound(*amount);
                else
                    readable = false;
            }
            ProgramLog().Write(1, "Suspend: the suspended sale of " + std::to_string(count) + " lines (" +
                                      (readable ? total.Format("###,##0.00") : std::string("unreadable amounts")) +
                                      " before tax) was dropped at the change of date");
        }
    }
    Suspend_False();
}

void Suspend_False() {
    gSale.gSuspended = false;
    std::error_code ec;
    std::filesystem::remove(Suspend_Path(), ec);
    if (ec) ProgramLog().Write(1, "Suspend: " + Suspend_Path() + ": " + ec.message());
}

}  // namespace tarvo
