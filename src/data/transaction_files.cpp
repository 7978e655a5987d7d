#include "data/transaction_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/constants.h"
#include "data/log.h"

namespace tarvo {
namespace {

// What an opener knows of one transaction file.
struct FileSpec {
    WorkFile DataState::*file;
    std::int32_t DataState::*counter;
    const char* extension;
    int recordLength;
    bool signBlank;  // header written with the blank of a signed number
    int headerWidth;
    const char* shortLog;  // header shorter than 8 characters
    const char* rangeLog;  // count outside 0..9,999,999
    int sentFlagColumn;    // 0: the file holds no sent flag (lines, payments)
    bool numbered;         // columns 1-7 of a document hold its record number
    // Lines and payments: the document file whose number columns 1-7 carry.
    // Its header is the commit point of the whole document.
    const FileSpec* owner = nullptr;
};

const FileSpec kInvoice{
    &DataState::invoices,
    &DataState::gLastInvoiceRecord,
    ".INV",
    150,
    false,
    130,
    "Open_FileInvoice: Reading invoice master header, Length of header record is less than 8, header set to zero",
    "Open_FileInvoice: Reading invoice master header, Invalid header information initialized to zero",
    9,
    true};
const FileSpec kInvoiceLine{
    &DataState::invoiceLines,
    &DataState::gLastInvoiceLineRecord,
    ".DTL",
    90,
    true,
    60,
    "Open_FileInvoice: Reading invoice detail header, Length of header record is less than 8, header set to zero",
    "Open_FileInvoice: Reading invoice detail header, Invalid header information initialized to zero",
    0,
    false,
    &kInvoice};
const FileSpec kPayment{
    &DataState::payments,
    &DataState::gLastPaymentRecord,
    ".PAY",
    235,
    true,
    230,
    "Open_FilePayment: Reading payment header, Length of header record is less than 8, header set to zero",
    "OpenTables: Reading payment header, Invalid header information initialized to zero",
    0,
    false,
    &kInvoice};
const FileSpec kActivity{
    &DataState::activity,
    &DataState::gLastActivityRecord,
    ".ACT",
    60,
    true,
    40,
    "Open_FileActivity: Reading deposit header, Length of header record is less than 8, header set to zero",
    "OpenTables: Reading deposit header, Invalid header information initialized to zero",
    14,
    false};
const FileSpec kPhysical{
    &DataState::physical,
    &DataState::gLastPhysicalRecord,
    ".PHY",
    20,
    true,
    18,
    "Open_FilePhysical: Reading physical header, Length of header record is less than 8, header set to zero",
    "Open_FilePhysical: Reading physical header, Invalid header information initialized to zero",
    18,
    false};
const FileSpec kOrder{
    &DataState::orders,
    &DataState::gLastOrderRecord,
    ".ORD",
    252,
    false,
    230,
    "Open_FileOrder: Reading ordermaster header, Length of header record is less than 8, header set to zero",
    "Open_FileOrder: Reading ordermaster header, Invalid header information initialized to zero",
    9,
    true};
const FileSpec kOrderLine{
    &DataState::orderLines,
    &DataState::gLastOrderLineRecord,
    ".ORL",
    90,
    true,
    60,
    "Open_Fileorder: Reading order detail header, Length of header record is less than 8, header set to zero",
    "Open_Fileorder: Reading order detail header, Invalid header information initialized to zero",
    0,
    false,
    &kOrder};
const FileSpec kOrderPayment{
    &DataState::orderPayments,
    &DataState::gLastOrderPaymentRecord,
    ".ORP",
    235,
    true,
    230,
    "Open_Fileorder: Reading payment header, Length of header record is less than 8, header set to zero",
    "Open_fileorder: Reading payment header, Invalid header information initialized to zero",
    0,
    false,
    &kOrder};
const FileSpec kAdjustment{
    &DataState::adjustments,
    &DataState::gLastAdjustmentRecord,
    ".ADJ",
    90,
    true,
    80,
    "Open_Fileadjustment: Reading adjustment header, Length of header record is less than 8, header set to zero",
    "Open_Fileadjustment: Reading adjustment header, Invalid header information initialized to zero",
    9,
    true};
const FileSpec kAdjustmentLine{
    &DataState::adjustmentLines,
    &DataState::gLastAdjustmentLineRecord,
    ".ADD",
    80,
    true,
    70,
    "Open_Fileadjustment: Reading adjustment detail, Length of header record is less than 8, header set to zero",
    "Open_Fileadjustment: Reading adjustment detail, Invalid header information initialized to zero",
    0,
    false,
    &kAdjustment};
const FileSpec kPurchase{
    &DataState::purchases,
    &DataState::gLastPurchaseRecord,
    ".PUR",
    300,
    true,
    280,
    "Open_Filepurchase: Reading purchase header, Length of header record is less than 8, header set to zero",
    "Open_Filepurchase: Reading purchase header, Invalid header information initialized to zero",
    9,
    true};
const FileSpec kPurchaseLine{
    &DataState::purchaseLines,
    &DataState::gLastPurchaseLineRecord,
    ".PUL",
    90,
    true,
    80,
    "Open_Filepurchase: Reading purchase detail, Length of header record is less than 8, header set to zero",
    "Open_Filepurchase: Reading purchase detail, Invalid header information initialized to zero",
    0,
    false,
    &kPurchase};

constexpr std::int64_t kMaxCount = 9999999;

void Log(const std::string& text) { ProgramLog().Write(1, text); }

std::string HeaderText(std::int64_t count, bool signBlank, int width) {
    std::string h = (signBlank ? " " : "") + std::to_string(count);
    h.resize(static_cast<std::size_t>(width), ' ');
    return h;
}

// The count a header that cannot be trusted stands for, from the file
// itself: the last whole record from the end that holds a record by `test`;
// 1 when none does. Never above the limit.
std::int64_t CountFromFile(const WorkFile& f, RecordTest test) {
    for (std::int64_t k = std::min(f.RecordCount(), kMaxCount); k >= 2; --k) {
        if (!f.HoldsRecord(k)) continue;
        const std::string_view r = f.View(k);
        switch (test) {
        case RecordTest::Framed: return k;
        case RecordTest::OwnNumber:
            if (r.size() >= 7 && r.substr(0, 7) == PadZero(std::to_string(k), 7)) return k;
            break;
        case RecordTest::SentFlag:
            if (r[0] == '0' || r[0] == '1') return k;
            break;
        }
    }
    return 1;
}

bool IsNumberText(std::string_view eight) {
    DecimalText d = Num_Scan(eight);
    return !d.whole.empty() || !d.fraction.empty();
}

// The count in the header of a document file that is not open; nullopt when
// the file is missing or its header holds no count.
std::optional<std::int64_t> CountOfClosedFile(const FileSpec& spec) {
    const std::string path = gConstants.paths.gDataPath + spec.extension;
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string rec(static_cast<std::size_t>(spec.recordLength), '\0');
    ssize_t n = ::pread(fd, rec.data(), rec.size(), 0);
    ::close(fd);
    if (n < 10) return std::nullopt;
    const std::size_t len = static_cast<unsigned char>(rec[0]) | (static_cast<unsigned char>(rec[1]) << 8);
    if (len < 8) return std::nullopt;
    std::int64_t v = HeaderCount(std::string_view(rec).substr(2, 8));
    if (v < 0 || v > kMaxCount) return std::nullopt;
    return std::max<std::int64_t>(v, 1);
}

// The document number in columns 1-7 of a line or payment; -1 when they hold
// no number.
std::int64_t DocumentNumberOf(std::string_view record) {
    if (record.size() < 7) return -1;
    std::int64_t v = 0;
    for (char c : record.substr(0, 7)) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// A save that stopped after counting a document's lines or payments but
// before counting the document itself leaves them counted for a document
// that does not exist; the next document would take its number and them with
// it. The document's header is the commit point: counted lines and payments of
// a higher number are uncounted again.
void CutBackPastOwner(const FileSpec& spec, std::int64_t& count) {
    const FileSpec& owner = *spec.owner;
    std::optional<std::int64_t> documents;
    if ((gData.*owner.file).IsOpen())
        documents = gData.*owner.counter;
    else
        documents = CountOfClosedFile(owner);
    if (!documents) return;
    WorkFile& f = gData.*spec.file;
    std::int64_t kept = count;
    while (kept >= 2) {
        const std::int64_t n = DocumentNumberOf(f.View(kept));
        if (n < 0 || n <= *documents) break;
        --kept;
    }
    if (kept == count) return;
    Log(std::string("Open: ") + spec.extension + " counted records " + std::to_string(kept + 1) + " to " +
        std::to_string(count) + " of a document above " + std::to_string(*documents) +
        " that was never saved; they are no longer counted");
    if (!f.Write(1, HeaderText(kept, spec.signBlank, spec.headerWidth)) || !f.Sync()) {
        Log(f.Error());
        return;
    }
    count = kept;
}

void OpenOne(const FileSpec& spec) {
    DataState& d = gData;
    WorkFile& f = d.*spec.file;
    const std::string path = gConstants.paths.gDataPath + spec.extension;
    if (!f.Open(path, spec.recordLength)) {
        Log(f.Error());
        d.*spec.counter = 0;
        return;
    }
    const HeaderVerdict v = Header_Check(f, spec.numbered ? RecordTest::OwnNumber : RecordTest::Framed);
    switch (v.fault) {
    case HeaderFault::None:
    case HeaderFault::EmptyFile: break;
    case HeaderFault::Short: Log(spec.shortLog); break;
    case HeaderFault::NoNumber:
    case HeaderFault::OutOfRange: Log(spec.rangeLog); break;
    case HeaderFault::Zero:
    case HeaderFault::PastEnd:
    case HeaderFault::CutRecord:
        if (std::string text = HeaderVerdict_Text(v, f); !text.empty()) {
            const std::string who(spec.shortLog, std::strchr(spec.shortLog, ':'));
            Log(who + ": " + text);
        }
        break;
    }
    std::int64_t count = v.count;
    if (v.fault != HeaderFault::None) {
        // A repair reaches the disk before anything is appended after it.
        const bool flush = v.fault != HeaderFault::EmptyFile;
        if (!f.Write(1, HeaderText(count, spec.signBlank, spec.headerWidth)) || (flush && !f.Sync())) Log(f.Error());
    }
    if (spec.owner) CutBackPastOwner(spec, count);
    d.*spec.counter = static_cast<std::int32_t>(count);
}

int CountUnsent(const FileSpec& spec) {
    WorkFile& f = gData.*spec.file;
    if (!f.IsOpen() || spec.sentFlagColumn == 0) return 0;
    std::int64_t last = std::min<std::int64_t>(gData.*spec.counter, f.RecordCount());
    int unsent = 0;
    for (std::int64_t k = 2; k <= last; ++k) {
        std::string_view r = f.View(k);
        if (r.size() >= static_cast<std::size_t>(spec.sentFlagColumn) && r[spec.sentFlagColumn - 1] == '0') ++unsent;
    }
    return unsent;
}

// Counts what an empty-out would lose, then cuts the file to length 0.
int EmptyFile(const FileSpec& spec) {
    WorkFile& f = gData.*spec.file;
    if (!f.IsOpen() && !f.Open(gConstants.paths.gDataPath + spec.extension, spec.recordLength)) {
        Log(f.Error());
        return 0;
    }
    if (spec.sentFlagColumn != 0) {
        // The header of an unopened file may be out of date: read it now.
        std::int64_t v = f.RecordCount() > 0 ? HeaderCount(f.View(1)) : 0;
        gData.*spec.counter = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, kMaxCount));
    }
    int unsent = CountUnsent(spec);
    if (!f.Truncate(0)) Log(f.Error());
    f.Close();
    return unsent;
}

// The documents of `f` up to its header count whose sent flag (column
// `column`) is "0".
int CountFlagged(const WorkFile& f, int column) {
    const std::int64_t last = f.RecordCount() > 0 ? std::min<std::int64_t>(HeaderCount(f.View(1)), f.RecordCount()) : 0;
    int unsent = 0;
    for (std::int64_t k = 2; k <= last; ++k) {
        std::string_view r = f.View(k);
        if (r.size() >= static_cast<std::size_t>(column) && r[column - 1] == '0') ++unsent;
    }
    return unsent;
}

int NewFileUnsent(const char* extension, int recordLength, bool empty) {
    const std::string path = gConstants.paths.gDataPath + extension;
    if (!empty && !std::filesystem::exists(path)) return 0;
    WorkFile f;
    if (!f.Open(path, recordLength)) return 0;
    const int unsent = CountFlagged(f, 1);
    if (empty) f.Truncate(0);
    return unsent;
}

// What emptying the file would lose, read from the file as it stands on disk;
// nothing is created or changed.
int UnsentOnDisk(const FileSpec& spec) {
    if (spec.sentFlagColumn == 0) return 0;
    const WorkFile& open = gData.*spec.file;
    if (open.IsOpen()) return CountFlagged(open, spec.sentFlagColumn);
    const std::string path = gConstants.paths.gDataPath + spec.extension;
    if (!std::filesystem::exists(path)) return 0;
    WorkFile f;
    if (!f.Open(path, spec.recordLength)) return 0;
    return CountFlagged(f, spec.sentFlagColumn);
}

}  // namespace

