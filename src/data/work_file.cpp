#include "data/work_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace tarvo {

WorkFile::~WorkFile() { Close(); }

bool WorkFile::Open(const std::string& path, int recordLength, bool truncate, std::int64_t headerBytes) {
    Close();
    path_ = path;
    recLen_ = recordLength;
    base_ = headerBytes;
    // A new file is created readable by its owner only.
    fd_ = OpenOrCreatePrivate(path, O_RDWR | (truncate ? O_TRUNC : 0));
    if (fd_ < 0) {
        error_ = OpenFailureText(path, errno);
        return false;
    }
    RefreshSize();
    return true;
}

void WorkFile::RefreshSize() const {
    struct stat st;
    size_ = fd_ >= 0 && ::fstat(fd_, &st) == 0 ? st.st_size : 0;
}

void WorkFile::Close() {
    map_.Release();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

std::int64_t WorkFile::RecordCount() const {
    RefreshSize();
    return recLen_ > 0 && size_ > base_ ? (size_ - base_) / recLen_ : 0;
}

std::int64_t WorkFile::SizeBytes() const {
    RefreshSize();
    return size_;
}

bool WorkFile::HoldsRecord(std::int64_t k) const {
    if (fd_ < 0 || k < 1 || recLen_ < 3) return false;
    std::string slot(static_cast<std::size_t>(recLen_), '\0');
    const off_t off = static_cast<off_t>(base_ + (k - 1) * recLen_);
    std::size_t done = 0;
    while (done < slot.size()) {
        const ssize_t n = ::pread(fd_, slot.data() + done, slot.size() - done, off + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // past the end, or cut under us
        done += static_cast<std::size_t>(n);
    }
    const std::size_t len =
        static_cast<std::size_t>(static_cast<unsigned char>(slot[0]) | (static_cast<unsigned char>(slot[1]) << 8));
    if (len < 1 || len > static_cast<std::size_t>(recLen_ - 2)) return false;
    return std::memchr(slot.data() + 2, '\0', len) == nullptr;
}

bool WorkFile::EnsureMapped(std::int64_t bytes) const {
    if (map_.Data() && static_cast<std::int64_t>(map_.Length()) >= bytes) return true;
    if (size_ <= 0) return false;
    // Map a little beyond the current size so appends rarely force a remap.
    // Views of the earlier mapping stay readable until our next write.
    std::int64_t len = size_ + size_ / 8 + (1 << 20);
    if (!map_.Map(fd_, static_cast<std::size_t>(len))) return false;
    return len >= bytes;
}

namespace {
// The text length stored in front of the record at `rec`, cut to the record.
// Every page of the record is read here, not later by the caller, so a file
// cut under us shows now: the length read the first page, and one byte at
// each 4 KiB boundary the record crosses (pages are never smaller) the
// others. Mostly there is none, and no second cache miss.
inline std::size_t TextLength(const char* rec, int recLen) {
    std::size_t len =
        static_cast<std::size_t>(static_cast<unsigned char>(rec[0]) | (static_cast<unsigned char>(rec[1]) << 8));
    const auto first = reinterpret_cast<std::uintptr_t>(rec);
    for (std::uintptr_t p = (first | 4095) + 1; p < first + static_cast<std::uintptr_t>(recLen); p += 4096)
        (void)*reinterpret_cast<const volatile char*>(p);
    return std::min(len, static_cast<std::size_t>(recLen - 2));
}
}  // namespace

std::string_view WorkFile::View(std::int64_t k) const {
    if (fd_ < 0 || k < 1 || recLen_ < 2) return {};
    const std::int64_t off = base_ + (k - 1) * recLen_;
    const std::int64_t end = off + recLen_;
    if (end <= size_ && map_.Data() && end <= static_cast<std::int64_t>(map_.Length())) {
        const char* rec = map_.Data() + off;
        const std::size_t len = TextLength(rec, recLen_);
        if (!map_.TakeFault()) return std::string_view(rec + 2, len);
        // Part of the mapping lies past the file's end: look at the file
        // again, and map it afresh for a record it still holds.
        map_.Retire();
        RefreshSize();
    } else if (end > size_) {
        // A record past the end we know may have been added by another program.
        RefreshSize();
    }
    if (end > size_ || !EnsureMapped(end)) return {};
    const char* rec = map_.Data() + off;
    const std::size_t len = TextLength(rec, recLen_);
    if (!map_.TakeFault()) return std::string_view(rec + 2, len);
    map_.Retire();  // cut again while we looked: no record this time
    RefreshSize();
    return {};
}

std::string WorkFile::Read(std::int64_t k) const { return std::string(View(k)); }

void WorkFile::Frame(std::string& out, std::string_view text, int recLen) {
    std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(recLen), ' ');
    out[start] = static_cast<char>(text.size() & 0xFF);
    out[start + 1] = static_cast<char>((text.size() >> 8) & 0xFF);
    std::memcpy(&out[start + 2], text.data(), text.size());
}

bool WorkFile::Write(std::int64_t k, std::string_view text) {
    if (fd_ < 0 || k < 1) {
        error_ = "write to a closed file or record " + std::to_string(k);
        return false;
    }
    if (text.size() > static_cast<std::size_t>(recLen_ - 2)) {
        error_ = "text of " + std::to_string(text.size()) + " characters does not fit a record of " +
                 std::to_string(recLen_) + " in " + path_;
        return false;
    }
    std::string rec;
    Frame(rec, text, recLen_);
    std::int64_t off = base_ + (k - 1) * recLen_;
    std::size_t done = 0;
    while (done < rec.size()) {
        ssize_t n = ::pwrite(fd_, rec.data() + done, rec.size() - done, static_cast<off_t>(off + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error_ = "cannot write " + path_ + ": " + std::strerror(errno);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (off + recLen_ > size_) size_ = off + recLen_;
    map_.DropEarlier();
    return true;
}

bool WorkFile::Truncate(std::int64_t records) {
    if (fd_ < 0) return false;
    map_.Release();
    if (::ftruncate(fd_, static_cast<off_t>(base_ + records * recLen_)) != 0) {
        error_ = "cannot cut " + path_ + ": " + std::strerror(errno);
        return false;
    }
    size_ = base_ + records * recLen_;
    return true;
}

bool WorkFile::Sync() {
    if (fd_ < 0) return false;
    if (::fdatasync(fd_) != 0) {
        error_ = "cannot flush " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

WorkFile::Appender::Appender(WorkFile& f, std::int64_t first) : f_(f), next_(first), bufferFirst_(first) {
    buf_.reserve(1 << 20);
}

WorkFile::Appender::~Appender() { Finish(); }

bool WorkFile::Appender::Add(std::string_view text) {
    if (!ok_) return false;
    if (text.size() > static_cast<std::size_t>(f_.recLen_ - 2)) {
        f_.error_ = "text of " + std::to_string(text.size()) + " characters does not fit a record of " +
                    std::to_string(f_.recLen_) + " in " + f_.path_;
        return false;
    }
    Frame(buf_, text, f_.recLen_);
    ++next_;
    if (buf_.size() >= (1 << 20)) return FlushBuffer();
    return true;
}

bool WorkFile::Appender::FlushBuffer() {
    if (buf_.empty() || !ok_) return ok_;
    std::int64_t off = f_.base_ + (bufferFirst_ - 1) * f_.recLen_;
    std::size_t done = 0;
    while (done < buf_.size()) {
        ssize_t n = ::pwrite(f_.fd_, buf_.data() + done, buf_.size() - done, static_cast<off_t>(off + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            f_.error_ = "cannot write " + f_.path_ + ": " + std::strerror(errno);
            ok_ = false;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    std::int64_t end = off + static_cast<std::int64_t>(buf_.size());
    if (end > f_.size_) f_.size_ = end;
    f_.map_.DropEarlier();
    bufferFirst_ = next_;
    buf_.clear();
    return true;
}

bool WorkFile::Appender::Finish() { return FlushBuffer(); }

WorkFile::Reader::Reader(const WorkFile& f, std::int64_t first, std::int64_t last)
    : f_(f), next_(std::max<std::int64_t>(first, 1)), last_(last) {}

bool WorkFile::Reader::Next(std::string_view& text) {
    if (next_ > last_) return false;
    const std::int64_t recLen = f_.recLen_;
    if (next_ >= bufFirst_ + bufCount_) {
        // The next block: about 1 MiB of whole records.
        const std::int64_t want =
            std::min<std::int64_t>(last_ - next_ + 1, std::max<std::int64_t>(1, (1 << 20) / recLen));
        buf_.resize(static_cast<std::size_t>(want * recLen));
        std::size_t done = 0;
        const off_t off = static_cast<off_t>(f_.base_ + (next_ - 1) * recLen);
        while (f_.fd_ >= 0 && done < buf_.size()) {
            ssize_t n = ::pread(f_.fd_, buf_.data() + done, buf_.size() - done, off + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        bufFirst_ = next_;
        bufCount_ = std::max<std::int64_t>(static_cast<std::int64_t>(done) / recLen, 0);
        if (bufCount_ == 0) bufCount_ = want;  // past the end: empty records
        if (static_cast<std::int64_t>(done) < bufCount_ * recLen)
            std::fill(buf_.begin() + static_cast<std::ptrdiff_t>(done), buf_.end(), '\0');
    }
    const char* rec = buf_.data() + (next_ - bufFirst_) * recLen;
    std::size_t len =
        static_cast<std::size_t>(static_cast<unsigned char>(rec[0]) | (static_cast<unsigned char>(rec[1]) << 8));
    len = std::min(len, static_cast<std::size_t>(recLen - 2));
    text = std::string_view(rec + 2, len);
    ++next_;
    return true;
}

}  // namespace tarvo
