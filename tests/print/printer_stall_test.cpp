// The printer and drawer ports when the device does not take the bytes: a
// drawer interface that never raises clear-to-send, and a receipt printer or
// drawer whose line stops taking output (a pseudo-terminal whose output is
// stopped with tcflow, as a printer off line or a handshake never given).
// Every case must come back within the port's deadline, and a printout that
// did not leave is never reported as printed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "config/settings.h"
#include "platform/serial_port.h"
#include "print/devices.h"
#include "print/printer_output.h"
#include "pty_pair.h"
#include "register/register_fixture.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

class PrinterStallTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
    }
    void TearDown() override {
        gSettings.gPrinterType = PrinterType::Off;
        Printer_Close(true);
        RegisterTest::TearDown();
    }
    void Map(const std::string& entries) { dir.Write(kDeviceMapFile, entries); }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }

    TestDir dir;
};

// The drawer's port setting names CS, DS and CD without a number: none of the
// lines is checked. A pseudo-terminal never raises CTS, like a drawer
// interface that leaves it unwired: the kick still leaves at once.
TEST_F(PrinterStallTest, DrawerPortWithoutHandshakeSendsAndClosesAtOnce) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM2=" + pty.A() + "\n");
    gSettings.gDrawerPort = 2;
    gPrint.gPrintStatus = 0;
    const auto start = Clock::now();
    Drawer_Open();
    EXPECT_LT(SecondsSince(start), 1.0);
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    EXPECT_EQ(pty.ReadB(3), "\x07\r\n");
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.KeepA(), &t), 0);
    EXPECT_NE(t.c_cflag & CLOCAL, 0u) << "carrier detect must not be required";
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u) << "the output must not wait for CTS";
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
}

// The tty stops its output (TCOOFF): writes are refused and poll never
// reports room, as with a printer that stopped taking bytes.
class StoppedOutput {
public:
    explicit StoppedOutput(int fd) : fd_(fd) { stopped_ = ::tcflow(fd_, TCOOFF) == 0; }
    ~StoppedOutput() { Restart(); }
    bool Stopped() const { return stopped_; }
    void Restart() {
        if (stopped_) ::tcflow(fd_, TCOON);
        stopped_ = false;
    }

private:
    int fd_;
    bool stopped_ = false;
};

// The port's default deadline for a few bytes, with room for a loaded machine.
const double kWithinDeadline = kPortMarginMs / 1000.0 + 1.5;

TEST_F(PrinterStallTest, StalledReceiptPrinterFailsWithinTheDeadlineAndTheNextPrintoutIsWhole) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM1=" + pty.A() + "\n");
    gSettings.gPrinterType = PrinterType::Com1;
    {
        StoppedOutput stop(pty.KeepA());
        ASSERT_TRUE(stop.Stopped());
        const auto start = Clock::now();
        Printer_Open();
        Printer_Line(1, 0, "never printed");
        Printer_Close(true);
        EXPECT_LT(SecondsSince(start), kWithinDeadline);
        EXPECT_NE(gPrint.gPrintStatus, 0);
        EXPECT_NE(Log().find("Printer_Line: Unable to write to the printer port"), std::string::npos) << Log();
    }
    // Nothing of the failed printout is left to come out after it.
    Printer_Open();
    Printer_Line(1, 0, "next");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    EXPECT_EQ(pty.ReadB(8, 2000), "\r\nnext\r\n");
}

TEST_F(PrinterStallTest, StalledDrawerPortFailsWithinTheDeadline) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM4=" + pty.A() + "\n");
    gSettings.gDrawerPort = 4;
    gPrint.gPrintStatus = 0;
    StoppedOutput stop(pty.KeepA());
    ASSERT_TRUE(stop.Stopped());
    const auto start = Clock::now();
    Drawer_Open();
    EXPECT_LT(SecondsSince(start), kWithinDeadline);
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_NE(Log().find("Drawer_Open: Unable to use the cash drawer port COM4"), std::string::npos) << Log();
}

}  // namespace
}  // namespace tarvo
