// Client attachment: the sale's client fields from a client-file record and
// from a client entered at this register, the client discount on every line
// or as a sale discount, and the client name search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/money.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/indexes.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "register/register_fixture.h"
#include "sale/clients.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

std::string Amt(Money m) { return m.Format("#0.0000"); }
Money M(const char* text) { return *Money::Parse(text); }

class ClientKeys : public RegisterServices {
public:
    std::vector<std::string> calls;
    SearchFormSetup searchForm;
    void SearchForm_Show(const SearchFormSetup& setup) override {
        calls.push_back("SearchForm_Show");
        searchForm = setup;
    }
};

struct ClientSpec {
    const char* id = "C0001";
    const char* accountType = "3";
    const char* number = "1001";
    const char* name = "Marlowe Hardware";
    const char* address1 = "12 Quay Street";
    const char* address2 = "";
    const char* address3 = "Portsby";
    const char* phone = "555 0142";
    const char* extra = "TAX-123";
    const char* discount = "";
    const char* level = "";
};

std::string ClientRecord(const ClientSpec& c) {
    return Fixed(212, {{1, c.id},
                       {11, c.accountType},
                       {12, c.number},
                       {20, c.name},
                       {50, c.address1},
                       {80, c.address2},
                       {110, c.address3},
                       {140, c.phone},
                       {190, c.extra},
                       {205, c.discount},
                       {210, c.level}});
}

class ClientsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Reg().services = &keys;
        UseTerminalFolder(dir.Path());
        ASSERT_TRUE(gData.clients.Open(dir / "clients.wrk", 300, true));
    }
    void TearDown() override {
        Data_CloseAll(gData);
        RegisterTest::TearDown();
    }
    void Clients(const std::vector<ClientSpec>& specs) {
        int k = 0;
        for (const ClientSpec& c : specs) ASSERT_TRUE(gData.clients.Write(++k, ClientRecord(c)));
        gData.gClientCount = k;
    }
    void AddLine(const char* price, double quantity, double priceUnits = 1) {
        const auto n = static_cast<std::size_t>(++gSale.gItemCount);
        gSale.gLines[n].unitPrice = M(price);
        gSale.gLines[n].quantity = quantity;
        gSale.gLines[n].priceUnits = priceUnits;
        gSale.gLines[n].description = "Item";
    }

    TestDir dir;
    ClientKeys keys;
};

TEST_F(ClientsTest, FieldsFromTheClientRecord) {
    Clients({ClientSpec{.discount = "12.5", .level = "3"}});
    gData.gClientRecNo = 1;
    Client_GetInformation();
    const SaleState& s = gSale;
    EXPECT_EQ(gData.gClientRec, ClientRecord(ClientSpec{.discount = "12.5", .level = "3"}));
    EXPECT_EQ(s.gClientCode, "C0001");
    EXPECT_EQ(s.gClientAccountType, "3");
    EXPECT_EQ(s.gClientNumber, "1001");
    EXPECT_EQ(s.gClientName, "Marlowe Hardware");
    // An empty address line still gets its blank on each side.
    EXPECT_EQ(s.gClientAddress, "12 Quay Street  Portsby");
    EXPECT_EQ(s.gClientPhone, "555 0142");
    EXPECT_EQ(s.gClientExtra, "TAX-123");
    EXPECT_EQ(s.gClientDiscount, 12.5);
    EXPECT_EQ(s.gClientPriceLevel, 3);
}

TEST_F(ClientsTest, PriceLevelOutsideOneToFiveIsOne) {
    const std::vector<std::pair<const char*, int>> cases{{"1", 1}, {"5", 5}, {"7", 1}, {"0", 1}, {"", 1}, {"A", 1}};
    std::vector<ClientSpec> specs;
    for (const auto& c : cases) specs.push_back(ClientSpec{.level = c.first});
    Clients(specs);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].first);
        gSale.gClientPriceLevel = 4;
        gData.gClientRecNo = static_cast<std::int32_t>(i + 1);
        Client_GetInformation();
        EXPECT_EQ(gSale.gClientPriceLevel, cases[i].second);
    }
}

