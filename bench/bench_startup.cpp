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
