#include "office/closing_report.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/fields.h"
#include "config/settings.h"
#include "data/count_and_activity.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/transaction_files.h"
#include "office/report_lines.h"
#include "office/report_state.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/report_header.h"
#include "sale/tenders.h"

namespace tarvo {
namespace {

using namespace report_lines;

constexpr const char* kFailLog = "Print_Closing: HandlerPrintClosing: Printer error in middle of printing";

using KeyTotals = std::array<Money, kMaxPaymentListEntries + 1>;

// Sales per category in order of first appearance.
struct CategoryTotals {
    std::vector<std::pair<std::string, Money>> list;
    std::unordered_map<std::string, std::size_t> where;

    void Add(const std::string& code, Money amount) {
        auto [it, added] = where.try_emplace(code, list.size());
        if (added) list.emplace_back(code, Money());
        Money& total = list[it->second].second;
        total = report_lines::Add(total, amount);
    }
};

// The client orders: kinds 1-5 by document type, their taxes and payments.
struct OrderTotals {
    std::array<Money, 6> kind{};  // 1..5
    Money gross;
    std::array<Money, 3> tax{};
    KeyTotals payments{};

    bool AnyKind() const {
        for (int k = 1; k <= 5; ++k)
            if (!kind[static_cast<std::size_t>(k)].IsZero()) return true;
        return false;
    }
};

// The kind (1-5) of an order's document type; 0 for a type not reported.
int OrderKind_Of(std::string_view order) {
    switch (static_cast<int>(print_text::Number(order, 125, 2))) {
    case 1: return 1;
    case 11: return 2;
    case 5: return 3;
    case 10: return 4;
    case 9: return 5;
    default: return 0;
    }
}

int KeyCount() { return std::min<int>(gTender.gPaymentListCount, kMaxPaymentListEntries); }

// The report's choice of a document: its business date, and in the cashier
// report its cashier.
struct Choice {
    std::string date;
    bool oneCashier = false;
    std::string cashier;

