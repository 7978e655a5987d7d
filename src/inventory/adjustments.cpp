#include "inventory/adjustments.h"

namespace tarvo {

void Adjustment_Prepare() {}
void Adjustment_Start() {}
void Adjustment_Cancel() {}
bool Adjustment_Save() { return false; }

}  // namespace tarvo
