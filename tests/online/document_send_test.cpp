// The back office's documents from the fetch to the Total key: a purchase
// order received, an order packed, a purchase order read from PO.txt and
// sent, labels by purchase order. A dispatcher on 127.0.0.1 answers; every
// request it saw is pinned, decoded, in order.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "config/constants.h"
#include "data/lookups.h"
#include "inventory/inventory_service.h"
#include "online/online_services.h"
#include "platform/background_runner.h"
#include "print/labels.h"
#include "print/printer_output.h"
#include "register/key_fixture.h"
#include "register/keyboard.h"
#include "register/register_keys.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

const ControlId kTextPanel{Control::Txt_All, 0};
const ControlId kKeypad{Control::mNumeric, 1};
constexpr int kEscape = 27;

std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

// A request as the dispatcher saw it: its task and decoded payload.
using Request = std::pair<int, std::string>;

int AskedLine(const std::string& data) {
    const std::size_t at = data.find("<line number>");
    return at == std::string::npos ? 0 : std::stoi(data.substr(at + 13));
}

// A register whose printer works (the documents here print nothing).
class WorkingPrinter : public PrintStandIn {
public:
    std::int16_t PrintStatus() const override { return 0; }
};

class DocumentSendTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        AddCashier("1111", "00000007", "Ann", 1);
        gReg.gCashierIndex = 1;
        ASSERT_TRUE(server.Bound());
        server.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        gTerminalNumber = kTerminal;
        Reg().services.online = &online;
        Reg().services.print = &printer;
        Reg().services.inventory = &inventory;
        Reg().runner = &runner;
        gSaleSave = SaleSaveState{};
        gSettings.gExtrasPageOn = true;
        gSettings.gProductKeyMode = ProductKey::Number;
        // product id (1-8), product number (12-31), description (60-89), department (94-99), price units (175-179)
        ASSERT_TRUE(gData.products.Open(gConstants.paths.gDataPath + ".PRD", 275, true));
        const char* products[][4] = {{"400", "0123", "Flour", "2"},
                                     {"100", "1001", "Coffee", "0"},
                                     {"200", "1002", "Decaf", "0"},
                                     {"300", "1003", "Tea", "0"}};
        for (int i = 0; i < 4; ++i) {
            std::string rec(273, ' ');
            rec.replace(0, 3, products[i][0]);
            rec.replace(11, 4, products[i][1]);
            rec.replace(59, std::string(products[i][2]).size(), products[i][2]);
            rec.replace(93, 4, "GROC");
            rec.replace(174, 1, products[i][3]);
            ASSERT_TRUE(gData.products.Write(i + 1, rec));
        }
        gData.gProductCount = 4;
        server.SetHandler([this](const DispatcherCall& call) { return Answer(call); });
    }
    void TearDown() override {
        Reg().runner = nullptr;
        KeyTest::TearDown();
    }

    // The back office: each task's answer, a line's own where one is set.
    DispatcherAnswer Answer(const DispatcherCall& call) {
        const int task = call.Task();
        const std::string data = call.Param("data");
        std::unique_lock<std::mutex> lock(mutex);
        if (task == fault.task && (fault.line == 0 || fault.line == AskedLine(data)) && !fault.done) {
            fault.done = true;
            const DispatcherAnswer answer = fault.answer;
            const bool late = fault.late;
            lock.unlock();
            if (late) server.Hold(std::chrono::milliseconds(2500));
            return answer;
        }
        auto byLine = lineAnswers.find({task, AskedLine(data)});
        if (byLine != lineAnswers.end()) return byLine->second;
        auto it = answers.find(task);
        return it == answers.end() ? DispatcherAnswer{200, ""} : it->second;
    }
    void SetAnswer(int task, std::string body, int status = 200) { answers[task] = {status, std::move(body)}; }
    void SetLine(int task, int line, std::string body) { lineAnswers[{task, line}] = {200, std::move(body)}; }

    // Every completion run, until nothing is left in the background.
    void Pump() {
        while (runner.Pending() > 0)
            if (runner.WaitAndRun(10000) == 0) break;
    }
    // The requests the server saw since `from`.
    std::vector<Request> Seen(std::size_t from = 0) const {
        std::vector<Request> out;
        const auto calls = server.Calls();
        for (std::size_t i = from; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].Keys(), (std::vector<std::string>{"task", "terminal", "debugmode", "data"}));
            out.emplace_back(calls[i].Task(), calls[i].Param("data"));
        }
        return out;
    }
    void Scan(const std::string& code) {
        Product_SetCurrent(code, Product_Find(code));
        Product_Add();
    }
    void Key(int k, const std::string& typed = "") {
        gReg.gKeyPage = KeyPage::Extras;
        Type(typed);
        mDept_Click(k);
    }
    std::string Log() const {
        std::ifstream in(gConstants.paths.gFilesPath + ".LOG");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // A purchase order of three lines, fetched and counted: Tea twice, Coffee
    // once, Decaf not at all. Scanning moved Tea (line 3 on the server) to
    // the top and Coffee (line 1) under it.
    void ReceivedOrder() {
        SetAnswer(7, Tag("purchase order number", "77") + Tag("vendor number", "V1") + Tag("last line", "3"));
        SetLine(8, 1,
                Tag("product id", "100") + Tag("product number", "1001") + Tag("order quantity", "12") +
                    Tag("unit cost", "2.5") + Tag("comment", "top shelf"));
        SetLine(8, 2, Tag("product id", "200") + Tag("product number", "1002") + Tag("order quantity", "6"));
        SetLine(8, 3,
                Tag("product id", "300") + Tag("product number", "1003") + Tag("order quantity", "4") +
                    Tag("unit cost", "3"));
        Key(2, "77");
        Pump();
        ASSERT_EQ(gSale.gMode, RegisterMode::ReceivePO);
        Scan("1003");
        Scan("1003");
        Scan("1001");
        ASSERT_EQ(LineKeys(), (std::vector<std::string>{"1003", "1001", "1002"}));
    }

    const std::string kReceiptHeader = Tag("vendor number", "V1") + Tag("employee", "00000007") +
                                       Tag("subtotal", "8.5") + Tag("discount", "0") + Tag("nettotal", "8.5") +
                                       Tag("total", "8.5") + Tag("purchase order number", "77");
    const std::string kTeaLine = Tag("purchase number", "9001") + Tag("purchase order number", "77") +
                                 Tag("line number", "3") + Tag("product id", "300") + Tag("order quantity", "4") +
                                 Tag("receive quantity", "2") + Tag("unit cost", "3") + Tag("line extension", "6") +
                                 Tag("comment", "");
    const std::string kCoffeeLine = Tag("purchase number", "9001") + Tag("purchase order number", "77") +
                                    Tag("line number", "1") + Tag("product id", "100") + Tag("order quantity", "12") +
                                    Tag("receive quantity", "1") + Tag("unit cost", "2.5") +
                                    Tag("line extension", "2.5") + Tag("comment", "top shelf");
    const std::string kClose = Tag("purchase order number", "77");

    void ReceiptAnswers() {
        SetAnswer(9, Tag("purchase number", "9001"));
        SetAnswer(10, Tag("purchase line", "1"));
        SetAnswer(11, "");
    }

    DispatcherStub server;
    ManualRunner runner;
    OnlineServices online;
    WorkingPrinter printer;
    InventoryDocuments inventory;
    std::mutex mutex;
    std::map<int, DispatcherAnswer> answers;
    std::map<std::pair<int, int>, DispatcherAnswer> lineAnswers;
    // The one request answered otherwise, the first time it comes.
    struct Fault {
        int task = -1;
        int line = 0;  // 0: any
        DispatcherAnswer answer;
        bool late = false;  // past the time-out
        bool done = false;
    } fault;
    void FailOnce(int task, DispatcherAnswer answer, int line = 0, bool late = false) {
        std::lock_guard<std::mutex> lock(mutex);
        fault = Fault{task, line, std::move(answer), late, false};
    }
};

