// WorkFile: a random-access file of fixed-length records. Record k (from 1)
// starts at byte (k - 1) x N and holds one text: a 2-byte little-endian length
// L, then L windows-1252 bytes. Records are always written whole (the rest
// blank), so the file size is records x N.
//
// Reads go through a shared read-only mapping of the file, so a look-up that
// touches twenty records costs no system call; writes go through pwrite into
// the same page cache, so the mapping always sees them. The size we know is
// never trusted across another program that may change the file: a record
// past the known end makes us look at the file again, and a read of a page
// the file no longer has reads "no record" (see FileMapping) instead of
// ending the program with SIGBUS.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_mapping.h"

namespace tarvo {

class WorkFile {
public:
    WorkFile() = default;
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    // Opens (creating when missing, readable by its owner only, and its
    // folder entry flushed) for reading and writing; an existing file keeps
    // its mode. `truncate` cuts the file to length 0 first. A symbolic link
    // at `path` is refused, never followed. False with Error() on failure.
    // `headerBytes`: the records start after a header of that many bytes
    // (the saved indexes); record k starts at headerBytes + (k - 1) x N.
    bool Open(const std::string& path, int recordLength, bool truncate = false, std::int64_t headerBytes = 0);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    int RecordLength() const { return recLen_; }
    std::int64_t HeaderBytes() const { return base_; }
    // The descriptor, for reading the file as a whole (checksums); -1 closed.
    int Fd() const { return fd_; }

    // Whole records in the file as it is now (a partial last record is not
    // counted).
    std::int64_t RecordCount() const;
    // The file's length in bytes as it is now (one fstat).
    std::int64_t SizeBytes() const;

    // True when slot k holds a record as the writers leave one: a stored
    // length from 1 to N - 2 and no NUL byte in the text. A slot of a hole
    // or of zeros (length 0) or of garbage (a length no record can have)
    // holds none. Reads the slot from the file: for repairs, not look-ups.
    bool HoldsRecord(std::int64_t k) const;

    // The text of record k; "" beyond the end of the file or for k < 1. A
    // stored length larger than the record allows is cut to the record.
    std::string Read(std::int64_t k) const;
    // The same, without copying; valid until the next write or close.
    std::string_view View(std::int64_t k) const;

    // Writes `text` as record k. False (and nothing written) when the text is
    // longer than N - 2 or the write fails.
    bool Write(std::int64_t k, std::string_view text);

    // Cuts the file to `records` records.
    bool Truncate(std::int64_t records);
    // Makes the written records durable.
    bool Sync();

    const std::string& Error() const { return error_; }

    // Sequential writer for loads of many records: records are gathered in
    // memory and written in large blocks from record `first` on.
    class Appender {
    public:
        Appender(WorkFile& f, std::int64_t first);
        ~Appender();
        bool Add(std::string_view text);
        bool Finish();  // writes what is gathered; false on any failure
        std::int64_t Next() const { return next_; }

    private:
        bool FlushBuffer();
        WorkFile& f_;
        std::int64_t next_;
        std::int64_t bufferFirst_;
        std::string buf_;
        bool ok_ = true;
    };

    // Reads records `first`..`last` in order through a buffer of large
    // blocks: nothing of the file is mapped, so a pass over a large file does
    // not keep its pages in the program's memory. A record past the end of
    // the file reads as "" (as View does).
    class Reader {
    public:
        Reader(const WorkFile& f, std::int64_t first, std::int64_t last);
        bool Next(std::string_view& text);  // false after `last`
        std::int64_t Current() const { return next_ - 1; }

    private:
        const WorkFile& f_;
        std::int64_t next_, last_;
        std::int64_t bufFirst_ = 0, bufCount_ = 0;
        std::string buf_;
    };

private:
    void RefreshSize() const;
    bool EnsureMapped(std::int64_t bytes) const;
    static void Frame(std::string& out, std::string_view text, int recLen);

    int fd_ = -1;
    int recLen_ = 0;
    std::int64_t base_ = 0;
    std::string path_;
    mutable std::string error_;
    mutable FileMapping map_;
    mutable std::int64_t size_ = 0;  // bytes, as last seen or written by us
};

}  // namespace tarvo
