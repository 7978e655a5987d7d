// The crash sweep: a child process saves one document and is killed at each
// file-system call of the save in turn (a preloaded shim ends it right before
// call k). After each crash the files are opened as the register opens them
// and must hold the document wholly or not at all, every earlier document
// as it was; and the next document must save under the next number and, for
// a sale, print a receipt of its own lines only.
// Two registers started on one program folder: the second is refused and the
// first loses nothing.
#include <gtest/gtest.h>
#include <mutex>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "backoffice/tag_text.h"
#include "data/count_and_activity.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/transaction_files.h"
#include "forms/entry_fixture.h"
#include "inventory/adjustments.h"
#include "inventory/orders.h"
#include "inventory/purchases.h"
#include "office/opening.h"
#include "online/price_change.h"
#include "online/web_orders.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "print/receipt.h"
#include "register/register_fixture.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "test_dir.h"
#include "test_ftp.h"
#include "test_net.h"
#include "transfer/backoffice_session.h"
#include "transfer/dialup.h"
#include "transfer/download_fixture.h"
#include "transfer/outbox.h"

extern char** environ;

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace sale_builder;

struct ChildResult {
    int exitCode = -1;
    std::string out;
};

// A running crash child: its process and where its output goes.
struct Child {
    pid_t pid = -1;
    std::string outPath;
};

