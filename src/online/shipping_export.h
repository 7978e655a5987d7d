// The shipping export: the shipping details of a range of the back office's
// orders (task 6, one request per order number) written as a comma-separated
// file for the parcel carrier's software.
#pragma once
#include <memory>
#include <string>

namespace tarvo {

class BackgroundRunner;

// The header line (22 column names, no comma at its end, CR LF).
std::string ShippingExport_Header();
// One order's line from its task-6 reply: 22 values each followed by ",",
// then CR LF. A comma, quote, carriage return or line feed inside a value
// becomes a blank, so every line keeps its 22 columns. "" when the reply
// names no order (the order is not on the server).
std::string ShippingExport_Line(const std::string& reply);

// Where the file goes: the first line of "filename.txt" in the program
// folder when it names an absolute path, else "ups.csv" in the program
// folder (the log says why).
std::string ShippingExport_Target();

// Online page key 24 and the prompt line: the range emptied, then the first
// and the last order number asked (questions 13 and 14).
void Online_Prompt_Start_Order();
void Online_Prompt_End_Order();

// One export in progress. Both bounds must be whole numbers ("Invalid
// Entry" otherwise). Each order of the range is asked in turn on the
// background runner, the keys locked and "Order: n" shown meanwhile; Esc
// stops it between two requests. The file (0600) is replaced whole with
// what was gathered when the range ends, a request fails or the export is
// stopped.
class ShippingExport {
public:
    void Start(BackgroundRunner& runner, const std::string& first, const std::string& last);
    // Esc: true when an export was running (it stops before its next request).
    bool Cancel();
    bool Running() const { return job_ != nullptr; }

private:
    struct Job;
    void Next();
    void Finish(const std::string& shown, int seconds, const std::string& logged);

    std::shared_ptr<Job> job_;
};

}  // namespace tarvo
