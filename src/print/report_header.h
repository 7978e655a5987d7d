// The standard heading of slips and reports: the receipt header lines, the
// date, the time, the terminal, the manager and cashier on duty, and a rule.
#pragma once
#include <string>

#include "platform/clock.h"

namespace tarvo {

struct ReportHeaderState {
    // One-shot: the next heading prints gReportDateText instead of today's
    // date (gSale.gDateText); ReportHeader_Print clears it.
    bool gHeaderUseReportDate = false;
    // The report date as printed (day/month name/year), set by whoever
    // chooses the report date before printing.
    std::string gReportDateText;
};

extern ReportHeaderState gReportHeader;

// Prints the heading through the open printer output (Printer_Line).
void ReportHeader_Print();

// The heading of the cash-office reports under their title: the non-empty
// header lines and a blank line, "Date:     " and `dateText`, the time, the
// terminal, and the manager and cashier on duty (no terminal description and
// no closing rule).
void ReportHeading_Print(const std::string& dateText);

// The time a printout shows: the register's clock, else the machine's.
LocalTime Printout_Now();

}  // namespace tarvo
