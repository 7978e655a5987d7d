#include "online/online_page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "card/card_payments.h"
#include "config/constants.h"
#include "online/online_services.h"
#include "online/price_change.h"
#include "platform/background_runner.h"
#include "register/key_fixture.h"
#include "register/register_keys.h"
#include "register_mode_print.h"

namespace tarvo {
namespace {

class OnlinePageTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        Reg().services.online = &online;
        gSettings.gExtrasPageOn = true;
        gConstants.servers.gServerSlot = 1;
        gConstants.servers.gServerUrls = {"http://one.example/d?", "http://two.example/d?"};
    }

    // A key of the Online page as the cashier touches it, what was typed first.
    void Touch(int key, const std::string& typed = "") {
        gReg.gKeyPage = KeyPage::Extras;
        Type(typed);
        mDept_Click(key);
    }
    std::string Log() const {
        std::ifstream in(gConstants.paths.gFilesPath + ".LOG");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    OnlineServices online;
    OnlineChains chains;
    WebOrderImport imports;
};

// The page's own keys carry their captions in both languages; the stock-check
// key says what a touch would do.
TEST_F(OnlinePageTest, ThePageShowsItsKeysAndTheStockCheckKeySaysWhatItWouldDo) {
    struct Case {
        std::int16_t language;
        bool stockCheckOn;
        const char* key22;
        const char* key5;
    } cases[] = {
        {1, false, "Stock Check\r\nActivate", "Test Online\r\nServer"},
        {1, true, "StockCheck\r\nDeactivate", "Test Online\r\nServer"},
        {2, false, "V\xE9rif. Stock\r\nActiver", "\xC9valuez\r\nle Serveur"},
        {2, true, "V\xE9rif.Stock\r\nD\xE9sactiver", "\xC9valuez\r\nle Serveur"},
    };
    for (const auto& c : cases) {
        gSettings.gLanguage = c.language;
        gSettings.gOnlineStockCheck = c.stockCheckOn;
        BSys_Click(3);
        EXPECT_EQ(gReg.gKeyPage, KeyPage::Extras);
        EXPECT_EQ(screen.Caption(SoftKeyId(22)), c.key22);
        EXPECT_EQ(screen.Caption(SoftKeyId(5)), c.key5);
        for (int k : {3, 4, 5, 6, 7, 22}) EXPECT_TRUE(screen.Enabled(SoftKeyId(k))) << k << " " << c.language;
        for (int k : {8, 10, 11, 12, 17, 18, 19, 20, 23}) EXPECT_FALSE(screen.Enabled(SoftKeyId(k))) << k;
    }
}

TEST_F(OnlinePageTest, ChecksComeInOrderAndRefusalsChangeNothing) {
    struct Case {
        const char* what;
        RegisterMode mode;
        bool saleOpen;
        int key;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"another mode refuses every key", RegisterMode::OrderEntry, false, 6, "",
         "Invalid Entry, Operation Cancelled"},
        {"another mode refuses a key with a number", RegisterMode::ReceivePO, false, 2, "123",
         "Invalid Entry, Operation Cancelled"},
        {"mid-sale before the number", RegisterMode::Sales, true, 2, "", "Operation Not Allowed in Mid Sale"},
        {"number missing", RegisterMode::Sales, false, 2, "", "Document Number is Required"},
        {"labels need a number", RegisterMode::Sales, false, 4, "", "Document Number is Required"},
        {"key 3 checks only", RegisterMode::Sales, false, 3, "123", ""},
        {"an empty key", RegisterMode::Sales, false, 8, "5", ""},
        {"not built yet", RegisterMode::Sales, false, 2, "123", "Invalid Entry"},
        {"not built yet, no number needed", RegisterMode::Sales, false, 21, "", "Invalid Entry"},
        {"the server switch allows a sale", RegisterMode::Sales, true, 6, "", "Switched to Server  2"},
    };
    for (const auto& c : cases) {
        gSale.gMode = c.mode;
        gSale.gItemCount = 0;
        if (c.saleOpen) AddLine("1001", 1, Money::FromUnits(2));
        gConstants.servers.gServerSlot = 1;
        screen.SetText(kMessageLine, "");
        Touch(c.key, c.typed);
        EXPECT_EQ(MessageLine(), c.shown) << c.what;
        EXPECT_EQ(gSale.gItemCount, c.saleOpen ? 1 : 0) << c.what;
        EXPECT_EQ(gSale.gMode, c.mode) << c.what;
        EXPECT_EQ(gConstants.servers.gServerSlot, c.key == 6 && c.mode == RegisterMode::Sales ? 2 : 1) << c.what;
    }
    EXPECT_NE(Log().find("Online: fetching a purchase order"), std::string::npos);
}

