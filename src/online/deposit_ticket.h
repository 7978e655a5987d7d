// The deposit ticket: a deposit fetched from the back office (its lines, the
// bank and site, each line's revenue row) printed on the receipt printer.
#pragma once
#include <string>
#include <vector>

#include "online/deposit_records.h"

namespace tarvo {

inline constexpr int kDepositAgencyLines = 3;

// Prints the ticket of `t` (fetched whole: nothing is printed for a deposit
// with a missing row). `agency` holds the agency's name lines of the heading
// (from the register's setup; empty lines are left out). The cashier named
// "Verified By" is the deposit's employee when the cashier table knows it;
// that cashier's name also heads the ticket on a "Cashier:" line.
// False when the printer failed (gPrint.gPrintStatus says how, the log says
// why); printing switched off prints nothing and is not a failure.
bool DepositTicket_Print(const DepositTicketData& t, const std::vector<std::string>& agency);

}  // namespace tarvo
