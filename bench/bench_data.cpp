// The data layer on a large store: 500,000 products, 200,000 clients, 30,000
// vendors. The store is generated once into a temporary folder.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <random>

#include "bench_store.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "synthetic_store.h"

namespace {
using namespace tarvo;

const StoreSize kSize;

// Generates (once per run) and points the register's paths at the store.
void PrepareStore() {
    static bool done = false;
    if (done) return;
    done = true;
    bench::UseSyntheticStore("tarvo-bench-store", kSize);
    gSettings.gProductKeyMode = ProductKey::Number;
}

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_LoadProducts(benchmark::State& state) {
    PrepareStore();
    for (auto _ : state) {
        Parse_FileProduct();
        if (gData.gProductCount != kSize.products) state.SkipWithError("product count differs");
    }
    state.counters["products"] = gData.gProductCount;
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_LoadProducts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ProductFind(benchmark::State& state) {
    PrepareStore();
    if (gData.gProductCount != kSize.products) Parse_FileProduct();
    std::mt19937 rng(7);
    std::vector<std::string> keys;
    for (int i = 0; i < 4096; ++i) keys.push_back(SyntheticProductNumber(1 + static_cast<int>(rng() % kSize.products)));
    std::size_t n = 0;
    for (auto _ : state) {
        const std::optional<ProductMatch> found = Product_Find(keys[n++ & 4095]);
        if (!found || found->recNo == 0) state.SkipWithError("key not found");
    }
}
BENCHMARK(BM_ProductFind)->Unit(benchmark::kMicrosecond);

void BM_IndexProduct(benchmark::State& state) {
    PrepareStore();
    if (gData.gProductCount != kSize.products) Parse_FileProduct();
    for (auto _ : state) Index_Product();
    state.counters["entries"] = gData.gAuxCount;
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_IndexProduct)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AuxProductSearch(benchmark::State& state) {
    PrepareStore();
    if (gData.gProductCount != kSize.products) Parse_FileProduct();
    if (gData.gAuxCount == 0) Index_Product();
    const char* texts[] = {"cof", "banana", "spicy", "orgx", "sh", "notebook", "sweetz", "tom"};
    std::size_t n = 0;
    for (auto _ : state) {
        gData.gSearchText = texts[n++ % 8];
        AuxProduct_Search();
        if (gData.gSearchFirst == 0) state.SkipWithError("nothing found");
    }
}
BENCHMARK(BM_AuxProductSearch)->Unit(benchmark::kMicrosecond);

void BM_ClientFindLinear(benchmark::State& state) {
    PrepareStore();
    if (gData.gClientCount != kSize.clients) Parse_FileClient();
    std::mt19937 rng(11);
    std::vector<std::string> ids;
    for (int i = 0; i < 4096; ++i) ids.push_back(SyntheticClientId(1 + static_cast<int>(rng() % kSize.clients)));
    std::size_t n = 0;
    for (auto _ : state) {
        const std::optional<RecordMatch> found = Client_FindLinear(ids[n++ & 4095]);
        if (!found) state.SkipWithError("client not found");
    }
}
BENCHMARK(BM_ClientFindLinear)->Unit(benchmark::kMicrosecond);

}  // namespace