TEST_F(DocumentSendTest, AReceivedPurchaseOrderGoesBackWithTheServersLineNumbersAndIsClosed) {
    ReceivedOrder();
    ReceiptAnswers();
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    EXPECT_EQ(MessageLine(), "Request In Progress ...");
    EXPECT_FALSE(screen.Enabled(kKeypad)) << "keys locked while the server is asked";
    std::vector<std::string> shown;
    while (runner.Pending() > 0 && runner.WaitAndRun(10000) > 0) shown.push_back(MessageLine());

    EXPECT_EQ(Seen(before),
              (std::vector<Request>{{9, kReceiptHeader}, {10, kTeaLine}, {10, kCoffeeLine}, {11, kClose}}))
        << "Decaf, left at 0, is not sent";
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Storing Product Information... 3 / 3", "Storing Product Information... 1 / 3",
                                        "Request In Progress ...", "Document Number:   9001"}));
    EXPECT_TRUE(gSaleSave.gSaleFinished);
    EXPECT_TRUE(timers.Running(TimerId::EndSale));

    // The fetch was one chain and the sending another: one connection each.
    std::set<int> fetchPorts, sendPorts;
    const auto calls = server.Calls();
    for (std::size_t i = 0; i < calls.size(); ++i) (i < before ? fetchPorts : sendPorts).insert(calls[i].clientPort);
    EXPECT_EQ(fetchPorts.size(), 1u);
    EXPECT_EQ(sendPorts.size(), 1u);
}

