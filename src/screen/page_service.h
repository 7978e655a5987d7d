// What the register's pages offer the cash office: the way back to the
// register window once the cash count is done.
#pragma once

namespace tarvo {

class PageService {
public:
    virtual ~PageService() = default;

    // The cash count printed its slip: the register window shows again and
    // the report the Print page prepared is printed. The stand-in does nothing.
    virtual void Count_Cash_Resume() = 0;
};

}  // namespace tarvo
