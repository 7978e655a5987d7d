#include "data/indexes.h"

#include "common/fields.h"

#include <sys/stat.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/index_file.h"
#include "data/log.h"
#include "platform/file_identity.h"
#include "platform/files.h"

namespace tarvo {
namespace {

constexpr int kProductWordWidth = 16;
constexpr int kProductKeyWidth = 16;
constexpr int kClientWordWidth = 22;
constexpr int kRecNoWidth = 6;
constexpr int kAuxEntry = kProductWordWidth + kProductKeyWidth + kRecNoWidth;  // 38
constexpr int kCuxEntry = kClientWordWidth + kRecNoWidth;                      // 28
constexpr int kPaxEntry = 38;
constexpr int kPaxSearchWidth = 18;

void Log1(const std::string& text) { ProgramLog().Write(1, text); }

// Appends `s` blank-padded or cut to `width`.
void AppendPadded(std::string& out, std::string_view s, std::size_t width) {
    if (s.size() >= width) {
        out.append(s.data(), width);
    } else {
        out.append(s);
        out.append(width - s.size(), ' ');
    }
}

unsigned char Lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: return 0x9A;  // S caron
    case 0x8C: return 0x9C;  // OE
    case 0x8E: return 0x9E;  // Z caron
    case 0x9F: return 0xFF;  // Y diaeresis
    default: break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

// Sorted fixed-length entries (at most 40 bytes). Each entry is kept as five
// numbers read big-endian from its bytes, so numbers compare as the bytes do
// and the sort moves whole entries: written out in order, they are read from
// memory front to back. The sort is a radix sort on the first two bytes in
// place, then a comparison sort of each small bucket.
class EntryTable {
public:
    explicit EntryTable(std::size_t width) : width_(width) {}

    void Reserve(std::size_t n) { recs_.reserve(n); }
    std::size_t Width() const { return width_; }
    // Whole entries are appended to Buffer() by the caller, then Absorb().
    std::string& Buffer() { return buf_; }
    void Absorb(bool all = false) {
        if (!all && buf_.size() < (1 << 16)) return;
        const std::size_t n = buf_.size() / width_;
        for (std::size_t i = 0; i < n; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(buf_.data()) + i * width_;
            Rec r;
            for (std::size_t w = 0; w < 5; ++w) r.k[w] = BigEndian(p, w * 8, width_);
            recs_.push_back(r);
        }
        buf_.clear();
    }
    std::size_t Count() const { return recs_.size(); }

    void Sort() {
        Absorb(true);
        RadixSort(recs_.data(), recs_.size(), 0);
    }

