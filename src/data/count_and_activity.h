// The physical-count file (stock-count mode appends one record per counted
// product) and the cash-office totals of the activity journal.
#pragma once
#include <string>

#include "common/money.h"

namespace tarvo {

enum class PhysicalAddResult { Ok, QuantityTooWide, WriteFailed };

// Appends product number and quantity as a .PHY record (sent flag "0"). A
// quantity whose text does not fit its 5 columns is refused (the caller shows
// "Invalid Entry"); nothing is written then.
PhysicalAddResult Physical_Add(const std::string& productNumber, double quantity);

struct ActivityTotals {
    Money deposits, bankDeposits, paidOuts, openings, declarations;
};

// Adds up the day's activity records of `reportDate` by type letter (D, B, P,
// O, C). Report kinds 1 and 2 take every cashier's records, any other kind
// only those of `cashierNumber`. Every record of the file is looked at.
ActivityTotals Activity_Totals(const std::string& reportDate, int reportKind, const std::string& cashierNumber);

}  // namespace tarvo