TEST_F(OnlinePageTest, KeysThatResetTheEntryDropItBeforeRefusingMidSale) {
    AddLine("1001", 1, Money::FromUnits(2));
    for (int key : {16, 21, 24}) {
        Type("55");
        Online_Process(key, chains, imports);
        EXPECT_EQ(Entry(), "") << key;
        EXPECT_EQ(MessageLine(), "Operation Not Allowed in Mid Sale") << key;
    }
    // the others keep what was typed when they refuse
    Type("55");
    Online_Process(2, chains, imports);
    EXPECT_EQ(Entry(), "55");
}

TEST_F(OnlinePageTest, TheCardToolKeysReachTheCardPayments) {
    // Without card payments the keys say so.
    Touch(14);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    // With them, key 14 asks for the terminal's address.
    CardPayments cards;
    Reg().services.card = &cards;
    Touch(14);
    ASSERT_FALSE(screen.InputBoxes().empty());
    EXPECT_EQ(screen.InputBoxes().back(), "Input Terminal's IP Address: (Or Enter to abort)");
    Reg().services.card = nullptr;
}

TEST_F(OnlinePageTest, ServerSwitchAlternatesAndEveryRequestFollows) {
    Touch(6);
    EXPECT_EQ(MessageLine(), "Switched to Server  2");
    EXPECT_EQ(gConstants.servers.RequestPrefix(), "http://two.example/d?");
    EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
    Touch(6);
    EXPECT_EQ(MessageLine(), "Switched to Server  1");
    EXPECT_EQ(gConstants.servers.RequestPrefix(), "http://one.example/d?");
}

TEST_F(OnlinePageTest, DeviceCheckWantsAManager) {
    gData.ManagerTable.resize(2);
    gData.ManagerTable[1].ManagerKey = "9999";
    gData.gManagerCount = 1;
    Touch(9, "1234");
    EXPECT_EQ(MessageLine(), "Manager Not Allowed Access");
    screen.SetText(kMessageLine, "");
    Touch(9, "9999");
    EXPECT_EQ(MessageLine(), "");
}

TEST_F(OnlinePageTest, ServicesNotBuiltSayInvalidEntryAndSendNothing) {
    bool sent = true;
    online.Document_Send(RegisterMode::NewPurchaseOrder, [&sent](bool s) { sent = s; });
    EXPECT_FALSE(sent);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    for (OnlineService* o : {static_cast<OnlineService*>(&online), static_cast<OnlineService*>(&services)}) {
        screen.SetText(kMessageLine, "");
        o->Online_Service_UPS("1", "2");
        EXPECT_EQ(MessageLine(), "Invalid Entry");
    }
    // The price change needs the register's runner as well.
    screen.SetText(kMessageLine, "");
    Online_Service_ChangePrice("1001", "2.50");
    EXPECT_EQ(MessageLine(), "Invalid Entry");
}

// The server test waits for the server on the background runner: the keys
// stay locked and the message line names the server until the answer is back.
TEST_F(OnlinePageTest, ServerTestRunsInTheBackgroundWithTheKeysLocked) {
    DispatcherStub server;
    ASSERT_TRUE(server.Bound());
    server.UseAsSlot(1);
    ManualRunner runner;
    Reg().runner = &runner;
    BSys_Click(3);
    ASSERT_TRUE(screen.Enabled(SoftKeyId(6)));

    struct Case {
        int status;
        const char* reply;
        const char* shown;
    } cases[] = {
        {200, "<test>Test Successful</test>", "Test Successful "},
        {200, "<test>Database offline</test>", "Test Unsuccessful Database offline"},
        {500, "<test>Test Successful</test>", "Test Resulted in an error"},
    };
    for (const auto& c : cases) {
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        server.SetHandler([released, c](const DispatcherCall&) {
            released.wait();
            return DispatcherAnswer{c.status, c.reply};
        });
        Touch(5);
        EXPECT_EQ(MessageLine(), "Testing server 1 at " + server.Host().substr(server.Host().size() - 3)) << c.reply;
        EXPECT_FALSE(screen.Enabled(SoftKeyId(6))) << "keys locked while the server is asked";
        EXPECT_FALSE(screen.Enabled(SoftKeyId(5)));
        EXPECT_FALSE(screen.Enabled(ControlId{Control::BReg, 4})) << "Enter locked too";
        release.set_value();
        ASSERT_EQ(runner.WaitAndRun(10000), 1);
        EXPECT_EQ(MessageLine(), c.shown);
        EXPECT_TRUE(screen.Enabled(SoftKeyId(6)));
        EXPECT_EQ(server.LastCall().query, "task=0");
    }
    EXPECT_NE(Log().find("Back office request failed: HTTP status 500"), std::string::npos);
    Reg().runner = nullptr;
}

}  // namespace
}  // namespace tarvo
