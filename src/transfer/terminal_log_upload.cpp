#include "transfer/terminal_log_upload.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "config/constants.h"
#include "data/log.h"
#include "platform/files.h"
#include "transfer/upload_delivery.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, " Send_Dejavoo: " + text); }

// The size of a file; -1 when it is not there.
long long SizeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace

std::string TerminalLog_Path() { return gConstants.paths.programFolder + "/Data/Dejavoo.LOG"; }

std::string TerminalLog_AsidePath() { return gConstants.paths.programFolder + "/Data/Dejavoo-send.LOG"; }

bool TerminalLog_Prepare(Outbox& outbox, const LocalTime& now, bool& failed) {
    if (outbox.Find(kTerminalLogKind)) return true;
    const std::string log = TerminalLog_Path(), aside = TerminalLog_AsidePath();
    long long size = SizeOf(aside);
    if (size == 0) {
        ::unlink(aside.c_str());
        size = -1;
    }
    if (size < 0) {
        // Nothing waiting: the log is set aside when it has lines.
        if (SizeOf(log) <= 0) return false;
        if (std::rename(log.c_str(), aside.c_str()) != 0) {
            LogText("the terminal log cannot be set aside: " + std::string(std::strerror(errno)));
            failed = true;
            return false;
        }
        SyncFolderOf(aside);
        size = SizeOf(aside);
        if (size < 0) {
            LogText(aside + " is gone");
            failed = true;
            return false;
        }
    }
    OutboxEntry e;
    e.kind = kTerminalLogKind;
    e.size = size;
    e.finalName = "Dejavoo-" + UploadName(now, "Log");
    e.tempName = Outbox_TemporaryName(gConstants.paths.gFilesPath, e.finalName);
    std::string error;
    if (!outbox.Store(e, &error)) {
        // The file set aside goes with the next session.
        LogText(error);
        failed = true;
        return false;
    }
    return true;
}

}  // namespace tarvo
