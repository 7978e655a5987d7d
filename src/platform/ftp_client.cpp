#include "platform/ftp_client.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/internet.h"

namespace tarvo {

namespace {

CURL* Handle(void* p) { return static_cast<CURL*>(p); }

// A host as the settings give it: a name or address, optionally ":port".
// Anything else could change the meaning of the address it is put in.
bool ValidHost(const std::string& host) {
    if (host.empty()) return false;
    std::string::size_type colon = host.find(':');
    std::string name = host.substr(0, colon);
    if (name.empty() || name.front() == '-' || name.front() == '.') return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
            return false;
    if (colon == std::string::npos) return true;
    std::string port = host.substr(colon + 1);
    if (port.empty() || port.size() > 5) return false;
    for (char c : port)
        if (c < '0' || c > '9') return false;
    long n = std::strtol(port.c_str(), nullptr, 10);
    return n >= 1 && n <= 65535;
}

// The parts of a remote path; false when one of them cannot be sent.
bool SplitPath(const std::string& path, std::vector<std::string>& parts) {
    parts.clear();
    if (path.empty()) return true;
    std::string::size_type start = 0;
    while (true) {
        std::string::size_type slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        for (unsigned char c : part)
            if (c < 0x20 || c == 0x7F) return false;
        parts.push_back(part);
        if (slash == std::string::npos) return true;
        start = slash + 1;
    }
}

std::string Escape(CURL* c, const std::string& part) {
    char* e = curl_easy_escape(c, part.c_str(), static_cast<int>(part.size()));
    std::string out = e ? e : "";
    curl_free(e);
    return out;
}

size_t AppendText(char* data, size_t size, size_t n, void* out) {
    static_cast<std::string*>(out)->append(data, size * n);
    return size * n;
}

size_t Discard(char*, size_t size, size_t n, void*) { return size * n; }

size_t WriteToFd(char* data, size_t size, size_t n, void* fdp) {
    int fd = *static_cast<int*>(fdp);
    size_t total = size * n, done = 0;
    while (done < total) {
        ssize_t w = ::write(fd, data + done, total - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return 0;  // libcurl stops with a write error
        done += static_cast<size_t>(w);
    }
    return total;
}

size_t ReadFromFd(char* data, size_t size, size_t n, void* fdp) {
    int fd = *static_cast<int*>(fdp);
    ssize_t r;
    do r = ::read(fd, data, size * n);
    while (r < 0 && errno == EINTR);
    return r < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(r);
}

int CheckCancel(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* f = static_cast<const std::atomic<bool>*>(flag);
    return f && f->load() ? 1 : 0;
}

void FreeList(curl_slist* l) { curl_slist_free_all(l); }

}  // namespace

const char* FtpStatusName(FtpStatus status) {
    switch (status) {
    case FtpStatus::Ok: return "ok";
    case FtpStatus::NotConnected: return "not connected";
    case FtpStatus::Unreachable: return "server not reached";
    case FtpStatus::LoginRefused: return "login refused";
    case FtpStatus::NotFound: return "not found";
    case FtpStatus::Refused: return "refused by the server";
    case FtpStatus::Taken: return "name already taken";
    case FtpStatus::TimedOut: return "timed out";
    case FtpStatus::BadName: return "bad name";
    case FtpStatus::LocalFile: return "local file error";
    case FtpStatus::Cancelled: return "cancelled";
    case FtpStatus::Failed: return "failed";
    }
    return "failed";
}

FtpClient::FtpClient(FtpAccount account) : account_(std::move(account)) {
    Curl_GlobalInit();
    curl_ = curl_easy_init();
}

FtpClient::~FtpClient() {
    if (curl_) curl_easy_cleanup(Handle(curl_));
}

void FtpClient::Disconnect() {
    // A fresh handle drops the control connection the old one kept.
    if (curl_) curl_easy_cleanup(Handle(curl_));
    curl_ = curl_easy_init();
    host_.clear();
    entryPath_.clear();
}

void FtpClient::SetCommonOptions(const std::string& url) {
    CURL* c = Handle(curl_);
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_USERNAME, account_.user.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, account_.password.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, account_.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, account_.responseTimeoutS);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, account_.lowSpeedBytesPerSecond);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, account_.lowSpeedTimeS);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, CheckCancel);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel_));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    if (account_.tls) {
        curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        if (!account_.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, account_.caFile.c_str());
    }
}

