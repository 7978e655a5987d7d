// The sale's client: its fields filled from a client-file record or from a
// client entered at this register, a client attached by number, search or
// entry form, the client's discount (on every line already in the sale, or
// as a sale discount), and the client name search.
#pragma once

namespace tarvo {

// Record gData.gClientRecNo of the client file into gData.gClientRec and the
// sale's client fields. Price level 1 unless column 210 holds 1 to 5.
void Client_GetInformation();

// Record gData.gNewClientRecNo of the new-client file (opened by the caller)
// into the sale's client fields: price level 1, no discount.
void Client_GetInformationNew();

// Attaches the client found (gData.gClientRecNo, else gNewClientRecNo): the
// client panel, "Client <name>" on the message line, then a discount above 0
// and at most 100 taken off each line's unit price (per-line option, setting
// 173 or special option 015) or given as a percentage sale discount through
// the Sales page's key 16. When a discounted line no longer fits the currency
// range the lines stay as they were.
void Client_Process();

// The client name search of the entry text; the search form opens over the
// matching range (nothing happens when nothing matches).
void Aux_Client();

}  // namespace tarvo