    // The i-th entry in order; `out` holds at least 40 bytes.
    std::string_view Sorted(std::size_t i, char* out) const {
        const Rec& r = recs_[i];
        for (std::size_t w = 0; w < 5; ++w)
            for (std::size_t b = 0; b < 8; ++b) out[w * 8 + b] = static_cast<char>(r.k[w] >> (56 - 8 * b));
        return std::string_view(out, width_);
    }

private:
    struct Rec {
        std::uint64_t k[5];
    };
    static bool Less(const Rec& a, const Rec& b) {
        for (std::size_t w = 0; w < 5; ++w)
            if (a.k[w] != b.k[w]) return a.k[w] < b.k[w];
        return false;
    }
    static unsigned Byte(const Rec& r, int d) { return static_cast<unsigned>(r.k[0] >> (56 - 8 * d)) & 0xFF; }
    static void RadixSort(Rec* a, std::size_t n, int d) {
        if (n < 64 || d >= 2) {
            std::sort(a, a + n, Less);
            return;
        }
        std::size_t count[256] = {}, next[256], end[256];
        for (std::size_t i = 0; i < n; ++i) ++count[Byte(a[i], d)];
        std::size_t at = 0;
        for (int b = 0; b < 256; ++b) {
            next[b] = at;
            at += count[b];
            end[b] = at;
        }
        for (int b = 0; b < 256; ++b) {
            while (next[b] < end[b]) {
                const unsigned rb = Byte(a[next[b]], d);
                if (rb == static_cast<unsigned>(b))
                    ++next[b];
                else
                    std::swap(a[next[b]], a[next[rb]++]);
            }
        }
        for (int b = 0; b < 256; ++b)
            if (count[b] > 1) RadixSort(a + end[b] - count[b], count[b], d + 1);
    }
    static std::uint64_t BigEndian(const unsigned char* p, std::size_t from, std::size_t width) {
        std::uint64_t k = 0;
        for (std::size_t b = from; b < from + 8; ++b) k = (k << 8) | (b < width ? p[b] : 0);
        return k;
    }
    std::size_t width_;
    std::string buf_;
    std::vector<Rec> recs_;
};

// The terminal number that names this terminal's files.
std::string TerminalOfPaths() {
    const std::string& data = gConstants.paths.gDataPath;
    std::size_t slash = data.rfind('/');
    return slash == std::string::npos ? data : data.substr(slash + 1);
}

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens the saved index when it was built from `source`; true when its
// entries are used. A saved index that cannot be trusted is named in the log.
// Nothing is reused while the source is not known (a working file not loaded
// from its text file).
bool OpenSaved(WorkFile& f, const std::string& path, int recordLength, const IndexSource& source, std::int32_t& count,
               const char* who) {
    f.Close();
    count = 0;
    if (!source.text.exists) return false;
    std::string why;
    if (IndexFile_Open(f, path, recordLength, source, count, why) == IndexVerdict::Good) return true;
    if (!why.empty()) Log1(std::string(who) + ": the saved index " + FileNameOf(path) + " " + why + ", rebuilt");
    return false;
}

// Replaces a saved index with the sorted entries (through a temporary file,
// flushed and renamed) and opens it; the count of entries (0 when the file
// cannot be written; the failure goes to `log` and the index stays closed).
std::int32_t WriteIndex(WorkFile& f, const std::string& path, int recordLength, const IndexSource& source,
                        EntryTable& entries, const char* who, std::vector<std::string>& log) {
    entries.Sort();
    f.Close();
    IndexFileWriter out;
    bool ok = out.Begin(path, recordLength, source);
    const std::size_t n = entries.Count();
    char entry[40];
    for (std::size_t i = 0; ok && i < n; ++i) ok = out.Add(entries.Sorted(i, entry));
    entries = EntryTable(entries.Width());  // the memory back before the file is opened
    if (!ok || !out.Commit()) {
        log.push_back(std::string(who) + ": cannot write " + FileNameOf(path) + ": " + out.Error());
        return 0;
    }
    // Just written and flushed: opened without reading it again.
    if (!f.Open(path, recordLength, false, kIndexHeaderBytes)) {
        log.push_back(std::string(who) + ": " + f.Error());
        return 0;
    }
    return static_cast<std::int32_t>(n);
}

// Entries of records past the six-digit record numbers are left out; one log
// line per build says how many.
constexpr std::int64_t kLastIndexedRecord = 999999;

void LogLeftOut(std::int64_t leftOut, const char* who, const char* what, std::vector<std::string>& log) {
    if (leftOut > 0)
        log.push_back(std::string(who) + ": " + std::to_string(leftOut) + " entries of " + what +
                      " past record 999999 left out (the index holds 6-digit record numbers)");
}

void AppendRecNo(std::string& out, std::int64_t recNo) { AppendPadded(out, std::to_string(recNo), kRecNoWidth); }

// Calls `word` for each blank-separated word of `text` of at least `minLength`.
template <class F>
void ForEachWord(std::string_view text, std::size_t minLength, F&& word) {
    std::size_t i = 0, n = text.size();
    while (i < n) {
        while (i < n && text[i] == ' ') ++i;
        std::size_t start = i;
        while (i < n && text[i] != ' ') ++i;
        if (i - start >= minLength && i > start) word(text.substr(start, i - start));
    }
}

void AppendLower(std::string& out, std::string_view word, std::size_t width) {
    std::size_t take = std::min(word.size(), width);
    for (std::size_t k = 0; k < take; ++k)
        out.push_back(static_cast<char>(Lower1252(static_cast<unsigned char>(word[k]))));
    out.append(width - take, ' ');
}

// Lines of a text by the reader's rules (CR LF, lone CR and lone LF end a
// line; a last line without an end is still a line).
std::vector<std::string_view> SplitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 32 + 1);
    std::size_t start = 0, i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '\n' || c == '\r') {
            lines.emplace_back(text.data() + start, i - start);
            ++i;
            if (c == '\r' && i < n && text[i] == '\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n) lines.emplace_back(text.data() + start, n - start);
    return lines;
}

// The lines of `text` in ascending byte order (a line that is the beginning
// of another comes first), stable for equal lines.
std::vector<std::string_view> SortedLines(std::string_view text) {
    std::vector<std::string_view> lines = SplitLineViews(text);
    std::stable_sort(lines.begin(), lines.end());
    return lines;
}

unsigned FileMode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    return 0600;
}

