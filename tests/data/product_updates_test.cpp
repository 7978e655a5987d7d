#include "data/product_updates.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/line_reader.h"
#include "data/indexes.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "index_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// ---------------------------------------------------------------------------
// The product key setting

class ProductKeySettingTest : public DataFolderTest {};

TEST_F(ProductKeySettingTest, LastLongEnough250LineGivesTheMode) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;  // empty: no settings file
        bool writeFile;
        ProductKeyMode mode;
    };
    // No 250 line reads as "9": the bar code everywhere, and no updates.
    const ProductKeyMode none{ProductKey::Other, ProductKey::Other, ProductKey::BarCode};
    const Case cases[] = {
        {"no settings file", {}, false, none},
        {"no 250 line", {"100 REG01", "", "255 1"}, true, none},
        {"value 1", {"100 REG01", "250 1"}, true, ProductKey::BarCode},
        {"value 0", {"250 0"}, true, ProductKey::Number},
        {"only the first character counts", {"250 15"}, true, ProductKey::BarCode},
        {"four characters are ignored", {"250x"}, true, none},
        {"a later short line changes nothing", {"250 1", "2500", "250 "}, true, ProductKey::BarCode},
        {"the last line wins", {"250 1", "250 0"}, true, ProductKey::Number},
        {"the code must start the line", {" 250 1", "1250 1"}, true, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir / "Files/1234567.SET");
        if (c.writeFile) dir.Write("Files/1234567.SET", Lines(c.lines));
        gSettings.gProductKeyMode = ProductKeyMode_Read("x");
        Setting_ProductKey();
        EXPECT_EQ(gSettings.gProductKeyMode, c.mode);
    }
}

// ---------------------------------------------------------------------------
// Applying the update file

class ProductUpdateTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        gData.messageBox = [this](const std::string& text) { messages.push_back(text); };
    }

    // The received product file, loaded into the working file.
    void Products(const std::vector<std::string>& records) {
        dir.Write("Files/1234567.PRD", Lines(records));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, static_cast<std::int32_t>(records.size()));
    }
    void Updates(const std::vector<std::string>& lines) { dir.Write("Files/1234567.PRU", Lines(lines)); }

    // The description (60, 30) of the product found by key, "" when none.
    std::string DescriptionOf(const std::string& key) {
        const std::optional<ProductMatch> found = Product_Find(key);
        if (!found || found->recNo == 0) return "";
        std::string d(found->record.substr(59, 30));
        d.erase(d.find_last_not_of(' ') + 1);
        return d;
    }

    std::vector<std::string> messages;
};

