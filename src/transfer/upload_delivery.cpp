#include "transfer/upload_delivery.h"

#include <sys/stat.h>

#include <cstdio>

namespace tarvo {

namespace {

std::string Two(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n % 100);
    return b;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// The final name of an upload renamed at `now`: its time stamp renewed, what
// stands before it ("Dejavoo-") and its extension kept.
std::string RenamedAt(const LocalTime& now, const std::string& finalName) {
    auto dot = finalName.rfind('.');
    if (dot == std::string::npos) return UploadName(now, "");
    const std::string prefix = dot >= 8 ? finalName.substr(0, dot - 8) : std::string();
    return prefix + UploadName(now, finalName.substr(dot + 1));
}

Delivery Fail(const FtpResult& r) { return {DeliveryOutcome::Failed, r.text}; }

// Renames the temporary file to a final name chosen now; Sent on disk first
// would claim a rename not done, so the entry says Sent only after it.
Delivery RenameIntoPlace(FtpClient& ftp, Outbox& outbox, OutboxEntry e, const std::string& folder,
                         const LocalTime& now) {
    e.finalName = RenamedAt(now, e.finalName);
    std::string error;
    if (!outbox.Store(e, &error)) return {DeliveryOutcome::Failed, error};
    FtpResult r = ftp.Rename(InFolder(folder, e.tempName), InFolder(folder, e.finalName));
    if (r.status == FtpStatus::Taken) return {DeliveryOutcome::Waiting, r.text};
    if (!r.ok()) return Fail(r);
    e.state = OutboxState::Sent;
    if (!outbox.Store(e, &error)) return {DeliveryOutcome::Failed, error};
    return {DeliveryOutcome::Sent, ""};
}

}  // namespace

std::string UploadName(const LocalTime& now, const std::string& extension) {
    return Two(now.month) + Two(now.day) + Two(now.hour) + Two(now.minute) + "." + extension;
}

Delivery Upload_Deliver(FtpClient& ftp, Outbox& outbox, const std::string& kind, const std::string& localPath,
                        const std::string& folder, const LocalTime& now) {
    auto found = outbox.Find(kind);
    if (!found) return {DeliveryOutcome::Dropped, "no outbox entry for " + kind};
    OutboxEntry e = *found;
    std::string error;
    if (e.state == OutboxState::Sent) return {DeliveryOutcome::Sent, ""};

    if (e.state == OutboxState::Put) {
        std::int64_t size = -1;
        FtpResult r = ftp.Size(InFolder(folder, e.tempName), size);
        if (r.ok() && size == e.size) return RenameIntoPlace(ftp, outbox, e, folder, now);
        if (r.status != FtpStatus::NotFound) {
            if (!r.ok()) return Fail(r);
            // There but not whole: put again from the start.
            e.state = OutboxState::Built;
        } else {
            // The rename was done; the crash came before Sent was recorded.
            e.state = OutboxState::Sent;
            if (!outbox.Store(e, &error)) return {DeliveryOutcome::Failed, error};
            return {DeliveryOutcome::Sent, ""};
        }
    }

    // Built: the whole file goes up again under the temporary name.
    struct stat st;
    if (::stat(localPath.c_str(), &st) != 0 || st.st_size != e.size) {
        ftp.Delete(InFolder(folder, e.tempName));
        if (!outbox.Remove(kind, &error)) return {DeliveryOutcome::Failed, error};
        return {DeliveryOutcome::Dropped, "the upload file " + localPath + " is not the one built; built again"};
    }
    FtpResult gone = ftp.Delete(InFolder(folder, e.tempName));
    if (!gone.ok() && gone.status != FtpStatus::NotFound) return Fail(gone);
    FtpResult put = ftp.Put(localPath, InFolder(folder, e.tempName));
    if (!put.ok()) return Fail(put);
    std::int64_t size = -1;
    FtpResult checked = ftp.Size(InFolder(folder, e.tempName), size);
    if (!checked.ok()) return Fail(checked);
    if (size != e.size)
        return {DeliveryOutcome::Failed, "the server kept " + std::to_string(size) + " bytes of " + e.tempName + ", " +
                                             std::to_string(e.size) + " sent"};
    e.state = OutboxState::Put;
    if (!outbox.Store(e, &error)) return {DeliveryOutcome::Failed, error};
    return RenameIntoPlace(ftp, outbox, e, folder, now);
}

}  // namespace tarvo
