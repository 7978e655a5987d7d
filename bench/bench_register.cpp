// The register window's receipt grid, redrawn after every change of the sale.
#include <benchmark/benchmark.h>

#include <string>

#include "config/settings.h"
#include "data/sale_state.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "register/program_services.h"
#include "screen/receipt_area.h"
#include "screen/receipt_grid.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace {
using namespace tarvo;

// A full sale: 400 lines, every fifth with a note, some returned.
void FillSale() {
    gSale = SaleState{};
    for (int i = 1; i <= kMaxSaleLines; ++i) {
        gSale.gLines[i].description = "Product number " + std::to_string(i);
        gSale.gLines[i].taxFlags = "GP ";
        gSale.gLines[i].quantity = i % 7 == 0 ? -1.5 : 2;
        gSale.gLines[i].unitPrice = Money::FromCents(199 + 37 * i);
        gSale.gLines[i].extension = Money::FromCents((i % 7 == 0 ? -3 : 4) * (199 + 37 * i) / 2);
        gSale.gLines[i].hasNote = i % 5 == 0;
        if (gSale.gLines[i].hasNote) gSale.gLines[i].note = "note of line " + std::to_string(i);
    }
    gSale.gItemCount = kMaxSaleLines;
}

void BM_ReceiptDisplay(benchmark::State& state) {
    Setup_Initialize(gSettings);
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock;
    RegisterServices services;
    RegisterKeyHandlers registerKeys;
    RegisterSaleObserver saleEvents;
    Reg() = RegisterContext{&screen, &timers, &clock, &services, ""};
    Reg().services.keys = &registerKeys;
    Reg().services.saleObserver = &saleEvents;
    gReg = RegisterState{};
    FillSale();
    Receipt_Show();
    int top = 1;
    for (auto _ : state) {
        // The newest lines as after an entry, and scrolled positions in turn.
        gSale.gTopLine = static_cast<std::int16_t>(top);
        Receipt_Display();
        top = (top + 36) % (kMaxSaleLines - 6) + 1;  // 1..394: row 7 never past the sale
    }
    benchmark::DoNotOptimize(screen.Text({Control::Rt_Description, 7}));
    Reg() = RegisterContext{};
}
BENCHMARK(BM_ReceiptDisplay)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
