#include "data/comm_state.h"

#include <ostream>

namespace tarvo {
CommState gComm;

std::ostream& operator<<(std::ostream& out, CommMode mode) { return out << static_cast<int>(mode); }
}  // namespace tarvo
