#include "inventory/orders.h"

namespace tarvo {

bool Order_Save() { return false; }

}  // namespace tarvo
