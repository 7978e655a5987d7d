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

// Appends `text` blank-padded or cut to `width`.
void Upload_Fit(std::string& out, std::string_view text, std::size_t width);

// The part of one sale or order line (65 characters): product, quantity, list
// and unit price, the extension the sale computes (with the product's units
// factor; a product not on file logs `notFoundHead` key `notFoundTail` and
// counts with factor 1), the note and "|".
std::string Upload_LinePart(std::string_view line, const std::string& notFoundHead, const std::string& notFoundTail);

// The part of one payment (223 characters): amount, type, entry kind, the
// card's number, expiry and holder restored, then the card-data field, blanks
// unless `cardData` (as stored, never restored), then the reference.
std::string Upload_PaymentPart(std::string_view pay, bool cardData);

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
