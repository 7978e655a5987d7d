// Unpacking a packed master file (a zip package holding one file).
#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

// The bytes free for an ordinary user on the file system of `folder`; -1
// when it cannot be asked.
std::int64_t FreeDiskBytes(const std::string& folder);

// Unpacks the one file of the package `packedPath` into a new file of
// `folder` (0600, flushed to disk) whose path comes back in `tempPath`; the
// caller gives it its final name. The entry's own name is never used. A
// package that is not a zip, is cut short, holds no file or more than one,
// whose file fails its check, or would unpack to more than `limit` bytes is
// refused with `error` saying why; nothing is left behind then.
bool Zip_UnpackOne(const std::string& packedPath, const std::string& folder, std::int64_t limit, std::string& tempPath,
                   std::string* error);

}  // namespace tarvo
