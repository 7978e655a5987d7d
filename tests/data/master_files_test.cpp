#include "data/master_files.h"
#include "file_size_limit.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include "common/fields.h"
#include "config/settings.h"
#include "data/lookups.h"
#include "store_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The product file's record of a key, 0 when it is not there.
std::int32_t ProductRecNo(const std::string& key) {
    const std::optional<ProductMatch> found = Product_Find(key);
    return found ? found->recNo : 0;
}

std::string DataLine(const std::string& text) {
    return "Data          >" + text + "< Length =  " + std::to_string(text.size());
}

// A product line: id in 1-8, key in 12-31, description in 60-89, cut or
// extended (with '#') to `length`.
std::string ProductLine(std::string_view key, std::size_t length = 273, std::string_view barCode = "") {
    std::string l =
        Fixed(273, {{1, key.substr(0, 8)}, {12, key}, {40, barCode}, {60, "Product"}, {100, "1.00"}, {273, "Z"}});
    l.resize(length, '#');
    return l;
}

std::string ClientLine(std::string_view id, std::string_view number, std::size_t length = 210) {
    std::string l = Fixed(210, {{1, id}, {12, number}, {20, "Client name"}, {210, "P"}});
    l.resize(length, '#');
    return l;
}

std::string VendorLine(std::string_view code, std::size_t length = 398) {
    std::string l = Fixed(398, {{1, code}, {9, "Vendor name"}, {398, "V"}});
    l.resize(length, '#');
    return l;
}

class MasterFilesTest : public StoreTest {};

// ---- in-memory tables ----------------------------------------------------------------

struct TableCase {
    const char* name;
    const char* ext;
    std::size_t minLength;
    std::int32_t limit;
    void (*load)();
    std::int32_t DataState::*count;
    const char* shortText;
    const char* missingText;
    const char* limitText;
};

const TableCase kTables[] = {
    {"managers", ".MAN", 57, 150, Open_FileManager, &DataState::gManagerCount,
     "Open_FileManager: Parsing Managers into Memory, Length of line is less than 57 characters, thus ignored",
     "Read_FileManager: HandlerManager, Manager file is not present",
     "Open_FileManager: 150 managers loaded, further lines ignored"},
    {"cashiers", ".CSH", 50, 2000, Open_FileCashier, &DataState::gCashierCount,
     "Open_FileCashier: Parsing Cashiers into Memory, Length of line less than 50 characters, thus ignored",
     "Read_FileCashier: HandlerCashier, Cashier file is not present",
     "Open_FileCashier: 2000 cashiers loaded, further lines ignored"},
    {"salesmen", ".SAL", 49, 2000, Open_FileSalesman, &DataState::gSalesmanCount,
     "Open_FileSalesman: Parsing salesmen into Memory, Length of line is less than 49 characters, thus ignored",
     "Read_FileSalesman: HandlerSalesman, Salesman file is not present",
     "Open_FileSalesman: 2000 salesmen loaded, further lines ignored"},
    {"categories", ".CTG", 8, 500, Read_FileCategory, &DataState::gCategoryCount,
     "Read_FileCategory: Parsing Categories into Memory, Length of line is less than 8 characters, thus ignored",
     "Read_FileCategory: HandlerCategory, Category file is not present",
     "Read_FileCategory: 500 categories loaded, further lines ignored"},
};

// A valid line of the table's minimum length (column 50 of a cashier line is
// its level digit).
std::string TableLine(const TableCase& t, int n) {
    std::string l = Fixed(t.minLength, {{1, std::to_string(n)}});
    if (std::string_view(t.ext) == ".CSH") l[49] = '1';
    return l;
}

TEST_F(MasterFilesTest, TableLoadersSkipShortLinesAndLogThem) {
    for (const TableCase& t : kTables) {
        SCOPED_TRACE(t.name);
        ClearLog();
        std::string shortLine = TableLine(t, 2).substr(0, t.minLength - 1);
        Received(t.ext, {TableLine(t, 1), shortLine, TableLine(t, 3)});
        t.load();
        EXPECT_EQ(gData.*t.count, 2);
        EXPECT_EQ(LogLines(), (std::vector<std::string>{t.shortText, DataLine(shortLine)}));
    }
    // Numbers of the accepted lines, in order: the record numbers stay consecutive.
    EXPECT_EQ(gData.ManagerTable[2].ManagerNumber, "3");
    EXPECT_EQ(gData.CashierTable[2].CashierNumber, "3");
    EXPECT_EQ(gData.SalesmanTable[2].SalesmanNumber, "3");
    EXPECT_EQ(gData.CategoryTable[2].CategoryCode, "3");
}

