// The time and attendance report: a day of the journal written through the
// real files, printed into the capture backend and compared byte for byte
// with printouts written out by hand (narrow and wide paper, English and
// French), the worked-time arithmetic, the limits and the printer failures.
#include "office/attendance_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/data_state.h"
#include "data/transaction_files.h"
#include "file_size_limit.h"
#include "print/devices.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/register_fixture.h"
#include "test_dir.h"

namespace tarvo {
namespace {

using namespace print_golden;

constexpr const char* kTerminal = "1234567";

std::string Record(const std::string& date, const std::string& time, char type, const std::string& person,
                   const std::string& amount = "") {
    std::string who = person, money = amount;
    who.resize(8, ' ');
    money.resize(9, ' ');
    return date + time + type + "0" + std::string(8, ' ') + who + money + std::string(9, ' ');
}
std::string In(const std::string& time, const std::string& person) { return Record("20261209", time, 'I', person); }
std::string Out(const std::string& time, const std::string& person) { return Record("20261209", time, 'U', person); }

class AttendanceReportTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path(), kTerminal);
        std::filesystem::remove(gConstants.paths.gDataPath + ".ACT");  // each case starts a fresh journal
        gPrint = PrintState{};
        gTerminalNumber = kTerminal;
        gData.CashierTable.push_back(CashierRow{"00000007", "111", "Ann", 1});
        gData.CashierTable.push_back(CashierRow{"00000012", "222", "Bob", 1});
        gData.CashierTable.push_back(CashierRow{"00000031", "333", "Cy", 1});
        gData.gCashierCount = 3;
        gData.ManagerTable.push_back(ManagerRow{"00000009", "999", "Max", "111111111"});
        gSettings.gHeaderLine = {"MY STORE", "", "  12 Main St", "", ""};
        gSale.gDateText = "09/Dec/2026";
        gReg.gBusinessDate = "20261209";
        UseReadableCodes();
        gSettings.gPrinterType = PrinterType::Com1;
    }
    void TearDown() override {
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    void Journal(const std::vector<std::string>& records) {
        Open_FileActivity();
        for (const std::string& r : records)
            EXPECT_TRUE(Transaction_Append(gData.activity, gData.gLastActivityRecord, 40, r, HeaderForm::BlanksAfter));
        gData.activity.Close();
    }
    std::string Printed() {
        PrinterCapture cap;
        Report_TimeAttendance();
        EXPECT_FALSE(gData.activity.IsOpen());
        return cap.bytes;
    }
    bool Logged(const std::string& text) const {
        return dir.Read("Files/" + std::string(kTerminal) + ".LOG").find(text) != std::string::npos;
    }

    TestDir dir;
};

