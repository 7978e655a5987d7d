#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "config/constants.h"
#include "online/online_services.h"
#include "online/purchase_orders.h"
#include "platform/background_runner.h"
#include "register/key_fixture.h"
#include "register/register_keys.h"
#include "register_mode_print.h"

namespace tarvo {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

const ControlId kTextPanel{Control::Txt_All, 0};

std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

class PurchaseOrderFetchTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        ASSERT_TRUE(server.Bound());
        server.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        gTerminalNumber = "1234567";
        Reg().services.online = &online;
        Reg().runner = &runner;
        gSettings.gExtrasPageOn = true;
        // product id (1-8), product number (12-31), description (60-89), department (94-99), price units (175-179)
        ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
        const char* products[][4] = {{"P100", "1001", "Coffee", "12"}, {"P200", "1002", "Decaf", "0"}};
        for (int i = 0; i < 2; ++i) {
            std::string rec(273, ' ');
            rec.replace(0, 4, products[i][0]);
            rec.replace(11, 4, products[i][1]);
            rec.replace(59, std::string(products[i][2]).size(), products[i][2]);
            rec.replace(93, 4, "GROC");
            rec.replace(174, std::string(products[i][3]).size(), products[i][3]);
            ASSERT_TRUE(gData.products.Write(i + 1, rec));
        }
        gData.gProductCount = 2;
        server.SetHandler([this](const DispatcherCall& call) {
            if (call.Task() == 7) return header;
            const std::string data = call.Param("data");
            const std::string line = data.substr(data.find("<line number>") + 13);
            auto it = lines.find(std::stoi(line));
            return it == lines.end() ? DispatcherAnswer{200, ""} : it->second;
        });
        Answers();
    }
    // A three-line order as the server answers it.
    void Answers() {
        header = {200, Tag("purchase order number", "77") + Tag("vendor number", "V1") +
                           Tag("vendor name", "Acme Foods") + Tag("city", "Laval") + Tag("last line", "3") +
                           Tag("line count", "3")};
        lines[1] = {200, Tag("product id", "P100") + Tag("product number", "1001") + Tag("order quantity", "12") +
                             Tag("unit cost", "2.5") + Tag("comment", "top shelf")};
        lines[2] = {200, Tag("product id", "P200") + Tag("product number", "1002") + Tag("order quantity", "6")};
        lines[3] = {200, Tag("product id", "P100") + Tag("product number", "1001") + Tag("order quantity", "1.5") +
                             Tag("unit cost", "3")};
    }
    void TearDown() override {
        Reg().runner = nullptr;
        KeyTest::TearDown();
    }

    // Key 2 with `typed` in the entry box, then every answer in turn: the
    // message line after each.
    std::vector<std::string> Fetch(const std::string& typed) {
        gReg.gKeyPage = KeyPage::Extras;
        Type(typed);
        mDept_Click(2);
        std::vector<std::string> shown{MessageLine()};
        while (runner.Pending() > 0) {
            if (runner.WaitAndRun(10000) == 0) break;
            shown.push_back(MessageLine());
        }
        return shown;
    }
    Pairs Expected(int task, const std::string& data) const {
        return {{"task", std::to_string(task)}, {"terminal", "1234567"}, {"debugmode", "0"}, {"data", data}};
    }

    DispatcherStub server;
    ManualRunner runner;
    OnlineServices online;
    DispatcherAnswer header;
    std::map<int, DispatcherAnswer> lines;
};

TEST_F(PurchaseOrderFetchTest, EveryLineComesAtQuantityZeroWithItsServerLineAndTheRegisterReceives) {
    BSys_Click(3);
    gReg.gKeyPage = KeyPage::Extras;
    Type("77");
    mDept_Click(2);
    EXPECT_EQ(MessageLine(), "Request In Progress ...");
    EXPECT_FALSE(screen.Enabled(SoftKeyId(6))) << "keys locked while the server is asked";
    std::vector<std::string> shown{MessageLine()};
    while (runner.Pending() > 0 && runner.WaitAndRun(10000) > 0) {
        shown.push_back(MessageLine());
        if (runner.Pending() > 0) {
            EXPECT_FALSE(screen.Enabled(SoftKeyId(6)));
        }
    }
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 4),
              (std::vector<std::string>{"Request In Progress ...", "Receiving Item 1 / 3", "Receiving Item 2 / 3",
                                        "Receiving Item 3 / 3"}));

    const auto calls = server.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].pairs, Expected(7, "<purchase order number>77</purchase order number>"));
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(calls[static_cast<std::size_t>(k)].pairs,
                  Expected(8, "<purchase order number>77</purchase order number><line number>" + std::to_string(k) +
                                  "</line number>"));

    const SaleState& s = gSale;
    ASSERT_EQ(s.gItemCount, 3);
    EXPECT_EQ(s.gMode, RegisterMode::ReceivePO);
    EXPECT_EQ(s.gFetchedDocNumber, "77");
    EXPECT_EQ(s.gPurchaseVendor, "V1");
    struct Want {
        const char* key;
        const char* product;
        const char* ordered;
        const char* cost;
        const char* note;
        double priceUnits;
    } want[] = {
        {"1001", "P100", "12", "2.5", "top shelf", 12},
        {"1002", "P200", "6", "0", "", 1},
        {"1001", "P100", "1.5", "3", "", 12},
    };
    for (int k = 1; k <= 3; ++k) {
        const SaleLine& line = s.gLines[static_cast<std::size_t>(k)];
        const Want& w = want[k - 1];
        EXPECT_EQ(line.key, w.key) << k;
        EXPECT_EQ(line.product, w.product) << k;
        EXPECT_EQ(line.description, k == 2 ? "Decaf" : "Coffee") << k;
        EXPECT_EQ(line.department, "GROC") << k;
        EXPECT_EQ(line.quantity, 0) << k;
        EXPECT_EQ(line.taxFlags, w.ordered) << k;
        EXPECT_EQ(line.unitPrice, *Money::Parse(w.cost)) << k;
        EXPECT_EQ(line.note, w.note) << k;
        EXPECT_EQ(line.hasNote, *w.note != 0) << k;
        EXPECT_EQ(line.priceUnits, w.priceUnits) << k;
        EXPECT_EQ(line.sourceIndex, k) << k;
    }
    // Only what the server gave shows, no label left without its value.
    EXPECT_EQ(screen.Text(kTextPanel), "PURCHASE ORDER: 77\r\nVendor: Acme Foods\r\nLaval\r\n\r\n\r\n\r\n\r\n"
                                       "(Touch or Click Enter Button to Continue)");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(6))) << "keys back once the order is in";
}

