// The heading of the printed communication log: its four lines in both
// languages with no feed or cut after them, printing switched off, and an
// output that fails part-way.
#include "office/comm_log_heading.h"

#include <string>
#include <vector>

#include "file_size_limit.h"
#include "office/report_fixture.h"
#include "print/devices.h"

namespace tarvo {
namespace {

using CommLogHeadingTest = ReportTest;

TEST_F(CommLogHeadingTest, FourLinesThenTheSessionGoesOnUnderThem) {
    clock.Set(LocalTime{2026, 3, 7, 8, 5, 9});
    struct Case {
        int language;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {1, "@\n***** Automatic Communication Log *****\nDate:     03-07-2026\nTime:     08:05:09\n"
            "Terminal: 1234567\n"},
        {2, "@\n***** Rondin de Communication Automatique *****\nDate:     03-07-2026\nHeure:    08:05:09\n"
            "Terminal: 1234567\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        EXPECT_EQ(Printout(Communicate_Header), c.expected);  // no feed, no cut
        EXPECT_EQ(gPrint.gPrintStatus, 0);
    }
}

TEST_F(CommLogHeadingTest, PrintingSwitchedOffPrintsNothing) {
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 5;
    EXPECT_EQ(Printout(Communicate_Header), "\n");
    EXPECT_EQ(gPrint.gPrintStatus, 0);
}

TEST_F(CommLogHeadingTest, OutputFailingPartWayIsLoggedWithStatus2) {
    const std::string file = dir.Write("lp.out", "");
    dir.Write(kDeviceMapFile, "LPT1=" + file + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    gTerminalNumber = std::string(6000, '9');  // more than the printer file may still take
    ASSERT_LT(LogText().size(), 1000u);
    {
        FileSizeLimit limit(4096);
        Communicate_Header();
    }
    EXPECT_EQ(gPrint.gPrintStatus, 2);
    EXPECT_NE(LogText().find("Communicate_Header: Printer error in middle of printing"), std::string::npos);
    EXPECT_EQ(dir.Read("lp.out").size(), 4096u);
}

}  // namespace
}  // namespace tarvo
