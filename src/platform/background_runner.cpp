#include "platform/background_runner.h"

#include <chrono>

namespace tarvo {

WorkerRunner::WorkerRunner() : thread_([this] { Loop(); }) {}

WorkerRunner::~WorkerRunner() { Stop(); }

void WorkerRunner::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void WorkerRunner::Post(std::function<void()> work, std::function<void()> done) {
    ++pending_;
    // The count comes down on the user-interface thread, just before the
    // completion runs, so a completion that posts again sees it right.
    auto finish = [this, done = std::move(done)] {
        --pending_;
        if (done) done();
    };
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back({std::move(work), std::move(finish)});
    }
    wake_.notify_one();
}

void WorkerRunner::Loop() {
    while (true) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        if (job.work) job.work();
        Deliver(std::move(job.done));
    }
}

void ManualRunner::Deliver(std::function<void()> completion) {
    {
        std::lock_guard<std::mutex> lock(doneMutex_);
        completed_.push_back(std::move(completion));
    }
    arrived_.notify_all();
}

int ManualRunner::RunCompleted() {
    std::deque<std::function<void()>> ready;
    {
        std::lock_guard<std::mutex> lock(doneMutex_);
        ready.swap(completed_);
    }
    for (auto& completion : ready) completion();
    return static_cast<int>(ready.size());
}

int ManualRunner::WaitAndRun(int waitMs) {
    {
        std::unique_lock<std::mutex> lock(doneMutex_);
        arrived_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return !completed_.empty(); });
    }
    return RunCompleted();
}

bool ManualRunner::RunUntilIdle(int waitMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (Pending() > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        WaitAndRun(static_cast<int>(left.count()));
    }
    return Pending() == 0;
}

}  // namespace tarvo