FtpResult FtpClient::Prepare(const std::string& path, bool folder, std::string& url) {
    if (!Connected()) return {FtpStatus::NotConnected, "not connected"};
    std::vector<std::string> parts;
    if (!SplitPath(path, parts) || (!folder && parts.empty()))
        return {FtpStatus::BadName, "a name that cannot be sent: \"" + path + "\""};
    url = "ftp://" + host_ + "/";
    for (size_t i = 0; i < parts.size(); ++i) {
        url += Escape(Handle(curl_), parts[i]);
        if (i + 1 < parts.size() || folder) url += "/";
    }
    SetCommonOptions(url);
    return {};
}

FtpResult FtpClient::Perform(const std::string& what, const std::string& path) {
    CURL* c = Handle(curl_);
    char error[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    CURLcode rc = curl_easy_perform(c);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    if (rc == CURLE_OK) return {};
    FtpStatus status = FtpStatus::Failed;
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT: status = FtpStatus::Unreachable; break;
    case CURLE_LOGIN_DENIED: status = FtpStatus::LoginRefused; break;
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_ACCESS_DENIED: status = FtpStatus::NotFound; break;
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR: status = FtpStatus::Refused; break;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT: status = FtpStatus::TimedOut; break;
    case CURLE_ABORTED_BY_CALLBACK: status = FtpStatus::Cancelled; break;
    case CURLE_READ_ERROR:
    case CURLE_WRITE_ERROR: status = FtpStatus::LocalFile; break;
    default: break;
    }
    long reply = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply);
    std::string text = what;
    if (!path.empty()) text += " \"" + path + "\"";
    text += ": ";
    text += error[0] ? error : curl_easy_strerror(rc);
    if (reply > 0) text += " (server reply " + std::to_string(reply) + ")";
    return {status, text};
}

FtpResult FtpClient::Connect() {
    if (!curl_) return {FtpStatus::Failed, "connect: the transfer library could not start"};
    host_.clear();
    entryPath_.clear();
    FtpResult last{FtpStatus::NotConnected, "connect: no server host configured"};
    for (const std::string& host : account_.hosts) {
        if (host.empty()) continue;
        if (!ValidHost(host)) {
            last = {FtpStatus::BadName, "connect: not a host name: \"" + host + "\""};
            continue;
        }
        host_ = host;
        SetCommonOptions("ftp://" + host + "/");
        curl_easy_setopt(Handle(curl_), CURLOPT_NOBODY, 1L);
        FtpResult r = Perform("connect to", host);
        if (r.ok()) {
            char* entry = nullptr;
            curl_easy_getinfo(Handle(curl_), CURLINFO_FTP_ENTRY_PATH, &entry);
            entryPath_ = entry ? entry : "";
            return r;
        }
        host_.clear();
        last = r;
    }
    return last;
}

std::string FtpClient::CommandPath(const std::string& path) const {
    if (entryPath_.empty()) return path;
    std::string base = entryPath_;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + "/" + path;
}

// The lines of a listing's text: CR LF and a lone LF end a line; empty ones
// are dropped.
static std::vector<std::string> ListingLines(const std::string& body) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < body.size()) {
        std::string::size_type end = body.find_first_of("\r\n", start);
        if (end == std::string::npos) end = body.size();
        if (end > start) lines.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A folder's listing as the server sends it: the plain names (NLST), or the
// machine listing (MLSD).
FtpResult FtpClient::ListText(const std::string& folder, bool machine, std::string& body) {
    body.clear();
    std::string url;
    FtpResult r = Prepare(folder, true, url);
    if (!r.ok()) return r;
    CURL* c = Handle(curl_);
    if (machine)
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "MLSD");
    else
        curl_easy_setopt(c, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, AppendText);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    return Perform("list", folder);
}