TEST_F(DocumentSendTest, AfterTheReceiptTheNextSaleHoldsAgainTheLinesReceived) {
    // The store's default client, whom every new sale starts with.
    std::string client(212, ' ');
    client.replace(0, 2, "C1");
    client.replace(19, 9, "Walk In");
    ASSERT_TRUE(gData.clients.Open(gConstants.paths.gDataPath + ".CLI", 300, true));
    ASSERT_TRUE(gData.clients.Write(1, client));
    gData.gClientCount = 1;
    gData.clientIdFirst["C1"] = 1;
    gSettings.gDefaultClient = "C1";

    ReceivedOrder();
    ReceiptAnswers();
    gSale.gLines[3].quantity = -1;  // Decaf counted back below 0: not kept
    mTotalRegister_Click();
    Pump();
    ASSERT_EQ(MessageLine(), "Document Number:   9001");
    Timer_EndSale_Timer();
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
    EXPECT_EQ(LineKeys(), (std::vector<std::string>{"1003", "1001"}));
    EXPECT_EQ(gSale.gLines[1].quantity, 2);
    EXPECT_EQ(gSale.gLines[2].quantity, 1);
    EXPECT_EQ(gSale.gFetchedDocNumber, "");
    EXPECT_EQ(gSale.gServerDocNumber, "");
    gData.clients.Close();
}

TEST_F(DocumentSendTest, ARefusalPartWayKeepsWhatTheServerHasAndTotalAgainSendsOnlyTheRest) {
    ReceivedOrder();
    ReceiptAnswers();
    FailOnce(10, {200, ""}, 1);
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(MessageLine(), "Error: Server Unable to Save Transaction");
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(gSale.gMode, RegisterMode::ReceivePO) << "the document stays open";
    EXPECT_EQ(gSale.gItemCount, 3);
    EXPECT_TRUE(screen.Enabled(kKeypad)) << "keys back for the cashier";

    // Tea, already on the server with 2, counted once more: nothing is sent
    // until it says again what the server has.
    Scan("1003");
    mTotalRegister_Click();
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    EXPECT_EQ(runner.Pending(), 0);
    EXPECT_NE(Log().find("Online: line 3 (300) is on the server with the quantity 2, not 3"), std::string::npos);
    gSale.gQuantity = -1;
    Scan("1003");

    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(Seen(before),
              (std::vector<Request>{
                  {9, kReceiptHeader}, {10, kTeaLine}, {10, kCoffeeLine}, {10, kCoffeeLine}, {11, kClose}}))
        << "the header and Tea once; Coffee again only because it was refused";
    EXPECT_EQ(MessageLine(), "Document Number:   9001");
    EXPECT_TRUE(gSaleSave.gSaleFinished);
}

