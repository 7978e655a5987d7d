// The upload files of the single-file kinds: the activity journal (.ACC),
// the stock counts (.PHY), and the clients and products entered at the
// register (.NWC, .NWP). Each holds one line per unsent record, the record
// without its sent flag; as for the sales, the builder returns the range it
// wrote and the marker flags exactly that range.
#pragma once
#include <string>

#include "transfer/sales_upload.h"

namespace tarvo {

enum class RecordKind { Activity, Physical, NewClients, NewProducts };

// The upload's extension: "ACC", "PHY", "NWC", "NWP".
const char* RecordKind_Extension(RecordKind kind);

// Builds the file at `path` (0600, replaced whole) from every record after
// the newest one flagged sent; with `resendAll` from record 2 on, except for
// the stock counts, whose scan is always made.
UploadBuild Records_CreateFile(RecordKind kind, const std::string& path, bool resendAll);

// A digest of the range's records as they are now, their sent flags left out.
std::string Records_RangeStamp(RecordKind kind, const UploadRange& range);

// Flags the range's records sent, every other column as it was, flushed once.
bool Records_MarkSent(RecordKind kind, const UploadRange& range);

}  // namespace tarvo
