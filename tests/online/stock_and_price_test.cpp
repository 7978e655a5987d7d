// The stock check and the price change against the dispatcher stand-in: what
// the cashier reads on the message line, what the back office was sent, and
// the product master and working file byte for byte after a price change.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "config/constants.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "online/online_services.h"
#include "online/price_change.h"
#include "online/stock_check.h"
#include "platform/background_runner.h"
#include "platform/codec.h"
#include "register/key_fixture.h"
#include "register/register_keys.h"

namespace tarvo {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A database reply as the dispatcher writes it: the rows base64 in the body.
std::string Body(const std::string& rows) { return "<body>\r\n" + Base64Encode(rows) + "</body>"; }

// A product record: id at 1, product number at 12, description at 60, price 1 at 100.
std::string Product(const std::string& id, const std::string& number, const std::string& description,
                    const std::string& price) {
    std::string r(273, ' ');
    r.replace(0, id.size(), id);
    r.replace(11, number.size(), number);
    r.replace(59, description.size(), description);
    r.replace(99, price.size(), price);
    r.replace(200, 7, "LOC-A12");
    return r;
}

class OnlineDatabaseTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        ASSERT_TRUE(server.Bound());
        server.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        gTerminalNumber = "1234567";
        gSettings.gSiteId = "12";
        Reg().services.online = &online;
        Reg().runner = &runner;
        gSettings.gExtrasPageOn = true;
        BSys_Click(3);  // the Online page: its keys are captioned, so unlocking enables them
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        Reg().runner = nullptr;
        gComm = CommState{};
        KeyTest::TearDown();
    }
    std::string LogText() const { return ReadAll(gConstants.paths.gFilesPath + ".LOG"); }
    // Runs every completion; the message line after the last.
    std::string Settle() {
        EXPECT_TRUE(runner.RunUntilIdle(20000));
        return MessageLine();
    }

    DispatcherStub server;
    ManualRunner runner;
    OnlineServices online;
};

// ---- stock check ---------------------------------------------------------------------

TEST_F(OnlineDatabaseTest, StockAnswerShowsAsTheCashierReadsIt) {
    struct Case {
        const char* what;
        int status;
        std::string reply;
        const char* shown;
    } cases[] = {
        {"a quantity", 200, Body("<record count>1</record count><record><0>4</0></record>"), "4 is in stock"},
        {"a quantity below zero", 200, Body("<record count>1</record count><record><0>-2</0></record>"),
         "-2 is in stock"},
        {"count 0", 200, Body("<record count>0</record count>"), "No records selected from stock table"},
        {"no count", 200, Body("<result>ok</result>"), "No records selected from stock table"},
        {"empty column", 200, Body("<record count>1</record count><record><0></0></record>"), "None in stock"},
        {"body not base64", 200, "<body>\r\n%%not base64%%</body>", "Error: Uncompressing response from server"},
        {"no body at all", 200, "<result>ok</result>", "Error: Uncompressing response from server"},
        {"server error", 500, "", "Error: In communication with server"},
    };
    for (const auto& c : cases) {
        server.SetReply(TaskCode::DatabaseSelect, c.reply);
        server.SetHandler([&c](const DispatcherCall&) { return DispatcherAnswer{c.status, c.reply}; });
        online.Online_Product_CheckStock("1001");
        EXPECT_EQ(MessageLine(), "Request In Progress, Please Wait ... ") << c.what;
        EXPECT_EQ(Settle(), c.shown) << c.what;
    }
    const DispatcherCall call = server.LastCall();
    EXPECT_EQ(call.Keys(), (std::vector<std::string>{"task", "flag", "Data", "terminal", "debugmode"}));
    EXPECT_EQ(call.Param("task"), "300");
    EXPECT_EQ(call.Param("Data"),
              "Select stock_qty-orders_commited_qty-unavailable_qty from tbl_prd_detail  where product_id= 1001 and "
              "site_id= 12");
    EXPECT_NE(LogText().find("Error: Uncompressing response from server"), std::string::npos);
}