TEST_F(MasterFilesTest, MissingTableFileLogsAndLeavesTheTableEmpty) {
    for (const TableCase& t : kTables) {
        SCOPED_TRACE(t.name);
        Received(t.ext, {TableLine(t, 1)});
        t.load();
        ASSERT_EQ(gData.*t.count, 1);
        fs::remove(FilesPath(t.ext));
        ClearLog();
        t.load();
        EXPECT_EQ(gData.*t.count, 0);
        EXPECT_EQ(LogLines(), std::vector<std::string>{t.missingText});
    }
    EXPECT_EQ(gData.ManagerTable.size(), 1u);
    EXPECT_TRUE(gData.gNoCashiers);
}

TEST_F(MasterFilesTest, TableLimitsStopTheLoadWithOneLogLine) {
    for (const TableCase& t : kTables) {
        SCOPED_TRACE(t.name);
        // Exactly the limit: everything loaded, nothing to say.
        std::vector<std::string> lines;
        for (int i = 1; i <= t.limit; ++i) lines.push_back(TableLine(t, i));
        Received(t.ext, lines);
        ClearLog();
        t.load();
        EXPECT_EQ(gData.*t.count, t.limit);
        EXPECT_TRUE(LogLines().empty());

        // Further lines (200 managers, 2,500 cashiers...) are not read.
        for (int i = t.limit + 1; i <= t.limit + t.limit / 3 + 50; ++i) lines.push_back(TableLine(t, i));
        Received(t.ext, lines);
        ClearLog();
        t.load();
        EXPECT_EQ(gData.*t.count, t.limit);
        EXPECT_EQ(LogLines(), std::vector<std::string>{t.limitText});
    }
    EXPECT_EQ(gData.ManagerTable.size(), 151u);
    EXPECT_EQ(gData.ManagerTable[150].ManagerNumber, "150");
    EXPECT_EQ(gData.CashierTable.size(), 2001u);
}

TEST_F(MasterFilesTest, StaffAndCategoryFieldsComeFromTheirColumns) {
    Received(".MAN", {Fixed(60, {{1, " 12 "}, {10, " 9999"}, {22, "  Jane Boss  "}, {52, "1 0 1 1 0"}}),
                      Fixed(57, {{1, "7"}, {52, "111111"}})});
    Open_FileManager();
    ASSERT_EQ(gData.gManagerCount, 2);
    const ManagerRow& m = gData.ManagerTable[1];
    EXPECT_EQ(m.ManagerNumber, "12");
    EXPECT_EQ(m.ManagerKey, "9999");
    EXPECT_EQ(m.ManagerName, "Jane Boss");
    EXPECT_EQ(m.ManagerRights, "1 0 1 1 0");                   // as it stands, blanks kept
    EXPECT_EQ(gData.ManagerTable[2].ManagerRights, "111111");  // a 57-character line holds six flags

    Received(".CSH", {Fixed(50, {{1, "3"}, {10, "1111"}, {20, "Pat Till"}, {50, "2"}}),
                      Fixed(60, {{1, "4"}, {10, "abc"}, {20, std::string(30, 'n')}, {50, "7"}, {51, "tail"}})});
    Open_FileCashier();
    ASSERT_EQ(gData.gCashierCount, 2);
    EXPECT_EQ(gData.CashierTable[1].CashierNumber, "3");
    EXPECT_EQ(gData.CashierTable[1].CashierKey, "1111");
    EXPECT_EQ(gData.CashierTable[1].CashierName, "Pat Till");
    EXPECT_EQ(gData.CashierTable[1].CashierLevel, 2);
    EXPECT_EQ(gData.CashierTable[2].CashierName, std::string(30, 'n'));
    EXPECT_EQ(gData.CashierTable[2].CashierLevel, 7);
    EXPECT_FALSE(gData.gNoCashiers);

    Received(".SAL", {Fixed(49, {{1, "5"}, {10, "S5"}, {20, "Sam Seller"}})});
    Open_FileSalesman();
    ASSERT_EQ(gData.gSalesmanCount, 1);
    EXPECT_EQ(gData.SalesmanTable[1].SalesmanNumber, "5");
    EXPECT_EQ(gData.SalesmanTable[1].SalesmanKey, "S5");
    EXPECT_EQ(gData.SalesmanTable[1].SalesmanName, "Sam Seller");

    // Category name: leading blanks kept, trailing ones removed; bytes of
    // windows-1252 pass unchanged.
    Received(".CTG", {Fixed(37, {{1, " 1080  "}, {8, " Caf\xE9 items"}}), "1090   "});
    Read_FileCategory();
    ASSERT_EQ(gData.gCategoryCount, 1);  // the second line is 7 characters
    EXPECT_EQ(gData.CategoryTable[1].CategoryCode, "1080");
    EXPECT_EQ(gData.CategoryTable[1].CategoryName, " Caf\xE9 items");
}

