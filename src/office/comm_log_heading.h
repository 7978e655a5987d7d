// The heading of the printed communication log: four lines (title, date,
// time, terminal) with no store header, rule or title emphasis, and no paper
// feed or cut after them, so that the session's own log lines follow right
// under it. A spooler printout is sent as it is. Printing switched off prints
// nothing; the outcome is in gPrint.gPrintStatus (2 after a failed write).
// The session goes on whatever it is.
#pragma once

namespace tarvo {

void Communicate_Header();

}  // namespace tarvo
