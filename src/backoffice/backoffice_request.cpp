#include "backoffice/backoffice_request.h"

#include <curl/curl.h>

#include <algorithm>

#include "backoffice/online_state.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "platform/internet.h"

namespace tarvo {

namespace {

struct Receiver {
    std::string bytes;
    bool tooLarge = false;
};

size_t Receive(char* data, size_t size, size_t n, void* user) {
    auto* r = static_cast<Receiver*>(user);
    const size_t len = size * n;
    if (r->bytes.size() + len > kMaxReplyBytes) {
        r->tooLarge = true;
        return 0;  // ends the transfer
    }
    r->bytes.append(data, len);
    return len;
}

std::string Task(TaskCode task) { return "task=" + std::to_string(TaskNumber(task)); }
std::string Terminal() { return EncodeQueryValue(gTerminalNumber); }
std::string Debug() { return EncodeQueryValue(gSettings.gDebugMode); }

BackOfficeResult Failed(std::string error, long status) {
    BackOfficeResult r;
    r.httpStatus = status;
    r.error = RedactCredentials(std::move(error));
    return r;
}

}  // namespace

std::string EncodeQueryValue(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == '~';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

BackOfficeResult BackOfficeRequest(const std::string& query, long timeoutMs) {
    const std::string& prefix = gConstants.servers.RequestPrefix();
    BackOfficeResult r = BackOfficeRequestAt(prefix, query, timeoutMs);
    if (!r) BackOfficeRequest_LogFailure(prefix, query, r);
    return r;
}

void BackOfficeRequest_LogFailure(const std::string& prefix, const std::string& query, const BackOfficeResult& r) {
    ProgramLog().Write(1, "Back office request failed: " + r.error + ": " + RedactCredentials(prefix + query));
}

BackOfficeResult BackOfficeRequestAt(const std::string& prefix, const std::string& query, long timeoutMs) {
    BackOfficeConnection once;
    return once.Request(prefix, query, timeoutMs);
}

BackOfficeConnection::~BackOfficeConnection() {
    if (handle_) curl_easy_cleanup(static_cast<CURL*>(handle_));
}

BackOfficeResult BackOfficeConnection::Request(const std::string& prefix, const std::string& query, long timeoutMs) {
    const std::string url = prefix + query;
    if (timeoutMs <= 0) timeoutMs = kRequestTimeoutMs;
    if (!handle_) {
        Curl_GlobalInit();
        handle_ = curl_easy_init();
        if (!handle_) return Failed("the HTTP library could not start", 0);
    }
    CURL* c = static_cast<CURL*>(handle_);

    Receiver received;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));  // from the address's user-info
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, std::min(kConnectTimeoutMs, timeoutMs));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Receive);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &received);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Tarvo");
    const CURLcode rc = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    // Nothing of this request may reach the next one but the connection.
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, nullptr);

    if (received.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        return Failed("reply larger than " + std::to_string(kMaxReplyBytes) + " bytes", status);
    if (rc != CURLE_OK)
        return Failed(errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(rc)), status);
    if (status < 200 || status > 299) return Failed("HTTP status " + std::to_string(status), status);

    BackOfficeResult r;
    r.ok = true;
    r.httpStatus = status;
    r.reply = std::move(received.bytes);
    return r;
}

BackOfficeResult RequestIntoReply(const std::string& query, long timeoutMs) {
    BackOfficeResult r = BackOfficeRequest(query, timeoutMs);
    gOnline.gReply = r.reply;
    return r;
}

std::string StandardQuery(TaskCode task, std::string_view payload) {
    return Task(task) + "&terminal=" + Terminal() + "&debugmode=" + Debug() + "&data=" + EncodeQueryValue(payload);
}

std::string NewClientQuery(std::string_view payload) {
    return Task(TaskCode::NewClient) + "&terminal=" + Terminal() + "&debugmode=" + Debug() +
           "&flag=" + EncodeQueryValue(gSettings.gOnlineParameter644) + "&data=" + EncodeQueryValue(payload);
}

std::string ServerTestQuery() { return Task(TaskCode::ServerTest); }

std::string ProductMasterQuery(std::string_view productCode) {
    return Task(TaskCode::ProductMaster) + "&data=" + EncodeQueryValue(productCode) + "&terminal=" + Terminal();
}

std::string EmailQuery(std::string_view payload) {
    return Task(TaskCode::Email) + "&data=" + EncodeQueryValue(payload);
}

std::string RegisterDatabaseQuery(TaskCode task, std::string_view sql) {
    return RegisterDatabaseQuery(task, sql, gTerminalNumber);
}

std::string RegisterDatabaseQuery(TaskCode task, std::string_view sql, std::string_view terminalNumber) {
    return Task(task) + "&flag=1&Data=" + EncodeQueryValue(sql) + "&terminal=" + EncodeQueryValue(terminalNumber) +
           "&debugmode=1";
}

std::string DepositDatabaseQuery(TaskCode task, std::string_view sql) { return StandardQuery(task, sql); }

}  // namespace tarvo
