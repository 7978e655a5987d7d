// The receipt on the spooler printer type: through the private print server
// as the printer receives it; against a print server that takes the
// connection and never answers (the register gives up within seconds and
// switches printing off for the run); and every printout asked for after
// that, which must report that it did not print, where printing switched
// off by the setting is no error.
#include <gtest/gtest.h>

#include <cups/cups.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "print/count_tickets.h"
#include "print/cups_fixture.h"
#include "print/inventory_documents.h"
#include "print/labels.h"
#include "print/office_slips.h"
#include "print/order_document.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "print/receipt_fixture.h"
#include "print/spooler.h"

namespace tarvo {
namespace {

using namespace receipt_fixture;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A print server that accepts every connection on 127.0.0.1 and never says
// a word; the connections stay open until it is destroyed.
class SilentServer {
public:
    SilentServer() {
        listener_ = cups_fixture::FreeTcpListener(port_);
        if (listener_ < 0 || ::pipe(stop_) != 0) return;
        thread_ = std::thread([this] {
            std::vector<int> held;
            for (;;) {
                pollfd p[2] = {{listener_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
                if (::poll(p, 2, -1) < 0 || p[1].revents != 0) break;
                const int c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
                if (c >= 0) held.push_back(c);
            }
            for (int c : held) ::close(c);
        });
    }
    ~SilentServer() {
        if (thread_.joinable()) {
            (void)!::write(stop_[1], "x", 1);
            thread_.join();
        }
        for (int fd : {stop_[0], stop_[1], listener_})
            if (fd >= 0) ::close(fd);
    }
    bool Ready() const { return thread_.joinable(); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int listener_ = -1, port_ = 0;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

class SpoolerFailureTest : public ReceiptTest {
protected:
    void TearDown() override {
        cupsSetServer(nullptr);
        ReceiptTest::TearDown();
    }
};

TEST_F(SpoolerFailureTest, SilentPrintServerFailsTheReceiptWithinSecondsAndEveryLaterOneToo) {
    SilentServer server;
    ASSERT_TRUE(server.Ready());
    cupsSetServer(server.Address().c_str());
    gSettings.gPrinterType = PrinterType::Spooler;
    CashSale();
    ASSERT_TRUE(Sale_Save());

    const auto start = Clock::now();
    Receipt_Print();
    const double took = SecondsSince(start);
    EXPECT_LT(took, 10.0);
    EXPECT_LT(took, (kSpoolerConnectMs + kSpoolerAnswerMs) / 1000.0 + 1.0);
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_EQ(gSettings.gPrinterType, PrinterType::Off);
    EXPECT_NE(Log().find("A default USB printer is not specified. Printing disabled."), std::string::npos) << Log();
    EXPECT_NE(Log().find("Printer_Open: no default queue: no answer from " + server.Address()), std::string::npos)
        << Log();

    // The next receipt of the run prints nothing, at once, and says so.
    gPrint.gPrintStatus = 0;
    const auto next = Clock::now();
    Receipt_Print();
    EXPECT_LT(SecondsSince(next), 1.0);
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_NE(Log().find("Print_Recipt: printing is off since the spooler printer could not be opened"),
              std::string::npos)
        << Log();
}

// The job of a printout whose queue was found, when the server then stops
// answering: every step of the job waits on the same bounded connection.
TEST_F(SpoolerFailureTest, SilentPrintServerRefusesAJobWithinSeconds) {
    SilentServer server;
    ASSERT_TRUE(server.Ready());
    cupsSetServer(server.Address().c_str());
    std::string error;
    const auto start = Clock::now();
    EXPECT_FALSE(Spooler_Submit("RAWQ", "receipt\n", error));
    EXPECT_LT(SecondsSince(start), (kSpoolerConnectMs + kSpoolerAnswerMs) / 1000.0 + 1.0);
    EXPECT_NE(error.find("no answer from " + server.Address()), std::string::npos) << error;
}

// Printing off by the setting is nothing to do; off because the printer was
// lost, every printout that was asked for did not print.
TEST_F(SpoolerFailureTest, PrintoutsWhilePrintingIsOffReportAnErrorOnlyWhenThePrinterWasLost) {
    struct Case {
        const char* name;  // as it names itself in the log
        std::function<void()> print;
        std::int16_t offBySetting, lost;
    };
    const Case cases[] = {
        {"Print_Recipt", [] { Receipt_Print(); }, 0, 1},
        {"Order_Print", [] { Order_Print(); }, 0, 1},
        {"Purchase_Print", [] { Purchase_Print(); }, 0, 1},
        {"Adjustment_Print", [] { Adjustment_Print(); }, 0, 1},
        {"Print_NewClient", [] { Print_NewClient(1, 2); }, 0, 1},
        {"Print_NewProduct", [] { Print_NewProduct(0, 2); }, 0, 1},
        {"PhysicalStart_Print", [] { PhysicalStart_Print(); }, 0, 1},
        {"Item_PrintLine", [] { Item_PrintLine(); }, 0, 1},
        {"Drawer_Open", [] { Drawer_Open(); }, 0, 1},
        {"Printer_Open",
         [] {
             Printer_Open();
             Printer_Line(1, 0, "text");
             Printer_Close(true);
         },
         0, 5},
        {"Label output", [] { Label_Print(); }, 5, 1},
    };
    gSettings.gPrinterType = PrinterType::Off;
    gSettings.gDrawerPort = 0;
    for (const bool lost : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (lost ? ", printer lost" : ", off by the setting"));
            gPrint.gPrinterLost = lost;
            // A status none of them leaves, so each case shows what it set.
            gPrint.gPrintStatus = 9;
            c.print();
            EXPECT_EQ(gPrint.gPrintStatus, lost ? c.lost : c.offBySetting);
            const bool logged = Log().find(std::string(c.name) + ": printing is off since") != std::string::npos;
            EXPECT_EQ(logged, lost) << Log();
        }
    }
}

using ReceiptSpoolerTest = CupsSpoolerTest<ReceiptTest>;

TEST_F(ReceiptSpoolerTest, ReceiptGoesToThePrivatePrintServerWhole) {
    gSettings.gPrinterType = PrinterType::Spooler;
    CashSale();
    ASSERT_TRUE(Sale_Save());
    Receipt_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    const std::string received = ReceiveJob();
    PrinterCapture expected;
    Receipt_Print();
    EXPECT_NE(expected.bytes.find("Total:"), std::string::npos);
    EXPECT_EQ(received, expected.bytes);
}

}  // namespace
}  // namespace tarvo