// A scanner burst: while one answer is awaited, later products wait in one
// slot (the latest wins), and only the latest product's answer is shown.
TEST_F(OnlineDatabaseTest, ABurstAsksTheFirstAndTheLatestAndShowsOnlyTheLatest) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    server.SetHandler([released](const DispatcherCall& call) {
        released.wait();
        const std::string sql = call.Param("Data");
        const std::string id = sql.substr(sql.find("product_id= ") + 12, 4);
        return DispatcherAnswer{200, Body("<record count>1</record count><record><0>" + id + "</0></record>")};
    });
    // Every text the message line takes, in order.
    struct MessageLineTexts : ScreenListener {
        std::vector<std::string> shown;
        void ControlChanged(const ControlId& id, const ControlState& state) override {
            if (id == kMessageLine && (shown.empty() || shown.back() != state.text)) shown.push_back(state.text);
        }
        void FocusChanged(const ControlId&) override {}
        void TitleChanged(const std::string&) override {}
        void MessageBox(const std::string&) override {}
    } texts;
    screen.SetListener(&texts);
    for (const char* id : {"1001", "1002", "1003", "1004"}) online.Online_Product_CheckStock(id);
    EXPECT_EQ(runner.Pending(), 1) << "one request in flight, the rest never queued";
    release.set_value();
    EXPECT_TRUE(runner.RunUntilIdle(20000));
    screen.SetListener(nullptr);
    const std::vector<std::string> shown = texts.shown;
    const auto calls = server.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].Param("Data").find("product_id= 1001 "), std::string::npos);
    EXPECT_NE(calls[1].Param("Data").find("product_id= 1004 "), std::string::npos);
    EXPECT_EQ(shown, (std::vector<std::string>{"Request In Progress, Please Wait ... ", "1004 is in stock"}))
        << "the answer for 1001 came after 1004 was scanned: dropped";
}

// Scanning without a pause for 300 ms: the back office is asked at most once
// per 50 ms, and the answer shown is the last product's.
TEST_F(OnlineDatabaseTest, AScannerBurstAsksAtMostOncePerGap) {
    server.SetHandler([](const DispatcherCall& call) {
        const std::string sql = call.Param("Data");
        const std::string id = sql.substr(sql.find("product_id= ") + 12, 4);
        return DispatcherAnswer{200, Body("<record count>1</record count><record><0>" + id + "</0></record>")};
    });
    const auto start = std::chrono::steady_clock::now();
    int id = 1000;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
        online.Online_Product_CheckStock(std::to_string(++id));
        runner.RunCompleted();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(Settle(), std::to_string(id) + " is in stock");
    const std::size_t asked = server.Calls().size();
    EXPECT_GE(asked, 2u);
    EXPECT_LE(asked, 8u) << "about 300 ms / 50 ms, not one request per scan (" << id - 1000 << " scans)";
}

// A back office that does not answer in time: the cashier is told, the keys
// never waited, and the next product is asked as usual.
TEST_F(OnlineDatabaseTest, AnAnswerThatDoesNotComeInTimeIsACommunicationError) {
    StockCheck check(300);
    server.SetHandler([this](const DispatcherCall& call) {
        if (call.Param("Data").find("product_id= 1001 ") != std::string::npos)
            server.Hold(std::chrono::milliseconds(3000));
        return DispatcherAnswer{200, Body("<record count>1</record count><record><0>9</0></record>")};
    });
    check.Ask(runner, "1001");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(6))) << "the keys stay free while the stock is asked";
    EXPECT_EQ(Settle(), "Error: In communication with server");
    check.Ask(runner, "1002");
    EXPECT_EQ(Settle(), "9 is in stock");
}

