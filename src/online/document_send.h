// The Total key's end of the back office's documents: a received purchase
// order (Receive PO: task 9, task 10 per received line, task 11 closes the
// order), a new purchase order (New Purchase Order: task 12, task 13 and,
// for a line with a list price, task 15 per line, task 11 sets its status)
// and a packed order (Pack Order: task 27, task 28 per packed line, task 29
// closes it).
//
// The requests run one after the other over one connection on the
// background runner, the keys locked and the progress on the message line.
// What the server accepted is kept with the document in the sale (its
// number in gSale.gServerDocNumber, each line's in SaleLine::serverLine, the
// closing in gServerDocClosed): after a failure the document stays open and
// Total again sends only what is missing. Lines go with their line numbers
// on the server (SaleLine::sourceIndex), never their places on the screen.
#pragma once
#include <functional>

#include "config/register_mode.h"
#include "online/request_chain.h"

namespace tarvo {

// Sends the document of `mode` (Receive PO, New Purchase Order or Pack
// Order) and calls `then` on the
// window's thread: true with "Document Number:  " and the server's number
// shown, false with the reason on the message line.
void Document_Send(OnlineChains& chains, RegisterMode mode, std::function<void(bool sent)> then);

}  // namespace tarvo