TEST_F(ClientsTest, NewClientHasLevelOneAndNoDiscount) {
    // The new-client file: header record, then the entered client.
    std::string rec =
        Fixed(220, {{1, "N"}, {3, " 2002"}, {11, "  Dorrit Florist"}, {56, "3 Lane End"}, {188, "555 9911"}});
    {
        WorkFile f;
        ASSERT_TRUE(f.Open(gConstants.paths.gDataPath + ".NWC", 500, true));
        ASSERT_TRUE(f.Write(1, "1"));
        ASSERT_TRUE(f.Write(2, rec));
    }
    gSale.gSaleClientId = " N0002 ";
    gSale.gClientDiscount = 10;
    gSale.gClientPriceLevel = 4;
    gSale.gClientExtra = "old";
    gSale.gClientAccountType = "3";
    gData.gClientRecNo = 0;
    gData.gNewClientRecNo = 2;
    Client_Process();
    const SaleState& s = gSale;
    EXPECT_EQ(s.gClientCode, "N0002");
    EXPECT_EQ(s.gClientNumber, "2002");
    EXPECT_EQ(s.gClientName, "Dorrit Florist");
    EXPECT_EQ(s.gClientAddress, "3 Lane End");
    EXPECT_EQ(s.gClientPhone, "555 9911");
    EXPECT_EQ(s.gClientExtra, "");
    EXPECT_EQ(s.gClientDiscount, 0);
    EXPECT_EQ(s.gClientPriceLevel, 1);
    EXPECT_EQ(s.gClientAccountType, "3");
    EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::Client) + " Dorrit Florist");
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);
    EXPECT_TRUE(screen.Text(kMessageBox).find("Dorrit Florist") != std::string::npos);
    EXPECT_TRUE(keys.calls.empty());
}

struct LineDiscountCase {
    const char* discount;
    const char* price;
    double quantity;
    double priceUnits;
    const char* unitPrice;
    const char* extension;
    const char* note;
};

TEST_F(ClientsTest, DiscountOnEveryLine) {
    const LineDiscountCase cases[] = {
        {"10", "19.99", 1, 1, "17.99", "17.99", " 10 ($19.99)"},  // 17.991
        {"10", "2.50", 3, 1, "2.25", "6.75", " 10 ($2.5)"},
        {"10", "1.99", 3, 2, "1.79", "2.69", " 10 ($1.99)"},      // 1.791; 2.685 -> 2.69
        {"12.5", "9.99", 1, 1, "8.74", "8.74", " 12.5 ($9.99)"},  // 8.74125
        {"10", "0.05", 1, 1, "0.05", "0.05", " 10 ($0.05)"},      // 0.045 -> 0.05
        {"100", "4.00", 2, 1, "0.00", "0.00", " 100 ($4)"},
    };
    gSettings.gClientDiscountAllLines = true;
    for (const LineDiscountCase& c : cases) {
        SCOPED_TRACE(std::string(c.discount) + " on " + c.price);
        gSale = SaleState{};
        keys.calls.clear();
        Clients({ClientSpec{.discount = c.discount}});
        AddLine(c.price, c.quantity, c.priceUnits);
        gData.gClientRecNo = 1;
        Client_Process();
        EXPECT_EQ(Amt(gSale.gLines[1].unitPrice), Amt(M(c.unitPrice)));
        EXPECT_EQ(Amt(gSale.gLines[1].extension), Amt(M(c.extension)));
        EXPECT_EQ(gSale.gLines[1].note, Msg(Message::DsctPercent) + c.note);
        EXPECT_TRUE(gSale.gLines[1].hasNote);
        EXPECT_EQ(Amt(gSale.gTotal), Amt(M(c.extension)));
        EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::DiscountPercent) + c.discount);
        // No sale discount on top of the line discount.
        EXPECT_TRUE(gSale.gSaleDiscount.IsZero());
    }
}

TEST_F(ClientsTest, DiscountTouchesOnlyTheLinesAlreadyInTheSale) {
    gSettings.gClientDiscountAllLines = true;
    Clients({ClientSpec{.discount = "20"}});
    AddLine("10.00", 1);
    AddLine("5.00", 2);
    gData.gClientRecNo = 1;
    Client_Process();
    EXPECT_EQ(Amt(gSale.gLines[1].unitPrice), "8.0000");
    EXPECT_EQ(Amt(gSale.gLines[2].unitPrice), "4.0000");
    EXPECT_EQ(Amt(gSale.gTotal), "16.0000");
    EXPECT_EQ(gSale.gLines[3].note, "");
    EXPECT_FALSE(gSale.gLines[3].hasNote);
}

