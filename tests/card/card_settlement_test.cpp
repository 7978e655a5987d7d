// The batch close of the card terminal and the card gateway against a
// scripted settlement server on 127.0.0.1: the start with the keys locked,
// the polling on the Settlement timer with the keys free, and the report
// printed once at whichever end comes first. What is asserted is the
// printed report, the screen and the files left.
#include <gtest/gtest.h>
#include <httplib.h>

#include <sys/stat.h>

#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "card/card_fixture.h"
#include "card/card_payments.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "platform/background_runner.h"
#include "print/golden_file.h"
#include "print/print_golden.h"
#include "print/printer_output.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

class SettlementServer {
public:
    SettlementServer(std::string start, std::deque<std::string> statuses)
        : start_(std::move(start)), statuses_(std::move(statuses)) {
        server_.Post("/tran", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex_);
            starts_.push_back(req.target + " " + req.body);
            res.set_content(start_, "text/plain");
        });
        server_.Get("/tran", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex_);
            polls_.push_back(req.target);
            std::string reply = "working";
            if (!statuses_.empty()) {
                reply = statuses_.front();
                if (statuses_.size() > 1) statuses_.pop_front();
            }
            res.set_content(reply, "text/plain");
        });
        server_.Get("/show_receipt.cgi", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex_);
            polls_.push_back(req.target);
            res.set_content("BATCH 17 CLOSED", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int i = 0; i < 400 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~SettlementServer() {
        server_.stop();
        thread_.join();
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    std::vector<std::string> Starts() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return starts_;
    }
    std::vector<std::string> Polls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return polls_;
    }

private:
    httplib::Server server_;
    std::string start_;
    std::deque<std::string> statuses_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> starts_, polls_;
};

class NetworkSettlementTest : public CardRegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseCards(CardBackend::Gateway);
        gSettings.gGatewayLogin = "store 1";
        gSettings.gGatewayKey = "p&ss=word";
        gSettings.gHeaderLine = {"MY STORE", "", "", "", ""};
        gReg.gLoggedOut = true;
        gSale.gDateText = "09/Dec/2026";
        clock.Set(LocalTime{2026, 12, 9, 21, 30, 0});
        gSettings.gPrinterType = PrinterType::Com1;
        print_golden::UseReadableCodes();
        Cards().Card_Load();
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        PrinterCapture_End();
        gSettings.gPrinterType = PrinterType::Off;
        Data_Reset(gData);
        RegisterTest::TearDown();
    }
    static int Reports(const std::string& printed) {
        int n = 0;
        for (auto at = printed.find("Settlement Report"); at != std::string::npos;
             at = printed.find("Settlement Report", at + 1))
            ++n;
        return n;
    }
    // What the report says after its heading, to the feed and cut.
    static std::string Outcome(const std::string& printed) {
        const auto rule = printed.rfind(std::string(40, '-'));
        return rule == std::string::npos ? printed : printed.substr(rule + 40);
    }
};

