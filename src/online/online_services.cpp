#include "online/online_services.h"

#include "backoffice/online_state.h"
#include "online/document_send.h"
#include "online/online_page.h"
#include "screen/register_context.h"

namespace tarvo {

void OnlineServices::Online_Process(int key) { tarvo::Online_Process(key, chains_, import_); }
void OnlineServices::Online_Product_CheckStock(const std::string& product) {
    if (Reg().runner)
        stock_.Ask(*Reg().runner, product);
    else
        Online_NotBuilt("the stock check without a background runner");
}
void OnlineServices::Online_Service_UPS(const std::string& first, const std::string& last) {
    if (Reg().runner)
        export_.Start(*Reg().runner, first, last);
    else
        Online_NotBuilt("the shipping export without a background runner");
}
// Esc stops whichever runs: a document's request chain or the shipping export.
bool OnlineServices::Online_Escape() { return chains_.Escape() || export_.Cancel(); }
void OnlineServices::Document_Send(RegisterMode mode, std::function<void(bool sent)> then) {
    tarvo::Document_Send(chains_, mode, std::move(then));
}

}  // namespace tarvo
