// Stock adjustments: the reason asked on the prompt line, the products rung
// up in mode 15, and the save of the .ADJ header and its .ADD lines at the
// Total key, every quantity and the amount signed by the direction.
#pragma once

namespace tarvo {

void Adjustment_Prepare();
void Adjustment_Start();
void Adjustment_Cancel();
// False when nothing was saved (the message line says why).
bool Adjustment_Save();

}  // namespace tarvo
