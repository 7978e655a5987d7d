// The pages whose keys the register answers itself: the System and Print
// pages; the Special page keeps its stand-in until it is built.
#pragma once
#include "screen/page_service.h"

namespace tarvo {

class RegisterPages : public PageService {
public:
    void System_Process(int key) override;
    void Print_Process(int key) override;
};

}  // namespace tarvo
