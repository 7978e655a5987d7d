#include "platform/background_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace tarvo {
namespace {

TEST(BackgroundRunner, WorkRunsOnTheWorkerAndItsCompletionOnlyWhenPumpedOnThePumpingThread) {
    ManualRunner runner;
    const std::thread::id ui = std::this_thread::get_id();
    std::atomic<bool> workDone{false};
    std::thread::id workThread, doneThread;
    std::string buffer = "sales of the day";
    std::vector<std::string> log;

    runner.Post(
        [&workThread, &workDone, copy = buffer]() mutable {
            workThread = std::this_thread::get_id();
            copy += " sent";
            workDone = true;
        },
        [&] {
            doneThread = std::this_thread::get_id();
            log.push_back("done");
        });
    EXPECT_EQ(runner.Pending(), 1);
    for (int i = 0; i < 500 && !workDone; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(workDone);
    EXPECT_TRUE(log.empty());  // nothing reaches the register until it pumps
    EXPECT_EQ(runner.Pending(), 1);

    EXPECT_EQ(runner.WaitAndRun(2000), 1);
    EXPECT_EQ(log, std::vector<std::string>{"done"});
    EXPECT_NE(workThread, ui);
    EXPECT_EQ(doneThread, ui);
    EXPECT_EQ(runner.Pending(), 0);
    EXPECT_EQ(buffer, "sales of the day");
}

TEST(BackgroundRunner, WorkRunsOneAtATimeInOrderAndACompletionMayPostAgain) {
    ManualRunner runner;
    std::vector<int> order;  // written by the worker only, read after it is idle
    std::vector<std::string> steps;
    std::atomic<int> running{0}, most{0};
    auto work = [&](int n) {
        return [&, n] {
            int now = ++running;
            if (now > most) most = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            order.push_back(n);
            --running;
        };
    };
    runner.Post(work(1), [&] { steps.push_back("1"); });
    runner.Post(work(2), [&] {
        steps.push_back("2");
        // The continuation of a step starts the next one.
        RunInBackground<int>(
            runner, [] { return 42; }, [&](int v) { steps.push_back("then " + std::to_string(v)); });
    });
    runner.Post(work(3), [&] { steps.push_back("3"); });
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(most, 1);
    EXPECT_EQ(steps, (std::vector<std::string>{"1", "2", "3", "then 42"}));
}

TEST(BackgroundRunner, ARunnerGoneWithWorkQueuedEndsWithoutRunningCompletions) {
    std::atomic<int> worked{0};
    int completed = 0;
    {
        ManualRunner runner;
        for (int i = 0; i < 3; ++i)
            runner.Post(
                [&] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    ++worked;
                },
                [&] { ++completed; });
    }
    EXPECT_LE(worked, 3);
    EXPECT_EQ(completed, 0);
}

}  // namespace
}  // namespace tarvo
