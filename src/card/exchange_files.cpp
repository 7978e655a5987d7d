#include "card/exchange_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/files.h"

namespace tarvo::card {

namespace {

std::string Why(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

ExchangeFiles::ExchangeFiles(std::string requestFolder) : folder_(std::move(requestFolder)) {}

ExchangeFiles::~ExchangeFiles() { Lock_Release(); }

ExchangeFiles::Lock ExchangeFiles::Lock_Take(std::string& error) {
    if (lockFd_ >= 0) return Lock::Taken;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    const std::string path = Path(".LCK");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = Why("cannot open " + path);
        return Lock::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        error = Why("cannot lock " + path);
        ::close(fd);
        return busy ? Lock::Busy : Lock::Failed;
    }
    lockFd_ = fd;
    return Lock::Taken;
}

void ExchangeFiles::Lock_Release() {
    if (lockFd_ < 0) return;
    ::flock(lockFd_, LOCK_UN);
    ::close(lockFd_);
    lockFd_ = -1;
}

int ExchangeFiles::Request_Write(const std::string& line, std::string& error) {
    const std::string tmp = Path(".TMP"), req = Path(".REQ");
    // Only a file created here is written: whatever stands at the name (a
    // file left by a crash, a link) is removed first; unlink never follows a link.
    if (::unlink(tmp.c_str()) != 0 && errno != ENOENT) {
        error = Why("cannot remove " + tmp);
        return 1;
    }
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = Why("cannot create " + tmp);
        return 1;
    }
    ::fchmod(fd, 0600);
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = Why("cannot write " + tmp);
            ok = false;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (ok && ::fsync(fd) != 0) {
        error = Why("cannot flush " + tmp);
        ok = false;
    }
    ::close(fd);
    if (!ok) {
        ::unlink(tmp.c_str());
        return 1;
    }
    ::unlink(req.c_str());  // a request left in place; a missing one is no error
    if (::rename(tmp.c_str(), req.c_str()) != 0) {
        error = Why("cannot rename " + tmp + " to " + req);
        ::unlink(tmp.c_str());
        return 2;
    }
    SyncFolderOf(req);
    return 0;
}

bool ExchangeFiles::Answer_Present() const {
    struct stat st;
    return ::lstat(Path(".ANS").c_str(), &st) == 0;
}

ExchangeFiles::Read ExchangeFiles::Answer_Read(std::string& line) const {
    line.clear();
    const std::string path = Path(".ANS");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return Read::NotOpened;
    std::string text;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return Read::NotRead;
        }
        if (n == 0) break;
        text.append(buf, static_cast<std::size_t>(n));
        if (text.find_first_of("\r\n") != std::string::npos || text.size() > 65536) break;
    }
    ::close(fd);
    line = text.substr(0, text.find_first_of("\r\n"));
    return Read::Line;
}

bool ExchangeFiles::Remove(const char* extension) const {
    const std::string path = Path(extension);
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    return false;
}

}  // namespace tarvo::card
