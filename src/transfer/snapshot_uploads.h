// Uploads that are copies of the register's files rather than new records:
// the all-files upload (mode 2), the plain-text resend (mode 3) and the
// status file of a full session. Nothing is marked sent after them and a
// person or the next session asks for them again, so they are not kept in
// the outbox: a crash or an outage loses nothing that a new send does not
// give again. Each still goes up under a temporary name, has its size
// checked and is renamed only onto a free final name, so the back office
// never reads a file cut short and never loses one it had.
//
// The files are built (or named) on the user-interface thread, put on the
// worker with the session's FTP client, and their outcome logged back on the
// user-interface thread.
#pragma once
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/ftp_client.h"
#include "transfer/upload_delivery.h"

namespace tarvo {

struct SnapshotUpload {
    std::string local;      // the file put
    std::string folder;     // on the server ("" = the login folder)
    std::string finalName;  // its name there
    std::string tempName;   // the name it is put under first
    // A copy made for this upload (it may hold card numbers): deleted when
    // the session ends, sent or not.
    bool copy = false;
    // A local file that is not there is left out, not a failure.
    bool optional = false;
    Delivery delivery;  // the worker's outcome
};

// Mode 2: the log, then the client and product working files and the
// transaction files, as they are, into the server's Data folder.
std::vector<SnapshotUpload> AllFiles_Prepare(const LocalTime& now, bool& failed);

// Mode 3: the sales, journal, new-client, new-product, order and adjustment
// upload files rebuilt (every record from record 2 on, the adjustments not
// sent yet), each that has lines into the server's Data folder. No record is
// flagged afterwards. `failed` is set when a file cannot be built.
std::vector<SnapshotUpload> Resend_Prepare(const LocalTime& now, bool& failed);

// The status file of a full session; false when it cannot be written.
bool Status_Prepare(const LocalTime& now, std::vector<SnapshotUpload>& out);

// Removes the resend files a crash left (they hold card numbers).
void Snapshots_RemoveLeftovers();

// On the worker: the temporary name a crash may have left replaced, the file
// put, its size on the server checked, then renamed onto its final name when
// that name is free (Waiting otherwise, nothing overwritten).
void Snapshot_Deliver(FtpClient& ftp, SnapshotUpload& upload);

// Back on the user-interface thread: each failure logged, the copies
// deleted. `reached` is false when the session never reached the server (the
// uploads were not tried). True when every upload tried went up.
bool Snapshots_Finish(std::vector<SnapshotUpload>& uploads, bool reached);

}  // namespace tarvo
