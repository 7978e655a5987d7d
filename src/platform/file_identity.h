// What tells us cheaply that a file is still the one something was built
// from: its size, modification and change times (nanoseconds), inode number,
// and a checksum of its first and last 64 KiB. A file replaced by a rename
// gets a new inode and change time; one written in place a new modification
// and change time; the change time cannot be set back by a program. Reading
// two blocks costs far less than reading the file.
//
// Checksum64 is a fast 64-bit checksum (four-lane multiply-rotate rounds) for
// telling damaged bytes from good ones; it is not meant against an attacker.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

struct FileIdentity {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t edges = 0;  // checksum of the first and last 64 KiB

    bool operator==(const FileIdentity&) const = default;
};

// The identity of `path` as it is now; exists false when there is no regular
// file there (or it cannot be read).
FileIdentity FileIdentity_Of(const std::string& path);
// The same for an open file.
FileIdentity FileIdentity_OfFd(int fd);

std::uint64_t Checksum64(std::string_view bytes, std::uint64_t seed = 0);

// Checksum of `length` bytes of `fd` from `offset`, read in blocks of 1 MiB
// (no mapping, so the bytes read do not stay in the program's memory), each
// block's checksum seeding the next. False when the bytes cannot all be read.
bool Checksum64_OfRange(int fd, std::int64_t offset, std::int64_t length, std::uint64_t& out);

// Checksum64 over consecutive parts, giving what Checksum64_OfRange gives for
// the same bytes in a file: parts are gathered into blocks of 1 MiB.
class Checksum64Blocks {
public:
    void Add(std::string_view bytes);
    std::uint64_t Finish();

private:
    std::string block_;
    std::uint64_t sum_ = 0;
};

}  // namespace tarvo