// Starts the crash child on `folder`; `crashAt` < 0 runs it without the shim.
Child StartChild(const std::string& scenario, const std::string& folder, long crashAt, const std::string& outPath) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("LD_PRELOAD=", 0) != 0 && std::string(*e).rfind("TARVO_CRASH", 0) != 0 &&
            (crashAt < 0 || std::string(*e).rfind("ASAN_OPTIONS=", 0) != 0))
            env.emplace_back(*e);
    if (crashAt >= 0) {
        env.push_back(std::string("LD_PRELOAD=") + TARVO_FS_SHIM);
        env.push_back("TARVO_CRASH_AT=" + std::to_string(crashAt));
        // A sanitizer build wants its runtime first; the shim only passes calls on.
        const char* asan = std::getenv("ASAN_OPTIONS");
        env.push_back(std::string("ASAN_OPTIONS=") + (asan && *asan ? std::string(asan) + ":" : std::string()) +
                      "verify_asan_link_order=0");
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string child = TARVO_CRASH_CHILD;
    std::vector<std::string> args = {child, scenario, folder};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Child c;
    c.outPath = outPath;
    if (posix_spawn(&c.pid, child.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) c.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return c;
}

ChildResult Wait(const Child& c) {
    ChildResult r;
    if (c.pid > 0) {
        int status = 0;
        ::waitpid(c.pid, &status, 0);
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::ifstream in(c.outPath, std::ios::binary);
    r.out.assign(std::istreambuf_iterator<char>(in), {});
    return r;
}

ChildResult RunChild(const std::string& scenario, const std::string& folder, long crashAt) {
    TestDir outDir;
    return Wait(StartChild(scenario, folder, crashAt, outDir / "out"));
}

// One transaction file of a scenario.
struct FileOf {
    const char* extension;
    void (*open)();
    WorkFile DataState::*file;
    std::int32_t DataState::*counter;
};
const FileOf kInv{".INV", [] { Open_FileInvoice(); }, &DataState::invoices, &DataState::gLastInvoiceRecord};
const FileOf kDtl{".DTL", [] { Open_FileInvoice(); }, &DataState::invoiceLines, &DataState::gLastInvoiceLineRecord};
const FileOf kPay{".PAY", [] { Open_FilePayment(); }, &DataState::payments, &DataState::gLastPaymentRecord};
const FileOf kAct{".ACT", [] { Open_FileActivity(); }, &DataState::activity, &DataState::gLastActivityRecord};
const FileOf kPhy{".PHY", [] { Open_FilePhysical(); }, &DataState::physical, &DataState::gLastPhysicalRecord};
const FileOf kNwc{".NWC", [] { Open_FileNewClient(); }, &DataState::newFile, &DataState::gNewCount};
const FileOf kNwp{".NWP", [] { Open_FileNewProduct(); }, &DataState::newFile, &DataState::gNewCount};

const FileOf kOrd{".ORD", [] { Open_FileOrder(); }, &DataState::orders, &DataState::gLastOrderRecord};
const FileOf kOrl{".ORL", [] { Open_FileOrder(); }, &DataState::orderLines, &DataState::gLastOrderLineRecord};
const FileOf kOrp{".ORP", [] { Open_FileOrder(); }, &DataState::orderPayments, &DataState::gLastOrderPaymentRecord};
const FileOf kAdj{".ADJ", [] { Open_Fileadjustment(); }, &DataState::adjustments, &DataState::gLastAdjustmentRecord};
const FileOf kAdd{".ADD", [] { Open_Fileadjustment(); }, &DataState::adjustmentLines,
                  &DataState::gLastAdjustmentLineRecord};
const FileOf kPur{".PUR", [] { Open_Filepurchase(); }, &DataState::purchases, &DataState::gLastPurchaseRecord};
const FileOf kPul{".PUL", [] { Open_Filepurchase(); }, &DataState::purchaseLines, &DataState::gLastPurchaseLineRecord};

// The next document of the kind a sweep's first file holds, saved in this
// process on the register as a start after the crash finds it: one line of
// product "777" (and a deposit for an order).
bool SaveNextDocument(const std::string& extension) {
    if (extension == ".ACT") {
        gReg.gEnteredAmount = M("1");
        return OpeningAmount_Save();
    }
    if (extension == ".PHY") return Physical_Add("777", 1) == PhysicalAddResult::Ok;
    if (extension == ".NWC") {
        TemplateMasters_Load();
        return Entry_SaveThroughForm(18, {{1, "40009"}, {2, "Next Client"}, {11, "1001"}});
    }
    if (extension == ".NWP") {
        TemplateMasters_Load();
        return Entry_SaveThroughForm(19, {{1, "NP-9"}, {3, "Next Product"}, {12, "P100"}});
    }
    gSale = SaleState{};
    AddLine("777", "777", 1, "3", "3");
    Totals("3", "0", "3");
    gSale.gAdjustmentDirection = 1;
    gSale.gAdjustmentReason = "1";
    gSale.gPurchaseVendor = "V200";
    if (extension == ".ORD") {
        AddTender("1", "3");
        return Order_Save();
    }
    if (extension == ".ADJ") return Adjustment_Save();
    return Purchase_Save();
}

// What the register counts in each file: records 2 to the header's count.
using Counted = std::vector<std::vector<std::string>>;

class CrashSweepTest : public RegisterTest {
protected:
    // A register on `folder` as the next start finds it.
    void OpenRegisterOn(const std::string& folder) {
        Data_CloseAll(gData);
        RegisterTest::TearDown();
        RegisterTest::SetUp();
        UseTerminalFolder(folder);
        gPrint = PrintState{};
        gSaleSave = SaleSaveState{};
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261209";
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
    }
    void TearDown() override {
        PrinterCapture_End();
        Data_CloseAll(gData);
        RegisterTest::TearDown();
    }

    Counted Read(const std::string& folder, const std::vector<FileOf>& files) {
        OpenRegisterOn(folder);
        Counted out;
        for (const FileOf& f : files) {
            f.open();
            std::vector<std::string> records;
            WorkFile& w = gData.*f.file;
            for (std::int64_t k = 2; k <= gData.*f.counter; ++k) records.push_back(w.Read(k));
            out.push_back(std::move(records));
        }
        Data_CloseAll(gData);
        return out;
    }

    static std::string Copy(const TestDir& from, const TestDir& to) {
        fs::copy(from.Path(), to.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        return to.Path();
    }

    // The next sale after a crash: saved under the next number, its receipt
    // holding its own two lines only (its products are not on file, so each
    // line prints as "Product Not Found").
    void NextSaleSavesAndPrintsItsOwnLines(const std::string& folder, std::size_t invoicesBefore) {
        OpenRegisterOn(folder);
        gSale = SaleState{};
        gSale.gClientCode = "C100";
        AddLine("NEXT1", "NEXT1", 1, "3", "3");
        AddLine("NEXT2", "NEXT2", 1, "4", "4");
        Totals("7", "0", "7");
        AddTender("1", "7");
        ASSERT_TRUE(Sale_Save());
        EXPECT_EQ(gSaleSave.gPrintRecordNo, static_cast<std::int32_t>(invoicesBefore + 2));
        gSettings.gPrinterType = PrinterType::Com1;
        print_golden::UseReadableCodes();
        std::string printed;
        {
            PrinterCapture cap;
            Receipt_Print();
            printed = cap.bytes;
        }
        EXPECT_EQ(gPrint.gPrintStatus, 0);
        std::size_t lines = 0;
        for (std::size_t p = printed.find("Product Not Found"); p != std::string::npos;
             p = printed.find("Product Not Found", p + 1))
            ++lines;
        EXPECT_EQ(lines, 2u) << printed;
    }

    // Sweeps `scenario`: returns the number of crash points.
    long Sweep(const char* scenario, bool prepared, const std::vector<FileOf>& files, bool counted) {
        TestDir base;
        fs::create_directories(base / "Files");
        fs::create_directories(base / "Data");
        if (prepared) {
            EXPECT_EQ(RunChild("prepare", base.Path(), -1).exitCode, 0);
        }
        TestDir b;
        const Counted before = Read(Copy(base, b), files);

        TestDir whole;
        const ChildResult full = RunChild(scenario, Copy(base, whole), 0);
        EXPECT_EQ(full.exitCode, 0) << full.out;
        long calls = -1;
        std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
        EXPECT_GT(calls, 0) << full.out;
        const Counted after = Read(whole.Path(), files);
        if (counted) {
            for (std::size_t i = 0; i < files.size(); ++i)
                EXPECT_GT(after[i].size(), before[i].size()) << files[i].extension;
        } else {
            EXPECT_EQ(after, before);  // a training sale is never counted
        }

        for (long k = 1; k <= calls; ++k) {
            SCOPED_TRACE(std::string(scenario) + ", killed before file-system call " + std::to_string(k));
            TestDir w;
            const ChildResult r = RunChild(scenario, Copy(base, w), k);
            EXPECT_EQ(r.exitCode, 77) << r.out;
            const Counted state = Read(w.Path(), files);
            EXPECT_TRUE(state == before || state == after) << "the document is partly there";
            if (files[0].extension == std::string(".INV")) {
                NextSaleSavesAndPrintsItsOwnLines(w.Path(), state[0].size());
            } else {
                const std::size_t n = state[0].size();
                OpenRegisterOn(w.Path());
                EXPECT_TRUE(SaveNextDocument(files[0].extension));
                const Counted next = Read(w.Path(), files);
                EXPECT_EQ(next[0].size(), n + 1);
                for (std::size_t i = 0; i < files.size(); ++i)
                    EXPECT_TRUE(std::equal(state[i].begin(), state[i].end(), next[i].begin())) << files[i].extension;
                // The next document holds its own lines only: one, under its own number.
                if (files.size() > 1) {
                    const std::string number = next[0].back().substr(0, 7);
                    EXPECT_EQ(number, std::string(7 - std::to_string(n + 2).size(), '0') + std::to_string(n + 2));
                    EXPECT_EQ(next[1].size(), state[1].size() + 1);
                    if (!next[1].empty()) {
                        EXPECT_EQ(next[1].back().substr(0, 10), number + "001");
                    }
                }
            }
        }
        std::cout << "[ crash sweep ] " << scenario << ": " << calls << " crash points\n";
        return calls;
    }
};

// The command file is rewritten whole through a temporary: killed at any
// file-system call it holds the earlier command or the new one, never a part.
TEST_F(CrashSweepTest, TheCommandFileKilledAtAnyWriteHoldsTheOldCommandOrTheNew) {
    TestDir base;
    fs::create_directories(base / "Files");
    fs::create_directories(base / "Data");
    base.Write("Files/1234567.CMD", "");  // an earlier command: nothing to do
    TestDir whole;
    const ChildResult full = RunChild("commandfile", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    EXPECT_EQ(whole.Read("Files/1234567.CMD"), "1\r\n");
    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        const ChildResult r = RunChild("commandfile", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string cmd = w.Read("Files/1234567.CMD");
        EXPECT_TRUE(cmd.empty() || cmd == "1\r\n") << "the command file is partly written: \"" << cmd << "\"";
    }
    std::cout << "[ crash sweep ] commandfile: " << calls << " crash points\n";
}

// A start after new masters arrived, killed at any file-system call: the next
// start never takes a working file or index written in part, or one built
// from the old masters, for current. It answers every search and look-up as
// a register that ran to the end does, and each saved index holds the old
// entries or the new ones whole.
class StartSweepTest : public CrashSweepTest {
protected:
    static std::string Product(const std::string& number, const std::string& description) {
        std::string l(273, ' ');
        l.replace(11, number.size(), number);
        l.replace(39, number.size(), number);
        l.replace(59, description.size(), description);
        return l + "\r\n";
    }
    static std::string Client(const std::string& number, const std::string& name) {
        std::string l(210, ' ');
        l.replace(11, number.size(), number);
        l.replace(19, name.size(), name);
        return l + "\r\n";
    }
    static void Masters(const TestDir& d, bool changed) {
        std::string products, clients;
        for (int i = 1; i <= (changed ? 40 : 30); ++i)
            products += Product(std::to_string(1000 + i), (i % 2 ? "FRESH COFFEE " : "SPICY TOMATO ") +
                                                              std::string(changed && i % 3 ? "BLEND " : "") +
                                                              std::to_string(i));
        for (int i = 1; i <= (changed ? 12 : 8); ++i)
            clients += Client(std::to_string(10000000 + i), (changed ? "ANNA MARTIN" : "PAUL ROY"));
        d.Write("Files/1234567.PRD", products);
        d.Write("Files/1234567.CLI", clients);
        d.Write("Files/1234567.PAX", changed ? "NEWALIAS          1001\r\n" : "OLDALIAS          1002\r\n");
    }
    // The data layer's part of a start, in this process.
    void StartOn(const std::string& folder) {
        OpenRegisterOn(folder);
        OpenTables();
        Index_Product();
        Index_Client();
    }
    std::vector<std::string> Answers(const std::string& folder) {
        StartOn(folder);
        std::vector<std::string> out;
        auto search = [&](void (*find)(), const WorkFile& f, const char* text) {
            gData.gSearchText = text;
            find();
            out.push_back(std::string(text) + ":");
            for (std::int32_t k = gData.gSearchFirst; k >= 1 && k <= gData.gSearchLast; ++k) out.push_back(f.Read(k));
        };
        for (const char* t : {"blend", "coffee", "tomato"}) search(AuxProduct_Search, gData.auxIndex, t);
        for (const char* t : {"anna", "paul"}) search(AuxClient_Search, gData.cuxIndex, t);
        for (const char* t : {"NEW", "OLD"}) search(AuxPax_Search, gData.paxIndex, t);
        for (const char* key : {"1001", "1035"}) {
            const std::optional<ProductMatch> p = Product_Find(key);
            out.push_back(p && p->recNo ? std::string(p->record) : std::string("not found"));
        }
        out.push_back(std::to_string(gData.gProductCount) + " " + std::to_string(gData.gClientCount));
        Data_CloseAll(gData);
        return out;
    }
    // A folder whose register started on the old masters, the new ones just arrived.
    void Prepare(const TestDir& d) {
        Masters(d, false);
        fs::create_directories(d / "Data");
        StartOn(d.Path());
        Data_CloseAll(gData);
        Masters(d, true);
    }
};

TEST_F(StartSweepTest, AStartKilledAtAnyWriteLeavesNothingHalfBuiltForTheNext) {
    TestDir whole;
    Prepare(whole);
    const std::string oldAux = whole.Read("Data/1234567.AUX").substr(128);
    const ChildResult full = RunChild("reload", whole.Path(), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 10) << full.out;
    const std::string newAux = whole.Read("Data/1234567.AUX").substr(128);
    ASSERT_NE(newAux, oldAux);
    const std::vector<std::string> after = Answers(whole.Path());
    ASSERT_EQ(after.back(), "40 12");

    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        Prepare(w);
        const ChildResult r = RunChild("reload", w.Path(), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string aux = w.Read("Data/1234567.AUX");
        EXPECT_TRUE(aux.size() >= 128 && (aux.substr(128) == oldAux || aux.substr(128) == newAux))
            << "the word index is partly written";
        EXPECT_EQ(Answers(w.Path()), after);
    }
    std::cout << "[ crash sweep ] start after new masters: " << calls << " crash points\n";
}

// A price change writes the product master (replaced whole) and the product's
// working-file record: killed at any file-system call, the master is wholly
// old or wholly new, the next start's working file says what the master
// says, and the change made again completes.
TEST_F(StartSweepTest, APriceChangeKilledAtAnyWriteLeavesTheMasterWholeAndTheWorkingFileAgreeing) {
    auto line = [](int i, const std::string& price) {
        std::string l(273, ' ');
        const std::string n = std::to_string(1000 + i);
        l.replace(0, n.size(), n);
        l.replace(11, n.size(), n);
        l.replace(39, n.size(), n);
        l.replace(59, 6, "COFFEE");
        l.replace(99, price.size(), price);
        return l;
    };
    auto master = [&](const std::string& price5) {
        std::string m;
        for (int i = 1; i <= 30; ++i) m += line(i, i == 5 ? price5 : "9.99") + "\r\n";
        return m;
    };
    const std::string oldMaster = master("3.50"), newMaster = master("12.5");
    // The record of 1005 and of 1006 as the next start finds them.
    auto records = [&](const std::string& folder) {
        StartOn(folder);
        std::vector<std::string> out;
        for (const char* key : {"1005", "1006"}) {
            const std::optional<ProductMatch> p = Product_Find(key);
            out.push_back(p && p->recNo ? std::string(p->record) : std::string("not found"));
        }
        Data_CloseAll(gData);
        return out;
    };
    const std::vector<std::string> before{line(5, "3.50"), line(6, "9.99")};
    const std::vector<std::string> after{line(5, "12.5"), line(6, "9.99")};

    TestDir base;
    fs::create_directories(base / "Files");
    fs::create_directories(base / "Data");
    base.Write("Files/1234567.PRD", oldMaster);
    ASSERT_EQ(records(base.Path()), before);
    TestDir whole;
    const ChildResult full = RunChild("pricechange", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    EXPECT_EQ(whole.Read("Files/1234567.PRD"), newMaster);
    EXPECT_EQ(records(whole.Path()), after);

    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        const ChildResult r = RunChild("pricechange", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string m = w.Read("Files/1234567.PRD");
        EXPECT_TRUE(m == oldMaster || m == newMaster) << "the master is partly written";
        EXPECT_EQ(records(w.Path()), m == newMaster ? after : before);

        StartOn(w.Path());
        std::string why;
        EXPECT_TRUE(PriceChange_WriteLocal("1005", "12.5", why)) << why;
        Data_CloseAll(gData);
        EXPECT_EQ(w.Read("Files/1234567.PRD"), newMaster);
        EXPECT_EQ(records(w.Path()), after);
    }
    std::cout << "[ crash sweep ] price change: " << calls << " crash points\n";
}

// The outbox of the back-office uploads is replaced whole: killed at any
// file-system call it holds the step before or the step after, and reads.
TEST_F(CrashSweepTest, TheOutboxKilledAtAnyWriteHoldsTheStateBeforeOrAfter) {
    TestDir base;
    fs::create_directories(base / "Files");
    fs::create_directories(base / "Data");
    const std::string other = "ACC|7|9|Sent|55|0101.ACC.part|0101.ACC|\r\n";
    const std::string built = "TRA|2|4|Built|100|1209.TRA.part|1209.TRA|ab12\r\n";
    const std::string put = "TRA|2|4|Put|100|1209.TRA.part|1209.TRA|ab12\r\n";
    base.Write("Files/1234567.OUT", built + other);
    TestDir whole;
    const ChildResult full = RunChild("outbox", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    EXPECT_EQ(whole.Read("Files/1234567.OUT"), put + other);
    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        const ChildResult r = RunChild("outbox", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string state = w.Read("Files/1234567.OUT");
        EXPECT_TRUE(state == built + other || state == put + other) << "the outbox is partly written: " << state;
        Outbox reread(w / "Files/1234567.OUT");
        EXPECT_TRUE(reread.Load(nullptr));
    }
    std::cout << "[ crash sweep ] outbox: " << calls << " crash points\n";
}

// A new dial-up entry replaces Dial.Set whole: killed at any file-system call
// the file holds the old entry or the new one, readable by its owner only.
TEST_F(CrashSweepTest, ANewDialUpEntryKilledAtAnyWriteLeavesTheOldEntryOrTheNew) {
    TestDir base;
    fs::create_directories(base / "Files");
    fs::create_directories(base / "Data");
    const std::string oldEntry = "Old Line\r\nold user\r\nold secret\r\n";
    const std::string newEntry = "New Line\r\nnew user\r\nnew secret\r\n";
    base.Write("Files/Dial.Set", oldEntry);
    fs::permissions(base / "Files/Dial.Set", fs::perms(0600));
    TestDir whole;
    const ChildResult full = RunChild("dialset", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    EXPECT_EQ(whole.Read("Files/Dial.Set"), newEntry);
    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        const ChildResult r = RunChild("dialset", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string kept = w.Read("Files/Dial.Set");
        EXPECT_TRUE(kept == oldEntry || kept == newEntry) << "Dial.Set is partly written: " << kept;
        EXPECT_EQ(fs::status(w / "Files/Dial.Set").permissions() & fs::perms::all, fs::perms(0600));
        DialValues v;
        EXPECT_EQ(ReadDialSettings(w.Path(), v), 1);
    }
    std::cout << "[ crash sweep ] dialset: " << calls << " crash points\n";
}

// A mode-0 session killed at each file-system call against a live server,
// then one clean session: every invoice, journal record and new entry on the
// server once, under a final name, every one flagged, no temporary name left;
// the card terminal's log on the server once, in one file, and gone here.
TEST_F(CrashSweepTest, ASessionKilledAtAnyWriteStillSendsEveryInvoiceOnce) {
    TestDir base, root;
    fs::create_directories(base / "Files");
    fs::create_directories(base / "Data");
    ASSERT_EQ(RunChild("prepare", base.Path(), -1).exitCode, 0);
    const std::string terminalLog = ">>> request 1\r\n\r\n<<< approved 1\r\n\r\n";
    base.Write("Data/Dejavoo.LOG", terminalLog);
    LocalFtpServer server(root.Path(), "store12", "secret");
    ASSERT_TRUE(server.Running());
    ::setenv("TARVO_FTP_HOST", server.Host().c_str(), 1);
    LocalHttpServer internet(200);
    ::setenv("TARVO_INTERNET_URL", internet.Url().c_str(), 1);

    // Lines of the server's final files of one kind.
    auto serverLines = [&](const std::string& ext) {
        std::size_t lines = 0;
        for (const auto& e : fs::directory_iterator(root.Path())) {
            const std::string name = e.path().filename().string();
            if (name.size() < 4 || name.substr(name.size() - 4) != "." + ext) continue;
            const std::string bytes = root.Read(name);
            for (std::size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2)) ++lines;
        }
        return lines;
    };
    auto serverInvoices = [&] {
        std::map<std::string, int> n;
        bool temporary = false;
        for (const auto& e : fs::directory_iterator(root.Path())) {
            const std::string name = e.path().filename().string();
            if (name.find(".part") != std::string::npos) temporary = true;
            if (name.size() < 4 || name.substr(name.size() - 4) != ".TRA") continue;
            const std::string bytes = root.Read(name);
            for (std::size_t p = 0; p + 7 <= bytes.size();) {
                n[bytes.substr(p, 7)]++;
                std::size_t end = bytes.find("\r\n", p);
                if (end == std::string::npos) break;
                p = end + 2;
            }
        }
        EXPECT_FALSE(temporary) << "a temporary name is left on the server";
        return n;
    };
    const std::map<std::string, int> once = {{"0000002", 1}, {"0000003", 1}};
    // The card terminal's logs on the server: their contents.
    auto serverTerminalLogs = [&] {
        std::vector<std::string> logs;
        for (const auto& e : fs::directory_iterator(root.Path()))
            if (e.path().filename().string().rfind("Dejavoo", 0) == 0)
                logs.push_back(root.Read(e.path().filename().string()));
        return logs;
    };
    auto clearServer = [&] {
        for (const auto& e : fs::directory_iterator(root.Path())) fs::remove_all(e.path());
    };

    TestDir whole;
    const ChildResult full = RunChild("session", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    EXPECT_EQ(serverInvoices(), once);
    EXPECT_EQ(serverLines("NWC"), 1u);
    EXPECT_EQ(serverLines("NWP"), 1u);
    EXPECT_EQ(serverTerminalLogs(), std::vector<std::string>{terminalLog});

    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        clearServer();
        TestDir w;
        const ChildResult r = RunChild("session", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;

        OpenRegisterOn(w.Path());
        SessionSetup setup;
        setup.account.hosts = {server.Host()};
        setup.account.user = "store12";
        setup.account.password = "secret";
        ManualClock later{LocalTime{2026, 12, 9, 10, 31, 0}};
        setup.clock = &later;
        setup.internet.url = internet.Url();
        BackOfficeSession clean(setup);
        EXPECT_EQ(clean.Run(CommMode::Full, true), 0);
        EXPECT_EQ(serverInvoices(), once);
        Open_FileInvoice();
        for (std::int64_t rec = 2; rec <= gData.gLastInvoiceRecord; ++rec)
            EXPECT_EQ(gData.invoices.Read(rec).substr(8, 1), "1") << "invoice record " << rec;
        EXPECT_FALSE(fs::exists(w / "Files/1234567.TRA"));
        // The journal and the new entries: each record once, each flagged.
        Open_FileActivity();
        EXPECT_EQ(serverLines("ACC"), static_cast<std::size_t>(gData.gLastActivityRecord - 1));
        for (std::int64_t rec = 2; rec <= gData.gLastActivityRecord; ++rec)
            EXPECT_EQ(gData.activity.Read(rec).substr(13, 1), "1") << "journal record " << rec;
        Open_FileNewClient();
        EXPECT_EQ(serverLines("NWC"), static_cast<std::size_t>(gData.gNewCount - 1));
        for (std::int64_t rec = 2; rec <= gData.gNewCount; ++rec)
            EXPECT_EQ(gData.newFile.Read(rec).substr(0, 1), "1") << "new client " << rec;
        Open_FileNewProduct();
        EXPECT_EQ(serverLines("NWP"), static_cast<std::size_t>(gData.gNewCount - 1));
        EXPECT_EQ(serverTerminalLogs(), std::vector<std::string>{terminalLog});
        EXPECT_FALSE(fs::exists(w / "Data/Dejavoo.LOG"));
        EXPECT_FALSE(fs::exists(w / "Data/Dejavoo-send.LOG"));
    }
    ::unsetenv("TARVO_FTP_HOST");
    ::unsetenv("TARVO_INTERNET_URL");
    std::cout << "[ crash sweep ] session: " << calls << " crash points\n";
}

// A session downloading a new product master (packed), the cashiers and
// the settings, killed at each file-system call: each local file is wholly
// old or wholly new, and the next session leaves no temporary behind and
// brings everything in.
TEST_F(CrashSweepTest, ADownloadKilledAtAnyWriteLeavesEachFileWholeAndTheNextSessionFinishes) {
    using namespace download_fixture;
    TestDir base, root, packages;
    const std::string oldMaster = std::string(273, 'o') + "\r\n";
    std::string newMaster;
    for (int i = 0; i < 400; ++i) newMaster += std::string(272, static_cast<char>('a' + i % 26)) + "n\r\n";
    base.Write("Files/1234567.PRD", oldMaster);
    base.Write("Files/1234567.CSH", "old cashiers\r\n");
    fs::create_directories(base / "Data");
    MakePackage(packages / "p.zip", {{"master.prd", newMaster}});
    const std::map<std::string, std::string> sent = {{"1234567.PRC", ReadFile(packages / "p.zip")},
                                                     {"1234567.CSH", "new cashiers\r\n"},
                                                     {"1234567.SET", "100 REG01\r\n"}};
    // Everything of the last round goes, the status file a full session
    // puts under the minute's name among it (the next would find it taken).
    auto fillServer = [&] {
        for (const fs::directory_entry& e : fs::directory_iterator(root.Path())) fs::remove_all(e.path());
        for (const auto& [name, bytes] : sent) root.Write("Files/" + name, bytes);
    };
    LocalFtpServer server(root.Path(), "store12", "secret");
    ASSERT_TRUE(server.Running());
    ::setenv("TARVO_FTP_HOST", server.Host().c_str(), 1);
    LocalHttpServer internet(200);
    ::setenv("TARVO_INTERNET_URL", internet.Url().c_str(), 1);

    fillServer();
    TestDir whole;
    const ChildResult full = RunChild("download", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    EXPECT_EQ(whole.Read("Files/1234567.PRD"), newMaster);
    EXPECT_TRUE(FilesIn(root / "Files").empty());

    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        fillServer();
        TestDir w;
        const ChildResult r = RunChild("download", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;
        const std::string master = w.Read("Files/1234567.PRD");
        EXPECT_TRUE(master == oldMaster || master == newMaster) << "the product master is partly there";
        const std::string cashiers = w.Read("Files/1234567.CSH");
        EXPECT_TRUE(cashiers == "old cashiers\r\n" || cashiers == sent.at("1234567.CSH"));
        if (fs::exists(w / "Files/1234567.SET")) {
            EXPECT_EQ(w.Read("Files/1234567.SET"), sent.at("1234567.SET"));
        }

        OpenRegisterOn(w.Path());
        SessionSetup setup;
        setup.account.hosts = {server.Host()};
        setup.account.user = "store12";
        setup.account.password = "secret";
        setup.internet.url = internet.Url();
        BackOfficeSession clean(setup);
        EXPECT_EQ(clean.Run(CommMode::Full, true), 0);
        EXPECT_FALSE(TemporaryIn(w / "Files"));
        EXPECT_EQ(w.Read("Files/1234567.PRD"), newMaster);
        EXPECT_EQ(w.Read("Files/1234567.CSH"), sent.at("1234567.CSH"));
        EXPECT_EQ(w.Read("Files/1234567.SET"), sent.at("1234567.SET"));
        EXPECT_TRUE(FilesIn(root / "Files").empty());
        Data_CloseAll(gData);
    }
    ::unsetenv("TARVO_FTP_HOST");
    ::unsetenv("TARVO_INTERNET_URL");
    std::cout << "[ crash sweep ] download: " << calls << " crash points\n";
}

TEST_F(CrashSweepTest, TwoRegistersStartedOnOneFolderSaveAsOneAndLoseNothing) {
    TestDir folder, out;
    fs::create_directories(folder / "Files");
    fs::create_directories(folder / "Data");
    const std::string go = out / "go";
    ::setenv("TARVO_GO_FILE", go.c_str(), 1);
    const Child a = StartChild("register", folder.Path(), -1, out / "a");
    for (int i = 0; i < 2000 && out.Read("a").empty(); ++i) ::usleep(5000);
    ASSERT_EQ(out.Read("a"), "LOCKED\n");
    // The second copy, started while the first holds the folder, is refused.
    const ChildResult rb = RunChild("register", folder.Path(), -1);
    EXPECT_EQ(rb.exitCode, 3);
    EXPECT_EQ(rb.out, "REFUSED\n");
    out.Write("go", "");
    const ChildResult ra = Wait(a);
    ::unsetenv("TARVO_GO_FILE");
    EXPECT_EQ(ra.exitCode, 0);
    EXPECT_EQ(ra.out, "LOCKED\nSAVED 51\n");

    // Every invoice holds its own two lines and its one tender.
    const Counted files = Read(folder.Path(), {kInv, kDtl, kPay});
    ASSERT_EQ(files[0].size(), 50u);
    ASSERT_EQ(files[1].size(), 100u);
    ASSERT_EQ(files[2].size(), 50u);
    for (std::size_t i = 0; i < 50; ++i) {
        const std::string number = std::string(7 - std::to_string(i + 2).size(), '0') + std::to_string(i + 2);
        EXPECT_EQ(files[0][i].substr(0, 7), number);
        EXPECT_EQ(files[1][2 * i].substr(0, 10), number + "001");
        EXPECT_EQ(files[1][2 * i + 1].substr(0, 10), number + "002");
        EXPECT_EQ(files[2][i].substr(0, 9), number + "01");
    }
}

TEST_F(CrashSweepTest, ASaleKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("sale", true, {kInv, kDtl, kPay}, true), 12);
}

TEST_F(CrashSweepTest, TheFirstSaleOnEmptyFilesKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("sale", false, {kInv, kDtl, kPay}, true), 12);
}

TEST_F(CrashSweepTest, ATrainingSaleKilledAtAnyWriteIsNeverCounted) {
    EXPECT_GT(Sweep("training", true, {kInv, kDtl, kPay}, false), 0);
}

TEST_F(CrashSweepTest, AnOpeningAmountKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("opening", true, {kAct}, true), 4);
}

TEST_F(CrashSweepTest, AnOrderKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("order", false, {kOrd, kOrl, kOrp}, true), 12);
}

TEST_F(CrashSweepTest, AStockAdjustmentKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("adjustment", false, {kAdj, kAdd}, true), 8);
}

TEST_F(CrashSweepTest, APurchaseKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("purchase", false, {kPur, kPul}, true), 8);
}

TEST_F(CrashSweepTest, AStockCountLineKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("count", true, {kPhy}, true), 4);
}

TEST_F(CrashSweepTest, ANewClientKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("newclient", true, {kNwc}, true), 4);
}

