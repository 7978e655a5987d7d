#include "inventory/kits.h"

namespace tarvo {

void Kit_Processing() {}

}  // namespace tarvo
