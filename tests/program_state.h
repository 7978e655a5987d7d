// Puts the program-wide values back to a fresh start between tests.
#pragma once
#include "config/constants.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/log.h"

namespace tarvo {

inline void ResetProgramState() {
    gComm = CommState{};
    gSettings = Settings{};
    gConstants = Constants{};
    gTerminalNumber.clear();
}

}  // namespace tarvo
