// Fetching a purchase order of 400 lines from a back-office dispatcher on
// loopback: the header and each line one request, asked in turn from the
// completions of the background runner, the lines found in a product file
// and put in the sale. The price change of one product on the generated
// 500,000-product store: the request, then the product master rewritten
// and the working file's record changed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "backoffice/dispatcher_stub.h"
#include "bench_store.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "online/price_change.h"
#include "online/purchase_orders.h"
#include "platform/background_runner.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "screen/controls.h"
#include "screen/register_context.h"
#include "screen/screen_model.h"

namespace {
using namespace tarvo;
namespace fs = std::filesystem;

constexpr int kLines = 400;
constexpr int kProducts = 100;

std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

std::string ProductNumber(int p) { return "PN" + std::to_string(1000 + p); }

void BM_FetchPurchaseOrder_400(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("tarvo-bench-online-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Files");
    fs::create_directories(folder / "Data");
    Data_Reset(gData);
    SetTerminalPaths(gConstants.paths, folder.string(), "1234567");
    Setup_Initialize(gSettings);
    FillTextTables(gConstants.tables);
    gTerminalNumber = "1234567";
    ProgramLog().Open(gConstants.paths.gFilesPath + ".LOG");
    gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true);
    for (int p = 0; p < kProducts; ++p) {
        std::string rec(273, ' ');
        const std::string id = "P" + std::to_string(100 + p);
        rec.replace(0, id.size(), id);
        rec.replace(11, ProductNumber(p).size(), ProductNumber(p));
        rec.replace(59, 11, "Description");
        gData.products.Write(p + 1, rec);
    }
    gData.gProductCount = kProducts;

    DispatcherStub server;
    server.UseAsSlot(1);
    gConstants.servers.gServerSlot = 1;
    server.SetHandler([](const DispatcherCall& call) {
        if (call.Task() == 7)
            return DispatcherAnswer{200, Tag("purchase order number", "77") + Tag("vendor number", "V1") +
                                             Tag("vendor name", "Acme") + Tag("last line", std::to_string(kLines))};
        const std::string data = call.Param("data");
        const int line = std::stoi(data.substr(data.find("<line number>") + 13));
        const int p = line % kProducts;
        return DispatcherAnswer{200, Tag("product id", "P" + std::to_string(100 + p)) +
                                         Tag("product number", ProductNumber(p)) + Tag("order quantity", "5") +
                                         Tag("unit cost", "1.25")};
    });

    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    ManualRunner runner;
    Reg() = RegisterContext{&screen, &timers, &clock, {}, folder.string()};
    Reg().runner = &runner;

    for (auto _ : state) {
        gSale = SaleState{};
        screen.SetText(ControlId{Control::txtDEA, 0}, "77");
        Online_Fetch_PO(runner);
        while (runner.Pending() > 0) runner.WaitAndRun(10000);
        if (gSale.gItemCount != kLines) state.SkipWithError("the order did not come in whole");
    }
    Reg() = RegisterContext{};
    gData.products.Close();
    ProgramLog().Close();
    fs::remove_all(folder);
}
BENCHMARK(BM_FetchPurchaseOrder_400)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

void BM_PriceChange_500k(benchmark::State& state) {
    StoreSize size;
    size.clients = 10;
    size.vendors = 10;
    size.aliases = 10;
    size.kits = 1;
    const std::string folder = bench::UseSyntheticStore("tarvo-bench-price-change", size);
    Data_Reset(gData);
    Setup_Initialize(gSettings);
    FillTextTables(gConstants.tables);
    gSettings.gProductKeyMode = ProductKey::Number;
    gSettings.gSiteId = "12";
    gTerminalNumber = "1234567";
    Parse_FileProduct();
    if (gData.gProductCount != size.products) state.SkipWithError("the store did not load");

    DispatcherStub server;
    server.UseAsSlot(1);
    gConstants.servers.gServerSlot = 1;
    server.SetReply(TaskCode::DatabaseUpdate, "<result>successful</result>");

    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    ManualRunner runner;
    Reg() = RegisterContext{&screen, &timers, &clock, {}, folder};
    Reg().runner = &runner;

    int n = 0;
    for (auto _ : state) {
        char id[16];
        std::snprintf(id, sizeof id, "%08d", 1 + (n * 7919) % size.products);
        const std::string price = std::to_string(10 + n % 50) + ".25";
        ++n;
        Online_Service_ChangePrice(runner, id, price);
        while (runner.Pending() > 0) runner.WaitAndRun(10000);
        if (screen.Text(ControlId{Control::txtCIA, 0}) != "Entry Saved Successfully")
            state.SkipWithError("the price was not changed");
    }
    Reg() = RegisterContext{};
    Data_CloseAll(gData);
    ProgramLog().Close();
    fs::remove_all(folder);
}
BENCHMARK(BM_PriceChange_500k)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

}  // namespace
