// The time clock's walks over a busy day of the activity journal: 2,000 cash
// records (deposits, paid-outs, openings, drawer openings) and 500 clock
// records of 50 employees, interleaved. Measured: the clock check of an
// employee with no record today (the whole look-back window is read), the
// automatic clock-out's walk when everybody is already out (nothing is
// written), and the attendance report printed into the capture backend.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "office/attendance_report.h"
#include "office/time_clock.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "print/printer_output.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace {
using namespace tarvo;

constexpr int kEmployees = 50;
constexpr int kCashRecords = 2000;
constexpr int kClockRecords = 500;

std::string Record(const std::string& time, char type, const std::string& person, const std::string& amount) {
    std::string who = person, money = amount;
    who.resize(8, ' ');
    money.resize(9, ' ');
    return "20261209" + time + type + "0" + std::string(8, ' ') + who + money + std::string(9, ' ');
}

std::string Hhmm(int minuteOfDay) {
    const int h = minuteOfDay / 60 % 24, m = minuteOfDay % 60;
    return std::string(1, static_cast<char>('0' + h / 10)) + static_cast<char>('0' + h % 10) +
           static_cast<char>('0' + m / 10) + static_cast<char>('0' + m % 10);
}

// A register on a terminal folder of its own with the busy day in its journal.
class BusyDay {
public:
    BusyDay() {
        folder_ = std::filesystem::temp_directory_path() / ("tarvo-bench-office-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "Files");
        std::filesystem::create_directories(folder_ / "Data");
        Data_Reset(gData);
        SetTerminalPaths(gConstants.paths, folder_.string(), "1234567");
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        gReg = RegisterState{};
        gSale = SaleState{};
        Reg() = RegisterContext{&screen_, &timers_, &clock_, &services_, ""};
        gReg.gBusinessDate = "20261209";
        gSale.gDateText = "09/Dec/2026";
        gSettings.gClosingTime = "2200";
        for (int e = 1; e <= kEmployees; ++e) {
            gData.CashierTable.push_back(CashierRow{std::to_string(10000000 + e), std::to_string(100 + e),
                                                    "Employee " + std::to_string(e), 1});
        }
        gData.gCashierCount = kEmployees;

        Open_FileActivity();
        WorkFile::Appender add(gData.activity, 2);
        static const char kCash[] = {'D', 'P', 'B', 'W'};
        int clockRecords = 0;
        for (int k = 0; k < kCashRecords + kClockRecords; ++k) {
            const std::string time = Hhmm(7 * 60 + k * 14 / 60);
            if (k % 5 == 4 && clockRecords < kClockRecords) {
                // Each employee in and out in turn: everybody is out at the end.
                const int employee = clockRecords % kEmployees + 1;
                const char type = clockRecords / kEmployees % 2 == 0 ? 'I' : 'U';
                add.Add(Record(time, type, std::to_string(employee), ""));
                ++clockRecords;
            } else {
                add.Add(Record(time, kCash[k % 4], std::to_string(10000000 + k % kEmployees + 1), "12.5"));
            }
        }
        add.Finish();
        gData.activity.Write(1, std::to_string(add.Next() - 1) + std::string(40, ' '));
        gData.activity.Close();
    }
    ~BusyDay() {
        Data_CloseAll(gData);
        Reg() = RegisterContext{};
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

private:
    std::filesystem::path folder_;
    ScreenModel screen_;
    ManualTimers timers_;
    ManualClock clock_{LocalTime{2026, 12, 9, 23, 0, 0}};
    RegisterServices services_;
};

void BM_ClockCheckLogin(benchmark::State& state) {
    BusyDay day;
    gReg.gEmployeeNumber = "99";  // no record today: the whole window is read
    for (auto _ : state) {
        Clock_CheckLogin();
        benchmark::DoNotOptimize(gSale.gCheckResult);
    }
}
BENCHMARK(BM_ClockCheckLogin)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ClockEverybodyOut(benchmark::State& state) {
    BusyDay day;
    for (auto _ : state) Clock_EverybodyOut();  // everybody is out: the walk only
    benchmark::DoNotOptimize(gData.gLastActivityRecord);
}
BENCHMARK(BM_ClockEverybodyOut)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_AttendanceReport(benchmark::State& state) {
    BusyDay day;
    gSettings.gPrinterType = PrinterType::Com1;
    PrinterCapture capture;
    for (auto _ : state) {
        capture.bytes.clear();
        Report_TimeAttendance();
    }
    benchmark::DoNotOptimize(capture.bytes.size());
    gSettings.gPrinterType = PrinterType::Off;
}
BENCHMARK(BM_AttendanceReport)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
