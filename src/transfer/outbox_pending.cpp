#include "transfer/outbox_pending.h"

#include <string>

#include "config/constants.h"
#include "data/log.h"
#include "transfer/backoffice_session.h"
#include "transfer/outbox.h"
#include "transfer/terminal_log_upload.h"

namespace tarvo {

namespace {

// The record-bearing kind of an outbox entry; false for a whole file.
bool RecordKindOf(const std::string& kind, UploadKind& out) {
    if (kind == "TRA")
        out = Sales_Kind();
    else if (kind == "ACC")
        out = Records_Kind(RecordKind::Activity);
    else if (kind == "PHY")
        out = Records_Kind(RecordKind::Physical);
    else if (kind == "NWC")
        out = Records_Kind(RecordKind::NewClients);
    else if (kind == "NWP")
        out = Records_Kind(RecordKind::NewProducts);
    else if (kind == "ADJ")
        out = Documents_Kind(UploadDocumentKind::Adjustments);
    else if (kind == "PUR")
        out = Documents_Kind(UploadDocumentKind::Purchases);
    else
        return false;
    return true;
}

}  // namespace

int Outbox_UnsentDocuments(bool daily) {
    Outbox outbox(Outbox_Path(gConstants.paths.gFilesPath));
    std::string error;
    if (!outbox.Load(&error)) {
        ProgramLog().Write(1, " Unsent documents: " + error);
        return 1;
    }
    int unsent = 0;
    for (const OutboxEntry& e : outbox.Entries()) {
        // Under its final name: at the back office, only its marking is left.
        if (e.state == OutboxState::Sent) continue;
        if (daily && e.kind != "TRA" && e.kind != "ACC") continue;
        UploadKind kind;
        if (!RecordKindOf(e.kind, kind)) {
            if (e.kind == "CMD" || e.kind == kTerminalLogKind) ++unsent;
            continue;
        }
        if (e.first <= 0 || e.last < e.first) continue;
        if (kind.stamp({e.first, e.last}) == e.stamp) continue;  // on file: counted by their flags
        unsent += static_cast<int>(e.last - e.first + 1);
    }
    return unsent;
}

}  // namespace tarvo
