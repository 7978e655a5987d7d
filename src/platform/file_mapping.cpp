#include "platform/file_mapping.h"

#include <sys/mman.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>

namespace tarvo {

// The handler looks regions up without locks: they live in blocks that are
// only ever added to, and a region is published by storing its start last.
struct FileMapping::Region {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::size_t> length{0};
    std::atomic<bool> faulted{false};
    std::atomic<bool> used{false};
};

namespace {

using Region = FileMapping::Region;

struct Block {
    Region regions[64];
    std::atomic<Block*> next{nullptr};
};

Block gFirstBlock;
std::uintptr_t gPageSize = 4096;
struct sigaction gPrevious {};

Region* Claim(const void* begin, std::size_t length) {
    Block* b = &gFirstBlock;
    for (;;) {
        for (Region& r : b->regions) {
            bool expected = false;
            if (r.used.compare_exchange_strong(expected, true, std::memory_order_acq_rel)) {
                r.faulted.store(false, std::memory_order_relaxed);
                r.length.store(length, std::memory_order_relaxed);
                r.begin.store(reinterpret_cast<std::uintptr_t>(begin), std::memory_order_release);
                return &r;
            }
        }
        Block* next = b->next.load(std::memory_order_acquire);
        if (!next) {
            Block* fresh = new Block;
            if (b->next.compare_exchange_strong(next, fresh, std::memory_order_acq_rel))
                next = fresh;
            else
                delete fresh;  // another thread added one: `next` is that one
        }
        b = next;
    }
}

void Unmap(Region* r) {
    const std::uintptr_t begin = r->begin.load(std::memory_order_relaxed);
    const std::size_t length = r->length.load(std::memory_order_relaxed);
    r->begin.store(0, std::memory_order_release);
    ::munmap(reinterpret_cast<void*>(begin), length);
    r->used.store(false, std::memory_order_release);
}

Region* Find(std::uintptr_t address) {
    for (Block* b = &gFirstBlock; b; b = b->next.load(std::memory_order_acquire)) {
        for (Region& r : b->regions) {
            const std::uintptr_t begin = r.begin.load(std::memory_order_acquire);
            if (begin != 0 && address >= begin && address - begin < r.length.load(std::memory_order_relaxed)) return &r;
        }
    }
    return nullptr;
}

void OnBusError(int sig, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    // si_code > 0: a fault of this thread's own access, not a signal sent.
    if (info && info->si_code > 0) {
        const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
        if (Region* r = Find(address)) {
            // The page lies past the end of a file cut under us: a page of
            // zeros in its place, so the access is repeated and reads "no
            // record".
            void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
            if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
                r->faulted.store(true, std::memory_order_relaxed);
                errno = savedErrno;
                return;
            }
        }
    }
    errno = savedErrno;
    if (gPrevious.sa_flags & SA_SIGINFO) {
        if (gPrevious.sa_sigaction) gPrevious.sa_sigaction(sig, info, context);
        return;
    }
    if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
        gPrevious.sa_handler(sig);
        return;
    }
    // Not ours, and nobody handled SIGBUS before: end as without us.
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

void InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        const long page = ::sysconf(_SC_PAGESIZE);
        if (page > 0) gPageSize = static_cast<std::uintptr_t>(page);
        struct sigaction sa {};
        sa.sa_sigaction = OnBusError;
        sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGBUS, &sa, &gPrevious);
    });
}

}  // namespace

bool FileMapping::Map(int fd, std::size_t length) {
    InstallHandler();
    void* p = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) return false;
    Retire();
    current_ = Claim(p, length);
    faulted_ = &current_->faulted;
    data_ = static_cast<const char*>(p);
    length_ = length;
    return true;
}

void FileMapping::Retire() {
    if (current_) earlier_.push_back(current_);
    current_ = nullptr;
    faulted_ = nullptr;
    data_ = nullptr;
    length_ = 0;
}

void FileMapping::DropEarlier() {
    for (Region* r : earlier_) Unmap(r);
    earlier_.clear();
}

void FileMapping::Release() {
    DropEarlier();
    if (current_) Unmap(current_);
    current_ = nullptr;
    faulted_ = nullptr;
    data_ = nullptr;
    length_ = 0;
}

}  // namespace tarvo
