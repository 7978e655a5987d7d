// The receipt printer output on real outputs: a private print server with a
// raw queue whose device is a TCP listener of the test, pseudo-terminal pairs
// standing in for serial ports, plain files for parallel ports, the panel
// Txt_Printer, and the capture backend.
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_port.h"
#include "print/cups_fixture.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "pty_pair.h"
#include "register/register_fixture.h"
#include "sale/sale_start.h"
#include "screen/controls.h"
#include "test_dir.h"

extern char** environ;

namespace tarvo {
namespace {

using namespace print_golden;

using namespace std::string_literals;

// Control sequences of the test printer.
const std::string kInit = "\x1b@";
const std::string kTitleOn = "\x1b"
                             "E\x01";
const std::string kTitleOff = "\x1b"
                              "E\x00"s;
const std::string kDrawer1 = "\x1bp\x00\x19\xfa"s;
const std::string kDrawer2 = "\x1bp\x01\x19\xfa"s;
const std::string kFeed = "\x1b"
                          "d\x03";
const std::string kCut = "\x1dV\x00"s;

// A printout with every kind of piece: windows-1252 letters (e9 = e acute,
// ff = y diaeresis), a drawer kick inside the text, a title, a continued line.
void PrintSampleDocument() {
    Printer_Open();
    ASSERT_EQ(gPrint.gPrintStatus, 0);
    Printer_Line(1, 0, "Caf\xe9 R\xe9gion \xff");
    Printer_Line(0, 2, "TOTAL");
    Printer_Line(1, 3, "");
    Printer_Line(0, 0, "1,234.50");
    Printer_Line(1, 0, " kick:\x1bp\x00"s);
    Printer_Line(1, 4, "ignored on ports");
    Printer_Close(true);
}
const std::string kSampleOnPort = kInit + "\r\n" + "Caf\xe9 R\xe9gion \xff\r\n" + kTitleOn + "TOTAL" + kTitleOff +
                                  "\r\n" + "1,234.50 kick:\x1bp\x00\r\n"s + kDrawer1 + "\r\n" + kFeed + kCut;
const std::string kSampleOnSpooler = kInit + "\n" + "Caf\xe9 R\xe9gion \xff\n" + kTitleOn + "TOTAL" + kTitleOff + "\n" +
                                     "1,234.50 kick:\x1bp\x00\n"s + kDrawer1 + "\n" + kFeed + kCut;

class PrinterTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Reg().services.print = &printer;  // a sale start ends the print-to-screen mode
        gPrint = PrintState{};
        UseTerminalFolder(dir.Path());
        SetCode(1, kInit);
        SetCode(2, kTitleOn);
        SetCode(3, kTitleOff);
        SetCode(4, kDrawer1);
        SetCode(5, kDrawer2);
        SetCode(6, kFeed);
        SetCode(7, kCut);
        PrinterCodes_Load();
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Printer_Close(true);
        RegisterTest::TearDown();
    }
    void Map(const std::string& entries) { dir.Write(kDeviceMapFile, entries); }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }
    void LoginCashier(const std::string& key) {
        gData.CashierTable.resize(3);
        gData.CashierTable[2].CashierKey = key;
        gReg.gCashierIndex = 2;
    }

    TestDir dir;
    PrintingImpl printer;
};

// ---------------------------------------------------------------- tables ----

TEST(PrinterPortNames, EachPrinterTypeOpensItsDocumentedPort) {
    struct Case {
        const char* type;
        const char* port;
    };
    const Case cases[] = {
        {"0", ""},
        {"6", ""},
        {"20", ""},
        {"2", "lpt2"},
        {"5", "lpt3"},
        {"1", "lpt1"},
        {"11", "lpt1"},
        {"", "lpt1"},
        {"06", "lpt1"},
        {" 6", "lpt1"},
        {"3", "COM1:9600,N,8,1,ASC,LF"},
        {"4", "COM2:9600,N,8,1,ASC,LF"},
        {"7", "COM3:9600,N,8,1,ASC,LF"},
        {"8", "COM4:9600,N,8,1,ASC,LF"},
        {"9", "COM5:9600,N,8,1,ASC,LF"},
        {"10", "COM6:9600,N,8,1,ASC,LF"},
    };
    for (const auto& c : cases) {
        // The type as the settings file gives it.
        Settings s;
        std::string why;
        ASSERT_TRUE(Setup_ApplyLine(s, std::string("880 ") + c.type, why));
        EXPECT_EQ(PrinterPort_Name(s.gPrinterType), c.port) << "type \"" << c.type << "\"";
    }
}