TEST_F(MasterFilesTest, CashierWhoseLevelIsNoDigitIsLoggedAndSkipped) {
    std::string bad = Fixed(50, {{1, "2"}, {10, "2222"}, {50, "X"}});
    Received(".CSH", {bad, Fixed(50, {{1, "3"}, {10, "3333"}, {50, "1"}})});
    Open_FileCashier();
    ASSERT_EQ(gData.gCashierCount, 1);
    EXPECT_EQ(gData.CashierTable[1].CashierNumber, "3");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Open_FileCashier: Parsing Cashiers into Memory, Level in column 50 is not a digit, "
                              "thus ignored",
                              DataLine(bad)}));

    // Only refused lines: no cashier at all.
    Received(".CSH", {bad});
    Open_FileCashier();
    EXPECT_EQ(gData.gCashierCount, 0);
    EXPECT_TRUE(gData.gNoCashiers);
}

TEST_F(MasterFilesTest, ReceivedFileNamesAreMatchedWithoutCase) {
    dir.Write("Files/1234567.man", CrLf({Fixed(60, {{1, "1"}, {10, "9999"}})}));
    Open_FileManager();
    EXPECT_EQ(gData.gManagerCount, 1);
}

TEST_F(MasterFilesTest, AReloadReplacesTheTable) {
    Received(".SAL", {Fixed(49, {{1, "1"}}), Fixed(49, {{1, "2"}}), Fixed(49, {{1, "3"}})});
    Open_FileSalesman();
    Received(".SAL", {Fixed(49, {{1, "9"}})});
    Open_FileSalesman();
    EXPECT_EQ(gData.gSalesmanCount, 1);
    EXPECT_EQ(gData.SalesmanTable.size(), 2u);
    EXPECT_EQ(gData.SalesmanTable[1].SalesmanNumber, "9");
}

// ---- products -----------------------------------------------------------------------------

TEST_F(MasterFilesTest, ProductLinesAreStoredAsTheirFirst273Characters) {
    std::string exact = ProductLine("A1", 273);
    std::string longer = ProductLine("A2", 300);
    std::string shorter = ProductLine("A3", 272);
    std::string next = ProductLine("A4", 273);
    Received(".PRD", {exact, longer, shorter, next});
    Parse_FileProduct();
    EXPECT_EQ(gData.gProductCount, 3);
    EXPECT_TRUE(gData.products.IsOpen());
    // Byte level: record length 275, length 273 little-endian, the text.
    EXPECT_EQ(DataBytes(".PRD"), Framed(exact, 275) + Framed(longer.substr(0, 273), 275) + Framed(next, 275));
    EXPECT_EQ(DataBytes(".PRD").substr(0, 2), std::string("\x11\x01", 2));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Parse_FileProduct: Parsing Products, Length of line is less than 273 characters, "
                              "thus ignored",
                              DataLine(shorter)}));
}

TEST_F(MasterFilesTest, ProductReloadCutsTheOlderWorkingFile) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) lines.push_back(ProductLine("P" + std::to_string(100000 + i)));
    Received(".PRD", lines);
    Parse_FileProduct();
    ASSERT_EQ(gData.gProductCount, 1000);
    ASSERT_EQ(fs::file_size(DataPath(".PRD")), 1000u * 275);

    lines.resize(10);
    Received(".PRD", lines);
    Parse_FileProduct();
    EXPECT_EQ(gData.gProductCount, 10);
    EXPECT_EQ(fs::file_size(DataPath(".PRD")), 10u * 275);
    EXPECT_EQ(gData.products.RecordCount(), 10);
}