TEST_F(ClientsTest, LineDiscountThatDoesNotFitLeavesTheLinesAlone) {
    gSettings.gClientDiscountAllLines = true;
    Clients({ClientSpec{.discount = "10"}});
    AddLine("19.99", 1);
    AddLine("900000000", 1e9);  // the extension leaves the currency range
    gData.gClientRecNo = 1;
    Client_Process();
    EXPECT_EQ(Amt(gSale.gLines[1].unitPrice), "19.9900");
    EXPECT_EQ(Amt(gSale.gLines[2].unitPrice), "900000000.0000");
    EXPECT_EQ(gSale.gLines[1].note, "");
    EXPECT_FALSE(gSale.gLines[1].hasNote);
    EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::InvalidEntry));
}

TEST_F(ClientsTest, DiscountWithoutThePerLineOptionIsASaleDiscount) {
    Clients({ClientSpec{.discount = "10"}, ClientSpec{.discount = "7.5"}});
    AddLine("19.99", 1);
    Totals_Update();  // the subtotal as the line's entry left it
    gData.gClientRecNo = 1;
    Client_Process();
    // The line keeps its price; the sale takes 10 % of $19.99, rounded up to
    // the cent, off its total.
    EXPECT_EQ(Amt(gSale.gLines[1].unitPrice), "19.9900");
    EXPECT_EQ(Amt(gSale.gSaleDiscount), "2.0000");
    EXPECT_EQ(Amt(gSale.gTotal), "17.9900");
    EXPECT_EQ(gSale.gLines[1].note, "Total Discount -$2.00");
    EXPECT_EQ(screen.Text(kMessageLine), "Discount Applied -$2.00");
    EXPECT_EQ(screen.Text(kEntryBox), "");

    keys.calls.clear();
    gData.gClientRecNo = 2;
    Client_Process();
    // 7.5 % of $19.99 is $1.49925: $1.50 in place of the first client's discount.
    EXPECT_EQ(Amt(gSale.gSaleDiscount), "1.5000");
    EXPECT_EQ(Amt(gSale.gTotal), "18.4900");
    EXPECT_EQ(screen.Text(kMessageLine), "Discount Applied -$1.50");
}

TEST_F(ClientsTest, DiscountOutsideOneToHundredIsNotApplied) {
    for (bool perLine : {true, false}) {
        for (const char* discount : {"0", "-5", "100.5", "150", ""}) {
            SCOPED_TRACE(std::string(discount) + (perLine ? " per line" : " sale"));
            gSettings.gClientDiscountAllLines = perLine;
            gSale = SaleState{};
            keys.calls.clear();
            Clients({ClientSpec{.discount = discount}});
            AddLine("19.99", 1);
            gData.gClientRecNo = 1;
            Client_Process();
            EXPECT_EQ(Amt(gSale.gLines[1].unitPrice), "19.9900");
            EXPECT_FALSE(gSale.gLines[1].hasNote);
            EXPECT_TRUE(gSale.gSaleDiscount.IsZero());
            EXPECT_TRUE(keys.calls.empty());
            EXPECT_EQ(screen.Text(kMessageLine), Msg(Message::Client) + " Marlowe Hardware");
        }
    }
}

TEST_F(ClientsTest, NameSearchOpensTheSearchForm) {
    Clients({ClientSpec{.name = "Marlowe Hardware"},
             ClientSpec{.id = "C0002", .number = "1002", .name = "Orchard Cafe"}});
    Index_Client();
    screen.SetText(kEntryBox, "orch");
    Aux_Client();
    EXPECT_EQ(gData.gSearchText, "orch");
    EXPECT_EQ(screen.Text(kEntryBox), "");
    ASSERT_EQ(keys.calls, std::vector<std::string>{"SearchForm_Show"});
    EXPECT_EQ(keys.searchForm, (SearchFormSetup{2, 22, {4, 8, 20, 30, 16, 2, 6, 14}, 10}));
    EXPECT_NE(gData.gSearchLast, 0);

    keys.calls.clear();
    screen.SetText(kEntryBox, "zebra");
    Aux_Client();
    EXPECT_TRUE(keys.calls.empty());
    EXPECT_EQ(screen.Text(kEntryBox), "");
}

}  // namespace
}  // namespace tarvo
