#include "online/web_orders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "backoffice/tag_text.h"
#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "platform/background_runner.h"
#include "platform/files.h"
#include "platform/ftp_client.h"
#include "platform/identity_store.h"
#include "print/printer_output.h"
#include "sale/sale_start.h"
#include "screen/entry_box.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

constexpr int kMaxShops = 9;
const char* const kSendError = "Error: Unable to send message to server - Operation aborted";
const char* const kEnd = "END";

// Column `n` (from 1) of a line whose columns each end with a TAB; "" when
// the line has fewer.
std::string Column(const std::string& line, int n) {
    std::size_t from = 0;
    for (int k = 1; k < n; ++k) {
        const std::size_t tab = line.find('\t', from);
        if (tab == std::string::npos) return "";
        from = tab + 1;
    }
    const std::size_t tab = line.find('\t', from);
    if (tab == std::string::npos) return "";
    return line.substr(from, tab - from);
}

void AddTag(std::string& payload, const char* tag, const std::string& value) {
    if (!value.empty()) payload += std::string("<") + tag + ">" + value + "</" + tag + ">";
}

// Two columns joined by a blank, left out when both are empty.
void AddJoined(std::string& payload, const char* tag, const std::string& line, int first, int second) {
    const std::string value = Column(line, first) + " " + Column(line, second);
    if (value != " ") AddTag(payload, tag, value);
}

// A column's leading number as money (a text not starting with one is 0).
Money Amount(const std::string& text) { return Money::FromDouble(Num_Val(text)).value_or(Money()); }
std::string AmountText(Money m) { return Num_TextScaled(m.Raw(), 4, true); }

// A host or domain name: letters, digits, "." and "-".
bool PlainName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
    });
}

// An answer fit to be recorded and sent on: no control character in it.
bool PlainValue(const std::string& value) {
    return std::none_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
}

bool MakeFolder(const std::string& folder, std::string& why) {
    if (::mkdir(folder.c_str(), 0700) == 0) {
        SyncFolderOf(folder);
        return true;
    }
    if (errno == EEXIST) return true;
    why = "the folder " + folder + " cannot be created: " + std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Two(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n % 100);
    return b;
}

}  // namespace

// ---- shops and fetching ---------------------------------------------------------------

std::vector<WebShop> WebShops_Read(const std::string& programFolder) {
    std::vector<WebShop> shops;
    IdentityStore store(programFolder);
    if (!store.Load()) return shops;
    for (int n = 1; n <= kMaxShops; ++n) {
        const std::string k = "Shop" + std::to_string(n);
        WebShop s{store.Get(k + "Host"), store.Get(k + "User"), store.Get(k + "Password"), store.Get(k + "Label"),
                  store.Get(k + "Domain")};
        if (s.host.empty()) break;
        if (s.label.empty()) s.label = "Shop " + std::to_string(n);
        shops.push_back(std::move(s));
    }
    return shops;
}

std::string WebOrders_Folder(const std::string& programFolder) { return programFolder + "/WebOrders"; }

