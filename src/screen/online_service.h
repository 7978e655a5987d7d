// What the online services offer the rest of the register: the Online page,
// the stock look-up and the end of a received purchase order.
#pragma once
#include <functional>
#include <string>

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
    // End of a received purchase order (mode 28) after the end-of-sale pause.
    virtual void Delete_This() = 0;
    // The Total key in the back office's document modes (28 received
    // purchase order, 29 purchase order, 30 packed order): the document
    // sent, then `then` on the user-interface thread with whether it was
    // (false: nothing sent, the message line says why; the stand-in says
    // "Invalid Entry"). The send may wait in the background; the register's
    // keys stay locked until `then` has run, and the rest of the Total key
    // (printing, the drawer, the end of the sale) runs in it.
    virtual void Document_Send(int mode, std::function<void(bool sent)> then) = 0;
};

}  // namespace tarvo
