// What every upload builder does with the records it copies: fields padded
// to their width, the first record of a document found, and the digest of a
// range of records that tells whether they are still the ones sent.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/work_file.h"
#include "transfer/sales_upload.h"

namespace tarvo {

// Appends columns col..col+width-1 of `record`, blank-padded to `width` when
// the stored record is short, so a later column never shifts.
void Upload_Copy(std::string& out, std::string_view record, std::size_t col, std::size_t width);

// The first record from 2 to `last` of `f` whose columns 1-7 are `number`; 0
// when none. Documents and their lines are appended in number order, so the
// file is sorted on those columns.
std::int64_t Upload_FirstOf(const WorkFile& f, std::int64_t last, std::string_view number);

// FNV-1a over records range.first..range.last of `f`, the byte at
// `flagIndex` (0-based: the sent flag) left out: the same before and after
// marking, different once the file was emptied and other records saved under
// those numbers.
std::string Upload_RangeStamp(const WorkFile& f, const UploadRange& range, std::size_t flagIndex);

}  // namespace tarvo