std::string WebShop_Fetch(const WebShop& shop, int index, const std::string& folder, const std::string& stamp,
                          std::vector<std::string>& log, std::string& why) {
    FtpAccount account;
    account.hosts = {shop.host};
    account.user = shop.user;
    account.password = shop.password;
    account.connectTimeoutMs = 10000;
    FtpClient ftp(account);
    const FtpResult login = ftp.Connect();
    if (!login.ok()) {
        log.push_back("Error: Unable to connect to " + shop.label + " server");
        why = shop.label + ": " + login.text;
        return "";
    }
    log.push_back("Successfully connected to " + shop.label + " server");
    const std::string noOrders = "No orders present in " + shop.label + " for retrieval";
    if (!PlainName(shop.domain)) {
        log.push_back(noOrders);
        why = shop.label + ": the shop's domain \"" + shop.domain + "\" is not a plain name";
        return "";
    }
    const std::string remote = "mivadata/" + shop.domain + "/Merchant2/00000001/export/orders.dat";
    if (!MakeFolder(folder, why)) {
        log.push_back(noOrders);
        return "";
    }
    std::string temp;
    const FtpResult got = ftp.GetToTemporary(remote, folder, temp);
    if (!got.ok()) {
        log.push_back(noOrders);
        why = shop.label + ": " + got.text;
        return "";
    }
    // The first free name: an earlier file is never replaced.
    const std::string base = folder + "/" + stamp + std::to_string(index + 1);
    std::string local;
    for (int k = 1; k < 1000 && local.empty(); ++k) {
        const std::string name = base + (k == 1 ? "" : "-" + std::to_string(k)) + ".txt";
        if (::link(temp.c_str(), name.c_str()) == 0)
            local = name;
        else if (errno != EEXIST)
            break;
    }
    ::unlink(temp.c_str());
    if (local.empty() || !SyncFolderOf(local)) {
        log.push_back(noOrders);
        why = shop.label + ": the fetched file cannot be named in " + folder + ": " + std::strerror(errno);
        if (!local.empty()) ::unlink(local.c_str());
        return "";
    }
    log.push_back("Order file successfully retrieved as " + local);
    const FtpResult gone = ftp.Delete(remote);
    if (!gone.ok()) why = shop.label + ": the export file stays on the shop's server: " + gone.text;
    ftp.Disconnect();
    return local;
}

WebOrderSender WebOrders_BackOfficeSender() {
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string head =
        "&terminal=" + EncodeQueryValue(gTerminalNumber) + "&debugmode=" + EncodeQueryValue(gSettings.gDebugMode);
    const std::string flag = EncodeQueryValue(gSettings.gOnlineParameter644);
    return [prefix, head, flag](TaskCode task, const std::string& payload) {
        std::string query = "task=" + std::to_string(TaskNumber(task)) + head;
        if (task == TaskCode::NewClient) query += "&flag=" + flag;
        query += "&data=" + EncodeQueryValue(payload);
        return BackOfficeRequestAt(prefix, query);
    };
}

// ---- payloads ------------------------------------------------------------------------

std::string WebOrder_ClientPayload(const std::string& line) {
    std::string p;
    AddJoined(p, "ship name", line, 6, 5);
    AddJoined(p, "ship address", line, 11, 8);
    AddTag(p, "ship city", Column(line, 12));
    AddTag(p, "ship state", Column(line, 13));
    AddTag(p, "ship zip code", Column(line, 14));
    AddJoined(p, "name", line, 17, 16);
    AddTag(p, "email", Column(line, 18));
    AddTag(p, "telephone", Column(line, 20));
    AddTag(p, "fax", Column(line, 21));
    AddJoined(p, "address", line, 22, 19);
    AddTag(p, "city", Column(line, 23));
    AddTag(p, "state", Column(line, 24));
    AddTag(p, "zip code", Column(line, 25));
    p += Trim(Column(line, 35)) == "0" ? "<territory id>121</territory id>" : "<territory id>100</territory id>";
    return p;
}

std::string WebOrder_OrderPayload(const std::string& line, const std::string& client, const std::string& employee) {
    std::string p = "<client>" + client + "</client>";
    const std::string tax = Column(line, 35), charge = Column(line, 36), total = Column(line, 37);
    AddTag(p, "clientpo", Column(line, 1));
    AddTag(p, "tax1", tax);
    AddTag(p, "charge1", charge);
    AddTag(p, "total", total);
    p += "<subtotal>" + AmountText(Amount(total) - Amount(tax) - Amount(charge)) + "</subtotal>";
    if (!employee.empty()) p += "<employee>" + employee + "</employee>";
    return p + "<payment status>4</payment status><type>11</type>";
}

