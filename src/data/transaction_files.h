// Transaction working files: record 1 of each holds the number of the last
// record in use (1 = no documents); documents follow from record 2 and a
// document's number is its record number. The openers open a file under its
// fixed number and check, or repair, its header.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

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

// ---- the header check every opener of a transaction file runs ----
//
// Record 1 is the commit point of the file: a writer puts its record past
// the count, flushes it, and only then rewrites record 1. So:
// - a header holding a count from 1 to the file's whole records is trusted
//   as it stands (one fstat, no scan). Records past it were never committed:
//   a save that stopped before its header, or a training sale, which lies past
//   the counts on purpose; the next document takes their place.
// - a header counting past the last whole record (the file was cut short, or
//   the header edited) is cut back to the last whole record; a record cut
//   part way at the end is not counted.
// - a header no writer ever writes (shorter than 8 characters, none at all,
//   no number, a count outside 0 to 9,999,999, or 0) is rebuilt from the
//   records that are there: the last slot from the end that holds a record
//   (see RecordTest), so no record is written over and none given up. Every
//   writer puts a header into a file before its first record, so a missing
//   header with records behind it is damage, not a save that stopped.
// - an empty file counts 1 (no documents).
enum class HeaderFault { None, EmptyFile, Short, NoNumber, OutOfRange, Zero, PastEnd, CutRecord };

// What marks a slot as holding a record when a header is rebuilt from the
// file. Every writer frames its record (a stored length from 1 to N - 2, no
// NUL byte in it); a slot of a hole or of zeros holds none.
enum class RecordTest {
    Framed,     // any framed record (lines, payments, journal, count)
    OwnNumber,  // columns 1-7 hold the record's own number (invoices, orders, adjustments, purchases)
    SentFlag,   // column 1 holds the sent flag "0" or "1" (new clients, new products)
};

struct HeaderVerdict {
    std::int64_t count = 1;                 // the count the file bears out
    HeaderFault fault = HeaderFault::None;  // None: record 1 stands as it is
    std::int64_t stated = 0;                // the count the header held
};

HeaderVerdict Header_Check(const WorkFile& f, RecordTest test);

// The log text of a repair that the openers' fixed texts do not describe
// (Zero, PastEnd, CutRecord); empty for the others.
std::string HeaderVerdict_Text(const HeaderVerdict& v, const WorkFile& f);

// How a writer puts its header: the digits of the count padded and cut to the
// width, or followed by that many blanks (the activity journal's way).
enum class HeaderForm { PaddedToWidth, BlanksAfter };

// Appends one document by the header rule: the next record number is the
// header count + 1; the document is written there, then record 1 is rewritten
// as the digits of the new count with `headerWidth` blanks as `form` says,
// each write flushed. The file's counter follows. False when a write fails
// or the count would pass 9,999,999: then the file is put back as it was
// (its length and record 1), so a failure reported is a record not counted.
bool Transaction_Append(WorkFile& f, std::int32_t& counter, int headerWidth, std::string_view document,
                        HeaderForm form = HeaderForm::PaddedToWidth);

// The record number the next document (or line, or payment) of `f` takes:
// the header's count + 1, never record 1 (a count below 1 counts as 1).
std::int64_t Transaction_NextRecord(const WorkFile& f);

// One file of a document being saved: its records, appended from record
// `first` (the file's next record), and the form of the header that counts
// them (the digits of the new count followed by `headerBlanks` blanks, cut to
// `headerCut` characters when that is above 0). `counter` follows the count.
struct DocumentPart {
    WorkFile* file = nullptr;
    const char* extension = "";
    std::int64_t first = 0;
    std::vector<std::string> records;
    int headerBlanks = 0;
    int headerCut = 0;
    std::int32_t* counter = nullptr;
};

// Saves one document whole or not at all. parts[0] is the document file (a
// sale's invoice, an order's or a purchase's header), the others hold its
// lines and payments. Every record reaches the disk, lines and payments
// first, before any count changes; then the lines' and payments' headers;
// the document file's header last: that write is the commit point (the
// openers uncount lines and payments of a document above it). Each step is
// flushed. With `count` false the records are written past the counts and no
// header changes (a training sale).
// On any failure every file is put back as it was (its size and header
// record), a log line names `who`, the step and the file, and the answer is
// false; no counter changes.
bool Document_Commit(std::span<DocumentPart> parts, const std::string& who, bool count = true);

// Test seam: called before each write of a commit (and of a single-file
// append, Transaction_Append) with the file's extension and the step
// ("records", "header", "sync"); false makes that write fail as an I/O error
// would.
using DocumentWriteHook = std::function<bool(const std::string& file, const std::string& step)>;
void DocumentCommit_SetWriteHook(DocumentWriteHook hook);

}  // namespace tarvo
