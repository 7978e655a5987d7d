// Reads the activity journal back as the tests check it.
#pragma once
#include <cstdint>
#include <string>

#include "data/data_state.h"
#include "data/transaction_files.h"

namespace tarvo {

// Record k of the journal (1 is the header).
inline std::string JournalRecord(std::int64_t k) {
    Open_FileActivity();
    std::string r = gData.activity.Read(k);
    gData.activity.Close();
    return r;
}

// The header's count of the last record in use.
inline std::int64_t JournalCount() {
    Open_FileActivity();
    const std::int64_t n = gData.gLastActivityRecord;
    gData.activity.Close();
    return n;
}

}  // namespace tarvo
