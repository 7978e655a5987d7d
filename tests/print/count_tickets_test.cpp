// The report heading and the stock-count printouts (count-start slip, item
// tickets) as the printer receives them: golden bytes through the capture
// backend, a parallel port file that fails and comes back, the on-screen
// panel, and the spooler of a private print server.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "print/count_tickets.h"
#include "print/cups_fixture.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "print/report_header.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace print_golden;

const std::string& kInit = kOpen;

class CountTicketTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        gPrint = PrintState{};
        gReportHeader = ReportHeaderState{};
        gCountRunningTotal = Money();
        gTerminalNumber = "1234567";
        gSettings.gTerminalDescription = "Front counter";
        gSettings.gHeaderLine = {"MY STORE", "", "12 Quay Street", "", ""};
        gSale.gDateText = "09/December/2026";
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.ManagerTable.push_back(ManagerRow{"00000009", "9999", "Max", "111"});
        gReg.gCashierIndex = 1;
        gReg.gManagerIndex = 1;
        UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Printer_Abandon();
        RegisterTest::TearDown();
    }
    // The counted item, as the stock count leaves it in sale line 1.
    void Counted(const char* key, const char* description, double quantity, const char* price, const char* extension) {
        gSale.gLines[1].key = key;
        gSale.gLines[1].description = description;
        gSale.gLines[1].quantity = quantity;
        gSale.gLines[1].unitPrice = *Money::Parse(price);
        gSale.gLines[1].extension = *Money::Parse(extension);
    }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }

    TestDir dir;
};

// The heading lines down to the terminal description, with the date given.
std::string Heading(const std::string& date) {
    return L("MY STORE") + L("12 Quay Street") + L("") + L("Date:     " + date) + L("Time:     10:30") +
           L("Terminal: 1234567") + L(B(10) + "Front counter");
}
const std::string kHeading = Heading("09/December/2026");

// ------------------------------------------------------------ heading ----

TEST_F(CountTicketTest, ReportHeadingNamesWhoIsOnDutyInTheTerminalLanguage) {
    struct Case {
        const char* name;
        int language;
        int wide;
        std::int32_t manager, cashier;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"manager and cashier", 1, 0, 1, 1, kHeading + L("Manager:  Max") + L("Cashier:  Ann") + Rule(40)},
        {"nobody, wide paper", 1, 1, 0, 0, kHeading + Rule(54)},
        {"an index beyond the tables prints no name", 1, 0, 5, 9, kHeading + Rule(40)},
        {"French labels", 2, 0, 1, 1,
         L("MY STORE") + L("12 Quay Street") + L("") + L("Date:     09/December/2026") + L("Heure:    10:30") +
             L("Terminal: 1234567") + L(B(10) + "Front counter") + L("Manager:  Max") + L("Commis:   Ann") + Rule(40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gWidePaper = static_cast<std::int16_t>(c.wide);
        gReg.gManagerIndex = c.manager;
        gReg.gCashierIndex = c.cashier;
        PrinterCapture cap;
        gPrint.gPrintNoInit = true;
        Printer_Open();
        ReportHeader_Print();
        gPrint.gPrintNoInit = true;
        Printer_Close(true);
        EXPECT_EQ(cap.bytes, c.expected);
    }
}

TEST_F(CountTicketTest, ReportDateIsPrintedForOneHeadingOnly) {
    gReg.gManagerIndex = 0;
    gReportHeader.gHeaderUseReportDate = true;
    gReportHeader.gReportDateText = "30/November/2026";
    PrinterCapture cap;
    gPrint.gPrintNoInit = true;
    Printer_Open();
    ReportHeader_Print();
    EXPECT_FALSE(gReportHeader.gHeaderUseReportDate);
    ReportHeader_Print();
    EXPECT_EQ(cap.bytes,
              Heading("30/November/2026") + L("Cashier:  Ann") + Rule(40) + kHeading + L("Cashier:  Ann") + Rule(40));
}

// ------------------------------------------------------------ tickets ----

TEST_F(CountTicketTest, CountStartSlipStaysOpenUntilTheFirstTicket) {
    PrinterCapture cap;
    PhysicalStart_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    const std::string slip = kInit + kHeading + L("Manager:  Max") + L("Cashier:  Ann") + Rule(40) +
                             L("Physical Inventory Count Started") + Rule(40) + L("");
    EXPECT_EQ(cap.bytes, slip);  // no feed, no cut: the count goes on

    // A worked case: a unit price of 5 and an extension of 5.
    Counted("APPLE", "Apple", 1, "5", "5");
    Item_PrintLine();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(cap.bytes, slip + L("APPLE" + B(8) + "Apple" + B(15) + B(5) + "1") +
                             L("@" + B(6) + "$5.00=" + B(6) + "$5.00" + B(10) + "$5.00") + Rule(40) + kClose);
    EXPECT_EQ(gCountRunningTotal, *Money::Parse("5"));
}

TEST_F(CountTicketTest, TicketsCarryTheRunningTotalOnBothPaperWidths) {
    struct Item {
        const char* key;
        const char* description;
        double quantity;
        const char* price;
        const char* extension;
    };
    // The last item's figures are wider than their fields: they print whole.
    const std::vector<Item> items = {
        {"4006381333931", "Pencils, box of twelve", 0.5, "12.50", "6.25"},
        {"BOOK", "Book", -2, "20", "-40"},
        {"LOOM", "Loom", 3, "1234567", "3703701"},
    };
    struct Case {
        const char* name;
        int wide;
        std::vector<std::string> lines;  // line 1 of each ticket
    };
    const std::vector<Case> cases = {
        {"narrow",
         0,
         {"4006381333931Pencils, box of twel" + B(4) + ".5", "BOOK" + B(9) + "Book" + B(16) + B(4) + "-2",
          "LOOM" + B(9) + "Loom" + B(16) + B(5) + "3"}},
        {"wide",
         1,
         {"4006381333931" + B(3) + "Pencils, box of twelve" + B(8) + B(6) + ".5",
          "BOOK" + B(12) + "Book" + B(26) + B(6) + "-2", "LOOM" + B(12) + "Loom" + B(26) + B(7) + "3"}},
    };
    const std::vector<std::string> amounts = {
        "@" + B(5) + "$12.50=" + B(6) + "$6.25" + B(10) + "$6.25",
        "@" + B(5) + "$20.00=" + B(4) + "$-40.00" + B(8) + "$-33.75",
        "@$1,234,567.00=$3,703,701.00" + B(2) + "$3,703,667.25",
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSettings.gWidePaper = static_cast<std::int16_t>(c.wide);
        gCountRunningTotal = Money();
        PrinterCapture cap;
        std::string expected;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& it = items[i];
            Counted(it.key, it.description, it.quantity, it.price, it.extension);
            Item_PrintLine();
            EXPECT_EQ(gPrint.gPrintStatus, 0);
            // No initialise sequence; each ticket is fed and cut.
            expected += L(c.lines[i]) + L(amounts[i]) + Rule(c.wide ? 54 : 40) + kClose;
        }
        EXPECT_EQ(cap.bytes, expected);
        EXPECT_EQ(gCountRunningTotal, *Money::Parse("3703667.25"));
    }
}

