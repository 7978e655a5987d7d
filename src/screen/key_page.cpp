#include "screen/key_page.h"

#include <ostream>

namespace tarvo {

std::ostream& operator<<(std::ostream& out, KeyPage page) { return out << static_cast<int>(page); }

}  // namespace tarvo
