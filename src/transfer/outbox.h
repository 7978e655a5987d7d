// The outbox: what has been built for the back office and how far its
// sending got, kept on disk so that a crash or an outage at any step never
// sends a record twice nor loses one.
//
// One entry per kind of upload (its extension: "TRA", "ACC" ...), holding the
// record range the upload file holds, the remote names (final, and the
// temporary one it is put under), the local file's size and the state
// reached:
//   Built  the upload file is complete on disk; nothing known on the server
//   Put    the whole file is on the server under the temporary name
//   Sent   the file is under its final name; its records still to be marked
// Each state is on disk before the next network step starts. The entry goes
// once its records are marked; a kind with an entry is not built again until
// then.
//
// The file, Files/<terminal>.OUT, holds one entry a line (CR LF):
//   kind|first|last|state|size|temporary name|final name|stamp
// and is replaced whole (temporary file, flush, rename), readable by its
// owner only.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

enum class OutboxState { Built, Put, Sent };

struct OutboxEntry {
    std::string kind;
    std::int64_t first = 0, last = 0;
    OutboxState state = OutboxState::Built;
    std::int64_t size = 0;
    std::string tempName, finalName;
    // What the records of the range held when the file was built (a digest,
    // their sent flags left out): a range whose records were emptied and
    // written again since (a reset of the files) is never marked.
    std::string stamp;

    bool operator==(const OutboxEntry&) const = default;
};

class Outbox {
public:
    explicit Outbox(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing file is an empty outbox. False (with `error`)
    // when the file cannot be read or a line is not an entry: then nothing
    // may be sent, since what was in flight is unknown. The file is left as
    // it is for a person to look at.
    bool Load(std::string* error);

    const std::vector<OutboxEntry>& Entries() const { return entries_; }
    std::optional<OutboxEntry> Find(const std::string& kind) const;
    int Pending() const { return static_cast<int>(entries_.size()); }

    // Adds the entry of its kind, or replaces it, and puts the file on disk
    // before returning. False (the outbox in memory and on disk as before)
    // when the entry cannot be stored or the file cannot be written.
    bool Store(const OutboxEntry& entry, std::string* error);
    // Takes the entry of `kind` out, on disk first.
    bool Remove(const std::string& kind, std::string* error);

    const std::string& Path() const { return path_; }

private:
    bool Save(const std::vector<OutboxEntry>& entries, std::string* error);

    std::string path_;
    std::vector<OutboxEntry> entries_;
};

// The outbox file of a terminal: gFilesPath & ".OUT".
std::string Outbox_Path(const std::string& filesPath);

// The name an upload of the terminal of `filesPath` is put under before it is
// renamed to `finalName` ("1234567-12091430.TRA.part"): no back-office
// pattern (by extension) matches it, and two registers on one account never
// put to the same temporary name, even in the same minute.
std::string Outbox_TemporaryName(const std::string& filesPath, const std::string& finalName);

}  // namespace tarvo
