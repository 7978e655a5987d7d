// The terminal's new clients (Data/<terminal>.NWC) and new products (.NWP):
// entries typed at the register that the back office does not know yet. Each
// waits there for the upload, which sends it and flags it sent.
//
// Both are work files sharing file number 29 (gData.newFile). Record 1 is the
// count record: the number of the last record in use as decimal text,
// blank-padded to the whole record text ("1": no entries). Entries follow
// from record 2, never rewritten here.
//
// NewClientRecord (498 characters): sent flag "0" (1), blank (2), client
// number 3-10, name 11-55, address 56-145, city 146-175, zip or postal code
// 176-187, telephone 188-217, fax 218-247, e-mail 248-297, contact 298-327,
// comments 328-477, template client id 478-485, blanks 486-498.
//
// NewProductRecord (298 characters): sent flag "0" (1), blank (2), product
// number 3-22, bar code 23-42, description 43-87, supplier's part number
// 88-107, cost 108-117, price 1 118-127, price 2 128-137, minimum, desired
// and maximum quantity 138-147, 148-157, 158-167, comments 168-267, template
// product id (8) and 12 blanks 268-287, blanks 288-298.
//
// Every field is the text as typed (already cleaned), cut or blank-padded on
// the right to its width from EntryFieldWidths; amounts stay text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

enum class NewEntryKind { Client, Product };

inline constexpr int kNewClientFields = 11;
inline constexpr int kNewProductFields = 12;
inline constexpr int kNewClientText = 498;
inline constexpr int kNewProductText = 298;

// `text` as stored in a field of `width`: cut, or padded with blanks on the
// right. Nothing is trimmed: the text stays as typed.
std::string EntryField_Fit(std::string_view text, int width);

// The width of field `field` (from 1) of an entry, from EntryFieldWidths.
int NewEntry_FieldWidth(NewEntryKind kind, int field);

// The record of an entry from its fields 1..11 (client) or 1..12 (product):
// "0 " then each field fitted to its width, padded to the record's text. An
// empty result when the fields are not all there.
std::string NewEntry_Record(NewEntryKind kind, const std::vector<std::string>& fields);

// Appends `record` to the new-client or new-product file, the one commit point
// of the entry: the file's count checked against its records, the record
// written past the count and flushed, then the count record rewritten and
// flushed. Returns the entry's record number (also gData.gNewCount), with the
// file left open on #29; 0 on failure, logged (with `who`), nothing counted.
std::int32_t NewEntry_Append(NewEntryKind kind, std::string_view record, const std::string& who);

// True when client number `number` (blanks around it ignored) is taken: by a
// client of the client master or by an entry of the new-client file. The
// sale's current client is not touched.
bool ClientNumber_Taken(const std::string& number);
// True when `key` already names a product the register sells by it (the
// product file's key column, or a product entered at this register).
bool ProductKey_Taken(const std::string& key);

}  // namespace tarvo
