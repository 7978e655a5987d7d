#include "data/lookups.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

#include "config/settings.h"
#include "data/master_files.h"
#include "store_fixture.h"

namespace tarvo {
namespace {

class LookupsTest : public StoreTest {
protected:
    // Opens `f` on a fresh working file holding `records`.
    void MakeFile(WorkFile& f, std::string_view ext, int recordLength, const std::vector<std::string>& records) {
        ASSERT_TRUE(f.Open(DataPath(ext), recordLength, true));
        for (std::size_t i = 0; i < records.size(); ++i)
            ASSERT_TRUE(f.Write(static_cast<std::int64_t>(i + 1), records[i]));
    }
    // A product record with `key` in the product number column (12-31) and
    // `barCode` in 40-59.
    static std::string Product(std::string_view key, std::string_view barCode = "") {
        return Fixed(273, {{1, "ID"}, {12, key}, {40, barCode}, {60, "Description"}});
    }
    void Products(const std::vector<std::string>& keys) {
        std::vector<std::string> recs;
        for (const auto& k : keys) recs.push_back(Product(k));
        MakeFile(gData.products, ".PRD", 275, recs);
        gData.gProductCount = static_cast<std::int32_t>(recs.size());
    }
    // Looks `key` up as the register does a code: split for its price when
    // priceCodes_ (the price kept only when the product is found); keeps the
    // key looked up, the record and the new-product record found. The record
    // number in the product file, 0 when it is not there.
    std::int32_t FindProduct(const std::string& key) {
        ProductCode code{key, std::nullopt};
        if (priceCodes_) code = Product_SplitPriceCode(key);
        productKey_ = code.key;
        const std::optional<ProductMatch> found = Product_Find(code.key);
        if (code.price) {
            gData.gManualPrice = found.has_value();
            gData.gManualPriceValue = found ? *code.price : Money();
        }
        newProductRecNo_ = found ? found->newRecNo : 0;
        if (found && found->recNo > 0) productRec_ = found->record;
        return found ? found->recNo : 0;
    }
    bool priceCodes_ = false;
    std::string productKey_, productRec_;
    std::int32_t newProductRecNo_ = 0;
};

// ---- binary search ------------------------------------------------------------------------------

TEST_F(LookupsTest, BinarySearchFindsEveryKeyAndNothingElse) {
    // Every size from 0 to 40 records: each key at its record, keys before,
    // between and after them nowhere.
    std::mt19937 rng(7);
    for (int n = 0; n <= 40; ++n) {
        SCOPED_TRACE(n);
        std::set<std::string> keys;
        while (static_cast<int>(keys.size()) < n) keys.insert(std::to_string(rng() % 900 + 100) + "0");
        std::vector<std::string> sorted(keys.begin(), keys.end());
        Products(sorted);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(FindProduct(sorted[i]), i + 1) << sorted[i];
            EXPECT_EQ(productRec_, Product(sorted[i]));
            EXPECT_EQ(FindProduct(sorted[i] + "5"), 0);  // between this key and the next
        }
        EXPECT_EQ(FindProduct("0"), 0);      // before the first
        EXPECT_EQ(FindProduct("99999"), 0);  // after the last
    }
}

TEST_F(LookupsTest, ProductKeyEdgeCases) {
    // Count 0: records left in the file are not looked at.
    Products({"123"});
    gData.gProductCount = 0;
    EXPECT_EQ(FindProduct("123"), 0);

    // One record: its key is found, smaller and greater keys are not.
    gData.gProductCount = 1;
    EXPECT_EQ(FindProduct("123"), 1);
    EXPECT_EQ(FindProduct("100"), 0);
    EXPECT_EQ(FindProduct("200"), 0);

    // The key column loses its trailing blanks only; case counts; bytes
    // compare unsigned (é after z).
    Products({"123", "ABC", "abc", "z", "\xE9t\xE9"});
    EXPECT_EQ(FindProduct("123"), 1);
    EXPECT_EQ(FindProduct(" 123"), 0);
    EXPECT_EQ(FindProduct("123 "), 0);
    EXPECT_EQ(FindProduct("abc"), 3);
    EXPECT_EQ(FindProduct("Abc"), 0);
    EXPECT_EQ(FindProduct("\xE9t\xE9"), 5);

    // A key column filled to its 20 characters.
    Products({"12345678901234567890"});
    EXPECT_EQ(FindProduct("12345678901234567890"), 1);
    EXPECT_EQ(FindProduct("1234567890123456789"), 0);
}

TEST_F(LookupsTest, ProductKeyModeChoosesTheKeyColumn) {
    MakeFile(gData.products, ".PRD", 275, {Product("900", "0001"), Product("800", "0002")});
    gData.gProductCount = 2;
    gSettings.gProductKeyMode = ProductKey::BarCode;
    EXPECT_EQ(FindProduct("0002"), 2);
    EXPECT_EQ(FindProduct("900"), 0);
    EXPECT_EQ(ProductKeyOf(Product("900", "0001  ")), "0001");
    gSettings.gProductKeyMode = ProductKey::Number;
    EXPECT_EQ(FindProduct("900"), 1);
    EXPECT_EQ(ProductKeyOf(Product("900", "0001")), "900");
    EXPECT_EQ(ProductKeyOf("short"), "");
}

TEST_F(LookupsTest, NotFoundLeavesTheRecordBufferAlone) {
    Products({"100", "200"});
    EXPECT_EQ(FindProduct("200"), 2);
    EXPECT_EQ(FindProduct("150"), 0);
    EXPECT_EQ(productRec_, Product("200"));
}

// ---- new products ---------------------------------------------------------------------------------

std::string NewProduct(std::string_view number) { return Fixed(60, {{1, "N"}, {3, number}, {23, "New item"}}); }

TEST_F(LookupsTest, UnknownProductsAreLookedForInTheNewProductFileFromTheEnd) {
    Products({"100"});
    MakeFile(gData.newFile, ".NWP", 300,
             {"4       ", NewProduct("N1"), NewProduct("  N2  "), NewProduct("N1"), NewProduct("N5")});
    gData.newFile.Close();
    EXPECT_EQ(FindProduct("N1"), 0);
    EXPECT_EQ(newProductRecNo_, 4);  // the later of the two
    EXPECT_EQ(FindProduct("N2"), 0);
    EXPECT_EQ(newProductRecNo_, 3);  // trimmed
    EXPECT_EQ(FindProduct("N5"), 0);
    EXPECT_EQ(newProductRecNo_, 0);                     // beyond the count of the header
    EXPECT_EQ(gData.newFile.Path(), DataPath(".NWP"));  // left open as #29

    // Found in the product file: the new products are not searched.
    EXPECT_EQ(FindProduct("100"), 1);
    EXPECT_EQ(newProductRecNo_, 0);
}

TEST_F(LookupsTest, NewProductHeaderRecordIsNeverSearched) {
    Products({});
    // Record 1 holds no count (shorter than 8) yet holds the key in the
    // product number columns; record 2 holds no entry (no sent flag), so the
    // checked count is 1.
    dir.Write("Data/1234567.NWP", Framed("0 N1", 300) + Framed(NewProduct("N1"), 300));
    EXPECT_EQ(FindProduct("N1"), 0);
    EXPECT_EQ(gData.gNewCount, 1);
    EXPECT_EQ(newProductRecNo_, 0);

    // Record 1 is the header whatever it holds.
    dir.Write("Data/1234567.NWP", Framed("1 N1", 300));
    EXPECT_EQ(FindProduct("N1"), 0);
    EXPECT_EQ(gData.gNewCount, 1);
    EXPECT_EQ(newProductRecNo_, 0);

    // An empty file stays empty.
    std::filesystem::remove(DataPath(".NWP"));
    EXPECT_EQ(FindProduct("N1"), 0);
    EXPECT_EQ(newProductRecNo_, 0);
    EXPECT_EQ(std::filesystem::file_size(DataPath(".NWP")), 0u);
}

// ---- embedded-price bar codes -------------------------------------------------------------------

class EmbeddedPriceTest : public LookupsTest {
protected:
    void SetUp() override {
        LookupsTest::SetUp();
        Settings& s = gSettings;
        s.gPricePrefixStart = 1;  // A
        s.gPricePrefixEnd = 2;    // B
        s.gPricePrefix = "20";    // G
        s.gPriceCodeStart = 3;    // C
        s.gPriceCodeEnd = 7;      // D
        s.gPriceValueStart = 8;   // E
        s.gPriceValueEnd = 12;    // F
        Products({"12345", "2012345"});
        priceCodes_ = true;
    }
};

TEST_F(EmbeddedPriceTest, APriceCodeIsSplitIntoProductAndPrice) {
    EXPECT_EQ(FindProduct("201234500199"), 1);
    EXPECT_EQ(productKey_, "12345");
    EXPECT_TRUE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Money::FromCents(199));

