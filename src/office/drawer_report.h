// The drawer report of the business day (gReg.gBusinessDate, printed as
// gSale.gDateText), whoever the cashier: per payment key the incoming
// payments and the refunds with their counts, the sales, what the payments
// leave on credit or overpaid, and the drawer movements of the journal
// (deposits, paid-outs and the opening amount). The Print page runs it as
// the closing report (gReport.gReportKind), which opens the cash drawer
// first; as the sales report it ends after the sales. Setting 270 leaves out the first key's lines, the
// difference, the collection total and the drawer movements.
//
// It leaves gReport's per-key incoming, refund and count arrays and the
// outcome in gPrint.gPrintStatus: 0 printed (or printing switched off), the
// printer layer's status when the output did not open (nothing printed),
// 2 when the printout failed part-way.
#pragma once

namespace tarvo {

void Report_Drawer();

}  // namespace tarvo
