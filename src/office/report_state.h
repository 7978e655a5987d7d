// What the cash-office reports share with the pages that ask for them and
// leave behind: the report date, and the per-payment-key totals of the last
// closing or drawer report (the cash count and the declaration read them).
//
// A report date serves the one report it was prepared for: the report that
// prints it clears it, so a report asked for without a date of its own (the
// collection report on the manager path) covers the business date, never an
// empty date or the one an earlier report left.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/money.h"
#include "data/count_and_activity.h"
#include "sale/tenders.h"

namespace tarvo {

struct ReportState {
    // The report the Print page prepared (its report mode, gOperationMode in
    // the documents; the communication session keeps its own).
    ReportKind gReportKind = ReportKind::None;
    // "yyyymmdd" of the next report; its printed form is
    // gReportHeader.gReportDateText (print/report_header.h).
    std::string gReportDate;
    // Per payment key 1..gTender.gPaymentListCount (slot 0 unused): the
    // incoming payments and the refunds with their counts (the drawer report),
    // or the collections of the closing report (every payment, and after its
    // client deposit summary the client deposits added).
    std::array<Money, kMaxPaymentListEntries + 1> gPaymentTotals{}, gPaymentRefunds{};
    std::array<std::int32_t, kMaxPaymentListEntries + 1> gPaymentInCount{}, gPaymentRefundCount{};
};

extern ReportState gReport;

// The Print page's preparation of report `kind` (the drawer report runs as
// the closing report): gReport.gReportKind, and the business date
// (gReg.gBusinessDate, printed as gSale.gDateText) as the report date.
void Report_Prepare(ReportKind kind);

// A report date chosen by the cashier ("yyyymmdd", already checked) in place
// of the business date; its printed form is day/month name/year.
void ReportDate_Set(const std::string& yyyymmdd);

// The date a report covers and its printed form: the prepared report date,
// else the business date, else today's date.
struct ReportDate {
    std::string date;  // yyyymmdd
    std::string text;  // as printed
};
ReportDate ReportDate_Get();

// The report has ended, printed or not: its date is spent.
void ReportDate_Clear();

// Takes the report's date (ReportDate_Get) and spends it when the report
// ends, whichever way it ends.
class ReportDateInUse {
public:
    ReportDateInUse() : date(ReportDate_Get()) {}
    ~ReportDateInUse() { ReportDate_Clear(); }
    ReportDateInUse(const ReportDateInUse&) = delete;
    ReportDateInUse& operator=(const ReportDateInUse&) = delete;
    const ReportDate date;
};

}  // namespace tarvo