TEST_F(CountTicketTest, PrinterOffPrintsNothingAndSetsStatusZero) {
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 3;
    PrinterCapture cap;
    PhysicalStart_Print();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    gPrint.gPrintStatus = 3;
    Counted("APPLE", "Apple", 1, "5", "5");
    Item_PrintLine();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(cap.bytes, "");
}

TEST_F(CountTicketTest, TicketOnAPrinterThatFailsIsStatusOneAndTheTotalKeepsCounting) {
    const std::string file = dir.Write("lp.out", "");
    dir.Write(kDeviceMapFile, "LPT1=" + (dir / "missing/lp0") + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Counted("APPLE", "Apple", 1, "5", "5");
    Item_PrintLine();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_NE(Log().find("Printer_Open: HandlerPrinterOpen, Unable to open printer port"), std::string::npos);

    // The printer is back: the next ticket's total still holds the first item.
    dir.Write(kDeviceMapFile, "LPT1=" + file + "\n");
    Counted("BOOK", "Book", 2, "10", "20");
    Item_PrintLine();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_EQ(dir.Read("lp.out"), L("BOOK" + B(9) + "Book" + B(16) + B(5) + "2") +
                                      L("@" + B(5) + "$10.00=" + B(5) + "$20.00" + B(9) + "$25.00") + Rule(40) +
                                      kClose);
}

TEST_F(CountTicketTest, TicketInPrintToScreenModeAddsToThePanelAndShowsIt) {
    gSettings.gPrinterType = PrinterType::Com1;
    screen.SetText(kPrintout, "Slip\r\n");
    gPrint.gPrintToScreen = true;
    PrinterCapture cap;
    Counted("APPLE", "Apple", 1, "5", "5");
    Item_PrintLine();
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    // The panel is not cleared first; it is shown by the close.
    EXPECT_EQ(screen.Text(kPrintout), "Slip\r\n" + L("APPLE" + B(8) + "Apple" + B(15) + B(5) + "1") +
                                          L("@" + B(6) + "$5.00=" + B(6) + "$5.00" + B(10) + "$5.00") + Rule(40));
    EXPECT_TRUE(screen.Visible(kPrintout));
    EXPECT_FALSE(gPrint.gPrintToScreen);
    EXPECT_EQ(cap.bytes, "");
}

// ------------------------------------------------------------ spooler ----

using CountTicketSpoolerTest = CupsSpoolerTest<CountTicketTest>;

TEST_F(CountTicketSpoolerTest, SlipAndEachTicketArriveAsJobsOfTheirOwn) {
    gSettings.gPrinterType = PrinterType::Spooler;
    gReg.gManagerIndex = 0;
    PhysicalStart_Print();
    ASSERT_EQ(gPrint.gPrintStatus, 0) << Log();
    Counted("APPLE", "Apple", 1, "5", "5");
    Item_PrintLine();
    EXPECT_EQ(gPrint.gPrintStatus, 0) << Log();
    // The slip is sent when the first ticket starts: no feed or cut.
    EXPECT_EQ(ReceiveJob(), "@\nMY STORE\n12 Quay Street\n\nDate:     09/December/2026\nTime:     10:30\n"
                            "Terminal: 1234567\n" +
                                B(10) + "Front counter\nCashier:  Ann\n" + std::string(40, '-') +
                                "\nPhysical Inventory Count Started\n" + std::string(40, '-') + "\n\n");
    // A ticket on the spooler: no initialise, no feed, no cut.
    EXPECT_EQ(ReceiveJob(), "APPLE" + B(8) + "Apple" + B(15) + B(5) + "1\n@" + B(6) + "$5.00=" + B(6) + "$5.00" +
                                B(10) + "$5.00\n" + std::string(40, '-') + "\n");
}

}  // namespace
}  // namespace tarvo
