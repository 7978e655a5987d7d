// The Internet reachability test: open a web address with a fresh load and
// see whether an answer comes back.
#pragma once
#include <string>

namespace tarvo {

struct InternetCheckConfig {
    std::string url = "http://www.example.com/";
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 10000;
};

// True when the address answered with an HTTP status below 500 within the
// time-outs; false when nothing (or only a server error) came back.
bool Internet_Check(const InternetCheckConfig& config);

// libcurl's global set-up, done once for the program.
void Curl_GlobalInit();

}  // namespace tarvo
