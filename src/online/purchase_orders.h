// Purchase orders kept by the back office, fetched to the register to be
// received: the order's header (task 7), then each of its lines (task 8),
// one request at a time on the background runner.
#pragma once
#include "platform/background_runner.h"

namespace tarvo {

// The most lines a fetched document may have: the sale's lines.
inline constexpr int kMaxFetchedLines = 400;

// Online page key 2: fetches the purchase order whose number is in the entry
// box ("Invalid Entry" unless it is a whole number). "Request In Progress
// ..." and then "Receiving Item n / m" show while the keys are locked; the
// lines come into the sale only once every one has arrived, at quantity 0,
// each with its line number on the server, and the register goes to mode 28
// (receive purchase order) with the order's details on the screen. A refusal
// or a failure part-way shows its message and leaves a fresh sale: nothing of
// the order stays. An order of more than 400 lines is refused before any line
// is asked.
void Online_Fetch_PO(BackgroundRunner& runner);

}  // namespace tarvo
