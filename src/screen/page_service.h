// The pages whose keys the register answers itself: System, Print and
// Special. The stand-ins answer "Invalid Entry".
#pragma once

namespace tarvo {

class PageService {
public:
    virtual ~PageService() = default;

    virtual void System_Process(int key) = 0;
    virtual void Print_Process(int key) = 0;
    virtual void Special_Process(int key) = 0;
    // The cash count printed its slip: the register window shows again and
    // the report the Print page prepared is printed. The stand-in does nothing.
    virtual void Count_Cash_Resume() = 0;
};

}  // namespace tarvo