TEST_F(MasterFilesTest, MissingProductFileKeepsTheWorkingFileWithACountOf0) {
    Received(".PRD", {ProductLine("A1"), ProductLine("A2")});
    Parse_FileProduct();
    fs::remove(FilesPath(".PRD"));
    ClearLog();
    Parse_FileProduct();
    EXPECT_EQ(gData.gProductCount, 0);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"Parse_FileProduct: HandlerProduct, Product file is not present"});
    // Open under its number, earlier contents kept but not searched.
    EXPECT_TRUE(gData.products.IsOpen());
    EXPECT_EQ(gData.products.RecordCount(), 2);
    EXPECT_EQ(ProductRecNo("A1"), 0);
}

TEST_F(MasterFilesTest, ProductsOutOfKeyOrderAreLoggedOnceAndLoaded) {
    gSettings.gProductKeyMode = ProductKey::Number;
    Received(".PRD",
             {ProductLine("100"), ProductLine("200"), ProductLine("150"), ProductLine("120"), ProductLine("300")});
    Parse_FileProduct();
    EXPECT_EQ(gData.gProductCount, 5);
    EXPECT_EQ(LogLines(), std::vector<std::string>{
                              "Parse_FileProduct: 1234567.PRD out of key order from record 3 (key 150), look-ups "
                              "may miss records"});

    // Equal keys are in order; in bar-code mode the bar code column decides.
    gSettings.gProductKeyMode = ProductKeyMode_Read("9");
    Received(".PRD",
             {ProductLine("300", 273, "0001"), ProductLine("200", 273, "0001"), ProductLine("100", 273, "0002")});
    ClearLog();
    Parse_FileProduct();
    EXPECT_EQ(gData.gProductCount, 3);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(MasterFilesTest, ProductWriteFailureKeepsTheRecordsWrittenAndAsksForADownload) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10000; ++i) lines.push_back(ProductLine("P" + std::to_string(100000 + i)));
    Received(".PRD", lines);
    std::vector<std::string> boxes;
    gData.messageBox = [&](const std::string& t) { boxes.push_back(t); };
    {
        FileSizeLimit limit(2 * 1024 * 1024);  // room for the first block of records only
        Parse_FileProduct();
    }
    const std::string box =
        "Error detected while parsing product file. Complete download of product information is required.";
    EXPECT_EQ(boxes, std::vector<std::string>{box});
    EXPECT_FALSE(fs::exists(FilesPath(".PRD")));
    ASSERT_GT(gData.gProductCount, 0);
    ASSERT_LT(gData.gProductCount, 10000);
    // The working file holds exactly the records counted, and they are usable.
    EXPECT_EQ(fs::file_size(DataPath(".PRD")), static_cast<std::uintmax_t>(gData.gProductCount) * 275);
    EXPECT_TRUE(gData.products.IsOpen());
    EXPECT_EQ(ProductRecNo("P" + std::to_string(100000 + gData.gProductCount - 1)), gData.gProductCount);

    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Parse_FileProduct: load stopped after " + std::to_string(gData.gProductCount) +
                          " records, cannot write 1234567.PRD: File too large");
    EXPECT_EQ(log[1], box);
    EXPECT_EQ(log[2], "Parse_FileProduct: HandlerProduct, Product file is not present");
}

TEST_F(MasterFilesTest, ProductReadFailureIsHandledLikeAWriteFailure) {
    // A folder in place of the product file opens but cannot be read.
    fs::create_directories(FilesPath(".PRD"));
    int boxes = 0;
    gData.messageBox = [&](const std::string&) { ++boxes; };
    Parse_FileProduct();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(gData.gProductCount, 0);
    EXPECT_FALSE(fs::exists(FilesPath(".PRD")));
    EXPECT_TRUE(gData.products.IsOpen());
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Parse_FileProduct: load stopped after 0 records, cannot read 1234567.PRD: Is a directory");
}

// ---- clients and vendors -----------------------------------------------------------------------

