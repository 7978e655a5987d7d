#include "online/deposit_ticket.h"

#include <algorithm>

#include "common/money.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "print/print_text.h"
#include "print/printer_output.h"

namespace tarvo {

using namespace print_text;

namespace {

constexpr const char* kTicketFailLog = "Deposit ticket: Printer error in middle of printing";
constexpr const char* kColumnTitle = "Agency  Trans  Fund  FiscalYr  Rev_Code Amount Cost FIPS";
constexpr const char* kCurrency = "$###,##0.00";
constexpr std::size_t kAmountWidth = 9;
constexpr std::size_t kAgencyWidth = 7;

std::string Fit(const std::string& s, std::size_t width) {
    std::string out = s.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::string RightIn(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

Money AmountOf(const std::string& text) { return Money::Parse(text).value_or(Money()); }

std::string CashierName(const std::string& employee) {
    if (employee.empty()) return "";
    const auto k = Cashier_FindByNumber(employee);
    const auto i = static_cast<std::size_t>(k.value_or(0));
    if (!k || *k <= 0 || i >= gData.CashierTable.size()) return "";
    return gData.CashierTable[i].CashierName;
}

}  // namespace

bool DepositTicket_Print(const DepositTicketData& t, const std::vector<std::string>& agency) {
    if (Printer_IsOff("Deposit ticket")) return gPrint.gPrintStatus == 0;
    const std::string cashier = CashierName(t.employee);
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return false;
    // The rule is 55 wide, or the paper's width when that is narrower; on
    // narrow paper each table line takes two lines, split after the fiscal
    // year.
    const std::size_t width = static_cast<std::size_t>(std::max<std::int32_t>(gPrint.gLineWidth, 1));
    const std::size_t rule = std::min<std::size_t>(55, width);
    const bool split = width < 55;
    try {
        // The cashier's line heads the ticket itself: sent before the printer
        // is opened it would be lost, or land at the end of the printout
        // before.
        if (!cashier.empty()) Line(Msg(Message::Cashier) + cashier);
        for (std::size_t i = 0; i < agency.size() && i < static_cast<std::size_t>(kDepositAgencyLines); ++i)
            if (!agency[i].empty()) Printer_Line(1, 2, "    " + agency[i]);
        Printer_Line(1, 1, "");
        Printer_Line(1, 2, "    Cash Deposit");
        Printer_Line(1, 3, "");
        Printer_Line(0, 0, "Deposit Ticket Number: ");
        Printer_Line(1, 2, t.number);
        Printer_Line(1, 3, "");
        Line("Account Number: " + t.accountId);
        Line("Bank Name:      " + t.accountName);
        Line("Bank Code:      " + t.accountCode);
        Line("");
        if (!cashier.empty()) Line("Verified By:  " + cashier);
        Line("Deposit Date: " + t.date);
        Line("Site Name:    " + t.siteDescription);
        const std::string title = kColumnTitle;
        if (split) {
            Line(title.substr(0, title.find("  Rev_Code")));
            Line(title.substr(title.find("  Rev_Code")));
        } else {
            Line(title);
        }
        Money total;
        for (const DepositTicketLine& l : t.lines) {
            const Money amount = AmountOf(l.amount);
            total += amount;
            const DepositRow& r = l.revenue;
            const std::string first =
                Fit(r.Column(2), kAgencyWidth) + "  " + r.Column(3) + " " + r.Column(4) + " " + r.Column(5);
            const std::string second = "   " + r.Column(6) + "  " + RightIn(amount.Format(kCurrency), kAmountWidth) +
                                       " " + r.Column(7) + " " + r.Column(8);
            if (split) {
                Line(first);
                Line(second);
            } else {
                Line(first + second);
            }
            Print_Check();
        }
        Line(std::string(rule, '-'));
        Line(total.Format(kCurrency));
        Print_Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon(kTicketFailLog);
    }
    return gPrint.gPrintStatus == 0;
}

}  // namespace tarvo