TEST_F(AttendanceReportTest, DayPrintsOnBothPaperWidthsAndBothLanguages) {
    Journal({
        Record("20261208", "2300", 'I', "7"),  // yesterday
        Record("20261209", "0805", 'D', "00000007", "100"),
        Record("20261209", "0806", 'O', "00000012", "150"),  // Bob: no clock records
        In("0850", "7"), In("0900", "44"),                   // not in the cashier table
        Out("0930", "44"), In("1000", "31"),                 // Cy: still in
        Out("1015", "50"),                                   // out without in
        Out("1710", "7"), In("1800", "00000007"),            // Ann again, with the table's zeros
        Out("1900", "7"), Out("1930", "7"),                  // after a completed pair
        Record("20261210", "0010", 'I', "7"),                // after midnight: tomorrow's
    });
    const std::string people = L("Ann" + B(17) + " 08:50  17:10  08:20") + L(B(20) + " 18:00  19:00  01:00") +
                               L("19:30Error: Clock out without in") + L("Bob" + B(17)) +
                               L("Unknown Cashier      09:00  09:30  00:30") + L("Cy" + B(18) + " 10:00  ") +
                               L("Unknown Cashier     10:15Error: Clock out without in");
    auto report = [&](bool french, bool staff) {
        const std::string columns = french ? "Caissier             In     Out   Total"
                                           : "Cashier              In     Out   Total";
        return kOpen + Rule(40) + T(french ? "TEMPS/PR\xC9SENCE" : "TIME/ATTENDANCE") + Rule(40) + L("MY STORE") +
               L("  12 Main St") + L("") + L("Date:     09/Dec/2026") +
               L(std::string(french ? "Heure:    " : "Time:     ") + "00:10") + L("Terminal: 1234567") +
               (staff ? L("Manager:  Max") + L(std::string(french ? "Commis:   " : "Cashier:  ") + "Ann") : "") +
               L("") + L(columns) + Rule(39) + people + Rule(39) + L(B(35) + "09:50") + L("") + kClose;
    };
    struct Case {
        const char* name;
        bool wide;
        int language;
        bool staff;  // a cashier logged in and a manager on the operation
    };
    const std::vector<Case> cases = {
        {"narrow, English", false, 1, false},
        {"wide, English, staff", true, 1, true},
        {"narrow, French, staff", false, 2, true},
        {"wide, French", true, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSettings.gWidePaper = c.wide ? 1 : 0;
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        gReg.gCashierIndex = c.staff ? 1 : 0;
        gReg.gManagerIndex = c.staff ? 1 : 0;
        EXPECT_EQ(Printed(), report(c.language == 2, c.staff));
        EXPECT_EQ(gPrint.gPrintStatus, 0);
    }
}

TEST_F(AttendanceReportTest, WorkedTimesAndTheirTotal) {
    struct Case {
        const char* name;
        std::vector<std::string> journal;
        std::string lines;  // the persons' lines
        std::string total;
    };
    std::vector<std::string> longDay;
    std::string longDayLines;
    for (int n = 1; n <= 5; ++n) {
        longDay.push_back(In("0100", "6" + std::to_string(n)));
        longDay.push_back(Out("2200", "6" + std::to_string(n)));
        longDayLines += L("Unknown Cashier      01:00  22:00  21:00");
    }
    const std::vector<Case> cases = {
        {"minutes carry into hours",
         {In("0800", "7"), Out("1545", "7"), In("0900", "12"), Out("1730", "12")},
         L("Ann" + B(17) + " 08:00  15:45  07:45") + L("Bob" + B(17) + " 09:00  17:30  08:30"),
         "16:15"},
        {"minutes borrowed from the hour",
         {In("0950", "7"), Out("1010", "7")},
         L("Ann" + B(17) + " 09:50  10:10  00:20"),
         "00:20"},
        {"a clock-in at midnight is a clock-in",
         {In("0000", "7"), Out("0800", "7")},
         L("Ann" + B(17) + " 00:00  08:00  08:00"),
         "08:00"},
        {"every hour digit of a long total", longDay, longDayLines, "105:00"},
        {"nobody", {}, "", "00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Journal(c.journal);
        const std::string printed = Printed();
        const std::string tail = Rule(39) + c.lines + Rule(39) + L(B(35) + c.total) + L("") + kClose;
        ASSERT_GE(printed.size(), tail.size());
        EXPECT_EQ(printed.substr(printed.size() - tail.size()), tail);
    }
}

TEST_F(AttendanceReportTest, AHundredPersonsAreListedAndTheRestLogged) {
    std::vector<std::string> journal;
    for (int n = 1; n <= 102; ++n) journal.push_back(Record("20261209", "0800", 'D', std::to_string(1000 + n), "5"));
    Journal(journal);
    const std::string printed = Printed();
    std::size_t listed = 0;
    for (std::size_t at = printed.find("Unknown Cashier"); at != std::string::npos;
         at = printed.find("Unknown Cashier", at + 1))
        ++listed;
    EXPECT_EQ(listed, 100u);
    EXPECT_TRUE(Logged("Report_TimeAttendance: more than 100 persons on 20261209, 2 not listed"));
}

TEST_F(AttendanceReportTest, PrinterOffOrFailingLeavesItsStatus) {
    Journal({In("0800", "7"), Out("1600", "7")});
    gSettings.gPrinterType = PrinterType::Off;
    gPrint.gPrintStatus = 4;
    EXPECT_EQ(Printed(), "");
    EXPECT_EQ(gPrint.gPrintStatus, 0);

    // An output that does not open.
    gSettings.gPrinterType = PrinterType::Com1;
    dir.Write(kDeviceMapFile, "COM1=" + (dir / "no-such-tty") + "\n");
    Report_TimeAttendance();
    EXPECT_EQ(gPrint.gPrintStatus, 1);
    EXPECT_FALSE(gData.activity.IsOpen());

    // An output that fails in the middle: no feed or cut after the failure.
    const std::string file = dir.Write("lp.out", "");
    dir.Write(kDeviceMapFile, "LPT1=" + file + "\n");
    gSettings.gPrinterType = PrinterType::Lpt1;
    gSettings.gHeaderLine[0] = std::string(6000, 'X');
    {
        FileSizeLimit limit(4096);
        Report_TimeAttendance();
    }
    EXPECT_EQ(gPrint.gPrintStatus, 2);
    EXPECT_TRUE(Logged("Report_TimeAttendance: HandlerPrintTime, Printer error in middle of printing"));
    EXPECT_FALSE(gData.activity.IsOpen());
    const std::string printed = dir.Read("lp.out");
    EXPECT_EQ(printed.size(), 4096u);
    EXPECT_EQ(printed.back(), 'X');
}

}  // namespace
}  // namespace tarvo
