// Puts the program-wide values back to a fresh start between tests.
#pragma once
#include "data/log.h"
#include "config/settings.h"
#include "config/constants.h"
#include "data/comm_state.h"

namespace tarvo {

inline void ResetProgramState() {
    gComm = CommState{};
    gSettings = Settings{};
    gConstants = Constants{};
    gTerminalNumber.clear();
}

}  // namespace tarvo
