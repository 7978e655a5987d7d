// The customer pole display on real outputs: socat pseudo-terminal pairs
// standing in for its serial port (the bytes read on the display's side),
// plain files for the parallel port, and device files that refuse data.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "common/money.h"
#include "file_size_limit.h"
#include "print/devices.h"
#include "print/pole_display.h"
#include "pty_pair.h"
#include "register/register_fixture.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace std::string_literals;
using Pieces = std::vector<std::string>;

std::string B(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
Money M(const char* text) { return *Money::Parse(text); }

// Command bytes of the two command sets.
const std::string kInit0 = "\x1f";
const std::string kLine1Set0 = "\x14\x11\x10\x00"s, kLine2Set0 = "\x10\x14", kCell27Set0 = "\x10\x1b";
const std::string kInit1Parallel = "\x1bI\x0e\x16";
const std::string kLine1Set1 = "\x1bH\x00"s, kLine2Set1 = "\x1bH\x14", kCell27Set1 = "\x1bH\x1b";
const std::string kInit1Serial = "\x1f\x14\x0a\x0d";

// The register with its display operations wired to the display module, as
// the program wires them.
class DisplayServices : public RegisterServices {
public:
    void Customer_Greeting() override { tarvo::Customer_Greeting(); }
    std::int16_t DisplayError() const override { return gDisplay.gDisplayError; }
    void Customer_Total() override { tarvo::Customer_Total(); }
    void Customer_PriceChecker() override { tarvo::Customer_PriceChecker(); }
};

void AddLine(const std::string& description, double quantity, const char* extension) {
    const int n = ++gSale.gItemCount;
    gSale.gLines[static_cast<std::size_t>(n)].description = description;
    gSale.gLines[static_cast<std::size_t>(n)].quantity = quantity;
    gSale.gLines[static_cast<std::size_t>(n)].extension = M(extension);
}

// One screen: how the register gets there, and the pieces it sends in set 0,
// in set 1 on the parallel port and in set 1 on a serial port.
struct ScreenCase {
    const char* name;
    std::function<void()> prepare;
    void (*show)();
    Pieces set0, set1Parallel, set1Serial;
};

std::vector<ScreenCase> ScreenCases() {
    const std::string hose = "GARDEN HOSE 25 FT GR";
    return {
        {"greeting, second line cut",
         [] {
             gSettings.gDisplayLine1 = "Welcome";
             gSettings.gDisplayLine2 = "Open 7 days a week, 8 to 8";
         },
         Customer_Greeting,
         {kLine1Set0 + "Welcome" + B(13), kLine2Set0 + "Open 7 days a week, "},
         {kLine1Set1 + "Welcome" + B(13), kLine2Set1 + "Open 7 days a week, "},
         {"Welcome" + B(13), "Open 7 days a week,"}},
        {"thank-you",
         [] { AddLine("Coffee mug", 1, "5"); },
         Customer_Thankyou,
         {kLine1Set0 + "Transaction Complete", kLine2Set0 + "     Thank You" + B(6)},
         {kLine1Set1 + "Transaction Complete", kLine2Set1 + "     Thank You" + B(6)},
         {"Transaction Complete", "     Thank You" + B(5)}},
        {"price check",
         [] {
             gSale.gPriceCheckText = "GARDEN HOSE 25 FT GREEN       ";
             gSale.gPriceCheckPrice = "$12.50";
         },
         Customer_PriceChecker,
         {kLine1Set0 + hose, kLine2Set0 + B(14) + "$12.50"},
         {kLine1Set1 + hose, kLine2Set1 + B(14) + "$12.50"},
         {hose, B(13) + "$12.50"}},
        {"product, quantity 1",
         [] {
             AddLine("Tea towel", 2, "9.98");
             AddLine("Coffee mug", 1, "5");
         },
         Customer_Product,
         {kLine1Set0 + "Coffee mug" + B(10), kLine2Set0 + B(15) + "$5.00"},
         {kLine1Set1 + "Coffee mug" + B(10), kLine2Set1 + B(15) + "$5.00"},
         {"Coffee mug" + B(10), B(14) + "$5.00"}},
        {"product, quantity 2",
         [] { AddLine("Tea towel", 2, "9.98"); },
         Customer_Product,
         {kLine1Set0 + "Tea towel" + B(11), kLine2Set0 + "(x2)" + B(16), kCell27Set0 + B(8) + "$9.98"},
         {kLine1Set1 + "Tea towel" + B(11), kLine2Set1 + "(x2)" + B(16), kCell27Set1 + B(8) + "$9.98"},
         {"Tea towel" + B(11), "(x2)", B(10) + "$9.98"}},
        {"product returned: no dollar sign",
         [] { AddLine("Coffee mug", -1, "-5"); },
         Customer_Product,
         {kLine1Set0 + "Coffee mug" + B(10), kLine2Set0 + "(x-1)" + B(15), kCell27Set0 + B(8) + "-5.00"},
         {kLine1Set1 + "Coffee mug" + B(10), kLine2Set1 + "(x-1)" + B(15), kCell27Set1 + B(8) + "-5.00"},
         {"Coffee mug" + B(10), "(x-1)", B(9) + "-5.00"}},
        {"product by weight, no grouping in the amount",
         [] { AddLine("Smoked salmon", 1.25, "1234.5"); },
         Customer_Product,
         {kLine1Set0 + "Smoked salmon" + B(7), kLine2Set0 + "(x1.25)" + B(13), kCell27Set0 + B(5) + "$1234.50"},
         {kLine1Set1 + "Smoked salmon" + B(7), kLine2Set1 + "(x1.25)" + B(13), kCell27Set1 + B(5) + "$1234.50"},
         {"Smoked salmon" + B(7), "(x1.25)", B(4) + "$1234.50"}},
        {"product free of charge",
         [] { AddLine("Gift bag", 1, "0"); },
         Customer_Product,
         {kLine1Set0 + "Gift bag" + B(12), kLine2Set0 + B(16) + "0.00"},
         {kLine1Set1 + "Gift bag" + B(12), kLine2Set1 + B(16) + "0.00"},
         {"Gift bag" + B(12), B(15) + "0.00"}},
        {"total with change",
         [] {
             AddLine("Coffee mug", 1, "5");
             gSale.gBalanceDue = M("0");
             gSale.gChange = M("1.5");
         },
         Customer_Total,
         {kLine1Set0 + "Total: " + B(8) + "$0.00", kLine2Set0 + "Change:" + B(8) + "$1.50"},
         {kLine1Set1 + "Total: " + B(8) + "$0.00", kLine2Set1 + "Change:" + B(8) + "$1.50"},
         {"Total: " + B(8) + "$0.00", "Change:" + B(7) + "$1.50"}},
        {"total without change: one line",
         [] {
             AddLine("Coffee mug", 1, "5");
             gSale.gBalanceDue = M("1234.5");
         },
         Customer_Total,
         {kLine1Set0 + "Total: " + B(4) + "$1,234.50"},
         {kLine1Set1 + "Total: " + B(4) + "$1,234.50"},
         {"Total: " + B(4) + "$1,234.50"}},
    };
}

std::string Concat(const Pieces& pieces) {
    std::string out;
    for (const auto& p : pieces) out += p;
    return out;
}
std::string AsLines(const Pieces& pieces) {
    std::string out;
    for (const auto& p : pieces) out += p + "\r\n";
    return out;
}

class PoleDisplayTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &display;
        MessageTimers_Connect();
        gDisplay = DisplayState{};
    }
    void TearDown() override {
        Customer_Close();
        RegisterTest::TearDown();
    }
    void Map(const std::string& entries) { dir.Write(kDeviceMapFile, entries); }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
        return n;
    }
    // A fresh sale, then the screen case's own state.
    static void Prepare(const ScreenCase& c) {
        gSale = SaleState{};
        c.prepare();
    }

    TestDir dir;
    DisplayServices display;
};

