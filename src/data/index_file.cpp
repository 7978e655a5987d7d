#include "data/index_file.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace tarvo {
namespace {

constexpr char kMagic[8] = {'T', 'R', 'V', 'I', 'N', 'D', 'E', 'X'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kSummed = 96;  // header bytes under the header checksum

void Put64(std::string& h, std::size_t at, std::uint64_t v) { std::memcpy(&h[at], &v, 8); }
void Put32(std::string& h, std::size_t at, std::uint32_t v) { std::memcpy(&h[at], &v, 4); }
std::uint64_t Get64(const std::string& h, std::size_t at) {
    std::uint64_t v;
    std::memcpy(&v, &h[at], 8);
    return v;
}
std::uint32_t Get32(const std::string& h, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, &h[at], 4);
    return v;
}

std::string TerminalField(const std::string& terminal) {
    std::string t = terminal.substr(0, 7);
    t.resize(8, '\0');
    return t;
}

void PutSource(std::string& h, const IndexSource& s) {
    Put64(h, 24, s.params);
    Put64(h, 32, static_cast<std::uint64_t>(s.text.exists ? s.text.size : -1));
    Put64(h, 40, static_cast<std::uint64_t>(s.text.modifiedNs));
    Put64(h, 48, static_cast<std::uint64_t>(s.text.changedNs));
    Put64(h, 56, s.text.inode);
    Put64(h, 64, s.text.edges);
    Put64(h, 72, static_cast<std::uint64_t>(s.records));
}

std::string Header(int recordLength, const IndexSource& s, std::int64_t count, std::uint64_t body) {
    std::string h(kIndexHeaderBytes, '\0');
    std::memcpy(&h[0], kMagic, 8);
    Put32(h, 8, kVersion);
    Put32(h, 12, static_cast<std::uint32_t>(recordLength));
    h.replace(16, 8, TerminalField(s.terminal));
    PutSource(h, s);
    Put64(h, 80, static_cast<std::uint64_t>(count));
    Put64(h, 88, body);
    Put64(h, 96, Checksum64(std::string_view(h.data(), kSummed)));
    return h;
}

bool ReadHeader(int fd, std::string& h) {
    h.assign(kIndexHeaderBytes, '\0');
    std::size_t done = 0;
    while (done < h.size()) {
        ssize_t n = ::pread(fd, h.data() + done, h.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

IndexVerdict IndexFile_Open(WorkFile& f, const std::string& path, int recordLength, const IndexSource& source,
                            std::int32_t& count, std::string& why) {
    f.Close();
    count = 0;
    why.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT) return IndexVerdict::Missing;
        why = "cannot be opened: " + std::string(std::strerror(errno));
        return IndexVerdict::Damaged;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    const FileIdentity self = FileIdentity_OfFd(fd);
    std::string h;
    if (!self.exists || self.size < kIndexHeaderBytes || !ReadHeader(fd, h) || std::memcmp(h.data(), kMagic, 8) != 0) {
        why = "is not a saved index";
        return IndexVerdict::OtherKind;
    }
    if (Get64(h, 96) != Checksum64(std::string_view(h.data(), kSummed))) {
        why = "has a damaged header";
        return IndexVerdict::Damaged;
    }
    if (Get32(h, 8) != kVersion || Get32(h, 12) != static_cast<std::uint32_t>(recordLength)) {
        why = "is an index of another layout (version " + std::to_string(Get32(h, 8)) + ", records of " +
              std::to_string(Get32(h, 12)) + ")";
        return IndexVerdict::OtherKind;
    }
    if (h.compare(16, 8, TerminalField(source.terminal)) != 0) {
        why = "belongs to terminal " + std::string(h.c_str() + 16);
        return IndexVerdict::Foreign;
    }
    std::string expected(kIndexHeaderBytes, '\0');
    PutSource(expected, source);
    if (h.compare(24, 56, expected, 24, 56) != 0) return IndexVerdict::Changed;

    const std::int64_t entries = static_cast<std::int64_t>(Get64(h, 80));
    const std::int64_t bodyBytes = self.size - kIndexHeaderBytes;
    if (entries < 0 || entries > INT32_MAX || bodyBytes != entries * recordLength) {
        why = "is cut (" + std::to_string(bodyBytes) + " bytes of records for " + std::to_string(entries) + " entries)";
        return IndexVerdict::Cut;
    }
    std::uint64_t body = 0;
    if (!Checksum64_OfRange(fd, kIndexHeaderBytes, bodyBytes, body) || body != Get64(h, 88)) {
        why = "has damaged records (their checksum differs)";
        return IndexVerdict::Damaged;
    }
    if (!f.Open(path, recordLength, false, kIndexHeaderBytes)) {
        why = f.Error();
        return IndexVerdict::Damaged;
    }
    count = static_cast<std::int32_t>(entries);
    return IndexVerdict::Good;
}

bool IndexFileWriter::Begin(const std::string& path, int recordLength, const IndexSource& source) {
    source_ = source;
    recLen_ = recordLength;
    count_ = 0;
    buf_.clear();
    sum_.Finish();
    error_.clear();
    ok_ = commit_.Begin(path, 0600) && commit_.Write(std::string(kIndexHeaderBytes, '\0'));
    if (!ok_) error_ = commit_.Error();
    buf_.reserve(1 << 20);
    return ok_;
}

bool IndexFileWriter::Add(std::string_view entry) {
    if (!ok_) return false;
    if (entry.size() > static_cast<std::size_t>(recLen_ - 2)) {
        error_ = "an entry of " + std::to_string(entry.size()) + " characters does not fit a record of " +
                 std::to_string(recLen_);
        return false;
    }
    const std::size_t start = buf_.size();
    buf_.resize(start + static_cast<std::size_t>(recLen_), ' ');
    buf_[start] = static_cast<char>(entry.size() & 0xFF);
    buf_[start + 1] = static_cast<char>((entry.size() >> 8) & 0xFF);
    std::memcpy(&buf_[start + 2], entry.data(), entry.size());
    ++count_;
    if (buf_.size() >= (1 << 20)) return Flush();
    return true;
}

bool IndexFileWriter::Flush() {
    if (!ok_) return false;
    sum_.Add(buf_);
    if (!commit_.Write(buf_)) {
        error_ = commit_.Error();
        ok_ = false;
        return false;
    }
    buf_.clear();
    return true;
}

bool IndexFileWriter::Commit() {
    if (!ok_ || !Flush()) return false;
    ok_ = false;
    if (!commit_.WriteAt(0, Header(recLen_, source_, count_, sum_.Finish())) || !commit_.Commit()) {
        error_ = commit_.Error();
        return false;
    }
    return true;
}

}  // namespace tarvo