TEST_F(MasterFilesTest, ClientLinesKeepAtMost210Characters) {
    std::string l200 = ClientLine("1", "1", 200);
    std::string l250 = ClientLine("2", "2", 250);
    std::string l199 = ClientLine("3", "3", 199);
    Received(".CLI", {l200, l250, l199});
    Parse_FileClient();
    EXPECT_EQ(gData.gClientCount, 2);
    EXPECT_EQ(DataBytes(".CLI"), Framed(l200, 212) + Framed(l250.substr(0, 210), 212));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Parse_FileClient: Parsing Clients, Length of line is less than 200 characters, thus "
                              "ignored",
                              DataLine(l199)}));
}

TEST_F(MasterFilesTest, ClientIdMapHoldsTheFirstRecordOfEachId) {
    Received(".CLI", {ClientLine("C1", "1"), ClientLine("C2  ", "2"), ClientLine("C1", "3"), ClientLine(" C4", "4")});
    Parse_FileClient();
    EXPECT_EQ(gData.clientIdFirst, (std::unordered_map<std::string, std::int32_t>{{"C1", 1}, {"C2", 2}, {" C4", 4}}));
    EXPECT_TRUE(LogLines().empty());

    // Out of order on the trimmed client number; a reload clears the map.
    Received(".CLI", {ClientLine("X", "   20"), ClientLine("Y", "15")});
    Parse_FileClient();
    EXPECT_EQ(gData.clientIdFirst, (std::unordered_map<std::string, std::int32_t>{{"X", 1}, {"Y", 2}}));
    EXPECT_EQ(LogLines(), std::vector<std::string>{
                              "Parse_FileClient: 1234567.CLI out of key order from record 2 (key 15), look-ups may "
                              "miss records"});
}

TEST_F(MasterFilesTest, MissingClientAndVendorFilesAreLogged) {
    Parse_FileClient();
    Parse_Filevendor();
    EXPECT_EQ(gData.gClientCount, 0);
    EXPECT_EQ(gData.gVendorCount, 0);
    EXPECT_TRUE(gData.clients.IsOpen());
    EXPECT_TRUE(gData.vendors.IsOpen());
    EXPECT_EQ(gData.clients.RecordLength(), 212);
    EXPECT_EQ(gData.vendors.RecordLength(), 400);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Parse_FileClient: HandlerClient, Client file is not present",
                                                    "Parse_Filevendor: Handlervendor, vendor file is not present"}));
}

TEST_F(MasterFilesTest, ClientWriteFailureStopsTheLoadWithALogLine) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10000; ++i) lines.push_back(ClientLine("C" + std::to_string(i), std::to_string(10000 + i)));
    Received(".CLI", lines);
    int boxes = 0;
    gData.messageBox = [&](const std::string&) { ++boxes; };
    {
        FileSizeLimit limit(1536 * 1024);
        Parse_FileClient();
    }
    EXPECT_EQ(boxes, 0);
    EXPECT_TRUE(fs::exists(FilesPath(".CLI")));
    ASSERT_GT(gData.gClientCount, 0);
    ASSERT_LT(gData.gClientCount, 10000);
    EXPECT_EQ(fs::file_size(DataPath(".CLI")), static_cast<std::uintmax_t>(gData.gClientCount) * 212);
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Parse_FileClient: load stopped after " + std::to_string(gData.gClientCount) +
                          " records, cannot write 1234567.CLI: File too large");
    // An id whose record was not written is not found.
    EXPECT_FALSE(Client_FindLinear("C9999").has_value());
}

TEST_F(MasterFilesTest, VendorLinesAndTheVendorCodeMap) {
    std::string l170 = VendorLine("V1", 170);
    std::string l400 = VendorLine(" V2 ", 400);
    std::string l169 = VendorLine("V3", 169);
    Received(".VND", {l170, l400, l169, VendorLine("V1")});
    Parse_Filevendor();
    EXPECT_EQ(gData.gVendorCount, 3);
    EXPECT_EQ(DataBytes(".VND").substr(0, 800), Framed(l170, 400) + Framed(l400.substr(0, 398), 400));
    EXPECT_EQ(gData.vendorCodeFirst, (std::unordered_map<std::string, std::int32_t>{{"V1", 1}, {"V2", 2}}));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Parse_Filevendor: Parsing vendors, Length of line is less than 170 characters, thus "
                              "ignored",
                              DataLine(l169)}));
}

