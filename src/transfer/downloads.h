// The download step of a session: the files the back office put in the
// server folder "Files/" for this terminal, fetched into the local Files
// folder, packed masters unpacked, and the loaders of what arrived run.
//
// Each file is installed whole or not at all: fetched to a temporary name in
// Files/ (0600, flushed), a package unpacked to a second temporary, each
// renamed into place and the folder flushed, and only then deleted on the
// server. A failed fetch or unpack keeps the old file, leaves the server's
// copy for the next session and asks for no restart. A file whose server
// delete fails stays installed and is fetched again next time; the same bytes
// fetched again change nothing. Names the server lists that could reach
// outside Files/ (or hold control characters) are refused and left there.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/comm_state.h"
#include "platform/ftp_client.h"
#include "transfer/session_window.h"

namespace tarvo {

// What becomes of a kind of file once it has arrived.
enum class DownloadAction {
    None,
    Restart,  // read by the next start: the session asks for a restart
    Salesmen,
    Cashiers,
    Managers,
    Categories,
    ProductUpdate,
    Vendors,
    Aliases,
};

struct DownloadKind {
    const char* extension;  // upper case; the lower-case form matches too
    int row;                // the session window's receive row, -1 none
    const char* unpackTo;   // the packed masters: the extension they unpack to
    DownloadAction action;  // in a full session
    bool restartAtFirst;    // asks for a restart at the first start too
    unsigned changes;       // what is built from it (data/master_files.h)
    const char* failText;   // the log line of a failed fetch
    bool failWithReason;    // the reason follows the text directly
};

// The kind of a listed name: its last three characters, all upper or all
// lower case; null for any other name.
const DownloadKind* Download_KindOf(const std::string& name);

// Why a listed name cannot be fetched ("" when it can): a name empty after
// its blanks are trimmed, one holding "/", "\", "..", a control character,
// or one that would be a hidden file.
std::string Download_NameProblem(const std::string& name);

enum class DownloadOutcome { Installed, Unchanged, Failed };

struct DownloadedFile {
    std::string name;  // as listed
    const DownloadKind* kind = nullptr;
    std::string path;  // where it is installed
    DownloadOutcome outcome = DownloadOutcome::Failed;
    bool leftOnServer = false;  // installed, but the server delete failed
    std::string why;            // a failure's reason
};

// One session's download step. Prepare and Install run on the
// user-interface thread; Fetch on the worker with what Prepare copied.
class DownloadStep {
public:
    // Modes 0 (after the send steps) and 9 (alone) download, from the
    // server folder `remoteFolder` ("Files/") into the local `filesFolder`.
    void Prepare(CommMode mode, const std::string& filesFolder, const std::string& remoteFolder = "Files/");
    bool Wanted() const { return wanted_ && !fetched_; }
    // Lists the server folder and fetches each file of a known kind,
    // in listing order; first removes the temporaries a crash left in Files/.
    // Touches no program state. `show` hears of each receive row's fetch
    // (under way, then installed or failed), on the worker's thread.
    using RowNews = std::function<void(SessionRow, StepReport)>;
    void Fetch(FtpClient& ftp, const RowNews& show = {});
    // The log lines, the loaders of a full session, the staff logged in found
    // again, gComm.gProductsUpdated. Once per Fetch.
    void Install();

    const std::vector<DownloadedFile>& Files() const { return files_; }

private:
    bool wanted_ = false, fetched_ = false, installed_ = false;
    CommMode mode_ = CommMode::Full;
    std::string folder_, remote_;
    std::vector<DownloadedFile> files_;
    std::vector<std::string> notes_;  // log lines written by the worker's step
    colItem serverFileItems_;         // the server folder's files, as last listed (gServerFileItems)
};

// Removes the temporaries of downloads a crash interrupted in `filesFolder`;
// the number removed.
int Downloads_RemoveStale(const std::string& filesFolder);

}  // namespace tarvo
