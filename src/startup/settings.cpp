#include "startup/settings.h"

namespace tarvo {
Settings gSettings;
}  // namespace tarvo
