#include "card/settlement_report.h"

#include <exception>

#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/report_header.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

using namespace print_text;

std::string PadTo(const std::string& s, long width) { return s + Blanks(width - Len(s)); }

std::string TwoDigits(int v) {
    return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10);
}

// The answer's lines, one printed line each.
void MessageLines(const std::string& message) {
    std::size_t at = 0;
    while (true) {
        const std::size_t end = message.find_first_of("\r\n", at);
        Line(message.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
        if (message[end] == '\r' && at < message.size() && message[at] == '\n') ++at;
    }
}

}  // namespace

void Settlement_Print(const SettlementOutcome& o) {
    if (Printer_IsOff("Settlement_Print")) return;
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    const std::string shortRule(40, '-');
    const std::string rule(gSettings.gWidePaper == 1 ? 50 : 40, '-');
    try {
        Line(shortRule);
        Title(Msg(Message::SettlementReport));
        Line(shortRule);
        Header_Print();
        Line("Date:     " + gSale.gDateText);
        const LocalTime now = Printout_Now();
        Line(PadTo(Msg(Message::Time), 10) + TwoDigits(now.hour) + ":" + TwoDigits(now.minute));
        Line("Terminal: " + gTerminalNumber);
        const auto cashier = static_cast<std::size_t>(gReg.gCashierIndex);
        if (!gReg.gLoggedOut && gReg.gCashierIndex > 0 && cashier < gData.CashierTable.size())
            Line(PadTo(Msg(Message::Cashier), 10) + gData.CashierTable[cashier].CashierName);
        Line(rule);
        Line("");
        if (o.status == 0) {
            Line(Msg(Message::SettlementSuccessful));
            MessageLines(o.message);
        } else if (o.status == 10) {
            Line(Msg(Message::SettlementTimedOut) + " " + o.timeoutRun + " Seconds");
        } else if (o.status == 11 || o.backend != CardBackend::ExchangeFiles) {
            Line(Msg(Message::SettlementFailed));
            MessageLines(o.message);
        }
        Print_Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon("Settlement_Print: Printer error in middle of printing");
    }
}

}  // namespace tarvo
