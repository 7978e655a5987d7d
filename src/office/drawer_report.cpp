#include "office/drawer_report.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <exception>
#include <string>

#include "common/fields.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/report_lines.h"
#include "office/report_state.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/report_header.h"
#include "sale/tenders.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

using namespace report_lines;

constexpr const char* kFailLog = "Print_Closing: HandlerPrintClosing: Printer error in middle of printing";
// The journal records looked at, from the newest.
constexpr std::int64_t kActivityWindow = 1000;

int KeyCount() { return std::min<int>(gTender.gPaymentListCount, kMaxPaymentListEntries); }

// Safe deposits, bank deposits, paid-outs and the openings of the day, each summed.
struct DrawerMoves {
    Money safe, bank, paidOut, opening;
    bool Any() const { return !safe.IsZero() || !bank.IsZero() || !paidOut.IsZero() || !opening.IsZero(); }
};

void Invoices_Add(const std::string& date, SalesTotals& sales) {
    DataState& d = gData;
    ReportState& r = gReport;
    for (std::int64_t i = d.gLastInvoiceRecord; i >= 2; --i) {
        const std::string invoice(d.invoices.View(i));
        if (Mid(invoice, 12, 8) != date) continue;
        sales.AddInvoice(invoice);

        const std::string number(Mid(invoice, 1, 7));
        const std::optional<RecordMatch> paid = Payment_Find(number);
        if (!paid) continue;
        for (std::int64_t p = paid->recNo; p <= d.gLastPaymentRecord; ++p) {
            const std::string_view payment = d.payments.View(p);
            if (Mid(payment, 1, 7) != number) break;
            const int key = PaymentKey_Of(Mid(payment, 10, 8));
            if (key == 0) continue;
            const auto k = static_cast<std::size_t>(key);
            const Money amount = Stored(payment, 18, 9);
            if (amount >= Money()) {
                r.gPaymentTotals[k] = Add(r.gPaymentTotals[k], amount);
                ++r.gPaymentInCount[k];
            } else {
                r.gPaymentRefunds[k] = Add(r.gPaymentRefunds[k], amount);
                ++r.gPaymentRefundCount[k];
            }
        }
    }
}

DrawerMoves Activity_Read(const std::string& date) {
    DrawerMoves m;
    DataState& d = gData;
    const std::int64_t oldest = std::max<std::int64_t>(d.gLastActivityRecord - kActivityWindow, 2);
    for (std::int64_t i = d.gLastActivityRecord; i >= oldest; --i) {
        const std::string_view rec = d.activity.View(i);
        if (Mid(rec, 1, 8) != date) continue;
        const std::string_view type = Mid(rec, 13, 1);
        if (type == "D")
            m.safe = Add(m.safe, Stored(rec, 31, 9));
        else if (type == "B")
            m.bank = Add(m.bank, Stored(rec, 31, 9));
        else if (type == "P")
            m.paidOut = Add(m.paidOut, Stored(rec, 31, 9));
        else if (type == "O")  // every opening of the day adds up, as in the other reports
            m.opening = Add(m.opening, Stored(rec, 31, 9));
    }
    return m;
}

std::string Count(std::int32_t n) { return Num_Format(n, "####"); }

std::string Caption(int key) { return print_text::Fit(gTender.gPaymentListName[static_cast<std::size_t>(key)], 19); }

