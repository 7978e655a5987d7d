// What the customer display and the scale offer the rest of the register.
// Stand-ins: no display (nothing shown, nothing failed) and no scale (the
// weight request times out). The print folder implements the real ones.
#pragma once
#include <cstdint>
#include <functional>

namespace tarvo {

class DeviceService {
public:
    virtual ~DeviceService() = default;

    // The two greeting lines back on the pole display.
    virtual void Customer_Greeting() = 0;
    // Paid, change and balance due.
    virtual void Customer_Total() = 0;
    // gSale.gPriceCheckText and gSale.gPriceCheckPrice.
    virtual void Customer_PriceChecker() = 0;
    // 0 when the last customer-display operation succeeded, not 0 after a failure.
    virtual std::int16_t DisplayError() const = 0;

    // Opens the scale port, asks for a weight and starts the 10-second scale
    // timer. The scale only reports: a weight it read goes to `weighed`
    // (0 or less when the scale was at zero), which answers whether a line
    // came of it. The stand-in only starts the timer: with no scale the
    // request times out.
    virtual void Scale_Open(std::function<bool(double weight)> weighed) = 0;
    // Closes the scale port when it is open.
    virtual void Scale_Close() = 0;
};

}  // namespace tarvo
