// The shipping export against the dispatcher stand-in: the file the carrier's
// software reads, byte for byte, and what the cashier sees order by order.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "backoffice/online_state.h"
#include "config/constants.h"
#include "online/online_services.h"
#include "platform/background_runner.h"
#include "register/key_fixture.h"
#include "register/keyboard.h"
#include "register/register_keys.h"

namespace tarvo {
namespace {

const char* const kHeader =
    "Order Number,Order Date,Client Number,Bill to Name,Bill to Address,Bill to City,Bill to State,Bill to Zip "
    "Code,Bill to Country,Ship to Name,Ship to Address,Ship to City,Ship to State,Ship to Zip Code,Ship to "
    "Country,Contact,Client Reference,Package,Weight,Volume,Transport,Comment\r\n";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

class ShippingExportTest : public KeyTest {
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
        BSys_Click(3);  // the Online page: its keys are captioned, so unlocking enables them
        Reg().programFolder = dir.Path();
        gConstants.paths.programFolder = dir.Path();
        target = dir.Path() + "/carrier/out.csv";
        std::filesystem::create_directories(dir.Path() + "/carrier");
        std::ofstream(dir.Path() + "/filename.txt", std::ios::binary) << target << "\r\n";
        server.SetHandler([this](const DispatcherCall& call) {
            const std::string data = call.Param("data");
            auto it = orders.find(data);
            if (it == orders.end()) return DispatcherAnswer{200, ""};
            return it->second;
        });
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        Reg().runner = nullptr;
        KeyTest::TearDown();
    }
    void Known(int order, DispatcherAnswer answer) {
        orders["<order number>" + std::to_string(order) + "</order number>"] = std::move(answer);
    }
    // Runs the export of the range; the message line after each step.
    std::vector<std::string> Export(const std::string& first, const std::string& last) {
        online.Online_Service_UPS(first, last);
        std::vector<std::string> shown{MessageLine()};
        while (runner.Pending() > 0 && runner.WaitAndRun(10000) > 0) shown.push_back(MessageLine());
        return shown;
    }

    DispatcherStub server;
    ManualRunner runner;
    OnlineServices online;
    std::map<std::string, DispatcherAnswer> orders;
    std::string target;
};

TEST_F(ShippingExportTest, EachKnownOrderIsOneLineOfTwentyTwoColumns) {
    Known(101, {200, Tag("order number", "101") + Tag("order date", "12/09/2026") + Tag("client number", "C7") +
                         Tag("client name", "Smith, John") + Tag("address", "1 Main St\r\nUnit 2") +
                         Tag("city", "Laval, QC") + Tag("state", "QC") + Tag("zip code", "H7A 1A1") +
                         Tag("ship name", "\"Big\" Jim") + Tag("comment", "leave,at door") + Tag("weight", "2.5")});
    const auto shown = Export("100", "102");
    EXPECT_EQ(shown, (std::vector<std::string>{"Order: 100", "Order: 101", "Order: 102", "Communication Completed"}));
    EXPECT_EQ(ReadAll(target), std::string(kHeader) +
                                   "101,12/09/2026,C7,Smith  John,1 Main St  Unit 2,Laval  QC,QC,H7A 1A1,, Big  Jim,"
                                   ",,,,,,,,2.5,,,leave at door,\r\n");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const auto calls = server.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Keys(), (std::vector<std::string>{"task", "terminal", "debugmode", "data"}));
    EXPECT_EQ(calls[0].Param("task"), "6");
    EXPECT_EQ(calls[2].Param("data"), "<order number>102</order number>");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(6))) << "keys back after the export";
}

