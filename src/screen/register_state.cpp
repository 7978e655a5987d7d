#include "screen/register_state.h"

namespace tarvo {
RegisterState gReg;
}  // namespace tarvo
