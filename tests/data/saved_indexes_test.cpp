// Working files and indexes kept from one start to the next: used again
// while their text files are unchanged (the files are not written again and
// searches give the same answers), built again when a text file changed, when
// a saved index is damaged, cut, of another layout or of another terminal
// (each with its log line), and when a change of the data says so.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data/indexes.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/product_updates.h"
#include "index_fixture.h"
#include "platform/file_identity.h"
#include "store_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// What a file on disk is: its bytes and when and where it was written.
struct OnDisk {
    std::string bytes;
    std::int64_t modifiedNs = -1;
    std::uint64_t inode = 0;
    bool operator==(const OnDisk&) const = default;
};

OnDisk Look(const std::string& path) {
    OnDisk d;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return d;
    d.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    d.inode = st.st_ino;
    std::ifstream f(path, std::ios::binary);
    d.bytes.assign(std::istreambuf_iterator<char>(f), {});
    return d;
}

std::string Alias(std::string_view text, std::string_view key) {
    std::string a(text);
    a.resize(18, ' ');
    std::string k(key);
    k.resize(20, ' ');
    return a + k;
}

class SavedIndexTest : public StoreTest {
public:
    using StoreTest::FilesPath;
    using StoreTest::Received;

protected:
    void SetUp() override {
        StoreTest::SetUp();
        Received(".PRD",
                 {ProductRecord("1001", "B1", "FRESH COFFEE BEANS"), ProductRecord("1002", "B2", "DECAF COFFEE"),
                  ProductRecord("1003", "B3", "WHOLE MILK"), ProductRecord("1004", "B4", "SPICY TOMATO SOUP")});
        Received(".CLI", {ClientRecord("00000001", "MARTIN TREMBLAY", "(514) 555-1234"),
                          ClientRecord("00000002", "ANNA GAGNON", "514 555 9999")});
        Received(".PAX", {Alias("ZEBRA", "1004"), Alias("APPLE", "1001")});
        Received(".VND", {Fixed(398, {{1, "V100"}, {9, "COFFEE SUPPLY"}})});
        Received(".KTM", {Fixed(36, {{1, "1001"}, {21, "K1"}, {31, "1"}})});
        Received(".KTD", {Fixed(55, {{1, "K1"}, {11, "1002"}, {31, "1"}, {41, "1.00"}})});
    }

    // Each case of a table on an empty Data folder and fresh text files.
    void NextCase() {
        TearDown();
        fs::remove_all(dir / "Data");
        SetUp();
    }

    // The data layer's part of a start: masters, working files, indexes.
    void Start() {
        Data_CloseAll(gData);
        Data_Reset(gData);
        gSettings.gProductKeyMode = ProductKey::Number;
        Parse_FileProduct();
        Parse_FileClient();
        Parse_Filevendor();
        Parse_FileKit();
        Index_Pax();
        Index_Product();
        Index_Client();
        Data_CloseAll(gData);  // the stamps written, as when the program ends
        ReopenAfterClose();
    }
    // The files are closed to let the stamps be written; a start leaves them open.
    void ReopenAfterClose() {
        gData.products.Open(DataPath(".PRD"), 275);
        gData.clients.Open(DataPath(".CLI"), 212);
        gData.auxIndex.Open(DataPath(".AUX"), 40, false, 128);
        gData.cuxIndex.Open(DataPath(".CUX"), 30, false, 128);
        gData.paxIndex.Open(DataPath(".PAX"), 40, false, 128);
    }

    // Every answer of the three searches and two finders the cashier uses.
    std::map<std::string, std::vector<std::string>> Answers() {
        std::map<std::string, std::vector<std::string>> out;
        auto search = [&](const char* kind, void (*find)(), const WorkFile& f, const std::string& text) {
            gData.gSearchText = text;
            find();
            std::vector<std::string>& rows = out[std::string(kind) + ":" + text];
            for (std::int32_t k = gData.gSearchFirst; k >= 1 && k <= gData.gSearchLast; ++k) rows.push_back(f.Read(k));
        };
        for (const char* t : {"coffee", "sp", "milk", "beans", "x"})
            search("aux", AuxProduct_Search, gData.auxIndex, t);
        for (const char* t : {"martin", "514555", "anna"}) search("cux", AuxClient_Search, gData.cuxIndex, t);
        for (const char* t : {"APPLE", "Z"}) search("pax", AuxPax_Search, gData.paxIndex, t);
        for (const char* key : {"1001", "1004", "1005"}) {
            const std::optional<ProductMatch> p = Product_Find(key);
            out[std::string("product:") + key] = {p && p->recNo ? std::string(p->record) : "not found"};
        }
        const std::optional<ClientMatch> c = Client_Find("00000002");
        out["client"] = {c && c->recNo ? std::string(c->record) : "not found"};
        return out;
    }

