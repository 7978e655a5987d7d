#include "data/indexes.h"

#include "common/fields.h"

#include <sys/stat.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/log.h"
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

// Sorted fixed-length entries gathered in one buffer: the sort moves small
// handles (the first 24 bytes as numbers, and the entry's place), never the
// entries themselves.
class EntryTable {
public:
    explicit EntryTable(std::size_t width) : width_(width) {}

    void Reserve(std::size_t n) { buf_.reserve(n * width_); }
    // The entry under construction is appended to Buffer() by the caller.
    std::string& Buffer() { return buf_; }
    std::size_t Count() const { return buf_.size() / width_; }

    void Sort() {
        std::size_t n = Count();
        order_.resize(n);
        const unsigned char* base = reinterpret_cast<const unsigned char*>(buf_.data());
        const std::size_t w = width_;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char* p = base + i * w;
            order_[i] =
                Handle{BigEndian(p, 0, w), BigEndian(p, 8, w), BigEndian(p, 16, w), static_cast<std::uint32_t>(i)};
        }
        std::sort(order_.begin(), order_.end(), [base, w](const Handle& a, const Handle& b) {
            if (a.head != b.head) return a.head < b.head;
            if (a.next != b.next) return a.next < b.next;
            if (a.third != b.third) return a.third < b.third;
            if (w <= 24) return false;
            return std::memcmp(base + std::size_t(a.index) * w + 24, base + std::size_t(b.index) * w + 24, w - 24) < 0;
        });
    }

    std::string_view Sorted(std::size_t i) const {
        return std::string_view(buf_.data() + std::size_t(order_[i].index) * width_, width_);
    }

private:
    struct Handle {
        std::uint64_t head, next, third;  // bytes 1-8, 9-16 and 17-24 as numbers
        std::uint32_t index;
    };
    static std::uint64_t BigEndian(const unsigned char* p, std::size_t from, std::size_t width) {
        std::uint64_t k = 0;
        for (std::size_t b = from; b < from + 8; ++b) k = (k << 8) | (b < width ? p[b] : 0);
        return k;
    }
    std::size_t width_;
    std::string buf_;
    std::vector<Handle> order_;
};

// Replaces an index working file with the sorted entries; the count of
// records written (0 when the file cannot be written; the failure is logged).
std::int32_t WriteIndex(WorkFile& f, const std::string& path, int recordLength, EntryTable& entries, const char* who) {
    entries.Sort();
    if (!f.Open(path, recordLength, true)) {
        Log1(std::string(who) + ": " + f.Error());
        return 0;
    }
    WorkFile::Appender out(f, 1);
    std::size_t n = entries.Count();
    for (std::size_t i = 0; i < n; ++i) {
        if (!out.Add(entries.Sorted(i))) break;
    }
    if (!out.Finish() || out.Next() != static_cast<std::int64_t>(n) + 1) {
        Log1(std::string(who) + ": " + f.Error());
        f.Truncate(0);
        return 0;
    }
    return static_cast<std::int32_t>(n);
}

// The record number as the index keeps it; false (and a log line) when it
// does not fit six characters.
bool AppendRecNo(std::string& out, std::int64_t recNo, const char* who) {
    std::string digits = std::to_string(recNo);
    if (digits.size() > static_cast<std::size_t>(kRecNoWidth)) {
        Log1(std::string(who) + ": record " + digits + " does not fit the index, entry skipped");
        return false;
    }
    AppendPadded(out, digits, kRecNoWidth);
    return true;
}

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

void Index_Product() {
    gData.gAuxCount = 0;
    const std::size_t minLength = gSettings.gIndexShortWords ? 2 : 4;
    const std::size_t keyColumn = Num_Val(gSettings.gProductKeyMode) == 0 ? 12 : 40;
    const WorkFile& products = gData.products;
    const std::int32_t count = gData.gProductCount;

    EntryTable entries(kAuxEntry);
    entries.Reserve(static_cast<std::size_t>(std::max(count, 0)) * 4);
    std::string& buf = entries.Buffer();
    for (std::int32_t i = 1; i <= count; ++i) {
        std::string_view rec = products.View(i);
        std::string_view desc = TrimView(Mid(rec, 60, 30));
        if (desc.empty()) continue;
        std::string_view key = TrimView(Mid(rec, keyColumn, kProductKeyWidth));
        ForEachWord(desc, minLength, [&](std::string_view word) {
            std::size_t mark = buf.size();
            AppendLower(buf, word, kProductWordWidth);
            AppendPadded(buf, key, kProductKeyWidth);
            if (!AppendRecNo(buf, i, "Index_Product")) buf.resize(mark);
        });
    }
    gData.gAuxCount = WriteIndex(gData.auxIndex, gConstants.paths.gDataPath + ".AUX", 40, entries, "Index_Product");
}

void Index_Client() {
    gData.gCuxCount = 0;
    const WorkFile& clients = gData.clients;
    const std::int32_t count = gData.gClientCount;

    EntryTable entries(kCuxEntry);
    entries.Reserve(static_cast<std::size_t>(std::max(count, 0)) * 4);
    std::string& buf = entries.Buffer();
    std::string digits;
    for (std::int32_t i = 1; i <= count; ++i) {
        std::string_view rec = clients.View(i);
        ForEachWord(TrimView(Mid(rec, 20, 30)), 4, [&](std::string_view word) {
            std::size_t mark = buf.size();
            AppendLower(buf, word, kClientWordWidth);
            if (!AppendRecNo(buf, i, "Index_Client")) buf.resize(mark);
        });
        digits.clear();
        for (char c : TrimView(Mid(rec, 140, 20)))
            if (c >= '0' && c <= '9') digits.push_back(c);
        if (!digits.empty()) {
            std::size_t mark = buf.size();
            AppendPadded(buf, digits, kClientWordWidth);
            if (!AppendRecNo(buf, i, "Index_Client")) buf.resize(mark);
        }
    }
    gData.gCuxCount = WriteIndex(gData.cuxIndex, gConstants.paths.gDataPath + ".CUX", 30, entries, "Index_Client");
}

void Index_Pax() {
    gData.gPaxCount = 0;
    const std::string& files = gConstants.paths.gFilesPath;
    std::size_t slash = files.rfind('/');
    std::string path = slash == std::string::npos
                           ? files + ".PAX"
                           : FindFileNoCase(files.substr(0, slash), files.substr(slash + 1) + ".PAX");
    gData.paxIndex.Close();

    std::string text;
    if (!ReadWholeFile(path, text)) {
        Log1("Parse_FilePAX: Unable to sort file");
        return;
    }
    std::vector<std::string_view> lines = SortedLines(text);
    std::string why;
    if (!WriteFileAtomic(path, JoinCrLf(lines), FileMode(path), &why))
        Log1("Index_Pax: the sorted alias file cannot be written back: " + why);

    // The index keeps each line blank-padded or cut to 38 characters.
    EntryTable entries(kPaxEntry);
    entries.Reserve(lines.size());
    std::string& buf = entries.Buffer();
    for (std::string_view line : lines) AppendPadded(buf, line, kPaxEntry);
    gData.gPaxCount = WriteIndex(gData.paxIndex, gConstants.paths.gDataPath + ".PAX", 40, entries, "Index_Pax");
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