TEST_F(PurchaseOrderFetchTest, TheDetailsShowEveryPieceTheServerGaveInItsPlace) {
    header.body = Tag("purchase order number", "77") + Tag("vendor number", "V1") + Tag("vendor name", "Acme Foods") +
                  Tag("address", "1 Main St") + Tag("city", "Laval") + Tag("state", "QC") + Tag("country", "CA") +
                  Tag("zip code", "H7N 1A1") + Tag("transport", "Truck") + Tag("package", "3") + Tag("volume", "2") +
                  Tag("weight", "40") + Tag("comments", "back door") + Tag("contact", "Sam") +
                  Tag("vendor order number", "AC-9") + Tag("employee name", "Ann") + Tag("order date", "12-01-2026") +
                  Tag("delivery date", "12-15-2026") + Tag("cancel date", "12-31-2026") + Tag("ship name", "Store 4") +
                  Tag("ship address", "9 Dock Rd") + Tag("ship city", "Montreal") + Tag("ship state", "QC") +
                  Tag("ship country", "CA") + Tag("ship zip code", "H1A 2B2") + Tag("last line", "0");
    Fetch("77");
    ASSERT_EQ(gSale.gMode, RegisterMode::ReceivePO);
    EXPECT_EQ(screen.Text(kTextPanel), "PURCHASE ORDER: 77\r\n"
                                       "Vendor: Acme Foods\r\n"
                                       "1 Main St\r\n"
                                       "Laval QC CA H7N 1A1\r\n"
                                       "Transport: Truck Pkg: 3 Vol: 2 Weight: 40\r\n"
                                       "Comments:: back door\r\n"
                                       "Name of Contact:  Sam\r\n"
                                       "Order Ref. No.: AC-9\r\n"
                                       "Entry By: Ann\r\n"
                                       "Date: 12-01-2026 Delivery Date:12-15-2026 Cancelation Date: 12-31-2026\r\n"
                                       "Ship To: Store 4\r\n"
                                       "9 Dock Rd\r\n"
                                       "Montreal QC CA H1A 2B2\r\n"
                                       "\r\n(Touch or Click Enter Button to Continue)");
}

TEST_F(PurchaseOrderFetchTest, AStoppedFetchLeavesAFreshSaleAndItsMessage) {
    struct Case {
        const char* what;
        const char* typed;
        std::function<void()> fault;
        const char* shown;
        std::size_t requests;
    } cases[] = {
        {"a number with a letter", "12a", [] {}, "Invalid Entry", 0},
        {"a server error mid-way", "77",
         [this] {
             lines[2] = {500, ""};
         },
         "Communication error with server", 3},
        {"a reply cut short", "77",
         [this] {
             lines[3] = {200, "<product id>P1"};
         },
         "Error: Product Id Missing from Response", 4},
        {"an empty header", "77",
         [this] {
             header = {200, ""};
         },
         "Information Not Available/Denied", 1},
        {"no vendor", "77", [this] { header.body = Tag("purchase order number", "77"); },
         "Information Not Available/Denied", 1},
        {"too many lines", "77",
         [this] {
             header.body = Tag("purchase order number", "77") + Tag("vendor number", "V1") + Tag("last line", "401");
         },
         "Document Too Long: More Than 400 Lines", 1},
        {"a product not here", "77",
         [this] { lines[2].body = Tag("product id", "P9") + Tag("product number", "9999"); },
         "Error: Product Not Found Locally", 3},
        {"a cost that is not a number", "77",
         [this] {
             lines[1].body = Tag("product id", "P100") + Tag("product number", "1001") + Tag("unit cost", "2,50");
         },
         "Invalid Entry", 2},
    };
    for (const auto& c : cases) {
        Answers();
        c.fault();
        const std::size_t before = server.Calls().size();
        const auto shown = Fetch(c.typed);
        EXPECT_EQ(shown.back(), c.shown) << c.what;
        EXPECT_EQ(server.Calls().size() - before, c.requests) << c.what;
        EXPECT_EQ(gSale.gItemCount, 0) << c.what;
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales) << c.what;
        EXPECT_EQ(gSale.gFetchedDocNumber, "") << c.what;
        EXPECT_EQ(Entry(), "") << c.what;
    }
}

}  // namespace
}  // namespace tarvo
