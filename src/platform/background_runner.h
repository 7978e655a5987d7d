// The background seam: a wait on a server or a device never runs on the
// user-interface thread. The work goes to a worker thread with copies of
// what it needs (it touches no program state); its completion then runs on
// the user-interface thread, where the program state is changed. The program
// backs it with Qt's event loop; tests run the completions by hand, as they
// fire the manual timers.
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tarvo {

class BackgroundRunner {
public:
    virtual ~BackgroundRunner() = default;
    // Runs `work` on the worker thread (one piece of work at a time, in the
    // order posted), then `done` on the user-interface thread.
    virtual void Post(std::function<void()> work, std::function<void()> done) = 0;
    // Called by the work in hand, on the worker thread: `note` runs on the
    // user-interface thread, in the order given and before the work's
    // completion (how far a long piece of work has come, shown meanwhile).
    virtual void Notify(std::function<void()> note) = 0;
    // Pieces of work posted whose completion has not run yet.
    virtual int Pending() const = 0;
};

// Work that gives a result: the result is handed to `done`.
template <class T>
void RunInBackground(BackgroundRunner& runner, std::function<T()> work, std::function<void(T)> done) {
    auto result = std::make_shared<T>();
    runner.Post([result, work = std::move(work)] { *result = work(); },
                [result, done = std::move(done)] { done(std::move(*result)); });
}

// One worker thread and its queue; how a completion reaches the
// user-interface thread is the subclass's.
class WorkerRunner : public BackgroundRunner {
public:
    WorkerRunner();
    ~WorkerRunner() override;
    WorkerRunner(const WorkerRunner&) = delete;
    WorkerRunner& operator=(const WorkerRunner&) = delete;

    void Post(std::function<void()> work, std::function<void()> done) override;
    void Notify(std::function<void()> note) override { Deliver(std::move(note)); }
    int Pending() const override { return pending_; }

protected:
    // Called on the worker thread: have `completion` run on the
    // user-interface thread.
    virtual void Deliver(std::function<void()> completion) = 0;
    // Waits for the work in hand to end and stops the worker; a subclass
    // calls it first in its destructor, before Deliver goes away. Work not
    // started yet is dropped.
    void Stop();

private:
    void Loop();

    struct Job {
        std::function<void()> work;
        std::function<void()> done;
    };
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    int pending_ = 0;  // user-interface thread only
    std::thread thread_;
};

// The runner of tests: the work runs on a real worker thread; completions
// wait until the test runs them.
class ManualRunner : public WorkerRunner {
public:
    ~ManualRunner() override { Stop(); }
    // Runs the completions that have arrived; returns how many ran.
    int RunCompleted();
    // Waits up to `waitMs` for at least one completion, then runs those that
    // have arrived. Returns how many ran.
    int WaitAndRun(int waitMs);
    // Runs completions until nothing is pending or `waitMs` have passed;
    // true when nothing is pending.
    bool RunUntilIdle(int waitMs);

protected:
    void Deliver(std::function<void()> completion) override;

private:
    std::mutex doneMutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> completed_;
};

}  // namespace tarvo
