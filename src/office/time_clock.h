// The time clock's evening tasks, run by the communication timer.
#pragma once

namespace tarvo {

void Clock_EverybodyOut();
void RollOverClockIns();

}  // namespace tarvo