std::string JoinCrLf(const std::vector<std::string_view>& lines) {
    std::size_t total = 0;
    for (std::string_view l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (std::string_view l : lines) {
        out.append(l);
        out.append("\r\n");
    }
    return out;
}

// Prefix search of a sorted index: the first and last record whose entry
// starts with the text, shortened from the end one character at a time while
// nothing is found.
void PrefixSearch(const WorkFile& f, std::int32_t count, std::string_view text) {
    gData.gSearchFirst = 0;
    gData.gSearchLast = 0;
    if (count <= 0) return;
    for (std::size_t n = text.size(); n >= 1; --n) {
        std::string_view prefix = text.substr(0, n);
        // first entry not below the prefix
        std::int64_t lo = 1, hi = std::int64_t(count) + 1;
        while (lo < hi) {
            std::int64_t mid = lo + (hi - lo) / 2;
            if (f.View(mid) < prefix)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo > count || !f.View(lo).starts_with(prefix)) continue;
        std::int64_t first = lo;
        // first entry past every entry that starts with the prefix
        hi = std::int64_t(count) + 1;
        while (lo < hi) {
            std::int64_t mid = lo + (hi - lo) / 2;
            if (f.View(mid).substr(0, n) <= prefix)
                lo = mid + 1;
            else
                hi = mid;
        }
        gData.gSearchFirst = static_cast<std::int32_t>(first);
        gData.gSearchLast = static_cast<std::int32_t>(lo - 1);
        return;
    }
}

}  // namespace

std::string LowerCase1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(Lower1252(static_cast<unsigned char>(c)));
    return out;
}

bool Sort_File(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    std::vector<std::string_view> lines = SortedLines(text);
    return WriteFileAtomic(path, JoinCrLf(lines), FileMode(path));
}

namespace {

// One word index to build: what it is built from, where it goes, and what
// the build has to say. A build touches only its own files and entries, so
// the product and client indexes can be built side by side; the log lines
// are written by the caller afterwards.
struct WordIndexBuild {
    const char* who;
    WorkFile* out;
    std::string path;
    int recordLength;
    IndexSource source;
    std::int32_t count = 0;
    std::vector<std::string> log;
    bool needed = false;
};

WordIndexBuild ProductIndexBuild() {
    const std::size_t minLength = gSettings.gIndexShortWords ? 2 : 4;
    const std::size_t keyColumn = gSettings.gProductKeyMode.asNumber == ProductKey::Number ? 12 : 40;
    return WordIndexBuild{"Index_Product",
                          &gData.auxIndex,
                          gConstants.paths.gDataPath + ".AUX",
                          40,
                          {TerminalOfPaths(), 'A' | (keyColumn << 8) | (minLength << 16), gData.productsFrom,
                           gData.gProductCount},
                          0,
                          {},
                          false};
}

WordIndexBuild ClientIndexBuild() {
    return WordIndexBuild{"Index_Client",
                          &gData.cuxIndex,
                          gConstants.paths.gDataPath + ".CUX",
                          30,
                          {TerminalOfPaths(), 'C' | (4 << 16), gData.clientsFrom, gData.gClientCount},
                          0,
                          {},
                          false};
}

void BuildProductIndex(const WorkFile& products, WordIndexBuild& b) {
    const std::size_t minLength = (b.source.params >> 16) & 0xFF;
    const std::size_t keyColumn = (b.source.params >> 8) & 0xFF;
    const std::int32_t count = static_cast<std::int32_t>(b.source.records);
    EntryTable entries(kAuxEntry);
    entries.Reserve(static_cast<std::size_t>(std::max(count, 0)) * 4);
    std::string& buf = entries.Buffer();
    std::int64_t leftOut = 0;
    WorkFile::Reader in(products, 1, count);
    std::string_view rec;
    for (std::int32_t i = 1; i <= count && in.Next(rec); ++i) {
        std::string_view desc = TrimView(Mid(rec, 60, 30));
        if (desc.empty()) continue;
        std::string_view key = TrimView(Mid(rec, keyColumn, kProductKeyWidth));
        ForEachWord(desc, minLength, [&](std::string_view word) {
            if (i > kLastIndexedRecord) {
                ++leftOut;
                return;
            }
            AppendLower(buf, word, kProductWordWidth);
            AppendPadded(buf, key, kProductKeyWidth);
            AppendRecNo(buf, i);
        });
        entries.Absorb();
    }
    LogLeftOut(leftOut, b.who, "products", b.log);
    b.count = WriteIndex(*b.out, b.path, b.recordLength, b.source, entries, b.who, b.log);
}

void BuildClientIndex(const WorkFile& clients, WordIndexBuild& b) {
    const std::int32_t count = static_cast<std::int32_t>(b.source.records);
    EntryTable entries(kCuxEntry);
    entries.Reserve(static_cast<std::size_t>(std::max(count, 0)) * 4);
    std::string& buf = entries.Buffer();
    std::string digits;
    std::int64_t leftOut = 0;
    WorkFile::Reader in(clients, 1, count);
    std::string_view rec;
    for (std::int32_t i = 1; i <= count && in.Next(rec); ++i) {
        ForEachWord(TrimView(Mid(rec, 20, 30)), 4, [&](std::string_view word) {
            if (i > kLastIndexedRecord) {
                ++leftOut;
                return;
            }
            AppendLower(buf, word, kClientWordWidth);
            AppendRecNo(buf, i);
        });
        digits.clear();
        for (char c : TrimView(Mid(rec, 140, 20)))
            if (c >= '0' && c <= '9') digits.push_back(c);
        if (digits.empty()) continue;
        if (i > kLastIndexedRecord) {
            ++leftOut;
            continue;
        }
        AppendPadded(buf, digits, kClientWordWidth);
        AppendRecNo(buf, i);
        entries.Absorb();
    }
    LogLeftOut(leftOut, b.who, "clients", b.log);
    b.count = WriteIndex(*b.out, b.path, b.recordLength, b.source, entries, b.who, b.log);
}

// Opens the saved index of `b` or says it must be built.
void OpenOrPlan(WordIndexBuild& b) { b.needed = !OpenSaved(*b.out, b.path, b.recordLength, b.source, b.count, b.who); }

void Finish(const WordIndexBuild& b, std::int32_t& count) {
    for (const std::string& line : b.log) Log1(line);
    count = b.count;
}

}  // namespace

