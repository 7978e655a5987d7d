// What the transfer subsystem offers the rest of the register: one session
// with the back office (sends, downloads, the resend of every file). The
// cash office's Communicate wraps it with the dial-up and the logout. The
// stand-in runs nothing and reports success, as a register without a back
// office would.
#pragma once
#include <cstdint>

namespace tarvo {

class TransferService {
public:
    virtual ~TransferService() = default;

    // Runs one session of `mode` (a CommMode) with its window shown unless
    // `hidden`; 0 when it succeeded. Sets gComm.gProductsUpdated when product
    // or client files arrived.
    virtual std::int16_t Session_Run(std::int16_t mode, bool hidden) { return 0; }
};

}  // namespace tarvo
