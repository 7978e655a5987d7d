// The program-wide settings read from the terminal's settings file.
#pragma once
#include <cstdint>
#include <string>

#include "startup/constants.h"

namespace tarvo {

struct Settings {
    std::int16_t gLanguage = 1;   // 1 English, 2 French: the column of every text table
};

extern Settings gSettings;

// Message k in the current language ("" when k or the language has no entry).
inline const std::string& Msg(int k) { return MessageText(gConstants.tables, k, gSettings.gLanguage); }

}  // namespace tarvo
