// The upload files of the documents with lines besides sales: stock
// adjustments (.ADJ) and purchases (.PUR). One line per unsent document, its
// header followed by its lines; the builder returns the range of headers it
// wrote and the marker flags exactly those.
#pragma once
#include <string>

#include "transfer/sales_upload.h"

namespace tarvo {

enum class DocumentKind { Adjustments, Purchases };

const char* DocumentKind_Extension(DocumentKind kind);  // "ADJ", "PUR"

// Builds the file at `path` (0600, replaced whole) from every document after
// the newest one flagged sent (the scan is made in every mode).
UploadBuild Documents_CreateFile(DocumentKind kind, const std::string& path);

// A digest of the range's headers as they are now, their sent flags left out.
std::string Documents_RangeStamp(DocumentKind kind, const UploadRange& range);

// Flags the range's headers sent (column 9), flushed once.
bool Documents_MarkSent(DocumentKind kind, const UploadRange& range);

}  // namespace tarvo