std::int64_t HeaderCount(std::string_view record1) {
    // Blanks are ignored wherever they stand in the first 8 characters.
    std::string eight;
    for (char c : record1.substr(0, 8))
        if (c != ' ') eight.push_back(c);
    auto v = Num_RoundHalfEven(Num_Scan(eight), 0);
    return v.value_or(-1);
}

HeaderVerdict Header_Check(const WorkFile& f, RecordTest test) {
    HeaderVerdict v;
    const std::int64_t size = f.SizeBytes();
    const std::int64_t n = f.RecordLength();
    if (size <= 0 || n <= 0) {
        v.fault = HeaderFault::EmptyFile;
        return v;
    }
    const std::int64_t whole = size / n;
    const std::string_view h = f.View(1);
    if (h.size() < 8) {
        v.fault = HeaderFault::Short;
    } else if (!IsNumberText(h.substr(0, 8))) {
        v.fault = HeaderFault::NoNumber;
    } else {
        v.stated = HeaderCount(h);
        if (v.stated < 0 || v.stated > kMaxCount) {
            v.fault = HeaderFault::OutOfRange;
        } else if (v.stated == 0) {
            v.fault = HeaderFault::Zero;
        } else if (v.stated <= whole) {
            v.count = v.stated;  // the common case: one fstat, no scan
            return v;
        } else {
            v.fault = v.stated == whole + 1 && size % n != 0 ? HeaderFault::CutRecord : HeaderFault::PastEnd;
            v.count = std::max<std::int64_t>(whole, 1);
            return v;
        }
    }
    v.count = CountFromFile(f, test);
    return v;
}

