// The stamps of freshly loaded working files, written in the background: the
// working file is flushed to disk first and only then is its stamp written
// (through a temporary file, flushed and renamed), so a stamp never stands
// for records a power cut could take away. The start does not wait for the
// disk meanwhile. Whatever is about to change a working file or its stamp
// waits for that file's pending stamp first.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tarvo {

class PendingStamps {
public:
    PendingStamps() = default;
    ~PendingStamps() { WaitAll(); }
    PendingStamps(const PendingStamps&) = delete;
    PendingStamps& operator=(const PendingStamps&) = delete;

    // Flushes `fd` (a descriptor of the working file; taken over and
    // closed), then writes `bytes` to `stampPath`. Waits for an earlier
    // stamp of the same path first.
    void Start(const std::string& stampPath, int fd, std::string bytes);
    // Waits until the stamp of `stampPath` (if any) is written or given up.
    void Wait(const std::string& stampPath);
    void WaitAll();
    // What failed since the last call (one line each), for the log; read on
    // the thread that starts and waits.
    std::vector<std::string> TakeFailures();

private:
    struct Job {
        std::thread thread;
        std::string failure;  // written by the thread, read after the join
    };
    void Join(std::map<std::string, std::unique_ptr<Job>>::iterator it);
    std::map<std::string, std::unique_ptr<Job>> jobs_;
    std::vector<std::string> failures_;
};

}  // namespace tarvo
