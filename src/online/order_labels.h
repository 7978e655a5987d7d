// Online page key 4: labels by purchase order. The lines of the order whose
// number is in the entry box are asked of the back office (task 14) one
// after the other over one connection in the background, "Receiving Item n"
// on the message line and the keys locked; the labels print on the window's
// thread once the last line is in (a reply without "purchase number", a
// reply repeating the one before, or line 999). A failure part-way prints
// the labels of the lines received and says "Unsuccessful: Communication
// Error"; Esc between two requests prints nothing.
#pragma once
#include "online/request_chain.h"

namespace tarvo {

void Online_Label_By_Order(OnlineChains& chains);

}  // namespace tarvo
