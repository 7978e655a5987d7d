#include "platform/program_lock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo {
namespace {

std::mutex gMutex;
int gFd = -1;  // the lock file of the folder we hold

bool Fail(std::string* why, const std::string& what) {
    if (why) *why = what + ": " + std::strerror(errno);
    return false;
}

// Is `path` the very lock file we hold (the same folder under any name)?
bool Holding(const std::string& path) {
    struct stat held, named;
    return gFd >= 0 && ::fstat(gFd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

void Release() {
    if (gFd >= 0) ::close(gFd);  // closing the only descriptor lets the lock go
    gFd = -1;
}

}  // namespace

FolderLock ProgramFolder_Lock(const std::string& folder, std::string* why) {
    std::lock_guard<std::mutex> hold(gMutex);
    const std::string path = folder + "/" + kProgramLockFile;
    if (Holding(path)) return FolderLock::Taken;
    Release();

    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        Fail(why, "cannot open " + path);
        return FolderLock::Failed;
    }
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool inUse = errno == EWOULDBLOCK;
        Fail(why, inUse ? path + " is locked by another process" : "cannot lock " + path);
        ::close(fd);
        return inUse ? FolderLock::InUse : FolderLock::Failed;
    }
    gFd = fd;
    return FolderLock::Taken;
}

void ProgramFolder_Unlock() {
    std::lock_guard<std::mutex> hold(gMutex);
    Release();
}

}  // namespace tarvo