// ---------------------------------------------------------- serial port ----

TEST_F(PoleDisplayTest, SerialDisplayReceivesEveryScreenInBothCommandSets) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM2=" + pty.A() + "\n");
    gSettings.gDisplayPort = 2;
    for (int set : {0, 1}) {
        gSettings.gDisplayCommandSet = static_cast<std::int16_t>(set);
        const std::string& init = set == 0 ? kInit0 : kInit1Serial;
        for (const ScreenCase& c : ScreenCases()) {
            Prepare(c);
            gDisplay.gDisplayError = 1;
            c.show();
            EXPECT_EQ(gDisplay.gDisplayError, 0) << c.name << ", set " << set;
            const std::string expected = init + Concat(set == 0 ? c.set0 : c.set1Serial);
            EXPECT_EQ(pty.ReadB(expected.size()), expected) << c.name << ", set " << set;
        }
    }
    EXPECT_EQ(pty.ReadB(1, 200), "") << "nothing after the last screen";
    EXPECT_EQ(Log(), "");
}

TEST_F(PoleDisplayTest, SerialOpenSendsTheInitialisationAt9600Baud) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM6=" + pty.A() + "\n");
    gSettings.gDisplayPort = 6;
    struct Case {
        int set;
        std::string init;
    };
    for (const Case& c : {Case{0, kInit0}, Case{1, kInit1Serial}, Case{-3, kInit1Serial}}) {
        gSettings.gDisplayCommandSet = static_cast<std::int16_t>(c.set);
        Customer_Open();
        EXPECT_EQ(gDisplay.gDisplayError, 0);
        EXPECT_EQ(pty.ReadB(c.init.size()), c.init) << "set " << c.set;
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.KeepA(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << "nothing added to the bytes";
    }
}

