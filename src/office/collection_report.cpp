#include "office/collection_report.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <string>
#include <vector>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "data/data_state.h"
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
using print_text::Blanks;
using print_text::More;
using print_text::Right;

constexpr const char* kFailLog = "Report_Collection: Printer error in middle of printing";
// The documents looked at, from the newest.
constexpr std::int64_t kWindow = 3000;

// One section's documents: invoices and their payments, or orders and theirs.
struct Section {
    const WorkFile* documents;
    std::int32_t lastDocument;
    const WorkFile* payments;
    std::int32_t lastPayment;
    bool invoices;
};

// Calls `each(document, payment, key)` for every payment of a known key of
// every document of `date` in the window, oldest document first.
template <typename Each>
void Payments_Walk(const Section& s, const std::string& date, Each each) {
    const std::int64_t first = std::max<std::int64_t>(s.lastDocument - kWindow, 2);
    for (std::int64_t i = first; i <= s.lastDocument; ++i) {
        const std::string document(s.documents->View(i));
        if (Mid(document, 12, 8) != date) continue;
        const std::string number(Mid(document, 1, 7));
        std::int32_t p0 = 0;
        if (s.invoices) {
            const std::optional<RecordMatch> paid = Payment_Find(number);
            p0 = paid ? paid->recNo : 0;
        } else {
            p0 = OrderPayment_Find(number).value_or(0);
        }
        if (p0 <= 0) continue;
        for (std::int64_t p = p0; p <= s.lastPayment; ++p) {
            const std::string payment(s.payments->View(p));
            if (Mid(payment, 1, 7) != number) break;
            const int key = PaymentKey_Of(Mid(payment, 10, 8));
            if (key != 0) each(document, payment, key);
        }
    }
}

// The payment keys met, in order of first appearance.
void Keys_Collect(const Section& s, const std::string& date, std::vector<int>& keys) {
    Payments_Walk(s, date, [&](const std::string&, const std::string&, int key) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    });
}

std::string CashierName(std::string_view document) {
    const auto k = Cashier_FindByNumber(Trim(Mid(document, 24, 8))).value_or(0);
    if (k <= 0 || static_cast<std::size_t>(k) >= gData.CashierTable.size()) return Blanks(17);
    return print_text::Fit(gData.CashierTable[static_cast<std::size_t>(k)].CashierName, 17);
}

void Section_Print(const Section& s, const std::string& date, const std::vector<int>& keys, Message heading) {
    Line(M(heading));
    for (const int key : keys) {
        Money total;
        std::int32_t count = 0;
        Payments_Walk(s, date, [&](const std::string& document, const std::string& payment, int k) {
            if (k != key) return;
            if (count == 0) Line(gTender.gPaymentListName[static_cast<std::size_t>(key)]);
            const Money amount = Stored(payment, 18, 9);
            const std::string number(Mid(document, 1, 7));
            if (s.invoices)
                More(number + " " + std::string(Mid(document, 20, 2)) + ":" + std::string(Mid(document, 22, 2)) + " ");
            else
                More(number + Blanks(7));
            More(CashierName(document));
            Line(Right(amount.Format("####0.00"), 8));
            total = Add(total, amount);
            ++count;
        });
        if (total.IsZero() && count == 0) continue;
        Line(std::string(7, '-') + Blanks(23) + std::string(9, '-'));
        const std::string countText = Num_Format(count, "#######");
        Line(countText + Blanks(30 - print_text::Len(countText)) + Right(total.Format("#####0.00"), 9));
        Line("");
    }
}

}  // namespace

void Report_Collection() {
    const ReportDateInUse use;
    const ReportDate& date = use.date;
    if (Printer_IsOff("Report_Collection")) return;
    DataState& d = gData;
    Open_FileInvoice();
    Open_FilePayment();
    Open_FileOrder();
    Printer_Open();
    const auto close = [] { report_lines::ReportFiles_Close(); };
    if (gPrint.gPrintStatus != 0) {
        Printer_Abandon();
        close();
        return;
    }
    const Section invoices{&d.invoices, d.gLastInvoiceRecord, &d.payments, d.gLastPaymentRecord, true};
    const Section orders{&d.orders, d.gLastOrderRecord, &d.orderPayments, d.gLastOrderPaymentRecord, false};
    try {
        std::vector<int> invoiceKeys, orderKeys;
        Keys_Collect(invoices, date.date, invoiceKeys);
        Keys_Collect(orders, date.date, orderKeys);
        // One list for both sections: invoices' keys first, then the orders'.
        std::vector<int> keys = invoiceKeys;
        for (int k : orderKeys)
            if (std::find(keys.begin(), keys.end(), k) == keys.end()) keys.push_back(k);

        Rule();
        Title(M(Message::CollectionSummaryTitle));
        Rule();
        gReportHeader.gReportDateText = date.text;
        gReportHeader.gHeaderUseReportDate = true;
        ReportHeader_Print();
        print_text::Print_Check();

        Section_Print(invoices, date.date, keys, Message::InvoiceTimeCashierNameAmount);
        Section_Print(orders, date.date, keys, Message::OrderCashierNameAmount);
        Printer_Close(true);
    } catch (const std::exception&) {
        print_text::Printout_Abandon(kFailLog);
        gPrint.gPrintStatus = 2;
    }
    gReportHeader.gHeaderUseReportDate = false;
    close();
}

}  // namespace tarvo
