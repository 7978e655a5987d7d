// The closing, sales and cashier report over small days written through the
// real working files, compared byte for byte with the golden printouts of
// tests/fixtures/reports/, and the data that must not stop it.
#include "office/closing_report.h"

#include <filesystem>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "office/collection_report.h"
#include "office/drawer_report.h"
#include "office/report_fixture.h"
#include "print/devices.h"
#include "screen/controls.h"

namespace tarvo {
namespace {

class ClosingReportTest : public ReportTest {
protected:
    // Two cashiers' sales (a return, a sale of another day, a payment of a
    // type no key has) and the journal of the day.
    void Day() {
        Journal("20261209", "0800", 'O', "00000007", "100");
        Invoice("20261209", "0905", "00000007", {"100", "-5", "4.75", "9.48"},
                {{"A100", "2", "30"}, {"B200", "12", "36"}, {"C300", "1", "4"}}, {{"1", "50"}, {"CARD", "59.23"}});
        Invoice("20261209", "1010", "00000008", {"-10", "", "-.5"}, {{"A100", "-1", "10"}}, {{"1", "-10.5"}});
        Invoice("20261208", "1700", "00000007", {"500"}, {{"A100", "1", "500"}}, {{"1", "500"}});
        Invoice("20261209", "1100", "00000007", {"20"}, {{"D400", "1", "20"}}, {{"1", "20"}, {"GIFT", "5"}});
        Journal("20261209", "1200", 'D', "00000007", "50");
        Journal("20261209", "1300", 'P', "00000008", "12.5");
        Journal("20261208", "1400", 'D', "00000007", "999");
        Journal("20261209", "1800", 'C', "00000007", "-2");
    }
    // Client orders of two kinds, with deposits, and what is not counted:
    // a document type no kind has and an order that is not a client order.
    void OrderDay() {
        Journal("20261209", "0800", 'O', "00000007", "100");
        Invoice("20261209", "0905", "00000007", {"10"}, {{"A100", "1", "10"}}, {{"1", "10"}});
        Order("20261209", "00000007", {"200", "-20", "9"}, "1", {{"1", "50"}, {"CARD", "30"}});
        Order("20261209", "00000008", {"80", "", "4"}, "11", {{"1", "20"}});
        Order("20261209", "00000007", {"999"}, "7", {{"1", "999"}});
        Order("20261209", "00000007", {"555"}, "1", {{"1", "555"}}, "0");
        Order("20261208", "00000007", {"444"}, "1", {{"1", "444"}});
    }
};

TEST_F(ClosingReportTest, ReportsOfADayMatchTheirGoldenPrintouts) {
    Day();
    struct Case {
        const char* golden;
        std::int16_t mode;
        int language;
        bool wide;
        bool cashCounted;  // setting 270
    };
    const std::vector<Case> cases = {
        {"closing_day_en.txt", 1, 1, false, false},
        {"closing_day_en.txt", 1, 1, true, false},  // the report's rules do not follow the paper
        {"closing_day_fr.txt", 1, 2, false, false},
        {"cashier_report_ann.txt", 3, 1, false, false},
        {"sales_report_day.txt", 2, 1, false, false},
        {"closing_day_cash_counted.txt", 1, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gReportOption = c.cashCounted;
        Report_Prepare(static_cast<ReportKind>(c.mode));
        ExpectPrintout(Print_Closing, c.golden);
        EXPECT_FALSE(gData.invoices.IsOpen());
        EXPECT_FALSE(gData.orders.IsOpen());
    }
}

TEST_F(ClosingReportTest, CollectionsPerKeyOutliveTheReport) {
    Day();
    Report_Prepare(ReportKind::Closing);
    Printout(Print_Closing);
    EXPECT_EQ(gReport.gPaymentTotals[1].Text(), "59.5");
    EXPECT_EQ(gReport.gPaymentTotals[2].Text(), "59.23");
    EXPECT_TRUE(gReport.gPaymentTotals[3].IsZero());
}

TEST_F(ClosingReportTest, SalesReportWithCashCountedGoesOnToTheCollections) {
    Day();
    gSettings.gReportOption = true;
    Report_Prepare(ReportKind::Sales);
    const std::string printout = Printout(Print_Closing);
    EXPECT_EQ(printout.find("SALES SUMMARY"), std::string::npos);
    EXPECT_NE(printout.find("<COLLECTION SUMMARY>"), std::string::npos);
}

// The report kind and the communication mode were once one value: a session
// run between the Print page's preparation and the report changed the report.
TEST_F(ClosingReportTest, ACommunicationSessionLeavesThePreparedReportAlone) {
    Day();
    gComm.gOperationMode = CommMode::AllData;
    Report_Prepare(ReportKind::Sales);
    EXPECT_EQ(gComm.gOperationMode, CommMode::AllData);
    gComm.gOperationMode = CommMode::Log;  // the value the closing report once had
    ExpectPrintout(Print_Closing, "sales_report_day.txt");
    EXPECT_EQ(gReport.gReportKind, ReportKind::Sales);
}

TEST_F(ClosingReportTest, OrdersGiveTheOrderAndClientDepositSummaries) {
    OrderDay();
    Report_Prepare(ReportKind::Closing);
    ExpectPrintout(Print_Closing, "closing_orders.txt");
    EXPECT_EQ(gReport.gPaymentTotals[1].Text(), "80");  // the cash deposits added
    gSettings.gReportOption = true;
    Report_Prepare(ReportKind::Closing);
    ExpectPrintout(Print_Closing, "closing_orders_cash_counted.txt");
}

TEST_F(ClosingReportTest, EmptyDayPrintsZeroTotals) {
    Journal("20261208", "0800", 'O', "00000007", "100");  // another day's journal
    Report_Prepare(ReportKind::Closing);
    ExpectPrintout(Print_Closing, "closing_empty_day.txt");
}

// What the payments leave open: sold on credit when they fall short, credit
// notes when they pass the total. The payment keys keep their captions.
TEST_F(ClosingReportTest, DifferenceLineNamesCreditOrCreditNotes) {
    struct Case {
        const char* paid;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"50", Amt("Sales on Credit", "10.00")},
        {"70", Amt("Credit Notes Issued", "-10.00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paid);
        TearDown();
        SetUp();
        Invoice("20261209", "0905", "00000007", {"60"}, {}, {{"1", c.paid}});
        Report_Prepare(ReportKind::Closing);
        const std::string printout = Printout(Print_Closing);
        const std::string expected = "<COLLECTION SUMMARY>\n" + std::string(40, '-') + "\n" +
                                     Amt("Cash", std::string(c.paid) + ".00") + c.line + std::string(22, ' ') +
                                     std::string(11, '-') + "\n" + Amt("Total: ", "60.00");
        EXPECT_NE(printout.find(expected), std::string::npos) << printout;
        EXPECT_EQ(gTender.gPaymentListName[3], "Sales on Credit");
    }
}

// Ordinary data never stops the report: each case prints its report whole
// (status 0, the feed and cut at the end) with the line shown.
TEST_F(ClosingReportTest, OrdinaryDataNeverStopsTheReport) {
    struct Case {
        const char* name;
        std::vector<LineRow> lines;
        std::vector<PayRow> payments;
        std::string subtotal;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"units factor blank counts one unit", {{"D400", "3", "2.5"}}, {{"1", "7.5"}}, "7.5", {Amt("Grocery", "7.50")}},
        {"amount too wide prints whole",
         {{"A100", "2", "999999.99"}},
         {{"1", "999999.99"}, {"1", "999999.99"}},
         "999999.99",
         {"Grocery               1,999,999.98\n", "Cash                  1,999,999.98\n",
          Amt("Gross Sales:", "999,999.99")}},
        {"payment of no key is left out",
         {},
         {{"1", "5"}, {"GIFT", "3"}},
         "5",
         {Amt("Cash", "5.00") + Amt("Total: ", "5.00")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Invoice("20261209", "0905", "00000007", {c.subtotal}, c.lines, c.payments);
        Report_Prepare(ReportKind::Closing);
        std::string printout = Printout(Print_Closing);
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_EQ(printout.substr(printout.size() - 3), "FC\n");
        // Compare without the short rules between the lines.
        const std::string shortRule = std::string(22, ' ') + std::string(11, '-') + "\n";
        for (std::size_t at; (at = printout.find(shortRule)) != std::string::npos;)
            printout.erase(at, shortRule.size());
        for (const std::string& line : c.expected)
            EXPECT_NE(printout.find(line), std::string::npos) << line << printout;
    }
}

TEST_F(ClosingReportTest, ManyCategoriesAreAllListed) {
    std::vector<std::string> products;
    for (int i = 0; i < 320; ++i) {
        const std::string n = std::to_string(1000 + i);
        gData.CategoryTable.push_back(CategoryRow{"C" + n, "Category " + n});
        products.push_back(Fixed(273, {{12, "P" + n}, {34, "C" + n}, {175, "1"}}));
    }
    gData.gCategoryCount = static_cast<std::int32_t>(gData.CategoryTable.size()) - 1;
    Products(products);
    std::vector<LineRow> lines;
    for (int i = 0; i < 320; ++i) lines.push_back({"P" + std::to_string(1000 + i), "1", "1"});
    Invoice("20261209", "0905", "00000007", {"320"}, lines, {{"1", "320"}});
    Report_Prepare(ReportKind::Sales);
    const std::string printout = Printout(Print_Closing);
    EXPECT_EQ(gPrint.gPrintStatus, 0);
    EXPECT_NE(printout.find(Amt("Category 1000", "1.00")), std::string::npos);
    EXPECT_NE(printout.find(Amt("Category 1319", "1.00")), std::string::npos);
}

// The date prepared for a report serves that report only; a report asked for
// without one covers the business date.
TEST_F(ClosingReportTest, ReportDateServesOneReport) {
    Invoice("20261201", "0905", "00000007", {"11"}, {}, {{"1", "11"}});
    Invoice("20261209", "0905", "00000007", {"22"}, {}, {{"1", "22"}});
    Report_Prepare(ReportKind::Sales);
    ReportDate_Set("20261201");
    std::string printout = Printout(Print_Closing);
    EXPECT_NE(printout.find("Date:     01/Dec/2026\n"), std::string::npos);
    EXPECT_NE(printout.find(Amt("Gross Sales:", "11.00")), std::string::npos);
    printout = Printout(Print_Closing);
    EXPECT_NE(printout.find("Date:     09/Dec/2026\n"), std::string::npos);
    EXPECT_NE(printout.find(Amt("Gross Sales:", "22.00")), std::string::npos);
}

TEST_F(ClosingReportTest, NothingPrintedEndsOnAStatusThatSaysWhy) {
    Day();
    // Printing switched off: nothing to do, and the drawer stays shut.
    gSettings.gPrinterType = PrinterType::Off;
    Report_Prepare(ReportKind::Closing);
    EXPECT_EQ(Printout(Print_Closing), "\n");
    EXPECT_EQ(gPrint.gPrintStatus, 0);

    // No report prepared.
    gSettings.gPrinterType = PrinterType::Com1;
    gReport.gReportKind = ReportKind::None;
    EXPECT_EQ(Printout(Print_Closing), "\n");
    EXPECT_EQ(gPrint.gPrintStatus, 2);

    // An output that does not open.
    dir.Write(kDeviceMapFile, "LPT1=" + dir.Path() + "/no/such/folder/lp\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Report_Prepare(ReportKind::Cashier);
    Print_Closing();
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(gData.invoices.IsOpen());
}

TEST_F(ClosingReportTest, OutputFailingPartWayEndsTheReportWithStatus2) {
    Day();
    const std::string file = dir.Write("lp.out", "");
    dir.Write(kDeviceMapFile, "LPT1=" + file + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Report_Prepare(ReportKind::Cashier);
    gSettings.gHeaderLine[2] = std::string(6000, 'X');  // more than the printer file may still take
    ASSERT_LT(LogText().size(), 1000u);
    {
        FileSizeLimit limit(4096);
        Print_Closing();
    }
    EXPECT_EQ(gPrint.gPrintStatus, 2);
    EXPECT_NE(LogText().find("Print_Closing: HandlerPrintClosing: Printer error in middle of printing"),
              std::string::npos);
    const std::string printed = dir.Read("lp.out");
    EXPECT_EQ(printed.size(), 4096u);
    EXPECT_EQ(printed.back(), 'X');  // nothing after the failure, no feed or cut
    EXPECT_FALSE(gData.invoices.IsOpen());
}

// A report shown on the screen still kicks the drawer on the printer.
TEST_F(ClosingReportTest, ReportOnTheScreenOpensTheDrawerOnThePrinter) {
    Day();
    struct Case {
        void (*report)();
        const char* title;
    };
    const std::vector<Case> cases = {{Print_Closing, "CLOSING REPORT"}, {Report_Drawer, "DRAWER REPORT"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Report_Prepare(ReportKind::Closing);
        gPrint.gPrintToScreen = true;
        PrinterCapture cap;
        c.report();
        EXPECT_EQ(cap.bytes, "D\r\n");
        EXPECT_NE(screen.Text(kPrintout).find(c.title), std::string::npos);
        EXPECT_FALSE(gPrint.gPrintToScreen);
    }
}

// The three reports the Print page asks for after a closing.
TEST_F(ClosingReportTest, CashOfficeOffersTheReports) {
    Day();
    struct Case {
        void (*report)();
        const char* title;
    };
    const std::vector<Case> cases = {
        {Print_Closing, "<CLOSING REPORT>"},
        {Report_Drawer, "<DRAWER REPORT>"},
        {Report_Collection, "<COLLECTION SUMMARY>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Report_Prepare(ReportKind::Closing);
        PrinterCapture cap;
        c.report();
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        EXPECT_NE(cap.bytes.find(c.title), std::string::npos);
    }
}

}  // namespace
}  // namespace tarvo