std::string HeaderVerdict_Text(const HeaderVerdict& v, const WorkFile& f) {
    const std::string& path = f.Path();
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::string counted = std::to_string(v.count);
    switch (v.fault) {
    case HeaderFault::Zero:
        if (v.count <= 1) return {};
        return "the header of " + name + " holds 0 while records 2 to " + counted + " are in the file; count set to " +
               counted;
    case HeaderFault::PastEnd:
        return "the header of " + name + " counts " + std::to_string(v.stated) + " records but the file holds " +
               counted + "; count cut back to " + counted;
    case HeaderFault::CutRecord:
        return "record " + std::to_string(v.stated) + " of " + name + " is cut short (" +
               std::to_string(f.SizeBytes() % f.RecordLength()) + " of " + std::to_string(f.RecordLength()) +
               " bytes) and no longer counted; count set to " + counted;
    default: return {};
    }
}

void Open_FileInvoice() {
    OpenOne(kInvoice);
    OpenOne(kInvoiceLine);
}
void Open_FilePayment() { OpenOne(kPayment); }
void Open_FileActivity() { OpenOne(kActivity); }
void Open_FilePhysical() { OpenOne(kPhysical); }
void Open_FileOrder() {
    OpenOne(kOrder);
    OpenOne(kOrderLine);
    OpenOne(kOrderPayment);
}
void Open_Fileadjustment() {
    OpenOne(kAdjustment);
    OpenOne(kAdjustmentLine);
}
void Open_Filepurchase() {
    OpenOne(kPurchase);
    OpenOne(kPurchaseLine);
}

