// The transfer subsystem behind its service interface: a session runs on the
// communication session the program was given (the download-only session
// until the full transfer lands); the Internet check and the dial-up use this
// machine's configuration.
#pragma once
#include "data/comm_state.h"
#include "platform/internet.h"
#include "screen/transfer_service.h"
#include "transfer/dialup.h"

namespace tarvo {

class SessionTransfer final : public TransferService {
public:
    // The session to run; none: every session succeeds doing nothing.
    CommunicationSession* session = nullptr;
    // How this machine tests the Internet and dials; none: the defaults (a
    // public web page, no dial commands).
    const InternetCheckConfig* internet = nullptr;
    const DialCommands* dial = nullptr;

    std::int16_t Session_Run(CommMode mode, bool hidden) override;
    void Session_Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) override;
    bool Internet_Check() override;
    // Files/Dial.Set of the register's program folder.
    int ReadDialSettings() override;
    int RasDialConnect() override;
    void RasDialHangUp() override;
    // On the register's background runner (at once without one): the check
    // and the dial-up on the worker with copies of this machine's
    // configuration and the dial settings file, gComm written on completion.
    void Connect_Start(std::function<void(int)> done) override;
    void HangUp_Start(std::function<void()> done) override;
    void InternetCheck_Start(std::function<void(bool)> done) override;

private:
    InternetCheckConfig Internet() const { return internet ? *internet : InternetCheckConfig{}; }
    DialCommands Dial() const { return dial ? *dial : DialCommands{}; }
};

}  // namespace tarvo