TEST(SerialLineSettings, DeviceNamesGiveTheirLineSettings) {
    // CS, DS and CD without a number leave the line unchecked; with a number
    // they wait that many milliseconds for it.
    struct Case {
        const char* options;
        bool valid;
        int baud;
        char parity;
        int dataBits, stopBits;
        int ctsMs, dsrMs, cdMs;
    };
    const Case cases[] = {
        {"9600,N,8,1,ASC,LF", true, 9600, 'N', 8, 1, 0, 0, 0},
        {"2400,N,8,1,CS,DS,CD", true, 2400, 'N', 8, 1, 0, 0, 0},
        {"9600,N,8,1,CS500", true, 9600, 'N', 8, 1, 500, 0, 0},
        {"9600,N,8,1,cs0,ds1000,cd65535", true, 9600, 'N', 8, 1, 0, 1000, 65535},
        {"9600,N,8,1,DS", true, 9600, 'N', 8, 1, 0, 0, 0},
        {"9600,N,8,1,CD250", true, 9600, 'N', 8, 1, 0, 0, 250},
        {"19200,e,7,2", true, 19200, 'E', 7, 2, 0, 0, 0},
        {"", true, 9600, 'N', 8, 1, 0, 0, 0},
        {"9600,X,8,1", false, 0, 'N', 0, 0, 0, 0, 0},
        {"12345,N,8,1", false, 0, 'N', 0, 0, 0, 0, 0},
        {"9600,N,9,1", false, 0, 'N', 0, 0, 0, 0, 0},
        {"9600,N,8,1,CSX", false, 0, 'N', 0, 0, 0, 0, 0},
        {"9600,N,8,1,CD65536", false, 0, 'N', 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        auto s = LineSettings_Parse(c.options);
        ASSERT_EQ(s.has_value(), c.valid) << c.options;
        if (!s) continue;
        EXPECT_EQ(s->baud, c.baud) << c.options;
        EXPECT_EQ(s->parity, c.parity) << c.options;
        EXPECT_EQ(s->dataBits, c.dataBits) << c.options;
        EXPECT_EQ(s->stopBits, c.stopBits) << c.options;
        EXPECT_EQ(s->ctsWaitMs, c.ctsMs) << c.options;
        EXPECT_EQ(s->dsrWaitMs, c.dsrMs) << c.options;
        EXPECT_EQ(s->cdWaitMs, c.cdMs) << c.options;
    }
}

TEST(PrinterDeviceMap, MapFileNamesTheDevicesAndDefaultsFillTheRest) {
    TestDir d;
    d.Write(kDeviceMapFile,
            "# register ports\n; another comment\n com1 = /dev/ttyUSB0 \r\nLPT1=/tmp/lp.out\nSPOOLER=Receipts\n"
            "COM2=/dev/ttyUSB1\nCOM2=/dev/ttyACM0\nnot an entry\n");
    const DeviceMap map = DeviceMap_Load(d.Path());
    struct Case {
        const char* port;
        const char* path;
    };
    const Case cases[] = {{"COM1", "/dev/ttyUSB0"},
                          {"com2", "/dev/ttyACM0"},
                          {"COM3", "/dev/ttyS2"},
                          {"COM6", "/dev/ttyS5"},
                          {"LPT1", "/tmp/lp.out"},
                          {"lpt3", "/dev/lp2"},
                          {"COM7", ""},
                          {"LPT4", ""},
                          {"PRN", ""}};
    for (const auto& c : cases) EXPECT_EQ(Device_Path(map, c.port), c.path) << c.port;
    EXPECT_EQ(Device_SpoolerQueue(map), "Receipts");
    EXPECT_EQ(Device_SpoolerQueue(DeviceMap_Load(d / "missing")), "");
}

// ------------------------------------------------------- capture backend ----

TEST_F(PrinterTest, PrinterCaptureGivesTheBytesOfEachPrinterType) {
    struct Case {
        PrinterType type;
        const std::string* expected;
    };
    const Case cases[] = {{PrinterType::Com1, &kSampleOnPort},
                          {PrinterType::Lpt1, &kSampleOnPort},
                          {PrinterType::Com6, &kSampleOnPort},
                          {PrinterType::Spooler, &kSampleOnSpooler}};
    for (const auto& c : cases) {
        gSettings.gPrinterType = c.type;
        PrinterCapture capture;
        PrintSampleDocument();
        EXPECT_EQ(gPrint.gPrintStatus, 0) << static_cast<int>(c.type);
        EXPECT_EQ(capture.bytes, *c.expected) << "type " << static_cast<int>(c.type);
    }
}

TEST_F(PrinterTest, PrinterCodeThreeCarriesItsTextOnlyOnTheSpooler) {
    struct Case {
        PrinterType type;
        std::string expected;
    };
    const Case cases[] = {{PrinterType::Com1, kTitleOff + "\r\n"}, {PrinterType::Spooler, kTitleOff + "after\n"}};
    for (const auto& c : cases) {
        gSettings.gPrinterType = c.type;
        gPrint.gPrintNoInit = true;
        PrinterCapture capture;
        Printer_Open();
        Printer_Line(1, 3, "after");
        gPrint.gPrintNoInit = true;
        Printer_Close(true);
        EXPECT_EQ(capture.bytes, c.expected) << static_cast<int>(c.type);
    }
}

TEST_F(PrinterTest, PrinterOpenWithEmptyCodesSendsOnlyALineEnd) {
    for (int k = 1; k <= 7; ++k) SetCode(k, "");
    PrinterCodes_Load();
    gSettings.gPrinterType = PrinterType::Com1;
    PrinterCapture capture;
    Printer_Open();
    Printer_Line(1, 0, "x");
    Printer_Close(true);
    EXPECT_EQ(capture.bytes, "\r\nx\r\n");
}

TEST_F(PrinterTest, PrinterLineWidthFollowsThePaperAndOffIsStatusFive) {
    gSettings.gPrinterType = PrinterType::Com1;
    PrinterCapture capture;
    gSettings.gWidePaper = 1;
    Printer_Open();
    EXPECT_EQ(gPrint.gLineWidth, 54);
    Printer_Close(true);
    gSettings.gWidePaper = 0;
    Printer_Open();
    EXPECT_EQ(gPrint.gLineWidth, 40);
    Printer_Close(true);

    capture.bytes.clear();
    gSettings.gPrinterType = PrinterType::Off;
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 5);
    Printer_Line(1, 0, "nothing");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(capture.bytes, "");
}

