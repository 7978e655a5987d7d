// Finding the card terminal: a complete scan of 127.0.0.0/24 (every
// 127.0.0.x is this machine) with the fake terminal listening at one
// address, each probe a TCP connection to its port.
#include <benchmark/benchmark.h>

#include <atomic>

#include "card/fake_terminal.h"
#include "card/terminal_discovery.h"

namespace {

void BM_Discovery_Complete(benchmark::State& state) {
    tarvo::FakeTerminal terminal([](const std::string&) { return std::string(); }, "127.0.0.77");
    tarvo::card::DiscoveryConfig config;
    config.port = terminal.Port();
    tarvo::card::DiscoveryRange_Make("127.0.0.10", false, config.range);
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const auto hosts = tarvo::card::Discovery_Scan(config, cancel);
        if (tarvo::card::Discovery_Chosen(hosts) != "127.0.0.77") state.SkipWithError("terminal not found");
        benchmark::DoNotOptimize(hosts.data());
    }
}
BENCHMARK(BM_Discovery_Complete)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
