#include "online/online_services.h"

#include "backoffice/online_state.h"
#include "online/online_page.h"
#include "online/price_change.h"
#include "screen/register_context.h"

namespace tarvo {

void OnlineServices::Online_Process(int key) { tarvo::Online_Process(key); }
void OnlineServices::Online_Stock_SetButton() { tarvo::Online_Stock_SetButton(); }
void OnlineServices::Online_Product_CheckStock(const std::string& product) {
    if (Reg().runner)
        stock_.Ask(*Reg().runner, product);
    else
        Online_NotBuilt("the stock check without a background runner");
}
void OnlineServices::Online_Prompt_End_Order() { tarvo::Online_Prompt_End_Order(); }
void OnlineServices::Online_Service_UPS() {
    if (Reg().runner)
        export_.Start(*Reg().runner, gOnline.gOrderRangeStart, gOnline.gOrderRangeEnd);
    else
        Online_NotBuilt("the shipping export without a background runner");
}
void OnlineServices::Online_Service_Orders() {
    if (Reg().runner)
        import_.Start(*Reg().runner);
    else
        Online_NotBuilt("the web-shop order import without a background runner");
}
bool OnlineServices::Online_Escape() { return export_.Cancel(); }
void OnlineServices::Online_Service_ChangePrice(const std::string& product, const std::string& price) {
    if (Reg().runner)
        tarvo::Online_Service_ChangePrice(*Reg().runner, product, price);
    else
        Online_NotBuilt("the price change without a background runner");
}
void OnlineServices::Delete_This() { Online_NotBuilt("receiving a purchase order"); }
bool OnlineServices::Document_Send(int mode) {
    Online_NotBuilt("sending the document of mode " + std::to_string(mode));
    return false;
}

}  // namespace tarvo
