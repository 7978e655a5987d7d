#include "transfer/record_uploads.h"

#include <cstdio>

#include "common/fields.h"
#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "platform/files.h"

namespace tarvo {

namespace {

void LogText(const std::string& text) { ProgramLog().Write(1, text); }

// The working file of a kind, open, with its last record. The new-entry
// files are read on a channel of their own: the register's shared one stays
// on the file it was left on.
class Source {
public:
    explicit Source(RecordKind kind) : kind_(kind) {
        switch (kind) {
        case RecordKind::Activity:
            Open_FileActivity();
            file_ = &gData.activity;
            last_ = gData.gLastActivityRecord;
            break;
        case RecordKind::Physical:
            Open_FilePhysical();
            file_ = &gData.physical;
            last_ = gData.gLastPhysicalRecord;
            break;
        case RecordKind::NewClients:
        case RecordKind::NewProducts: {
            const bool clients = kind == RecordKind::NewClients;
            const std::string path = gConstants.paths.gDataPath + (clients ? ".NWC" : ".NWP");
            if (FileExists(path) && own_.Open(path, clients ? 500 : 300)) {
                file_ = &own_;
                last_ = Header_Check(own_, RecordTest::SentFlag).count;
            }
            break;
        }
        }
    }
    WorkFile* File() const { return file_ && file_->IsOpen() ? file_ : nullptr; }
    std::int64_t Last() const { return File() ? last_ : 0; }

    // The sent flag's column, from 1.
    std::size_t FlagColumn() const {
        switch (kind_) {
        case RecordKind::Activity: return 14;
        case RecordKind::Physical: return 18;
        default: return 1;
        }
    }

    std::string Line(std::string_view rec) const {
        std::string out;
        switch (kind_) {
        case RecordKind::Activity:
            Copy(out, rec, 1, 13);
            Copy(out, rec, 15, 25);
            break;
        case RecordKind::Physical: Copy(out, rec, 1, 17); break;
        case RecordKind::NewClients: Copy(out, rec, 3, 496); break;
        case RecordKind::NewProducts: Copy(out, rec, 3, 296); break;
        }
        return out + "\r\n";
    }

private:
    static void Copy(std::string& out, std::string_view rec, std::size_t col, std::size_t width) {
        std::string_view v = Mid(rec, col, width);
        out += v;
        out.append(width - v.size(), ' ');
    }

    RecordKind kind_;
    WorkFile own_;
    WorkFile* file_ = nullptr;
    std::int64_t last_ = 0;
};

std::string Stamp(const Source& s, const UploadRange& range) {
    std::uint64_t h = 1469598103934665603ull;
    const std::size_t flag = s.FlagColumn() - 1;
    for (std::int64_t r = range.first; r <= range.last && r > 0; ++r) {
        std::string_view rec = s.File()->View(r);
        for (std::size_t i = 0; i < rec.size(); ++i)
            if (i != flag) {
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

const char* RecordKind_Extension(RecordKind kind) {
    switch (kind) {
    case RecordKind::Activity: return "ACC";
    case RecordKind::Physical: return "PHY";
    case RecordKind::NewClients: return "NWC";
    case RecordKind::NewProducts: return "NWP";
    }
    return "";
}

UploadBuild Records_CreateFile(RecordKind kind, const std::string& path, bool resendAll) {
    UploadBuild b;
    Source s(kind);
    const std::int64_t last = s.Last();
    std::int64_t first = 2;
    if (!resendAll || kind == RecordKind::Physical) {
        for (std::int64_t r = last; r >= 2; --r)
            if (Mid(s.File()->View(r), s.FlagColumn(), 1) == "1") {
                first = r + 1;
                break;
            }
    }
    std::string bytes;
    if (first <= last) {
        for (std::int64_t r = first; r <= last; ++r) bytes += s.Line(s.File()->View(r));
        b.range = {first, last};
        b.stamp = Stamp(s, b.range);
    }
    if (!WriteFileAtomic(path, bytes, 0600, &b.error)) {
        LogText(std::string(" ") + RecordKind_Extension(kind) + "_CreateFile: " + b.error);
        b.range = {};
        return b;
    }
    b.ok = true;
    b.size = static_cast<std::int64_t>(bytes.size());
    return b;
}

std::string Records_RangeStamp(RecordKind kind, const UploadRange& range) {
    Source s(kind);
    if (range.Empty() || range.last > s.Last()) return "";
    return Stamp(s, range);
}

bool Records_MarkSent(RecordKind kind, const UploadRange& range) {
    if (range.Empty()) return true;
    Source s(kind);
    WorkFile* f = s.File();
    const std::string who = std::string(" ") + RecordKind_Extension(kind) + "_MarkSent: ";
    if (!f) {
        LogText(who + "the working file cannot be opened");
        return false;
    }
    const std::size_t flag = s.FlagColumn() - 1;
    for (std::int64_t r = range.first; r <= range.last; ++r) {
        std::string rec = f->Read(r);
        if (rec.size() <= flag) {
            LogText(who + "record " + std::to_string(r) + " is not there");
            return false;
        }
        if (rec[flag] == '1') continue;
        rec[flag] = '1';
        if (!f->Write(r, rec)) {
            LogText(who + f->Error());
            return false;
        }
    }
    if (!f->Sync()) {
        LogText(who + f->Error());
        return false;
    }
    return true;
}

}  // namespace tarvo