// -------------------------------------------------------- parallel port ----

TEST_F(PoleDisplayTest, ParallelDisplayTakesEachPieceAsALine) {
    const std::string file = dir.Write("lpt1.out", "");
    Map("LPT1=" + file + "\n");
    gSettings.gDisplayPort = 7;
    for (int set : {0, 1}) {
        gSettings.gDisplayCommandSet = static_cast<std::int16_t>(set);
        Customer_Open();
        EXPECT_EQ(gDisplay.gDisplayError, 0);
        EXPECT_EQ(dir.Read("lpt1.out"), (set == 0 ? kInit0 : kInit1Parallel) + "\r\n") << "set " << set;
        for (const ScreenCase& c : ScreenCases()) {
            Prepare(c);
            c.show();
            EXPECT_EQ(gDisplay.gDisplayError, 0) << c.name << ", set " << set;
            // Each operation opens the device for output again after the
            // initialisation, so the file holds the screen's own pieces.
            EXPECT_EQ(dir.Read("lpt1.out"), AsLines(set == 0 ? c.set0 : c.set1Parallel)) << c.name << ", set " << set;
        }
    }
    EXPECT_EQ(Log(), "");
}

// --------------------------------------------------------- text cutting ----

TEST_F(PoleDisplayTest, TextsLongerThanTheirRoomAreCutAndAmountsKeepTheirEnd) {
    const std::string file = dir.Write("lpt1.out", "");
    Map("LPT1=" + file + "\n");
    gSettings.gDisplayPort = 7;
    struct Case {
        const char* name;
        int language;
        std::function<void()> prepare;
        void (*show)();
        Pieces pieces;  // set 0
    };
    const Case cases[] = {
        {"long description, amount wider than 13 cells",
         1,
         [] { AddLine("Extra long product description", 2, "123456789012.34"); },
         Customer_Product,
         {kLine1Set0 + "Extra long product d", kLine2Set0 + "(x2)" + B(16), kCell27Set0 + "3456789012.34"}},
        {"amount wider than the line",
         1,
         [] { AddLine("Boat", 1, "-123456789012345.67"); },
         Customer_Product,
         {kLine1Set0 + "Boat" + B(16), kLine2Set0 + "3,456,789,012,345.67"}},
        {"long quantity text",
         1,
         [] { AddLine("Nails", 1234567.123456789, "5"); },
         Customer_Product,
         {kLine1Set0 + "Nails" + B(15), kLine2Set0 + "(x1234567.12345679)" + B(1), kCell27Set0 + B(8) + "$5.00"}},
        {"price wider than the line",
         1,
         [] {
             gSale.gPriceCheckText = "Tractor";
             gSale.gPriceCheckPrice = "$123456789012345678.00";
         },
         Customer_PriceChecker,
         {kLine1Set0 + "Tractor" + B(13), kLine2Set0 + "23456789012345678.00"}},
        {"due and change wider than 13 cells",
         1,
         [] {
             AddLine("Boat", 1, "5");
             gSale.gBalanceDue = M("123456789.5");
             gSale.gChange = M("-1234567890");
         },
         Customer_Total,
         {kLine1Set0 + "Total: " + "23,456,789.50", kLine2Set0 + "Change:" + "34,567,890.00"}},
        {"French change label",
         2,
         [] {
             AddLine("Tasse", 1, "5");
             gSale.gChange = M("1.5");
         },
         Customer_Total,
         {kLine1Set0 + "Total: " + B(8) + "$0.00", kLine2Set0 + "Monnaie:" + B(7) + "$1.50"}},
        {"French thank-you cut",
         2,
         [] { AddLine("Tasse", 1, "5"); },
         Customer_Thankyou,
         {kLine1Set0 + "Transaction Compl\xe9t\xe9", kLine2Set0 + "       Merci" + B(8)}},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        c.prepare();
        c.show();
        EXPECT_EQ(gDisplay.gDisplayError, 0) << c.name;
        EXPECT_EQ(dir.Read("lpt1.out"), AsLines(c.pieces)) << c.name;
    }
    EXPECT_EQ(Log(), "");
}

