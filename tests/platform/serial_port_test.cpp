// A serial port on a socat pseudo-terminal pair: the line flags the port
// options give, and the deadline of output the line does not take (the
// tty's output stopped with tcflow, as a device that stopped taking bytes).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/serial_port.h"
#include "pty_pair.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TEST(SerialPortLines, OptionsGiveTheHandshakeAndCarrierFlags) {
    TestDir dir;
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    struct Case {
        const char* options;
        bool rtsCts;  // the output waits for CTS
        bool local;   // carrier detect ignored
    };
    const Case cases[] = {
        {"9600,N,8,1", false, true},        {"2400,N,8,1,CS,DS,CD", false, true},
        {"9600,N,8,1,CS", false, true},     {"9600,N,8,1,DS", false, true},
        {"9600,N,8,1,CD", false, true},     {"9600,N,8,1,CS0,DS0,CD0", false, true},
        {"9600,N,8,1,CS500", true, true},   {"9600,N,8,1,DS500", false, true},
        {"9600,N,8,1,CD500", false, false}, {"9600,N,8,1,CS1000,DS1000,CD1000", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        DevicePort port;
        std::string error;
        const auto start = Clock::now();
        // A pseudo-terminal has no modem lines to read: a wait for them
        // cannot be kept and is not made.
        ASSERT_TRUE(port.Open(pty.A(), LineSettings_Parse(c.options), error)) << error;
        EXPECT_LT(SecondsSince(start), 0.4);
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.KeepA(), &t), 0);
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.rtsCts);
        EXPECT_EQ((t.c_cflag & CLOCAL) != 0, c.local);
        ASSERT_TRUE(port.Write("ok\r\n", error)) << error;
        EXPECT_TRUE(port.Close(&error)) << error;
        EXPECT_EQ(pty.ReadB(4, 2000), "ok\r\n");
    }
}

// The tty of `fd` stops its output while the object lives.
class StoppedOutput {
public:
    explicit StoppedOutput(int fd) : fd_(fd) { stopped_ = ::tcflow(fd_, TCOOFF) == 0; }
    ~StoppedOutput() {
        if (stopped_) ::tcflow(fd_, TCOON);
    }
    bool Stopped() const { return stopped_; }

private:
    int fd_;
    bool stopped_ = false;
};

TEST(SerialPortDeadline, StalledWriteGivesUpAfterTheBytesLineTimeAndTheMargin) {
    TestDir dir;
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    // 240 bytes need 1 s at 2400 baud (10 bits a byte); the margin adds 0.2 s.
    struct Case {
        const char* options;
        std::size_t bytes;
        double atLeast, below;
    };
    const Case cases[] = {{"2400,N,8,1", 240, 1.1, 2.0}, {"9600,N,8,1", 12, 0.15, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        DevicePort port;
        port.SetMarginMs(200);
        std::string error;
        ASSERT_TRUE(port.Open(pty.A(), LineSettings_Parse(c.options), error)) << error;
        {
            StoppedOutput stop(pty.KeepA());
            ASSERT_TRUE(stop.Stopped());
            const auto start = Clock::now();
            EXPECT_FALSE(port.Write(std::string(c.bytes, 'x'), error));
            const double took = SecondsSince(start);
            EXPECT_GE(took, c.atLeast);
            EXPECT_LT(took, c.below);
            EXPECT_NE(error.find("dropped"), std::string::npos) << error;
            const auto closing = Clock::now();
            port.Close(&error);
            EXPECT_LT(SecondsSince(closing), 0.5);
        }
        // The port takes output again once the line moves.
        ASSERT_TRUE(port.Open(pty.A(), LineSettings_Parse(c.options), error)) << error;
        ASSERT_TRUE(port.Write("again", error)) << error;
        EXPECT_TRUE(port.Close(&error)) << error;
        EXPECT_EQ(pty.ReadB(5, 2000), "again");
    }
}

// A parallel port is a device file without a line speed: a printer that
// stops taking bytes (here a pipe nobody reads) fails after the margin.
TEST(SerialPortDeadline, DeviceFileThatStopsTakingBytesFailsAfterTheMargin) {
    TestDir dir;
    const std::string fifo = dir / "lp0";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    DevicePort port;
    port.SetMarginMs(300);
    std::string error;
    ASSERT_TRUE(port.Open(fifo, std::nullopt, error)) << error;
    const auto start = Clock::now();
    EXPECT_FALSE(port.Write(std::string(1 << 20, 'x'), error));
    const double took = SecondsSince(start);
    EXPECT_GE(took, 0.25);
    EXPECT_LT(took, 1.5);
    EXPECT_NE(error.find("dropped"), std::string::npos) << error;
    port.Close();
    ::close(reader);
}

}  // namespace
}  // namespace tarvo