    std::map<std::string, OnDisk> Kept() {
        std::map<std::string, OnDisk> out;
        for (const char* ext : {".AUX", ".CUX", ".PAX", ".PRD", ".CLI", ".VND", ".KTM", ".KTD"})
            out[ext] = Look(DataPath(ext));
        return out;
    }

    // The log lines that name a saved index or a load.
    std::vector<std::string> RebuildLines() {
        std::vector<std::string> out;
        for (const std::string& l : LogLines())
            if (l.find("rebuilt") != std::string::npos) out.push_back(l);
        return out;
    }
};

TEST_F(SavedIndexTest, UnchangedMastersAreUsedAgainWithoutWritingAnything) {
    Start();
    const auto answers = Answers();
    ASSERT_EQ(answers.at("aux:coffee").size(), 2u);
    ASSERT_EQ(answers.at("cux:514555").size(), 2u);
    ASSERT_EQ(answers.at("pax:APPLE").size(), 1u);
    const auto kept = Kept();
    for (const auto& [ext, d] : kept) EXPECT_FALSE(d.bytes.empty()) << ext;
    // The text files say nothing new: a start writes none of the kept files
    // (same bytes, same modification time, same inode: not replaced).
    ClearLog();
    Start();
    EXPECT_EQ(Kept(), kept);
    EXPECT_EQ(Answers(), answers);
    EXPECT_EQ(gData.gProductCount, 4);
    EXPECT_EQ(gData.gClientCount, 2);
    EXPECT_TRUE(LogLines().empty()) << LogLines().front();
}

