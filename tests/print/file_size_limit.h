// Lowers the file size limit of the process for one scope, so that a printer
// file fails part-way through a printout (the write is refused, no signal).
#pragma once
#include <sys/resource.h>

#include <csignal>

namespace tarvo {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

}  // namespace tarvo
