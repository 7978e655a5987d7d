// The web-shop order import against two real FTP shop servers (pyftpdlib on
// 127.0.0.1) and the dispatcher stand-in: what reaches the back office, in
// which order and how often, the files kept in the program folder, the
// journal that lets a stopped import resume, and the printed log.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "config/constants.h"
#include "online/online_services.h"
#include "online/web_orders.h"
#include "platform/background_runner.h"
#include "print/printer_output.h"
#include "register/key_fixture.h"
#include "register/register_keys.h"
#include "test_ftp.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

// One export line: the columns the import reads, TAB-separated (37 columns).
std::string ExportLine(const std::string& order, const std::string& product, const std::string& total,
                       const std::string& tax = "", const std::string& charge = "", const std::string& last = "Smith") {
    std::vector<std::string> c(37);
    c[0] = order;
    c[4] = "Ann";  // ship-to first name (column 5); column 6 the last
    c[5] = last;
    c[7] = "Apt 4";
    c[10] = "12 Elm St";
    c[11] = "Laval";
    c[12] = "QC";
    c[13] = "H7A1A1";
    c[15] = "Bob";
    c[16] = last;
    c[17] = "bob@example.com";
    c[26] = product;
    c[29] = "2.5";
    c[30] = "3";
    c[34] = tax;
    c[35] = charge;
    c[36] = total;
    std::string line;
    for (std::size_t i = 0; i < c.size(); ++i) line += (i ? "\t" : "") + c[i];
    return line;
}

const char* const kRemote = "mivadata/%s/Merchant2/00000001/export/orders.dat";
std::string RemotePath(const std::string& root, const std::string& domain) {
    char b[200];
    std::snprintf(b, sizeof b, kRemote, domain.c_str());
    return root + "/" + b;
}

class WebOrdersTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        AddCashier("1111", "42", "Dana", 1);
        gReg.gCashierIndex = 1;
        ASSERT_TRUE(office.Bound());
        ASSERT_TRUE(shop1.Running());
        ASSERT_TRUE(shop2.Running());
        office.UseAsSlot(1);
        gConstants.servers.gServerSlot = 1;
        gTerminalNumber = "1234567";
        gSettings.gOnlineParameter644 = "7";
        Reg().services.online = &online;
        Reg().runner = &runner;
        gSettings.gExtrasPageOn = true;
        BSys_Click(3);  // the Online page: its keys are captioned, so unlocking enables them
        Reg().programFolder = dir.Path();
        // Shop 2's password is not the one its server takes: its login is refused.
        WriteFile(
            dir.Path() + "/Tarvo.ini",
            "[Tarvo]\r\nTerminalNumber=1234567\r\nShop1Host=" + shop1.Host() +
                "\r\nShop1User=shop\r\nShop1Password=quolma\r\nShop1Label=Garden\r\nShop1Domain=garden.example\r\n"
                "Shop2Host=" +
                shop2.Host() +
                "\r\nShop2User=shop\r\nShop2Password=wrong\r\nShop2Label=Books\r\nShop2Domain=books.example\r\n");
        ::chmod((dir.Path() + "/Tarvo.ini").c_str(), 0600);
        office.SetHandler([this](const DispatcherCall& call) { return Answer(call); });
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        Reg().runner = nullptr;
        KeyTest::TearDown();
    }

    // The back office: numbers for each request, a fault where the test asks.
    DispatcherAnswer Answer(const DispatcherCall& call) {
        std::lock_guard<std::mutex> lock(mutex);
        const int task = call.Task();
        const std::string data = call.Param("data");
        ++seen;
        if (seen == failAt) return {500, "down"};
        answered.push_back(std::to_string(task) + " " + data);
        switch (task) {
        case 2: return {200, emptyClient ? "" : Tag("client number", "C" + std::to_string(++clients))};
        case 3: return {200, Tag("order number", "O" + std::to_string(++orders))};
        case 5: return {200, Tag("receipt number", "R1")};
        case 4: return {200, Tag("order line", "1")};
        default: return {200, ""};
        }
    }
    // Key 21 and every step after it; the bytes printed.
    std::string Import() {
        gSettings.gPrinterType = PrinterType::Com1;
        std::string printed;
        {
            PrinterCapture capture;
            gReg.gKeyPage = KeyPage::Extras;
            gSettings.gExtrasPageOn = true;
            mDept_Click(21);
            EXPECT_FALSE(screen.Enabled(SoftKeyId(6))) << "keys locked during the import";
            EXPECT_TRUE(runner.RunUntilIdle(60000));
            printed = capture.bytes;
        }
        Printer_Abandon();
        gSettings.gPrinterType = PrinterType::Off;
        EXPECT_TRUE(screen.Enabled(SoftKeyId(6)));
        return printed;
    }
    std::vector<std::string> Answered() {
        std::lock_guard<std::mutex> lock(mutex);
        return answered;
    }
    std::vector<fs::path> Kept() const {
        std::vector<fs::path> out;
        if (!fs::exists(dir.Path() + "/WebOrders")) return out;
        for (const auto& e : fs::directory_iterator(dir.Path() + "/WebOrders"))
            if (e.path().extension() == ".txt") out.push_back(e.path());
        std::sort(out.begin(), out.end());
        return out;
    }

    TestDir root1, root2;
    LocalFtpServer shop1{root1.Path(), "shop", "quolma"};
    LocalFtpServer shop2{root2.Path(), "shop", "quolma"};
    DispatcherStub office;
    ManualRunner runner;
    OnlineServices online;
    std::mutex mutex;
    std::vector<std::string> answered;
    int seen = 0, failAt = -1, clients = 0, orders = 0;
    bool emptyClient = false;
};

