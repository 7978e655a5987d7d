#include "data/master_files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>

#include "common/fields.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/product_updates.h"
#include "data/transaction_files.h"
#include "platform/file_identity.h"
#include "platform/files.h"

namespace tarvo {
namespace {

void Log(const std::string& text) { ProgramLog().Write(1, text); }

// A short or unreadable line: the reason, then the line itself.
void LogRejectedLine(const std::string& reason, const std::string& line) {
    ProgramLog().Write(1, reason);
    ProgramLog().Write(2, line);
}

std::string FileName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What failed, without the path that WorkFile::Error() names first.
std::string Reason(const std::string& error) {
    std::size_t p = error.rfind(": ");
    return p == std::string::npos ? error : error.substr(p + 2);
}

// A received text file of this terminal: <files path> & ext, its name matched
// without regard to case.
std::string ReceivedFile(const char* ext) {
    const std::string& base = gConstants.paths.gFilesPath;
    std::size_t slash = base.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : base.substr(0, slash);
    std::string name = (slash == std::string::npos ? base : base.substr(slash + 1)) + ext;
    return FindFileNoCase(folder, name);
}

// A working file of this terminal, created under its exact name.
std::string WorkingFile(const char* ext) { return gConstants.paths.gDataPath + ext; }

// ---- in-memory tables ---------------------------------------------------------

template <typename Row>
struct TableLoad {
    const char* ext;
    std::size_t minLength;
    const char* shortText;
    const char* missingText;
    std::int32_t limit;
    const char* limitText;
    // Fills a row from an accepted line; false: the line is refused (the
    // reason is logged by the caller).
    bool (*fill)(const std::string& line, Row& row);
    const char* refusedText;
};

template <typename Row>
void LoadTable(const TableLoad<Row>& t, std::vector<Row>& table, std::int32_t& count, void (*onStored)() = nullptr) {
    count = 0;
    table.assign(1, Row{});
    LineReader in;
    if (!in.Open(ReceivedFile(t.ext))) {
        Log(t.missingText);
        return;
    }
    std::string line;
    while (in.Next(line)) {
        if (count >= t.limit) {
            // The table is full and the file goes on.
            Log(t.limitText);
            break;
        }
        if (line.size() < t.minLength) {
            LogRejectedLine(t.shortText, line);
            continue;
        }
        Row row;
        if (!t.fill(line, row)) {
            LogRejectedLine(t.refusedText, line);
            continue;
        }
        table.push_back(std::move(row));
        ++count;
        if (onStored) onStored();
    }
}

bool FillManager(const std::string& line, ManagerRow& r) {
    r.ManagerNumber = Trim(Mid(line, 1, 8));
    r.ManagerKey = Trim(Mid(line, 10, 10));
    r.ManagerName = Trim(Mid(line, 22, 30));
    r.ManagerRights = std::string(Mid(line, 52, 9));
    return true;
}

bool FillCashier(const std::string& line, CashierRow& r) {
    char level = line[49];
    if (level < '0' || level > '9') return false;
    r.CashierNumber = Trim(Mid(line, 1, 8));
    r.CashierKey = Trim(Mid(line, 10, 10));
    r.CashierName = Trim(Mid(line, 20, 30));
    r.CashierLevel = static_cast<std::int16_t>(level - '0');
    return true;
}

bool FillSalesman(const std::string& line, SalesmanRow& r) {
    r.SalesmanNumber = Trim(Mid(line, 1, 8));
    r.SalesmanKey = Trim(Mid(line, 10, 10));
    r.SalesmanName = Trim(Mid(line, 20, 30));
    return true;
}

bool FillCategory(const std::string& line, CategoryRow& r) {
    r.CategoryCode = Trim(Mid(line, 1, 7));
    r.CategoryName = std::string(TrimRightView(Mid(line, 8, 30)));
    return true;
}

const TableLoad<ManagerRow> kManagers{
    ".MAN",
    57,
    "Open_FileManager: Parsing Managers into Memory, Length of line is less than 57 characters, thus ignored",
    "Read_FileManager: HandlerManager, Manager file is not present",
    150,
    "Open_FileManager: 150 managers loaded, further lines ignored",
    FillManager,
    ""};
const TableLoad<CashierRow> kCashiers{
    ".CSH",
    50,
    "Open_FileCashier: Parsing Cashiers into Memory, Length of line less than 50 characters, thus ignored",
    "Read_FileCashier: HandlerCashier, Cashier file is not present",
    2000,
    "Open_FileCashier: 2000 cashiers loaded, further lines ignored",
    FillCashier,
    "Open_FileCashier: Parsing Cashiers into Memory, Level in column 50 is not a digit, thus ignored"};
const TableLoad<SalesmanRow> kSalesmen{
    ".SAL",
    49,
    "Open_FileSalesman: Parsing salesmen into Memory, Length of line is less than 49 characters, thus ignored",
    "Read_FileSalesman: HandlerSalesman, Salesman file is not present",
    2000,
    "Open_FileSalesman: 2000 salesmen loaded, further lines ignored",
    FillSalesman,
    ""};
const TableLoad<CategoryRow> kCategories{
    ".CTG",
    8,
    "Read_FileCategory: Parsing Categories into Memory, Length of line is less than 8 characters, thus ignored",
    "Read_FileCategory: HandlerCategory, Category file is not present",
    500,
    "Read_FileCategory: 500 categories loaded, further lines ignored",
    FillCategory,
    ""};

// ---- master working files ---------------------------------------------------------

struct WorkLoad {
    const char* who;  // loader name for the log lines
    const char* ext;
    WorkFile DataState::*file;
    int recordLength;
    std::size_t minLength;
    std::size_t keep;
    const char* shortText;
    // Key of a kept record that the file is sorted on (nullptr: not sorted).
    std::string_view (*sortKey)(std::string_view record);
    // Called for each stored record (maps of first occurrences).
    void (*onStored)(std::string_view record, std::int32_t k);
    // Where the identity of the text file loaded is kept (nullptr: nowhere).
    FileIdentity DataState::*from;
};

enum class LoadEnd { Missing, Done, Failed };

std::string_view ClientNumberOf(std::string_view rec) { return TrimView(Mid(rec, 12, 8)); }
std::string_view KitHeaderKeyOf(std::string_view rec) { return TrimRightView(Mid(rec, 1, 20)); }
std::string_view KitLineKeyOf(std::string_view rec) { return TrimRightView(Mid(rec, 1, 10)); }

void IndexClient(std::string_view rec, std::int32_t k) {
    gData.clientIdFirst.try_emplace(std::string(TrimRightView(Mid(rec, 1, 8))), k);
}
void IndexVendor(std::string_view rec, std::int32_t k) {
    gData.vendorCodeFirst.try_emplace(std::string(TrimView(Mid(rec, 1, 8))), k);
}

const WorkLoad kProducts{
    "Parse_FileProduct",
    ".PRD",
    &DataState::products,
    275,
    273,
    273,
    "Parse_FileProduct: Parsing Products, Length of line is less than 273 characters, thus ignored",
    ProductKeyOf,
    nullptr,
    &DataState::productsFrom};
const WorkLoad kClients{"Parse_FileClient",
                        ".CLI",
                        &DataState::clients,
                        212,
                        200,
                        210,
                        "Parse_FileClient: Parsing Clients, Length of line is less than 200 characters, thus ignored",
                        ClientNumberOf,
                        IndexClient,
                        &DataState::clientsFrom};
const WorkLoad kVendors{"Parse_Filevendor",
                        ".VND",
                        &DataState::vendors,
                        400,
                        170,
                        398,
                        "Parse_Filevendor: Parsing vendors, Length of line is less than 170 characters, thus ignored",
                        nullptr,
                        IndexVendor,
                        nullptr};
const WorkLoad kKitHeaders{"Parse_FileKit",
                           ".KTM",
                           &DataState::kitHeaders,
                           38,
                           31,
                           36,
                           "Parse_FileKit: Parsing Products, Length of line is less than 36 characters, thus ignored",
                           KitHeaderKeyOf,
                           nullptr,
                           nullptr};
const WorkLoad kKitLines{"Parse_FileKit",
                         ".KTD",
                         &DataState::kitLines,
                         57,
                         48,
                         55,
                         "Parse_FileKit: Parsing Products, Length of line is less than 55 characters, thus ignored",
                         KitLineKeyOf,
                         nullptr,
                         nullptr};

// ---- working files kept from one start to the next -------------------------------
//
// A working file loaded from its text file is used again at the next start,
// without reading the text file, while the text file and the working file
// are both as they were when the load ended. That is recorded beside the
// working file in its stamp, Data/<terminal><ext>.stamp (128 bytes, written
// through a temporary file, flushed and renamed; removed before the working
// file is cut for a new load):
//
//   0   8  "TRVSTAMP"
//   8   4  format version (1)
//  12   4  record length
//  16   8  the terminal number (7 digits, then a zero byte)
//  24  40  the text file's identity (file_identity.h: size, modification and
//          change time, inode, first/last block checksum)
//  64   8  the number of records loaded
//  72  40  the working file's identity after the load
// 112   8  Checksum64 of bytes 0-111
// 120   8  zero

constexpr std::size_t kStampBytes = 128;
constexpr char kStampMagic[8] = {'T', 'R', 'V', 'S', 'T', 'A', 'M', 'P'};

std::string StampPath(const char* ext) { return WorkingFile(ext) + ".stamp"; }

std::string TerminalOfPaths() {
    const std::string& data = gConstants.paths.gDataPath;
    std::size_t slash = data.rfind('/');
    std::string t = slash == std::string::npos ? data : data.substr(slash + 1);
    t.resize(8, '\0');
    return t.substr(0, 7) + std::string(1, '\0');
}

void PutIdentity(std::string& s, std::size_t at, const FileIdentity& id) {
    const std::int64_t v[5] = {id.exists ? id.size : -1, id.modifiedNs, id.changedNs,
                               static_cast<std::int64_t>(id.inode), static_cast<std::int64_t>(id.edges)};
    std::memcpy(&s[at], v, sizeof v);
}

std::string StampBytes(const WorkLoad& w, const FileIdentity& text, std::int64_t count, const FileIdentity& self) {
    std::string s(kStampBytes, '\0');
    std::memcpy(&s[0], kStampMagic, 8);
    const std::uint32_t version = 1, recLen = static_cast<std::uint32_t>(w.recordLength);
    std::memcpy(&s[8], &version, 4);
    std::memcpy(&s[12], &recLen, 4);
    s.replace(16, 8, TerminalOfPaths());
    PutIdentity(s, 24, text);
    std::memcpy(&s[64], &count, 8);
    PutIdentity(s, 72, self);
    const std::uint64_t sum = Checksum64(std::string_view(s.data(), 112));
    std::memcpy(&s[112], &sum, 8);
    return s;
}

// The stamp is written in the background once the working file is flushed.
void WorkStamp_Write(const WorkLoad& w, const FileIdentity& text, std::int64_t count) {
    WorkFile& file = gData.*w.file;
    const FileIdentity self = FileIdentity_OfFd(file.Fd());
    const int fd = self.exists ? ::dup(file.Fd()) : -1;
    if (fd < 0) return;
    gData.stamps.Start(StampPath(w.ext), fd, StampBytes(w, text, count, self));
}

void LogStampFailures() {
    for (const std::string& line : gData.stamps.TakeFailures()) Log(line);
}

// Opens the working file as the last load left it when its stamp says it was
// loaded from `text` and neither has changed since; `count` its records.
bool ReuseWorkFile(const WorkLoad& w, const FileIdentity& text, std::int32_t& count) {
    std::string stamp;
    gData.stamps.Wait(StampPath(w.ext));
    LogStampFailures();
    if (!ReadWholeFile(StampPath(w.ext), stamp) || stamp.size() != kStampBytes ||
        std::memcmp(stamp.data(), kStampMagic, 8) != 0)
        return false;
    std::int64_t records = 0;
    std::memcpy(&records, &stamp[64], 8);
    if (records < 0 || records > INT32_MAX) return false;
    WorkFile& file = gData.*w.file;
    if (!file.Open(WorkingFile(w.ext), w.recordLength)) return false;
    const FileIdentity self = FileIdentity_OfFd(file.Fd());
    if (!self.exists || self.size != records * w.recordLength || stamp != StampBytes(w, text, records, self)) {
        file.Close();
        return false;
    }
    count = static_cast<std::int32_t>(records);
    if (w.onStored) {
        // The maps of first occurrences get their room at once.
        if (w.file == &DataState::clients) gData.clientIdFirst.reserve(static_cast<std::size_t>(count));
        if (w.file == &DataState::vendors) gData.vendorCodeFirst.reserve(static_cast<std::size_t>(count));
        WorkFile::Reader in(file, 1, count);
        std::string_view rec;
        for (std::int32_t k = 1; k <= count && in.Next(rec); ++k) w.onStored(rec, k);
    }
    return true;
}

// Copies the accepted lines of the received text file into the working file,
// cut to length 0 first. `count` is the number of records the working file
// holds afterwards. Missing: the text file cannot be opened (the working file
// is left closed and untouched). Failed: reading the text file or writing the
// working file failed (logged; the working file holds the `count` records
// written before and stays open, or is closed when it could not be created).
LoadEnd LoadWorkFile(const WorkLoad& w, std::int32_t& count, std::string* textPath = nullptr) {
    WorkFile& file = gData.*w.file;
    count = 0;
    file.Close();
    if (w.from) gData.*w.from = FileIdentity{};
    std::string source = ReceivedFile(w.ext);
    if (textPath) *textPath = source;
    std::string target = WorkingFile(w.ext);
    const FileIdentity text = FileIdentity_Of(source);
    if (text.exists && ReuseWorkFile(w, text, count)) {
        if (w.from) gData.*w.from = text;
        return LoadEnd::Done;
    }
    LineReader in;
    if (!in.Open(source)) return LoadEnd::Missing;

    // The stamp goes before the working file is cut: a load cut short is
    // never taken for a finished one.
    WorkStamp_Remove(w.ext);
    if (!file.Open(target, w.recordLength, true)) {
        Log(std::string(w.who) + ": " + file.Error());
        return LoadEnd::Failed;
    }

    std::string line, previousKey;
    bool orderReported = false;
    bool writeFailed = false;
    {
        WorkFile::Appender out(file, 1);
        while (in.Next(line)) {
            if (line.size() < w.minLength) {
                LogRejectedLine(w.shortText, line);
                continue;
            }
            std::string_view rec = std::string_view(line).substr(0, w.keep);
            if (!out.Add(rec)) {
                writeFailed = true;
                break;
            }
            ++count;
            if (w.sortKey) {
                std::string_view key = w.sortKey(rec);
                if (!orderReported && count > 1 && key < previousKey) {
                    orderReported = true;
                    Log(std::string(w.who) + ": " + FileName(source) + " out of key order from record " +
                        std::to_string(count) + " (key " + std::string(key) + "), look-ups may miss records");
                }
                previousKey.assign(key);
            }
            if (w.onStored) w.onStored(rec, count);
        }
        if (!writeFailed && !out.Finish()) writeFailed = true;
    }
    if (!writeFailed && in.Error() == 0) {
        // Kept for the next start once the records are on disk, unless the
        // text file changed while it was read.
        if (FileIdentity_Of(source) == text) {
            if (w.from) gData.*w.from = text;
            WorkStamp_Write(w, text, count);
        }
        return LoadEnd::Done;
    }

    // Only whole blocks that reached the file count.
    std::int32_t written = static_cast<std::int32_t>(std::min<std::int64_t>(count, file.RecordCount()));
    std::string why = writeFailed ? "cannot write " + FileName(target) + ": " + Reason(file.Error())
                                  : "cannot read " + FileName(source) + ": " + std::strerror(in.Error());
    Log(std::string(w.who) + ": load stopped after " + std::to_string(written) + " records, " + why);
    count = written;
    file.Truncate(count);
    return LoadEnd::Failed;
}

// Opens a working file for random access without cutting it, unless the load
// left it open.
void Reopen(const WorkLoad& w) {
    WorkFile& file = gData.*w.file;
    if (!file.IsOpen() && !file.Open(WorkingFile(w.ext), w.recordLength)) Log(std::string(w.who) + ": " + file.Error());
}

// ---- new-client and new-product files ----------------------------------------------

bool WriteNewHeader(WorkFile& f, std::int64_t count) {
    std::string header = std::to_string(count);
    header.resize(static_cast<std::size_t>(f.RecordLength() - 2), ' ');
    return f.Write(1, header) && f.Sync();
}

// The log line of a header the check had to repair, under `who`.
void LogNewHeaderRepair(const std::string& who, const HeaderVerdict& v, const WorkFile& f, const char* ext) {
    switch (v.fault) {
    case HeaderFault::None:
    case HeaderFault::EmptyFile: return;
    case HeaderFault::Short:
    case HeaderFault::NoNumber:
    case HeaderFault::OutOfRange:
        if (v.count > 1)
            Log(who + ": the header of " + ext + " holds no count; " + std::to_string(v.count - 1) +
                " entries counted from the file");
        else
            Log(who + ": the header of " + ext + " holds no count; count set to 1");
        return;
    default:
        if (std::string text = HeaderVerdict_Text(v, f); !text.empty()) Log(who + ": " + text);
        return;
    }
}

// Opens a new-entry file on #29 and checks its count against the file (the
// same check as every transaction file's, a size comparison when all is
// well). `emptyCounts` is what an empty file counts; `headerForEmpty` writes
// the header "1" into it.
void OpenNewFile(const char* ext, int recordLength, const std::string& who, std::int64_t emptyCounts,
                 bool headerForEmpty) {
    WorkFile& f = gData.newFile;
    f.Close();
    gData.gNewCount = 0;
    if (!f.Open(WorkingFile(ext), recordLength)) {
        Log(who + ": " + f.Error());
        return;
    }
    const HeaderVerdict v = Header_Check(f, RecordTest::SentFlag);
    if (v.fault == HeaderFault::None) {
        gData.gNewCount = static_cast<std::int32_t>(v.count);
        return;
    }
    if (v.fault == HeaderFault::EmptyFile && !headerForEmpty) {
        gData.gNewCount = static_cast<std::int32_t>(emptyCounts);
        return;
    }
    LogNewHeaderRepair(who, v, f, ext);
    if (!WriteNewHeader(f, v.count)) Log(who + ": " + f.Error());
    gData.gNewCount = static_cast<std::int32_t>(v.count);
}

}  // namespace

// ---- tables ----------------------------------------------------------------------

void Open_FileManager() { LoadTable(kManagers, gData.ManagerTable, gData.gManagerCount); }

void Open_FileCashier() {
    gData.gNoCashiers = true;
    LoadTable(kCashiers, gData.CashierTable, gData.gCashierCount, [] { gData.gNoCashiers = false; });
}

void Open_FileSalesman() { LoadTable(kSalesmen, gData.SalesmanTable, gData.gSalesmanCount); }

void Read_FileCategory() { LoadTable(kCategories, gData.CategoryTable, gData.gCategoryCount); }

// ---- working files -------------------------------------------------------------

void Parse_FileProduct() {
    std::string textPath;
    LoadEnd end = LoadWorkFile(kProducts, gData.gProductCount, &textPath);
    if (end == LoadEnd::Done) return;
    if (end == LoadEnd::Failed && gData.products.IsOpen()) {
        // The product text file cannot be trusted any more: a complete
        // download is asked for.
        gData.products.Close();
        std::error_code ec;
        std::filesystem::remove(textPath, ec);
        Data_MessageBox(gData, "Error detected while parsing product file. Complete download of product information is "
                               "required.");
    }
    Log("Parse_FileProduct: HandlerProduct, Product file is not present");
    Reopen(kProducts);
}

void Parse_FileClient() {
    gData.clientIdFirst.clear();
    LoadEnd end = LoadWorkFile(kClients, gData.gClientCount);
    if (end == LoadEnd::Missing) Log("Parse_FileClient: HandlerClient, Client file is not present");
    Reopen(kClients);
}

void Parse_Filevendor() {
    gData.vendorCodeFirst.clear();
    LoadEnd end = LoadWorkFile(kVendors, gData.gVendorCount);
    if (end == LoadEnd::Missing) Log("Parse_Filevendor: Handlervendor, vendor file is not present");
    Reopen(kVendors);
}

void Parse_FileKit() {
    gData.gKitCount = 0;
    gData.gKitLineCount = 0;
    gData.kitLines.Close();
    gData.kitHeaders.Close();
    LoadEnd end = LoadWorkFile(kKitHeaders, gData.gKitCount);
    if (end == LoadEnd::Done) end = LoadWorkFile(kKitLines, gData.gKitLineCount);
    // A missing file writes no log line; both files are left open, a file
    // that was not loaded with its earlier contents (and a count of 0).
    Reopen(kKitHeaders);
    Reopen(kKitLines);
}

// ---- new entries ------------------------------------------------------------------

void Open_FileNew() {
    OpenNewFile(".NWC", 500, "Open_FileNew", 1, true);
    OpenNewFile(".NWP", 300, "Open_FileNew", 1, true);
}

// An empty file stays empty here and counts 0.
void Open_FileNewClient() { OpenNewFile(".NWC", 500, "Open_FileNewClient", 0, false); }
void Open_FileNewProduct() { OpenNewFile(".NWP", 300, "Open_FileNewProduct", 0, false); }

bool NewFile_Verify() {
    WorkFile& f = gData.newFile;
    if (!f.IsOpen()) return false;
    const HeaderVerdict v = Header_Check(f, RecordTest::SentFlag);
    if (v.fault != HeaderFault::None) {
        // An empty file gets its header before its first entry, so an entry is
        // never found behind a header that was not written.
        const std::string ext = f.Path().substr(f.Path().find_last_of('.'));
        LogNewHeaderRepair("NewFile_Verify", v, f, ext.c_str());
        if (!WriteNewHeader(f, v.count)) {
            Log("NewFile_Verify: " + f.Error());
            return false;
        }
    }
    gData.gNewCount = static_cast<std::int32_t>(v.count);
    return true;
}

// ---- changes ---------------------------------------------------------------------------

void WorkStamp_Remove(const char* ext) {
    const std::string path = StampPath(ext);
    gData.stamps.Wait(path);
    LogStampFailures();
    if (::unlink(path.c_str()) == 0) SyncFolderOf(path);
}

void Masters_Changed(unsigned changes) {
    auto removeIndex = [](const char* ext) {
        const std::string path = WorkingFile(ext);
        if (::unlink(path.c_str()) == 0) SyncFolderOf(path);
    };
    if (changes & kProductRecordsChanged) WorkStamp_Remove(".PRD");
    if (changes & kProductWordsChanged) {
        removeIndex(".AUX");
        gData.productsFrom = FileIdentity{};
    }
    if (changes & kClientRecordsChanged) WorkStamp_Remove(".CLI");
    if (changes & kClientWordsChanged) {
        removeIndex(".CUX");
        gData.clientsFrom = FileIdentity{};
    }
    if (changes & kVendorsChanged) WorkStamp_Remove(".VND");
    if (changes & kKitsChanged) {
        WorkStamp_Remove(".KTM");
        WorkStamp_Remove(".KTD");
    }
    if (changes & kAliasesChanged) removeIndex(".PAX");
}

// ---- start-up ------------------------------------------------------------------------

void OpenTables() {
    Open_FileManager();
    Open_FileCashier();
    Open_FileSalesman();
    Read_FileCategory();
    Setting_ProductKey();
    Parse_FileProduct();
    Process_ProductUpdate();
    Parse_FileClient();
    Parse_Filevendor();
    Parse_FileKit();
    Index_Pax();
    Open_FileNew();
}

}  // namespace tarvo
