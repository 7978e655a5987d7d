// The pages whose keys the register answers itself: System, Print and
// Special.
#pragma once
#include "screen/page_service.h"

namespace tarvo {

class RegisterPages : public PageService {
public:
    void System_Process(int key) override;
    void Print_Process(int key) override;
    void Special_Process(int key) override;
    void Count_Cash_Resume() override;
};

}  // namespace tarvo
