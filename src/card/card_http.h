// One HTTP or HTTPS GET of the card back-ends, run on the background
// runner's worker: the reply body as text, or why there is none. A time-out
// is told apart from every other failure. An HTTPS peer's certificate is
// always verified (against `caFile` when one is given, else the system's
// store).
#pragma once
#include <string>

namespace tarvo::card {

// With a `postBody` the request is a POST of that form text instead.
struct HttpGetRequest {
    std::string url;
    std::string postBody;
    long timeoutMs = 120000;
    std::string caFile;
};

struct HttpReply {
    enum class Kind { Ok, TimedOut, Failed };
    Kind kind = Kind::Failed;
    std::string body;
    long status = 0;    // the HTTP status when one came back
    int code = 0;       // the client's error number (0: none)
    std::string error;  // why it failed, for the log (never the URL)
};

HttpReply HttpGet(const HttpGetRequest& request);

// `text` with every byte but letters, digits and "-_.~" written as "%XX".
std::string UrlEncode(const std::string& text);

}  // namespace tarvo::card
