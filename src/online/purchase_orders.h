// Documents kept by the back office, fetched to the register: a purchase
// order to receive (its header, task 7, then each line, task 8) and a
// customer order to pack (task 25, then task 26 per line), one request at a
// time over one connection on the background runner.
#pragma once
#include "online/request_chain.h"
#include "platform/background_runner.h"

namespace tarvo {

// The most lines a fetched document may have: the sale's lines.
inline constexpr int kMaxFetchedLines = 400;

enum class FetchedKind { PurchaseOrder, OrderToPack };

// Online page key 2: fetches the purchase order whose number is in the entry
// box ("Invalid Entry" unless it is a whole number). "Request In Progress
// ..." and then "Receiving Item n / m" show while the keys are locked; the
// lines come into the sale only once every one has arrived, at quantity 0,
// each with its line number on the server, and the register goes to Receive
// PO mode with the order's details on the screen. A refusal
// or a failure part-way shows its message and leaves a fresh sale: nothing of
// the order stays. An order of more than 400 lines is refused before any line
// is asked. Esc between two requests stops the fetch the same way.
void Online_Fetch_PO(OnlineChains& chains);
void Online_Fetch_PO(BackgroundRunner& runner);

// The same fetch for either kind; the order to pack goes to Pack Order with its
// client, each line keeping its quantity to ship and the server's line number.
void FetchedDocument_Start(OnlineChains& chains, FetchedKind kind);

// Online page key 7: the order to pack whose number is in the entry box,
// fetched as above (tasks 25 and 26); the register goes to Pack Order, where
// scanning packs each line up to its quantity to ship.
void OnLine_Pack_Order(OnlineChains& chains);

}  // namespace tarvo
