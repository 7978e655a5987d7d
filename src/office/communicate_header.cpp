#include "office/communicate_header.h"

namespace tarvo {

void Communicate_Header() {}

}  // namespace tarvo
