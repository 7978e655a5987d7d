// Start-up: reading a large settings file (1,000 lines) into the settings.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/settings.h"
#include "config/special_operations.h"

namespace {
using namespace tarvo;

std::string WriteSettingsFile() {
    std::string path = (std::filesystem::temp_directory_path() / "bench_startup.SET").string();
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    static const char* kSingles[] = {
        "100 REG01",  "105 2",   "115 01:00", "125 60",    "200 1", "220 Bench Store",
        "305 5",      "315 7.5", "470 0",     "476 0",     "480 1", "485 11",
        "805 HEADER", "880 20",  "885 1",     "900 22:00", "905 0", "990 04 1171 7019 9J05 9P00 "};
    int n = 0;
    for (const char* l : kSingles) f << l << "\r\n", ++n;
    for (int i = 0; n < 1000; ++i, ++n) {
        char line[128];
        if (i % 3 == 0) {
            std::snprintf(line, sizeof line, "650 %03d Dept %-5d Caption2   D %d", i % 400, i, 100 + i);
        } else if (i % 3 == 1) {
            std::snprintf(line, sizeof line,
                          "700 %03d Pay %-6d Name2               0 1             0 0   0         0                 1",
                          i % 24, i);
        } else {
            std::snprintf(line, sizeof line, "%03d value %d", 600 + i % 50, i);
        }
        f << line << "\r\n";
    }
    return path;
}

void BM_SetupRead1000Lines(benchmark::State& state) {
    std::string path = WriteSettingsFile();
    Settings s;
    TextTables t;
    FillTextTables(t);
    for (auto _ : state) {
        auto r = Setup_Read(path, s);
        if (!r.ok) state.SkipWithError(r.detail.c_str());
        Special_Operations(s, t);
        benchmark::DoNotOptimize(s.gLanguage);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SetupRead1000Lines)->Unit(benchmark::kMicrosecond);

void BM_FillTextTables(benchmark::State& state) {
    TextTables t;
    for (auto _ : state) {
        FillTextTables(t);
        benchmark::DoNotOptimize(t.MessageTable[1][1].data());
    }
}
BENCHMARK(BM_FillTextTables)->Unit(benchmark::kMicrosecond);
}  // namespace

// ---------------------------------------------------------------------------
// The core's start on a large store (500,000 products, 200,000 clients,
// 30,000 vendors): the texts and paths, the data layer's tables and working
// files, the settings, the word and alias indexes and the register's load
// through a recording screen, up to the login prompt. No window.
//   First:   nothing kept from an earlier start (every working file and
//            index is built from the text files).
//   Restart: the working files and indexes of the previous start are there
//            and the text files unchanged.
// The store is written once, before any timing.

#include <sys/resource.h>

#include "bench_store.h"
#include "config/constants.h"
#include "data/data_state.h"
#include "data/log.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "register/program_services.h"
#include "register/register_form.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "screen/screen_model.h"
#include "startup/settings_load.h"

namespace {

const std::string& LargeStore() {
    static const std::string folder = [] {
        const std::string f = bench::UseSyntheticStore("tarvo-bench-start", StoreSize{});
        std::filesystem::copy_file(std::string(TARVO_SOURCE_DIR) + "/demo/Files/1234567.SET", f + "/Files/1234567.SET",
                                   std::filesystem::copy_options::overwrite_existing);
        ProgramLog().Close();
        return f;
    }();
    return folder;
}

// Everything a start leaves in Data/ goes: the next start builds it all.
void ForgetEarlierStart(const std::string& folder) {
    for (const auto& e : std::filesystem::directory_iterator(folder + "/Data")) std::filesystem::remove(e.path());
}

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// One start of the core as the program makes it; false when it did not
// reach the login prompt with the whole store loaded.
bool RegisterStart(const std::string& folder) {
    Data_Reset(gData);
    gSettings = Settings{};
    Setup_Initialize(gSettings);
    gReg = RegisterState{};
    FillTextTables(gConstants.tables);
    gTerminalNumber = "1234567";
    SetTerminalPaths(gConstants.paths, folder, gTerminalNumber);
    ProgramLog().Open(gConstants.paths.gFilesPath + ".LOG");
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 7, 0, 0}};
    RegisterServices services;
    RegisterKeyHandlers registerKeys;
    RegisterSaleObserver saleEvents;
    Reg() = RegisterContext{&screen, &timers, &clock, &services, folder};
    Reg().services.keys = &registerKeys;
    Reg().services.saleObserver = &saleEvents;
    std::string message;
    const bool ok = Form_Load(
        [](std::string& why) {
            SettingsLoad r = Register_LoadDataAndSettings();
            why = r.message;
            return r.ok;
        },
        message);
    const bool whole = ok && gData.gProductCount == 500000 && gData.gClientCount == 200000 && gData.gAuxCount > 0 &&
                       gData.gCuxCount > 0 && gData.gPaxCount > 0;
    Reg() = RegisterContext{};
    Data_CloseAll(gData);
    ProgramLog().Close();
    return whole;
}

void BM_RegisterStart_500k_First(benchmark::State& state) {
    const std::string& folder = LargeStore();
    for (auto _ : state) {
        state.PauseTiming();
        ForgetEarlierStart(folder);
        state.ResumeTiming();
        if (!RegisterStart(folder)) state.SkipWithError("the start did not load the whole store");
    }
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_RegisterStart_500k_First)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_RegisterStart_500k_Restart(benchmark::State& state) {
    const std::string& folder = LargeStore();
    RegisterStart(folder);  // the start before: leaves its working files and indexes
    for (auto _ : state)
        if (!RegisterStart(folder)) state.SkipWithError("the start did not load the whole store");
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_RegisterStart_500k_Restart)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

}  // namespace