TEST_F(MasterFilesTest, VendorCountIsNotLimitedTo16Bits) {
    std::vector<std::string> lines;
    for (int i = 0; i < 33000; ++i) lines.push_back(VendorLine("V" + std::to_string(i), 170));
    Received(".VND", lines);
    Parse_Filevendor();
    EXPECT_EQ(gData.gVendorCount, 33000);
    EXPECT_EQ(Vendor_Find("V32999").value_or(0), 33000);
}

// ---- kits ---------------------------------------------------------------------------------------

TEST_F(MasterFilesTest, KitFilesTestShorterLengthsThanTheyLog) {
    std::string h33 = Fixed(33, {{1, "K1"}, {21, "1"}, {31, "1"}});
    std::string h30 = Fixed(30, {{1, "K2"}, {21, "2"}});
    std::string h40 = Fixed(40, {{1, "K3"}, {21, "3"}, {31, "4"}, {40, "x"}});
    std::string l48 = Fixed(48, {{1, "000001"}, {11, "P1"}, {31, "2"}, {41, "0"}});
    std::string l47 = Fixed(47, {{1, "000001"}, {11, "P2"}});
    std::string l60 = Fixed(60, {{1, "000001"}, {11, "P3"}, {31, "1"}, {41, "12.50"}, {60, "y"}});
    Received(".KTM", {h33, h30, h40});
    Received(".KTD", {l48, l47, l60});
    Parse_FileKit();
    EXPECT_EQ(gData.gKitCount, 2);
    EXPECT_EQ(gData.gKitLineCount, 2);
    EXPECT_EQ(DataBytes(".KTM"), Framed(h33, 38) + Framed(h40.substr(0, 36), 38));
    EXPECT_EQ(DataBytes(".KTD"), Framed(l48, 57) + Framed(l60.substr(0, 55), 57));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Parse_FileKit: Parsing Products, Length of line is less than 36 characters, thus "
                              "ignored",
                              DataLine(h30),
                              "Parse_FileKit: Parsing Products, Length of line is less than 55 characters, thus "
                              "ignored",
                              DataLine(l47)}));
}

TEST_F(MasterFilesTest, KitOrderIsCheckedOnTheirKeyColumns) {
    // Several lines per kit are in order; a kit number going back is not.
    Received(".KTM", {Fixed(36, {{1, "B"}, {21, "2"}, {31, "1"}}), Fixed(36, {{1, "A"}, {21, "1"}, {31, "1"}})});
    Received(".KTD", {Fixed(55, {{1, "000001"}, {11, "P1"}}), Fixed(55, {{1, "000001"}, {11, "P0"}}),
                      Fixed(55, {{1, "000002"}, {11, "P2"}})});
    Parse_FileKit();
    EXPECT_EQ(LogLines(), std::vector<std::string>{
                              "Parse_FileKit: 1234567.KTM out of key order from record 2 (key A), look-ups may miss "
                              "records"});
}

TEST_F(MasterFilesTest, MissingKitFileReopensBothWithoutCuttingThem) {
    Received(".KTM", {Fixed(36, {{1, "K1"}, {21, "1"}, {31, "1"}})});
    Received(".KTD", {Fixed(55, {{1, "000001"}, {11, "P1"}})});
    Parse_FileKit();
    std::string headers = DataBytes(".KTM"), lines = DataBytes(".KTD");

    // No .KTD: the headers are loaded, the older kit lines stay in place.
    fs::remove(FilesPath(".KTD"));
    Received(".KTM", {Fixed(36, {{1, "K1"}, {21, "1"}, {31, "2"}}), Fixed(36, {{1, "K2"}, {21, "2"}, {31, "1"}})});
    ClearLog();
    Parse_FileKit();
    EXPECT_EQ(gData.gKitCount, 2);
    EXPECT_EQ(gData.gKitLineCount, 0);
    EXPECT_EQ(DataBytes(".KTD"), lines);
    headers = DataBytes(".KTM");

    // No .KTM: nothing is loaded, both files stay as they were, no log line.
    fs::remove(FilesPath(".KTM"));
    Received(".KTD", {Fixed(55, {{1, "000009"}, {11, "P9"}})});
    Parse_FileKit();
    EXPECT_EQ(gData.gKitCount, 0);
    EXPECT_EQ(gData.gKitLineCount, 0);
    EXPECT_EQ(DataBytes(".KTM"), headers);
    EXPECT_EQ(DataBytes(".KTD"), lines);
    EXPECT_TRUE(gData.kitHeaders.IsOpen());
    EXPECT_TRUE(gData.kitLines.IsOpen());
    EXPECT_EQ(gData.kitHeaders.RecordLength(), 38);
    EXPECT_EQ(gData.kitLines.RecordLength(), 57);
    EXPECT_TRUE(LogLines().empty());
}

