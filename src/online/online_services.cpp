#include "online/online_services.h"

#include "online/online_page.h"

namespace tarvo {

void OnlineServices::Online_Process(int key) { tarvo::Online_Process(key); }
void OnlineServices::Online_Stock_SetButton() { tarvo::Online_Stock_SetButton(); }
void OnlineServices::Online_Product_CheckStock(const std::string&) { Online_NotBuilt("the stock check"); }
void OnlineServices::Online_Prompt_End_Order() { Online_NotBuilt("the shipping export"); }
void OnlineServices::Online_Service_UPS() { Online_NotBuilt("the shipping export"); }
void OnlineServices::Online_Service_ChangePrice(const std::string&, const std::string&) {
    Online_NotBuilt("the price change");
}
void OnlineServices::Delete_This() { Online_NotBuilt("receiving a purchase order"); }
void OnlineServices::Document_Send(int mode, std::function<void(bool)> then) {
    Online_NotBuilt("sending the document of mode " + std::to_string(mode));
    if (then) then(false);
}

}  // namespace tarvo