    // Shorter than F: searched whole, no price.
    gData.gManualPrice = false;
    gData.gManualPriceValue = Money();
    EXPECT_EQ(FindProduct("2012345"), 2);
    EXPECT_EQ(productKey_, "2012345");
    EXPECT_FALSE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Money());
}

TEST_F(EmbeddedPriceTest, CodesThatAreNotSplit) {
    struct Case {
        const char* what;
        std::function<void()> setUp;
        const char* code;
    } cases[] = {
        {"check off", [this] { priceCodes_ = false; }, "201234500199"},
        {"no prefix start", [] { gSettings.gPricePrefixStart = 0; }, "201234500199"},
        {"other prefix", [] {}, "211234500199"},
        {"prefix compared exactly",
         [] {
             gSettings.gPricePrefix = "20 ";
             gSettings.gPricePrefixEnd = 3;
         },
         "201234500199"},
        {"shorter than B", [] { gSettings.gPricePrefixEnd = 13; }, "201234500199"},
        {"shorter than D", [] { gSettings.gPriceCodeEnd = 13; }, "201234500199"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.setUp();
        gData.gManualPrice = false;
        FindProduct(c.code);
        EXPECT_EQ(productKey_, c.code);
        EXPECT_FALSE(gData.gManualPrice);
    }
    // A prefix with a blank matches only a blank.
    SetUp();
    gSettings.gPricePrefix = "20 ";
    gSettings.gPricePrefixEnd = 3;
    gSettings.gPriceCodeStart = 4;
    gSettings.gPriceCodeEnd = 8;
    gSettings.gPriceValueStart = 9;
    gSettings.gPriceValueEnd = 12;
    EXPECT_EQ(FindProduct("20 123450250"), 1);
    EXPECT_EQ(gData.gManualPriceValue, Money::FromCents(250));
}

TEST_F(EmbeddedPriceTest, UnknownProductOfAPriceCodeDropsThePrice) {
    EXPECT_EQ(FindProduct("209999900250"), 0);
    EXPECT_EQ(newProductRecNo_, 0);
    EXPECT_EQ(productKey_, "99999");  // not restored
    EXPECT_FALSE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Money());

    // A new product of this register keeps its price.
    dir.Write("Data/1234567.NWP", Framed("2       ", 300) + Framed(NewProduct("99999"), 300));
    EXPECT_EQ(FindProduct("209999900250"), 0);
    EXPECT_EQ(newProductRecNo_, 2);
    EXPECT_TRUE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Money::FromCents(250));
}

