// The transfer subsystem behind its service interface: a session runs on the
// communication session the program was given (the download-only session
// until the full transfer lands).
#pragma once
#include "data/comm_state.h"
#include "screen/transfer_service.h"

namespace tarvo {

class SessionTransfer final : public TransferService {
public:
    // The session to run; none: every session succeeds doing nothing.
    CommunicationSession* session = nullptr;

    std::int16_t Session_Run(std::int16_t mode, bool hidden) override;
};

}  // namespace tarvo
