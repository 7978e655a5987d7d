// File-system helpers of the platform layer: atomic replacement and
// case-insensitive look-up of received files.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// Replaces `path` with `bytes`: write a temporary file beside it, fsync,
// rename over the old file, fsync the folder. On failure the old file is left
// as it was and `error` says what failed.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, unsigned mode, std::string* error = nullptr);

// The same commit for a file written piece by piece (a large index): the
// pieces go to a temporary file beside `path`; Commit() flushes it, renames it
// over `path` and flushes the folder. Until then `path` is as it was; a commit
// not made (failure, or the object destroyed first) removes the temporary.
class FileCommit {
public:
    FileCommit() = default;
    ~FileCommit() { Abort(); }
    FileCommit(const FileCommit&) = delete;
    FileCommit& operator=(const FileCommit&) = delete;

    bool Begin(const std::string& path, unsigned mode);
    bool Write(std::string_view bytes);  // appended
    bool WriteAt(std::int64_t offset, std::string_view bytes);
    bool Commit();
    void Abort();
    const std::string& Error() const { return error_; }

private:
    int fd_ = -1;
    std::string path_, tmp_, error_;
    std::int64_t end_ = 0;
};

// Flushes the folder entry of `path` (a file just created or renamed there)
// to disk. False when the folder cannot be opened or flushed.
bool SyncFolderOf(const std::string& path);

// Opens `path` with `flags` (O_RDWR, O_APPEND ...) as it is when it exists;
// otherwise creates it readable by its owner only (0600) and flushes its
// folder entry, so a crash cannot lose the new file. A symbolic link at
// `path` is never followed: it is refused with errno ELOOP, so nothing is
// ever written to a file elsewhere through it. -1 with errno on failure.
int OpenOrCreatePrivate(const std::string& path, int flags);

// Why opening `path` failed, for the log and the screen: a symbolic link is
// named as such, anything else by the system's description of `error`.
std::string OpenFailureText(const std::string& path, int error);

// True when `path` itself is a symbolic link (dangling or not).
bool IsSymbolicLink(const std::string& path);

// Whole file into `out`; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

bool FileExists(const std::string& path);

// The existing file in `folder` whose name equals `name` ignoring ASCII case;
// the path as it would be created when none exists.
std::string FindFileNoCase(const std::string& folder, std::string_view name);

}  // namespace tarvo