TEST_F(DocumentSendTest, FaultsOfTheServerStopTheSendingWithTheirMessageAndNothingIsSentTwice) {
    struct Case {
        const char* what;
        int task;  // the request that fails
        DispatcherAnswer answer;
        bool late;
        const char* shown;
    } cases[] = {
        {"a header reply cut mid-body",
         9,
         {200, "<purchase number>90"},
         false,
         "Error: Server Unable to Save Transaction"},
        {"an empty header reply", 9, {200, ""}, false, "Error: Server Unable to Save Transaction"},
        {"a header without its tag",
         9,
         {200, Tag("purchase", "9001")},
         false,
         "Error: Server Unable to Save Transaction"},
        {"a server error", 9, {500, Tag("purchase number", "9001")}, false, "Unsuccessful: Communication Error"},
        {"a header reply past the time-out",
         9,
         {200, Tag("purchase number", "9001")},
         true,
         "Unsuccessful: Communication Error"},
        {"a close that fails", 11, {500, ""}, false, "Unsuccessful: Communication Error"},
    };
    online.Chains().SetTimeout(800);
    for (const auto& c : cases) {
        ReceivedOrder();
        ReceiptAnswers();
        FailOnce(c.task, c.answer, 0, c.late);
        std::size_t before = server.Calls().size();
        mTotalRegister_Click();
        Pump();
        EXPECT_EQ(MessageLine(), c.shown) << c.what;
        EXPECT_EQ(gSale.gMode, RegisterMode::ReceivePO) << c.what;
        const auto first = Seen(before);
        ASSERT_FALSE(first.empty()) << c.what;
        EXPECT_EQ(first.back().first, c.task) << c.what;

        // Total again: the rest only.
        before = server.Calls().size();
        mTotalRegister_Click();
        Pump();
        EXPECT_EQ(MessageLine(), "Document Number:   9001") << c.what;
        const auto second = Seen(before);
        if (c.task == 11)
            EXPECT_EQ(second, (std::vector<Request>{{11, kClose}})) << c.what;
        else
            EXPECT_EQ(second,
                      (std::vector<Request>{{9, kReceiptHeader}, {10, kTeaLine}, {10, kCoffeeLine}, {11, kClose}}))
                << c.what;
        gSaleSave = SaleSaveState{};
        Sale_Start();
    }
}

TEST_F(DocumentSendTest, EscBetweenTwoRequestsStopsBeforeTheNext) {
    ReceivedOrder();
    ReceiptAnswers();
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    Form_KeyDown(kEscape, 0);  // while the header is asked
    Pump();
    EXPECT_EQ(MessageLine(), "OPERATION CANCELED");
    EXPECT_EQ(Seen(before), (std::vector<Request>{{9, kReceiptHeader}})) << "the request in flight completes";
    EXPECT_EQ(gSale.gServerDocNumber, "9001") << "and what it gave is kept";

    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(Seen(before),
              (std::vector<Request>{{9, kReceiptHeader}, {10, kTeaLine}, {10, kCoffeeLine}, {11, kClose}}));

    // A fetch stopped the same way leaves a fresh sale.
    Sale_Start();
    const std::size_t fetchFrom = server.Calls().size();
    Key(2, "77");
    Form_KeyDown(kEscape, 0);
    Pump();
    EXPECT_EQ(MessageLine(), "OPERATION CANCELED");
    EXPECT_EQ(server.Calls().size() - fetchFrom, 1u);
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(gSale.gMode, RegisterMode::Sales);
}

