// The physical-count file (stock-count mode appends one record per counted
// product) and the cash-office totals of the activity journal.
#pragma once
#include <cstdint>
#include <string>

#include "common/money.h"

namespace tarvo {

enum class PhysicalAddResult { Ok, QuantityTooWide, WriteFailed };

// Appends product number and quantity as a .PHY record (sent flag "0"). A
// quantity whose text does not fit its 5 columns is refused (the caller shows
// "Invalid Entry"); nothing is written then.
PhysicalAddResult Physical_Add(const std::string& productNumber, double quantity);

// Which cash-office report is printed (the documented report mode, once kept
// in the communication session's gOperationMode).
enum class ReportKind : std::int16_t {
    None = 0,     // no report asked for
    Closing = 1,  // the closing report (the drawer report runs as this kind)
    Sales = 2,    // the sales report
    Cashier = 3,  // the cashier report
};

struct ActivityTotals {
    Money deposits, bankDeposits, paidOuts, openings, declarations;
};

// Adds up the day's activity records of `reportDate` by type letter (D, B, P,
// O, C). The closing and sales reports take every cashier's records, any
// other kind only those of `cashierNumber`. Every record of the file is
// looked at.
ActivityTotals Activity_Totals(const std::string& reportDate, ReportKind reportKind, const std::string& cashierNumber);

}  // namespace tarvo