std::string WebOrder_PaymentPayload(const std::string& line, const std::string& order) {
    // An order without a total pays 0, never an earlier order's total.
    return "<description>Upload from Miva</description><amount>" + AmountText(Amount(Column(line, 37))) +
           "</amount><order number>" + order + "</order number>";
}

std::string WebOrder_LinePayload(const std::string& line, const std::string& order) {
    std::string p = "<order number>" + order + "</order number>";
    AddTag(p, "product number", Column(line, 27));
    AddTag(p, "unit price", Column(line, 30));
    AddTag(p, "order quantity", Column(line, 31));
    return p;
}

// ---- the replay of one file ------------------------------------------------------------

WebOrderReplay::~WebOrderReplay() {
    if (fd_ >= 0) ::close(fd_);
}

bool WebOrderReplay::Open(const std::string& path, std::vector<std::string>& log) {
    path_ = path;
    std::string text;
    if (!ReadWholeFile(path, text)) {
        log.push_back("Error: Unable to open file " + path + " for processing - Operation aborted");
        return false;
    }
    // Lines end with CR LF, LF or CR; the first is the header.
    std::size_t pos = 0;
    bool header = true;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos) + "\t";
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        if (header) {
            header = false;
            continue;
        }
        const std::string number = line.substr(0, line.find('\t'));
        if (number.empty()) continue;
        if (orders_.empty() || orders_.back().number != number) orders_.push_back(Order{number, {}});
        orders_.back().lines.push_back(std::move(line));
    }

    const std::string journal = path + ".journal";
    std::string kept;
    ReadWholeFile(journal, kept);
    // Whole lines only: a line cut short by a crash was never recorded.
    for (std::size_t p = 0;;) {
        const std::size_t end = kept.find("\r\n", p);
        if (end == std::string::npos) break;
        const std::string line = kept.substr(p, end - p);
        p = end + 2;
        if (line == kEnd) {
            finished_ = true;
            continue;
        }
        const std::size_t a = line.find('\t');
        const std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos) continue;
        journal_[line.substr(0, b)] = line.substr(b + 1);
    }
    const std::size_t whole = kept.rfind("\r\n");
    const std::size_t keep = whole == std::string::npos ? 0 : whole + 2;
    fd_ = OpenOrCreatePrivate(journal, O_WRONLY);
    if (fd_ < 0 || (keep < kept.size() && ::ftruncate(fd_, static_cast<off_t>(keep)) != 0) ||
        ::lseek(fd_, 0, SEEK_END) < 0) {
        log.push_back("Error: Unable to open file " + journal + " for processing - Operation aborted");
        return false;
    }
    while (next_ < Orders() && journal_.count(std::to_string(next_ + 1) + "\tE")) ++next_;
    return true;
}

bool WebOrderReplay::Record(int order, const std::string& step, const std::string& value, std::string& why) {
    const std::string key = std::to_string(order) + "\t" + step;
    if (!WriteAll(fd_, key + "\t" + value + "\r\n") || ::fdatasync(fd_) != 0) {
        why = "the journal " + path_ + ".journal cannot be written: " + std::strerror(errno);
        return false;
    }
    journal_[key] = value;
    return true;
}

bool WebOrderReplay::Step(int order, const std::string& step, TaskCode task, const std::string& payload,
                          const char* tag, const WebOrderSender& send, std::string& value, std::string& why) {
    auto it = journal_.find(std::to_string(order) + "\t" + step);
    if (it != journal_.end()) {
        value = it->second;
        return true;
    }
    const BackOfficeResult r = send(task, payload);
    if (!r) {
        why =
            "task " + std::to_string(TaskNumber(task)) + " of web order " + orders_[order - 1].number + ": " + r.error;
        return false;
    }
    value = Extract(r.reply, tag);
    if (!PlainValue(value)) value.clear();
    return Record(order, step, value, why);
}

