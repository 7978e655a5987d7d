#include "data/comm_state.h"

namespace tarvo {
CommState gComm;
}  // namespace tarvo
