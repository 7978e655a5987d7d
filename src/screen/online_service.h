// What the online services offer the rest of the register: the Online page,
// the stock look-up and the end of a received purchase order.
#pragma once
#include <functional>
#include <string>

#include "config/register_mode.h"

namespace tarvo {

class OnlineService {
public:
    virtual ~OnlineService() = default;

    // A key of the Online page. The stand-in: "Invalid Entry".
    virtual void Online_Process(int key) = 0;
    virtual void Online_Stock_SetButton() = 0;
    // Asks the back office for the stock of `product` (a product key).
    virtual void Online_Product_CheckStock(const std::string& product) = 0;
    // The shipping export: the last order number asked after the first
    // (gOnline.gOrderRangeStart), then the orders of the range exported.
    virtual void Online_Prompt_End_Order() = 0;
    virtual void Online_Service_UPS() = 0;
    // Sends `price` (one plain number, as the cashier typed it) for `product`
    // to the back office and updates the local product record.
    virtual void Online_Service_ChangePrice(const std::string& product, const std::string& price) = 0;
    // Online page key 21: the web-shop order import. The stand-in: "Invalid Entry".
    virtual void Online_Service_Orders() = 0;
    // Esc while a long online job keeps the keys locked: the job stops at
    // its next step. False when no such job runs (the stand-in).
    virtual bool Online_Escape() = 0;
    // End of a received purchase order (Receive PO) after the end-of-sale pause.
    virtual void Delete_This() = 0;
    // The Total key in the back office's document modes (Receive PO, New
    // Purchase Order, Pack Order): starts sending the document in the
    // background (the keys locked meanwhile) and then tells the Total key
    // through `then`: true once the server has the whole document, false
    // when it stopped (its message on the message line; what the server
    // accepted is kept, so Total again sends only the rest). The stand-in:
    // "Invalid Entry", then(false).
    virtual void Document_Send(RegisterMode mode, std::function<void(bool sent)> then) = 0;
};

}  // namespace tarvo
