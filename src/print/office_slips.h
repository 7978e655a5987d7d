// Cash-office slips and information sheets on the receipt printer.
//
// The slips print one cash-office event of the activity journal (.ACT): a
// deposit to the safe (two copies), a deposit to the bank (two copies) or a
// paid-out (one copy). The caller passes the journal record it has just
// written; a record number that is not a record of the journal (the write
// failed: 0, or outside 2..gData.gLastActivityRecord), or a record of another
// kind, prints nothing and leaves gPrint.gPrintStatus 2 with a log line.
//
// The sheets print a client or a product, either one entered at the register
// (isNew not 0: a record of the new-client / new-product file) or one of the
// master working files (isNew 0). A record outside its file prints nothing and
// leaves status 2 with a log line.
//
// All of them: printing switched off (printer type "0") sets status 0 (a
// sheet then opens no file; a slip still refuses a record that was not
// written, as above); an output that does not open leaves the printer layer's
// status; an error in the middle of a printout leaves status 2 and a log
// line, with no feed or cut.
// They leave the activity file closed and gData.gActivityRec holding the
// record printed.
#pragma once
#include <cstdint>

namespace tarvo {

void Deposit_PrintSafe(std::int32_t recNo);  // type "D"
void DepositBank_Print(std::int32_t recNo);  // type "B"
void PAIDOUT_Print(std::int32_t recNo);      // type "P"

void Print_NewClient(std::int16_t isNew, std::int32_t recNo);
void Print_NewProduct(std::int16_t isNew, std::int32_t recNo);

}  // namespace tarvo