FtpResult FtpClient::ListNames(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    std::string body;
    const FtpResult r = ListText(folder, false, body);
    if (!r.ok()) return r;
    for (std::string name : ListingLines(body)) {
        // Some servers list "folder/name".
        std::string::size_type slash = name.rfind('/');
        if (slash != std::string::npos) name.erase(0, slash + 1);
        if (!name.empty() && name != "." && name != "..") names.push_back(name);
    }
    return {};
}

bool Ftp_ParseMachineLine(const std::string& line, std::string& name, std::uint32_t& attributes) {
    // The facts end at the first blank; the name is everything after it.
    const std::string::size_type blank = line.find(' ');
    if (blank == std::string::npos || blank + 1 >= line.size()) return false;
    name = line.substr(blank + 1);
    const std::string::size_type slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (name.empty() || name == "." || name == "..") return false;
    std::string type, perm;
    bool hasPerm = false;
    std::string::size_type start = 0;
    while (start < blank) {
        std::string::size_type end = line.find(';', start);
        if (end == std::string::npos || end > blank) end = blank;
        const std::string fact = line.substr(start, end - start);
        const std::string::size_type eq = fact.find('=');
        if (eq != std::string::npos) {
            std::string key = fact.substr(0, eq);
            for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            std::string value = fact.substr(eq + 1);
            if (key == "type") {
                for (char& ch : value) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                type = value;
            } else if (key == "perm") {
                perm = value;
                hasPerm = true;
            }
        }
        start = end + 1;
    }
    if (type == "cdir" || type == "pdir") return false;
    if (type == "dir") {
        attributes = clsItem::kDirectory;
        return true;
    }
    attributes = clsItem::kNormal;
    // "a" appends, "w" writes: a file the server lets no one change.
    if (hasPerm && perm.find_first_of("awAW") == std::string::npos) attributes |= clsItem::kReadOnly;
    return true;
}

FtpResult FtpClient::ListFiles(const std::string& folder, colItem& items) {
    items.Clear();
    std::string body;
    FtpResult r = ListText(folder, true, body);
    long reply = 0;
    curl_easy_getinfo(Handle(curl_), CURLINFO_RESPONSE_CODE, &reply);
    if (!r.ok() && r.status != FtpStatus::NotConnected && r.status != FtpStatus::BadName && reply >= 500 &&
        reply <= 502) {
        // Not understood: the plain names, each an ordinary file.
        std::vector<std::string> names;
        r = ListNames(folder, names);
        if (!r.ok()) return r;
        for (const std::string& name : names) items.Add(name, clsItem::kNormal);
        return {};
    }
    if (!r.ok()) return r;
    for (const std::string& line : ListingLines(body)) {
        std::string name;
        std::uint32_t attributes = 0;
        if (Ftp_ParseMachineLine(line, name, attributes)) items.Add(name, attributes);
    }
    return {};
}

FtpResult FtpClient::GetToTemporary(const std::string& remotePath, const std::string& localFolder,
                                    std::string& tempPath) {
    tempPath.clear();
    std::string url;
    FtpResult r = Prepare(remotePath, false, url);
    if (!r.ok()) return r;
    std::string tmpl = localFolder + "/.download-XXXXXX";
    int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);  // created 0600
    if (fd < 0) return {FtpStatus::LocalFile, "get \"" + remotePath + "\": " + std::strerror(errno)};
    CURL* c = Handle(curl_);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteToFd);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &fd);
    r = Perform("get", remotePath);
    if (r.ok() && ::fsync(fd) != 0) r = {FtpStatus::LocalFile, "get \"" + remotePath + "\": " + std::strerror(errno)};
    if (::close(fd) != 0 && r.ok()) r = {FtpStatus::LocalFile, "get \"" + remotePath + "\": " + std::strerror(errno)};
    if (!r.ok()) {
        ::unlink(tmpl.c_str());
        return r;
    }
    tempPath = tmpl;
    return r;
}

