// The settlement report: printed at the end of every batch close, whatever
// its outcome, on the receipt printer.
#pragma once
#include <cstdint>
#include <string>

#include "config/settings.h"

namespace tarvo {

struct SettlementOutcome {
    std::int16_t status = 0;                           // the card status the batch close ended on
    std::string message;                               // the card program's answer (lines may be CR LF separated)
    std::string timeoutRun;                            // the seconds waited, as the wait counted them
    CardBackend backend = CardBackend::ExchangeFiles;  // setting 140 when the batch was closed
};

// Title, receipt header, date, time, terminal and cashier, then the outcome:
// 0 "Settlement Successful" and the answer; 10 "Settlement Timed Out" and
// the seconds; 11 (and any failure of the other back-ends) "Settlement
// Failed" and the answer; the file back-end's other statuses no outcome
// line. Nothing with printing switched off; gPrint.gPrintStatus says how
// the printer did.
void Settlement_Print(const SettlementOutcome& outcome);

}  // namespace tarvo
