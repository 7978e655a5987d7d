// The status file, Files/<terminal>.STT: what runs on this register and what
// it has loaded, sent at every full session. It is a snapshot, not a record:
// each session sends a fresh one, so it is not kept in the outbox; one lost
// to a crash or an outage is simply replaced by the next.
#pragma once
#include <string>

#include "platform/clock.h"

namespace tarvo {

// The seventeen lines, each "<tag>value</tag>" and CR LF.
std::string Status_Text(const LocalTime& now);

// Writes Status_Text to `path` (0600, replaced whole); false (logged) when it
// cannot be written.
bool Status_CreateFile(const std::string& path, const LocalTime& now);

}  // namespace tarvo
