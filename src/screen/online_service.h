// What the online services offer the register: the Online page, the stock
// look-up, the shipping export, Esc for a long job and the send of the back
// office's documents at the Total key. These run on the one set of request
// chains, the stock check and the export the program keeps for the register.
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
    // Asks the back office for the stock of `product` (a product key).
    virtual void Online_Product_CheckStock(const std::string& product) = 0;
    // The shipping export of the orders `first` to `last` (as typed; the
    // export checks that they are whole numbers).
    virtual void Online_Service_UPS(const std::string& first, const std::string& last) = 0;
    // Esc while a long online job keeps the keys locked: the job stops at
    // its next step. False when no such job runs (the stand-in).
    virtual bool Online_Escape() = 0;
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
