#include "platform/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tarvo {
namespace {

constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kP2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kP3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kP4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kP5 = 0x27D4EB2F165667C5ULL;
constexpr std::size_t kBlock = 1 << 20;
constexpr std::int64_t kEdge = 64 * 1024;

inline std::uint64_t Rotl(std::uint64_t v, int r) { return (v << r) | (v >> (64 - r)); }
inline std::uint64_t Load64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;  // little-endian machines only; the files never leave this one
}
inline std::uint64_t Round(std::uint64_t acc, std::uint64_t lane) { return Rotl(acc + lane * kP2, 31) * kP1; }
inline std::uint64_t Merge(std::uint64_t acc, std::uint64_t v) { return (acc ^ Round(0, v)) * kP1 + kP4; }

bool ReadAt(int fd, char* buf, std::size_t n, std::int64_t off) {
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd, buf + done, n - done, static_cast<off_t>(off + static_cast<std::int64_t>(done)));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        done += static_cast<std::size_t>(r);
    }
    return true;
}

}  // namespace

std::uint64_t Checksum64(std::string_view bytes, std::uint64_t seed) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const unsigned char* end = p + n;
    std::uint64_t h;
    if (n >= 32) {
        std::uint64_t v1 = seed + kP1 + kP2, v2 = seed + kP2, v3 = seed, v4 = seed - kP1;
        const unsigned char* limit = end - 32;
        do {
            v1 = Round(v1, Load64(p));
            v2 = Round(v2, Load64(p + 8));
            v3 = Round(v3, Load64(p + 16));
            v4 = Round(v4, Load64(p + 24));
            p += 32;
        } while (p <= limit);
        h = Rotl(v1, 1) + Rotl(v2, 7) + Rotl(v3, 12) + Rotl(v4, 18);
        h = Merge(h, v1);
        h = Merge(h, v2);
        h = Merge(h, v3);
        h = Merge(h, v4);
    } else {
        h = seed + kP5;
    }
    h += static_cast<std::uint64_t>(n);
    while (p + 8 <= end) {
        h ^= Round(0, Load64(p));
        h = Rotl(h, 27) * kP1 + kP4;
        p += 8;
    }
    while (p < end) {
        h ^= (*p) * kP5;
        h = Rotl(h, 11) * kP1;
        ++p;
    }
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

bool Checksum64_OfRange(int fd, std::int64_t offset, std::int64_t length, std::uint64_t& out) {
    std::vector<char> buf(static_cast<std::size_t>(std::min<std::int64_t>(length, kBlock)));
    std::uint64_t sum = 0;
    while (length > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(length, kBlock));
        if (!ReadAt(fd, buf.data(), n, offset)) return false;
        sum = Checksum64(std::string_view(buf.data(), n), sum);
        offset += static_cast<std::int64_t>(n);
        length -= static_cast<std::int64_t>(n);
    }
    out = sum;
    return true;
}

void Checksum64Blocks::Add(std::string_view bytes) {
    while (!bytes.empty()) {
        if (block_.empty() && bytes.size() >= kBlock) {
            sum_ = Checksum64(bytes.substr(0, kBlock), sum_);
            bytes.remove_prefix(kBlock);
            continue;
        }
        const std::size_t take = std::min(bytes.size(), kBlock - block_.size());
        block_.append(bytes.data(), take);
        bytes.remove_prefix(take);
        if (block_.size() == kBlock) {
            sum_ = Checksum64(block_, sum_);
            block_.clear();
        }
    }
}

std::uint64_t Checksum64Blocks::Finish() {
    if (!block_.empty()) sum_ = Checksum64(block_, sum_);
    block_.clear();
    std::uint64_t s = sum_;
    sum_ = 0;
    return s;
}

FileIdentity FileIdentity_OfFd(int fd) {
    FileIdentity id;
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return id;
    id.size = st.st_size;
    id.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    id.inode = st.st_ino;
    const std::int64_t head = std::min<std::int64_t>(id.size, kEdge);
    const std::int64_t tailFrom = std::max<std::int64_t>(head, id.size - kEdge);
    std::uint64_t a = 0, b = 0;
    if (!Checksum64_OfRange(fd, 0, head, a) || !Checksum64_OfRange(fd, tailFrom, id.size - tailFrom, b)) return id;
    id.edges = Checksum64(std::string_view(reinterpret_cast<const char*>(&b), sizeof b), a);
    id.exists = true;
    return id;
}

FileIdentity FileIdentity_Of(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    FileIdentity id = FileIdentity_OfFd(fd);
    ::close(fd);
    return id;
}

}  // namespace tarvo
