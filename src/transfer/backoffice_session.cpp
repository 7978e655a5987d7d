#include "transfer/backoffice_session.h"

#include <unistd.h>

#include "config/constants.h"
#include "data/log.h"
#include "transfer/sales_upload.h"
#include "transfer/upload_delivery.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

const char kSales[] = "TRA";

}  // namespace

FtpAccount BackOfficeSession::Account() const {
    FtpAccount a = setup_.account;
    if (a.hosts.empty()) a.hosts = {gConstants.servers.gFtpHost, gConstants.servers.gFtpHostAlternate};
    if (a.user.empty()) a.user = gConstants.servers.gFtpUser;
    if (a.password.empty()) a.password = gConstants.servers.gFtpPassword;
    return a;
}

LocalTime BackOfficeSession::Now() const { return setup_.clock ? setup_.clock->Now() : SystemClock().Now(); }

std::int16_t BackOfficeSession::Run(std::int16_t mode, bool hidden) {
    gComm.gOperationMode = mode;
    gComm.gCommHidden = hidden;
    gComm.gCommResult = 0;
    Outbox outbox(Outbox_Path(gConstants.paths.gFilesPath));
    std::string error;
    if (!outbox.Load(&error)) {
        // What was in flight is unknown: nothing is sent until a person looks.
        LogText(" Communication: " + error);
        gComm.gCommResult = 3;
        return gComm.gCommResult;
    }
    FtpClient ftp(Account());
    FtpResult login = ftp.Connect();
    if (!login.ok()) {
        LogText(" Communication: no FTP connection: " + login.text);
        gComm.gCommResult = 2;
        return gComm.gCommResult;
    }
    if (mode == kCommFull) {
        if (Send_Sales(ftp, outbox, "") == StepOutcome::Failed) gComm.gCommResult = 3;
    }
    ftp.Disconnect();
    return gComm.gCommResult;
}

// Carries the sales entry of the outbox to its end: delivered, its records
// flagged, the entry taken out and the local file (it holds card numbers)
// deleted. Dropped: the entry was given up before anything reached its
// final name, its records still unflagged.
DeliveryOutcome BackOfficeSession::FinishSales(FtpClient& ftp, Outbox& outbox, const std::string& folder) {
    const std::string local = gConstants.paths.gFilesPath + ".TRA";
    const OutboxEntry e = *outbox.Find(kSales);
    Delivery d = Upload_Deliver(ftp, outbox, kSales, local, folder, Now());
    if (d.outcome != DeliveryOutcome::Sent) {
        LogText(" Send_Sales: " + d.text);
        return d.outcome;
    }
    std::string error;
    if (Sales_RangeStamp({e.first, e.last}) != e.stamp) {
        // The invoices it was built from are gone (the files were emptied);
        // others stand under those numbers now and are sent on their own.
        LogText(" Send_Sales: the invoices of " + e.finalName + " are no longer on file; none marked");
        if (!outbox.Remove(kSales, &error)) {
            LogText(" Send_Sales: " + error);
            return DeliveryOutcome::Failed;
        }
        ::unlink(local.c_str());
        return DeliveryOutcome::Dropped;
    }
    if (!Sales_MarkSent({e.first, e.last})) return DeliveryOutcome::Failed;
    if (!outbox.Remove(kSales, &error)) {
        LogText(" Send_Sales: " + error);
        return DeliveryOutcome::Failed;
    }
    ::unlink(local.c_str());
    return DeliveryOutcome::Sent;
}

StepOutcome BackOfficeSession::Send_Sales(FtpClient& ftp, Outbox& outbox, const std::string& folder) {
    bool sentAny = false;
    // An upload a crash or an outage left goes first: no new file of the
    // kind is built while it is there, so no invoice lands in two files.
    if (outbox.Find(kSales)) {
        DeliveryOutcome left = FinishSales(ftp, outbox, folder);
        if (left == DeliveryOutcome::Failed || left == DeliveryOutcome::Waiting) return StepOutcome::Failed;
        sentAny = left == DeliveryOutcome::Sent;
    }
    const std::string local = gConstants.paths.gFilesPath + ".TRA";
    UploadBuild b = Sales_CreateFile(local, false);
    if (!b.ok) return StepOutcome::Failed;
    if (b.range.Empty()) {
        ::unlink(local.c_str());
        return sentAny ? StepOutcome::Sent : StepOutcome::NothingToSend;
    }
    OutboxEntry e;
    e.kind = kSales;
    e.first = b.range.first;
    e.last = b.range.last;
    e.size = b.size;
    e.stamp = b.stamp;
    e.finalName = UploadName(Now(), kSales);
    e.tempName = Outbox_TemporaryName(e.finalName);
    std::string error;
    if (!outbox.Store(e, &error)) {
        LogText(" Send_Sales: " + error);
        return StepOutcome::Failed;
    }
    return FinishSales(ftp, outbox, folder) == DeliveryOutcome::Sent ? StepOutcome::Sent : StepOutcome::Failed;
}

}  // namespace tarvo