TEST_F(PoleDisplayTest, SerialSetOneNeverWritesTheLastCell) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM1=" + pty.A() + "\n");
    gSettings.gDisplayPort = 1;
    gSettings.gDisplayCommandSet = 1;
    struct Case {
        const char* name;
        int language;
        std::function<void()> prepare;
        void (*show)();
        std::string text;
    };
    const Case cases[] = {
        {"long quantity text leaves the amount no room", 1, [] { AddLine("Nails", -1234567.123456789, "-5"); },
         Customer_Product, "Nails" + B(15) + "(x-1234567.12345679"},
        {"amount cut to what the quantity leaves", 1, [] { AddLine("Boat", 12, "123456789012.5"); }, Customer_Product,
         "Boat" + B(16) + "(x12)" + "23456789012.50"},
        {"French change label", 2,
         [] {
             AddLine("Tasse", 1, "5");
             gSale.gChange = M("1.5");
         },
         Customer_Total, "Total: " + B(8) + "$0.00" + "Monnaie:" + B(6) + "$1.50"},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        c.prepare();
        c.show();
        EXPECT_EQ(gDisplay.gDisplayError, 0) << c.name;
        EXPECT_EQ(c.text.size(), 39u) << c.name;
        const std::string expected = kInit1Serial + c.text;
        EXPECT_EQ(pty.ReadB(expected.size()), expected) << c.name;
    }
    EXPECT_EQ(pty.ReadB(1, 200), "");
}

// ----------------------------------------------------- nothing to show ----