TEST_F(CrashSweepTest, TheFirstNewClientKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("newclient", false, {kNwc}, true), 4);
}

TEST_F(CrashSweepTest, ANewProductKilledAtAnyWriteIsWhollyThereOrNot) {
    EXPECT_GE(Sweep("newproduct", true, {kNwp}, true), 4);
}

}  // namespace

// A web-shop replay killed at each file-system call, then resumed: every
// request reaches the back office, none is asked again once its answer is in
// the journal (only the one in flight at the crash may go twice), and the
// order file and its journal end whole.
TEST_F(CrashSweepTest, AWebOrderReplayKilledAtAnyWriteResumesWithoutResendingWhatWasAnswered) {
    auto column37 = [](const std::string& order, const std::string& name, const std::string& product,
                       const std::string& total) {
        std::vector<std::string> c(37);
        c[0] = order;
        c[5] = name;
        c[26] = product;
        c[36] = total;
        std::string line;
        for (std::size_t i = 0; i < c.size(); ++i) line += (i ? "\t" : "") + c[i];
        return line + "\r\n";
    };
    const std::string file = "header\r\n" + column37("71", "Ann", "P1", "10") + column37("71", "Ann", "P2", "10") +
                             column37("72", "Bob", "P3", "20") + column37("73", "Cy", "P4", "30");
    TestDir base;
    fs::create_directories(base / "WebOrders");
    std::ofstream(base.Path() + "/WebOrders/orders.txt", std::ios::binary) << file;

    DispatcherStub office;
    ASSERT_TRUE(office.Bound());
    int numbers = 0;
    std::mutex m;
    office.SetHandler([&](const DispatcherCall& call) {
        std::lock_guard<std::mutex> lock(m);
        const char* tag = call.Task() == 2   ? "client number"
                          : call.Task() == 3 ? "order number"
                          : call.Task() == 5 ? "receipt number"
                                             : "order line";
        return DispatcherAnswer{200, "<" + std::string(tag) + ">N" + std::to_string(++numbers) + "</" + tag + ">"};
    });
    ::setenv("TARVO_DISPATCHER_HOST", office.Host().c_str(), 1);
    // The requests of one whole replay, by task and the order's own values.
    auto kinds = [&](std::size_t from) {
        std::map<std::string, int> n;
        const auto calls = office.Calls();
        for (std::size_t i = from; i < calls.size(); ++i) {
            const std::string data = calls[i].Param("data");
            std::string key = calls[i].Param("task") + ":";
            for (const char* t : {"ship name", "clientpo", "amount", "product number"}) key += Extract(data, t) + ":";
            ++n[key];
        }
        return n;
    };

    TestDir whole;
    const ChildResult full = RunChild("webreplay", Copy(base, whole), 0);
    ASSERT_EQ(full.exitCode, 0) << full.out;
    long calls = -1;
    std::sscanf(full.out.c_str(), "CALLS %ld", &calls);
    ASSERT_GT(calls, 0) << full.out;
    const std::map<std::string, int> once = kinds(0);
    ASSERT_EQ(office.Calls().size(), 13u);
    ASSERT_EQ(once.size(), 13u);

    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed before file-system call " + std::to_string(k));
        TestDir w;
        const std::size_t before = office.Calls().size();
        const ChildResult r = RunChild("webreplay", Copy(base, w), k);
        EXPECT_EQ(r.exitCode, 77) << r.out;

        OpenRegisterOn(w.Path());
        gConstants.servers.gServerSlot = 1;
        gConstants.servers.gServerUrls[0] = DispatcherUrl(office.Host());
        gTerminalNumber = "1234567";
        std::vector<std::string> log;
        std::string why;
        {
            WebOrderReplay resume;
            ASSERT_TRUE(resume.Open(w.Path() + "/WebOrders/orders.txt", log));
            while (resume.Next() < resume.Orders())
                ASSERT_TRUE(resume.ReplayNext(WebOrders_BackOfficeSender(), "7", log, why)) << why;
            ASSERT_TRUE(resume.Finish(why)) << why;
        }
        const std::map<std::string, int> sent = kinds(before);
        int twice = 0;
        for (const auto& [kind, n] : once) {
            auto it = sent.find(kind);
            ASSERT_NE(it, sent.end()) << kind << " never sent";
            EXPECT_LE(it->second, 2) << kind;
            if (it->second == 2) ++twice;
        }
        EXPECT_EQ(sent.size(), once.size());
        EXPECT_LE(twice, 1) << "only the request in flight at the crash may go again";
        std::ifstream in(w.Path() + "/WebOrders/orders.txt", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), file);
        // Done: a further replay sends nothing.
        const std::size_t after = office.Calls().size();
        WebOrderReplay again;
        ASSERT_TRUE(again.Open(w.Path() + "/WebOrders/orders.txt", log));
        EXPECT_TRUE(again.Finished());
        EXPECT_EQ(again.Next(), again.Orders());
        EXPECT_EQ(office.Calls().size(), after);
    }
    ::unsetenv("TARVO_DISPATCHER_HOST");
    std::cout << "[ crash sweep ] web-order replay: " << calls << " crash points\n";
}

}  // namespace tarvo
