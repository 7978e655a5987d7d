// The closing, sales and cashier report of the report date, on the receipt
// printer, in the form gReport.gReportKind (ReportKind) chooses:
//
//   1  closing report: every cashier; the cash drawer is opened first
//   2  sales report: every cashier; ends after the sales summary (unless
//      setting 270 leaves the summaries out)
//   3  cashier report: the invoices, orders and journal records of the
//      logged-in cashier only
//
// The date is the prepared report date (office/report_state.h). The report
// reads the saved invoices with their lines and payments, the client orders
// with their payments, the product and category masters and the activity
// journal, and changes no record. It leaves gReport.gPaymentTotals (the
// collections per payment key, client deposits added when there were any)
// and the outcome in gPrint.gPrintStatus: 0 printed (or printing switched
// off), the printer layer's status when the output did not open, 2 when the
// printout failed part-way or the mode is none of the three.
//
// Ordinary data never stops it: a product whose units factor is 0 or blank
// counts one unit, any number of categories are listed, an amount wider than
// its column prints whole, and a payment of a type no payment key has is left
// out of the payment lines.
#pragma once

namespace tarvo {

void Print_Closing();

}  // namespace tarvo
