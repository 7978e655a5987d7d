#include "sale/sale_save.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/record_fields.h"
#include "sale/sale_start.h"
#include "sale/tenders.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/panels.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

SaleSaveState gSaleSave;

namespace {

constexpr ControlId kTotalKey{Control::mTotalRegister, 0};
constexpr std::int64_t kMaxRecord = 9999999;
constexpr int kTenderCountLimit = 9;  // the header keeps the tender count in one column

void Log(const std::string& text) { ProgramLog().Write(1, text); }

// The amount of tender t as saved: the last one net of the change.
Money SavedTenderAmount(int t) {
    const SaleState& s = gSale;
    Money a = s.gPayments[static_cast<std::size_t>(t)].amount;
    if (t == s.gPaymentCount && !s.gChange.IsZero()) a = CentRound(a - s.gChange);
    return a;
}

std::string TwoDigits(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

bool IsNumber(std::string_view s) {
    s = TrimView(s);
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// Type codes compare as numbers when both are numbers ("02" is "2").
bool SameCode(std::string_view a, std::string_view b) {
    if (IsNumber(a) && IsNumber(b)) return std::stol(std::string(a)) == std::stol(std::string(b));
    return TrimView(a) == TrimView(b);
}

// The payment kind of the tender's type opens the drawer.
bool TenderOpensDrawer(const std::string& type) {
    const TenderState& list = gTender;
    const int count = std::min<int>(list.gPaymentListCount, kMaxPaymentListEntries);
    for (int j = 1; j <= count; ++j) {
        const auto i = static_cast<std::size_t>(j);
        if (list.gPaymentListDrawer[i] && SameCode(list.gPaymentListCode[i], type)) return true;
    }
    return false;
}

bool IsCardType(const std::string& type) {
    if (!IsNumber(type)) return false;
    long v = std::stol(type);
    return v >= 2 && v <= 14;
}

void CloseFiles() {
    gData.payments.Close();
    gData.invoiceLines.Close();
    gData.invoices.Close();
}

// The counters and the sale after its records are in the files.
void Saved(std::int64_t invoiceNo, std::int64_t lastLine, std::int64_t lastPayment) {
    DataState& d = gData;
    d.gLastInvoiceRecord = static_cast<std::int32_t>(invoiceNo);
    d.gLastInvoiceLineRecord = static_cast<std::int32_t>(lastLine);
    d.gLastPaymentRecord = static_cast<std::int32_t>(lastPayment);
    gSaleSave.gPrintRecordNo = d.gLastInvoiceRecord;
    if (gSale.gPaymentCount > 0)
        gSale.gPayments[static_cast<std::size_t>(gSale.gPaymentCount)].amount = SavedTenderAmount(gSale.gPaymentCount);
    CloseFiles();
}

// A training sale's records lie past the counts, which it never changes: it
// prints like a sale, yet no crash can leave it counted as one, and the next
// document overwrites it.
void TrainingSaved(std::int64_t invoiceNo, std::int64_t lastLine, std::int64_t lastPayment) {
    gSaleSave.gTrainingExtent = {static_cast<std::int32_t>(invoiceNo), static_cast<std::int32_t>(lastLine),
                                 static_cast<std::int32_t>(lastPayment)};
    Saved(invoiceNo, lastLine, lastPayment);
}

}  // namespace

void SaleSave_SetWriteHook(SaleSaveWriteHook hook) { DocumentCommit_SetWriteHook(std::move(hook)); }

std::optional<SaleRecords> SaleRecords_Build(std::int32_t invoiceNo, const LocalTime& now, std::string& problem) {
    const SaleState& s = gSale;
    problem.clear();
    SaleRecords out;
    if (invoiceNo > kMaxRecord) {
        problem = "Invoice number";
        return std::nullopt;
    }
    if (s.gPaymentCount > kTenderCountLimit) {
        problem = "Number of tenders";
        return std::nullopt;
    }
    const std::string inv = PadZero(std::to_string(invoiceNo), 7);

    RecordBuilder h(problem);
    h.Raw(inv);
    h.Raw(" 0 ");
    h.Raw(s.gTotal < Money() ? "1" : "0");
    h.Text(gReg.gBusinessDate, 8);
    h.Raw(TwoDigits(now.hour) + TwoDigits(now.minute));
    h.Text(CashierNumberAt(gReg.gCashierIndex), 8);
    h.Text(ManagerNumberAt(gReg.gManagerIndex), 8);
    h.Raw(SaleClientField());
    h.Text(SalesmanNumberAt(s.gSalesmanIndex), 8);
    SaleAmounts(h, true);
    h.Text(s.gInvoiceStatus, 1);
    h.Text(s.gSaleReference, 20);
    h.Text(std::to_string(s.gItemCount), 3);
    h.Text(std::to_string(s.gPaymentCount), 1);
    out.header = h.Take();

    out.lines.reserve(static_cast<std::size_t>(std::max(0, s.gItemCount)));
    for (int k = 1; k <= s.gItemCount && k <= kMaxSaleLines; ++k) {
        const SaleLine& line = s.gLines[static_cast<std::size_t>(k)];
        RecordBuilder l(problem);
        l.Raw(inv);
        l.Zero(k, 3);
        l.Text(line.product, 8);
        l.Text(line.key, 20);
        l.Number(Num_Text(line.quantity), 9, "Quantity of line " + std::to_string(k));
        l.Number(line.listPrice.Text(), 9, "List price of line " + std::to_string(k));
        l.Number(line.unitPrice.Text(), 9, "Price of line " + std::to_string(k));
        l.Text(line.note, 21);
        l.Raw(line.kitComponent ? "1" : "0");
        l.Raw(line.hasNote ? "1" : "0");
        out.lines.push_back(l.Take());
    }

    for (int t = 1; t <= s.gPaymentCount; ++t) {
        const SalePayment& tender = s.gPayments[static_cast<std::size_t>(t)];
        RecordBuilder p(problem);
        p.Raw(inv);
        p.Zero(t, 2);
        p.Text(tender.type, 8);
        p.Number(SavedTenderAmount(t).Text(), 9, "Amount of tender " + std::to_string(t));
        p.Text(tender.reference, 20);
        p.Raw(std::to_string(std::clamp<int>(tender.entryKind, 0, 9)));
        p.Scrambled(tender.cardNumber, 25);
        p.Scrambled(tender.cardExpiry, 10);
        p.Scrambled(tender.cardHolder, 50);
        // The track of a swiped card is never kept; a keyed card keeps its
        // address and zip here.
        p.Scrambled(tender.entryKind == 1 ? std::string() : tender.cardData, 100);
        out.payments.push_back(p.Take());
    }
    if (!problem.empty()) return std::nullopt;
    return out;
}

void TrainingSale_Reach() {
    const auto& e = gSaleSave.gTrainingExtent;
    if (gSale.gMode != RegisterMode::Training || e[0] == 0 || e[0] != gSaleSave.gPrintRecordNo) return;
    DataState& d = gData;
    d.gLastInvoiceRecord = std::max(d.gLastInvoiceRecord, e[0]);
    d.gLastInvoiceLineRecord = std::max(d.gLastInvoiceLineRecord, e[1]);
    d.gLastPaymentRecord = std::max(d.gLastPaymentRecord, e[2]);
}

SaleSaveResult Sale_Save() {
    gSaleSave.gTrainingExtent = {};
    Invoice_Status();
    Open_FileInvoice();
    Open_FilePayment();
    DataState& d = gData;
    for (const WorkFile* f : {&d.invoices, &d.invoiceLines, &d.payments}) {
        if (!f->IsOpen()) {
            Log("Sale_Save: " + f->Error());
            CloseFiles();
            SaleSaveResult refused;
            refused.message = "Error Opening Invoice Files - Sale Not Saved";
            CIATime(refused.message, 10);
            return refused;
        }
    }

    const std::int64_t invoiceNo = Transaction_NextRecord(d.invoices);
    const std::int64_t firstLine = Transaction_NextRecord(d.invoiceLines);
    const std::int64_t firstPayment = Transaction_NextRecord(d.payments);
    std::string problem;
    std::optional<SaleRecords> rec;
    if (firstLine + gSale.gItemCount - 1 > kMaxRecord || firstPayment + gSale.gPaymentCount - 1 > kMaxRecord)
        problem = "Invoice files full";
    else
        rec = SaleRecords_Build(static_cast<std::int32_t>(invoiceNo), Reg().clock->Now(), problem);
    if (!rec) {
        Log("Sale_Save: " + problem + " does not fit the invoice record; sale not saved");
        CloseFiles();
        SaleSaveResult refused;
        refused.message = "Sale Not Saved: " + problem + " Too Large";
        CIATime(refused.message, 10);
        return refused;
    }

    const std::int64_t lastLine = firstLine + static_cast<std::int64_t>(rec->lines.size()) - 1;
    const std::int64_t lastPayment = firstPayment + static_cast<std::int64_t>(rec->payments.size()) - 1;
    const bool training = gSale.gMode == RegisterMode::Training;
    std::array<DocumentPart, 3> parts{{
        {&d.invoices, ".INV", invoiceNo, {std::move(rec->header)}, 100, 0, nullptr},
        {&d.invoiceLines, ".DTL", firstLine, std::move(rec->lines), 60, 0, nullptr},
        {&d.payments, ".PAY", firstPayment, std::move(rec->payments), 233, 233, nullptr},
    }};
    if (!Document_Commit(parts, "Sale_Save", !training)) {
        CloseFiles();
        SaleSaveResult refused;
        refused.message = "Error Saving Sale - Sale Not Saved";
        CIATime(refused.message, 10);
        return refused;
    }
    if (training)
        TrainingSaved(invoiceNo, lastLine, lastPayment);
    else
        Saved(invoiceNo, lastLine, lastPayment);
    SaleSaveResult result = Sale_Outcome(false);
    result.saved = true;
    result.recordNo = static_cast<std::int32_t>(invoiceNo);
    SaleEvents().Sale_Saved(result);
    return result;
}

SaleSaveResult Sale_Outcome(bool document) {
    const SaleState& s = gSale;
    SaleSaveResult r;
    for (int t = 1; t <= s.gPaymentCount && !r.openDrawer; ++t)
        r.openDrawer = TenderOpensDrawer(s.gPayments[static_cast<std::size_t>(t)].type);
    if (!document) {
        const bool cashNoReceipt = gSettings.gNoReceiptForCash && s.gInvoiceStatus == "4" && s.gPaymentCount >= 1 &&
                                   SameCode(s.gPayments[1].type, "1");
        r.giftReceipt = !cashNoReceipt && gSettings.gGiftReceiptAlways;
        r.receipt = !cashNoReceipt && (!gSettings.gReceiptIfPositive || s.gSubtotal > Money());
    }
    if (!gSettings.gCardEnabled) {
        if (gSettings.gCardCopies == CardCopies::Two)
            for (int t = 1; t <= s.gPaymentCount; ++t)
                if (IsCardType(Trim(s.gPayments[static_cast<std::size_t>(t)].type))) r.secondCopy = true;
    } else {
        r.secondCopy = gSettings.gCardCopies == CardCopies::Two && s.gCardInSale;
    }
    return r;
}

bool Sale_RefundsCash() {
    const SaleState& s = gSale;
    if (!(s.gTotal < Money())) return false;
    for (int t = 1; t <= s.gPaymentCount; ++t)
        if (SameCode(s.gPayments[static_cast<std::size_t>(t)].type, "1")) return true;
    return false;
}

void Total_Activate() {
    SaleState& s = gSale;
    ScreenModel& screen = Screen();
    auto set = [&](bool on) { screen.SetEnabled(kTotalKey, on); };
    if (s.gItemCount <= 0) {
        set(false);
        return;
    }
    const RegisterMode mode = s.gMode;
    if (mode == RegisterMode::OrderEntry) {
        if (s.gOrderKind != "1" || s.gTotal < Money() ||
            (s.gDocType == "2" || s.gDocType == "3" || s.gDocType == "4" || s.gDocType == "5")) {
            set(true);
            return;
        }
        const double pct = Num_Val(gSettings.gOrderMinPaidPercent);
        const Money needed = Money::FromDouble(s.gTotal.ToDouble() * pct / 100).value_or(s.gTotal);
        set(s.gPaid >= needed);
        return;
    }
    if (mode == RegisterMode::PackOrder) {
        bool all = true;
        for (int k = 1; k <= s.gItemCount && k <= kMaxSaleLines; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (s.gLines[i].quantity != Num_Val(s.gLines[i].taxFlags)) {
                all = false;
                break;
            }
        }
        set(all);
        return;
    }
    if (IsPurchaseMode(mode) || mode == RegisterMode::Adjustment || mode == RegisterMode::ReceivePO ||
        gSettings.gPayBalanceOnTotal) {
        set(true);
        return;
    }
    if (s.gTotal < Money()) {
        if (s.gPaid <= s.gTotal)
            set(true);
        else if (!gSettings.gRefundTenderRule)
            set(true);
        return;
    }
    if (s.gPaid >= s.gTotal) {
        set(true);
        if (!s.gChange.IsZero()) s.gChange = s.gPaid - s.gTotal;
        return;
    }
    set(gSettings.gOpenBalanceAllowed && gSale.gClientAccountType == "3");
}

}  // namespace tarvo