TEST_F(OnlineDatabaseTest, IdsThatAreNotPlainNumbersNeverReachARequest) {
    online.Online_Product_CheckStock("10 or 1=1");
    gSettings.gSiteId = "12;drop";
    online.Online_Product_CheckStock("1001");
    Online_Service_ChangePrice("1001", "2.50");
    gSettings.gSiteId = "12";
    for (const char* price : {"1e3", "-1", "2,50", "2.5.0", "1 or 1=1", ""}) Online_Service_ChangePrice("1001", price);
    runner.RunUntilIdle(2000);
    EXPECT_TRUE(server.Calls().empty());
    EXPECT_NE(LogText().find("is not a plain number"), std::string::npos);
}

// Key 22 flips the flag that the product-add hook reads and says what the
// next touch would do.
TEST_F(OnlineDatabaseTest, Key22TurnsTheCheckOnAndOff) {
    gSettings.gExtrasPageOn = true;
    gSettings.gOnlineStockCheck = true;  // special option 020
    gReg.gKeyPage = KeyPage::Extras;
    mDept_Click(22);
    EXPECT_FALSE(gSettings.gOnlineStockCheck);
    EXPECT_EQ(screen.Caption(SoftKeyId(22)), "Stock Check\r\nActivate");
    mDept_Click(22);
    EXPECT_TRUE(gSettings.gOnlineStockCheck);
    EXPECT_EQ(screen.Caption(SoftKeyId(22)), "StockCheck\r\nDeactivate");
}

// ---- price change --------------------------------------------------------------------

class PriceChangeTest : public OnlineDatabaseTest {
protected:
    void SetUp() override {
        OnlineDatabaseTest::SetUp();
        // The working file in key order, the master in another order: lines
        // are matched by product id, never by position.
        a = Product("1001", "1001", "Coffee 1 lb", "8.99");
        b = Product("1002", "1002", "Decaf Coffee", "9.49");
        c = Product("1003", "1003", "Tea", "3.00");
        master = b + "\r\n" + c + "\r\n" + a + "\r\n";
        masterPath = gConstants.paths.gFilesPath + ".PRD";
        {
            std::ofstream out(masterPath, std::ios::binary);
            out << master;
        }
        ::chmod(masterPath.c_str(), 0640);
        ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
        ASSERT_TRUE(gData.products.Write(1, a));
        ASSERT_TRUE(gData.products.Write(2, b));
        ASSERT_TRUE(gData.products.Write(3, c));
        gData.gProductCount = 3;
        gData.gProductRecNo = 1;  // the record a look-up left behind: not the one changed
    }
    void Answer(int status, const std::string& body) {
        server.SetHandler([status, body](const DispatcherCall&) { return DispatcherAnswer{status, body}; });
    }
    std::string a, b, c, master, masterPath;
};

