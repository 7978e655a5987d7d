#include "register/register_context.h"

namespace tarvo {

RegisterContext& Reg() {
    static RegisterContext ctx;
    return ctx;
}

}  // namespace tarvo
