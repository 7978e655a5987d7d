#include "print/spooler.h"

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace tarvo {

namespace {

using Clock = std::chrono::steady_clock;

// How long libcups waits in silence before it asks whether to wait on.
constexpr double kAnswerSliceSeconds = 0.25;

constexpr const char* kJobName = "AAAAAA";

// One connection to the print server with its time limits: the connect is
// bounded by kSpoolerConnectMs, and every wait for an answer on it gives up
// once kSpoolerAnswerMs have passed since the connection was made.
class Connection {
public:
    Connection() = default;
    ~Connection() {
        if (http_) httpClose(http_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Open(std::string& error) {
        const std::string host = cupsServer();
        // A host name or address, or the path of a local socket.
        server_ = host[0] == '/' ? host : host + ":" + std::to_string(ippPort());
        errno = 0;
        http_ =
            httpConnect2(host.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kSpoolerConnectMs, nullptr);
        if (!http_) {
            const int e = errno;
            error = "print server " + server_ + " not reached: " + (e != 0 ? std::strerror(e) : LastError());
            return false;
        }
        deadline_ = Clock::now() + std::chrono::milliseconds(kSpoolerAnswerMs);
        httpSetTimeout(http_, kAnswerSliceSeconds, &Connection::KeepWaiting, this);
        return true;
    }

    http_t* Http() const { return http_; }

    // Why the last request on the connection failed.
    std::string Why() const {
        if (timedOut_) return "no answer from " + server_ + " in " + std::to_string(kSpoolerAnswerMs) + " ms";
        return LastError();
    }

    // Sends `request` (freed here) to `resource`; the answer when the server
    // took it (the caller frees it), else nullptr.
    ipp_t* Ask(ipp_t* request, const std::string& resource) {
        ipp_t* answer = cupsDoRequest(http_, request, resource.c_str());
        if (answer && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) return answer;
        ippDelete(answer);
        return nullptr;
    }

private:
    static std::string LastError() {
        const char* e = cupsLastErrorString();
        return e && *e ? e : "unknown error";
    }
    // Asked by libcups after each slice of silence: 1 waits on, 0 gives up.
    static int KeepWaiting(http_t*, void* data) {
        auto* self = static_cast<Connection*>(data);
        if (Clock::now() < self->deadline_) return 1;
        self->timedOut_ = true;
        return 0;
    }

    http_t* http_ = nullptr;
    std::string server_;
    Clock::time_point deadline_;
    bool timedOut_ = false;
};

std::string PrinterUri(const std::string& queue) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.c_str());
    return uri;
}

// A request about `queue` with the operation attributes every one carries.
ipp_t* QueueRequest(ipp_op_t op, const std::string& queue) {
    ipp_t* request = ippNewRequest(op);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

}  // namespace

bool Spooler_FindQueue(const std::string& wanted, std::string& queue, std::string& error) {
    Connection c;
    if (!c.Open(error)) return false;
    std::string name = wanted;
    if (name.empty()) {
        const char* fallback = cupsGetDefault2(c.Http());
        if (!fallback) {
            error = "no default queue: " + c.Why();
            return false;
        }
        name = fallback;
    }
    ipp_t* request = QueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* answer = c.Ask(request, "/");
    if (!answer) {
        error = "queue " + name + ": " + c.Why();
        return false;
    }
    ipp_attribute_t* printerName = ippFindAttribute(answer, "printer-name", IPP_TAG_NAME);
    const char* known = printerName ? ippGetString(printerName, 0, nullptr) : nullptr;
    queue = known ? known : name;
    ippDelete(answer);
    return true;
}

bool Spooler_Submit(const std::string& queue, const std::string& data, std::string& error) {
    if (data.empty()) return true;
    Connection c;
    if (!c.Open(error)) return false;
    const std::string resource = "/printers/" + queue;
    ipp_t* request = QueueRequest(IPP_OP_CREATE_JOB, queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, kJobName);
    ipp_t* answer = c.Ask(request, resource);
    ipp_attribute_t* jobId = answer ? ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER) : nullptr;
    const int job = jobId ? ippGetInteger(jobId, 0) : 0;
    ippDelete(answer);
    if (job == 0) {
        error = "the queue " + queue + " refused the job: " + c.Why();
        return false;
    }
    if (cupsStartDocument(c.Http(), queue.c_str(), job, kJobName, CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        error = "the queue " + queue + " refused the document: " + c.Why();
        cupsCancelJob2(c.Http(), queue.c_str(), job, 0);
        return false;
    }
    if (cupsWriteRequestData(c.Http(), data.data(), data.size()) != HTTP_STATUS_CONTINUE) {
        error = "sending the job to " + queue + " failed: " + c.Why();
        cupsFinishDocument(c.Http(), queue.c_str());
        cupsCancelJob2(c.Http(), queue.c_str(), job, 0);
        return false;
    }
    if (cupsFinishDocument(c.Http(), queue.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        error = "the queue " + queue + " did not take the job: " + c.Why();
        cupsCancelJob2(c.Http(), queue.c_str(), job, 0);
        return false;
    }
    return true;
}

}  // namespace tarvo
