#include "transfer/backoffice_session.h"

#include <unistd.h>

#include "config/constants.h"
#include "data/log.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "transfer/document_uploads.h"
#include "transfer/record_uploads.h"
#include "transfer/sales_upload.h"
#include "transfer/upload_delivery.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

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
    // The Internet first: three tries, no pause between them.
    bool online = false;
    for (int attempt = 0; attempt < 3 && !online; ++attempt) {
        gComm.gCommResult = 0;
        online = Internet_Check(setup_.internet);
        if (!online) gComm.gCommResult = 1;
    }
    gComm.gInternetAvailable = online;
    if (!online) {
        LogText(" Communication: the Internet did not answer");
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
        // New entries first (a sale may name a client entered here), then
        // the documents; a failed step does not stop the next.
        const UploadKind kinds[] = {Records_Kind(RecordKind::NewClients),
                                    Records_Kind(RecordKind::NewProducts),
                                    Sales_Kind(),
                                    Records_Kind(RecordKind::Activity),
                                    Records_Kind(RecordKind::Physical),
                                    Documents_Kind(DocumentKind::Adjustments),
                                    Documents_Kind(DocumentKind::Purchases)};
        for (const UploadKind& kind : kinds)
            if (Send(kind, ftp, outbox, "") == StepOutcome::Failed) gComm.gCommResult = 3;
    } else if (mode == kCommLog) {
        if (SendWhole("LOG", gConstants.paths.gFilesPath + ".LOG", ftp, outbox, "Data") == StepOutcome::Failed)
            gComm.gCommResult = 3;
    } else if (mode == kCommCommandFile) {
        if (SendWhole("CMD", gConstants.paths.gFilesPath + ".CMD", ftp, outbox, "") == StepOutcome::Failed)
            gComm.gCommResult = 3;
    }
    ftp.Disconnect();
    return gComm.gCommResult;
}

UploadKind Sales_Kind() {
    UploadKind k;
    k.extension = "TRA";
    k.build = [](const std::string& path) { return Sales_CreateFile(path, false); };
    k.stamp = [](const UploadRange& r) { return Sales_RangeStamp(r); };
    k.mark = [](const UploadRange& r) { return Sales_MarkSent(r); };
    return k;
}

UploadKind Documents_Kind(DocumentKind kind) {
    UploadKind k;
    k.extension = DocumentKind_Extension(kind);
    k.build = [kind](const std::string& path) { return Documents_CreateFile(kind, path); };
    k.stamp = [kind](const UploadRange& r) { return Documents_RangeStamp(kind, r); };
    k.mark = [kind](const UploadRange& r) { return Documents_MarkSent(kind, r); };
    return k;
}

UploadKind Records_Kind(RecordKind kind) {
    UploadKind k;
    k.extension = RecordKind_Extension(kind);
    k.build = [kind](const std::string& path) { return Records_CreateFile(kind, path, false); };
    k.stamp = [kind](const UploadRange& r) { return Records_RangeStamp(kind, r); };
    k.mark = [kind](const UploadRange& r) { return Records_MarkSent(kind, r); };
    return k;
}

// Carries the kind's entry of the outbox to its end: delivered, its records
// flagged, the entry taken out and the local file (the sales one holds card
// numbers) deleted. Dropped: the entry was given up before its records were
// flagged.
DeliveryOutcome BackOfficeSession::Finish(const UploadKind& kind, FtpClient& ftp, Outbox& outbox,
                                          const std::string& folder) {
    const std::string local = gConstants.paths.gFilesPath + "." + kind.extension;
    const std::string who = " Send_" + kind.extension + ": ";
    const OutboxEntry e = *outbox.Find(kind.extension);
    Delivery d = Upload_Deliver(ftp, outbox, kind.extension, local, folder, Now());
    if (d.outcome != DeliveryOutcome::Sent) {
        LogText(who + d.text);
        return d.outcome;
    }
    std::string error;
    if (kind.stamp({e.first, e.last}) != e.stamp) {
        // The records it was built from are gone (the files were emptied);
        // others stand under those numbers now and are sent on their own.
        LogText(who + "the records of " + e.finalName + " are no longer on file; none marked");
        if (!outbox.Remove(kind.extension, &error)) {
            LogText(who + error);
            return DeliveryOutcome::Failed;
        }
        ::unlink(local.c_str());
        return DeliveryOutcome::Dropped;
    }
    if (!kind.mark({e.first, e.last})) return DeliveryOutcome::Failed;
    if (!outbox.Remove(kind.extension, &error)) {
        LogText(who + error);
        return DeliveryOutcome::Failed;
    }
    ::unlink(local.c_str());
    return DeliveryOutcome::Sent;
}

