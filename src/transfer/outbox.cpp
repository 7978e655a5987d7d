#include "transfer/outbox.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>

#include "common/line_reader.h"
#include "platform/files.h"

namespace tarvo {

namespace {

const char* StateText(OutboxState s) {
    switch (s) {
    case OutboxState::Built: return "Built";
    case OutboxState::Put: return "Put";
    case OutboxState::Sent: return "Sent";
    }
    return "Built";
}

std::optional<OutboxState> StateFrom(std::string_view s) {
    if (s == "Built") return OutboxState::Built;
    if (s == "Put") return OutboxState::Put;
    if (s == "Sent") return OutboxState::Sent;
    return std::nullopt;
}

std::optional<std::int64_t> Number(std::string_view s) {
    std::int64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || v < 0) return std::nullopt;
    return v;
}

// A text that a line of the file can hold as one field.
bool Storable(const std::string& s) {
    for (unsigned char c : s)
        if (c == '|' || c < 0x20 || c == 0x7F) return false;
    return true;
}

std::optional<OutboxEntry> Parse(std::string_view line) {
    std::vector<std::string_view> f;
    std::string_view::size_type start = 0;
    while (true) {
        auto bar = line.find('|', start);
        f.push_back(line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    if (f.size() != 8 || f[0].empty() || f[5].empty() || f[6].empty()) return std::nullopt;
    auto first = Number(f[1]), last = Number(f[2]), size = Number(f[4]);
    auto state = StateFrom(f[3]);
    if (!first || !last || !size || !state) return std::nullopt;
    OutboxEntry e;
    e.kind = std::string(f[0]);
    e.first = *first;
    e.last = *last;
    e.state = *state;
    e.size = *size;
    e.tempName = std::string(f[5]);
    e.finalName = std::string(f[6]);
    e.stamp = std::string(f[7]);
    return e;
}

}  // namespace

std::string Outbox_Path(const std::string& filesPath) { return filesPath + ".OUT"; }

std::string Outbox_TemporaryName(const std::string& filesPath, const std::string& finalName) {
    return filesPath.substr(filesPath.find_last_of('/') + 1) + "-" + finalName + ".part";
}

bool Outbox::Load(std::string* error) {
    entries_.clear();
    struct stat st;
    if (::lstat(path_.c_str(), &st) != 0 && errno == ENOENT) return true;  // nothing sent yet
    std::string bytes;
    if (!ReadWholeFile(path_, bytes)) {
        if (error) *error = "the outbox " + path_ + " cannot be read";
        return false;
    }
    std::vector<OutboxEntry> read;
    int number = 0;
    for (const std::string& line : SplitLines(bytes)) {
        ++number;
        if (line.empty()) continue;
        auto e = Parse(line);
        if (!e) {
            if (error) *error = "the outbox " + path_ + " has a damaged line " + std::to_string(number);
            return false;
        }
        read.push_back(*e);
    }
    entries_ = std::move(read);
    return true;
}

std::optional<OutboxEntry> Outbox::Find(const std::string& kind) const {
    for (const auto& e : entries_)
        if (e.kind == kind) return e;
    return std::nullopt;
}

bool Outbox::Save(const std::vector<OutboxEntry>& entries, std::string* error) {
    std::string bytes;
    for (const auto& e : entries) {
        bytes += e.kind + "|" + std::to_string(e.first) + "|" + std::to_string(e.last) + "|" + StateText(e.state) +
                 "|" + std::to_string(e.size) + "|" + e.tempName + "|" + e.finalName + "|" + e.stamp + "\r\n";
    }
    return WriteFileAtomic(path_, bytes, 0600, error);
}

bool Outbox::Store(const OutboxEntry& entry, std::string* error) {
    if (entry.kind.empty() || entry.tempName.empty() || entry.finalName.empty() || !Storable(entry.kind) ||
        !Storable(entry.tempName) || !Storable(entry.finalName) || !Storable(entry.stamp) || entry.first < 0 ||
        entry.last < 0 || entry.size < 0) {
        if (error) *error = "an outbox entry that cannot be stored: " + entry.kind;
        return false;
    }
    std::vector<OutboxEntry> next = entries_;
    bool replaced = false;
    for (auto& e : next)
        if (e.kind == entry.kind) {
            e = entry;
            replaced = true;
        }
    if (!replaced) next.push_back(entry);
    if (!Save(next, error)) return false;
    entries_ = std::move(next);
    return true;
}

bool Outbox::Remove(const std::string& kind, std::string* error) {
    std::vector<OutboxEntry> next;
    for (const auto& e : entries_)
        if (e.kind != kind) next.push_back(e);
    if (next.size() == entries_.size()) return true;
    if (!Save(next, error)) return false;
    entries_ = std::move(next);
    return true;
}

}  // namespace tarvo