TEST_F(DocumentSendTest, AnOrderIsPackedByScanningAndStoredAsAnInvoiceWithItsOwnLineNumbers) {
    SetAnswer(25, Tag("order number", "555") + Tag("client name", "Jane Roe") + Tag("client number", "C42") +
                      Tag("city", "Laval") + Tag("state", "QC") + Tag("last line", "2"));
    SetLine(26, 1,
            Tag("product id", "100") + Tag("product number", "1001") + Tag("quantity to ship", "2") +
                Tag("unit price", "4.5") + Tag("line number", "10"));
    SetLine(26, 2,
            Tag("product id", "200") + Tag("product number", "1002") + Tag("quantity to ship", "1") +
                Tag("unit price", "3") + Tag("comment", "gift") + Tag("line number", "20"));
    Key(7, "555");
    std::vector<std::string> shown{MessageLine()};
    while (runner.Pending() > 0 && runner.WaitAndRun(10000) > 0) shown.push_back(MessageLine());
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 3),
              (std::vector<std::string>{"Request In Progress ...", "Receiving Item 1 / 2", "Receiving Item 2 / 2"}));
    EXPECT_EQ(Seen(), (std::vector<Request>{
                          {25, "<order number>555</order number>"},
                          {26, "<order number>555</order number><line number>1</line number>"},
                          {26, "<order number>555</order number><line number>2</line number>"},
                      }));
    ASSERT_EQ(gSale.gMode, RegisterMode::PackOrder);
    EXPECT_EQ(gSale.gClientCode, "C42");
    EXPECT_EQ(screen.Text(kTextPanel).substr(0, 45), "Order:    555\r\nClient: Jane Roe\r\nLaval QC\r\n\r\n");

    Scan("1002");
    Scan("1001");
    Scan("1001");
    screen.SetText(kMessageLine, "");
    Scan("1001");
    EXPECT_EQ(MessageLine(), "Not Found") << "never more than the quantity to ship";
    ASSERT_EQ(LineKeys(), (std::vector<std::string>{"1002", "1001"}));

    SetAnswer(27, Tag("invoice number", "4410"));
    SetAnswer(28, Tag("purchase line", "1"));
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(Seen(before),
              (std::vector<Request>{
                  {27, Tag("client id", "C42") + Tag("pack by", "00000007") + Tag("employee", "00000007") +
                           Tag("invoice date", "12-09-2026") + Tag("subtotal", "12") + Tag("discount", "0") +
                           Tag("nettotal", "12") + Tag("total", "12") + Tag("order number", "555")},
                  {28, Tag("invoice number", "4410") + Tag("order number", "555") + Tag("line number", "20") +
                           Tag("product id", "200") + Tag("order quantity", "1") + Tag("ship quantity", "1") +
                           Tag("price", "3") + Tag("line extension", "3") + Tag("comment", "gift")},
                  {28, Tag("invoice number", "4410") + Tag("order number", "555") + Tag("line number", "10") +
                           Tag("product id", "100") + Tag("order quantity", "2") + Tag("ship quantity", "2") +
                           Tag("price", "4.5") + Tag("line extension", "9") + Tag("comment", "")},
                  {29, "<order number>555</order number>"},
              }));
    EXPECT_EQ(MessageLine(), "Document Number:   4410");
}

