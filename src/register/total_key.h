// The Total key and the end-of-sale pause after it.
//
// Total checks what a refund in cash needs, locks the keys and has the sale
// saved (sale/sale_save: the invoice records) or its document saved (the
// inventory documents) or sent (the back office's documents, which may wait
// in the background: the keys stay locked until the send has answered).
// What the save returns says what follows: the drawer opened, the receipt or
// the document printed, the second copy after the tear-off box, the
// end-of-sale timer, and the session that sends the sale when the store
// sends after every sale.
#pragma once

namespace tarvo {

// The Total key.
void mTotalRegister_Click();

// The end-of-sale timer's event; EndSaleTimer_Connect makes it the handler of
// TimerId::EndSale.
// A receipt shown on the screen holds the pause until it is closed.
void Timer_EndSale_Timer();
void EndSaleTimer_Connect();
// What ends the pause: the next sale, the logout after a sale (setting 265)
// or the end of a received purchase order.
void SaleEnd_Continue();
// The on-screen receipt was closed: the pause that ended under it goes on,
// and a pause still running ends at once (the cashier has moved on).
void SaleEnd_AfterPrintout();
// The sale is saved and the pause after it has not ended yet (its timer
// runs, or it ended under the receipt on the screen).
bool SaleEnd_Pending();
// A key or touch of the cashier during the pause: the pause ends at once
// (the receipt on the screen closes as with Enter) and the next sale starts,
// so that the key and what the cashier typed go into it; nothing shown in
// the meantime is dropped when the pause would have ended. Does nothing
// when no pause is running.
void SaleEnd_Hurry();

}  // namespace tarvo
