#include "transfer/transfer_service.h"

namespace tarvo {

std::int16_t SessionTransfer::Session_Run(std::int16_t mode, bool hidden) {
    return session ? session->Run(mode, hidden) : 0;
}

}  // namespace tarvo
