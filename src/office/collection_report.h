// The collection report of the report date: every payment received, grouped
// by payment key in order of first appearance, first those of the invoices
// (document number, time, cashier, amount) and then those taken on customer
// orders, each key with its count and total. The date is the prepared report
// date, else the business date (office/report_state.h). The newest 3000
// invoices and the newest 3000 orders are looked at.
//
// A payment of a type no payment key has is left out. The outcome is in
// gPrint.gPrintStatus: 0 printed (or printing switched off), the printer
// layer's status when the output did not open, 2 when the printout failed
// part-way.
#pragma once

namespace tarvo {

void Report_Collection();

}  // namespace tarvo
