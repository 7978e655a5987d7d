// The Online page (key page 11, reached by the Extras key): the back office's
// documents, labels by purchase order, the server test and switch, orders to
// pack, the card-terminal tools, the web-shop import, the stock-check switch
// and the shipping export.
#pragma once
#include <string>

#include "online/request_chain.h"
#include "online/web_orders.h"

namespace tarvo {

// Key 1-24 of the Online page. Checks in order: the register in Sales mode
// (else "Invalid Entry, Operation Cancelled"), the key on the page, no sale
// in progress for the keys that start a service (else "Operation Not Allowed
// in Mid Sale"), a document number in the entry box for the keys that need
// one (else "Document Number is Required"). Keys 16, 21 and 24 empty the
// entry box before their checks.
// Keys that ask the back office start their chain in `chains`; key 21 starts
// the web-shop order import `imports` on the register's runner.
void Online_Process(int key, OnlineChains& chains, WebOrderImport& imports);

// Key 22's caption, in the register's language, from whether the stock
// check is on; the key is enabled.
void Online_Stock_SetButton();

// What a service the register does not have yet answers: "Invalid Entry"
// for 5 seconds and a log line naming it.
void Online_NotBuilt(const std::string& what);

}  // namespace tarvo
