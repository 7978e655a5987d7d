// The search form on a large store (500,000 products): from a word typed in
// the entry box to the first page of the list (the prefix search of the word
// index, the form's load and its first 21 rows), and one page forward. The
// form draws into a view that draws nothing.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <string>

#include "bench_store.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/log.h"
#include "data/master_files.h"
#include "forms/search_form.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "sale/product_entry.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "synthetic_store.h"

namespace {
using namespace tarvo;

const StoreSize kSize;

class NullSearchView : public SearchView {
public:
    void Search_SetCloseButton(bool) override {}
    void Search_Layout(const SearchForm&) override {}
    void Search_Show(SearchForm&) override {}
    void Search_Update(const SearchForm&) override {}
    void Search_Hide() override {}
};

// The opener's form: the search form in the view above.
class BenchForms : public FormsStandIn {
public:
    void SearchForm_Show(const SearchFormSetup& setup) override { SearchForm_Open(setup); }
};

ScreenModel gScreen;
NullSearchView gView;
BenchForms gForms;

// Generates (once per run) the store, loads its products and builds the word
// index, and wires a register without a window.
void PrepareStore() {
    static bool done = false;
    if (done) return;
    done = true;
    bench::UseSyntheticStore("tarvo-bench-search-store", kSize);
    gSettings.gProductKeyMode = ProductKey::Number;
    Parse_FileProduct();
    Index_Product();
    Index_Pax();
    Reg().screen = &gScreen;
    Reg().services.forms = &gForms;
    SearchForm_SetView(&gView);
}

// Words as a cashier types them: whole words, beginnings of words, rare and
// common ones.
const std::array<const char*, 8> kWords = {"coffee", "che", "sweet", "b", "organic", "tuna", "pa", "shampoo"};

void BM_SearchTypedWordToFirstPage(benchmark::State& state) {
    PrepareStore();
    std::size_t n = 0;
    for (auto _ : state) {
        Screen().SetText(kEntryBox, kWords[n++ % kWords.size()]);
        Aux_Product();
        SearchForm* form = SearchForm_Current();
        if (!form || !form->IsLoaded() || gSearchList.gListLastRow != 22) state.SkipWithError("no full first page");
        benchmark::DoNotOptimize(form->Cell(22, 3));
    }
    state.counters["aux_entries"] = gData.gAuxCount;
}
BENCHMARK(BM_SearchTypedWordToFirstPage)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_SearchPageForward(benchmark::State& state) {
    PrepareStore();
    Screen().SetText(kEntryBox, "coffee");
    Aux_Product();
    SearchForm* form = SearchForm_Current();
    if (!form || !form->IsLoaded()) {
        state.SkipWithError("the form did not open");
        return;
    }
    for (auto _ : state) {
        // Back to the first page once the last one is shown (not a real move).
        if (gSearchList.gListTop == gData.gSearchLast) gSearchList.gListTop = gData.gSearchFirst;
        form->Button3_Click();
        benchmark::DoNotOptimize(form->Cell(2, 3));
    }
    state.counters["result_entries"] = gData.gSearchLast - gData.gSearchFirst + 1;
}
BENCHMARK(BM_SearchPageForward)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The alias list: each row looks its product up by key.
void BM_AliasSearchToFirstPage(benchmark::State& state) {
    PrepareStore();
    std::size_t n = 0;
    for (auto _ : state) {
        gData.gSearchText = kWords[n++ % kWords.size()];
        AuxPax_Search();
        if (gData.gSearchFirst == 0) {
            state.SkipWithError("no alias found");
            break;
        }
        Forms().SearchForm_Show(SearchFormSetup{8, 22, {4, 15, 37, 8, 8, 8, 9, 11}, 10});
        benchmark::DoNotOptimize(SearchForm_Current()->Cell(2, 3));
    }
    state.counters["pax_entries"] = gData.gPaxCount;
}
BENCHMARK(BM_AliasSearchToFirstPage)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