// ---- clients -------------------------------------------------------------------------------------------

std::string Client(std::string_view id, std::string_view number) {
    return Fixed(210, {{1, id}, {12, number}, {20, "Name"}});
}

TEST_F(LookupsTest, ClientFindSearchesTrimmedClientNumbersThenNewClients) {
    Received(".CLI", {Client("A", "  1"), Client("B", "1001"), Client("C", "1002 "), Client("D", "2")});
    Parse_FileClient();
    struct Case {
        const char* key;
        std::int32_t rec;
    } cases[] = {{"1", 1}, {"1001", 2}, {"1002", 3}, {"2", 4}, {" 1", 0}, {"1003", 0}, {"", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::optional<ClientMatch> found = Client_Find(c.key);
        EXPECT_EQ(found ? found->recNo : 0, c.rec);
        if (c.rec) {
            EXPECT_EQ(found->record, gData.clients.Read(c.rec));
        }
    }

    dir.Write("Data/1234567.NWC", Framed("3       ", 500) + Framed(Fixed(40, {{3, "N7"}}), 500) +
                                      Framed(Fixed(40, {{3, " N8     X"}}), 500));
    const std::optional<ClientMatch> n8 =
        Client_Find("N8");  // columns 3-10 trimmed: the X in column 11 is not part of it
    ASSERT_TRUE(n8.has_value());
    EXPECT_EQ(n8->recNo, 0);
    EXPECT_EQ(n8->newRecNo, 3);
    EXPECT_EQ(gData.newFile.RecordLength(), 500);
}

TEST_F(LookupsTest, ClientFindLinearTakesTheFirstRecordOfAnId) {
    Received(".CLI", {Client("7", "1"), Client("5", "2"), Client("7", "3"), Client(" 9", "4"), Client("8  ", "5")});
    Parse_FileClient();
    struct Case {
        const char* key;
        std::int32_t rec;
    } cases[] = {{"7", 1}, {"5", 2}, {"9", 0}, {" 9", 4}, {"8", 5}, {"8 ", 0}, {"6", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::optional<RecordMatch> found = Client_FindLinear(c.key);
        EXPECT_EQ(found ? found->recNo : 0, c.rec);
        if (c.rec) {
            EXPECT_EQ(found->record, gData.clients.Read(c.rec));
        }
    }
    // After a reload only the new records count.
    Received(".CLI", {Client("5", "1")});
    Parse_FileClient();
    EXPECT_FALSE(Client_FindLinear("7").has_value());
}

// ---- transaction documents ----------------------------------------------------------------------------

// A document finder as a table entry: the record it finds (0 for none) and,
// for the finders that read it, the record's bytes.
using DocumentFinder = std::function<std::pair<std::int32_t, std::optional<std::string>>(const std::string&)>;

template <std::optional<RecordMatch> (*Find)(std::string_view)>
std::pair<std::int32_t, std::optional<std::string>> Reading(const std::string& key) {
    const std::optional<RecordMatch> found = Find(key);
    if (!found) return {0, std::nullopt};
    return {found->recNo, std::string(found->record)};
}

template <std::optional<std::int32_t> (*Find)(std::string_view)>
std::pair<std::int32_t, std::optional<std::string>> Numbering(const std::string& key) {
    return {Find(key).value_or(0), std::nullopt};
}

struct DocumentCase {
    const char* name;
    DocumentFinder find;
    WorkFile DataState::*file;
    std::int32_t DataState::*count;
    std::string suffix;  // what the finder puts after the key
    bool reads;          // false: the finder keeps no copy
};

const DocumentCase kDocuments[] = {
    {"Invoice_Find", Reading<Invoice_Find>, &DataState::invoices, &DataState::gLastInvoiceRecord, "", true},
    {"InvoiceDetail_Find", Reading<InvoiceDetail_Find>, &DataState::invoiceLines, &DataState::gLastInvoiceLineRecord,
     "001", true},
    {"Payment_Find", Reading<Payment_Find>, &DataState::payments, &DataState::gLastPaymentRecord, "01", true},
    {"Order_Find", Numbering<Order_Find>, &DataState::orders, &DataState::gLastOrderRecord, "", false},
    {"OrderDetail_Find", Numbering<OrderDetail_Find>, &DataState::orderLines, &DataState::gLastOrderLineRecord, "001",
     false},
    {"OrderPayment_Find", Numbering<OrderPayment_Find>, &DataState::orderPayments, &DataState::gLastOrderPaymentRecord,
     "01", false},
    {"AdjustmentDetail_Find", Numbering<AdjustmentDetail_Find>, &DataState::adjustmentLines,
     &DataState::gLastAdjustmentLineRecord, "001", false},
    {"Purchase_Find", Numbering<Purchase_Find>, &DataState::purchases, &DataState::gLastPurchaseRecord, "", false},
    {"PurchaseDetail_Find", Numbering<PurchaseDetail_Find>, &DataState::purchaseLines,
     &DataState::gLastPurchaseLineRecord, "001", false},
};

TEST_F(LookupsTest, DocumentFindersSearchRecords2ToTheHeaderCount) {
    for (const DocumentCase& c : kDocuments) {
        SCOPED_TRACE(c.name);
        // Documents 2..7, each with two lines (or payments) where the
        // finder has a suffix; the header says 11 records are in use and
        // two more records follow beyond it.
        std::vector<std::string> recs{"11"};
        auto doc = [](int n) {
            std::string d = "000000" + std::to_string(n);
            return d.substr(d.size() - 7);
        };
        for (int n = 2; recs.size() < 13; ++n) {
            if (c.suffix.empty()) {
                recs.push_back(doc(n) + "0 body");
            } else {
                std::string first = c.suffix.size() == 3 ? "001" : "01";
                std::string second = c.suffix.size() == 3 ? "002" : "02";
                recs.push_back(doc(n) + first + "0 line");
                recs.push_back(doc(n) + second + "0 line");
            }
        }
        MakeFile(gData.*c.file, std::string(".") + c.name, 100, recs);
        gData.*c.count = 11;
        for (std::size_t k = 2; k <= recs.size(); ++k) {
            std::string key = recs[k - 1].substr(0, 7);
            if (!c.suffix.empty() && recs[k - 1].substr(7, c.suffix.size()) != c.suffix) continue;
            const auto [recNo, record] = c.find(key);
            EXPECT_EQ(recNo, k <= 11 ? static_cast<std::int32_t>(k) : 0) << key;
            EXPECT_EQ(record.has_value(), c.reads && k <= 11);
            if (c.reads && k <= 11) {
                EXPECT_EQ(record.value_or(""), recs[k - 1]);
            }
        }
        for (const char* absent : {"0000000", "0000001", "9999999", "00000025"}) {
            EXPECT_EQ(c.find(absent).first, 0) << absent;
        }
    }
}

// ---- vendors ---------------------------------------------------------------------------------------------

TEST_F(LookupsTest, VendorFindComparesTrimmedCodesFirstMatchWins) {
    Received(".VND", {Fixed(170, {{1, "  V1"}, {9, "First"}}), Fixed(170, {{1, "V2"}}),
                      Fixed(170, {{1, "V1  "}, {9, "Second"}})});
    Parse_Filevendor();
    struct Case {
        const char* code;
        std::int32_t rec;
    } cases[] = {{"V1", 1}, {" V1 ", 1}, {"V2", 2}, {"v2", 0}, {"V3", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Vendor_Find(c.code).value_or(0), c.rec);
    }
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(LookupsTest, VendorFindOnAClosedFileLogsAndFindsNothing) {
    Received(".VND", {Fixed(170, {{1, "V1"}})});
    Parse_Filevendor();
    gData.vendors.Close();
    EXPECT_FALSE(Vendor_Find("V1").has_value());
    EXPECT_EQ(LogLines(), std::vector<std::string>{"Parse_Filevendor: Handlervendor, vendor file is not present"});
}

// ---- staff and categories --------------------------------------------------------------------------

TEST_F(LookupsTest, TableFindersReturnTheFirstMatchingEntry) {
    Received(".CSH", {Fixed(50, {{1, "1"}, {10, "1111"}, {50, "1"}}), Fixed(50, {{1, "2"}, {10, "2222"}, {50, "3"}}),
                      Fixed(50, {{1, "3"}, {10, "1111"}, {50, "2"}})});
    Received(".MAN", {Fixed(60, {{1, "M1"}, {10, "9999"}}), Fixed(60, {{1, "M2"}, {10, "9999"}})});
    Received(".SAL", {Fixed(49, {{1, "S1"}, {10, "K1"}}), Fixed(49, {{1, "S2"}, {10, "K2"}}),
                      Fixed(49, {{1, "S3"}, {10, "K2"}})});
    Received(".CTG", {Fixed(37, {{1, "1010"}, {8, "Grocery"}}), Fixed(37, {{1, "1080"}, {8, "No discount"}})});
    Open_FileCashier();
    Open_FileManager();
    Open_FileSalesman();
    Read_FileCategory();

    struct Case {
        std::optional<std::int32_t> (*find)(std::string_view);
        const char* value;
        std::int32_t expected;
    } cases[] = {
        {Cashier_FindByKey, "1111", 1},     // two have it
        {Cashier_FindByKey, "2222", 2},     //
        {Cashier_FindByKey, "3", 0},        // a number, not a key
        {Cashier_FindByNumber, "3", 3},     //
        {Cashier_FindByNumber, "1111", 0},  // a key, not a number
        {Manager_FindByNumber, "M2", 2},    //
        {Manager_FindByNumber, "m2", 0},    // case counts
        {Manager_FindByNumber, "9999", 0},  // a key, not a number
        {Salesman_FindByKey, "K2", 2},      // two have it
        {Salesman_FindByKey, "S2", 0},      // a number, not a key
        {Salesman_FindByNumber, "S3", 3},   //
        {Category_Find, "1080", 2},         //
        {Category_Find, "108", 0},          // whole codes only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.find(c.value).value_or(0), c.expected);
    }

    // Entries beyond the count are not looked at.
    gData.gCashierCount = 1;
    EXPECT_FALSE(Cashier_FindByKey("2222").has_value());
}

}  // namespace
}  // namespace tarvo
