// Suspending a sale into the terminal's suspended-sale file and recalling it,
// across a restart of the program: the file's exact records, the waiting sale
// never replaced, and every line rebuilt from its stored values.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "common/money.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "platform/files.h"
#include "register/key_fixture.h"
#include "register_mode_print.h"
#include "sale/suspend.h"
#include "sale/totals.h"

namespace tarvo {
namespace {

std::string Cents(Money m) { return m.Format("0.00"); }
Money Price(const char* text) { return *Money::Parse(text); }

struct Product {
    std::string number, key, description, taxes, price, units;
    bool weighed = false;
};

class SuspendTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoadStore();
        gSale.gMode = RegisterMode::Sales;
        Suspend_CheckAtLoad();
    }

    // What the program loads at start: settings, staff, clients, products.
    void LoadStore() {
        gSettings.gTaxDefaultRate = {5, 8, 0};
        gData.ManagerTable = {ManagerRow{}, ManagerRow{"00000001", "111", "First", "1"},
                              ManagerRow{"00000002", "222", "Second", "1"}};
        gData.gManagerCount = 2;
        gData.SalesmanTable = {SalesmanRow{}};
        for (int i = 1; i <= 5; ++i)
            gData.SalesmanTable.push_back(SalesmanRow{"0000000" + std::to_string(i), "S" + std::to_string(i), "Rep"});
        gData.gSalesmanCount = 5;

        std::string clients;
        for (const char* id : {"1", "C77"})
            clients += Fixed(210, {{1, id}, {11, "0"}, {12, id}, {20, "Client"}, {205, "0"}, {210, "1"}}) + "\r\n";
        dir.Write("Files/" + std::string(kTerminal) + ".CLI", clients);
        Parse_FileClient();
        ASSERT_EQ(gData.gClientCount, 2);

        std::vector<std::string> lines;
        for (const Product& p : products) {
            std::string r = Fixed(273, {{1, p.number},
                                        {12, p.key},
                                        {60, p.description},
                                        {90, p.taxes},
                                        {94, "DEPT"},
                                        {100, p.price},
                                        {175, p.units}});
            if (p.weighed) r[8] = 'S';
            lines.push_back(r);
        }
        dir.Write("Files/" + std::string(kTerminal) + ".PRD", CrLf(lines));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, static_cast<std::int32_t>(products.size()));
    }

    // The program closed and started again: every program-wide value fresh,
    // the store loaded, the register's load check.
    void Restart() {
        Data_Reset(gData);
        ResetProgramState();
        gReg = RegisterState{};
        gSale = SaleState{};
        Setup_Initialize(gSettings);
        FillTextTables(gConstants.tables);
        UseTerminalFolder(dir.Path(), kTerminal);
        LoadStore();
        gSale.gMode = RegisterMode::Sales;
        Suspend_CheckAtLoad();
    }

    void Line(const std::string& key, double quantity, const char* list, const char* unit, const std::string& note = "",
              bool hasNote = false, bool kit = false, const std::string& taxFlags = "tt ") {
        SaleState& s = gSale;
        const int n = ++s.gItemCount;
        s.gLines[n].key = key;
        s.gLines[n].description = "On the receipt";
        s.gLines[n].quantity = quantity;
        s.gLines[n].listPrice = Price(list);
        s.gLines[n].unitPrice = Price(unit);
        s.gLines[n].priceUnits = 1;
        s.gLines[n].taxFlags = taxFlags;
        s.gLines[n].note = note;
        s.gLines[n].hasNote = hasNote;
        s.gLines[n].kitComponent = kit;
    }

    // A sale with a manager, a salesperson, a client, a discount, a reference,
    // tax 2 and 3 exempt, a manual price, a note and a kit component.
    void TheSale() {
        SaleState& s = gSale;
        gReg.gManagerIndex = 2;
        s.gSalesmanIndex = 5;
        s.gClientCode = "C77";
        s.gSaleReference = "PO 17";
        s.gTaxExempt = {false, false, true, true};
        s.gTaxStatus = 7;
        s.gTaxRate = {0, 5, 8, 0};  // the store's default rates
        Line("HOSE", 2, "4", "3.5", "Manual Price");
        Line("NOZZLE", 0.5, "12.5", "12.5", "Discount $1.25 (a, long note text)", true, false, "tn ");
        Line("WASHER", 1, "0", "0", "", false, true, "nt ");
        ASSERT_TRUE(Totals_Update());
        s.gSaleDiscount = Price("3.33");
        ASSERT_TRUE(Totals_Update());
    }

    std::string FileText() const {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(Suspend_Path(), text));
        return text;
    }

    std::vector<Product> products{
        {"1001", "HOSE", "Garden hose", "11", "4.00", ""},
        {"1002", "NOZZLE", "Spray nozzle", "10", "12.50", ""},
        {"1003", "WASHER", "Washer", "01", "0.10", "10"},
    };
};

