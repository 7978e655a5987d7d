#include "card/card_http.h"

#include <curl/curl.h>

#include <cstdio>

#include "platform/internet.h"

namespace tarvo::card {

namespace {

constexpr std::size_t kMaxBody = 1 << 20;

size_t Collect(char* data, size_t size, size_t n, void* user) {
    auto* body = static_cast<std::string*>(user);
    const size_t bytes = size * n;
    if (body->size() + bytes > kMaxBody) return 0;  // no card reply is this long
    body->append(data, bytes);
    return bytes;
}

}  // namespace

HttpReply HttpGet(const HttpGetRequest& request) {
    HttpReply reply;
    Curl_GlobalInit();
    CURL* c = curl_easy_init();
    if (!c) {
        reply.error = "the HTTP client could not be started";
        return reply;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, request.timeoutMs);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, request.timeoutMs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Tarvo");
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, request.caFile.c_str());
    curl_slist* headers = nullptr;
    if (!request.postBody.empty()) {
        headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.postBody.size()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.postBody.c_str());
    }
    const CURLcode rc = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_easy_cleanup(c);
    curl_slist_free_all(headers);
    reply.code = static_cast<int>(rc);
    if (rc == CURLE_OPERATION_TIMEDOUT) {
        reply.kind = HttpReply::Kind::TimedOut;
        reply.body.clear();
        reply.error = "no answer within " + std::to_string(request.timeoutMs) + " ms";
        return reply;
    }
    if (rc != CURLE_OK) {
        reply.body.clear();
        reply.error = "error " + std::to_string(static_cast<int>(rc)) + ": " +
                      (errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(rc)));
        return reply;
    }
    if (reply.status < 200 || reply.status > 299) {
        reply.body.clear();
        reply.error = "HTTP status " + std::to_string(reply.status);
        return reply;
    }
    reply.kind = HttpReply::Kind::Ok;
    return reply;
}

std::string UrlEncode(const std::string& text) {
    constexpr const char* kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const unsigned char ch : text) {
        const bool plain = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
                           ch == '-' || ch == '_' || ch == '.' || ch == '~';
        if (plain) {
            out += static_cast<char>(ch);
        } else {
            out += '%';
            out += kHex[ch >> 4];
            out += kHex[ch & 15];
        }
    }
    return out;
}

}  // namespace tarvo::card
