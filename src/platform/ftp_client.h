// The FTP client of the back-office account: one control connection, kept
// open between operations, to the first configured host that accepts the
// login. Every call blocks until the server has answered or a time-out has
// passed, so it runs on a worker thread, never on the user-interface thread.
//
// Remote paths are relative to the folder the login lands in, their parts
// separated by "/" ("Data/0101.TRA"). A part is refused (BadName) when it is
// empty, "." or "..", or holds a control character; the rest is encoded for
// the address, so blanks, "#" and "%" reach the server as they are.
//
// The password goes to the server in the login only: never in an address,
// and never in a result's text.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/item_collection.h"

namespace tarvo {

struct FtpAccount {
    // Tried in this order; each "name" or "name:port".
    std::vector<std::string> hosts;
    std::string user;
    std::string password;
    // Explicit FTPS on control and data connections, the server's
    // certificate checked (against `caFile` when given).
    bool tls = false;
    std::string caFile;
    long connectTimeoutMs = 10000;
    // Longest wait for any one reply of the server, the one after the last
    // byte of an upload included (a low-speed limit does not cover it).
    long responseTimeoutS = 20;
    // A transfer slower than this many bytes a second for `lowSpeedTimeS`
    // seconds is given up.
    long lowSpeedBytesPerSecond = 64;
    long lowSpeedTimeS = 30;
};

enum class FtpStatus {
    Ok,
    NotConnected,  // no Connect yet, or every host failed
    Unreachable,   // no host could be reached
    LoginRefused,  // a host answered but refused the user and password
    NotFound,      // the remote file or folder is not there
    Refused,       // the server refused the command (550 and the like)
    Taken,         // a rename's new name is already in use
    TimedOut,      // the server stopped answering or the transfer stalled
    BadName,       // a path part that cannot be sent (see above)
    LocalFile,     // the local file could not be read or written
    Cancelled,     // the cancel flag was raised
    Failed,        // anything else: the connection dropped, a bad reply ...
};

struct FtpResult {
    FtpStatus status = FtpStatus::Ok;
    // What went wrong, for the log: the operation, the path and the server's
    // or the library's words. Empty on success.
    std::string text;
    bool ok() const { return status == FtpStatus::Ok; }
};

// One line of a machine listing ("type=file;size=12;perm=r; NAME"): its
// name and attribute word; false for the folder itself, its parent and a
// line that is not one.
bool Ftp_ParseMachineLine(const std::string& line, std::string& name, std::uint32_t& attributes);

// The name of a status, for the log.
const char* FtpStatusName(FtpStatus status);

class FtpClient {
public:
    explicit FtpClient(FtpAccount account);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Logs in to the first host of the account that accepts the login. Every
    // later operation goes to that host.
    FtpResult Connect();
    bool Connected() const { return !host_.empty(); }
    // The host that accepted the login ("" before).
    const std::string& Host() const { return host_; }
    void Disconnect();

    // A transfer in progress gives up (Cancelled) soon after `*flag` becomes
    // true. The flag must outlive the client's operations.
    void SetCancelFlag(const std::atomic<bool>* flag) { cancel_ = flag; }

    // The names in a remote folder ("" = the login folder), in the server's
    // order, every one of them.
    FtpResult ListNames(const std::string& folder, std::vector<std::string>& names);
    // The same listing with each name's attribute word (a folder has the
    // directory bit, a file the normal one, a file the server says cannot be
    // written the read-only one), emptied first. Asked as a machine listing;
    // a server that does not know it gives the names, every one normal.
    FtpResult ListFiles(const std::string& folder, colItem& items);
    // Fetches a remote file into a new file of `localFolder` (0600, flushed
    // to disk) whose path comes back in `tempPath`; the caller checks it and
    // gives it its final name. Nothing is left behind on failure.
    FtpResult GetToTemporary(const std::string& remotePath, const std::string& localFolder, std::string& tempPath);
    // Uploads a local file under `remotePath`, replacing a file of that name:
    // put under a name no one else reads, then Rename.
    FtpResult Put(const std::string& localPath, const std::string& remotePath);
    // The size of a remote file; NotFound when it is not there.
    FtpResult Size(const std::string& remotePath, std::int64_t& size);
    FtpResult Exists(const std::string& remotePath, bool& exists);
    // Renames a remote file, never over another one: Taken when `to` exists
    // already (a server's rename would silently replace it).
    FtpResult Rename(const std::string& from, const std::string& to);
    FtpResult Delete(const std::string& remotePath);

private:
    FtpResult Perform(const std::string& what, const std::string& path);
    FtpResult ListText(const std::string& folder, bool machine, std::string& body);
    FtpResult Prepare(const std::string& path, bool folder, std::string& url);
    void SetCommonOptions(const std::string& url);
    std::string CommandPath(const std::string& path) const;
    FtpResult Quote(const std::string& what, const std::string& path, const std::vector<std::string>& commands);

    FtpAccount account_;
    std::string host_;
    std::string entryPath_;  // the login folder, as the server named it
    void* curl_ = nullptr;
    const std::atomic<bool>* cancel_ = nullptr;
};

}  // namespace tarvo