TEST_F(WebOrdersTest, EachOrderGoesToTheBackOfficeOnceInItsOrderAndTheLogIsPrinted) {
    const std::string file = "header\r\n" + ExportLine("1001", "P1", "100", "7.5", "5") + "\r\n" +
                             ExportLine("1001", "P2", "100", "7.5", "5") + "\n" + ExportLine("1002", "P3", "", " 0 ") +
                             "\r\n" + ExportLine("1001", "P4", "20") + "\r\n";
    WriteFile(RemotePath(root1.Path(), "garden.example"), file);
    const std::string printed = Import();

    const std::string ship = "<ship name>Smith Ann</ship name><ship address>12 Elm St Apt 4</ship address>"
                             "<ship city>Laval</ship city><ship state>QC</ship state><ship zip code>H7A1A1</ship zip "
                             "code><name>Smith Bob</name><email>bob@example.com</email>";
    EXPECT_EQ(Answered(),
              (std::vector<std::string>{
                  "2 " + ship + "<territory id>100</territory id>",
                  "3 <client>C1</client><clientpo>1001</clientpo><tax1>7.5</tax1><charge1>5</charge1><total>100</total>"
                  "<subtotal>87.5</subtotal><employee>42</employee><payment status>4</payment status><type>11</type>",
                  "5 <description>Upload from Miva</description><amount>100</amount><order number>O1</order number>",
                  "4 <order number>O1</order number><product number>P1</product number><unit price>2.5</unit "
                  "price><order quantity>3</order quantity>",
                  "4 <order number>O1</order number><product number>P2</product number><unit price>2.5</unit "
                  "price><order quantity>3</order quantity>",
                  "2 " + ship + "<territory id>121</territory id>",
                  "3 <client>C2</client><clientpo>1002</clientpo><tax1> 0 </tax1><subtotal>0</subtotal>"
                  "<employee>42</employee><payment status>4</payment status><type>11</type>",
                  "5 <description>Upload from Miva</description><amount>0</amount><order number>O2</order number>",
                  "4 <order number>O2</order number><product number>P3</product number><unit price>2.5</unit "
                  "price><order quantity>3</order quantity>",
                  // the same order number again after another: a new client, order and receipt
                  "2 " + ship + "<territory id>100</territory id>",
                  "3 <client>C3</client><clientpo>1001</clientpo><total>20</total><subtotal>20</subtotal>"
                  "<employee>42</employee><payment status>4</payment status><type>11</type>",
                  "5 <description>Upload from Miva</description><amount>20</amount><order number>O3</order number>",
                  "4 <order number>O3</order number><product number>P4</product number><unit price>2.5</unit "
                  "price><order quantity>3</order quantity>",
              }));
    const auto calls = office.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].Keys(), (std::vector<std::string>{"task", "terminal", "debugmode", "flag", "data"}));
    EXPECT_EQ(calls[0].Param("flag"), "7");
    EXPECT_EQ(calls[1].Keys(), (std::vector<std::string>{"task", "terminal", "debugmode", "data"}));

    // The shop's file: kept under the program folder, gone from the shop.
    const auto kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].filename().string(), "120910301.txt");
    EXPECT_EQ(ReadAll(kept[0].string()), file);
    EXPECT_FALSE(fs::exists(RemotePath(root1.Path(), "garden.example")));
    struct stat st;
    ASSERT_EQ(::stat((kept[0].string() + ".journal").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadAll(kept[0].string() + ".journal").substr(ReadAll(kept[0].string() + ".journal").size() - 5),
              "END\r\n");

    for (const std::string& line :
         std::vector<std::string>{"             COMMUNICATION LOG\r\n", "Date: 12/09/2026       Time: 10:30\r\n",
                                  "Successfully connected to Garden server\r\n",
                                  "Order file successfully retrieved as " + kept[0].string() + "\r\n",
                                  "Error: Unable to connect to Books server\r\n"})
        EXPECT_NE(printed.find(line), std::string::npos) << line << "\n" << printed;
    const std::string log = ReadAll(gConstants.paths.gFilesPath + ".LOG");
    EXPECT_EQ(log.find("quolma"), std::string::npos) << "no shop password in the log";
    EXPECT_EQ(log.find("wrong"), std::string::npos);
}