// ---------------------------------------------------------------- panel ----

TEST_F(PrinterTest, PrinterTypeTwentyAppendsTextThenLineBreakWithTitles) {
    gSettings.gPrinterType = PrinterType::Screen;
    screen.SetText(kPrintout, "before\r\n");
    screen.SetVisible(kPrintout, false);
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    Printer_Line(1, 0, "Line one");
    Printer_Line(0, 2, "TITLE");
    Printer_Line(1, 3, "");
    Printer_Line(0, 0, "12.50");
    Printer_Line(1, 0, " end");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    // Not cleared by the open, not shown by the close; codes never reach the panel.
    EXPECT_EQ(screen.Text(kPrintout), "before\r\n\r\nLine one\r\nTITLE\r\n12.50 end\r\n");
    EXPECT_FALSE(screen.Visible(kPrintout));
}

TEST_F(PrinterTest, PrinterToScreenModeClearsAndShowsThePanelWhateverTheType) {
    // COM1 has no device: in print-to-screen mode no port is opened.
    Map("COM1=" + (dir / "no-such-tty") + "\n");
    gSettings.gPrinterType = PrinterType::Com1;
    screen.SetText(kPrintout, "old printout");
    gPrint.gPrintToScreen = true;
    PrinterCapture capture;
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    Printer_Line(1, 0, "Header");
    Printer_Line(0, 2, "TITLE");
    Printer_Line(1, 3, "");
    Printer_Line(1, 0, "Tax 1,000.00");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(gPrint.gPrintToScreen);
    EXPECT_EQ(screen.Text(kPrintout), "\r\nHeader\r\nTITLE\r\nTax 1,000.00\r\n");
    EXPECT_TRUE(screen.Visible(kPrintout));
    EXPECT_EQ(capture.bytes, "");
}

TEST_F(PrinterTest, PrinterToScreenModeEndsWhenANewSaleStarts) {
    gSettings.gPrinterType = PrinterType::Com1;
    gPrint.gPrintToScreen = true;
    Sale_Start();
    EXPECT_FALSE(gPrint.gPrintToScreen);
    // The next printout goes to the printer again, not to the panel.
    screen.SetText(kPrintout, "");
    PrinterCapture capture;
    Printer_Open();
    Printer_Line(1, 0, "receipt");
    Printer_Close(true);
    EXPECT_EQ(capture.bytes, kInit + "\r\nreceipt\r\n" + kFeed + kCut);
    EXPECT_EQ(screen.Text(kPrintout), "");
}

