#include "transfer/snapshot_uploads.h"

#include <sys/stat.h>
#include <unistd.h>

#include "config/constants.h"
#include "data/log.h"
#include "platform/files.h"
#include "transfer/document_uploads.h"
#include "transfer/order_upload.h"
#include "transfer/record_uploads.h"
#include "transfer/sales_upload.h"
#include "transfer/status_file.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

// The terminal number the paths end with.
std::string Terminal() {
    const std::string& files = gConstants.paths.gFilesPath;
    return files.substr(files.find_last_of('/') + 1);
}

// The name a snapshot of `extension` is put under: one per terminal and kind,
// so the next send of the kind replaces what a crash left there, and no
// back-office pattern (by extension) matches it.
std::string TemporaryName(const std::string& extension) { return Terminal() + "." + extension + ".part"; }

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// The local name of a resend file: apart from the full session's upload
// files, which may be waiting in the outbox.
std::string ResendPath(const std::string& extension) { return gConstants.paths.gFilesPath + "-resend." + extension; }

const char* const kResendKinds[] = {"TRA", "ACC", "NWC", "NWP", "ORD", "ADJ"};

SnapshotUpload Upload(const std::string& local, const std::string& folder, const std::string& extension,
                      const LocalTime& now) {
    SnapshotUpload s;
    s.local = local;
    s.folder = folder;
    s.finalName = UploadName(now, extension);
    s.tempName = TemporaryName(extension);
    return s;
}

}  // namespace

std::vector<SnapshotUpload> AllFiles_Prepare(const LocalTime& now, bool& failed) {
    std::vector<SnapshotUpload> out;
    // The log is copied: it is written to while it goes up.
    std::string log;
    if (ReadWholeFile(gConstants.paths.gFilesPath + ".LOG", log)) {
        const std::string copy = gConstants.paths.gFilesPath + "-all.LOG";
        std::string error;
        if (WriteFileAtomic(copy, log, 0600, &error)) {
            SnapshotUpload s = Upload(copy, "Data", "LOG", now);
            s.copy = true;
            out.push_back(std::move(s));
        } else {
            LogText(" AllFiles_Upload: " + error);
            failed = true;
        }
    }
    // The working files are not written while the session holds the keys.
    for (const char* ext : {"CLI", "PRD", "INV", "DTL", "PAY", "ACT", "PHY", "ORD", "ORL", "ORP", "NWC", "NWP"}) {
        SnapshotUpload s = Upload(gConstants.paths.gDataPath + "." + ext, "Data", ext, now);
        s.optional = true;
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<SnapshotUpload> Resend_Prepare(const LocalTime& now, bool& failed) {
    std::vector<SnapshotUpload> out;
    for (const char* ext : kResendKinds) {
        const std::string local = ResendPath(ext);
        const std::string kind = ext;
        UploadBuild b;
        if (kind == "TRA")
            b = Sales_CreateFile(local, true);
        else if (kind == "ACC")
            b = Records_CreateFile(RecordKind::Activity, local, true);
        else if (kind == "NWC")
            b = Records_CreateFile(RecordKind::NewClients, local, true);
        else if (kind == "NWP")
            b = Records_CreateFile(RecordKind::NewProducts, local, true);
        else if (kind == "ORD")
            b = Orders_CreateFile(local, true);
        else
            b = Documents_CreateFile(UploadDocumentKind::Adjustments, local);
        if (!b.ok) {
            failed = true;
            continue;
        }
        if (b.range.Empty()) {
            ::unlink(local.c_str());
            continue;
        }
        SnapshotUpload s = Upload(local, "Data", ext, now);
        s.copy = true;
        out.push_back(std::move(s));
    }
    return out;
}

bool Status_Prepare(const LocalTime& now, std::vector<SnapshotUpload>& out) {
    const std::string local = gConstants.paths.gFilesPath + ".STT";
    if (!Status_CreateFile(local, now)) return false;
    out.push_back(Upload(local, "", "STT", now));
    return true;
}

void Snapshots_RemoveLeftovers() {
    for (const char* ext : kResendKinds) ::unlink(ResendPath(ext).c_str());
    ::unlink((gConstants.paths.gFilesPath + "-all.LOG").c_str());
}

void Snapshot_Deliver(FtpClient& ftp, SnapshotUpload& s) {
    struct stat st;
    if (::stat(s.local.c_str(), &st) != 0) {
        s.delivery = {s.optional ? DeliveryOutcome::Dropped : DeliveryOutcome::Failed,
                      s.local + " is not on this register"};
        return;
    }
    const std::string temp = InFolder(s.folder, s.tempName);
    const std::string final = InFolder(s.folder, s.finalName);
    FtpResult gone = ftp.Delete(temp);
    if (!gone.ok() && gone.status != FtpStatus::NotFound) {
        s.delivery = {DeliveryOutcome::Failed, gone.text};
        return;
    }
    auto fail = [&](DeliveryOutcome outcome, const std::string& text) {
        ftp.Delete(temp);  // nothing half sent stays behind
        s.delivery = {outcome, text};
    };
    FtpResult put = ftp.Put(s.local, temp);
    if (!put.ok()) return fail(DeliveryOutcome::Failed, put.text);
    std::int64_t size = -1;
    FtpResult checked = ftp.Size(temp, size);
    if (!checked.ok()) return fail(DeliveryOutcome::Failed, checked.text);
    if (size != static_cast<std::int64_t>(st.st_size))
        return fail(DeliveryOutcome::Failed, "the server kept " + std::to_string(size) + " bytes of " + temp + ", " +
                                                 std::to_string(st.st_size) + " sent");
    FtpResult renamed = ftp.Rename(temp, final);
    if (renamed.status == FtpStatus::Taken) return fail(DeliveryOutcome::Waiting, renamed.text);
    if (!renamed.ok()) return fail(DeliveryOutcome::Failed, renamed.text);
    s.delivery = {DeliveryOutcome::Sent, ""};
}

bool Snapshots_Finish(std::vector<SnapshotUpload>& uploads, bool reached) {
    bool ok = true;
    for (SnapshotUpload& s : uploads) {
        const DeliveryOutcome outcome = s.delivery.outcome;
        if (reached && outcome != DeliveryOutcome::Sent) {
            const std::string who = " Send " + InFolder(s.folder, s.finalName) + ": ";
            if (outcome == DeliveryOutcome::Dropped) {
                LogText(who + s.delivery.text + "; left out");
            } else {
                LogText(who + s.delivery.text + (outcome == DeliveryOutcome::Waiting ? "; nothing replaced" : ""));
                ok = false;
            }
        }
        if (s.copy) ::unlink(s.local.c_str());
    }
    return ok;
}

}  // namespace tarvo
