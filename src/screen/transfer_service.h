// What the transfer subsystem offers the rest of the register: one session
// with the back office (sends, downloads, the resend of every file) and the
// Internet check and dial-up around it. The cash office's Communicate wraps
// a session with the dial-up and the logout. The stand-in runs nothing and
// reports success, as a register without a back office would: it is always
// online and never dials.
#pragma once
#include <cstdint>
#include <functional>

#include "data/comm_state.h"

namespace tarvo {

class TransferService {
public:
    virtual ~TransferService() = default;

    // Runs one session of `mode` (a CommMode) with its window shown unless
    // `hidden`; 0 when it succeeded. Sets gComm.gProductsUpdated when product
    // or client files arrived.
    virtual std::int16_t Session_Run(CommMode mode, bool hidden) = 0;
    // Starts the same session; `done` gets its result on the user-interface
    // thread once it has ended (at once when it runs on this thread).
    virtual void Session_Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) = 0;

    // True when the Internet answers now.
    virtual bool Internet_Check() = 0;
    // Reads the dial settings file into gComm.gDialEntry, gDialUser and
    // gDialPassword: 1 when read, 2 when it is missing (nothing changed).
    virtual int ReadDialSettings() = 0;
    // Dials gComm.gDialEntry until the Internet answers: 1 connected, 3 failed.
    // Leaves gComm.gInternetAvailable.
    virtual int RasDialConnect() = 0;
    // Hangs gComm.gDialEntry up.
    virtual void RasDialHangUp() = 0;

    // The connection before a session, without waiting on this thread: the
    // Internet check and, when it does not answer, the dial-up with the dial
    // settings file. `done` runs on the user-interface thread with 0 (the
    // Internet answered, nothing dialled), 1 (connected by the dial-up), 2
    // (no dial settings) or 3 (the dial-up failed); gComm.gInternetAvailable
    // and, once they were used, the dial values are set just before it.
    virtual void Connect_Start(std::function<void(int)> done) = 0;
    // Hangs gComm.gDialEntry up, then `done` on the user-interface thread.
    virtual void HangUp_Start(std::function<void()> done) = 0;
    // The Internet check alone, without waiting on this thread: `done` runs
    // on the user-interface thread with its answer, gComm.gInternetAvailable
    // set just before.
    virtual void InternetCheck_Start(std::function<void(bool)> done) = 0;
};

}  // namespace tarvo
