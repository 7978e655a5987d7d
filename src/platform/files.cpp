#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarvo {
namespace {
bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}
std::string FolderOf(const std::string& path) {
    std::size_t s = path.rfind('/');
    if (s == std::string::npos) return ".";
    if (s == 0) return "/";
    return path.substr(0, s);
}
}  // namespace

bool SyncFolderOf(const std::string& path) {
    int dfd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return false;
    bool ok = ::fsync(dfd) == 0;
    ::close(dfd);
    return ok;
}

int OpenOrCreatePrivate(const std::string& path, int flags) {
    // O_NOFOLLOW: a link planted where a working file belongs would have us
    // write (or cut) whatever it points at. O_CREAT | O_EXCL never follows one
    // either, dangling or not.
    flags |= O_CLOEXEC | O_NOFOLLOW;
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = ::open(path.c_str(), flags);
        if (fd >= 0 || errno != ENOENT) return fd;
        fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            SyncFolderOf(path);
            return fd;
        }
        if (errno != EEXIST) return -1;  // EEXIST: made meanwhile, open that one
    }
    return -1;
}

std::string OpenFailureText(const std::string& path, int error) {
    if (error == ELOOP || IsSymbolicLink(path))
        return path + " is a symbolic link; the register never writes a file through a link";
    return "cannot open " + path + ": " + std::strerror(error);
}

bool IsSymbolicLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, unsigned mode, std::string* error) {
    std::string tmp = path + ".tmp";
    // Only a file we create ourselves is written: whatever stands at the
    // temporary name (a file left by a crash, a planted symlink) is removed
    // (unlink never follows a link) and the name taken again, once.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(tmp.c_str(), flags, mode);
    if (fd < 0 && errno == EEXIST && ::unlink(tmp.c_str()) == 0) fd = ::open(tmp.c_str(), flags, mode);
    if (fd < 0) return Fail(error, "cannot create " + tmp);
    ::fchmod(fd, mode);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Fail(error, "cannot write " + tmp);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        Fail(error, "cannot flush " + tmp);
        ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    }
    ::close(fd);
    // rename puts the new file in place of a link standing at `path`; it never
    // writes to what the link points at.
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        Fail(error, "cannot rename " + tmp);
        ::unlink(tmp.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}

bool FileCommit::Begin(const std::string& path, unsigned mode) {
    Abort();
    path_ = path;
    tmp_ = path + ".tmp";
    end_ = 0;
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    fd_ = ::open(tmp_.c_str(), flags, mode);
    if (fd_ < 0 && errno == EEXIST && ::unlink(tmp_.c_str()) == 0) fd_ = ::open(tmp_.c_str(), flags, mode);
    if (fd_ < 0) return Fail(&error_, "cannot create " + tmp_);
    ::fchmod(fd_, mode);
    return true;
}

bool FileCommit::WriteAt(std::int64_t offset, std::string_view bytes) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Fail(&error_, "cannot write " + tmp_);
            Abort();
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    end_ = std::max(end_, offset + static_cast<std::int64_t>(bytes.size()));
    return true;
}

bool FileCommit::Write(std::string_view bytes) { return WriteAt(end_, bytes); }

bool FileCommit::Commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) {
        Fail(&error_, "cannot flush " + tmp_);
        Abort();
        return false;
    }
    ::close(fd_);
    fd_ = -1;
    if (::rename(tmp_.c_str(), path_.c_str()) != 0) {
        Fail(&error_, "cannot rename " + tmp_);
        ::unlink(tmp_.c_str());
        return false;
    }
    SyncFolderOf(path_);
    return true;
}

void FileCommit::Abort() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(tmp_.c_str());
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FindFileNoCase(const std::string& folder, std::string_view name) {
    std::string exact = folder + "/" + std::string(name);
    if (FileExists(exact)) return exact;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (std::strlen(e->d_name) == name.size() && ::strncasecmp(e->d_name, name.data(), name.size()) == 0) {
                std::string found = folder + "/" + e->d_name;
                ::closedir(d);
                return found;
            }
        }
        ::closedir(d);
    }
    return exact;
}

}  // namespace tarvo
