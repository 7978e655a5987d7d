// The card terminal's log, Data/Dejavoo.LOG of the program folder (written by
// the card payments), goes up at every full session as
// "Dejavoo-MMDDHHmm.Log" into the login folder.
//
// It is renamed aside first, so the card's new lines start a fresh log while
// it goes up, and the file set aside is deleted only once it is on the
// server under its final name. It travels through the outbox like the
// record uploads (kind "Dejavoo"), so a crash at any point sends it once: an
// entry left is finished first, and a file set aside that has no entry yet
// (a crash right after the rename) goes up before the log is set aside again.
#pragma once
#include <string>

#include "platform/clock.h"
#include "transfer/outbox.h"

namespace tarvo {

inline constexpr const char* kTerminalLogKind = "Dejavoo";

std::string TerminalLog_Path();       // <program>/Data/Dejavoo.LOG
std::string TerminalLog_AsidePath();  // <program>/Data/Dejavoo-send.LOG

// On the user-interface thread, before the network: true when the outbox
// holds an entry for a file set aside (left by an earlier session, or stored
// now after setting the log aside); false when there is nothing to send, or
// when it cannot be set aside or stored (logged, `failed` set: the log stays
// where it is for the next session).
bool TerminalLog_Prepare(Outbox& outbox, const LocalTime& now, bool& failed);

}  // namespace tarvo
