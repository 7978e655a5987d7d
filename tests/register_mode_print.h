// gtest prints a register mode by its name ("Training"), not as two bytes.
#pragma once
#include <ostream>

#include "config/register_mode.h"

namespace tarvo {

inline void PrintTo(RegisterMode mode, std::ostream* out) { *out << RegisterMode_Name(mode); }

}  // namespace tarvo
