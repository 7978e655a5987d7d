#include "transfer/document_uploads.h"

#include <cstdio>

#include "common/fields.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "platform/files.h"
#include "transfer/upload_fields.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

struct Files {
    WorkFile* headers = nullptr;
    WorkFile* lines = nullptr;
    std::int64_t lastHeader = 0, lastLine = 0;
};

Files Open(UploadDocumentKind kind) {
    Files f;
    if (kind == UploadDocumentKind::Adjustments) {
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

std::string DocumentLine(UploadDocumentKind kind, const Files& f, std::string_view header) {
    const std::string number(Mid(header, 1, 7));
    std::string parts;
    int count = 0;
    for (std::int64_t k = Upload_FirstOf(*f.lines, f.lastLine, number); k != 0 && k <= f.lastLine; ++k) {
        std::string_view line = f.lines->View(k);
        if (Mid(line, 1, 7) != number) break;
        Upload_Copy(parts, line, 11, 8);
        if (kind == UploadDocumentKind::Adjustments) {
            Upload_Copy(parts, line, 39, 8);
            Upload_Copy(parts, line, 47, 30);
        } else {
            Upload_Copy(parts, line, 39, 49);
        }
        ++count;
    }
    std::string out;
    if (kind == UploadDocumentKind::Adjustments) {
        Upload_Copy(out, header, 1, 79);
        std::string n = std::to_string(count);
        n.resize(3, ' ');
        out += n;
    } else {
        Upload_Copy(out, header, 1, 298);
    }
    return out + parts + "\r\n";
}

std::string Stamp(const Files& f, const UploadRange& range) { return Upload_RangeStamp(*f.headers, range, 8); }

}  // namespace

const char* DocumentKind_Extension(UploadDocumentKind kind) {
    return kind == UploadDocumentKind::Adjustments ? "ADJ" : "PUR";
}

UploadBuild Documents_CreateFile(UploadDocumentKind kind, const std::string& path) {
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

std::string Documents_RangeStamp(UploadDocumentKind kind, const UploadRange& range) {
    const Files f = Open(kind);
    if (range.Empty() || range.last > f.lastHeader) return "";
    return Stamp(f, range);
}

bool Documents_MarkSent(UploadDocumentKind kind, const UploadRange& range) {
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
