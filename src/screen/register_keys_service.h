// The register window's button groups that a step of the sale presses for
// the cashier (a department page after a sale, the payment page after a
// refused card, the client key after a client number). The register folder
// implements them (see register/register_keys.h); the stand-ins do nothing.
#pragma once

namespace tarvo {

class RegisterKeysService {
public:
    virtual ~RegisterKeysService() = default;

    virtual void BDep_Click(int page) = 0;
    virtual void BSys_Click(int index) = 0;
    virtual void BPayment_Click() = 0;
    virtual void BOp_Click(int index) = 0;
    // The Total key (mTotalRegister): the sale or document finished.
    virtual void mTotalRegister_Click() = 0;
};

}  // namespace tarvo