TEST_F(SavedIndexTest, AChangedMasterRebuildsWhatWasBuiltFromItAndNothingElse) {
    struct Case {
        const char* name;
        void (*change)(SavedIndexTest&);
        std::vector<std::string> rebuilt;  // kept files written again
    } cases[] = {
        {"a new product file",
         [](SavedIndexTest& t) {
             t.Received(".PRD",
                        {ProductRecord("1001", "B1", "FRESH COFFEE BEANS"), ProductRecord("1002", "B2", "DECAF TEA"),
                         ProductRecord("1005", "B5", "COFFEE FILTERS")});
         },
         {".PRD", ".AUX"}},
        {"a product file changed in place, same size, its time set back",
         [](SavedIndexTest& t) {
             const std::string path = t.FilesPath(".PRD");
             struct stat before;
             ::stat(path.c_str(), &before);
             std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(273 + 2 + 59);  // the second product's description
             f.write("DECAF", 5);
             f.seekp(273 + 2 + 59);
             f.write("ZESTY", 5);
             f.close();
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, path.c_str(), times, 0);
         },
         {".PRD", ".AUX"}},
        {"a new client file",
         [](SavedIndexTest& t) { t.Received(".CLI", {ClientRecord("00000002", "ANNA GAGNON", "514 555 9999")}); },
         {".CLI", ".CUX"}},
        {"a new alias file", [](SavedIndexTest& t) { t.Received(".PAX", {Alias("APPLE", "1001")}); }, {".PAX"}},
        {"the product key column", [](SavedIndexTest&) {}, {".AUX"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NextCase();
        Start();
        const auto kept = Kept();
        c.change(*this);
        // A fresh folder built from the changed masters gives the answers to expect.
        TestDir fresh;
        fs::copy(dir / "Files", fresh / "Files", fs::copy_options::recursive);
        fs::create_directories(fresh / "Data");
        const bool keyColumn = std::string(c.name) == "the product key column";
        ClearLog();
        Data_CloseAll(gData);
        Data_Reset(gData);
        gSettings.gProductKeyMode = keyColumn ? ProductKey::BarCode : ProductKey::Number;
        Parse_FileProduct();
        Parse_FileClient();
        Parse_Filevendor();
        Parse_FileKit();
        Index_Pax();
        Index_Product();
        Index_Client();
        const auto changed = Kept();
        const auto answers = Answers();
        for (const auto& [ext, d] : kept) {
            const bool expected = std::find(c.rebuilt.begin(), c.rebuilt.end(), ext) != c.rebuilt.end();
            EXPECT_EQ(changed.at(ext) != d, expected) << ext;
        }
        EXPECT_TRUE(LogLines().empty()) << LogLines().front();  // a new master is no fault

        Data_CloseAll(gData);
        SetTerminalPaths(gConstants.paths, fresh.Path(), kTerminal);
        Data_Reset(gData);
        gSettings.gProductKeyMode = keyColumn ? ProductKey::BarCode : ProductKey::Number;
        Parse_FileProduct();
        Parse_FileClient();
        Index_Pax();
        Index_Product();
        Index_Client();
        EXPECT_EQ(Answers(), answers);
        Data_CloseAll(gData);
        SetTerminalPaths(gConstants.paths, dir.Path(), kTerminal);
    }
}

TEST_F(SavedIndexTest, ADamagedCutOrOldIndexIsRebuiltWithALogLine) {
    struct Case {
        const char* name;
        void (*damage)(const std::string& path);
        const char* line;
    } cases[] = {
        {"a record's byte changed",
         [](const std::string& p) {
             std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(128 + 40 + 5);
             f.put('q');
         },
         "Index_Product: the saved index 1234567.AUX has damaged records (their checksum differs), rebuilt"},
        {"cut short", [](const std::string& p) { fs::resize_file(p, fs::file_size(p) - 40); },
         "Index_Product: the saved index 1234567.AUX is cut (360 bytes of records for 10 entries), rebuilt"},
        {"its header damaged",
         [](const std::string& p) {
             std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(80);
             f.put('\x09');  // the entry count
         },
         "Index_Product: the saved index 1234567.AUX has a damaged header, rebuilt"},
        {"a layout of another version",
         [](const std::string& p) {
             std::string bytes = Look(p).bytes;
             bytes[8] = '\x02';
             const std::uint64_t sum = Checksum64(std::string_view(bytes.data(), 96));
             std::memcpy(&bytes[96], &sum, 8);
             std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
         },
         "Index_Product: the saved index 1234567.AUX is an index of another layout (version 2, records of 40), "
         "rebuilt"},
        {"the records alone, as an older register left them",
         [](const std::string& p) {
             const std::string bytes = Look(p).bytes.substr(128);
             std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
         },
         "Index_Product: the saved index 1234567.AUX is not a saved index, rebuilt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NextCase();
        Start();
        const auto answers = Answers();
        const OnDisk good = Look(DataPath(".AUX"));
        Data_CloseAll(gData);
        c.damage(DataPath(".AUX"));
        ClearLog();
        Start();
        EXPECT_EQ(RebuildLines(), std::vector<std::string>{c.line}) << ::testing::PrintToString(LogLines());
        EXPECT_EQ(Look(DataPath(".AUX")).bytes, good.bytes);  // built again, as it was
        EXPECT_EQ(Answers(), answers);
        Data_CloseAll(gData);
    }
}

TEST_F(SavedIndexTest, AnIndexOfAnotherTerminalIsNeverUsed) {
    // Terminal 7654321 on the same store, its indexes copied under this
    // terminal's names (its working files too, so only the header tells).
    Start();
    const auto answers = Answers();
    Data_CloseAll(gData);
    TestDir other;
    fs::create_directories(other / "Files");
    for (const char* ext : {".PRD", ".CLI", ".PAX"})
        fs::copy_file(FilesPath(ext), other / ("Files/7654321" + std::string(ext)),
                      fs::copy_options::overwrite_existing);
    fs::create_directories(other / "Data");
    SetTerminalPaths(gConstants.paths, other.Path(), "7654321");
    Start();
    Data_CloseAll(gData);
    SetTerminalPaths(gConstants.paths, dir.Path(), kTerminal);
    for (const char* ext : {".AUX", ".CUX", ".PAX"})
        fs::copy_file(other / ("Data/7654321" + std::string(ext)), DataPath(ext), fs::copy_options::overwrite_existing);

    ClearLog();
    Start();
    EXPECT_EQ(RebuildLines(), (std::vector<std::string>{
                                  "Index_Pax: the saved index 1234567.PAX belongs to terminal 7654321, rebuilt",
                                  "Index_Product: the saved index 1234567.AUX belongs to terminal 7654321, rebuilt",
                                  "Index_Client: the saved index 1234567.CUX belongs to terminal 7654321, rebuilt",
                              }));
    EXPECT_EQ(Look(DataPath(".AUX")).bytes.substr(16, 7), "1234567");
    EXPECT_EQ(Answers(), answers);
}

TEST_F(SavedIndexTest, AWorkingFileChangedSinceItsLoadIsLoadedAgain) {
    Start();
    const auto answers = Answers();
    Data_CloseAll(gData);
    // A record of the working file written behind the register's back.
    {
        std::fstream f(DataPath(".PRD"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(275 + 2 + 59);
        f.write("BROKEN", 6);
    }
    const OnDisk aux = Look(DataPath(".AUX"));
    Start();
    EXPECT_EQ(Answers(), answers);
    EXPECT_EQ(Look(DataPath(".PRD")).bytes.find("BROKEN"), std::string::npos);
    EXPECT_EQ(Look(DataPath(".AUX")), aux);  // the word index was built from the text file as it stands

    // A stamp that does not read as one: the working file is loaded again.
    Data_CloseAll(gData);
    const OnDisk clients = Look(DataPath(".CLI"));
    std::string stamp = Look(DataPath(".CLI.stamp")).bytes;
    ASSERT_EQ(stamp.size(), 128u);
    stamp[70] ^= 1;  // the count of records
    std::ofstream(DataPath(".CLI.stamp"), std::ios::binary | std::ios::trunc).write(stamp.data(), 128);
    Start();
    EXPECT_NE(Look(DataPath(".CLI")), clients);
    EXPECT_EQ(Look(DataPath(".CLI")).bytes, clients.bytes);
    EXPECT_EQ(Answers(), answers);
}

TEST_F(SavedIndexTest, ProductUpdatesAndChangesOfTheDataInvalidateExactlyWhatTheyTouch) {
    Start();
    Data_CloseAll(gData);
    ReopenAfterClose();
    const auto kept = Kept();

    // A price changed in the product working file: the working file is loaded
    // again at the next start, its word index is kept.
    Masters_Changed(kProductRecordsChanged);
    Start();
    auto now = Kept();
    EXPECT_NE(now.at(".PRD"), kept.at(".PRD"));
    EXPECT_EQ(now.at(".AUX"), kept.at(".AUX"));
    EXPECT_EQ(now.at(".CLI"), kept.at(".CLI"));

    // Client names changed: the client index only.
    Masters_Changed(kClientWordsChanged);
    const auto before = Kept();
    Start();
    now = Kept();
    EXPECT_NE(now.at(".CUX"), before.at(".CUX"));
    EXPECT_EQ(now.at(".CLI"), before.at(".CLI"));
    EXPECT_EQ(now.at(".AUX"), before.at(".AUX"));

    // Product updates, one description changed and no product added: the
    // update run rebuilds the word index only for added products, so the
    // saved index must not outlive the run; the next start finds the new word.
    Received(".PRU", {ProductRecord("1003", "B3", "SKIM MILK")});
    Data_CloseAll(gData);
    Data_Reset(gData);
    gSettings.gProductKeyMode = ProductKey::Number;
    Parse_FileProduct();
    Process_ProductUpdate();
    Data_CloseAll(gData);
    Start();
    gData.gSearchText = "skim";
    AuxProduct_Search();
    ASSERT_GT(gData.gSearchFirst, 0);
    EXPECT_EQ(gData.auxIndex.Read(gData.gSearchFirst).substr(0, 20), "skim            1003");
}

}  // namespace
}  // namespace tarvo