TEST_F(WebOrdersTest, AFailedSendStopsTheFileAndTheNextImportResumesWithoutSendingAnythingTwice) {
    std::string file = "header\r\n";
    for (int k = 1; k <= 4; ++k)
        file += ExportLine(std::to_string(500 + k), "P" + std::to_string(k), "10", "", "", "S" + std::to_string(k)) +
                "\r\n";
    WriteFile(RemotePath(root1.Path(), "garden.example"), file);
    failAt = 7;  // order 2's cash receipt
    const std::string printed = Import();
    EXPECT_NE(printed.find("Error: Unable to send message to server - Operation aborted"), std::string::npos);
    EXPECT_EQ(Answered().size(), 6u) << "order 1 whole, order 2's client and order";

    // The shop has nothing new; the file left part-way goes on where it stopped.
    failAt = -1;
    Import();
    const auto sent = Answered();
    EXPECT_EQ(sent.size(), 16u);
    std::set<std::string> unique(sent.begin(), sent.end());
    EXPECT_EQ(unique.size(), sent.size()) << "every request answered once";
    EXPECT_EQ(sent[6],
              "5 <description>Upload from Miva</description><amount>10</amount><order number>O2</order number>")
        << "the receipt carries the order number the server gave before the failure";
    EXPECT_EQ(Kept().size(), 1u);

    // A third import has nothing to do.
    Import();
    EXPECT_EQ(Answered().size(), 16u);
}

TEST_F(WebOrdersTest, AnOrderWhoseClientIsNotSavedSendsNoneOfItsLines) {
    WriteFile(RemotePath(root1.Path(), "garden.example"),
              "header\n" + ExportLine("9", "P1", "10") + "\n" + ExportLine("9", "P2", "10") + "\n");
    emptyClient = true;
    const std::string printed = Import();
    EXPECT_EQ(Answered(), (std::vector<std::string>{"2 <ship name>Smith Ann</ship name><ship address>12 Elm St Apt "
                                                    "4</ship address><ship city>Laval</ship city><ship state>QC</ship "
                                                    "state><ship zip code>H7A1A1</ship zip code><name>Smith "
                                                    "Bob</name><email>bob@example.com</email><territory "
                                                    "id>100</territory id>"}));
    EXPECT_NE(printed.find("Error: New client not saved for order 9"), std::string::npos);
    EXPECT_NE(ReadAll(gConstants.paths.gFilesPath + ".LOG").find("Web order 9: 2 lines not sent"), std::string::npos);
}

TEST_F(WebOrdersTest, ShopsWithoutAFileSendNothingAndAnEarlierFileIsNeverReplaced) {
    std::string printed = Import();
    EXPECT_TRUE(Answered().empty());
    EXPECT_NE(printed.find("No orders present in Garden for retrieval"), std::string::npos);
    EXPECT_NE(printed.find("Error: Unable to connect to Books server"), std::string::npos);

    // A copy left half-fetched by an earlier import is cleared away.
    WriteFile(dir.Path() + "/WebOrders/.download-AbC123", "half");
    // Two fetches in the same minute: the second takes the next free name.
    const std::string first = "header\r\n" + ExportLine("1", "P1", "1") + "\r\n";
    const std::string second = "header\r\n" + ExportLine("2", "P2", "2") + "\r\n";
    WriteFile(RemotePath(root1.Path(), "garden.example"), first);
    Import();
    WriteFile(RemotePath(root1.Path(), "garden.example"), second);
    Import();
    const auto kept = Kept();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].filename().string(), "120910301-2.txt");
    EXPECT_EQ(ReadAll(kept[0].string()), second);
    EXPECT_EQ(kept[1].filename().string(), "120910301.txt");
    EXPECT_EQ(ReadAll(kept[1].string()), first);
    EXPECT_EQ(Answered().size(), 8u);
    EXPECT_FALSE(fs::exists(dir.Path() + "/WebOrders/.download-AbC123"));
}

// The payloads alone: composite names, the territory and the subtotal.
TEST(WebOrderPayloads, NamesTerritoryAndSubtotalFollowTheColumns) {
    std::vector<std::string> c(37);
    auto line = [&c] {
        std::string l;
        for (const auto& v : c) l += v + "\t";
        return l;
    };
    EXPECT_EQ(WebOrder_ClientPayload(line()), "<territory id>100</territory id>") << "empty names left out";
    c[5] = "Smith";
    c[34] = "0";
    EXPECT_EQ(WebOrder_ClientPayload(line()), "<ship name>Smith </ship name><territory id>121</territory id>");
    c[34] = "7.25";
    c[35] = "abc";
    c[36] = "50.10";
    EXPECT_EQ(WebOrder_OrderPayload(line(), "C9", ""),
              "<client>C9</client><tax1>7.25</tax1><charge1>abc</charge1><total>50.10</total><subtotal>42.85</subtotal>"
              "<payment status>4</payment status><type>11</type>");
    c[36] = "";
    EXPECT_EQ(WebOrder_PaymentPayload(line(), "O1"),
              "<description>Upload from Miva</description><amount>0</amount><order number>O1</order number>");
}

}  // namespace
}  // namespace tarvo