bool WebOrderReplay::ReplayNext(const WebOrderSender& send, const std::string& employee, std::vector<std::string>& log,
                                std::string& why) {
    if (next_ >= Orders()) return true;
    const int k = next_ + 1;
    const Order& o = orders_[static_cast<std::size_t>(next_)];
    const std::string& first = o.lines.front();
    auto fail = [&] {
        log.push_back(kSendError);
        return false;
    };
    std::string client, order, receipt;
    bool saved = true;
    if (!Step(k, "C", TaskCode::NewClient, WebOrder_ClientPayload(first), "client number", send, client, why))
        return fail();
    if (client.empty()) {
        log.push_back("Error: New client not saved for order " + o.number);
        saved = false;
    }
    if (saved) {
        if (!Step(k, "O", TaskCode::NewOrder, WebOrder_OrderPayload(first, client, employee), "order number", send,
                  order, why))
            return fail();
        if (order.empty()) {
            log.push_back("Error: New order Not Saved by Server " + o.number);
            saved = false;
        }
    }
    if (saved) {
        if (!Step(k, "R", TaskCode::CashReceipt, WebOrder_PaymentPayload(first, order), "receipt number", send, receipt,
                  why))
            return fail();
        if (receipt.empty()) log.push_back("Error: Cash Receipt Not Saved By Server " + o.number);
        for (std::size_t j = 0; j < o.lines.size(); ++j) {
            std::string lineNumber;
            if (!Step(k, "L" + std::to_string(j + 1), TaskCode::OrderLine, WebOrder_LinePayload(o.lines[j], order),
                      "order line", send, lineNumber, why))
                return fail();
            if (lineNumber.empty())
                log.push_back("Error: Product for New Order Not Saved " + o.number + " line " + std::to_string(j + 1));
        }
    } else {
        // Lines without their client or order would reach the server as
        // nobody's: they are left out.
        ProgramLog().Write(1, "Web order " + o.number + ": " + std::to_string(o.lines.size()) +
                                  " lines not sent, the client or the order was not saved");
    }
    if (!Record(k, "E", "", why)) return fail();
    ++next_;
    return true;
}

bool WebOrderReplay::Finish(std::string& why) {
    if (finished_) return true;
    if (!WriteAll(fd_, std::string(kEnd) + "\r\n") || ::fdatasync(fd_) != 0) {
        why = "the journal " + path_ + ".journal cannot be written: " + std::strerror(errno);
        return false;
    }
    finished_ = true;
    return true;
}

// ---- the import -----------------------------------------------------------------------

struct WebOrderImport::Job {
    BackgroundRunner* runner = nullptr;
    std::vector<WebShop> shops;
    std::string folder, stamp, employee;
    WebOrderSender send;
    std::vector<std::string> log;    // the printed log
    std::vector<std::string> why;    // for the program log
    std::vector<std::string> files;  // to replay, in order
    std::size_t file = 0;
    std::unique_ptr<WebOrderReplay> replay;
};