void Indexes_Build(bool products, bool clients) {
    WordIndexBuild p = ProductIndexBuild(), c = ClientIndexBuild();
    if (products) {
        gData.gAuxCount = 0;
        OpenOrPlan(p);
    }
    if (clients) {
        gData.gCuxCount = 0;
        OpenOrPlan(c);
    }
    const bool both = products && clients && p.needed && c.needed;
    std::thread side;
    if (both) side = std::thread([&p] { BuildProductIndex(gData.products, p); });
    if (products && p.needed && !both) BuildProductIndex(gData.products, p);
    if (clients && c.needed) BuildClientIndex(gData.clients, c);
    if (side.joinable()) side.join();
    if (products) Finish(p, gData.gAuxCount);
    if (clients) Finish(c, gData.gCuxCount);
}

void Index_Product() { Indexes_Build(true, false); }

void Index_Client() { Indexes_Build(false, true); }

void Index_Pax() {
    gData.gPaxCount = 0;
    const std::string& files = gConstants.paths.gFilesPath;
    std::size_t slash = files.rfind('/');
    std::string path = slash == std::string::npos
                           ? files + ".PAX"
                           : FindFileNoCase(files.substr(0, slash), files.substr(slash + 1) + ".PAX");
    gData.paxIndex.Close();
    const std::string indexPath = gConstants.paths.gDataPath + ".PAX";

    // The received file as it stands: an index saved from it is used as it is
    // (the file was sorted in place when the index was made).
    IndexSource source{TerminalOfPaths(), 'P', FileIdentity_Of(path), 0};
    if (source.text.exists && OpenSaved(gData.paxIndex, indexPath, 40, source, gData.gPaxCount, "Index_Pax")) return;

    std::string text;
    if (!ReadWholeFile(path, text)) {
        Log1("Parse_FilePAX: Unable to sort file");
        return;
    }
    std::vector<std::string_view> lines = SortedLines(text);
    std::string sorted = JoinCrLf(lines);
    if (sorted != text) {
        std::string why;
        if (!WriteFileAtomic(path, sorted, FileMode(path), &why))
            Log1("Index_Pax: the sorted alias file cannot be written back: " + why);
    }
    source.text = FileIdentity_Of(path);

    // The index keeps each line blank-padded or cut to 38 characters.
    EntryTable entries(kPaxEntry);
    entries.Reserve(lines.size());
    std::string& buf = entries.Buffer();
    for (std::string_view line : lines) AppendPadded(buf, line, kPaxEntry);
    std::vector<std::string> log;
    gData.gPaxCount = WriteIndex(gData.paxIndex, indexPath, 40, source, entries, "Index_Pax", log);
    for (const std::string& line : log) Log1(line);
}

void AuxProduct_Search() {
    std::string text = LowerCase1252(gData.gSearchText);
    PrefixSearch(gData.auxIndex, gData.gAuxCount, text);
}

void AuxClient_Search() {
    std::string text = LowerCase1252(gData.gSearchText);
    PrefixSearch(gData.cuxIndex, gData.gCuxCount, text);
}

void AuxPax_Search() {
    std::string_view text = gData.gSearchText;
    PrefixSearch(gData.paxIndex, gData.gPaxCount, text.substr(0, std::min<std::size_t>(text.size(), kPaxSearchWidth)));
}

}  // namespace tarvo
