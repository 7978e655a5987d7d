// The communication session with the back office over FTP: the login to the
// first configured host that accepts it, then the send steps of the mode,
// each upload delivered exactly once through the outbox (see
// upload_delivery.h).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "data/comm_state.h"
#include "platform/clock.h"
#include "platform/ftp_client.h"
#include "platform/internet.h"
#include "transfer/document_uploads.h"
#include "transfer/outbox.h"
#include "transfer/record_uploads.h"
#include "transfer/sales_upload.h"
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
UploadKind Documents_Kind(DocumentKind kind);

struct SessionSetup {
    // The terminal's account; hosts, user and password are taken from the
    // settings at each session when left empty here.
    FtpAccount account;
    const Clock* clock = nullptr;
    // The Internet test of the session's first step (three tries).
    InternetCheckConfig internet;
};

class BackOfficeSession : public CommunicationSession {
public:
    explicit BackOfficeSession(SessionSetup setup) : setup_(std::move(setup)) {}

    // Mode 0 sends the new clients and products, the sales, the activity
    // journal, the stock counts, the adjustments and the purchases not yet
    // sent; mode 1 the program log (to the server's Data folder), mode 4 the
    // command file. gComm.gCommResult: 0 success, 1 no Internet after three
    // tries, 2 no host accepted the login, 3 a send step failed.
    std::int16_t Run(std::int16_t mode, bool hidden) override;

    // The sales step: first finishes an upload a crash or an outage left in
    // the outbox, then builds and sends the invoices not yet sent, and flags
    // exactly those.
    StepOutcome Send_Sales(FtpClient& ftp, Outbox& outbox, const std::string& folder);
    // The same for any record-bearing kind.
    StepOutcome Send(const UploadKind& kind, FtpClient& ftp, Outbox& outbox, const std::string& folder);
    // A whole file that carries no sent flags (the log, the command file):
    // a copy of it as it is now goes up under the extension's upload name.
    StepOutcome SendWhole(const std::string& extension, const std::string& source, FtpClient& ftp, Outbox& outbox,
                          const std::string& folder);

private:
    DeliveryOutcome Finish(const UploadKind& kind, FtpClient& ftp, Outbox& outbox, const std::string& folder);
    FtpAccount Account() const;
    LocalTime Now() const;

    SessionSetup setup_;
};

}  // namespace tarvo