int Files_ResetDaily() {
    int unsent = 0;
    for (const FileSpec* s : {&kInvoice, &kInvoiceLine, &kPayment, &kActivity}) unsent += EmptyFile(*s);
    Open_FileInvoice();
    Open_FilePayment();
    Open_FileActivity();
    return unsent;
}

int Files_ResetAll() {
    int unsent = Files_ResetDaily();
    for (const FileSpec* s : {&kInvoice, &kInvoiceLine, &kPayment, &kActivity, &kOrder, &kOrderLine, &kOrderPayment})
        unsent += EmptyFile(*s);
    gData.newFile.Close();
    unsent += NewFileUnsent(".NWC", 500, true);
    unsent += NewFileUnsent(".NWP", 300, true);
    for (const FileSpec* s : {&kPhysical, &kAdjustment, &kAdjustmentLine, &kPurchase, &kPurchaseLine})
        unsent += EmptyFile(*s);
    return unsent;
}

int Files_UnsentDaily() {
    int unsent = 0;
    for (const FileSpec* s : {&kInvoice, &kActivity}) unsent += UnsentOnDisk(*s);
    return unsent;
}

int Files_UnsentAll() {
    int unsent = Files_UnsentDaily();
    for (const FileSpec* s : {&kOrder, &kPhysical, &kAdjustment, &kPurchase}) unsent += UnsentOnDisk(*s);
    unsent += NewFileUnsent(".NWC", 500, false);
    unsent += NewFileUnsent(".NWP", 300, false);
    return unsent;
}

