// One register per program folder: an advisory lock (flock) on the lock file
// in the folder, taken first thing at start and held for the life of the
// process. The kernel lets it go when the process ends, however it ends, so a
// crash leaves no stale lock; the file is opened close-on-exec, so a restart
// (which re-executes the program) lets it go and the new image takes it again.
#pragma once
#include <string>

namespace tarvo {

constexpr const char* kProgramLockFile = "tarvo.lock";

enum class FolderLock {
    Taken,   // this process holds the folder
    InUse,   // another process holds it
    Failed,  // the lock file cannot be opened or locked (see `why`)
};

// Takes the lock of `folder` without waiting, creating the folder and the
// lock file (0600) when missing. The folder this process already holds is
// Taken again; the lock of another folder is let go first.
FolderLock ProgramFolder_Lock(const std::string& folder, std::string* why = nullptr);

// Lets the lock go (for tests: the end of the process does it otherwise).
void ProgramFolder_Unlock();

}  // namespace tarvo
