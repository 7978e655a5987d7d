// The inventory documents at the Total key: a purchase of 400 lines with
// costs, retail prices and comments, an order of 400 lines with deposits and
// a stock adjustment of 400 lines, each checked, written and flushed through
// the one document commit. The files grow by one document per iteration.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "inventory/adjustments.h"
#include "inventory/orders.h"
#include "inventory/purchases.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "register/program_services.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace {
using namespace tarvo;

// A register with no window on a fresh terminal folder.
struct BenchRegister {
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 10, 10, 30, 0}};
    RegisterServices services;
    std::string folder;

    explicit BenchRegister(const char* name) {
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        Reg() = RegisterContext{&screen, &timers, &clock, &services, ""};
        gReg = RegisterState{};
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261210";
        folder = (std::filesystem::temp_directory_path() / name).string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder + "/Data");
        std::filesystem::create_directories(folder + "/Files");
        SetTerminalPaths(gConstants.paths, folder, "1234567");
        ProgramLog().Open(folder + "/Files/1234567.LOG");
        FillDocument();
    }
    ~BenchRegister() {
        Reg() = RegisterContext{};
        std::filesystem::remove_all(folder);
    }

    // 400 lines received or counted: costs, retail prices, every fifth line
    // with a comment.
    static void FillDocument() {
        gSale = SaleState{};
        SaleState& s = gSale;
        Money subtotal;
        for (int i = 1; i <= kMaxSaleLines; ++i) {
            SaleLine& l = s.gLines[static_cast<std::size_t>(i)];
            l.key = "KEY" + std::to_string(100000 + i);
            l.product = std::to_string(200000 + i);
            l.quantity = 1 + i % 12;
            l.unitPrice = Money::FromCents(250 + 13 * i);
            l.listPrice = Money::FromCents(499 + 17 * i);
            l.extension = Money::FromCents((250 + 13 * i) * (1 + i % 12));
            if (i % 5 == 0) {
                l.note = "Back order " + std::to_string(i);
                l.hasNote = true;
            }
            subtotal = subtotal + l.extension;
        }
        s.gItemCount = kMaxSaleLines;
        s.gSubtotal = s.gTotal = subtotal;
        s.gPurchaseVendor = "V100";
        s.gDocType = "1";
        s.gDocPriority = "2";
        s.gDocComment = "Weekly delivery";
        s.gOrderKind = "1";
        s.gAdjustmentDirection = -1;
        s.gAdjustmentReason = "4";
        s.gPayments[1] = SalePayment{};
        s.gPayments[1].type = "1";
        s.gPayments[1].description = "Cash";
        s.gPayments[1].amount = Money::FromUnits(100);
        s.gPayments[2] = SalePayment{};
        s.gPayments[2].type = "4";
        s.gPayments[2].description = "Card";
        s.gPayments[2].amount = Money::FromUnits(200);
        s.gPayments[2].reference = "APPROVED";
        s.gPaymentCount = 2;
    }
};

void BM_PurchaseSave400Lines(benchmark::State& state) {
    BenchRegister reg("tarvo-bench-purchase");
    for (auto _ : state)
        if (!Purchase_Save()) state.SkipWithError("purchase not saved");
}
BENCHMARK(BM_PurchaseSave400Lines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_OrderSave400Lines(benchmark::State& state) {
    BenchRegister reg("tarvo-bench-order");
    for (auto _ : state)
        if (!Order_Save()) state.SkipWithError("order not saved");
}
BENCHMARK(BM_OrderSave400Lines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_AdjustmentSave400Lines(benchmark::State& state) {
    BenchRegister reg("tarvo-bench-adjustment");
    for (auto _ : state) {
        gSale.gSubtotal = -gSale.gSubtotal;  // the save signs it in place
        if (!Adjustment_Save()) state.SkipWithError("adjustment not saved");
    }
}
BENCHMARK(BM_AdjustmentSave400Lines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
