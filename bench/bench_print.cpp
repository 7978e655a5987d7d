// The sales receipt of a full sale: 400 item lines (weighed, several-unit and
// noted lines among them), three tenders with a card, read back from the
// invoice files and printed to the capture backend.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/money.h"
#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "register/program_services.h"
#include "sale/sale_save.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace {
using namespace tarvo;

std::string Field(std::string record, std::size_t col, const std::string& text) {
    record.replace(col - 1, text.size(), text);
    return record;
}

void BM_ReceiptPrint(benchmark::State& state) {
    ScreenModel screen;
    ManualTimers timers;
    ManualClock clock{LocalTime{2026, 12, 9, 10, 30, 0}};
    RegisterServices services;
    RegisterKeyHandlers registerKeys;
    RegisterSaleObserver saleEvents;
    Setup_Initialize(gSettings);
    FillTextTables(gConstants.tables);
    Reg() = RegisterContext{&screen, &timers, &clock, &services, ""};
    Reg().services.keys = &registerKeys;
    Reg().services.saleObserver = &saleEvents;
    gReg = RegisterState{};
    gReg.gLoggedOut = false;
    gReg.gBusinessDate = "20261209";
    gSale = SaleState{};

    const std::string folder = (std::filesystem::temp_directory_path() / "tarvo-bench-print").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/Data");
    std::filesystem::create_directories(folder + "/Files");
    SetTerminalPaths(gConstants.paths, folder, "1234567");
    ProgramLog().Open(folder + "/Files/1234567.LOG");
    gTerminalNumber = "1234567";
    {
        std::ofstream prd(folder + "/Files/1234567.PRD", std::ios::binary);
        for (int i = 1; i <= kMaxSaleLines; ++i) {
            std::string r(273, ' ');
            r = Field(r, 1, std::to_string(200000 + i));
            r = Field(r, 12, "KEY" + std::to_string(100000 + i));
            r = Field(r, 60, "Product number " + std::to_string(i));
            r = Field(r, 90, i % 2 ? "11 " : "1  ");
            r = Field(r, 175, i % 13 == 0 ? "2" : "1");
            if (i % 7 == 0) r[8] = 'S';
            prd << r << "\r\n";
        }
    }
    Parse_FileProduct();

    SaleState& s = gSale;
    Money subtotal;
    for (int i = 1; i <= kMaxSaleLines; ++i) {
        const auto k = static_cast<std::size_t>(i);
        s.gLines[k].key = "KEY" + std::to_string(100000 + i);
        s.gLines[k].product = std::to_string(200000 + i);
        s.gLines[k].unitPrice = Money::FromCents(99 + 37 * i);
        s.gLines[k].listPrice = s.gLines[k].unitPrice;
        s.gLines[k].quantity = i % 7 == 0 ? 1.235 : 1 + i % 3;
        if (i % 9 == 0) {
            s.gLines[k].note = "Discount 10%";
            s.gLines[k].hasNote = true;
        }
        subtotal += Money::FromCents((99 + 37 * i) * (1 + i % 3));
    }
    s.gItemCount = kMaxSaleLines;
    s.gSubtotal = subtotal;
    s.gTax1 = Money::FromUnits(100);
    s.gTotal = subtotal + s.gTax1;
    gSettings.PaymentTypes[1].Code = "1";
    gSettings.PaymentTypes[1].Name1 = "Cash";
    gSettings.PaymentTypes[4].Code = "4";
    gSettings.PaymentTypes[4].Name1 = "Visa";
    const char* types[] = {"", "1", "4", "1"};
    for (std::size_t t = 1; t <= 3; ++t) s.gPayments[t].type = types[t];
    s.gPayments[1].amount = Money::FromUnits(100);
    s.gPayments[2].amount = Money::FromUnits(200);
    s.gPayments[2].entryKind = 2;
    s.gPayments[2].cardNumber = "4111111111111111";
    s.gPayments[2].cardExpiry = "1227";
    s.gPayments[2].reference = "123456";
    s.gPayments[3].amount = s.gTotal - Money::FromUnits(300) + Money::FromUnits(5);
    s.gPaymentCount = 3;
    s.gPaid = s.gTotal + Money::FromUnits(5);
    s.gChange = Money::FromUnits(5);
    if (!Sale_Save()) state.SkipWithError("sale not saved");

    gSettings.gPrinterType = PrinterType::Com1;
    gSettings.gWidePaper = 1;
    gSettings.gPrintOption811 = true;
    PrinterCodes_Load();
    std::size_t bytes = 0;
    for (auto _ : state) {
        PrinterCapture cap;
        Receipt_Print();
        if (gPrint.gPrintStatus != 0) state.SkipWithError("receipt not printed");
        bytes = cap.bytes.size();
        benchmark::DoNotOptimize(cap.bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    gSettings.gPrinterType = PrinterType::Off;
    Reg() = RegisterContext{};
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReceiptPrint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