TEST_F(DocumentSendTest, APackedOrderRefusedAtALineSendsOnlyTheRestOnTotalAgain) {
    SetAnswer(25, Tag("order number", "555") + Tag("client number", "C42") + Tag("last line", "2"));
    SetLine(26, 1,
            Tag("product id", "100") + Tag("product number", "1001") + Tag("quantity to ship", "1") +
                Tag("unit price", "4.5") + Tag("line number", "10"));
    SetLine(26, 2,
            Tag("product id", "200") + Tag("product number", "1002") + Tag("quantity to ship", "1") +
                Tag("unit price", "3") + Tag("line number", "20"));
    Key(7, "555");
    Pump();
    ASSERT_EQ(gSale.gMode, RegisterMode::PackOrder);
    Scan("1001");
    Scan("1002");
    SetAnswer(27, Tag("invoice number", "4410"));
    SetAnswer(28, Tag("purchase line", "1"));
    FailOnce(28, {200, Tag("purchase", "1")}, 20);  // the server refuses Decaf's line once
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(MessageLine(), "Error: Server Unable to Save Transaction");
    EXPECT_EQ(gSale.gMode, RegisterMode::PackOrder) << "the order stays open";
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(MessageLine(), "Document Number:   4410");
    const std::string header = Tag("client id", "C42") + Tag("pack by", "00000007") + Tag("employee", "00000007") +
                               Tag("invoice date", "12-09-2026") + Tag("subtotal", "7.5") + Tag("discount", "0") +
                               Tag("nettotal", "7.5") + Tag("total", "7.5") + Tag("order number", "555");
    auto line = [](const char* number, const char* id, const char* price) {
        return Tag("invoice number", "4410") + Tag("order number", "555") + Tag("line number", number) +
               Tag("product id", id) + Tag("order quantity", "1") + Tag("ship quantity", "1") + Tag("price", price) +
               Tag("line extension", price) + Tag("comment", "");
    };
    EXPECT_EQ(Seen(before), (std::vector<Request>{{27, header},
                                                  {28, line("10", "100", "4.5")},
                                                  {28, line("20", "200", "3")},
                                                  {28, line("20", "200", "3")},
                                                  {29, "<order number>555</order number>"}}))
        << "one invoice, Coffee once; Decaf again only because it was refused";
}

TEST_F(DocumentSendTest, APurchaseOrderRefusedAtALineSendsOnlyTheRestOnTotalAgain) {
    std::ofstream(fs::path(gConstants.paths.programFolder) / "PO.txt", std::ios::binary)
        << "1002\t\t\t\t\t\t4\t1.25\t\n1003\t\t\t\t\t\t2\t3\t\n";
    Key(1);
    ASSERT_EQ(gSale.gMode, RegisterMode::NewPurchaseOrder);
    gSale.gPurchaseVendor = "V7";
    gSale.gLines[1].listPrice = *Money::Parse("1.99");
    SetAnswer(12, Tag("purchase order number", "501"));
    SetAnswer(13, Tag("purchase order line", "1"));
    SetAnswer(15, Tag("product id", "200"));
    FailOnce(13, {500, ""}, 2);
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(MessageLine(), "Unsuccessful: Communication Error");
    // Decaf is line 1 on the server: voiding it would send Tea as line 1 again.
    Type("1");
    BOp_Click(2);
    EXPECT_EQ(MessageLine(), "Invalid Entry");
    ASSERT_EQ(gSale.gItemCount, 2);
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(MessageLine(), "Document Number:   501");
    const std::string header = Tag("vendor number", "V7") + Tag("employee", "00000007") + Tag("subtotal", "11") +
                               Tag("discount", "0") + Tag("nettotal", "11") + Tag("total", "11");
    const std::string tea = Tag("purchase order number", "501") + Tag("line number", "2") + Tag("product id", "300") +
                            Tag("order quantity", "2") + Tag("receive quantity", "2") + Tag("unit cost", "3") +
                            Tag("line extension", "6");
    EXPECT_EQ(Seen(before),
              (std::vector<Request>{
                  {12, header},
                  {13, Tag("purchase order number", "501") + Tag("line number", "1") + Tag("product id", "200") +
                           Tag("order quantity", "4") + Tag("receive quantity", "4") + Tag("unit cost", "1.25") +
                           Tag("line extension", "5")},
                  {15, Tag("product id", "200") + Tag("price", "1.99")},
                  {13, tea},
                  {13, tea},
                  {11, Tag("purchase order number", "501") + Tag("status", "2")},
              }))
        << "one purchase order, Decaf and its price once; Tea again only because it failed";
}

