#include "office/report_lines.h"

#include <algorithm>
#include <cstddef>

#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "sale/tenders.h"
#include "screen/register_state.h"

namespace tarvo::report_lines {

const std::string& M(Message message) { return MessageText(gConstants.tables, message, TextLanguage(gSettings)); }

Money Add(Money total, Money amount) { return CentRoundUp(total + CentRoundUp(amount)); }

Money Stored(std::string_view record, std::size_t column, std::size_t width) {
    return CentRoundUp(print_text::Amount(record, column, width));
}

std::string AmountText(Money amount) { return print_text::Right(amount.Format("####,##0.00"), 11); }

void Line(const std::string& text) {
    Printer_Line(1, 0, text);
    print_text::Print_Check();
}

void Rule() { Line(std::string(40, '-')); }

void ShortRule() { Line(std::string(22, ' ') + std::string(11, '-')); }

void Title(const std::string& text) {
    print_text::Title(text);
    print_text::Print_Check();
}

void SectionHead(const std::string& title) {
    Rule();
    Title(title);
    Rule();
}

void AmountLine(const std::string& label, Money amount) { Line(print_text::Fit(label, 22) + AmountText(amount)); }

void ActivityLine(const std::string& label, const char* mark, Money amount) {
    Line(print_text::Fit(label, 19) + mark + AmountText(amount));
}

std::string TaxLabel(int tax) { return gSettings.gTaxName[static_cast<std::size_t>(tax - 1)] + ":"; }

int PaymentKey_Of(std::string_view typeCode) {
    const std::string_view code = TrimRightView(typeCode);
    const int count = std::min<int>(gTender.gPaymentListCount, kMaxPaymentListEntries);
    for (int k = 1; k <= count; ++k)
        if (gTender.gPaymentListCode[static_cast<std::size_t>(k)] == code) return k;
    return 0;
}

std::string LoggedInCashier() {
    const auto k = gReg.gCashierIndex;
    if (k <= 0 || static_cast<std::size_t>(k) >= gData.CashierTable.size()) return "";
    return std::string(TrimRightView(gData.CashierTable[static_cast<std::size_t>(k)].CashierNumber));
}

void SalesTotals::AddInvoice(std::string_view invoice) {
    const Money subtotal = Stored(invoice, 56, 9);
    if (subtotal >= Money())
        gross = Add(gross, subtotal);
    else
        returns = Add(returns, subtotal);
    discount = Add(discount, Stored(invoice, 65, 9));
    for (std::size_t t = 0; t < 3; ++t) tax[t] = Add(tax[t], Stored(invoice, 74 + 9 * t, 9));
}

Money SalesTotals::Total() const {
    Money t = Add(gross, discount);
    for (const Money& x : tax) t = Add(t, x);
    return Add(t, returns);
}

void ReportFiles_Close() {
    DataState& d = gData;
    d.payments.Close();
    d.invoiceLines.Close();
    d.invoices.Close();
    d.orderPayments.Close();
    d.orderLines.Close();
    d.orders.Close();
}

}  // namespace tarvo::report_lines
