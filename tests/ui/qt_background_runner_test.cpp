// The register's background runner on the Qt event loop.
#include "ui/qt_background_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace tarvo::ui {
namespace {

constexpr int kWaitMs = 10000;  // a limit for a loaded machine, not a measure

TEST(QtBackgroundRunner, CompletionsComeBackOnTheGuiThreadInOrderWhileTheLoopRuns) {
    QtBackgroundRunner runner;
    const std::thread::id gui = std::this_thread::get_id();
    std::vector<std::thread::id> workThreads, doneThreads;
    std::vector<int> done;
    for (int i = 1; i <= 3; ++i)
        runner.Post([&workThreads] { workThreads.push_back(std::this_thread::get_id()); },
                    [&, i] {
                        doneThreads.push_back(std::this_thread::get_id());
                        done.push_back(i);
                    });
    EXPECT_TRUE(done.empty());  // never before the event loop runs
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.Pending() == 0; }, kWaitMs));
    EXPECT_EQ(done, (std::vector<int>{1, 2, 3}));
    for (auto id : workThreads) EXPECT_NE(id, gui);
    for (auto id : doneThreads) EXPECT_EQ(id, gui);
}

TEST(QtBackgroundRunner, GoneBeforeItsCompletionRunsDropsIt) {
    bool ran = false;
    {
        QtBackgroundRunner runner;
        std::atomic<bool> worked{false};
        runner.Post([&] { worked = true; }, [&] { ran = true; });
        while (!worked) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace tarvo::ui