StepOutcome BackOfficeSession::Send(const UploadKind& kind, FtpClient& ftp, Outbox& outbox, const std::string& folder) {
    bool sentAny = false;
    // An upload a crash or an outage left goes first: no new file of the
    // kind is built while it is there, so no record lands in two files.
    if (outbox.Find(kind.extension)) {
        DeliveryOutcome left = Finish(kind, ftp, outbox, folder);
        if (left == DeliveryOutcome::Failed || left == DeliveryOutcome::Waiting) return StepOutcome::Failed;
        sentAny = left == DeliveryOutcome::Sent;
    }
    const std::string local = gConstants.paths.gFilesPath + "." + kind.extension;
    UploadBuild b = kind.build(local);
    if (!b.ok) return StepOutcome::Failed;
    if (b.range.Empty()) {
        ::unlink(local.c_str());
        return sentAny ? StepOutcome::Sent : StepOutcome::NothingToSend;
    }
    OutboxEntry e;
    e.kind = kind.extension;
    e.first = b.range.first;
    e.last = b.range.last;
    e.size = b.size;
    e.stamp = b.stamp;
    e.finalName = UploadName(Now(), kind.extension);
    e.tempName = Outbox_TemporaryName(e.finalName);
    std::string error;
    if (!outbox.Store(e, &error)) {
        LogText(" Send_" + kind.extension + ": " + error);
        return StepOutcome::Failed;
    }
    return Finish(kind, ftp, outbox, folder) == DeliveryOutcome::Sent ? StepOutcome::Sent : StepOutcome::Failed;
}

StepOutcome BackOfficeSession::SendWhole(const std::string& extension, const std::string& source, FtpClient& ftp,
                                         Outbox& outbox, const std::string& folder) {
    const std::string copy = gConstants.paths.gFilesPath + "-send." + extension;
    const std::string who = " Send_" + extension + ": ";
    std::string error;
    if (!outbox.Find(extension)) {
        std::string bytes;
        if (!ReadWholeFile(source, bytes)) return StepOutcome::NothingToSend;
        // A copy: the file itself may grow while it goes up.
        if (!WriteFileAtomic(copy, bytes, 0600, &error)) {
            LogText(who + error);
            return StepOutcome::Failed;
        }
        OutboxEntry e;
        e.kind = extension;
        e.size = static_cast<std::int64_t>(bytes.size());
        e.finalName = UploadName(Now(), extension);
        e.tempName = Outbox_TemporaryName(e.finalName);
        if (!outbox.Store(e, &error)) {
            LogText(who + error);
            return StepOutcome::Failed;
        }
    }
    Delivery d = Upload_Deliver(ftp, outbox, extension, copy, folder, Now());
    if (d.outcome == DeliveryOutcome::Failed || d.outcome == DeliveryOutcome::Waiting) {
        LogText(who + d.text);
        return StepOutcome::Failed;
    }
    if (d.outcome == DeliveryOutcome::Dropped) LogText(who + d.text);
    if (outbox.Find(extension) && !outbox.Remove(extension, &error)) {
        LogText(who + error);
        return StepOutcome::Failed;
    }
    ::unlink(copy.c_str());
    return d.outcome == DeliveryOutcome::Sent ? StepOutcome::Sent : StepOutcome::Failed;
}

StepOutcome BackOfficeSession::Send_Sales(FtpClient& ftp, Outbox& outbox, const std::string& folder) {
    return Send(Sales_Kind(), ftp, outbox, folder);
}

}  // namespace tarvo
