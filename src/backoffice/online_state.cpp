#include "backoffice/online_state.h"

namespace tarvo {

OnlineState gOnline;

}  // namespace tarvo
