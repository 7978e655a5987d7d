// The drawer report of the business day over small days written through the
// real working files, compared byte for byte with the golden printouts of
// tests/fixtures/reports/.
#include "office/drawer_report.h"

#include <string>
#include <vector>

#include "office/report_fixture.h"
#include "print/devices.h"

namespace tarvo {
namespace {

class DrawerReportTest : public ReportTest {
protected:
    // Every cashier's sales of the day (a cash refund, a sale of another day,
    // a payment of a type no key has) and the journal.
    void Day() {
        Journal("20261209", "0800", 'O', "00000007", "100");
        Invoice("20261209", "0905", "00000007", {"100", "-5", "4.75", "9.48"}, {{"A100", "2", "30"}},
                {{"1", "50"}, {"CARD", "59.23"}});
        Invoice("20261209", "1010", "00000008", {"-10", "", "-.5"}, {}, {{"1", "-10.5"}});
        Invoice("20261208", "1700", "00000007", {"500"}, {}, {{"1", "500"}});
        Invoice("20261209", "1100", "00000008", {"20"}, {}, {{"1", "20"}, {"GIFT", "5"}});
        Journal("20261209", "1200", 'D', "00000007", "50");
        Journal("20261209", "1300", 'P', "00000008", "12.5");
        Journal("20261208", "1400", 'D', "00000007", "999");
        Journal("20261209", "1800", 'C', "00000007", "-2");  // a declaration is no drawer movement
    }
};

TEST_F(DrawerReportTest, ReportsOfADayMatchTheirGoldenPrintouts) {
    Day();
    struct Case {
        const char* golden;
        std::int16_t mode;
        int language;
        bool wide;
        bool cashCounted;  // setting 270
    };
    const std::vector<Case> cases = {
        {"drawer_day_en.txt", 1, 1, false, false},    {"drawer_day_en.txt", 1, 1, true, false},
        {"drawer_day_fr.txt", 1, 2, false, false},    {"drawer_day_cash_counted.txt", 1, 1, false, true},
        {"drawer_day_mode2.txt", 2, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gReportOption = c.cashCounted;
        gReport.gReportKind = static_cast<ReportKind>(c.mode);
        ExpectPrintout(Report_Drawer, c.golden);
        EXPECT_FALSE(gData.invoices.IsOpen());
        EXPECT_FALSE(gData.activity.IsOpen());
    }
    EXPECT_EQ(gReport.gPaymentInCount[1], 2);
    EXPECT_EQ(gReport.gPaymentRefundCount[1], 1);
    EXPECT_EQ(gReport.gPaymentRefunds[1].Text(), "-10.5");
}

// What the payments leave open, labelled as in the closing report; the
// payment keys keep their captions.
TEST_F(DrawerReportTest, DifferenceLineNamesCreditOrCreditNotes) {
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
        const std::string printout = Printout(Report_Drawer);
        const std::string expected = Amt("Total: ", "60.00") + c.line + std::string(22, ' ') + std::string(11, '-') +
                                     "\n" + Amt("Total: ", "60.00") + "FC\n";
        EXPECT_NE(printout.find(expected), std::string::npos) << printout;
        EXPECT_EQ(gTender.gPaymentListName[3], "Sales on Credit");
    }
}

// Only the newest 1000 journal records are looked at; the openings of the
// day add up, as in the closing report.
TEST_F(DrawerReportTest, JournalIsReadFromItsNewestThousandRecords) {
    Journal("20261209", "0700", 'D', "00000007", "500");  // 1001 records back
    Journal("20261209", "0800", 'O', "00000007", "100");
    JournalMany(998, "20261209", 'I');
    Journal("20261209", "1000", 'O', "00000007", "150");
    Journal("20261209", "1100", 'B', "00000007", "40");
    const std::string printout = Printout(Report_Drawer);
    EXPECT_EQ(printout.find("Deposits to Safe:"), std::string::npos);
    EXPECT_NE(printout.find(Amt("Deposits to Bank:", "40.00")), std::string::npos);
    EXPECT_NE(printout.find(Amt("Opening Balance:", "250.00")), std::string::npos);
    EXPECT_NE(printout.find(Amt("Cash In Drawer:", "210.00")), std::string::npos);
}

TEST_F(DrawerReportTest, OutputThatDoesNotOpenStopsTheReport) {
    Day();
    dir.Write(kDeviceMapFile, "LPT1=" + dir.Path() + "/no/such/folder/lp\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    Report_Drawer();
    EXPECT_NE(gPrint.gPrintStatus, 0);
    EXPECT_FALSE(gData.invoices.IsOpen());

    gSettings.gPrinterType = PrinterType::Off;  // printing switched off: nothing to do
    EXPECT_EQ(Printout(Report_Drawer), "\n");
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

}  // namespace
}  // namespace tarvo
