/* A crash for the crash sweep: preloaded into a child process, it counts the
 * file-system calls that change files (opens, writes, cuts, flushes, renames,
 * removals, new folders) once the child has called tarvo_crash_arm(), and
 * ends the process with _exit(77) just before call number TARVO_CRASH_AT,
 * as a power cut or a kill at that instant would: what was written stays,
 * the call itself never happens. Standard output and error are not counted.
 * TARVO_CRASH_TRACE=1 prints each counted call to standard error. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static int armed;
static long calls;
static long crashAt = -1;
static int trace;

void tarvo_crash_arm(void) {
    const char* at = getenv("TARVO_CRASH_AT");
    const char* t = getenv("TARVO_CRASH_TRACE");
    crashAt = at ? atol(at) : 0;
    trace = t && *t == '1';
    calls = 0;
    armed = 1;
}

long tarvo_crash_calls(void) { return calls; }

static void Step(const char* what, const char* detail) {
    if (!armed) return;
    ++calls;
    if (trace) {
        char line[512];
        int n = snprintf(line, sizeof line, "fs call %ld: %s %s\n", calls, what, detail ? detail : "");
        if (n > 0) (void)!write(2, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
    }
    if (calls == crashAt) _exit(77);
}

static void StepFd(const char* what, int fd) {
    char d[32];
    if (fd == 1 || fd == 2) return;
    snprintf(d, sizeof d, "fd %d", fd);
    Step(what, d);
}

#define REAL(ret, name, ...)                \
    static ret (*real_##name)(__VA_ARGS__); \
    if (!real_##name) real_##name = (ret(*)(__VA_ARGS__))dlsym(RTLD_NEXT, #name)

static mode_t ModeArg(int flags, va_list ap) { return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(ap, int) : 0; }

int open(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = ModeArg(flags, ap);
    va_end(ap);
    REAL(int, open, const char*, int, ...);
    Step("open", path);
    return real_open(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = ModeArg(flags, ap);
    va_end(ap);
    REAL(int, open64, const char*, int, ...);
    Step("open", path);
    return real_open64(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = ModeArg(flags, ap);
    va_end(ap);
    REAL(int, openat, int, const char*, int, ...);
    Step("openat", path);
    return real_openat(dir, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
    REAL(int, creat, const char*, mode_t);
    Step("creat", path);
    return real_creat(path, mode);
}

ssize_t write(int fd, const void* buf, size_t n) {
    REAL(ssize_t, write, int, const void*, size_t);
    StepFd("write", fd);
    return real_write(fd, buf, n);
}

ssize_t writev(int fd, const struct iovec* iov, int count) {
    REAL(ssize_t, writev, int, const struct iovec*, int);
    StepFd("writev", fd);
    return real_writev(fd, iov, count);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t off) {
    REAL(ssize_t, pwrite, int, const void*, size_t, off_t);
    StepFd("pwrite", fd);
    return real_pwrite(fd, buf, n, off);
}

ssize_t pwrite64(int fd, const void* buf, size_t n, off_t off) {
    REAL(ssize_t, pwrite64, int, const void*, size_t, off_t);
    StepFd("pwrite", fd);
    return real_pwrite64(fd, buf, n, off);
}

int ftruncate(int fd, off_t len) {
    REAL(int, ftruncate, int, off_t);
    StepFd("ftruncate", fd);
    return real_ftruncate(fd, len);
}

int ftruncate64(int fd, off_t len) {
    REAL(int, ftruncate64, int, off_t);
    StepFd("ftruncate", fd);
    return real_ftruncate64(fd, len);
}

int truncate(const char* path, off_t len) {
    REAL(int, truncate, const char*, off_t);
    Step("truncate", path);
    return real_truncate(path, len);
}

int fsync(int fd) {
    REAL(int, fsync, int);
    StepFd("fsync", fd);
    return real_fsync(fd);
}

int fdatasync(int fd) {
    REAL(int, fdatasync, int);
    StepFd("fdatasync", fd);
    return real_fdatasync(fd);
}

int rename(const char* from, const char* to) {
    REAL(int, rename, const char*, const char*);
    Step("rename", to);
    return real_rename(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    REAL(int, renameat, int, const char*, int, const char*);
    Step("renameat", to);
    return real_renameat(fromDir, from, toDir, to);
}

int unlink(const char* path) {
    REAL(int, unlink, const char*);
    Step("unlink", path);
    return real_unlink(path);
}

int unlinkat(int dir, const char* path, int flags) {
    REAL(int, unlinkat, int, const char*, int);
    Step("unlinkat", path);
    return real_unlinkat(dir, path, flags);
}

int mkdir(const char* path, mode_t mode) {
    REAL(int, mkdir, const char*, mode_t);
    Step("mkdir", path);
    return real_mkdir(path, mode);
}
