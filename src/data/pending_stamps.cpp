#include "data/pending_stamps.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace tarvo {

void PendingStamps::Start(const std::string& stampPath, int fd, std::string bytes) {
    Wait(stampPath);
    auto job = std::make_unique<Job>();
    Job* j = job.get();
    j->thread = std::thread([j, fd, stampPath, bytes = std::move(bytes)] {
        if (::fdatasync(fd) != 0) {
            j->failure = "cannot flush the working file of " + stampPath + ": " + std::strerror(errno);
            ::close(fd);
            return;
        }
        ::close(fd);
        std::string why;
        if (!WriteFileAtomic(stampPath, bytes, 0600, &why)) j->failure = why;
    });
    jobs_.emplace(stampPath, std::move(job));
}

void PendingStamps::Join(std::map<std::string, std::unique_ptr<Job>>::iterator it) {
    it->second->thread.join();
    if (!it->second->failure.empty())
        failures_.push_back("the stamp " + it->first + " is not written (" + it->second->failure +
                            "), the next start loads the working file again");
    jobs_.erase(it);
}

void PendingStamps::Wait(const std::string& stampPath) {
    auto it = jobs_.find(stampPath);
    if (it != jobs_.end()) Join(it);
}

void PendingStamps::WaitAll() {
    while (!jobs_.empty()) Join(jobs_.begin());
}

std::vector<std::string> PendingStamps::TakeFailures() {
    std::vector<std::string> out;
    out.swap(failures_);
    return out;
}

}  // namespace tarvo
