#include "office/report_state.h"

#include "config/settings.h"
#include "data/sale_state.h"
#include "print/print_text.h"
#include "print/report_header.h"
#include "screen/register_state.h"

namespace tarvo {

ReportState gReport;

namespace {

std::string PrintedDate(const std::string& yyyymmdd) {
    return print_text::DateText(yyyymmdd, 1, TextLanguage(gSettings));
}

}  // namespace

void Report_Prepare(ReportKind kind) {
    gReport.gReportKind = kind;
    gReport.gReportDate = gReg.gBusinessDate;
    gReportHeader.gReportDateText = gSale.gDateText.empty() ? PrintedDate(gReg.gBusinessDate) : gSale.gDateText;
}

void ReportDate_Set(const std::string& yyyymmdd) {
    gReport.gReportDate = yyyymmdd;
    gReportHeader.gReportDateText = PrintedDate(yyyymmdd);
}

ReportDate ReportDate_Get() {
    if (!gReport.gReportDate.empty()) {
        const std::string& text = gReportHeader.gReportDateText;
        return {gReport.gReportDate, text.empty() ? PrintedDate(gReport.gReportDate) : text};
    }
    if (!gReg.gBusinessDate.empty()) {
        const std::string& text = gSale.gDateText;
        return {gReg.gBusinessDate, text.empty() ? PrintedDate(gReg.gBusinessDate) : text};
    }
    const std::string today = DateText(Printout_Now());
    return {today, PrintedDate(today)};
}

void ReportDate_Clear() {
    gReport.gReportDate.clear();
    gReportHeader.gReportDateText.clear();
}

}  // namespace tarvo
