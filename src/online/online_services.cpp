#include "online/online_services.h"

#include "online/document_send.h"
#include "online/online_page.h"
#include "online/purchase_order_file.h"

namespace tarvo {

void OnlineServices::Online_Process(int key) { tarvo::Online_Process(key, chains_); }
void OnlineServices::Online_Stock_SetButton() { tarvo::Online_Stock_SetButton(); }
void OnlineServices::Online_Product_CheckStock(const std::string&) { Online_NotBuilt("the stock check"); }
void OnlineServices::Online_Prompt_End_Order() { Online_NotBuilt("the shipping export"); }
void OnlineServices::Online_Service_UPS() { Online_NotBuilt("the shipping export"); }
void OnlineServices::Online_Service_ChangePrice(const std::string&, const std::string&) {
    Online_NotBuilt("the price change");
}
void OnlineServices::Delete_This() { tarvo::Delete_This(); }
void OnlineServices::Document_Send(int mode, std::function<void(bool sent)> then) {
    tarvo::Document_Send(chains_, mode, std::move(then));
}
bool OnlineServices::Online_Escape() { return chains_.Escape(); }

}  // namespace tarvo
