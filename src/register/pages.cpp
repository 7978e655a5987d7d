#include "register/pages.h"

#include "register/print_page.h"
#include "register/screen_actions.h"
#include "register/special_page.h"
#include "register/system_page.h"

namespace tarvo {

void RegisterPages::System_Process(int key) { tarvo::System_Process(key); }
void RegisterPages::Print_Process(int key) { tarvo::Print_Process(key); }
void RegisterPages::Special_Process(int key) { tarvo::Special_Process(key); }
void RegisterPages::Count_Cash_Resume() { tarvo::Count_Cash_Resume(); }

}  // namespace tarvo
