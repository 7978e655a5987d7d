#include "online/shipping_export.h"

#include <cstdint>

#include "backoffice/backoffice_request.h"
#include "backoffice/online_state.h"
#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "common/line_reader.h"
#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
#include "platform/background_runner.h"
#include "platform/files.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

// The reply's elements in the file's column order.
const char* const kColumns[22] = {"order number", "order date", "client number", "client name",   "address",
                                  "city",         "state",      "zip code",      "country",       "ship name",
                                  "ship address", "ship city",  "ship state",    "ship zip code", "ship country",
                                  "contact",      "po number",  "package",       "weight",        "volume",
                                  "transport",    "comment"};

std::string Cleaned(std::string value) {
    for (char& c : value)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') c = ' ';
    return value;
}

// A bound as the cashier typed it: digits only (blanks around allowed), at
// most nine of them.
bool WholeNumber(const std::string& text, std::int64_t& out) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 9) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    out = std::stoll(t);
    return true;
}

void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

void Ask(int question, Message message) {
    CIATime(Msg(message), 0);
    Screen().SetText(kEntryBox, "");
    Prompt().PromptInCIA_Show(question);
}

}  // namespace

struct ShippingExport::Job {
    BackgroundRunner* runner = nullptr;
    std::string prefix;
    std::string target;
    std::string text;  // the file as gathered so far
    std::int64_t next = 0, last = 0;
    int written = 0;
    bool cancelled = false;
};

std::string ShippingExport_Header() {
    return "Order Number,Order Date,Client Number,Bill to Name,Bill to Address,Bill to City,Bill to State,"
           "Bill to Zip Code,Bill to Country,Ship to Name,Ship to Address,Ship to City,Ship to State,"
           "Ship to Zip Code,Ship to Country,Contact,Client Reference,Package,Weight,Volume,Transport,Comment\r\n";
}

std::string ShippingExport_Line(const std::string& reply) {
    if (Extract(reply, "order number").empty()) return "";
    std::string line;
    for (const char* tag : kColumns) line += Cleaned(Extract(reply, tag)) + ",";
    return line + "\r\n";
}

std::string ShippingExport_Target() {
    const std::string folder = gConstants.paths.programFolder;
    const std::string fallback = folder + "/ups.csv";
    const std::string list = FindFileNoCase(folder, "filename.txt");
    LineReader in;
    if (!in.Open(list)) return fallback;
    std::string line;
    if (!in.Next(line) || Trim(line).empty()) {
        ProgramLog().Write(1, "Shipping export: " + list + " names no file; writing " + fallback);
        return fallback;
    }
    const std::string path = Trim(line);
    if (path[0] != '/') {
        ProgramLog().Write(1, "Shipping export: \"" + path + "\" in " + list + " is not an absolute path; writing " +
                                  fallback);
        return fallback;
    }
    return path;
}

void Online_Prompt_Start_Order() {
    gOnline.gOrderRangeStart.clear();
    gOnline.gOrderRangeEnd.clear();
    Ask(13, Message::InputStartingOrderNumber);
}

void Online_Prompt_End_Order() { Ask(14, Message::InputEndingOrderNumber); }

void ShippingExport::Start(BackgroundRunner& runner, const std::string& first, const std::string& last) {
    std::int64_t from = 0, to = 0;
    if (job_ || !WholeNumber(first, from) || !WholeNumber(last, to)) {
        ProgramLog().Write(1, "Shipping export: order range \"" + first + "\" to \"" + last + "\" refused");
        CIATime(Msg(Message::InvalidEntry), 0);
        DEA_Reset();
        return;
    }
    job_ = std::make_shared<Job>();
    job_->runner = &runner;
    job_->prefix = gConstants.servers.RequestPrefix();
    job_->target = ShippingExport_Target();
    job_->text = ShippingExport_Header();
    job_->next = from;
    job_->last = to;
    ProgramLog().Write(1, "Shipping export of orders " + std::to_string(from) + " to " + std::to_string(to) + " into " +
                              job_->target);
    AllKeys_Lock();
    CIATime(Msg(Message::RequestInProgressPleaseWait), 0);
    Next();
}

bool ShippingExport::Cancel() {
    if (!job_) return false;
    job_->cancelled = true;
    return true;
}

void ShippingExport::Next() {
    const std::shared_ptr<Job> job = job_;
    if (job->cancelled) {
        Finish("Export Cancelled", 10, "stopped by the cashier before order " + std::to_string(job->next));
        return;
    }
    if (job->next > job->last) {
        Finish(Msg(Message::CommunicationCompleted), 10, "completed");
        return;
    }
    const std::string order = std::to_string(job->next);
    CIATime(Trim(Msg(Message::Order)) + " " + order, 0);
    const std::string query = StandardQuery(TaskCode::ShippingExport, "<order number>" + order + "</order number>");
    const std::string prefix = job->prefix;
    RunInBackground<BackOfficeResult>(
        *job->runner, [prefix, query] { return BackOfficeRequestAt(prefix, query); },
        [this, job, prefix, query](BackOfficeResult r) {
            if (job != job_) return;
            if (!r) {
                BackOfficeRequest_LogFailure(prefix, query, r);
                Finish("Communication error with server", 10,
                       "ended: order " + std::to_string(job->next) + " could not be asked");
                return;
            }
            const std::string line = ShippingExport_Line(r.reply);
            if (!line.empty()) {
                job->text += line;
                ++job->written;
            }
            ++job->next;
            Next();
        });
}

void ShippingExport::Finish(const std::string& shown, int seconds, const std::string& logged) {
    const std::shared_ptr<Job> job = std::move(job_);
    job_.reset();
    std::string why;
    std::string message = shown;
    if (!WriteFileAtomic(job->target, job->text, 0600, &why)) {
        ProgramLog().Write(1, "Shipping export: " + job->target + " cannot be written: " + why);
        message = "Unable to write information to file";
    } else {
        ProgramLog().Write(1, "Shipping export " + logged + ": " + std::to_string(job->written) + " orders in " +
                                  job->target);
    }
    Buttons_Unlock();
    CIATime(message, seconds);
    DEA_Reset();
}

}  // namespace tarvo