FtpResult FtpClient::Put(const std::string& localPath, const std::string& remotePath) {
    std::string url;
    FtpResult r = Prepare(remotePath, false, url);
    if (!r.ok()) return r;
    int fd = ::open(localPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {FtpStatus::LocalFile, "put \"" + localPath + "\": " + std::strerror(errno)};
    off_t size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    CURL* c = Handle(curl_);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
    curl_easy_setopt(c, CURLOPT_READFUNCTION, ReadFromFd);
    curl_easy_setopt(c, CURLOPT_READDATA, &fd);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size < 0 ? 0 : size));
    r = Perform("put", remotePath);
    ::close(fd);
    return r;
}

FtpResult FtpClient::Size(const std::string& remotePath, std::int64_t& size) {
    size = -1;
    std::string url;
    FtpResult r = Prepare(remotePath, false, url);
    if (!r.ok()) return r;
    CURL* c = Handle(curl_);
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    r = Perform("size of", remotePath);
    if (!r.ok()) return r;
    curl_off_t length = -1;
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length < 0) return {FtpStatus::Failed, "size of \"" + remotePath + "\": the server gave no size"};
    size = static_cast<std::int64_t>(length);
    return r;
}

FtpResult FtpClient::Exists(const std::string& remotePath, bool& exists) {
    exists = false;
    std::int64_t size = 0;
    FtpResult r = Size(remotePath, size);
    if (r.status == FtpStatus::NotFound) return {};
    exists = r.ok();
    return r;
}

FtpResult FtpClient::Quote(const std::string& what, const std::string& path, const std::vector<std::string>& commands) {
    std::string url;
    FtpResult r = Prepare("", true, url);
    if (!r.ok()) return r;
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> list(nullptr, FreeList);
    for (const std::string& command : commands) list.reset(curl_slist_append(list.release(), command.c_str()));
    CURL* c = Handle(curl_);
    curl_easy_setopt(c, CURLOPT_QUOTE, list.get());
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    r = Perform(what, path);
    curl_easy_setopt(c, CURLOPT_QUOTE, nullptr);
    return r;
}

FtpResult FtpClient::Rename(const std::string& from, const std::string& to) {
    std::vector<std::string> parts;
    if (!SplitPath(from, parts) || parts.empty() || !SplitPath(to, parts) || parts.empty())
        return {FtpStatus::BadName, "a name that cannot be sent: \"" + from + "\" or \"" + to + "\""};
    bool taken = false;
    FtpResult r = Exists(to, taken);
    if (!r.ok()) return r;
    if (taken) return {FtpStatus::Taken, "rename \"" + from + "\": \"" + to + "\" is there already"};
    r = Quote("rename", from, {"RNFR " + CommandPath(from), "RNTO " + CommandPath(to)});
    if (r.status == FtpStatus::Refused) {
        bool there = true;
        if (Exists(from, there).ok() && !there) r.status = FtpStatus::NotFound;
    }
    return r;
}

FtpResult FtpClient::Delete(const std::string& remotePath) {
    std::vector<std::string> parts;
    if (!SplitPath(remotePath, parts) || parts.empty())
        return {FtpStatus::BadName, "a name that cannot be sent: \"" + remotePath + "\""};
    FtpResult r = Quote("delete", remotePath, {"DELE " + CommandPath(remotePath)});
    if (r.status == FtpStatus::Refused) {
        bool there = true;
        if (Exists(remotePath, there).ok() && !there) r.status = FtpStatus::NotFound;
    }
    return r;
}

}  // namespace tarvo
