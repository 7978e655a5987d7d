#include "register/pages.h"

#include "register/screen_actions.h"

namespace tarvo {

void RegisterPages::Count_Cash_Resume() { tarvo::Count_Cash_Resume(); }

}  // namespace tarvo
