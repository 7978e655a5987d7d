// What the transfer subsystem offers the rest of the register: a
// communication session with the back office. The stand-in does nothing.
#pragma once

namespace tarvo {

class TransferService {
public:
    virtual ~TransferService() = default;

    // One session of gComm.gOperationMode; leaves gComm.gCommResult and
    // gComm.gProductsUpdated.
    virtual void Communicate() {}
};

}  // namespace tarvo
