// The sales upload file, Files/<terminal>.TRA: one line per invoice not yet
// reported to the back office, with its lines, its payments and, for a sale
// to a client entered at the register, that client's record.
//
// The builder returns the range of invoice records it wrote; the marker flags
// exactly that range, so an invoice saved between the two is never flagged
// without having been sent.
#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

struct UploadRange {
    std::int64_t first = 0, last = 0;  // records; first 0: nothing to send
    bool Empty() const { return first == 0; }
};

struct UploadBuild {
    bool ok = false;
    UploadRange range;
    std::string stamp;      // Sales_RangeStamp of the range
    std::int64_t size = 0;  // bytes of the file written
    std::string error;      // when not ok
};

// Builds the file at `path` (0600, replaced whole) from every invoice after
// the newest one flagged sent, or from every invoice with `resendAll`. An
// empty range leaves an empty file.
UploadBuild Sales_CreateFile(const std::string& path, bool resendAll);

// A digest of the invoice headers of the range as they are now, their sent
// flags left out: the same before and after marking, different once the
// files were emptied and other sales saved under those numbers.
std::string Sales_RangeStamp(const UploadRange& range);

// Flags invoices range.first to range.last sent ("1" in column 9), every
// other column as it was, flushed once at the end. False (and the log says
// why) when a record cannot be written.
bool Sales_MarkSent(const UploadRange& range);

}  // namespace tarvo