// The payment lines per key; returns the collection total.
Money PaymentTypes(bool summariesOff) {
    const ReportState& r = gReport;
    Rule();
    Line(M(Message::PaymentTypeNoAmountTitle));
    Rule();
    Money collected;
    for (int i = 1; i <= KeyCount(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        const Money in = r.gPaymentTotals[k], refunds = r.gPaymentRefunds[k];
        if (in.IsZero() && refunds.IsZero()) continue;
        const Money net = Add(in, refunds);
        if (!(summariesOff && i == 1)) {
            if (!in.IsZero()) Line("Incoming " + Caption(i) + Count(r.gPaymentInCount[k]) + AmountText(in));
            if (!refunds.IsZero()) {
                Line("Refund   " + Caption(i) + Count(r.gPaymentRefundCount[k]) + AmountText(refunds));
                Line(std::string(30, ' ') + std::string(11, '-'));
                Line("     NET " + Caption(i) + " " + AmountText(net));
                Line("");
            }
        }
        collected = Add(collected, net);
    }
    Line(std::string(24, ' ') + "TOTAL" + AmountText(collected));
    Rule();
    return collected;
}

void SalesSummary(const SalesTotals& sales) {
    SectionHead(M(Message::SalesSummaryTitle));
    Rule();
    AmountLine(M(Message::GrossSales), sales.gross);
    if (!sales.returns.IsZero()) {
        AmountLine(M(Message::Return) + ":", sales.returns);
        AmountLine(M(Message::NetSales), Add(sales.gross, sales.returns));
    }
    if (!sales.discount.IsZero()) AmountLine(M(Message::Discount), sales.discount);
    for (int t = 1; t <= 3; ++t)
        if (!sales.tax[static_cast<std::size_t>(t - 1)].IsZero())
            AmountLine(TaxLabel(t), sales.tax[static_cast<std::size_t>(t - 1)]);
    ShortRule();
    AmountLine(M(Message::TotalLabel91), sales.Total());
}

void DrawerSummary(const DrawerMoves& m, Money cash) {
    SectionHead(M(Message::ActivitySummaryTitle));
    if (!m.safe.IsZero()) AmountLine(M(Message::DepositsToSafe), m.safe);
    if (!m.bank.IsZero()) AmountLine(M(Message::DepositsToBank), m.bank);
    if (!m.paidOut.IsZero()) AmountLine(M(Message::PaidOuts), m.paidOut);
    Money out = Add(Add(m.safe, m.bank), m.paidOut);
    if (!m.safe.IsZero() || !m.bank.IsZero() || !m.paidOut.IsZero()) {
        ShortRule();
        AmountLine(M(Message::TotalLabel), out);
    }
    if (!m.opening.IsZero()) AmountLine(M(Message::OpeningBalanceLabel73), m.opening);
    ShortRule();
    // What the drawer should hold: the opening and the cash taken (less
    // the cash refunded), less what left it.
    AmountLine(M(Message::CashInDrawer), Add(Add(m.opening, cash), -out));
}

void Report(ReportKind kind) {
    const bool summariesOff = gSettings.gReportOption;
    const std::string& date = gReg.gBusinessDate;
    SalesTotals sales;
    Invoices_Add(date, sales);

    Title(M(Message::DrawerReportTitle));
    ReportHeading_Print(gSale.gDateText);
    print_text::Print_Check();

    const DrawerMoves moves = Activity_Read(date);
    const Money collected = PaymentTypes(summariesOff);
    SalesSummary(sales);
    if (summariesOff) return;
    if (kind == ReportKind::Sales) return;

    Money total = collected;
    const Money salesTotal = sales.Total();
    if (total != salesTotal) {
        const Money difference = CentRoundUp(salesTotal - total);
        AmountLine(M(difference < Money() ? Message::CreditNotesIssued : Message::SalesOnCredit), difference);
        total = Add(total, difference);
    }
    ShortRule();
    AmountLine(M(Message::TotalLabel91), total);
    if (moves.Any()) DrawerSummary(moves, Add(gReport.gPaymentTotals[1], gReport.gPaymentRefunds[1]));
}

void Files_Close() {
    DataState& d = gData;
    d.payments.Close();
    d.invoiceLines.Close();
    d.invoices.Close();
    d.activity.Close();
}

}  // namespace

void Report_Drawer() {
    if (Printer_IsOff("Report_Drawer")) return;
    const ReportKind kind = gReport.gReportKind;

    // The drawer kick goes to the drawer; the report goes where it was asked to.
    const bool toScreen = gPrint.gPrintToScreen;
    gPrint.gPrintToScreen = false;
    if (kind == ReportKind::Closing) Drawer_Open();
    gPrint.gPrintToScreen = toScreen;

    Printer_Open();
    if (gPrint.gPrintStatus != 0) {
        // Nothing can be printed: the status says so.
        Printer_Abandon();
        return;
    }
    Open_FileInvoice();
    Open_FilePayment();
    Open_FileActivity();

    ReportState& r = gReport;
    r.gPaymentTotals = {};
    r.gPaymentRefunds = {};
    r.gPaymentInCount = {};
    r.gPaymentRefundCount = {};
    try {
        Report(kind);
        Printer_Close(true);
    } catch (const std::exception&) {
        print_text::Printout_Abandon(kFailLog);
        gPrint.gPrintStatus = 2;
    }
    Files_Close();
}

}  // namespace tarvo
