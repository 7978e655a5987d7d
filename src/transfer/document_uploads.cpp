#include "transfer/document_uploads.h"

#include <cstdio>

#include "common/fields.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "platform/files.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

struct Files {
    WorkFile* headers = nullptr;
    WorkFile* lines = nullptr;
    std::int64_t lastHeader = 0, lastLine = 0;
};

Files Open(DocumentKind kind) {
    Files f;
    if (kind == DocumentKind::Adjustments) {
        Open_Fileadjustment();
        f = {&gData.adjustments, &gData.adjustmentLines, gData.gLastAdjustmentRecord, gData.gLastAdjustmentLineRecord};
    } else {
        Open_Filepurchase();
        f = {&gData.purchases, &gData.purchaseLines, gData.gLastPurchaseRecord, gData.gLastPurchaseLineRecord};
    }
    if (!f.headers->IsOpen()) f.lastHeader = 0;
    if (!f.lines->IsOpen()) f.lastLine = 0;
    return f;
}

void Copy(std::string& out, std::string_view rec, std::size_t col, std::size_t width) {
    std::string_view v = Mid(rec, col, width);
    out += v;
    out.append(width - v.size(), ' ');
}

// The first line record of document `number` (lines are appended in
// document order); 0 when it has none.
std::int64_t FirstLine(const WorkFile& f, std::int64_t last, std::string_view number) {
    std::int64_t lo = 2, hi = last + 1;
    while (lo < hi) {
        std::int64_t mid = lo + (hi - lo) / 2;
        if (Mid(f.View(mid), 1, 7) < number)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo <= last && Mid(f.View(lo), 1, 7) == number ? lo : 0;
}

std::string DocumentLine(DocumentKind kind, const Files& f, std::string_view header) {
    const std::string number(Mid(header, 1, 7));
    std::string parts;
    int count = 0;
    for (std::int64_t k = FirstLine(*f.lines, f.lastLine, number); k != 0 && k <= f.lastLine; ++k) {
        std::string_view line = f.lines->View(k);
        if (Mid(line, 1, 7) != number) break;
        Copy(parts, line, 11, 8);
        if (kind == DocumentKind::Adjustments) {
            Copy(parts, line, 39, 8);
            Copy(parts, line, 47, 30);
        } else {
            Copy(parts, line, 39, 49);
        }
        ++count;
    }
    std::string out;
    if (kind == DocumentKind::Adjustments) {
        Copy(out, header, 1, 79);
        std::string n = std::to_string(count);
        n.resize(3, ' ');
        out += n;
    } else {
        Copy(out, header, 1, 298);
    }
    return out + parts + "\r\n";
}

std::string Stamp(const Files& f, const UploadRange& range) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::int64_t r = range.first; r <= range.last && r > 0; ++r) {
        std::string_view rec = f.headers->View(r);
        for (std::size_t i = 0; i < rec.size(); ++i)
            if (i != 8) {
                h ^= static_cast<unsigned char>(rec[i]);
                h *= 1099511628211ull;
            }
        h ^= '\n';
        h *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

}  // namespace

const char* DocumentKind_Extension(DocumentKind kind) { return kind == DocumentKind::Adjustments ? "ADJ" : "PUR"; }

UploadBuild Documents_CreateFile(DocumentKind kind, const std::string& path) {
    UploadBuild b;
    const Files f = Open(kind);
    std::int64_t first = 2;
    for (std::int64_t r = f.lastHeader; r >= 2; --r)
        if (Mid(f.headers->View(r), 9, 1) == "1") {
            first = r + 1;
            break;
        }
    std::string bytes;
    if (first <= f.lastHeader) {
        for (std::int64_t r = first; r <= f.lastHeader; ++r) bytes += DocumentLine(kind, f, f.headers->View(r));
        b.range = {first, f.lastHeader};
        b.stamp = Stamp(f, b.range);
    }
    if (!WriteFileAtomic(path, bytes, 0600, &b.error)) {
        LogText(std::string(" ") + DocumentKind_Extension(kind) + "_CreateFile: " + b.error);
        b.range = {};
        return b;
    }
    b.ok = true;
    b.size = static_cast<std::int64_t>(bytes.size());
    return b;
}

std::string Documents_RangeStamp(DocumentKind kind, const UploadRange& range) {
    const Files f = Open(kind);
    if (range.Empty() || range.last > f.lastHeader) return "";
    return Stamp(f, range);
}

bool Documents_MarkSent(DocumentKind kind, const UploadRange& range) {
    if (range.Empty()) return true;
    const Files f = Open(kind);
    const std::string who = std::string(" ") + DocumentKind_Extension(kind) + "_MarkSent: ";
    for (std::int64_t r = range.first; r <= range.last; ++r) {
        std::string rec = f.headers->Read(r);
        if (rec.size() < 9) {
            LogText(who + "record " + std::to_string(r) + " is not there");
            return false;
        }
        if (rec[8] == '1') continue;
        rec[8] = '1';
        if (!f.headers->Write(r, rec)) {
            LogText(who + f.headers->Error());
            return false;
        }
    }
    if (!f.headers->Sync()) {
        LogText(who + f.headers->Error());
        return false;
    }
    return true;
}

}  // namespace tarvo