// ---- new clients and new products ----------------------------------------------------------------

TEST_F(MasterFilesTest, OpenFileNewWritesAHeaderIntoEmptyFiles) {
    Open_FileNew();
    EXPECT_EQ(DataBytes(".NWC"), std::string("\xF2\x01", 2) + "1" + std::string(497, ' '));
    EXPECT_EQ(DataBytes(".NWP"), std::string("\x2A\x01", 2) + "1" + std::string(297, ' '));
    EXPECT_EQ(gData.gNewCount, 1);
    EXPECT_EQ(gData.newFile.Path(), DataPath(".NWP"));
    EXPECT_EQ(gData.newFile.RecordLength(), 300);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(MasterFilesTest, OpenFileNewChecksAndRepairsTheHeader) {
    // .NWP holds its header and three records that are no entries (no sent
    // flag): 4 whole records.
    const std::string rest = Framed("second", 300) + Framed("third", 300) + Framed("fourth", 300);
    struct Case {
        const char* header;  // record 1 of .NWP as found
        std::int32_t count;
        const char* rewrittenAs;  // nullptr: left as it was
    } cases[] = {
        {"3       more", 3, nullptr},
        {"  3.6   ", 4, nullptr},  // rounded
        {"9999999 ", 4, "4"},      // past the file's records: cut back to them
        {"  42.6  ", 4, "4"},
        {"12345678", 1, "1"},  // above 9,999,999, and no entry in the file
        {"-2      ", 1, "1"},
        {"0       ", 1, "1"},  // a document never goes into record 1
        {"12", 1, "1"},        // shorter than 8 characters
        {"", 1, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Data_Reset(gData);
        std::string before = Framed(c.header, 300) + rest;
        dir.Write("Data/1234567.NWP", before);
        Open_FileNew();
        EXPECT_EQ(gData.gNewCount, c.count);
        std::string after = DataBytes(".NWP");
        if (c.rewrittenAs) {
            std::string header = c.rewrittenAs;
            header.resize(298, ' ');
            EXPECT_EQ(after, Framed(header, 300) + rest);
        } else {
            EXPECT_EQ(after, before);
        }
    }
}

TEST_F(MasterFilesTest, OpenFileNewClientAndProductCheckTheCountAgainstTheFile) {
    dir.Write("Data/1234567.NWC", Framed("12345678", 500));
    dir.Write("Data/1234567.NWP", Framed("1.5     ", 300) + Framed("0 entry", 300));
    Open_FileNewClient();
    EXPECT_EQ(gData.gNewCount, 1);  // out of range, and no entry there
    EXPECT_EQ(gData.newFile.RecordLength(), 500);
    EXPECT_EQ(DataBytes(".NWC"), Framed("1" + std::string(497, ' '), 500));
    Open_FileNewProduct();
    EXPECT_EQ(gData.gNewCount, 2);  // 1.5 to the nearest even whole number
    EXPECT_EQ(gData.newFile.RecordLength(), 300);
    EXPECT_EQ(DataBytes(".NWP"), Framed("1.5     ", 300) + Framed("0 entry", 300));

    // A header counting past the file (cut short) is cut back to it.
    dir.Write("Data/1234567.NWP", Framed("7       ", 300) + Framed("0 entry", 300) + std::string(100, 'x'));
    Open_FileNewProduct();
    EXPECT_EQ(gData.gNewCount, 2);
    EXPECT_EQ(DataBytes(".NWP").substr(0, 300), Framed("2" + std::string(297, ' '), 300));
    const std::vector<std::string> logged = LogLines();
    EXPECT_NE(std::find(logged.begin(), logged.end(),
                        "Open_FileNewProduct: the header of 1234567.NWP counts 7 records but the file holds 2; count "
                        "cut back to 2"),
              logged.end());

    // An empty (or missing) file counts 0 and stays empty.
    fs::remove(DataPath(".NWC"));
    Open_FileNewClient();
    EXPECT_EQ(gData.gNewCount, 0);
    EXPECT_EQ(fs::file_size(DataPath(".NWC")), 0u);
}

// ---- the demo store ------------------------------------------------------------------------------

TEST_F(MasterFilesTest, DemoStoreLoadsWholeAndItsKeysFindTheirProducts) {
    // A copy of the demo program folder (the alias file is sorted in place).
    fs::copy(std::string(TARVO_SOURCE_DIR) + "/demo", dir.Path(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    ClearLog();
    ASSERT_TRUE(Setup_Read(FilesPath(".SET"), gSettings).ok);
    OpenTables();

    EXPECT_EQ(gData.gManagerCount, 2);
    EXPECT_EQ(gData.gCashierCount, 3);
    EXPECT_EQ(gData.gSalesmanCount, 2);
    EXPECT_EQ(gData.gCategoryCount, 5);
    EXPECT_EQ(gData.gProductCount, 30);
    EXPECT_EQ(gData.gClientCount, 10);
    EXPECT_EQ(gData.gVendorCount, 3);
    EXPECT_EQ(gData.gKitCount, 1);
    EXPECT_EQ(gData.gKitLineCount, 3);
    EXPECT_EQ(gData.gPaxCount, 5);
    EXPECT_EQ(gData.gNewCount, 1);
    EXPECT_EQ(gSettings.gProductKeyMode, ProductKey::Number);
    // Well-formed files: no short line, no order problem, nothing missing.
    EXPECT_TRUE(LogLines().empty()) << LogLines().front();

    // Log-in, authorisation, the default client, the no-discount category.
    const std::int32_t cashier = Cashier_FindByKey("1111").value_or(0);
    ASSERT_GT(cashier, 0);
    EXPECT_EQ(gData.CashierTable[cashier].CashierLevel, 1);
    const std::int32_t manager = Manager_FindByNumber("1").value_or(0);
    ASSERT_GT(manager, 0);
    EXPECT_EQ(gData.ManagerTable[manager].ManagerKey, "9999");
    EXPECT_EQ(gData.ManagerTable[manager].ManagerRights, "111111111");
    const std::optional<ClientMatch> client = Client_Find(gSettings.gDefaultClient);
    EXPECT_GT(client ? client->recNo : 0, 0);
    EXPECT_GT(Category_Find("1080").value_or(0), 0);

    // Every department key finds its product, or products of its department.
    int productKeys = 0, departmentKeys = 0;
    for (const DepartmentKey& k : gSettings.Departments) {
        if (k.KeyKind == "P") {
            ++productKeys;
            EXPECT_GT(ProductRecNo(k.Target), 0) << k.Target;
        } else if (k.KeyKind == "D") {
            ++departmentKeys;
            bool any = false;
            for (std::int32_t i = 1; i <= gData.gProductCount; ++i)
                any |= Trim(gData.products.View(i).substr(93, 6)) == k.Target;
            EXPECT_TRUE(any) << "department " << k.Target;
        }
    }
    EXPECT_EQ(productKeys, 2);
    EXPECT_EQ(departmentKeys, 4);

    // Bananas are weighed.
    const std::optional<ProductMatch> bananas = Product_Find("2001");
    ASSERT_GT(bananas ? bananas->recNo : 0, 0);
    EXPECT_EQ(bananas->record[8], 'S');

    // The kit: its header names a product, its lines name products.
    std::string_view header = gData.kitHeaders.View(1);
    EXPECT_GT(ProductRecNo(std::string(Trim(header.substr(0, 20)))), 0);
    EXPECT_GE(header[30], '1');
    EXPECT_LE(header[30], '4');
    std::string kitNumber = "000000" + Trim(header.substr(20, 10));
    kitNumber = kitNumber.substr(kitNumber.size() - 6);
    for (std::int32_t i = 1; i <= gData.gKitLineCount; ++i) {
        std::string_view line = gData.kitLines.View(i);
        EXPECT_EQ(Trim(line.substr(0, 10)), kitNumber) << i;
        const std::string key = Trim(line.substr(10, 20));
        EXPECT_GT(ProductRecNo(key), 0) << key;
    }

    // Every alias names a product.
    for (std::int32_t i = 1; i <= gData.gPaxCount; ++i) {
        const std::string key = Trim(gData.paxIndex.View(i).substr(18, 20));
        EXPECT_GT(ProductRecNo(key), 0) << key;
    }
}

}  // namespace
}  // namespace tarvo