TEST_F(NetworkSettlementTest, ProgressThenTheEndWithItsReceiptPrintsSuccessOnce) {
    SettlementServer server("Settlement processing, please wait", {"   1@#@#45xxxxClosing batch", "0@#@#R000017  "});
    gSettings.gGatewayUrl = server.Base();
    PrinterCapture cap;
    Cards().Card_Settlement();
    EXPECT_TRUE(gReg.gCardBusy);
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 120");

    ASSERT_TRUE(runner.RunUntilIdle(5000));
    // The server works on: the keys are free, the polling counts.
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_TRUE(timers.Running(TimerId::Settlement));
    EXPECT_EQ(timers.Interval(TimerId::Settlement), 10000);
    EXPECT_EQ(Message(), "0 / 300");
    ASSERT_EQ(server.Starts().size(), 1u);
    EXPECT_EQ(server.Starts()[0], "/tran type=settle&username=store%201&password=p%26ss%3Dword");

    timers.Tick(TimerId::Settlement);
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(Message(), "% 45Closing batch10 / 300");
    EXPECT_TRUE(cap.bytes.empty());

    timers.Tick(TimerId::Settlement);
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(server.Polls(), (std::vector<std::string>{"/tran?type=settle_scan.cgi", "/tran?type=settle_scan.cgi",
                                                        "/show_receipt.cgi?filename=R000017"}));
    EXPECT_FALSE(timers.Running(TimerId::Settlement));
    EXPECT_EQ(program.card.LastStatus(), 0);
    const std::string printed = golden_file::PrintoutText(cap.bytes);
    EXPECT_EQ(Reports(printed), 1) << printed;
    EXPECT_EQ(Outcome(printed), "\n\nSettlement Successful\n\nFC\n") << printed;

    // The start reply's copy is the user's own; the password is nowhere.
    struct stat st {};
    ASSERT_EQ(::stat((dir.Path() + "/Data/Settlement.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(LogText().find("p&ss=word"), std::string::npos);
    EXPECT_EQ(LogText().find("p%26ss"), std::string::npos);
}

// Every other end: the report says why, once; the register is free; the
// polling has stopped.
TEST_F(NetworkSettlementTest, EachEndPrintsItsReportOnce) {
    struct Case {
        const char* name;
        const char* start;
        std::deque<std::string> statuses;
        bool serverGone;
        int ticks;
        int status;
        const char* outcome;
    };
    const Case cases[] = {
        {"start refused by the server",
         "Login failed",
         {},
         false,
         0,
         2,
         "Settlement Failed\nError Detected: Settlement Process Does Not Start\nResponse Follows: \nLogin failed\n"},
        {"server not reached",
         "",
         {},
         true,
         0,
         12,
         "Settlement Failed\nError Number  7 Detected At Initial Settlement\n"},
        {"acknowledged error",
         "Settlement processing",
         {"2@#@#"},
         false,
         1,
         5,
         "Settlement Failed\nError Detected: Settlement Acknowledged Error\nResponse Follows: \n2@#@#\n"},
        {"finished without a receipt",
         "Settlement processing",
         {"0@#@#       "},
         false,
         1,
         0,
         "Settlement Successful\n\n"},
        {"never finishes",
         "Settlement processing",
         {"no marker yet"},
         false,
         30,
         10,
         "Settlement Timed Out 300 Seconds\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrinterCapture cap;
        {
            std::string base;
            std::unique_ptr<SettlementServer> server;
            if (c.serverGone) {
                SettlementServer gone(c.start, c.statuses);
                base = gone.Base();
            } else {
                server = std::make_unique<SettlementServer>(c.start, c.statuses);
                base = server->Base();
            }
            gSettings.gGatewayUrl = base;
            Cards().Card_Settlement();
            ASSERT_TRUE(runner.RunUntilIdle(5000));
            for (int k = 0; k < c.ticks && timers.Running(TimerId::Settlement); ++k) {
                timers.Tick(TimerId::Settlement);
                ASSERT_TRUE(runner.RunUntilIdle(5000));
            }
        }
        EXPECT_EQ(program.card.LastStatus(), c.status);
        EXPECT_FALSE(gReg.gCardBusy);
        EXPECT_FALSE(timers.Running(TimerId::Settlement));
        const std::string printed = golden_file::PrintoutText(cap.bytes);
        EXPECT_EQ(Reports(printed), 1) << printed;
        EXPECT_EQ(Outcome(printed), std::string("\n\n") + c.outcome + "FC\n") << printed;
        PrinterCapture_End();
    }
}

TEST_F(NetworkSettlementTest, StartNotAnsweredWithinTheCardTimeOutEndsTheWaitOnce) {
    httplib::Server silent;
    silent.Post("/tran", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        res.set_content("Settlement processing", "text/plain");
    });
    const int port = silent.bind_to_any_port("127.0.0.1");
    std::thread t([&] { silent.listen_after_bind(); });
    for (int i = 0; i < 400 && !silent.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    gSettings.gGatewayUrl = "http://127.0.0.1:" + std::to_string(port) + "/";
    gSettings.gCardTimeout = "2";
    PrinterCapture cap;
    Cards().Card_Settlement();
    timers.Tick(TimerId::Credit);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_EQ(program.card.LastStatus(), 10);
    ASSERT_TRUE(runner.RunUntilIdle(5000));  // the late start reply changes nothing
    EXPECT_FALSE(timers.Running(TimerId::Settlement));
    const std::string printed = golden_file::PrintoutText(cap.bytes);
    EXPECT_EQ(Reports(printed), 1) << printed;
    EXPECT_EQ(Outcome(printed), "\n\nSettlement Timed Out 2 Seconds\nFC\n") << printed;
    silent.stop();
    t.join();
}

}  // namespace
}  // namespace tarvo
