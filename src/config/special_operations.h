// The special-operations string (setting 990): soft-key manager flags and
// removals, the numbered options "001"-"020" and the lettered values. Applied
// after every other setting, so its options win.
#pragma once
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/text_tables.h"

namespace tarvo {

struct SpecialOpsResult {
    std::vector<std::string> logLines;  // one per skipped record or replaced value
};

// Parses s.gSpecialOperations into `s`, the SoftKeyFlags and SoftKeyCaptions
// of `t`. Never stops half-way: a record it cannot use is skipped and named
// in the result's log lines.
SpecialOpsResult Special_Operations(Settings& s, TextTables& t);

}  // namespace tarvo