TEST_F(PoleDisplayTest, NoDisplayOrNoSaleLineWritesNothing) {
    const std::string file = dir.Write("lpt1.out", "untouched");
    Map("LPT1=" + file + "\nCOM1=" + file + "\n");
    struct Case {
        const char* name;
        int port;
        int lines;
        void (*show)();
    };
    const Case cases[] = {
        {"no display: open", 0, 1, Customer_Open},           {"no display: greeting", 0, 1, Customer_Greeting},
        {"no display: product", 0, 1, Customer_Product},     {"no display: price check", 0, 1, Customer_PriceChecker},
        {"port above 7: greeting", 8, 1, Customer_Greeting}, {"negative port: total", -1, 1, Customer_Total},
        {"no line: product", 7, 0, Customer_Product},        {"no line: total", 7, 0, Customer_Total},
        {"no line: thank-you", 1, 0, Customer_Thankyou},
    };
    for (const Case& c : cases) {
        gSale = SaleState{};
        if (c.lines) AddLine("Coffee mug", 1, "5");
        gSettings.gDisplayPort = static_cast<std::int16_t>(c.port);
        gDisplay.gDisplayError = 1;
        c.show();
        EXPECT_EQ(gDisplay.gDisplayError, 0) << c.name;
        EXPECT_EQ(dir.Read("lpt1.out"), "untouched") << c.name;
        EXPECT_FALSE(timers.Running(TimerId::Customer)) << c.name;
    }
    EXPECT_EQ(Log(), "");

    // Without a line the greeting and the price check still show.
    gSettings.gDisplayPort = 7;
    gSale.gPriceCheckText = "Mug";
    gSale.gPriceCheckPrice = "$5.00";
    Customer_PriceChecker();
    EXPECT_EQ(dir.Read("lpt1.out"), AsLines({kLine1Set0 + "Mug" + B(17), kLine2Set0 + B(15) + "$5.00"}));
}

// -------------------------------------------------------------- failures ----

TEST_F(PoleDisplayTest, PortThatCannotBeOpenedSetsTheErrorOnceLoggedPerOperation) {
    Map("COM3=" + (dir / "no-such-tty") + "\n");
    gSettings.gDisplayPort = 3;
    gSettings.gDisplayLine1 = "Welcome";
    Customer_Open();
    EXPECT_EQ(gDisplay.gDisplayError, 1);
    EXPECT_NE(Log().find("Customer_Open: Unable to open customer display port (cannot open " + (dir / "no-such-tty")),
              std::string::npos)
        << Log();

    AddLine("Coffee mug", 1, "5");
    gSale.gPriceCheckText = "Mug";
    for (void (*show)() :
         {Customer_Greeting, Customer_Product, Customer_Total, Customer_Thankyou, Customer_PriceChecker}) {
        gDisplay.gDisplayError = 0;
        show();
        EXPECT_EQ(gDisplay.gDisplayError, 1);
    }
    // One line per operation, all from the open: nothing was written.
    EXPECT_EQ(Count(Log(), "Customer_Open: Unable to open customer display port"), 6) << Log();
    EXPECT_EQ(Count(Log(), "Unable to write customer display port"), 0) << Log();
    EXPECT_FALSE(timers.Running(TimerId::Customer)) << "no return to the greeting after a failed price check";

    // A port that is not in the device map at all.
    gSettings.gDisplayPort = 9;
    Customer_Open();
    EXPECT_EQ(gDisplay.gDisplayError, 1);
    EXPECT_NE(Log().find("Customer_Open: Unable to open customer display port (no device for COM9)"),
              std::string::npos);
}

TEST_F(PoleDisplayTest, DeviceRefusingTheInitialisationIsAnOpenFailure) {
    for (int port : {7, 4}) {
        Map("LPT1=/dev/full\nCOM4=/dev/full\n");
        gSettings.gDisplayPort = static_cast<std::int16_t>(port);
        Customer_Greeting();
        EXPECT_EQ(gDisplay.gDisplayError, 1) << port;
    }
    EXPECT_EQ(Count(Log(), "Customer_Open: Unable to open customer display port (write failed"), 2) << Log();
}