// ---------------------------------------------------------- device files ----

TEST_F(PrinterTest, SerialPrinterReceivesTheBytesOnEachComPort) {
    struct Case {
        PrinterType type;
        const char* port;
    };
    const Case cases[] = {{PrinterType::Com1, "COM1"}, {PrinterType::Com4, "COM4"}, {PrinterType::Com6, "COM6"}};
    for (const auto& c : cases) {
        PtyPair pty(dir.Path());
        ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
        Map(std::string(c.port) + "=" + pty.A() + "\n");
        gSettings.gPrinterType = c.type;
        PrintSampleDocument();
        EXPECT_EQ(gPrint.gPrintStatus, 0) << static_cast<int>(c.type);
        EXPECT_EQ(pty.ReadB(kSampleOnPort.size()), kSampleOnPort) << static_cast<int>(c.type);
    }
}

TEST_F(PrinterTest, SerialPortTakesTheDocumentedLineSettings) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    struct Case {
        const char* options;
        speed_t speed;
    };
    const Case cases[] = {{"2400,N,8,1,CS,DS,CD", B2400}, {"9600,N,8,1,ASC,LF", B9600}};
    for (const auto& c : cases) {
        DevicePort port;
        std::string error;
        ASSERT_TRUE(port.Open(pty.A(), LineSettings_Parse(c.options), error)) << error;
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.KeepA(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), c.speed) << c.options;
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u) << c.options;
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << "raw output, " << c.options;
        EXPECT_TRUE(port.Close(&error)) << error;
    }
}

TEST_F(PrinterTest, SerialPrinterMissingDeviceIsNeverSuccess) {
    Map("COM2=" + (dir / "no-such-tty") + "\n");
    gSettings.gPrinterType = PrinterType::Com2;
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    Printer_Line(1, 0, "lost");
    Printer_Close(true);
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_NE(Log().find("Printer_Open: HandlerPrinterOpen, Unable to open printer port"), std::string::npos);
    EXPECT_NE(Log().find("no-such-tty"), std::string::npos);
}

