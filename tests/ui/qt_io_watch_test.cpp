// The register's descriptor watch on a real pipe, driven by the Qt event loop.
#include "ui/qt_io_watch.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <string>

namespace tarvo::ui {
namespace {

constexpr int kWaitMs = 10000;  // a limit for a loaded machine, not a measure

// A pipe whose read end never blocks.
struct Pipe {
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
            in = fds[0];
            out = fds[1];
        }
    }
    ~Pipe() { CloseBoth(); }
    void CloseBoth() {
        if (in >= 0) ::close(in);
        if (out >= 0) ::close(out);
        in = out = -1;
    }
    bool Write(const std::string& s) const {
        return ::write(out, s.data(), s.size()) == static_cast<ssize_t>(s.size());
    }
    // Appends what is waiting; returns how many bytes came.
    std::size_t ReadInto(std::string& into) const {
        char buf[64];
        std::size_t got = 0;
        ssize_t n;
        while ((n = ::read(in, buf, sizeof buf)) > 0) {
            into.append(buf, static_cast<std::size_t>(n));
            got += static_cast<std::size_t>(n);
        }
        return got;
    }
    int in = -1, out = -1;
};

// Runs the event loop once over what is ready now, deferred deletes included.
void ProcessReady() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TEST(QtIoWatchTest, HandlerRunsForEachPieceAndCanEndItsOwnWatch) {
    Pipe pipe;
    ASSERT_GE(pipe.in, 0);
    QtIoWatch watch;
    std::string received;
    int runs = 0;
    // Like the scale: read what came, stop listening once the reply is whole.
    watch.Watch(pipe.in, [&] {
        ++runs;
        pipe.ReadInto(received);
        if (received.size() >= 6) watch.Unwatch(pipe.in);
    });
    EXPECT_TRUE(watch.Watching(pipe.in));
    ProcessReady();
    EXPECT_EQ(runs, 0) << "nothing to read yet";

    ASSERT_TRUE(pipe.Write("\n00"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "\n00"; }, kWaitMs)) << received;
    EXPECT_TRUE(watch.Watching(pipe.in)) << "the reply is not whole yet";

    ASSERT_TRUE(pipe.Write("1.25LB\r"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watch.Watching(pipe.in); }, kWaitMs)) << received;
    EXPECT_EQ(received, "\n001.25LB\r");

    // Data after the handler ended its watch reaches no one.
    const int runsBefore = runs;
    ASSERT_TRUE(pipe.Write("late"));
    ProcessReady();
    ProcessReady();
    EXPECT_EQ(runs, runsBefore);
    std::string left;
    pipe.ReadInto(left);
    EXPECT_EQ(left, "late");
}

TEST(QtIoWatchTest, ANewWatchOnAReusedDescriptorGetsItsOwnHandler) {
    // The scale closes its port and opens it again: the new port may get the
    // descriptor number of the old one.
    auto first = std::make_unique<Pipe>();
    ASSERT_GE(first->in, 0);
    const int fd = first->in;
    QtIoWatch watch;
    std::unique_ptr<Pipe> second;
    int firstRuns = 0;
    std::string secondGot;
    watch.Watch(fd, [&] {
        ++firstRuns;
        watch.Unwatch(fd);
        first->CloseBoth();
        second = std::make_unique<Pipe>();
        if (second->in != fd) return;  // not reused; the test says so below
        watch.Watch(second->in, [&] { second->ReadInto(secondGot); });
    });

    ASSERT_TRUE(first->Write("x"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second != nullptr; }, kWaitMs));
    ASSERT_EQ(second->in, fd) << "the new pipe did not reuse the descriptor number";
    EXPECT_TRUE(watch.Watching(fd));

    ASSERT_TRUE(second->Write("9 chars!!"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondGot == "9 chars!!"; }, kWaitMs)) << secondGot;
    EXPECT_EQ(firstRuns, 1);
    watch.Unwatch(fd);
    EXPECT_FALSE(watch.Watching(fd));
}

}  // namespace
}  // namespace tarvo::ui