TEST_F(PoleDisplayTest, WriteFailingMidScreenKeepsWhatWasWrittenAndIsLogged) {
    // The log goes to a pipe the test reads, so that the file size limit
    // standing in for the refusing device does not also cut the log line.
    const std::string fifo = dir / "log.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(ProgramLog().Open(fifo));

    const std::string file = dir.Write("lpt1.out", "");
    Map("LPT1=" + file + "\n");
    gSettings.gDisplayPort = 7;
    gSettings.gDisplayLine1 = "Welcome";
    gSettings.gDisplayLine2 = "Come again";
    {
        FileSizeLimit limit(26);  // the initialisation and the first line fit, the second does not
        Customer_Greeting();
    }
    EXPECT_EQ(gDisplay.gDisplayError, 1);
    EXPECT_EQ(dir.Read("lpt1.out"), kLine1Set0 + "Welcome" + B(13) + "\r\n");
    char buf[1024];
    const ssize_t n = ::read(reader, buf, sizeof buf);
    ::close(reader);
    UseTerminalFolder(dir.Path());
    ASSERT_GT(n, 0);
    const std::string log(buf, static_cast<std::size_t>(n));
    EXPECT_NE(log.find("Customer_Greeting: Unable to write customer display port"), std::string::npos) << log;
    EXPECT_EQ(Count(log, "\r\n"), 1) << log;

    // The next operation that succeeds clears the flag.
    Customer_Greeting();
    EXPECT_EQ(gDisplay.gDisplayError, 0);
    EXPECT_EQ(dir.Read("lpt1.out"), AsLines({kLine1Set0 + "Welcome" + B(13), kLine2Set0 + "Come again" + B(10)}));
}

// ------------------------------------------------------ with the register ----

TEST_F(PoleDisplayTest, SaleGoesOnWhenTheDisplayIsDisconnected) {
    Map("COM1=" + (dir / "unplugged") + "\n");
    gSettings.gDisplayPort = 1;
    gSale.gItemCount = 1;
    gSale.gLines[1].description = "Coffee mug";
    gSale.gLines[1].unitPrice = M("2.50");
    gSale.gLines[1].quantity = 2;
    gSale.gLines[1].priceUnits = 1;
    ASSERT_TRUE(Totals_Update());
    EXPECT_EQ(gSale.gLines[1].extension, M("5"));
    EXPECT_EQ(gSale.gTotal, M("5"));
    EXPECT_EQ(gDisplay.gDisplayError, 1);
    EXPECT_EQ(screen.Text(kMessageLine), "Error: Customer Display is Disconnected");

    // Plugged in again: the next totals update shows the line.
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM1=" + pty.A() + "\n");
    screen.SetText(kMessageLine, "");
    gSale.gLines[1].quantity = 3;
    ASSERT_TRUE(Totals_Update());
    EXPECT_EQ(gDisplay.gDisplayError, 0);
    EXPECT_EQ(screen.Text(kMessageLine), "");
    const std::string expected =
        kInit0 + kLine1Set0 + "Coffee mug" + B(10) + kLine2Set0 + "(x3)" + B(16) + kCell27Set0 + B(8) + "$7.50";
    EXPECT_EQ(pty.ReadB(expected.size()), expected);
}

TEST_F(PoleDisplayTest, PriceCheckReturnsToTheGreetingAfterTwelveSeconds) {
    PtyPair pty(dir.Path());
    ASSERT_TRUE(pty.Ready()) << "socat pseudo-terminal pair did not start";
    Map("COM5=" + pty.A() + "\n");
    gSettings.gDisplayPort = 5;
    gSettings.gDisplayLine1 = "Hello";
    gSettings.gDisplayLine2 = "";
    gSale.gPriceCheckText = "Mug";
    gSale.gPriceCheckPrice = "$5.00";
    timers.Start(TimerId::Customer, 500);  // a price check already under way starts over
    Customer_PriceChecker();
    EXPECT_TRUE(timers.Running(TimerId::Customer));
    EXPECT_EQ(timers.Interval(TimerId::Customer), 12000);
    const std::string price = kInit0 + kLine1Set0 + "Mug" + B(17) + kLine2Set0 + B(15) + "$5.00";
    EXPECT_EQ(pty.ReadB(price.size()), price);

    EXPECT_TRUE(timers.Tick(TimerId::Customer));
    EXPECT_FALSE(timers.Running(TimerId::Customer));
    const std::string greeting = kInit0 + kLine1Set0 + "Hello" + B(15) + kLine2Set0 + B(20);
    EXPECT_EQ(pty.ReadB(greeting.size()), greeting);
}

}  // namespace
}  // namespace tarvo
