#include "print/report_header.h"

#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "platform/clock.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

ReportHeaderState gReportHeader;

namespace {

using print_text::Fit;
using print_text::Line;

// A label from the message table, blank-padded or cut to ten characters.
std::string Label(Message message) { return Fit(MessageText(gConstants.tables, message, TextLanguage(gSettings)), 10); }

// The date, the time (HH:mm) and the terminal lines.
void DateTimeTerminal(const std::string& dateText) {
    Line("Date:     " + dateText);
    const std::string hhmm = TimeText(Printout_Now());
    Line(Label(Message::Time) + hhmm.substr(0, 2) + ":" + hhmm.substr(hhmm.size() - 2));
    Line("Terminal: " + gTerminalNumber);
}

// The manager and the cashier on duty, each when there is one.
void StaffOnDuty() {
    const auto manager = gReg.gManagerIndex;
    if (manager > 0 && manager < 151 && static_cast<std::size_t>(manager) < gData.ManagerTable.size())
        Line(Label(Message::Manager) + gData.ManagerTable[static_cast<std::size_t>(manager)].ManagerName);
    const auto cashier = gReg.gCashierIndex;
    if (cashier > 0 && cashier < 2001 && static_cast<std::size_t>(cashier) < gData.CashierTable.size())
        Line(Label(Message::Cashier) + gData.CashierTable[static_cast<std::size_t>(cashier)].CashierName);
}

}  // namespace

LocalTime Printout_Now() {
    if (Reg().clock) return Reg().clock->Now();
    static const SystemClock system;  // only when no register is set up
    return system.Now();
}

void ReportHeader_Print() {
    Header_Print();
    std::string date = gSale.gDateText;
    if (gReportHeader.gHeaderUseReportDate) {
        date = gReportHeader.gReportDateText;
        gReportHeader.gHeaderUseReportDate = false;
    }
    DateTimeTerminal(date);
    Line(std::string(10, ' ') + gSettings.gTerminalDescription);
    StaffOnDuty();
    Line(std::string(gSettings.gWidePaper == 1 ? 54 : 40, '-'));
}

void ReportHeading_Print(const std::string& dateText) {
    Header_Print();
    DateTimeTerminal(dateText);
    StaffOnDuty();
}

}  // namespace tarvo
