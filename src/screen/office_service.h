// What the cash office offers the layers below it and the other features:
// the logout, the business date's text, the journal's record of a cancelled
// sale and the communication sessions. The register above calls the office's
// functions directly. Stand-ins do nothing (and report failure where the
// caller reads an outcome); the office folder implements the real ones.
#pragma once
#include <functional>

namespace tarvo {

class OfficeService {
public:
    virtual ~OfficeService() = default;

    // gSale.gDateText from gReg.gBusinessDate.
    virtual void Date_Set() = 0;
    virtual void Logout() = 0;
    // The journal's record of a cancelled sale (type "S": the manager if one
    // is attached, the cashier); false when it could not be written.
    virtual bool SaleCancel_Save() = 0;
    // One communication session of gComm.gOperationMode, wrapped: dial-up
    // when offline, the session, hang-up, logout when nobody is logged in.
    // Leaves gComm.gCommResult and gComm.gProductsUpdated, then runs `then`
    // (on the user-interface thread, once the session has ended: a session
    // may wait in the background, so what reads the result goes in `then`).
    virtual void Communicate(std::function<void()> then = {}) = 0;
};

}  // namespace tarvo
