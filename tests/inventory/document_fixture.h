// The register set up for the inventory documents (orders, adjustments,
// purchases): a terminal folder of its own, a logged-in cashier, the business
// date of the test clock, a services double that records what the documents
// call in other subsystems, and readers of the saved working files.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "common/fields.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/transaction_files.h"
#include "data/work_file.h"
#include "inventory/purchases.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo::document_fixture {

using sale_builder::M;

inline std::string Pad(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}
inline std::string Blanks(std::size_t n) { return std::string(n, ' '); }

// Records the calls the documents make into the other subsystems.
class DocumentServices : public RegisterServices {
public:
    std::vector<std::string> calls;
    std::vector<SearchFormSetup> searchForms;
    int Count(const std::string& c) const { return static_cast<int>(std::count(calls.begin(), calls.end(), c)); }

    void SearchForm_Show(const SearchFormSetup& setup) override {
        calls.push_back("SearchForm_Show");
        searchForms.push_back(setup);
    }
    void EntryForm_Show() override { calls.push_back("EntryForm_Show(" + std::to_string(gSale.gSearchKind) + ")"); }
    void MessageWithEnterToEnd_Show() override { calls.push_back("MessageWithEnterToEnd_Show"); }
    int PromptInCIA_Show(int question) override {
        calls.push_back("PromptInCIA_Show(" + std::to_string(question) + ")");
        gReg.gPromptLine = static_cast<std::int16_t>(question);  // the question opened, as the prompt line has it
        return 0;
    }
};

// The products of the documents' lines in the product file, so a printout
// names them: 1001 "012345" Apple and 1002 "ABC" Book.
inline void TwoProducts(const TestDir& dir) {
    dir.Write("Files/1234567.PRD", CrLf({Fixed(273, {{1, "1001"}, {12, "012345"}, {40, "012345"}, {60, "Apple"}}),
                                         Fixed(273, {{1, "1002"}, {12, "ABC"}, {40, "ABC"}, {60, "Book"}})}));
    Parse_FileProduct();
}

class DocumentTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &svc;
        gSaleSave = SaleSaveState{};
        gPurchase = PurchaseState{};
        DocumentCommit_SetWriteHook(nullptr);
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261209";
        gData.CashierTable.push_back(CashierRow{"00000007", "77", "Ann", 1});
        gData.gCashierCount = 1;
        gReg.gCashierIndex = 1;
    }
    void TearDown() override {
        DocumentCommit_SetWriteHook(nullptr);
        for (WorkFile* f : {&gData.orders, &gData.orderLines, &gData.orderPayments, &gData.adjustments,
                            &gData.adjustmentLines, &gData.purchases, &gData.purchaseLines})
            f->Close();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    std::string FilePath(const std::string& ext) const { return gConstants.paths.gDataPath + ext; }
    std::string Bytes(const std::string& ext) const {
        std::ifstream in(FilePath(ext), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Every record's text, record 1 (the header) first.
    std::vector<std::string> Records(const std::string& ext, int length) const {
        WorkFile f;
        EXPECT_TRUE(f.Open(FilePath(ext), length)) << ext;
        std::vector<std::string> out;
        for (std::int64_t k = 1; k <= f.RecordCount(); ++k) out.push_back(f.Read(k));
        EXPECT_EQ(std::filesystem::file_size(FilePath(ext)) % static_cast<std::uintmax_t>(length), 0u) << ext;
        return out;
    }
    // The bytes of each file, to compare before and after a save.
    using Snapshot = std::map<std::string, std::string>;
    Snapshot Files(const std::vector<std::string>& exts) const {
        Snapshot s;
        for (const std::string& e : exts) s[e] = Bytes(e);
        return s;
    }
    void PutBack(const Snapshot& s) const {
        for (const auto& [ext, bytes] : s) {
            std::ofstream out(FilePath(ext), std::ios::binary | std::ios::trunc);
            out << bytes;
        }
    }

    // The writes of one save as the commit's hook sees them ("<file> <step>").
    std::vector<std::string> WriteSteps(const std::function<bool()>& save) {
        std::vector<std::string> steps;
        DocumentCommit_SetWriteHook([&](const std::string& f, const std::string& s) {
            steps.push_back(f + " " + s);
            return true;
        });
        EXPECT_TRUE(save());
        DocumentCommit_SetWriteHook(nullptr);
        return steps;
    }
    // Makes write number `failAt` (from 0) of the next save fail.
    void FailWrite(std::size_t failAt) {
        auto call = std::make_shared<std::size_t>(0);
        DocumentCommit_SetWriteHook([call, failAt](const std::string&, const std::string&) {
            return (*call)++ != failAt;
        });
    }

    std::string MessageLine() const { return screen.Text(kMessageLine); }

    // What the register counts in one file of a document: records 2 to the
    // header's count, as the file's opener finds them at the next start.
    struct CountedFile {
        WorkFile DataState::*file;
        std::int32_t DataState::*counter;
    };
    using Counted = std::vector<std::vector<std::string>>;
    static Counted CountedRecords(void (*open)(), const std::vector<CountedFile>& files) {
        open();
        Counted out;
        for (const CountedFile& f : files) {
            std::vector<std::string> records;
            for (std::int64_t k = 2; k <= gData.*f.counter; ++k) records.push_back((gData.*f.file).Read(k));
            out.push_back(std::move(records));
        }
        for (const CountedFile& f : files) (gData.*f.file).Close();
        return out;
    }
    // Runs `save` in a child process that dies, as in a crash, just before
    // write `k` (from 0) of the commit; true when it died there.
    static bool SaveKilledBeforeWrite(std::size_t k, const std::function<bool()>& save) {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::size_t n = 0;
            DocumentCommit_SetWriteHook([&n, k](const std::string&, const std::string&) {
                if (n++ == k) ::_exit(77);
                return true;
            });
            save();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 77;
    }

    // A save made to fail at each of its `writes` commit writes in turn:
    // false, the message `message`, every file byte for byte as before and
    // `unsaved` holds (the sale and counters as they were); once the fault is
    // gone the same document is saved whole and `saved` holds.
    void ExpectEveryFailedWritePutsTheFilesBack(const std::vector<std::string>& exts, std::size_t writes,
                                                const std::function<bool()>& save, const std::function<void()>& next,
                                                const std::string& message, const std::function<void()>& unsaved,
                                                const std::function<void()>& saved) {
        const Snapshot before = Files(exts);
        const std::vector<std::string> steps = WriteSteps(save);
        const Snapshot whole = Files(exts);
        ASSERT_NE(whole, before);
        ASSERT_EQ(steps.size(), writes);
        for (std::size_t failAt = 0; failAt < steps.size(); ++failAt) {
            SCOPED_TRACE(steps[failAt]);
            PutBack(before);
            next();
            FailWrite(failAt);
            EXPECT_FALSE(save());
            DocumentCommit_SetWriteHook(nullptr);
            EXPECT_EQ(Files(exts), before);
            EXPECT_EQ(MessageLine(), message);
            unsaved();
            EXPECT_TRUE(save());
            EXPECT_EQ(Files(exts), whole);
            saved();
        }
    }

    // A save killed before each of its commit's writes in turn: the
    // document is wholly there or not at all, and the next one (`next` fills
    // the sale again) takes the next number, `added[i]` records of it in file
    // i after those counted.
    void ExpectKilledSavesWhollyThereOrNot(const std::vector<std::string>& exts, void (*open)(),
                                           const std::vector<CountedFile>& files, const std::function<bool()>& save,
                                           const std::function<void()>& next, const std::vector<std::size_t>& added) {
        const Snapshot base = Files(exts);
        const Counted before = CountedRecords(open, files);
        const std::size_t writes = WriteSteps(save).size();
        const Counted after = CountedRecords(open, files);
        ASSERT_NE(after, before);
        for (std::size_t k = 0; k < writes; ++k) {
            SCOPED_TRACE("killed before write " + std::to_string(k));
            PutBack(base);
            next();
            ASSERT_TRUE(SaveKilledBeforeWrite(k, save));
            const Counted state = CountedRecords(open, files);
            EXPECT_TRUE(state == before || state == after) << "the document is partly there";
            next();
            ASSERT_TRUE(save()) << MessageLine();
            const Counted nextState = CountedRecords(open, files);
            const std::string number = PadZero(std::to_string(state[0].size() + 2), 7);
            for (std::size_t i = 0; i < files.size(); ++i) {
                ASSERT_EQ(nextState[i].size(), state[i].size() + added[i]) << exts[i];
                EXPECT_TRUE(std::equal(state[i].begin(), state[i].end(), nextState[i].begin())) << exts[i];
                for (std::size_t r = state[i].size(); r < nextState[i].size(); ++r)
                    EXPECT_EQ(nextState[i][r].substr(0, 7), number) << exts[i];
            }
        }
    }

    TestDir dir;
    DocumentServices svc;
};

}  // namespace tarvo::document_fixture
