// The receipt area taken down as a whole, the totals panel at the end of a
// sale, the physical-count labels, the client summary, and the freeze of the
// totals, entry box, message line and mode box during a card request.
#pragma once
#include "screen/register_context.h"

namespace tarvo {

// Hides every panel of the receipt area: the totals panel, the receipt grid,
// both message boxes, the count labels and the printout (not the greeting).
void All_Hide();
// Fills the totals panel from the sale's totals and shows it alone
// (gReceiptAreaContent 1).
void Summary_Show();
void Summary_Hide();
// The count labels: emptied and hidden / shown, with stock-count mode on.
void Physical_Hide();
void Physical_Activate();
// The attached client's summary in the message box (gReceiptAreaContent 2).
void Client_ShowInformation();
// Disable / enable the totals cells, entry box, message line and mode box
// around a card request (visibility unchanged).
void ReceiptArea_Deactivate();
void ReceiptArea_Activate();

// The empty price-change panel in the receipt area, waiting for a product.
void Mode_PriceChange_Activate();

}  // namespace tarvo
