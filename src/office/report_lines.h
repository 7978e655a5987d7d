// The line forms and money rule the closing, sales, cashier and drawer
// reports share. Every line goes out through Printer_Line and is checked: an
// output that failed part-way throws print_text::PrintoutFailed, so a report
// ends in one place.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "common/money.h"
#include "config/message_names.h"

namespace tarvo::report_lines {

// A message of the text tables in the terminal's language.
const std::string& M(Message message);

// `total` + `amount`, both to cents by the money rule (CentRoundUp).
Money Add(Money total, Money amount);
// A stored amount (lenient reader, blank is 0) to cents.
Money Stored(std::string_view record, std::size_t column, std::size_t width);

// "####,##0.00", right-aligned in 11 characters; a wider amount prints whole.
std::string AmountText(Money amount);

void Line(const std::string& text);
// 40 "-" whatever the paper width.
void Rule();
// 22 blanks and 11 "-".
void ShortRule();
// The title on and off around `text`, one line.
void Title(const std::string& text);
// Rule, title, rule.
void SectionHead(const std::string& title);
// The label cut or padded to 22 characters, then the amount in 11.
void AmountLine(const std::string& label, Money amount);
// The label cut or padded to 19 characters, the mark ("(+)", "(-)", "(*)",
// "(=)"), then the amount in 11.
void ActivityLine(const std::string& label, const char* mark, Money amount);

// The tax labels: the tax names of settings 300, 310, 320 with ":".
std::string TaxLabel(int tax);

// The payment key 1..gTender.gPaymentListCount whose code equals a stored
// type code (trailing blanks removed); 0 when none has it.
int PaymentKey_Of(std::string_view typeCode);

// The logged-in cashier's number (empty when nobody is logged in).
std::string LoggedInCashier();

// The sales of the invoices a report takes.
struct SalesTotals {
    Money gross, returns, discount;
    std::array<Money, 3> tax{};

    // An invoice header: its subtotal to gross sales (zero or more) or
    // returns, its discount and taxes to theirs.
    void AddInvoice(std::string_view invoice);
    // Gross + discount + taxes + returns, to cents after each addition.
    Money Total() const;
};

// Closes the invoice, payment and order files the reports open.
void ReportFiles_Close();

}  // namespace tarvo::report_lines