TEST_F(ProductUpdateTest, ReplacesKnownKeysAppendsNewOnesAndRewritesTheFileInKeyOrder) {
    gSettings.gProductKeyMode = ProductKey::Number;
    const std::string a100 = ProductRecord("A100", "9003", "FIRST");
    const std::string a300 = ProductRecord("A300", "9001", "THIRD");
    Products({a100, ProductRecord("A200", "9002", "SECOND"), a300});

    const std::string a200 = ProductRecord("A200", "9002", "SECOND NEW");
    const std::string a150 = ProductRecord("A150", "9004", "ADDED MIDDLE");
    const std::string a400 = ProductRecord("A400", "9005", "ADDED LAST");
    const std::string a050 = ProductRecord("A050", "9006", "ADDED FIRST");
    const std::string shortLine = ProductRecord("A999", "", "SHORT").substr(0, 272);
    Updates({a200, a150, shortLine, a400 + "EXTRA BEYOND 273", a050});

    Process_ProductUpdate();

    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.PRU"));
    // The product text file in key order, each record as sent.
    EXPECT_EQ(dir.Read("Files/1234567.PRD"), Lines({a050, a100, a150, a200, a300, a400}));
    // The sort file stays: key column as it stands, then the record.
    EXPECT_EQ(dir.Read("Files/1234567.NEW"),
              Lines({a050.substr(11, 20) + a050, a100.substr(11, 20) + a100, a150.substr(11, 20) + a150,
                     a200.substr(11, 20) + a200, a300.substr(11, 20) + a300, a400.substr(11, 20) + a400}));
    // Reloaded: the old count plus the three new products, all found.
    EXPECT_EQ(gData.gProductCount, 3 + 3);
    EXPECT_EQ(DescriptionOf("A050"), "ADDED FIRST");
    EXPECT_EQ(DescriptionOf("A150"), "ADDED MIDDLE");
    EXPECT_EQ(DescriptionOf("A200"), "SECOND NEW");
    EXPECT_EQ(DescriptionOf("A400"), "ADDED LAST");
    EXPECT_EQ(DescriptionOf("A100"), "FIRST");
    EXPECT_EQ(DescriptionOf("A999"), "");
    // The short line: two log lines, then skipped.
    std::string log = LogText();
    EXPECT_NE(log.find("Process_ProductUpdate: Parsing Product updates, Length of line is less than 273 "
                       "characters, thus ignored"),
              std::string::npos);
    EXPECT_NE(log.find(">" + shortLine + "<"), std::string::npos);
    for (const auto& e : fs::directory_iterator(dir / "Files")) EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

TEST_F(ProductUpdateTest, BarCodeModeKeysAndSortsByTheBarCode) {
    gSettings.gProductKeyMode = ProductKey::BarCode;
    // Product numbers in the opposite order of the bar codes.
    Products({ProductRecord("N3", "111", "ONE"), ProductRecord("N2", "222", "TWO"),
              ProductRecord("N1", "333", "THREE")});
    const std::string two = ProductRecord("N9", "222", "TWO RENUMBERED");
    const std::string added = ProductRecord("N0", "150", "ADDED");
    Updates({two, added});
    Process_ProductUpdate();
    EXPECT_EQ(gData.gProductCount, 4);
    EXPECT_EQ(dir.Read("Files/1234567.PRD"),
              Lines({ProductRecord("N3", "111", "ONE"), added, two, ProductRecord("N1", "333", "THREE")}));
    EXPECT_EQ(DescriptionOf("222"), "TWO RENUMBERED");
    EXPECT_EQ(DescriptionOf("150"), "ADDED");
}

TEST_F(ProductUpdateTest, ALaterLineForAnAddedKeyReplacesTheAddedRecord) {
    gSettings.gProductKeyMode = ProductKey::Number;
    Products({ProductRecord("A1", "", "OLD")});
    Updates({ProductRecord("B1", "", "FIRST VERSION"), ProductRecord("A1", "", "OLD CHANGED"),
             ProductRecord("B1", "", "SECOND VERSION")});
    Process_ProductUpdate();
    EXPECT_EQ(gData.gProductCount, 2);
    EXPECT_EQ(dir.Read("Files/1234567.PRD"),
              Lines({ProductRecord("A1", "", "OLD CHANGED"), ProductRecord("B1", "", "SECOND VERSION")}));
}

TEST_F(ProductUpdateTest, OnlyModes0And1ApplyUpdates) {
    for (const char* mode : {"9", "2", ""}) {
        SCOPED_TRACE(std::string("mode '") + mode + "'");
        gSettings.gProductKeyMode = ProductKey::Number;
        Products({ProductRecord("A1", "", "OLD")});
        const std::string update = Lines({ProductRecord("A1", "", "NEW")});
        dir.Write("Files/1234567.PRU", update);
        gSettings.gProductKeyMode = ProductKeyMode_Read(mode);
        Process_ProductUpdate();
        EXPECT_EQ(dir.Read("Files/1234567.PRU"), update);
        EXPECT_EQ(gData.products.Read(1), ProductRecord("A1", "", "OLD"));
        EXPECT_FALSE(fs::exists(dir / "Files/1234567.NEW"));
    }
    // No settings line 250 at all: the mode read is "9" and nothing happens.
    dir.Write("Files/1234567.SET", "100 REG01\r\n");
    Setting_ProductKey();
    Process_ProductUpdate();
    EXPECT_TRUE(fs::exists(dir / "Files/1234567.PRU"));
}

TEST_F(ProductUpdateTest, NoUpdateFileChangesNothing) {
    gSettings.gProductKeyMode = ProductKey::Number;
    Products({ProductRecord("A1", "", "OLD")});
    std::string before = dir.Read("Files/1234567.PRD");
    Process_ProductUpdate();
    EXPECT_EQ(dir.Read("Files/1234567.PRD"), before);
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.NEW"));
    EXPECT_EQ(gData.gProductCount, 1);
}

TEST_F(ProductUpdateTest, UpdateFileReceivedInLowerCaseIsApplied) {
    gSettings.gProductKeyMode = ProductKey::Number;
    Products({ProductRecord("A1", "", "OLD")});
    dir.Write("Files/1234567.pru", Lines({ProductRecord("A1", "", "NEW")}));
    Process_ProductUpdate();
    EXPECT_EQ(DescriptionOf("A1"), "NEW");
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.pru"));
}

TEST_F(ProductUpdateTest, LookupsNeitherSplitPriceCodesNorTouchTheSalesManualPrice) {
    gSettings.gProductKeyMode = ProductKey::Number;
    gSettings.gPricePrefixStart = 1;
    gSettings.gPricePrefixEnd = 2;
    gSettings.gPricePrefix = "20";
    gSettings.gPriceCodeStart = 3;
    gSettings.gPriceCodeEnd = 7;
    gSettings.gPriceValueStart = 8;
    gSettings.gPriceValueEnd = 12;
    Products({ProductRecord("12345", "", "WEIGHED CHEESE")});
    // Split, this code would be product 12345 at 1.99; as an update key it is
    // a product of its own.
    Updates({ProductRecord("201234500199", "", "LABELLED ITEM")});
    gData.gManualPrice = true;
    gData.gManualPriceValue = Money::FromCents(250);

    Process_ProductUpdate();

    EXPECT_EQ(gData.gProductCount, 2);
    EXPECT_TRUE(gData.gManualPrice);
    EXPECT_EQ(gData.gManualPriceValue, Money::FromCents(250));
    EXPECT_EQ(DescriptionOf("12345"), "WEIGHED CHEESE");
    EXPECT_EQ(DescriptionOf("201234500199"), "LABELLED ITEM");
}

TEST_F(ProductUpdateTest, WordIndexIsRebuiltWhenProductsWereAddedAndTheSettingAsks) {
    struct Case {
        bool sortProducts;
        bool addsAProduct;
        bool rebuilt;
    } cases[] = {
        {true, true, true}, {false, true, false}, {true, false, false},  // replacements only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sort " << c.sortProducts << ", adds " << c.addsAProduct);
        gSettings.gProductKeyMode = ProductKey::Number;
        gSettings.gSortProducts = c.sortProducts;
        Products({ProductRecord("A1", "", "APPLE")});
        Index_Product();
        ASSERT_EQ(gData.gAuxCount, 1);
        Updates({ProductRecord(c.addsAProduct ? "B1" : "A1", "", "BANANA")});
        Process_ProductUpdate();
        std::int32_t expected = c.rebuilt ? 2 : 1;
        EXPECT_EQ(gData.gAuxCount, expected);
        gData.gSearchText = "banana";
        AuxProduct_Search();
        EXPECT_EQ(gData.gSearchFirst > 0, c.rebuilt);
    }
}

TEST_F(ProductUpdateTest, FailureShowsTheMessageAndKeepsTheUpdateFileForTheNextRun) {
    struct Case {
        const char* blocked;  // a folder where the file's temporary copy goes
        std::string message;
    } cases[] = {
        {"Files/1234567.NEW.tmp", "Error detected processing product updates "},
        {"Files/1234567.PRD.tmp", "Error detected sorting Product.New "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        gSettings.gProductKeyMode = ProductKey::Number;
        messages.clear();
        Products({ProductRecord("A1", "", "OLD")});
        std::string products = dir.Read("Files/1234567.PRD");
        const std::string update = Lines({ProductRecord("A1", "", "NEW"), ProductRecord("B1", "", "ADDED")});
        dir.Write("Files/1234567.PRU", update);
        fs::create_directories(dir / c.blocked);

        Process_ProductUpdate();

        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind(c.message, 0), 0u) << messages[0];
        EXPECT_GT(messages[0].size(), c.message.size());  // the reason follows
        EXPECT_NE(LogText().find(c.message), std::string::npos);
        EXPECT_EQ(dir.Read("Files/1234567.PRU"), update);
        EXPECT_EQ(dir.Read("Files/1234567.PRD"), products);

        // The next start loads the product file again and retries.
        fs::remove(dir / c.blocked);
        Parse_FileProduct();
        Process_ProductUpdate();
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_FALSE(fs::exists(dir / "Files/1234567.PRU"));
        EXPECT_EQ(gData.gProductCount, 2);
        EXPECT_EQ(DescriptionOf("A1"), "NEW");
        EXPECT_EQ(DescriptionOf("B1"), "ADDED");
    }
}

TEST_F(ProductUpdateTest, WorkingFileThatCannotBeWrittenIsReported) {
    gSettings.gProductKeyMode = ProductKey::Number;
    Products({ProductRecord("A1", "", "OLD")});
    Updates({ProductRecord("B1", "", "ADDED")});
    gData.products.Close();
    Process_ProductUpdate();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Error detected processing product updates ", 0), 0u) << messages[0];
    EXPECT_TRUE(fs::exists(dir / "Files/1234567.PRU"));
    EXPECT_FALSE(fs::exists(dir / "Files/1234567.NEW"));
}

}  // namespace
}  // namespace tarvo
