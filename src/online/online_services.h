// The online services as the program has built them: the Online page's
// dispatcher and the stock-check key's caption. What is not built yet answers
// "Invalid Entry" (and writes why to the log), so no key or Total press ever
// passes silently.
#pragma once
#include <functional>
#include <string>

#include "screen/online_service.h"

namespace tarvo {

class OnlineServices final : public OnlineService {
public:
    void Online_Process(int key) override;
    void Online_Stock_SetButton() override;
    void Online_Product_CheckStock(const std::string& product) override;
    void Online_Prompt_End_Order() override;
    void Online_Service_UPS() override;
    void Online_Service_ChangePrice(const std::string& product, const std::string& price) override;
    void Delete_This() override;
    void Document_Send(int mode, std::function<void(bool sent)> then) override;
};

}  // namespace tarvo
