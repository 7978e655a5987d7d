// The closing report over a busy day: 2,000 sales of ten lines each (20,000
// lines, every line priced through its product on a generated store of
// 20,000 products), two payments per sale and a day's journal, printed into
// the capture backend.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/constants.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/closing_report.h"
#include "office/report_state.h"
#include "platform/clock.h"
#include "print/printer_output.h"
#include "sale/tenders.h"
#include "screen/register_context.h"
#include "screen/register_state.h"
#include "synthetic_store.h"

namespace {
using namespace tarvo;

constexpr int kSales = 2000;
constexpr int kLinesPerSale = 10;
constexpr const char* kDate = "20261209";

std::string Field(std::string rec, std::size_t col, const std::string& text) {
    if (rec.size() < col - 1 + text.size()) rec.resize(col - 1 + text.size(), ' ');
    rec.replace(col - 1, text.size(), text);
    return rec;
}

std::string Number7(std::int64_t n) {
    std::string s = std::to_string(n);
    return std::string(7 - s.size(), '0') + s;
}

// Writes records 2.. of an open transaction file, then its header.
template <typename Make>
bool Fill(WorkFile& f, std::int32_t& counter, int count, Make make) {
    for (int k = 0; k < count; ++k)
        if (!f.Write(k + 2, make(k))) return false;
    counter = count + 1;
    return f.Write(1, HeaderRecord(counter, 40)) && f.Sync();
}

bool WriteDay() {
    DataState& d = gData;
    Open_FileInvoice();
    Open_FilePayment();
    Open_FileActivity();
    auto invoice = [](int k) {
        std::string r(130, ' ');
        r = Field(r, 1, Number7(k + 2));
        r = Field(r, 12, k % 50 == 0 ? "20261208" : kDate);
        r = Field(r, 20, "1015");
        r = Field(r, 24, std::to_string(1 + k % 20));
        r = Field(r, 56, k % 25 == 0 ? "-12.5" : std::to_string(20 + k % 300) + ".25");
        r = Field(r, 65, k % 7 == 0 ? "-1" : "");
        r = Field(r, 74, "1.01");
        r = Field(r, 83, "2.02");
        return r;
    };
    auto line = [](int k) {
        const int sale = k / kLinesPerSale, n = k % kLinesPerSale + 1;
        std::string r(88, ' ');
        r = Field(r, 1, Number7(sale + 2));
        r = Field(r, 8, (n < 10 ? "00" : "0") + std::to_string(n));
        r = Field(r, 19, SyntheticProductNumber(1 + (k * 7919) % 20000));
        r = Field(r, 39, k % 13 == 0 ? "-1" : std::to_string(1 + k % 3));
        r = Field(r, 57, std::to_string(1 + k % 40) + ".99");
        return r;
    };
    auto payment = [](int k) {
        const int sale = k / 2;
        std::string r(60, ' ');
        r = Field(r, 1, Number7(sale + 2));
        r = Field(r, 8, k % 2 == 0 ? "01" : "02");
        r = Field(r, 10, k % 2 == 0 ? "1" : "CARD");
        r = Field(r, 18, std::to_string(10 + k % 90) + ".5");
        return r;
    };
    auto activity = [](int k) {
        static const char kTypes[] = "ODBPCWIU";
        std::string r(48, ' ');
        r = Field(r, 1, kDate);
        r = Field(r, 9, "0900");
        r = Field(r, 13, std::string(1, kTypes[k % 8]) + "0");
        r = Field(r, 23, std::to_string(1 + k % 20));
        r = Field(r, 31, "25");
        return r;
    };
    const bool ok = Fill(d.invoiceLines, d.gLastInvoiceLineRecord, kSales * kLinesPerSale, line) &&
                    Fill(d.payments, d.gLastPaymentRecord, kSales * 2, payment) &&
                    Fill(d.invoices, d.gLastInvoiceRecord, kSales, invoice) &&
                    Fill(d.activity, d.gLastActivityRecord, 200, activity);
    d.invoices.Close();
    d.invoiceLines.Close();
    d.payments.Close();
    d.activity.Close();
    return ok;
}

void BM_ClosingReport(benchmark::State& state) {
    const std::string folder = (std::filesystem::temp_directory_path() / "tarvo-bench-reports").string();
    std::filesystem::remove_all(folder);
    StoreSize size;
    size.products = 20000;
    size.clients = 10;
    size.vendors = 10;
    size.aliases = 10;
    size.kits = 1;
    std::string error;
    if (!WriteSyntheticStore(folder, "1234567", size, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    ManualClock clock{LocalTime{2026, 12, 9, 22, 0, 0}};
    Reg() = RegisterContext{nullptr, nullptr, &clock, {}, ""};
    Setup_Initialize(gSettings);
    FillTextTables(gConstants.tables);
    SetTerminalPaths(gConstants.paths, folder, "1234567");
    ProgramLog().Open(folder + "/Files/1234567.LOG");
    Data_Reset(gData);
    Open_FileCashier();
    Read_FileCategory();
    Parse_FileProduct();
    if (!WriteDay()) {
        state.SkipWithError("the day could not be written");
        return;
    }
    gTender = TenderState{};
    gTender.gPaymentListCount = 3;
    gTender.gPaymentListCode[1] = "1";
    gTender.gPaymentListName[1] = "Cash";
    gTender.gPaymentListCode[2] = "CARD";
    gTender.gPaymentListName[2] = "Visa";
    gTender.gPaymentListCode[3] = "24";
    gTender.gPaymentListName[3] = "Sales on Credit";
    gReg = RegisterState{};
    gReg.gCashierIndex = 1;
    gReg.gBusinessDate = kDate;
    gSale.gDateText = "09/Dec/2026";
    gSettings.gPrinterType = PrinterType::Com1;

    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        PrinterCapture_Begin(out);
        Report_Prepare(ReportKind::Closing);
        Print_Closing();
        PrinterCapture_End();
        if (gPrint.gPrintStatus != 0) state.SkipWithError("the report did not print");
        bytes = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    if (const char* dump = std::getenv("TARVO_BENCH_DUMP")) {
        std::string out;
        PrinterCapture_Begin(out);
        Report_Prepare(ReportKind::Closing);
        Print_Closing();
        PrinterCapture_End();
        if (std::FILE* f = std::fopen(dump, "wb")) {
            std::fwrite(out.data(), 1, out.size(), f);
            std::fclose(f);
        }
    }
    Data_CloseAll(gData);
    Reg() = RegisterContext{};
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ClosingReport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