TEST_F(PriceChangeTest, AcceptedPriceIsWrittenIntoTheMasterAndTheWorkingFileByProductId) {
    Answer(200, "<result>successful</result>");
    Online_Service_ChangePrice("1002", "12.5");
    EXPECT_EQ(MessageLine(), "Request In Progress, Please Wait ... ");
    EXPECT_FALSE(screen.Enabled(SoftKeyId(6))) << "keys locked while the server is asked";
    EXPECT_EQ(Settle(), "Entry Saved Successfully");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(6)));
    EXPECT_EQ(timers.Interval(TimerId::CIA), 30000);

    const DispatcherCall call = server.LastCall();
    EXPECT_EQ(call.Param("task"), "301");
    EXPECT_EQ(call.Param("Data"), "Update tbl_prd_detail set price1= 12.5 where product_id= 1002 and site_id= 12");

    std::string b2 = b;
    b2.replace(99, 12, "12.5        ");
    EXPECT_EQ(ReadAll(masterPath), b2 + "\r\n" + c + "\r\n" + a + "\r\n");
    EXPECT_EQ(gData.products.Read(1), a);
    EXPECT_EQ(gData.products.Read(2), b2);
    EXPECT_EQ(gData.products.Read(3), c);
    struct stat st;
    ASSERT_EQ(::stat(masterPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the master keeps its mode";
    for (const auto& e : std::filesystem::directory_iterator(dir.Path() + "/Files"))
        EXPECT_EQ(e.path().filename().string().find(".PRD2"), std::string::npos) << e.path();
    EXPECT_FALSE(std::filesystem::exists(gConstants.paths.gDataPath + ".PRD.stamp"));
}

TEST_F(PriceChangeTest, LineEndsAndLongPricesAsTheFileHasThem) {
    // LF lines, a line longer than the record: only columns 100-111 change.
    master = a + "\n" + b + "EXTRA\n" + c;
    {
        std::ofstream out(masterPath, std::ios::binary | std::ios::trunc);
        out << master;
    }
    Answer(200, "<result>successful</result>");
    Online_Service_ChangePrice("1002", "1234567890.12345");
    EXPECT_EQ(Settle(), "Entry Saved Successfully");
    std::string b2 = b;
    b2.replace(99, 12, "1234567890.1");
    EXPECT_EQ(ReadAll(masterPath), a + "\n" + b2 + "EXTRA\n" + c);
    EXPECT_EQ(gData.products.Read(2), b2);
    EXPECT_NE(server.LastCall().Param("Data").find("price1= 1234567890.12345 where"), std::string::npos)
        << "the server gets the price whole";
}

TEST_F(PriceChangeTest, NothingLocalChangesUnlessTheServerSaysSuccessful) {
    struct Case {
        int status;
        const char* body;
        const char* shown;
    } cases[] = {
        {200, "<result>failed</result>", "Error: Server Unable to Save Transaction"},
        {200, "<result>Successful</result>", "Error: Server Unable to Save Transaction"},
        {200, "", "Error: Server Unable to Save Transaction"},
        {500, "<result>successful</result>", "Unsuccessful: Communication Error"},
    };
    for (const auto& k : cases) {
        Answer(k.status, k.body);
        Online_Service_ChangePrice("1002", "1.00");
        EXPECT_EQ(Settle(), k.shown) << k.body;
        EXPECT_TRUE(screen.Enabled(SoftKeyId(6)));
        EXPECT_EQ(ReadAll(masterPath), master);
        EXPECT_EQ(gData.products.Read(2), b);
    }
}

TEST_F(PriceChangeTest, RefusedWhileADownloadedMasterWaitsForTheRestart) {
    gComm.gProductsUpdated = true;
    Online_Service_ChangePrice("1002", "1.00");
    EXPECT_EQ(MessageLine(), "New Product File Received, Restart Before Changing Prices");
    runner.RunUntilIdle(1000);
    EXPECT_TRUE(server.Calls().empty());
    EXPECT_EQ(ReadAll(masterPath), master);
}

TEST_F(PriceChangeTest, ALocalFailureAfterTheServerAcceptedIsLoggedAndShown) {
    Answer(200, "<result>successful</result>");
    Online_Service_ChangePrice("1999", "1.00");  // on the server, not in this register's files
    EXPECT_EQ(Settle(), "Error: Price Saved on Server Only, Not on This Register");
    EXPECT_NE(LogText().find("product 1999 to 1.00 saved by the server only, not on this register:"),
              std::string::npos);
    EXPECT_NE(LogText().find("product 1999 is not in the product master"), std::string::npos);
    EXPECT_EQ(ReadAll(masterPath), master);

    std::filesystem::remove(masterPath);
    std::filesystem::create_directory(masterPath);  // unreadable as a file, even for root
    Online_Service_ChangePrice("1002", "1.00");
    EXPECT_EQ(Settle(), "Error: Price Saved on Server Only, Not on This Register");
    EXPECT_EQ(gData.products.Read(2), b) << "the working file follows the master, never alone";
}

}  // namespace
}  // namespace tarvo
