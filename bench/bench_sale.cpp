// The sale engine on a full sale: the totals recomputed over 400 lines, and a
// scanned code turned into a line (find, add, totals) on the generated
// 500,000-product store, also with the stock check on (each scan hands its
// product to the check, whose request goes to a dispatcher on loopback in the
// background).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "bench_store.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "online/online_services.h"
#include "platform/background_runner.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "register/program_services.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/totals.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "synthetic_store.h"

namespace {
using namespace tarvo;

// A register with no window behind it: the screen model, hand-fired timers
// and the stand-in services.
struct BenchRegister {
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    RegisterServices services;
    RegisterKeyHandlers registerKeys;
    RegisterSaleObserver saleEvents;

    BenchRegister() {
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        gSettings.gTaxDefaultRate = {5, 9.975, 0};
        Reg() = RegisterContext{&screen, &timers, &clock, &services, ""};
        Reg().services.keys = &registerKeys;
        Reg().services.saleObserver = &saleEvents;
        gReg = RegisterState{};
        gReg.gLoggedOut = false;
        gSale = SaleState{};
        gSale.gTaxRate = {0, 5, 9.975, 0};
    }
    ~BenchRegister() { Reg() = RegisterContext{}; }
};

// A busy sale of 400 lines: mixed tax flags, weighed quantities, prices for
// several units, returns.
void FillSale() {
    SaleState& s = gSale;
    static const char* const kFlags[] = {"tt ", "tt ", "tn ", "nn ", "tt "};
    for (int i = 1; i <= kMaxSaleLines; ++i) {
        s.gLines[i].unitPrice = Money::FromCents(99 + 37 * i);
        s.gLines[i].quantity = i % 11 == 0 ? -1 : i % 7 == 0 ? 1.235 : 1 + i % 3;
        s.gLines[i].priceUnits = i % 13 == 0 ? 2 : 1;
        s.gLines[i].taxFlags = kFlags[i % 5];
    }
    s.gItemCount = kMaxSaleLines;
}

void BM_TotalsUpdate(benchmark::State& state) {
    BenchRegister reg;
    FillSale();
    for (auto _ : state) {
        if (!Totals_Update()) state.SkipWithError("totals refused");
        benchmark::DoNotOptimize(gSale.gTotal);
    }
}
BENCHMARK(BM_TotalsUpdate)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same sale with every tax inclusion on: a floating share per line.
void BM_TotalsUpdateWithInclusions(benchmark::State& state) {
    BenchRegister reg;
    gSettings.gTax2IncludesTax1 = gSettings.gTax3IncludesTax1 = gSettings.gTax3IncludesTax2 = true;
    gSale.gTaxRate = {0, 5, 9.975, 1};
    FillSale();
    for (int i = 1; i <= kMaxSaleLines; ++i) gSale.gLines[i].taxFlags = i % 2 ? "ttt" : "tt ";
    for (auto _ : state) {
        if (!Totals_Update()) state.SkipWithError("totals refused");
        benchmark::DoNotOptimize(gSale.gTotal);
    }
}
BENCHMARK(BM_TotalsUpdateWithInclusions)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// ---- on the generated store --------------------------------------------------------------------

const StoreSize kSize;

// Generates the store once per run and loads its products.
void PrepareStore() {
    static bool done = false;
    if (done) return;
    done = true;
    bench::UseSyntheticStore("tarvo-bench-sale-store", kSize);
}

// Codes of products sold by the unit (every 50th product is weighed).
std::vector<std::string> ScanCodes() {
    std::mt19937 rng(11);
    std::vector<std::string> codes;
    while (codes.size() < 4096) {
        const int i = 1 + static_cast<int>(rng() % static_cast<unsigned>(kSize.products));
        if (i % 50 != 0) codes.push_back(SyntheticProductNumber(i));
    }
    return codes;
}

bool Scan(const std::string& code) {
    const std::optional<ProductMatch> found = Product_Find(code);
    if (!found || found->recNo == 0) return false;
    Product_SetCurrent(code, found);
    const int before = gSale.gItemCount;
    Product_Add();
    return gSale.gItemCount == before + 1;
}

// A code scanned into a sale that then holds 400 lines: the product found,
// its line added, the totals recomputed over the 400 lines and the grid
// redrawn. The line is taken off again so that every scan meets the same sale.
void BM_ScanToLine(benchmark::State& state) {
    PrepareStore();
    BenchRegister reg;
    gSettings.gProductKeyMode = ProductKey::Number;
    if (gData.gProductCount != kSize.products) Parse_FileProduct();
    gData.gClientRecNo = 1;  // the sale's client
    const std::vector<std::string> codes = ScanCodes();

    std::size_t n = 0;
    while (gSale.gItemCount < kMaxSaleLines - 1) {
        if (!Scan(codes[n++ & 4095])) {
            state.SkipWithError("a line was not added while filling the sale");
            return;
        }
    }
    for (auto _ : state) {
        if (!Scan(codes[n++ & 4095])) state.SkipWithError("line not added");
        gSale.gItemCount = kMaxSaleLines - 1;
    }
}
BENCHMARK(BM_ScanToLine)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same scan with the stock check on: the answers that have come back are
// shown between scans, as the window's event loop would.
void BM_ScanToLine_StockCheckOn(benchmark::State& state) {
    PrepareStore();
    BenchRegister reg;
    gSettings.gProductKeyMode = ProductKey::Number;
    gSettings.gSiteId = "12";
    if (gData.gProductCount != kSize.products) Parse_FileProduct();
    gData.gClientRecNo = 1;
    const std::vector<std::string> codes = ScanCodes();

    DispatcherStub server;
    server.UseAsSlot(1);
    gConstants.servers.gServerSlot = 1;
    server.SetReply(TaskCode::DatabaseSelect,
                    "<body>\r\n" + Base64Encode("<record count>1</record count><record><0>4</0></record>") + "</body>");
    ManualRunner runner;
    OnlineServices online;
    Reg().services.online = &online;
    Reg().runner = &runner;

    std::size_t n = 0;
    while (gSale.gItemCount < kMaxSaleLines - 1) {
        if (!Scan(codes[n++ & 4095])) {
            state.SkipWithError("a line was not added while filling the sale");
            return;
        }
    }
    gSettings.gOnlineStockCheck = true;
    for (auto _ : state) {
        if (!Scan(codes[n++ & 4095])) state.SkipWithError("line not added");
        gSale.gItemCount = kMaxSaleLines - 1;
        runner.RunCompleted();
    }
    gSettings.gOnlineStockCheck = false;
    runner.RunUntilIdle(10000);
    Reg().runner = nullptr;
    Reg().services.online = nullptr;
}
BENCHMARK(BM_ScanToLine_StockCheckOn)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// ---- saving ------------------------------------------------------------------------------------

// The Total key's save of a 400-line sale with three tenders (the last with
// change): the records checked and written, each file flushed to disk and
// its header record rewritten. The files grow by one sale per iteration.
void BM_SaleSave(benchmark::State& state) {
    BenchRegister reg;
    const std::string folder = (std::filesystem::temp_directory_path() / "tarvo-bench-sale-save").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/Data");
    std::filesystem::create_directories(folder + "/Files");
    SetTerminalPaths(gConstants.paths, folder, "1234567");
    ProgramLog().Open(folder + "/Files/1234567.LOG");
    FillSale();
    SaleState& s = gSale;
    for (int i = 1; i <= kMaxSaleLines; ++i) {
        s.gLines[i].key = "KEY" + std::to_string(100000 + i);
        s.gLines[i].product = std::to_string(200000 + i);
        s.gLines[i].listPrice = s.gLines[i].unitPrice;
        if (i % 9 == 0) s.gLines[i].note = "Discount 10%";
    }
    if (!Totals_Update()) state.SkipWithError("totals refused");
    const char* types[] = {"", "1", "4", "1"};
    for (int t = 1; t <= 3; ++t) s.gPayments[t].type = types[t];
    s.gPayments[1].amount = Money::FromUnits(100);
    s.gPayments[2].amount = Money::FromUnits(200);
    s.gPayments[2].entryKind = 2;
    s.gPayments[2].cardNumber = "4111111111111111";
    s.gPayments[2].cardExpiry = "1227";
    s.gPayments[2].cardHolder = "A CARDHOLDER";
    s.gPayments[2].cardData = "12 Main Street 90210";
    s.gPaymentCount = 3;
    const Money rest = s.gTotal - s.gPayments[1].amount - s.gPayments[2].amount;
    s.gPayments[3].amount = rest + Money::FromUnits(5);
    s.gPaid = s.gTotal + Money::FromUnits(5);
    s.gChange = Money::FromUnits(5);
    const Money lastTender = s.gPayments[3].amount;
    for (auto _ : state) {
        s.gPayments[3].amount = lastTender;
        if (!Sale_Save()) state.SkipWithError("sale not saved");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaleSave)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
