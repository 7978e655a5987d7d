// Read-only shared mappings of files that another process may cut while they
// are mapped. Touching a mapped page that lies wholly past a file's end kills
// a program with SIGBUS; in a FileMapping such a page reads as zeros instead
// and the mapping notes it, so its reader can look at the file's real size
// again. Reads that stay inside the file cost nothing extra: the check is a
// SIGBUS handler, installed with the first mapping, that answers faults in
// our mappings and hands any other SIGBUS to what was there before (by
// default, the program ends as it would have).
#pragma once
#include <atomic>
#include <cstddef>
#include <vector>

namespace tarvo {

class FileMapping {
public:
    FileMapping() = default;
    ~FileMapping() { Release(); }
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Maps `length` bytes of `fd` from its start. An earlier mapping is kept
    // (pointers into it stay readable) until DropEarlier() or Release().
    bool Map(int fd, std::size_t length);
    // The current mapping becomes an earlier one: nothing is mapped until
    // the next Map.
    void Retire();
    // Unmaps the mappings made before the current one.
    void DropEarlier();
    // Unmaps everything.
    void Release();

    const char* Data() const { return data_; }
    std::size_t Length() const { return length_; }

    // True when a page of the current mapping was read past the file's end
    // since the last call (that page now reads as zeros). Inline: it follows
    // every read of a record.
    bool TakeFault() {
        // The handler runs on this thread, inside one of its reads: what it
        // stored is seen once the compiler keeps that read before this one.
        std::atomic_signal_fence(std::memory_order_seq_cst);
        if (!faulted_ || !faulted_->load(std::memory_order_relaxed)) return false;
        faulted_->store(false, std::memory_order_relaxed);
        return true;
    }

    struct Region;  // an address range the SIGBUS handler answers for

private:
    Region* current_ = nullptr;
    std::atomic<bool>* faulted_ = nullptr;  // the current region's fault note
    const char* data_ = nullptr;
    std::size_t length_ = 0;
    std::vector<Region*> earlier_;
};

}  // namespace tarvo