TEST_F(DocumentSendTest, AFetchedLineNumberThatCannotBeSentBackAsItCameIsRefused) {
    // A letter for a digit, 0 (no line) and one too large for the line's
    // field would each go back to the server as some other line.
    for (const char* number : {"1O", "0", "32768", "40000"}) {
        SetAnswer(25, Tag("order number", "555") + Tag("client number", "C42") + Tag("last line", "1"));
        SetLine(26, 1,
                Tag("product id", "100") + Tag("product number", "1001") + Tag("quantity to ship", "2") +
                    Tag("line number", number));
        Key(7, "555");
        Pump();
        EXPECT_EQ(MessageLine(), "Invalid Entry") << number;
        EXPECT_EQ(gSale.gItemCount, 0) << number;
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales) << number;
        EXPECT_EQ(gSale.gFetchedDocNumber, "") << number;
    }
    SetLine(26, 1,
            Tag("product id", "100") + Tag("product number", "1001") + Tag("quantity to ship", "2") +
                Tag("line number", "32767"));
    Key(7, "555");
    Pump();
    ASSERT_EQ(gSale.gMode, RegisterMode::PackOrder) << "the largest line number is kept";
    EXPECT_EQ(gSale.gLines[1].sourceIndex, 32767);
}

TEST_F(DocumentSendTest, APurchaseOrderFileBecomesAPurchaseOrderOnTheServerAndIsKeptUntilThen) {
    const fs::path file = fs::path(gConstants.paths.programFolder) / "PO.txt";
    const std::string bytes = "1002\tx\tx\tx\tx\tx\t4\t1.25\t\r\n123\t\t\t\t\t\t3\t2.50\t\r\n";
    std::ofstream(file, std::ios::binary) << bytes;
    Key(1);
    ASSERT_EQ(gSale.gItemCount, 2);
    EXPECT_EQ(gSale.gMode, RegisterMode::NewPurchaseOrder);
    EXPECT_TRUE(gSale.gTaxExempt[1] && gSale.gTaxExempt[2] && gSale.gTaxExempt[3]);
    EXPECT_EQ(gSale.gLines[2].product, "400") << "123 found as 0123";
    EXPECT_EQ(gSale.gLines[2].extension, *Money::Parse("3.75")) << "2.50 x 3 / 2 price units";
    EXPECT_TRUE(keys.Called("SearchForm_Show")) << "the vendor is asked";
    EXPECT_TRUE(fs::exists(file)) << "kept until the back office has the order";

    // Total before the vendor is chosen sends nothing.
    mTotalRegister_Click();
    EXPECT_EQ(MessageLine(), "No Vendor Information Available");
    EXPECT_EQ(runner.Pending(), 0);

    // The vendor chosen, a delivery date and a price typed for Decaf.
    gSale.gPurchaseVendor = "V7";
    gSale.gDocDeliveryDate = "20261224";
    gSale.gDocComment = "rush";
    gSale.gLines[1].listPrice = *Money::Parse("1.99");
    SetAnswer(12, Tag("purchase order number", "501"));
    SetAnswer(13, Tag("purchase order line", "1"));
    SetAnswer(15, Tag("product id", "200"));
    SetAnswer(12, "", 500);
    const std::size_t before = server.Calls().size();
    mTotalRegister_Click();
    Pump();
    EXPECT_EQ(MessageLine(), "Unsuccessful: Communication Error");
    EXPECT_TRUE(fs::exists(file)) << "a failure keeps the file";

    SetAnswer(12, Tag("purchase order number", "501"));
    mTotalRegister_Click();
    Pump();
    const std::string header = Tag("vendor number", "V7") + Tag("employee", "00000007") + Tag("subtotal", "8.75") +
                               Tag("discount", "0") + Tag("nettotal", "8.75") + Tag("total", "8.75") +
                               Tag("delivery date", "12-24-2026") + Tag("comment", "rush");
    EXPECT_EQ(Seen(before),
              (std::vector<Request>{
                  {12, header},
                  {12, header},
                  {13, Tag("purchase order number", "501") + Tag("line number", "1") + Tag("product id", "200") +
                           Tag("order quantity", "4") + Tag("receive quantity", "4") + Tag("unit cost", "1.25") +
                           Tag("line extension", "5")},
                  {15, Tag("product id", "200") + Tag("price", "1.99")},
                  {13, Tag("purchase order number", "501") + Tag("line number", "2") + Tag("product id", "400") +
                           Tag("order quantity", "3") + Tag("receive quantity", "3") + Tag("unit cost", "2.5") +
                           Tag("line extension", "3.75")},
                  {11, Tag("purchase order number", "501") + Tag("status", "2")},
              }));
    EXPECT_EQ(MessageLine(), "Document Number:   501");
    EXPECT_FALSE(fs::exists(file));
    std::ifstream backup(fs::path(gConstants.paths.programFolder) / "PO.501.bak", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(backup), {}), bytes);
}