TEST_F(ShippingExportTest, RangesThatAreNotWholeNumbersAreRefusedBeforeAnyRequest) {
    for (auto [first, last] : std::vector<std::pair<const char*, const char*>>{
             {"1a", "5"}, {"1", "5.5"}, {"-1", "5"}, {"1", ""}, {"", "3"}, {"1", "1234567890"}}) {
        screen.SetText(kMessageLine, "");
        EXPECT_EQ(Export(first, last), std::vector<std::string>{"Invalid Entry"}) << first << " " << last;
    }
    EXPECT_TRUE(server.Calls().empty());
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(ShippingExportTest, AStartAboveTheEndWritesTheHeaderOnlyAndASecondExportReplacesTheFile) {
    Known(7, {200, Tag("order number", "7")});
    Export("007", "7");
    EXPECT_EQ(ReadAll(target), std::string(kHeader) + "7,,,,,,,,,,,,,,,,,,,,,,\r\n");
    EXPECT_EQ(server.LastCall().Param("data"), "<order number>7</order number>");
    EXPECT_EQ(Export("9", "8"), (std::vector<std::string>{"Communication Completed"}));
    EXPECT_EQ(ReadAll(target), kHeader);
}

TEST_F(ShippingExportTest, AFailedRequestEndsTheExportKeepingTheLinesGathered) {
    Known(1, {200, Tag("order number", "1")});
    Known(2, {500, "down"});
    Known(3, {200, Tag("order number", "3")});
    const auto shown = Export("1", "3");
    EXPECT_EQ(shown.back(), "Communication error with server");
    EXPECT_EQ(ReadAll(target), std::string(kHeader) + "1,,,,,,,,,,,,,,,,,,,,,,\r\n");
    EXPECT_EQ(server.Calls().size(), 2u);
    EXPECT_TRUE(screen.Enabled(SoftKeyId(6)));
}

TEST_F(ShippingExportTest, EscStopsALongRangeBetweenTwoRequests) {
    for (int k = 1; k <= 50; ++k) Known(k, {200, Tag("order number", std::to_string(k))});
    online.Online_Service_UPS("1", "50");
    ASSERT_EQ(runner.WaitAndRun(10000), 1);
    ASSERT_EQ(runner.WaitAndRun(10000), 1);
    EXPECT_EQ(MessageLine(), "Order: 3");
    Form_KeyDown(KeyCode::Escape, 0);
    EXPECT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(MessageLine(), "Export Cancelled");
    EXPECT_EQ(server.Calls().size(), 3u) << "nothing asked after the order in flight";
    EXPECT_EQ(ReadAll(target), std::string(kHeader) + "1,,,,,,,,,,,,,,,,,,,,,,\r\n2,,,,,,,,,,,,,,,,,,,,,,\r\n"
                                                      "3,,,,,,,,,,,,,,,,,,,,,,\r\n");
    EXPECT_TRUE(screen.Enabled(SoftKeyId(6)));
}

TEST_F(ShippingExportTest, WithoutAUsableTargetTheFileIsUpsCsvInTheProgramFolder) {
    std::ofstream(dir.Path() + "/filename.txt", std::ios::binary | std::ios::trunc) << "C:\\UPS\\out.csv\r\n";
    Export("5", "4");
    EXPECT_EQ(ReadAll(dir.Path() + "/ups.csv"), kHeader);
    std::filesystem::remove(dir.Path() + "/filename.txt");
    std::filesystem::remove(dir.Path() + "/ups.csv");
    Export("5", "4");
    EXPECT_EQ(ReadAll(dir.Path() + "/ups.csv"), kHeader);
}

// Key 24 empties the range and asks for the first order number.
TEST_F(ShippingExportTest, Key24AsksForTheFirstOrderNumber) {
    gSettings.gExtrasPageOn = true;
    gOnline.gOrderRangeStart = "4";
    gReg.gKeyPage = KeyPage::Extras;
    Type("99");
    mDept_Click(24);
    EXPECT_EQ(MessageLine(), "Input Starting Order Number");
    EXPECT_EQ(Entry(), "");
    EXPECT_EQ(gOnline.gOrderRangeStart, "");
    Online_Prompt_End_Order();
    EXPECT_EQ(MessageLine(), "Input Ending Order Number");
}

}  // namespace
}  // namespace tarvo
