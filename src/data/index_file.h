// The saved indexes (.AUX, .CUX, .PAX in Data/): built once, kept on disk and
// opened again at the next start while what they were built from is the same.
//
// Layout: a header of 128 bytes, then the index records exactly as every
// working file frames them (2-byte length, text, blanks to the record
// length), record k at byte 128 + (k - 1) x N. The header, little-endian:
//
//   0   8  "TRVINDEX"
//   8   4  format version (1)
//  12   4  record length N
//  16   8  the terminal number (7 digits, then a zero byte)
//  24   8  what the entries are made of: the index's own parameters (which
//          index, the key column, the shortest word)
//  32  40  the source text file's identity when the entries were made: size,
//          modification and change time (ns), inode, first/last block checksum
//  72   8  the number of records the source's working file held
//  80   8  the number of entries
//  88   8  Checksum64 of the records (in blocks of 1 MiB, see file_identity.h)
//  96   8  Checksum64 of bytes 0-95
// 104  24  zero
//
// The file is written whole through a temporary file, flushed and renamed
// over the old one, so a crash leaves the old index or the new one, never a
// part. An index is opened only when every field matches what it would be
// built from now and its records hash to the checksum.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "data/work_file.h"
#include "platform/file_identity.h"
#include "platform/files.h"

namespace tarvo {

constexpr std::int64_t kIndexHeaderBytes = 128;

// What an index is built from.
struct IndexSource {
    std::string terminal;
    std::uint64_t params = 0;
    FileIdentity text;         // the source text file
    std::int64_t records = 0;  // records of its working file
};

enum class IndexVerdict {
    Good,       // opened: the saved entries are used
    Missing,    // no saved index
    Changed,    // built from another source (a new master, other settings)
    Foreign,    // another terminal's index
    OtherKind,  // not an index of this layout or version
    Cut,        // shorter or longer than its header says
    Damaged,    // its records or header do not match their checksums
};

// Opens the saved index at `path` into `f` (records after the header) when it
// was built from `source`; `count` is its number of entries. Otherwise `f` is
// left closed and `why` says what was found (empty for Missing and Changed).
IndexVerdict IndexFile_Open(WorkFile& f, const std::string& path, int recordLength, const IndexSource& source,
                            std::int32_t& count, std::string& why);

// Writes a saved index: Begin, Add each entry in order, Commit.
class IndexFileWriter {
public:
    bool Begin(const std::string& path, int recordLength, const IndexSource& source);
    bool Add(std::string_view entry);  // blank-padded to the record; false when it does not fit
    bool Commit();                     // header, flush, rename into place
    std::int64_t Count() const { return count_; }
    const std::string& Error() const { return error_; }

private:
    bool Flush();
    FileCommit commit_;
    IndexSource source_;
    int recLen_ = 0;
    std::int64_t count_ = 0;
    std::string buf_, error_;
    Checksum64Blocks sum_;
    bool ok_ = false;
};

}  // namespace tarvo
