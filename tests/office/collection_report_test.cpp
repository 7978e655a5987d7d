// The collection report over a small day written through the real working
// files, compared byte for byte with the golden printouts of
// tests/fixtures/reports/, its window of documents and its report date.
#include "office/collection_report.h"

#include <string>
#include <vector>

#include "office/report_fixture.h"
#include "print/devices.h"

namespace tarvo {
namespace {

class CollectionReportTest : public ReportTest {
protected:
    // Invoices of two cashiers (a refund, a payment of a third of a cent, a
    // sale of another day, a payment of no key) and client orders, one paid
    // with a key no invoice used.
    void Day() {
        Invoice("20261209", "0905", "00000007", {"109.23"}, {}, {{"1", "50"}, {"CARD", "59.23"}});
        Invoice("20261209", "1010", "00000008", {"-10.5"}, {}, {{"1", "-10.5"}});
        Invoice("20261208", "1700", "00000007", {"500"}, {}, {{"1", "500"}});
        Invoice("20261209", "1100", "00000007", {"12.35"}, {}, {{"1", "12.345"}, {"GIFT", "5"}});
        Order("20261209", "00000007", {"200"}, "1", {{"CARD", "30"}, {"24", "100"}});
        Order("20261209", "00000008", {"80"}, "11", {{"1", "20"}});
        Order("20261207", "00000008", {"80"}, "11", {{"1", "70"}});
    }
};

TEST_F(CollectionReportTest, ReportOfADayMatchesItsGoldenPrintouts) {
    Day();
    struct Case {
        const char* golden;
        int language;
        bool wide;
    };
    const std::vector<Case> cases = {
        {"collection_day_en.txt", 1, false},
        {"collection_day_en_wide.txt", 1, true},
        {"collection_day_fr.txt", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gWidePaper = c.wide ? 1 : 0;
        Report_Prepare(ReportKind::Closing);
        ExpectPrintout(Report_Collection, c.golden);
        EXPECT_FALSE(gData.invoices.IsOpen());
        EXPECT_FALSE(gData.orders.IsOpen());
        EXPECT_FALSE(gReportHeader.gHeaderUseReportDate);
    }
}

// Asked for without a prepared date (the manager path) the report covers the
// business date; a typed date serves its one report.
TEST_F(CollectionReportTest, ReportDateIsTypedOrTheBusinessDate) {
    Invoice("20261201", "0905", "00000007", {"11"}, {}, {{"1", "11"}});
    Invoice("20261209", "0905", "00000007", {"22"}, {}, {{"1", "22"}});
    struct Case {
        const char* name;
        const char* typed;  // nullptr: nothing prepared
        const char* dateLine;
        const char* payment;
    };
    const std::vector<Case> cases = {
        {"typed date", "20261201", "Date:     01/Dec/2026\n", "0000002 09:05 Ann                 11.00\n"},
        {"after it, nothing prepared", nullptr, "Date:     09/Dec/2026\n", "0000003 09:05 Ann                 22.00\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.typed) ReportDate_Set(c.typed);
        const std::string printout = Printout(Report_Collection);
        EXPECT_NE(printout.find(c.dateLine), std::string::npos) << printout;
        EXPECT_NE(printout.find(c.payment), std::string::npos) << printout;
    }
    // A date typed for a report that could not print is spent all the same.
    ReportDate_Set("20261201");
    gSettings.gPrinterType = PrinterType::Off;
    Report_Collection();
    gSettings.gPrinterType = PrinterType::Com1;
    EXPECT_NE(Printout(Report_Collection).find("Date:     09/Dec/2026\n"), std::string::npos);
    // Nobody logged in and nothing prepared: today's date, never an empty one.
    gReg.gBusinessDate.clear();
    gSale.gDateText.clear();
    EXPECT_NE(Printout(Report_Collection).find("Date:     09/Dec/2026\n"), std::string::npos);
}

// Only the newest 3000 invoices are looked at.
TEST_F(CollectionReportTest, InvoicesBeforeTheWindowAreNotReported) {
    Invoice("20261209", "0800", "00000007", {"7"}, {}, {{"1", "7"}});
    Open_FileInvoice();
    for (int i = 0; i < 3000; ++i) {
        const std::string number = PadZero(std::to_string(gData.gLastInvoiceRecord + 1), 7);
        ASSERT_TRUE(gData.invoices.Write(++gData.gLastInvoiceRecord, Fixed(130, {{1, number}, {12, "20261208"}})));
    }
    ASSERT_TRUE(gData.invoices.Write(1, HeaderRecord(gData.gLastInvoiceRecord, 130)));
    gData.invoices.Close();
    Invoice("20261209", "0900", "00000007", {"9"}, {}, {{"1", "9"}});
    const std::string printout = Printout(Report_Collection);
    EXPECT_EQ(printout.find("0000002 08:00"), std::string::npos);
    EXPECT_NE(printout.find("0003003 09:00 Ann                  9.00\n"), std::string::npos) << printout;
}

TEST_F(CollectionReportTest, NothingPrintedEndsOnAStatusThatSaysWhy) {
    Day();
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 5;
    EXPECT_EQ(Printout(Report_Collection), "\n");
    EXPECT_EQ(gPrint.gPrintStatus, 0);

    dir.Write(kDeviceMapFile, "LPT1=" + dir.Path() + "/no/such/folder/lp\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Report_Collection();
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(gData.invoices.IsOpen());
}

}  // namespace
}  // namespace tarvo
