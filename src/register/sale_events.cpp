#include "register/sale_events.h"

#include <cstddef>

#include "config/settings.h"
#include "data/sale_state.h"
#include "inventory/document_helpers.h"
#include "print/pole_display.h"
#include "screen/messages.h"
#include "screen/register_context.h"

namespace tarvo {

void RegisterSaleObserver::Sale_LineAdded(int line) {
    if (!gSettings.gOnlineStockCheck || line < 1 || line > kMaxSaleLines) return;
    SaleState& s = gSale;
    s.gOnlineProduct = s.gLines[static_cast<std::size_t>(line)].product;
    Online().Online_Product_CheckStock(s.gOnlineProduct);
}

void RegisterSaleObserver::Sale_TotalsChanged() {
    Customer_Product();
    if (gDisplay.gDisplayError != 0) CIATime(Msg(Message::ErrorCustomerDisplayIsDisconnected), 5);
    Total_UpdateCaption();
}

void RegisterSaleObserver::Sale_Saved(const SaleSaveResult&) {}

}  // namespace tarvo
