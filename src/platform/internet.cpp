#include "platform/internet.h"

#include <curl/curl.h>

#include <mutex>

namespace tarvo {

void Curl_GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {
size_t Discard(char*, size_t size, size_t n, void*) { return size * n; }
}  // namespace

bool Internet_Check(const InternetCheckConfig& config) {
    Curl_GlobalInit();
    CURL* c = curl_easy_init();
    if (!c) return false;
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(c, CURLOPT_URL, config.url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, config.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, config.totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(c, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Tarvo");
    CURLcode rc = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(c);
    return rc == CURLE_OK && status > 0 && status < 500;
}

}  // namespace tarvo
