// The communication session with the back office over FTP: the login to the
// first configured host that accepts it, then the send steps of the mode,
// each upload delivered exactly once through the outbox (see
// upload_delivery.h).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "data/comm_state.h"
#include "platform/background_runner.h"
#include "platform/clock.h"
#include "platform/ftp_client.h"
#include "platform/internet.h"
#include "transfer/document_uploads.h"
#include "transfer/outbox.h"
#include "transfer/record_uploads.h"
#include "transfer/sales_upload.h"
#include "transfer/session_window.h"
#include "transfer/upload_delivery.h"

namespace tarvo {

// How one send step ended (the pictures of its row).
enum class StepOutcome { NothingToSend, Sent, Failed };

// One kind of record-bearing upload: its extension, its builder (into the
// path given), the digest of a range and its marker.
struct UploadKind {
    std::string extension;
    std::function<UploadBuild(const std::string& path)> build;
    std::function<std::string(const UploadRange&)> stamp;
    std::function<bool(const UploadRange&)> mark;
};
UploadKind Sales_Kind();
UploadKind Records_Kind(RecordKind kind);
UploadKind Documents_Kind(UploadDocumentKind kind);

struct SessionSetup {
    // The terminal's account; hosts, user and password are taken from the
    // settings at each session when left empty here.
    FtpAccount account;
    const Clock* clock = nullptr;
    // The Internet test of the session's first step (three tries).
    InternetCheckConfig internet;
    // When given, the Internet test is read from here at each session
    // instead (the program's, filled in by the start-up).
    const InternetCheckConfig* internetFrom = nullptr;
    // Where the network steps wait; none: on the calling thread.
    BackgroundRunner* runner = nullptr;
    // The "Communication Status" window each step reports to (on the
    // user-interface thread); none: no window.
    SessionWindow* window = nullptr;
};

class BackOfficeSession : public CommunicationSession {
public:
    explicit BackOfficeSession(SessionSetup setup) : setup_(std::move(setup)) {}

    // Mode 0 sends the new clients and products, the sales, the activity
    // journal, the stock counts, the adjustments and the purchases not yet
    // sent, then the status file and the card terminal's log; mode 1 the
    // program log (to the server's Data folder), mode 2 the log and the
    // working files as they are (Data folder), mode 3 the upload files
    // rebuilt from every record, orders included, flagging nothing (Data
    // folder), mode 4 the command file. gComm.gCommResult: 0 success, 1 no
    // Internet after three tries, 2 no host accepted the login, 3 a send step
    // failed (in modes 2 and 3: any one file).
    //
    // The upload files and their outbox entries are built on the calling
    // (user-interface) thread; the Internet test, the login and every FTP
    // step then run on the runner's worker thread, with copies of the account
    // and the file names and an outbox of their own; the records are marked
    // sent on the user-interface thread, where `done` then gets the result.
    // An upload a crash or an outage left goes first, and no new file of its
    // kind is built while it is there (so no record lands in two files): the
    // records of that kind saved since go up with the next session. A leftover
    // whose records were emptied meanwhile is delivered but marks nothing;
    // the records on file now then go up in a second round.
    void Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) override;
    // The same session, whole, on the calling thread.
    std::int16_t Run(CommMode mode, bool hidden) override;

private:
    struct Job;
    void Begin(CommMode mode, bool hidden, BackgroundRunner& runner, std::function<void(std::int16_t)> done);
    void Round(std::shared_ptr<Job> job, BackgroundRunner& runner);
    void Finish(std::shared_ptr<Job> job, BackgroundRunner& runner);
    FtpAccount Account() const;
    LocalTime Now() const;

    SessionSetup setup_;
};

}  // namespace tarvo