TEST_F(SuspendTest, TheSuspendedSaleFileHoldsTheHeaderAndOneRecordPerLine) {
    TheSale();
    Suspend_Store();

    const std::string expected = "00000002C77     00000005-3.33    PO 17               3  011\r\n"
                                 "HOSE                2        4        3.5      Manual Price         00\r\n"
                                 "NOZZLE              .5       12.5     12.5     Discount $1.25 (a, lo10\r\n"
                                 "WASHER              1        0        0                             01\r\n";
    EXPECT_EQ(FileText(), expected);
    EXPECT_TRUE(gSale.gSuspended);
    EXPECT_EQ(MessageLine(), "Transaction Suspended Successfully");
    // A new, empty sale.
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(Cents(gSale.gSaleDiscount), "0.00");
    EXPECT_EQ(gSale.gSaleReference, "");
    EXPECT_FALSE(gSale.gTaxExempt[2]);
    EXPECT_EQ(gReg.gManagerIndex, 0);
}

TEST_F(SuspendTest, TheSuspendedSaleFileIsReadableByItsOwnerOnly) {
    TheSale();
    Suspend_Store();
    struct stat st {};
    ASSERT_EQ(::stat(Suspend_Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(SuspendTest, ASaleSuspendedBeforeARestartIsRecalledWholeAfterIt) {
    TheSale();
    const Money total = gSale.gTotal;
    Suspend_Store();
    const std::string stored = FileText();

    Restart();
    EXPECT_TRUE(gSale.gSuspended);

    // A second sale cannot be suspended over the waiting one.
    Line("HOSE", 1, "4", "4");
    Suspend_Store();
    EXPECT_EQ(MessageLine(), "Not Allowed - There Is a Suspended Transaction");
    EXPECT_EQ(FileText(), stored);
    EXPECT_EQ(gSale.gItemCount, 1);
    gSale.gItemCount = 0;

    Suspend_Recall();
    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 3);
    const struct {
        const char* key;
        const char* product;
        const char* description;
        double quantity;
        const char* list;
        const char* unit;
        const char* extension;
        const char* note;
        bool hasNote, kit;
        const char* taxFlags;
    } lines[] = {
        {"HOSE", "1001", "Garden hose", 2, "4.00", "3.50", "7.00", "Manual Price", false, false, "tt "},
        {"NOZZLE", "1002", "Spray nozzle", 0.5, "12.50", "12.50", "6.25", "Discount $1.25 (a, lo", true, false, "tn "},
        {"WASHER", "1003", "Washer", 1, "0.00", "0.00", "0.00", "", false, true, "nt "},
    };
    for (int i = 1; i <= 3; ++i) {
        const auto& l = lines[i - 1];
        SCOPED_TRACE(l.key);
        EXPECT_EQ(s.gLines[i].key, l.key);
        EXPECT_EQ(s.gLines[i].product, l.product);
        EXPECT_EQ(s.gLines[i].description, l.description);
        EXPECT_EQ(s.gLines[i].quantity, l.quantity);
        EXPECT_EQ(Cents(s.gLines[i].listPrice), l.list);
        EXPECT_EQ(Cents(s.gLines[i].unitPrice), l.unit);
        EXPECT_EQ(Cents(s.gLines[i].extension), l.extension);
        EXPECT_EQ(s.gLines[i].note, l.note);
        EXPECT_EQ(s.gLines[i].hasNote, l.hasNote);
        EXPECT_EQ(s.gLines[i].kitComponent, l.kit);
        EXPECT_EQ(s.gLines[i].taxFlags, l.taxFlags);
    }
    EXPECT_EQ(s.gLines[3].priceUnits, 10);
    EXPECT_EQ(Cents(s.gSaleDiscount), "3.33");
    EXPECT_EQ(s.gSaleReference, "PO 17");
    EXPECT_FALSE(s.gTaxExempt[1]);
    EXPECT_TRUE(s.gTaxExempt[2]);
    EXPECT_TRUE(s.gTaxExempt[3]);
    EXPECT_EQ(s.gTaxStatus, 7);
    EXPECT_EQ(gReg.gManagerIndex, 2);
    EXPECT_EQ(s.gSalesmanIndex, 5);
    EXPECT_EQ(gData.gClientRecNo, 2);
    EXPECT_EQ(s.gClientCode, "C77");
    // 7.00 + 6.25 less 3.33, tax 1 at 5 % on 7.00 (the discount stays off
    // the mixed-flag bases), tax 2 exempt.
    EXPECT_EQ(Cents(s.gSubtotal), "13.25");
    EXPECT_EQ(Cents(s.gTax2), "0.00");
    EXPECT_EQ(Cents(s.gTax1), "0.66");
    EXPECT_EQ(Cents(s.gTotal), "10.58");
    EXPECT_EQ(s.gTotal, total);
    EXPECT_FALSE(s.gSuspended);
    EXPECT_FALSE(FileExists(Suspend_Path()));
    EXPECT_EQ(MessageLine(), "Transaction Recalled Successfully");

    // Nothing waits any more, after a restart too.
    Restart();
    EXPECT_FALSE(gSale.gSuspended);
}

TEST_F(SuspendTest, RecallBuildsEachLineFromTheStoredValuesOnly) {
    gSettings.gScalePort = 1;
    // An embedded-price layout that "21234500257" would match: "2", product
    // code 12345, price 2.57.
    gSettings.gPricePrefixStart = 1;
    gSettings.gPricePrefixEnd = 1;
    gSettings.gPricePrefix = "2";
    gSettings.gPriceCodeStart = 2;
    gSettings.gPriceCodeEnd = 6;
    gSettings.gPriceValueStart = 7;
    gSettings.gPriceValueEnd = 11;
    products = {
        {"2001", "12345", "Split target", "11", "9.00", ""},
        {"2002", "21234500257", "Whole code", "11", "5.00", ""},
        {"2003", "APPLES", "Apples by weight", "00", "2.00", "", true},
        {"2004", "PEARS", "Pears", "00", "3.00", ""},
    };
    Restart();
    gData.gManualPrice = false;
    dir.Write("Data/" + std::string(kTerminal) + ".Sus",
              std::string(24, ' ') + "0        " + std::string(20, ' ') +
                  "4  000\r\n"
                  "21234500257         1        5        4.75                          00\r\n"
                  "APPLES              1.235    2        2                             00\r\n"
                  "GONE                1        1        1        a note               10\r\n"
                  "PEARS               -1       3        3                             00\r\n");
    Suspend_CheckAtLoad();
    ASSERT_TRUE(gSale.gSuspended);

    Suspend_Recall();
    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 3);
    // The whole code is the product, not a price inside a code.
    EXPECT_EQ(s.gLines[1].key, "21234500257");
    EXPECT_EQ(s.gLines[1].product, "2002");
    EXPECT_EQ(Cents(s.gLines[1].unitPrice), "4.75");
    EXPECT_FALSE(gData.gManualPrice);
    // The weighed product comes back with its weight; no scale is asked.
    EXPECT_EQ(s.gLines[2].key, "APPLES");
    EXPECT_EQ(s.gLines[2].quantity, 1.235);
    EXPECT_EQ(Cents(s.gLines[2].extension), "2.47");
    EXPECT_FALSE(keys.Called("Scale_Open"));
    // The line of the removed product is dropped; its values go nowhere.
    EXPECT_EQ(s.gLines[3].key, "PEARS");
    EXPECT_EQ(s.gLines[3].quantity, -1);
    EXPECT_EQ(s.gLines[3].note, "");
    EXPECT_FALSE(s.gLines[3].hasNote);
    EXPECT_EQ(Cents(s.gLines[3].extension), "-3.00");
    EXPECT_EQ(Cents(s.gSubtotal), "4.22");
    EXPECT_EQ(s.gTaxStatus, 0);
    EXPECT_FALSE(s.gSuspended);
}

TEST_F(SuspendTest, ASaleWhoseProductsAllLeftTheFileStaysSuspendedWithoutItsDiscount) {
    TheSale();
    Suspend_Store();
    ASSERT_TRUE(gSale.gSuspended);
    products.clear();
    Restart();
    Suspend_Recall();
    const SaleState& s = gSale;
    EXPECT_EQ(s.gItemCount, 0);
    EXPECT_TRUE(s.gSaleDiscount.IsZero());
    EXPECT_TRUE(s.gTotal.IsZero());
    EXPECT_EQ(screen.Text(kMessageLine), "Suspended Sale Kept: None of Its Products Is on File");
    EXPECT_NE(dir.Read("Files/" + std::string(kTerminal) + ".LOG").find("Suspend_Recall: none of the suspended"),
              std::string::npos);
    EXPECT_TRUE(FileExists(Suspend_Path()));
}

TEST_F(SuspendTest, AHeaderWithoutAValidLineCountLeavesTheSaleWaiting) {
    for (const char* count : {"0  ", "   ", "-1 ", "abc"}) {
        SCOPED_TRACE(count);
        const std::string header = std::string(53, ' ') + count + "000\r\n";
        dir.Write("Data/" + std::string(kTerminal) + ".Sus",
                  header + "HOSE                1        4        4                             00\r\n");
        Suspend_CheckAtLoad();
        Suspend_Recall();
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_TRUE(gSale.gSuspended);
        EXPECT_TRUE(FileExists(Suspend_Path()));
    }
}

TEST_F(SuspendTest, ARefusedSuspendKeepsTheSaleOnTheReceipt) {
    Suspend_Store();
    EXPECT_EQ(MessageLine(), "Invalid Entry, Nothing to Suspend");
    EXPECT_FALSE(FileExists(Suspend_Path()));

    // A price too long for its 9-character field.
    Line("HOSE", 1, "4", "123456.789");
    Suspend_Store();
    EXPECT_EQ(MessageLine().rfind("Error", 0), 0u) << MessageLine();
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_FALSE(gSale.gSuspended);
    EXPECT_FALSE(FileExists(Suspend_Path()));

    // A data folder that cannot be written.
    gSale.gLines[1].unitPrice = Price("4");
    gConstants.paths.gDataPath = dir.Path() + "/Missing/" + kTerminal;
    Suspend_Store();
    EXPECT_EQ(MessageLine().rfind("Error", 0), 0u) << MessageLine();
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(Cents(gSale.gLines[1].unitPrice), "4.00");
    EXPECT_FALSE(gSale.gSuspended);
}

TEST_F(SuspendTest, RecallNeverDropsASaleInProgressAndForgetsAMissingFile) {
    TheSale();
    Suspend_Store();
    Line("HOSE", 1, "4", "4");
    Suspend_Recall();
    EXPECT_EQ(gSale.gItemCount, 1);
    EXPECT_TRUE(FileExists(Suspend_Path()));
    EXPECT_TRUE(gSale.gSuspended);

    gSale.gItemCount = 0;
    Suspend_False();
    EXPECT_FALSE(FileExists(Suspend_Path()));
    gSale.gSuspended = true;  // the flag out of step with the folder
    Suspend_Recall();
    EXPECT_FALSE(gSale.gSuspended);
    EXPECT_EQ(gSale.gItemCount, 0);
}

}  // namespace
}  // namespace tarvo
