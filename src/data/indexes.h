// The keyword and alias indexes (.AUX product words, .CUX client names and
// telephone digits, .PAX product aliases), their prefix searches, and the
// sort of fixed-length text lines by byte order.
#pragma once
#include <string>
#include <string_view>

#include "data/data_state.h"

namespace tarvo {

void Index_Product();  // product working file -> .AUX (#13), gAuxCount
void Index_Client();   // client working file -> .CUX (#14), gCuxCount
void Index_Pax();      // Files/<terminal>.PAX sorted in place -> .PAX (#46), gPaxCount

// Index_Product and/or Index_Client: each saved index still current is
// opened; when both must be built they are built side by side (the log lines
// follow in the same order as from the two calls).
void Indexes_Build(bool products, bool clients);

// Prefix searches of gSearchText: gSearchFirst..gSearchLast, 0 when none.
void AuxProduct_Search();
void AuxClient_Search();
void AuxPax_Search();

// Sorts the lines of a text file in place in ascending byte order of the
// whole line (what "LC_ALL=C sort" gives), each line ending in CR LF as
// written. False when the file cannot be read or written (then unchanged).
bool Sort_File(const std::string& path);

// Lower case as the word index keeps it: A-Z and the accented capitals of
// windows-1252.
std::string LowerCase1252(std::string_view text);

}  // namespace tarvo
