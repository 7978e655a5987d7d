// Puts one upload file on the back-office server exactly once, whatever
// stops the register or the line on the way: each step is recorded in the
// outbox before the next network step, the file goes up under a temporary
// name, its size on the server is checked, and it is renamed to its final
// name only when that name is free (a rename would replace a file there).
//
// These calls wait for the server: they run on the worker thread, with the
// session's own FTP client and outbox and nothing of the program's state.
// Marking the records sent is the caller's, on the user-interface thread,
// once an entry has reached Sent.
#pragma once
#include <string>

#include "platform/clock.h"
#include "platform/ftp_client.h"
#include "transfer/outbox.h"

namespace tarvo {

// The name an upload gets on the server: month, day, hour and minute, then
// the extension ("12091430.TRA"); two sends of a kind in one minute share it.
std::string UploadName(const LocalTime& now, const std::string& extension);

enum class DeliveryOutcome {
    Sent,     // under its final name; the entry says Sent
    Waiting,  // the final name is taken: tried again next session, nothing overwritten
    Failed,   // the server or the line failed; the entry keeps the step reached
    Dropped,  // the entry could not be finished (its local file is gone); nothing reached its final name
};

struct Delivery {
    DeliveryOutcome outcome = DeliveryOutcome::Failed;
    std::string text;  // for the log
};

// Carries the outbox entry of `kind` from the state it is in to Sent:
//   Built  the temporary file (if any) deleted, the local file put again
//   Put    renamed when the temporary file is there; otherwise the rename
//          was done before a crash and the entry is taken as Sent
//   Sent   nothing to do
// `localPath` is the file the entry was built into, `folder` the server
// folder ("" for the login folder). A final name is chosen from `now` each
// time the file is put or renamed.
Delivery Upload_Deliver(FtpClient& ftp, Outbox& outbox, const std::string& kind, const std::string& localPath,
                        const std::string& folder, const LocalTime& now);

}  // namespace tarvo
