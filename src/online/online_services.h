// The online services as the program has built them: the Online page's
// dispatcher with the request chains and the web-shop import it runs, the
// stock check, the shipping export and the document send. What is not built
// yet answers "Invalid Entry" (and writes why to the log), so no key or Total
// press ever passes silently.
#pragma once
#include <functional>
#include <string>

#include "online/request_chain.h"
#include "online/shipping_export.h"
#include "online/stock_check.h"
#include "online/web_orders.h"
#include "screen/online_service.h"

namespace tarvo {

class OnlineServices final : public OnlineService {
public:
    void Online_Process(int key) override;
    void Online_Product_CheckStock(const std::string& product) override;
    void Online_Service_UPS(const std::string& first, const std::string& last) override;
    bool Online_Escape() override;
    void Document_Send(RegisterMode mode, std::function<void(bool sent)> then) override;
    OnlineChains& Chains() { return chains_; }

private:
    OnlineChains chains_;  // the request chain running, for Esc
    StockCheck stock_;
    ShippingExport export_;
    WebOrderImport import_;
};

}  // namespace tarvo
