// Each key of the deposit form through a view that only counts its redraws:
// opening the form in each mode with a full revenue list, Enter and Up across
// the fields, typing, the check boxes and the revenue list, and Save refused
// by a field check. The back-office requests are left aside: the runner holds
// whatever is posted and never runs it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "online/deposit_form.h"
#include "platform/background_runner.h"
#include "platform/clock.h"

namespace {
using namespace tarvo;

constexpr int kCategories = 500;

class CountingView : public DepositView {
public:
    void Deposit_Show(DepositForm&) override { ++shown; }
    void Deposit_Update(const DepositForm&) override { ++updates; }
    void Deposit_Box(const std::string&, const std::string&) override { ++boxes; }
    void Deposit_Hide() override { ++hidden; }
    long shown = 0, updates = 0, boxes = 0, hidden = 0;
};

// Keeps what is posted; a key that posts a request is not what is measured.
class HoldingRunner : public BackgroundRunner {
public:
    void Post(std::function<void()>, std::function<void()>) override { ++posted; }
    void Notify(std::function<void()>) override {}
    int Pending() const override { return posted; }
    int posted = 0;
};

struct Bench {
    Bench() {
        Data_Reset(gData);
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        gSettings.gSiteId = "12";
        gData.CategoryTable.clear();
        gData.CategoryTable.push_back({});
        for (int i = 1; i <= kCategories; ++i)
            gData.CategoryTable.push_back({std::to_string(i), std::to_string(10000 + i) + " Revenue category number " +
                                                                  std::to_string(i)});
        gData.gCategoryCount = kCategories;
        DepositFormSetup s;
        s.runner = &runner;
        s.clock = &clock;
        s.sender = [] { return Deposit_BackOfficeSender(3000); };
        s.printTicket = [](const DepositTicketData&) { return true; };
        form = std::make_unique<DepositForm>(view, s);
    }
    ~Bench() {
        form.reset();
        Data_Reset(gData);
    }
    // False (and the benchmark stopped) when a key sent a request.
    bool NoRequest(benchmark::State& state) const {
        if (runner.posted == 0) return true;
        state.SkipWithError("a key sent a back-office request");
        return false;
    }

    CountingView view;
    HoldingRunner runner;
    ManualClock clock{LocalTime{2026, 3, 15, 10, 0, 0, 0}};
    std::unique_ptr<DepositForm> form;
};

// Opening the form: the fields emptied, the captions and the revenue list of
// 500 categories filled.
void BM_Deposit_Open(benchmark::State& state) {
    Bench b;
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        b.form->Load(mode);
        benchmark::DoNotOptimize(b.form->RevenueList().size());
    }
    if (b.NoRequest(state)) state.SetLabel("mode " + std::to_string(mode));
}
BENCHMARK(BM_Deposit_Open)->DenseRange(1, 4);

// Enter through every field and Up back (no number typed: nothing to look up).
void BM_Deposit_EnterAndUp(benchmark::State& state) {
    Bench b;
    b.form->Load(1);
    bool up = false;
    int moves = 0;
    for (auto _ : state) {
        up ? b.form->Up_Key() : b.form->Enter_Key();
        if (++moves % 8 == 0) up = !up;
        benchmark::DoNotOptimize(b.form->Focus());
    }
    // One redraw a key: the focus really moved each time.
    state.counters["redraws"] =
        benchmark::Counter(static_cast<double>(b.view.updates - 1), benchmark::Counter::kAvgIterations);
    b.NoRequest(state);
}
BENCHMARK(BM_Deposit_EnterAndUp);

// A character typed in a field, and the check boxes and revenue list.
void BM_Deposit_Typing(benchmark::State& state) {
    Bench b;
    b.form->Load(1);
    const std::string texts[] = {"4", "47", "471", "4711"};
    int i = 0;
    for (auto _ : state) {
        b.form->Text_Changed(kDepositAmount, texts[i++ % 4]);
        benchmark::DoNotOptimize(b.form->Text(kDepositAmount));
    }
    b.NoRequest(state);
}
BENCHMARK(BM_Deposit_Typing);

void BM_Deposit_ChecksAndList(benchmark::State& state) {
    Bench b;
    b.form->Load(1);
    int i = 0;
    for (auto _ : state) {
        b.form->Cash_Toggled(i % 2 == 0);
        b.form->Revenue_Chosen(i % kCategories);
        ++i;
        benchmark::DoNotOptimize(b.form->RevenueCode());
    }
    b.NoRequest(state);
}
BENCHMARK(BM_Deposit_ChecksAndList);

// Save refused by the year, the last field check, so every check runs.
void BM_Deposit_SaveRefused(benchmark::State& state) {
    Bench b;
    b.form->Load(1);
    b.form->Text_Changed(kDepositNumber, "4711");
    b.form->Text_Changed(kDepositDate, "03-15-2031");
    b.form->Text_Changed(kDepositAmount, "999999.99");
    b.form->Revenue_Chosen(3);
    for (auto _ : state) {
        b.form->Save_Click();
        benchmark::DoNotOptimize(b.form->Message());
    }
    if (b.NoRequest(state)) state.SetLabel(b.form->Message());
}
BENCHMARK(BM_Deposit_SaveRefused);

// Cancel and open again: the register shown, then the form in its place.
void BM_Deposit_CancelAndOpen(benchmark::State& state) {
    Bench b;
    b.form->Load(2);
    for (auto _ : state) {
        b.form->Cancel_Click();
        b.form->Load(2);
    }
    b.NoRequest(state);
}
BENCHMARK(BM_Deposit_CancelAndOpen);

}  // namespace