    bool Takes(std::string_view doc) const {
        if (Mid(doc, 12, 8) != date) return false;
        return !oneCashier || TrimRightView(Mid(doc, 24, 8)) == cashier;
    }
};

// A document's payments (`file` from record `first` while columns 1-7 are
// `number`), each to cents, added per payment key.
void Payments_Add(const WorkFile& file, std::int32_t first, std::int32_t last, const std::string& number,
                  KeyTotals& totals) {
    if (first <= 0) return;
    for (std::int64_t p = first; p <= last; ++p) {
        const std::string_view payment = file.View(p);
        if (Mid(payment, 1, 7) != number) break;
        const int key = PaymentKey_Of(Mid(payment, 10, 8));
        if (key == 0) continue;
        Money& slot = totals[static_cast<std::size_t>(key)];
        slot = Add(slot, Stored(payment, 18, 9));
    }
}

// The invoice's lines, each priced by its product, added to its category.
void Lines_Add(const std::string& number, CategoryTotals& categories) {
    DataState& d = gData;
    const std::optional<RecordMatch> first = InvoiceDetail_Find(number);
    if (!first) return;
    for (std::int64_t j = first->recNo; j <= d.gLastInvoiceLineRecord; ++j) {
        const std::string line(d.invoiceLines.View(j));
        if (Mid(line, 1, 7) != number) break;
        // A product key is never split for a price here.
        const std::optional<ProductMatch> product = Product_Find(TrimRightView(Mid(line, 19, 20)));
        if (!product || product->recNo <= 0) continue;
        double units = print_text::Number(product->record, 175, 5);
        if (units == 0) units = 1;  // a blank or zero factor counts one unit
        const double value = print_text::Number(line, 39, 9) * print_text::Number(line, 57, 9) / units;
        const std::optional<Money> amount = Money::FromDouble(value);
        if (!amount) continue;
        categories.Add(Trim(Mid(product->record, 34, 6)), *amount);
    }
}

void Invoices_Add(const Choice& choice, SalesTotals& sales, CategoryTotals& categories, KeyTotals& payments) {
    DataState& d = gData;
    for (std::int64_t i = d.gLastInvoiceRecord; i >= 2; --i) {
        const std::string invoice(d.invoices.View(i));
        if (!choice.Takes(invoice)) continue;
        sales.AddInvoice(invoice);

        const std::string number(Mid(invoice, 1, 7));
        Lines_Add(number, categories);
        const std::optional<RecordMatch> paid = Payment_Find(number);
        Payments_Add(d.payments, paid ? paid->recNo : 0, d.gLastPaymentRecord, number, payments);
    }
}

void Orders_Add(const Choice& choice, OrderTotals& orders) {
    DataState& d = gData;
    for (std::int64_t i = d.gLastOrderRecord; i >= 2; --i) {
        const std::string order(d.orders.View(i));
        if (Mid(order, 11, 1) != "1" || !choice.Takes(order)) continue;
        const int kind = OrderKind_Of(order);
        if (kind == 0) continue;
        Money& kindTotal = orders.kind[static_cast<std::size_t>(kind)];
        for (std::size_t column : {56u, 65u}) {
            const Money amount = Stored(order, column, 9);
            kindTotal = Add(kindTotal, amount);
            orders.gross = Add(orders.gross, amount);
        }
        for (std::size_t t = 0; t < 3; ++t) orders.tax[t] = Add(orders.tax[t], Stored(order, 74 + 9 * t, 9));

        const std::string number(Mid(order, 1, 7));
        Payments_Add(d.orderPayments, OrderPayment_Find(number).value_or(0), d.gLastOrderPaymentRecord, number,
                     orders.payments);
    }
}

void TaxLines(const std::array<Money, 3>& tax) {
    for (int t = 1; t <= 3; ++t)
        if (!tax[static_cast<std::size_t>(t - 1)].IsZero())
            AmountLine(TaxLabel(t), tax[static_cast<std::size_t>(t - 1)]);
}

void SalesSummary(const SalesTotals& sales, const CategoryTotals& categories) {
    SectionHead(M(Message::SalesSummaryTitle));
    for (const auto& [code, amount] : categories.list) {
        const auto k = Category_Find(code).value_or(0);
        if (k > 0 && static_cast<std::size_t>(k) < gData.CategoryTable.size())
            AmountLine(gData.CategoryTable[static_cast<std::size_t>(k)].CategoryName, amount);
    }
    Rule();
    AmountLine(M(Message::GrossSales), sales.gross);
    if (!sales.returns.IsZero()) {
        AmountLine(M(Message::Return) + ":", sales.returns);
        Rule();
        AmountLine(M(Message::NetSales), Add(sales.gross, sales.returns));
    }
    if (!sales.discount.IsZero()) AmountLine(M(Message::Discount), sales.discount);
    TaxLines(sales.tax);
    ShortRule();
    AmountLine(M(Message::TotalLabel91), sales.Total());
}

// The invoices' payments per key, and what they leave unpaid or overpaid.
void CollectionSummary(const KeyTotals& payments, Money salesTotal, bool summariesOff) {
    SectionHead(M(Message::CollectionSummaryTitle));
    Money collected;
    for (int i = 1; i <= KeyCount(); ++i) {
        const Money amount = payments[static_cast<std::size_t>(i)];
        if (amount.IsZero()) continue;
        if (!(summariesOff && i == 1)) AmountLine(gTender.gPaymentListName[static_cast<std::size_t>(i)], amount);
        collected = Add(collected, amount);
    }
    if (summariesOff) return;
    if (collected != salesTotal) {
        // Sold on credit when the payments fall short, credit notes issued
        // when they pass the total.
        const Money difference = CentRoundUp(salesTotal - collected);
        AmountLine(M(difference < Money() ? Message::CreditNotesIssued : Message::SalesOnCredit), difference);
        collected = Add(collected, difference);
    }
    ShortRule();
    AmountLine(M(Message::TotalLabel91), collected);
}

void OrderSummary(const OrderTotals& orders) {
    SectionHead(M(Message::OrderSummaryTitle));
    // The order kinds 1-5 by their titles.
    constexpr std::array<Message, 6> kKindTitle{Message::None,      Message::SpecialOrder, Message::Layaway,
                                                Message::Quotation, Message::RmaTitle,     Message::DraftOrder};
    for (int k = 1; k <= 5; ++k)
        if (!orders.kind[static_cast<std::size_t>(k)].IsZero())
            AmountLine(M(kKindTitle[static_cast<std::size_t>(k)]), orders.kind[static_cast<std::size_t>(k)]);
    Rule();
    AmountLine(M(Message::GrossSales), orders.gross);
    TaxLines(orders.tax);
    Money total = orders.gross;
    for (const Money& t : orders.tax) total = Add(total, t);
    ShortRule();
    AmountLine(M(Message::TotalLabel91), total);
}

// The client deposits per key, then every key's invoice and order payments
// together (kept in `payments`).
void DepositSummaries(const OrderTotals& orders, KeyTotals& payments, bool summariesOff) {
    SectionHead(M(Message::ClientDepositSummaryTitle));
    Money deposits;
    for (int i = 1; i <= KeyCount(); ++i) {
        const Money amount = orders.payments[static_cast<std::size_t>(i)];
        if (amount.IsZero()) continue;
        if (!(summariesOff && i == 1)) AmountLine(gTender.gPaymentListName[static_cast<std::size_t>(i)], amount);
        deposits = Add(deposits, amount);
    }
    if (!summariesOff) {
        ShortRule();
        AmountLine("Total:", deposits);
    }
    Rule();
    Title(M(Message::TotalCollectionSummaryTitle));
    Rule();
    Money grand;
    for (int i = 1; i <= KeyCount(); ++i) {
        Money& slot = payments[static_cast<std::size_t>(i)];
        const Money deposit = orders.payments[static_cast<std::size_t>(i)];
        if (slot.IsZero() && deposit.IsZero()) continue;
        slot = Add(deposit, slot);
        if (!(summariesOff && i == 1)) AmountLine(gTender.gPaymentListName[static_cast<std::size_t>(i)], slot);
        grand = Add(grand, slot);
    }
    if (!summariesOff) {
        ShortRule();
        AmountLine("Total:", grand);
    }
}

// The cash: opening, collected, deposits and paid-outs, the declared over or
// short, what the drawer holds and what to take out of it.
void ActivitySummary(const ActivityTotals& a, Money cash) {
    SectionHead(M(Message::ActivitySummaryTitle));
    ActivityLine(M(Message::OpeningBalanceLabel), "(+)", a.openings);
    ActivityLine(M(Message::CashCollected), "(+)", cash);
    if (!a.deposits.IsZero()) ActivityLine(M(Message::DepositsToSafe), "(-)", a.deposits);
    if (!a.bankDeposits.IsZero()) ActivityLine(M(Message::DepositsToBank), "(-)", a.bankDeposits);
    if (!a.paidOuts.IsZero()) ActivityLine(M(Message::PaidOuts), "(-)", a.paidOuts);
    if (!a.declarations.IsZero()) ActivityLine(M(Message::CashShortOver), "(*)", a.declarations);
    ShortRule();
    Money inDrawer = Add(a.openings, cash);
    for (Money out : {a.deposits, a.bankDeposits, a.paidOuts}) inDrawer = Add(inDrawer, -out);
    inDrawer = Add(inDrawer, a.declarations);
    ActivityLine(M(Message::CashInDrawer), "(=)", inDrawer);
    ActivityLine(M(Message::OpeningBalanceLabel), "(-)", a.openings);
    ShortRule();
    ActivityLine(M(Message::CashToWithdraw), "(=)", Add(inDrawer, -a.openings));
}

Message TitleMessage(ReportKind kind) {
    return kind == ReportKind::Closing ? Message::ClosingReportTitle
           : kind == ReportKind::Sales ? Message::SalesReportTitle
                                       : Message::CashierReportTitle;
}

void Report(ReportKind kind, const ReportDate& date) {
    const bool summariesOff = gSettings.gReportOption;
    Choice choice{date.date, kind == ReportKind::Cashier, LoggedInCashier()};

    SalesTotals sales;
    CategoryTotals categories;
    KeyTotals& payments = gReport.gPaymentTotals;
    payments = KeyTotals{};
    Invoices_Add(choice, sales, categories, payments);

    SectionHead(M(TitleMessage(kind)));
    ReportHeading_Print(date.text);
    print_text::Print_Check();

    const ActivityTotals activity = Activity_Totals(date.date, kind, choice.cashier);

    if (!summariesOff) SalesSummary(sales, categories);
    if (kind == ReportKind::Sales && !summariesOff) return;

    CollectionSummary(payments, sales.Total(), summariesOff);

    OrderTotals orders;
    Orders_Add(choice, orders);
    if (!summariesOff && orders.AnyKind()) OrderSummary(orders);
    bool anyDeposit = false;
    for (int i = 1; i <= KeyCount(); ++i)
        anyDeposit = anyDeposit || !orders.payments[static_cast<std::size_t>(i)].IsZero();
    if (anyDeposit) DepositSummaries(orders, payments, summariesOff);

    const bool anyActivity = !activity.deposits.IsZero() || !activity.bankDeposits.IsZero() ||
                             !activity.paidOuts.IsZero() || !activity.openings.IsZero() ||
                             !activity.declarations.IsZero();
    if (!summariesOff && anyActivity) ActivitySummary(activity, payments[1]);
}

}  // namespace

void Print_Closing() {
    const ReportKind kind = gReport.gReportKind;
    if (kind != ReportKind::Closing && kind != ReportKind::Sales && kind != ReportKind::Cashier) {
        ProgramLog().Write(1, "Print_Closing: report mode " + std::to_string(static_cast<int>(kind)) +
                                  " is none of the reports, nothing printed");
        gPrint.gPrintStatus = 2;
        return;
    }
    const ReportDateInUse use;
    const ReportDate& date = use.date;
    if (Printer_IsOff("Print_Closing")) return;

    // The drawer kick goes to the drawer; the report goes where it was asked to.
    const bool toScreen = gPrint.gPrintToScreen;
    gPrint.gPrintToScreen = false;
    if (kind == ReportKind::Closing) Drawer_Open();
    gPrint.gPrintToScreen = toScreen;

    Printer_Open();
    Open_FileInvoice();
    Open_FilePayment();
    Open_FileOrder();
    if (gPrint.gPrintStatus != 0) {
        Printer_Abandon();
        ReportFiles_Close();
        return;
    }
    try {
        Report(kind, date);
        Printer_Close(true);
    } catch (const std::exception&) {
        print_text::Printout_Abandon(kFailLog);
        gPrint.gPrintStatus = 2;
    }
    ReportFiles_Close();
}

}  // namespace tarvo
