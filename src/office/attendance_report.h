// The time and attendance report of the business date: every person with
// records of the day in the activity journal (the last 2000 records), each
// clock-in and clock-out with the worked time of the pair, and the total
// worked time of all, on the receipt printer.
//
//   Cashier              In     Out   Total
//   ---------------------------------------
//   Ann                  08:50  17:10  08:20
//                        18:00  19:00  01:00
//   Bob                  09:00
//   Unknown Cashier      07:00  07:30  00:30
//   ---------------------------------------
//                                      09:50
//
// A clock-out with no clock-in before it (or after a completed pair) prints
// "Error: Clock out without in" in place of the worked time. Persons are told
// apart by number ("00000007" and "7" are one person) and named from the
// cashier table; at most 100 persons are listed, the rest are logged.
// The outcome is in gPrint.gPrintStatus: 0 printed (or printing switched
// off), the printer layer's status when the output does not open, 2 (or the
// failure's status) after an error in the middle, with a log line.
#pragma once

namespace tarvo {

void Report_TimeAttendance();

}  // namespace tarvo
