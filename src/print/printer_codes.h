// The seven printer control sequences built from settings 835-876.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "config/settings.h"

namespace tarvo {

// Sequence k (1..7) takes the six values 835 + 6(k-1) .. 840 + 6(k-1): each
// non-empty value, read as a number rounded half to even, adds that byte. A
// value outside 0-255 is skipped and named in `log`.
std::array<std::string, 8> PrinterCodes_Build(const Settings& s, std::vector<std::string>* log = nullptr);

}  // namespace tarvo
