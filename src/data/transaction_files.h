// Transaction working files: record 1 of each holds the number of the last
// record in use (1 = no documents); documents follow from record 2 and a
// document's number is its record number. The openers open a file under its
// fixed number and check, or repair, its header.
#pragma once
#include <cstdint>
#include <string>

#include "data/data_state.h"

namespace tarvo {

void Open_FileInvoice();     // .INV (#5) and .DTL (#6)
void Open_FilePayment();     // .PAY (#7)
void Open_FileActivity();    // .ACT (#8)
void Open_FilePhysical();    // .PHY (#24)
void Open_FileOrder();       // .ORD (#17), .ORL (#18), .ORP (#19)
void Open_Fileadjustment();  // .ADJ (#40), .ADD (#41)
void Open_Filepurchase();    // .PUR (#42), .PUL (#43)

// Empty the daily files (.INV .DTL .PAY .ACT) / every transaction file. Each
// returns how many documents not yet sent to the back office (sent flag "0")
// it emptied, so the caller can warn.
int Files_ResetDaily();
int Files_ResetAll();
// What each of them would lose: the documents not yet sent, counted without
// changing or creating any file.
int Files_UnsentDaily();
int Files_UnsentAll();

// Keep / put back the .INV, .DTL and .PAY counts around a training sale. The
// restore writes the lines' and payments' headers, then the invoice header,
// each flushed; false (logged) when a write failed.
void Headers_Save();
bool Headers_Restore();

// A header record as the writers put it: the digits of the count followed by
// `blanks` blanks, cut to `cut` characters when `cut` > 0.
std::string HeaderRecord(std::int64_t count, int blanks, int cut = 0);

// The numeric value of a header record (its first 8 characters).
std::int64_t HeaderCount(std::string_view record1);

// How a writer puts its header: the digits of the count padded and cut to the
// width, or followed by that many blanks (the activity journal's way).
enum class HeaderForm { PaddedToWidth, BlanksAfter };

// Appends one document by the header rule: the next record number is the
// header count + 1; the document is written there, then record 1 is rewritten
// as the digits of the new count with `headerWidth` blanks as `form` says,
// each write flushed. The file's counter follows. False (nothing counted)
// when a write fails or the count would pass 9,999,999.
bool Transaction_Append(WorkFile& f, std::int32_t& counter, int headerWidth, std::string_view document,
                        HeaderForm form = HeaderForm::PaddedToWidth);

}  // namespace tarvo
