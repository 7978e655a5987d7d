// The sales upload of a busy day: 2,000 invoices of 10 lines and 2 payments
// each. Measured: building the upload file, flagging its invoices sent, and
// a whole mode-0 session against a local FTP server (the Internet check,
// login, build, put, size check, rename, flags). And the download of a
// packed 500,000-product master: fetched, unpacked and put in place.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/master_files.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "platform/clock.h"
#include "synthetic_store.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/backoffice_session.h"
#include "transfer/sales_upload.h"

namespace {
using namespace tarvo;
namespace fs = std::filesystem;

constexpr int kInvoices = 2000;
constexpr int kLines = 10;
constexpr int kPayments = 2;
constexpr int kProducts = 100;

std::string At(std::size_t length, std::initializer_list<std::pair<std::size_t, std::string>> fields) {
    std::string r(length, ' ');
    for (const auto& [col, text] : fields) r.replace(col - 1, text.size(), text);
    return r;
}

std::string Number(int n, int width) {
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(width) - s.size(), '0') + s;
}

class Day {
public:
    Day() {
        folder_ = fs::temp_directory_path() / ("tarvo-bench-transfer-" + std::to_string(::getpid()));
        server_ = folder_ / "server";
        fs::create_directories(folder_ / "Files");
        fs::create_directories(folder_ / "Data");
        fs::create_directories(server_);
        Data_Reset(gData);
        SetTerminalPaths(gConstants.paths, folder_.string(), "1234567");
        Setup_Initialize(gSettings);
        ProgramLog().Open(gConstants.paths.gFilesPath + ".LOG");

        std::ofstream prd(gConstants.paths.gFilesPath + ".PRD", std::ios::binary);
        for (int p = 0; p < kProducts; ++p)
            prd << At(273, {{1, std::to_string(1000 + p)}, {12, "KEY" + std::to_string(p)}, {175, p % 7 ? "1" : "12"}})
                << "\r\n";
        prd.close();
        Parse_FileProduct();

        Write(".INV", 150, kInvoices, [](int i) {
            return At(143, {{1, Number(i + 2, 7)},
                            {9, "0"},
                            {11, "0"},
                            {12, "20261209"},
                            {20, "1430"},
                            {24, "00000007"},
                            {40, "C100"},
                            {56, "123.45"},
                            {101, "129.62"},
                            {119, "1"},
                            {140, "10"},
                            {143, "2"}});
        });
        Write(".DTL", 90, kInvoices * kLines, [](int i) {
            const int inv = i / kLines + 2, k = i % kLines + 1;
            return At(88, {{1, Number(inv, 7)},
                           {8, Number(k, 3)},
                           {11, std::to_string(1000 + i % kProducts)},
                           {19, "KEY" + std::to_string(i % kProducts)},
                           {39, "3"},
                           {48, "4.115"},
                           {57, "4.115"},
                           {66, "a note"},
                           {87, "00"}});
        });
        Write(".PAY", 235, kInvoices * kPayments, [](int i) {
            const int inv = i / kPayments + 2, k = i % kPayments + 1;
            std::string card = k == 2 ? "4111111111111111" : "";
            Str_Encode(card);
            return At(223, {{1, Number(inv, 7)},
                            {8, Number(k, 2)},
                            {10, std::to_string(k)},
                            {18, "64.81"},
                            {27, "APPROVED"},
                            {47, k == 2 ? "2" : "0"},
                            {48, card}});
        });
        Open_FileInvoice();
        Open_FilePayment();
    }
    ~Day() {
        Data_CloseAll(gData);
        ProgramLog().Close();
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // Every invoice unsent again.
    void Unflag() {
        Open_FileInvoice();
        for (std::int64_t r = 2; r <= gData.gLastInvoiceRecord; ++r) {
            std::string rec = gData.invoices.Read(r);
            rec[8] = '0';
            gData.invoices.Write(r, rec);
        }
    }
    void ClearServer() {
        for (const auto& e : fs::directory_iterator(server_)) fs::remove_all(e.path());
    }
    std::string Upload() const { return gConstants.paths.gFilesPath + ".TRA"; }
    std::string Server() const { return server_.string(); }

private:
    template <class F>
    void Write(const char* ext, int length, int count, F record) {
        WorkFile f;
        f.Open(gConstants.paths.gDataPath + ext, length, true);
        f.Write(1, HeaderRecord(count + 1, 0));
        WorkFile::Appender a(f, 2);
        for (int i = 0; i < count; ++i) a.Add(record(i));
        a.Finish();
        f.Sync();
    }

    fs::path folder_, server_;
};

void BM_SalesUpload_Build(benchmark::State& state) {
    Day day;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        UploadBuild b = Sales_CreateFile(day.Upload(), false);
        if (!b.ok || b.range.last - b.range.first + 1 != kInvoices) state.SkipWithError("build failed");
        bytes = b.size;
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SalesUpload_Build)->Unit(benchmark::kMillisecond);

void BM_SalesUpload_Mark(benchmark::State& state) {
    Day day;
    UploadBuild b = Sales_CreateFile(day.Upload(), false);
    for (auto _ : state) {
        state.PauseTiming();
        day.Unflag();
        state.ResumeTiming();
        if (!Sales_MarkSent(b.range)) state.SkipWithError("mark failed");
    }
}
BENCHMARK(BM_SalesUpload_Mark)->Unit(benchmark::kMillisecond);

void BM_Session_FullDay(benchmark::State& state) {
    Day day;
    LocalFtpServer ftp(day.Server(), "store12", "secret");
    if (!ftp.Running()) {
        state.SkipWithError("no FTP server");
        return;
    }
    LocalHttpServer internet(200);
    ManualClock clock{LocalTime{2026, 12, 9, 22, 0, 0}};
    SessionSetup setup;
    setup.account.hosts = {ftp.Host()};
    setup.account.user = "store12";
    setup.account.password = "secret";
    setup.clock = &clock;
    setup.internet.url = internet.Url();
    for (auto _ : state) {
        state.PauseTiming();
        day.Unflag();
        day.ClearServer();
        state.ResumeTiming();
        BackOfficeSession session(setup);
        if (session.Run(CommMode::Full, true) != 0) state.SkipWithError("session failed");
    }
}
BENCHMARK(BM_Session_FullDay)->Unit(benchmark::kMillisecond);

// The first start of a big store (or a new master in a session): the packed
// product master fetched from the local server, unpacked and installed. Each
// round puts the package back on the server (not timed).
void BM_MasterInstall_500k(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("tarvo-bench-master-" + std::to_string(::getpid()));
    const fs::path server = folder / "server";
    fs::create_directories(folder / "Files");
    fs::create_directories(folder / "Data");
    fs::create_directories(server / "Files");
    StoreSize size;
    size.clients = 1;
    size.vendors = 1;
    size.aliases = 1;
    size.kits = 1;
    std::string error;
    const fs::path store = folder / "store";
    if (!WriteSyntheticStore(store.string(), "1234567", size, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string master = (store / "Files/1234567.PRD").string();
    const std::string package = (folder / "1234567.PRC").string();
    {
        int err = 0;
        zip_t* z = zip_open(package.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        zip_source_t* src = z ? zip_source_file(z, master.c_str(), 0, -1) : nullptr;
        if (!src || zip_file_add(z, "1234567.PRD", src, 0) < 0 || zip_close(z) != 0) {
            state.SkipWithError("the package could not be made");
            return;
        }
    }
    Data_Reset(gData);
    SetTerminalPaths(gConstants.paths, folder.string(), "1234567");
    ProgramLog().Open(gConstants.paths.gFilesPath + ".LOG");
    LocalFtpServer ftp(server.string(), "store12", "secret");
    LocalHttpServer internet(200);
    if (!ftp.Running()) {
        state.SkipWithError("no FTP server");
        return;
    }
    SessionSetup setup;
    setup.account.hosts = {ftp.Host()};
    setup.account.user = "store12";
    setup.account.password = "secret";
    setup.internet.url = internet.Url();
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(package, server / "Files/1234567.PRC", fs::copy_options::overwrite_existing);
        fs::remove(folder / "Files/1234567.PRC");
        fs::remove(folder / "Files/1234567.PRD");
        state.ResumeTiming();
        BackOfficeSession session(setup);
        if (session.Run(CommMode::DownloadOnly, true) != 0 || !fs::exists(folder / "Files/1234567.PRD"))
            state.SkipWithError("the master did not arrive");
    }
    state.counters["master_bytes"] = static_cast<double>(fs::file_size(master));
    state.counters["package_bytes"] = static_cast<double>(fs::file_size(package));
    ProgramLog().Close();
    std::error_code ec;
    fs::remove_all(folder, ec);
}
BENCHMARK(BM_MasterInstall_500k)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

}  // namespace
