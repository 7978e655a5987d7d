// The standard heading of slips and reports: the receipt header lines, the
// date, the time, the terminal, the manager and cashier on duty, and a rule.
#pragma once
#include <string>

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

}  // namespace tarvo
