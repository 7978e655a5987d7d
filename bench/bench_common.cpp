// Hot helpers that every record writer and screen update goes through.
#include <benchmark/benchmark.h>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"

namespace {
using namespace tarvo;

void BM_MoneyFormat(benchmark::State& state) {
    Money m = Money::FromRaw(123456789);
    for (auto _ : state) benchmark::DoNotOptimize(m.Format("$###,##0.00"));
}
BENCHMARK(BM_MoneyFormat);

void BM_NumText(benchmark::State& state) {
    double q = 2.25;
    for (auto _ : state) benchmark::DoNotOptimize(Num_Text(q));
}
BENCHMARK(BM_NumText);

void BM_MoneyParse(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Money::Parse("  1234.5678 "));
}
BENCHMARK(BM_MoneyParse);

void BM_PadRight(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PadRight("  Some product description  ", 45));
}
BENCHMARK(BM_PadRight);
}  // namespace