namespace {

// Files of the folder whose replay an earlier import did not finish.
std::vector<std::string> Unfinished(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (name.size() < 5 || name.substr(name.size() - 4) != ".txt" || !e.is_regular_file()) continue;
        std::string journal;
        ReadWholeFile(e.path().string() + ".journal", journal);
        if (journal.size() >= 5 && journal.compare(journal.size() - 5, 5, "END\r\n") == 0) continue;
        out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void AllKeys_Lock() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money::FromUnits(1);
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

}  // namespace

void WebOrderImport::Start(BackgroundRunner& runner) {
    if (job_) return;
    auto job = std::make_shared<Job>();
    job->runner = &runner;
    job->shops = WebShops_Read(Reg().programFolder);
    job->folder = WebOrders_Folder(Reg().programFolder);
    const LocalTime now = Reg().clock ? Reg().clock->Now() : LocalTime{};
    job->stamp = Two(now.month) + Two(now.day) + Two(now.hour) + Two(now.minute);
    if (!gReg.gLoggedOut && gReg.gCashierIndex > 0 &&
        gReg.gCashierIndex < static_cast<std::int32_t>(gData.CashierTable.size()))
        job->employee = Trim(gData.CashierTable[static_cast<std::size_t>(gReg.gCashierIndex)].CashierNumber);
    job->send = WebOrders_BackOfficeSender();
    job->log = {"             COMMUNICATION LOG", "             -----------------",
                "Date: " + Two(now.month) + "/" + Two(now.day) + "/" + std::to_string(now.year) +
                    "       Time: " + Two(now.hour) + ":" + Two(now.minute)};
    job_ = job;
    ProgramLog().Write(1, "Web-shop import: " + std::to_string(job->shops.size()) + " shops configured");
    AllKeys_Lock();
    CIATime(Msg(Message::RequestInProgress), 0);
    RunInBackground<int>(
        runner,
        [job] {
            // Files an earlier import left part-way come first, then the new
            // ones. A fetch cut short left only a temporary copy (the shop
            // still has its file): it goes.
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator(job->folder, ec))
                if (e.path().filename().string().rfind(".download-", 0) == 0) std::filesystem::remove(e.path(), ec);
            job->files = Unfinished(job->folder);
            for (std::size_t i = 0; i < job->shops.size(); ++i) {
                std::string why;
                const std::string local =
                    WebShop_Fetch(job->shops[i], static_cast<int>(i), job->folder, job->stamp, job->log, why);
                if (!why.empty()) job->why.push_back(why);
                if (!local.empty()) job->files.push_back(local);
            }
            return 0;
        },
        [this, job](int) {
            if (job != job_) return;
            for (const std::string& w : job->why) ProgramLog().Write(1, "Web-shop import: " + w);
            job->why.clear();
            ReplayNext();
        });
}

void WebOrderImport::ReplayNext() {
    const std::shared_ptr<Job> job = job_;
    if (job->file >= job->files.size()) {
        End();
        return;
    }
    if (job->replay)
        CIATime(Msg(Message::StoringProductInformation) + " " + std::to_string(job->replay->Next()) + " / " +
                    std::to_string(job->replay->Orders()),
                0);
    RunInBackground<bool>(
        *job->runner,
        [job] {
            std::string why;
            if (!job->replay) {
                job->replay = std::make_unique<WebOrderReplay>();
                if (!job->replay->Open(job->files[job->file], job->log)) {
                    job->why.push_back("file " + job->files[job->file] + " not replayed");
                    return false;
                }
                return true;
            }
            WebOrderReplay& r = *job->replay;
            if (r.Next() >= r.Orders()) {
                if (!r.Finish(why)) job->why.push_back(why);
                return false;
            }
            const bool ok = r.ReplayNext(job->send, job->employee, job->log, why);
            if (!ok) job->why.push_back(why + "; the rest of " + job->files[job->file] + " waits for the next import");
            return ok;
        },
        [this, job](bool goOn) {
            if (job != job_) return;
            for (const std::string& w : job->why) ProgramLog().Write(1, "Web-shop import: " + w);
            job->why.clear();
            if (!goOn) {
                job->replay.reset();
                ++job->file;
            }
            ReplayNext();
        });
}

void WebOrderImport::End() {
    const std::shared_ptr<Job> job = std::move(job_);
    job_.reset();
    Printer_Open();
    if (gPrint.gPrintStatus == 0) {
        for (const std::string& line : job->log) Printer_Line(1, 0, line);
    } else {
        ProgramLog().Write(1, "Web-shop import: the printer is not ready, its log is not printed");
    }
    Printer_Close(true);
    for (const std::string& line : job->log) ProgramLog().Write(1, "Web-shop import: " + line);
    Buttons_Unlock();
    CIATime("", 0);
    DEA_Reset();
}

}  // namespace tarvo