void Headers_Save() {
    Open_FileInvoice();
    Open_FilePayment();
    DataState& d = gData;
    d.gInvoiceRec = d.invoices.Read(1);
    d.gInvoiceLineRec = d.invoiceLines.Read(1);
    d.gPaymentRec = d.payments.Read(1);
    d.gSavedRecordCounts = {d.gLastInvoiceRecord, d.gLastInvoiceLineRecord, d.gLastPaymentRecord};
    d.payments.Close();
    d.invoiceLines.Close();
    d.invoices.Close();
}

bool Headers_Restore() {
    Open_FileInvoice();
    Open_FilePayment();
    DataState& d = gData;
    const auto& c = d.gSavedRecordCounts;
    // Lines and payments first, the invoice count last: it is what makes a
    // sale visible.
    auto put = [](WorkFile& f, const std::string& header) {
        if (f.Write(1, header) && f.Sync()) return true;
        Log("Headers_Restore: " + f.Error());
        return false;
    };
    bool ok = put(d.invoiceLines, HeaderRecord(c[1], 60)) && put(d.payments, HeaderRecord(c[2], 233, 233));
    ok = ok && put(d.invoices, HeaderRecord(c[0], 100));
    d.payments.Close();
    d.invoiceLines.Close();
    d.invoices.Close();
    return ok;
}

std::string HeaderRecord(std::int64_t count, int blanks, int cut) {
    std::string h = std::to_string(count) + std::string(static_cast<std::size_t>(blanks), ' ');
    if (cut > 0 && static_cast<int>(h.size()) > cut) h.resize(static_cast<std::size_t>(cut));
    return h;
}

std::int64_t Transaction_NextRecord(const WorkFile& f) {
    std::int64_t c = f.RecordCount() > 0 ? HeaderCount(f.View(1)) : 1;
    return (c < 1 ? 1 : c) + 1;
}