TEST_F(PrinterTest, ParallelPrinterWritesItsFileAndAMissingOneFails) {
    struct Case {
        PrinterType type;
        const char* port;
    };
    const Case cases[] = {{PrinterType::Lpt1, "LPT1"}, {PrinterType::Lpt2, "LPT2"}, {PrinterType::Lpt3, "LPT3"}};
    for (const auto& c : cases) {
        const std::string file = dir.Write("lp.out", "an older printout that is replaced");
        Map(std::string(c.port) + "=" + file + "\n");
        gSettings.gPrinterType = c.type;
        PrintSampleDocument();
        EXPECT_EQ(gPrint.gPrintStatus, 0) << static_cast<int>(c.type);
        EXPECT_EQ(dir.Read("lp.out"), kSampleOnPort) << static_cast<int>(c.type);
    }
    Map("LPT1=" + (dir / "missing/lp0") + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(PrinterTest, PrinterOpenCutsOffTheUnfinishedPrintout) {
    const std::string file = dir.Write("lp.out", "");
    Map("LPT1=" + file + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Printer_Open();
    Printer_Line(1, 0, "first, never finished");
    Printer_Open();
    Printer_Line(1, 0, "second");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(dir.Read("lp.out"), kInit + "\r\nsecond\r\n" + kFeed + kCut);
}

// ---------------------------------------------------------------- drawer ----

TEST_F(PrinterTest, DrawerOpensThroughThePrinterByTheCashierKey) {
    struct Case {
        PrinterType type;
        const char* cashierKey;  // nullptr: nobody logged in
        std::string expected;
    };
    const Case cases[] = {
        {PrinterType::Com1, "2001", kDrawer2 + "\r\n"},  {PrinterType::Com1, "1001", kDrawer1 + "\r\n"},
        {PrinterType::Com1, nullptr, kDrawer1 + "\r\n"}, {PrinterType::Com1, "", kDrawer1 + "\r\n"},
        {PrinterType::Spooler, "2", kDrawer2 + "\n"},    {PrinterType::Spooler, "12", kDrawer1 + "\n"},
    };
    for (const auto& c : cases) {
        gReg.gCashierIndex = 0;
        if (c.cashierKey) LoginCashier(c.cashierKey);
        gSettings.gPrinterType = c.type;
        PrinterCapture capture;
        Drawer_Open();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_FALSE(gPrint.gPrintNoInit);
        EXPECT_EQ(capture.bytes, c.expected)
            << static_cast<int>(c.type) << " " << (c.cashierKey ? c.cashierKey : "(none)");
        // The next printout initialises, feeds and cuts again.
        capture.bytes.clear();
        Printer_Open();
        Printer_Close(true);
        EXPECT_EQ(capture.bytes.substr(0, 2), kInit);
        EXPECT_NE(capture.bytes.find(kCut), std::string::npos);
    }
}

TEST_F(PrinterTest, DrawerOnItsOwnPortSendsBellAndLineEnd) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM1=" + pty.A() + "\n");
    gSettings.gDrawerPort = 1;
    gSettings.gPrinterType = PrinterType::Com1;  // the receipt printer is not touched
    PrinterCapture capture;
    gPrint.gPrintStatus = 0;
    Drawer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(pty.ReadB(3), "\x07\r\n");
    EXPECT_EQ(capture.bytes, "");
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.KeepA(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B2400));
}

TEST_F(PrinterTest, DrawerPortThatFailsIsLoggedAndSetsTheStatus) {
    Map("COM3=" + (dir / "no-drawer") + "\n");
    gSettings.gDrawerPort = 3;
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 0;
    Drawer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_NE(Log().find("Drawer_Open: Unable to use the cash drawer port COM3"), std::string::npos);
}

TEST_F(PrinterTest, DrawerWithNoPortAndNoPrinterOnlyClearsTheStatus) {
    gSettings.gDrawerPort = 0;
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 3;
    Drawer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

TEST_F(PrinterTest, DrawerOnAPrinterThatCannotOpenIsNeverSuccess) {
    Map("LPT1=" + (dir / "no-such-lp") + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Drawer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_FALSE(gPrint.gPrintNoInit);
}

// --------------------------------------------------------------- spooler ----

using PrinterSpoolerTest = CupsSpoolerTest<PrinterTest>;

TEST_F(PrinterSpoolerTest, PrinterSpoolerJobArrivesByteForByte) {
    gSettings.gPrinterType = PrinterType::Spooler;
    PrintSampleDocument();
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    EXPECT_EQ(ReceiveJob(), kSampleOnSpooler);

    // The drawer through the spooler: its code alone, no initialise, feed or cut.
    LoginCashier("2999");
    Drawer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    EXPECT_EQ(ReceiveJob(), kDrawer2 + "\n");
}

TEST_F(PrinterSpoolerTest, PrinterSpoolerMissingQueueSwitchesPrintingOffAndFails) {
    Map("SPOOLER=NOSUCHQUEUE\n");
    gSettings.gPrinterType = PrinterType::Spooler;
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_EQ(gSettings.gPrinterType, PrinterType::Off);
    Printer_Line(1, 0, "lost");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_NE(Log().find("A default USB printer is not specified. Printing disabled."), std::string::npos);
    // From then on printing is off.
    Printer_Open();
    EXPECT_EQ(gPrint.gPrintStatus, 5);
}

TEST_F(PrinterSpoolerTest, PrinterSpoolerRefusedJobLeavesCloseError) {
    Map("SPOOLER=REJQ\n");
    gSettings.gPrinterType = PrinterType::Spooler;
    Printer_Open();
    ASSERT_EQ(gPrint.gPrintStatus, 0);
    Printer_Line(1, 0, "refused");
    Printer_Close(true);
    EXPECT_EQ(gPrint.gPrintStatus, 3);
    EXPECT_NE(Log().find("Printer_Close: HandlerPrinterClose, Printer can not be closed"), std::string::npos);
    EXPECT_NE(Log().find("REJQ"), std::string::npos);
}

TEST_F(PrinterSpoolerTest, PrintoutThatFailsPartWayIsNotSentHalfPrinted) {
    gSettings.gPrinterType = PrinterType::Spooler;
    Printer_Open();
    ASSERT_EQ(gPrint.gPrintStatus, 0);
    Printer_Line(1, 0, "half a receipt");
    print_text::Printout_Abandon("test: printout failed part-way");
    EXPECT_EQ(gPrint.gPrintStatus, 2);
    // The next job the printer receives is the next whole printout.
    PrintSampleDocument();
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    EXPECT_EQ(ReceiveJob(), kSampleOnSpooler);
}

}  // namespace
}  // namespace tarvo