TEST_F(DocumentSendTest, APurchaseOrderFileThatCannotBeReadWholeLeavesAFreshSaleAndTheFile) {
    struct Case {
        const char* what;
        const char* bytes;
        const char* shown;
    } cases[] = {
        {"no product number", "1001\t\t\t\t\t\t1\t1\t\n\t\t\t\t\t\t1\t1\t\n", "Error: Server Missing Item  2"},
        {"a product not here", "9999\t\t\t\t\t\t1\t1\t\n", "Error: Product Not Found Locally 009999"},
        {"a quantity that is not a number", "1001\t\t\t\t\t\t1x\t1\t\n", "Invalid Entry"},
        {"a cost that is not a number", "1001\t\t\t\t\t\t1\t$1\t\n", "Invalid Entry"},
    };
    const fs::path file = fs::path(gConstants.paths.programFolder) / "PO.txt";
    for (const auto& c : cases) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
        Key(1);
        EXPECT_EQ(MessageLine(), c.shown) << c.what;
        EXPECT_EQ(gSale.gItemCount, 0) << c.what;
        EXPECT_EQ(gSale.gMode, RegisterMode::Sales) << c.what;
        std::ifstream in(file, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.bytes) << c.what;
    }
}

TEST_F(DocumentSendTest, LabelsByPurchaseOrderAreAskedInTheBackgroundAndPrintedOnceAllAreIn) {
    gLabel = LabelState{};
    gLabel.LabelTemplate[3][4] = "N:";  // 1NUM
    gSettings.gPrinterType = PrinterType::Lpt1;
    auto label = [](const char* id, const char* number, const char* purchase) {
        return Tag("purchase number", purchase) + Tag("product id", id) + Tag("product number", number) +
               Tag("order quantity", "2");
    };
    SetLine(14, 1, label("100", "1001", "9"));
    SetLine(14, 2, label("300", "1003", "9"));
    PrinterCapture capture;
    Key(4, "77");
    EXPECT_FALSE(screen.Enabled(kKeypad));
    Pump();
    EXPECT_EQ(capture.bytes, "N:1001\r\nN:1003\r\n");
    EXPECT_EQ(MessageLine(), "Communication Completed");
    EXPECT_EQ(Seen(), (std::vector<Request>{
                          {14, "<purchase order number>77</purchase order number><line number>1</line number>"},
                          {14, "<purchase order number>77</purchase order number><line number>2</line number>"},
                          {14, "<purchase order number>77</purchase order number><line number>3</line number>"},
                      }));
    EXPECT_TRUE(screen.Enabled(kKeypad));

    Key(4, "7x");
    EXPECT_EQ(MessageLine(), "Invalid Entry") << "an order number is a whole number";
    EXPECT_EQ(server.Calls().size(), 3u);
}

}  // namespace
}  // namespace tarvo