namespace {

DocumentWriteHook gDocumentWriteHook;

bool HookAllows(const std::string& extension, const char* step) {
    return !gDocumentWriteHook || gDocumentWriteHook(extension, step);
}
bool HookAllows(const DocumentPart& p, const char* step) { return HookAllows(std::string(p.extension), step); }

// One file as it was before a commit or an append, to put back on failure:
// its whole records (a part record at the end goes) and its record 1.
struct FileBefore {
    std::int64_t records = 0;
    std::string header;
};

FileBefore Before(const WorkFile& f) {
    FileBefore b;
    b.records = f.RecordCount();
    if (b.records >= 1) b.header = f.Read(1);
    return b;
}

// Cuts the file back to its earlier records and writes its earlier header,
// flushed; false (logged under `who`) when that fails too.
bool PutFileBack(WorkFile& f, const FileBefore& b, const std::string& who) {
    bool fine = f.Truncate(b.records);
    if (fine && b.records >= 1) fine = f.Write(1, b.header);
    if (fine) fine = f.Sync();
    if (!fine) Log(who + ": " + f.Error());
    return fine;
}

bool PutBack(std::span<DocumentPart> parts, const std::vector<FileBefore>& before, const std::string& who) {
    bool ok = true;
    for (std::size_t i = 0; i < parts.size(); ++i) ok = PutFileBack(*parts[i].file, before[i], who) && ok;
    return ok;
}

std::string ExtensionOf(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

}  // namespace

bool Transaction_Append(WorkFile& f, std::int32_t& counter, int headerWidth, std::string_view document,
                        HeaderForm form) {
    std::int64_t header = f.RecordCount() > 0 ? HeaderCount(f.View(1)) : 1;
    if (header < 1) header = 1;
    std::int64_t next = header + 1;
    if (next > kMaxCount) {
        Log("Transaction file " + f.Path() + " is full");
        return false;
    }
    const FileBefore before = Before(f);
    const std::string ext = ExtensionOf(f.Path());
    const std::string record1 = form == HeaderForm::BlanksAfter ? HeaderRecord(next, headerWidth)
                                                                : HeaderText(next, false, headerWidth);
    // The document reaches the disk before the count that makes it visible.
    // Any step failing puts the file back: a header written but not flushed
    // would otherwise count the record on disk later, and a retry of what
    // the cashier was told failed would record it twice.
    const bool ok = HookAllows(ext, "records") && f.Write(next, document) && HookAllows(ext, "sync") && f.Sync() &&
                    HookAllows(ext, "header") && f.Write(1, record1) && HookAllows(ext, "sync") && f.Sync();
    if (!ok) {
        Log(f.Error().empty() ? "Transaction file " + f.Path() + ": write refused" : f.Error());
        if (!PutFileBack(f, before, "Transaction file " + f.Path()))
            Log("Transaction file " + f.Path() + " could not be put back");
        return false;
    }
    counter = static_cast<std::int32_t>(next);
    return true;
}

void DocumentCommit_SetWriteHook(DocumentWriteHook hook) { gDocumentWriteHook = std::move(hook); }

bool Document_Commit(std::span<DocumentPart> parts, const std::string& who, bool count) {
    if (parts.empty()) return false;
    std::vector<FileBefore> before;
    before.reserve(parts.size());
    for (const DocumentPart& p : parts) {
        if (!p.file->IsOpen()) {
            Log(who + ": " + p.extension + " is not open: " + p.file->Error());
            return false;
        }
        const std::int64_t last = p.first + static_cast<std::int64_t>(p.records.size()) - 1;
        if (p.first < 2 || last > kMaxCount) {
            Log(who + ": " + p.file->Path() + " is full");
            return false;
        }
        before.push_back(Before(*p.file));
    }
    const DocumentPart* failed = nullptr;
    const char* step = "";
    auto fail = [&](const DocumentPart& p, const char* what) {
        failed = &p;
        step = what;
        return false;
    };
    auto records = [&](DocumentPart& p) {
        if (p.records.empty()) return true;
        if (!HookAllows(p, "records")) return fail(p, "writing");
        WorkFile::Appender app(*p.file, p.first);
        for (const std::string& r : p.records)
            if (!app.Add(r)) return fail(p, "writing");
        return app.Finish() || fail(p, "writing");
    };
    auto sync = [&](DocumentPart& p) { return (HookAllows(p, "sync") && p.file->Sync()) || fail(p, "flushing"); };
    auto header = [&](DocumentPart& p) {
        const std::int64_t last = p.first + static_cast<std::int64_t>(p.records.size()) - 1;
        return (HookAllows(p, "header") && p.file->Write(1, HeaderRecord(last, p.headerBlanks, p.headerCut))) ||
               fail(p, "writing the header of");
    };

    bool ok = true;
    // Lines and payments, then the document, each flushed.
    for (std::size_t i = 1; ok && i < parts.size(); ++i) ok = records(parts[i]);
    ok = ok && records(parts[0]);
    for (std::size_t i = 1; ok && i < parts.size(); ++i) ok = sync(parts[i]);
    ok = ok && sync(parts[0]);
    if (ok && count) {
        // The counts: the lines' and payments' first, the document's last.
        for (std::size_t i = 1; ok && i < parts.size(); ++i)
            if (!parts[i].records.empty()) ok = header(parts[i]) && sync(parts[i]);
        ok = ok && header(parts[0]) && sync(parts[0]);
    }
    if (!ok) {
        const std::string err = failed->file->Error().empty() ? std::string("write refused") : failed->file->Error();
        Log(who + ": " + step + " " + failed->file->Path() + ": " + err);
        if (!PutBack(parts, before, who)) Log(who + ": the files could not be put back");
        return false;
    }
    if (count)
        for (DocumentPart& p : parts)
            if (p.counter && !p.records.empty())
                *p.counter = static_cast<std::int32_t>(p.first + static_cast<std::int64_t>(p.records.size()) - 1);
    return true;
}

}  // namespace tarvo
