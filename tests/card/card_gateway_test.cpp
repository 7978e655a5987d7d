// Card payments through the card gateway: a real HTTPS server on 127.0.0.1
// with a certificate the test makes plays the gateway. The card tender is
// in the sale while the answer is awaited and taken back on anything but an
// approval. What is asserted is what the cashier sees, the sale's tenders,
// the form the gateway received and the program log.
#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "card/card_fixture.h"
#include "card/card_payments.h"
#include "card/gateway_exchange.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "platform/background_runner.h"
#include "register/program_services.h"
#include "register/register_fixture.h"
#include "register/register_keys.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "sale/tenders.h"
#include "sale/totals.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

// An HTTPS gateway on 127.0.0.1 answering POSTs to /gateway/transact.dll.
class FakeGateway {
public:
    using Reply = std::function<std::string()>;
    FakeGateway(const std::string& cert, const std::string& key, Reply reply)
        : server_(cert.c_str(), key.c_str()), reply_(std::move(reply)) {
        server_.Post("/gateway/transact.dll", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                bodies_.push_back(req.body);
                targets_.push_back(req.target);
            }
            res.set_content(reply_(), "text/xml");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int i = 0; i < 400 && !server_.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~FakeGateway() {
        server_.stop();
        thread_.join();
    }
    int Port() const { return port_; }
    std::vector<std::string> Bodies() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return bodies_;
    }
    std::vector<std::string> Targets() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return targets_;
    }

private:
    httplib::SSLServer server_;
    Reply reply_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> bodies_, targets_;
};

class GatewayTest : public CardRegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseCards(CardBackend::Gateway);
        gSettings.gGatewayLogin = " store 1 ";
        gSettings.gGatewayKey = "k&y=1";
        CashOnly();
        AddPaymentType(4, "4", "Visa");
        Payment_Setup();
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261209";
        gSaleSave = SaleSaveState{};
        const std::string cmd = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                                "-addext subjectAltName=IP:127.0.0.1 -keyout " +
                                Key() + " -out " + Cert() + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        gConstants.servers.gCardGatewayCaFile = Cert();
        Cards().Card_Load();
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        gConstants.servers.gCardGatewayUrl.clear();
        gConstants.servers.gCardGatewayCaFile.clear();
        for (WorkFile* f : {&gData.invoices, &gData.invoiceLines, &gData.payments}) f->Close();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }
    std::string Cert() const { return dir.Path() + "-cert.pem"; }
    std::string Key() const { return dir.Path() + "-key.pem"; }
    void UseGateway(const FakeGateway& g) {
        gConstants.servers.gCardGatewayUrl = "https://127.0.0.1:" + std::to_string(g.Port()) + "/gateway/transact.dll";
    }
    void Sale() {
        sale_builder::AddLine("1001", "APPLE", 2, "1.50", "1.50");
        sale_builder::AddLine("1002", "BOOK", 1, "8.00", "8.00");
        Totals_Update();
    }
    void Enter(const std::string& text) {
        screen.SetText(kEntryBox, text);
        BReg_Click(4);
    }
    // A keyed Visa card for the amount proposed (or `amount`).
    void KeyedCharge(const std::string& amount = "") {
        ASSERT_TRUE(PaymentPage_Open());
        mDept_Click(23);
        ASSERT_EQ(Message(), "Input Credit Card Number");
        Enter("4111111111111111");
        Enter("1228");
        if (gSettings.gCardAvs) {
            Enter("12B Main St");
            Enter("K1A 0B1");
        }
        ASSERT_EQ(Message(), "Confirm Amount of Charge");
        if (!amount.empty()) screen.SetText(kEntryBox, amount);
        BReg_Click(4);
    }
};

TEST_F(GatewayTest, ApprovalKeepsTheTenderWithItsCodeAndTheCardNeverInTheAddress) {
    FakeGateway gateway(Cert(), Key(), [] {
        return "<Response><ResponseCode>1</ResponseCode><AuthCode> X7Y8Z9 </AuthCode></Response>";
    });
    UseGateway(gateway);
    gSettings.gCardAvs = true;
    Sale();
    KeyedCharge();

    // The tender is in while the answer is awaited; the keys are locked.
    EXPECT_EQ(gSale.gPaymentCount, 1);
    EXPECT_TRUE(gReg.gCardBusy);
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 120");

    ASSERT_TRUE(runner.RunUntilIdle(10000));
    ASSERT_EQ(gateway.Bodies().size(), 1u);
    EXPECT_EQ(gateway.Bodies()[0],
              "x_login=store%201&x_tran_key=k%26y%3D1&x_response_format=0&x_delim_data=TRUE&x_delim_char=%7C"
              "&x_relay_response=FALSE&x_type=AUTH_CAPTURE&x_method=CC&x_cpversion=1.0&x_card_num=4111111111111111"
              "&x_exp_date=1228&x_amount=11&x_invoice_num=0000002&x_address=12&x_zip=K1A%200B1");
    EXPECT_EQ(gateway.Targets()[0], "/gateway/transact.dll");

    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_EQ(program.card.LastStatus(), 0);
    ASSERT_EQ(gSale.gPaymentCount, 1);
    const SalePayment& p = gSale.gPayments[1];
    EXPECT_EQ(p.amount.Format("0.00"), "11.00");
    EXPECT_EQ(p.reference, "X7Y8Z9");
    EXPECT_EQ(p.cardExpiry, "1228");
    EXPECT_EQ(p.entryKind, 2);
    EXPECT_EQ(p.cardData, "12B Main St K1A 0B1");
    EXPECT_TRUE(gSaleSave.gSaleFinished);
    const std::string log = LogText();
    EXPECT_EQ(log.find("4111111111111111"), std::string::npos) << log;
    EXPECT_EQ(log.find("k&y=1"), std::string::npos) << log;
}

TEST_F(GatewayTest, RefundIsACreditOfTheAmountWithoutSign) {
    FakeGateway gateway(Cert(), Key(), [] { return "<responsecode>1</responsecode><authcode>AB</authcode>"; });
    UseGateway(gateway);
    Sale();
    KeyedCharge("4");
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(gSale.gBalanceDue.Format("0.00"), "7.00");
    EXPECT_EQ(Message(), "Successfully Processed AB");

    gSale.gCardInSale = false;
    gReg.gCardRequest.gCardAmount = *Money::Parse("-12.5");
    Cards().Card_Charge(gReg.gCardRequest);
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    ASSERT_EQ(gateway.Bodies().size(), 2u);
    const std::string body = gateway.Bodies()[1];
    EXPECT_NE(body.find("&x_type=CREDIT&x_cpversion=1.0&"), std::string::npos) << body;
    EXPECT_EQ(body.find("x_method"), std::string::npos) << body;
    EXPECT_NE(body.find("&x_amount=12.5&"), std::string::npos) << body;
}

// Everything that is not an approval: the card tender goes, the cashier
// sees why, the register is free.
TEST_F(GatewayTest, AnythingButAnApprovalTakesTheTenderBack) {
    struct Case {
        const char* name;
        const char* reply;
        int status;
        const char* shown;
        const char* detail;
    };
    const Case cases[] = {
        {"decline",
         "<responsecode>2</responsecode><errortext>This transaction has been declined.</errortext>"
         "<errorcode>27</errorcode><avsresultcode>N</avsresultcode>",
         2, "Declined ", "Declined / This transaction has been declined. / Error Code: 27 / AVS Code: N"},
        {"empty", "", 3, "Failed: Response Not For Sent Request", ""},
        {"garbage", "\x01\x02 no tags at all", 5, "Unknown Credit Card Related Error", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string reply = c.reply;
        FakeGateway gateway(Cert(), Key(), [reply] { return reply; });
        UseGateway(gateway);
        gSale = SaleState{};
        Sale();
        KeyedCharge();
        ASSERT_TRUE(runner.RunUntilIdle(10000));
        EXPECT_EQ(program.card.LastStatus(), c.status);
        EXPECT_EQ(gSale.gPaymentCount, 0);
        EXPECT_FALSE(gSale.gCardInSale);
        EXPECT_FALSE(gReg.gCardBusy);
        EXPECT_EQ(Message().substr(0, std::string(c.shown).size()), c.shown);
        if (*c.detail) {
            EXPECT_NE(screen.Caption(kGreeting).find(c.detail), std::string::npos) << screen.Caption(kGreeting);
        }
    }
}

TEST_F(GatewayTest, UntrustedCertificateOrNoGatewayIsAnErrorShownAndLogged) {
    {
        FakeGateway gateway(Cert(), Key(), [] { return "<responsecode>1</responsecode>"; });
        UseGateway(gateway);
        gConstants.servers.gCardGatewayCaFile.clear();  // the system's store does not know the test's certificate
        Sale();
        KeyedCharge();
        ASSERT_TRUE(runner.RunUntilIdle(10000));
        EXPECT_TRUE(gateway.Bodies().empty());
        EXPECT_EQ(program.card.LastStatus(), 5);
        EXPECT_EQ(gSale.gPaymentCount, 0);
        EXPECT_EQ(Message().substr(0, 33), "Unknown Credit Card Related Error");
        EXPECT_NE(LogText().find("certificate"), std::string::npos) << LogText();
    }
    // Connection refused: the gateway above is gone.
    gConstants.servers.gCardGatewayCaFile = Cert();
    gSale = SaleState{};
    Sale();
    KeyedCharge();
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(program.card.LastStatus(), 5);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gReg.gCardBusy);
}

TEST_F(GatewayTest, TimeOutTakesTheTenderBackAndTheLateApprovalIsOnlyLogged) {
    FakeGateway gateway(Cert(), Key(), [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return std::string("<responsecode>1</responsecode><authcode>LATE1</authcode>");
    });
    UseGateway(gateway);
    gSettings.gCardTimeout = "3";
    Sale();
    KeyedCharge();
    EXPECT_EQ(gSale.gPaymentCount, 1);
    timers.Tick(TimerId::Credit);
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(program.card.LastStatus(), 4);
    EXPECT_EQ(Message(), "Error: Credit Operation Timed Out");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gReg.gCardBusy);

    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(program.card.LastStatus(), 4);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gSale.gCardInSale);
    EXPECT_NE(LogText().find("Card gateway answered after its wait ended"), std::string::npos) << LogText();
}

TEST_F(GatewayTest, GatewayTestShowsWhatTheGatewaySaid) {
    const std::pair<std::string, std::string> cases[] = {
        {"<ResponseCode>1</ResponseCode>", "Successful "},
        {"<responsecode>2</responsecode><errorcode>27</errorcode><errortext>Bad address</errortext>",
         "Declined (27) Bad address"},
        {"<responsecode>4</responsecode><errortext>Held for review</errortext>", "Undetermined Held for review"},
        {"no tags", "Invalid response received to test"},
        {"", "ERROR: Received empty message in response to test."},
    };
    for (const auto& [reply, shown] : cases) {
        SCOPED_TRACE(reply);
        FakeGateway gateway(Cert(), Key(), [r = reply] { return r; });
        UseGateway(gateway);
        Cards().Gateway_Test();
        EXPECT_EQ(Message(), "Request In Progress, Please Wait ... ");
        EXPECT_TRUE(gReg.gCardBusy);
        ASSERT_TRUE(runner.RunUntilIdle(10000));
        EXPECT_EQ(Message(), shown);
        EXPECT_FALSE(gReg.gCardBusy);
        ASSERT_EQ(gateway.Bodies().size(), 1u);
        EXPECT_NE(gateway.Bodies()[0].find("&x_test=TRUE&"), std::string::npos);
    }
}

TEST(GatewayExchange, ReadsTagsInAnyCaseAndKeepsCodesWhole) {
    EXPECT_EQ(card::Tag_Value("<ResponseCode>1</RESPONSECODE>", "responsecode"), "1");
    EXPECT_EQ(card::Tag_Value("</authcode><authcode>", "authcode"), "");
    EXPECT_EQ(card::Address_HouseNumber("12B Main St"), "12");
    EXPECT_EQ(card::Address_HouseNumber("Main St"), "Main St");
    EXPECT_EQ(card::Gateway_ParseReply("<responsecode>1</responsecode><authcode>ABCDEF</authcode>").authCode, "ABCDEF");
    EXPECT_EQ(card::Gateway_ParseReply("<responsecode>1</responsecode><authcode>A1B2</authcode>").authCode, "A1B2");
    card::GatewayCharge c;
    c.number = "4111";
    c.avs = true;
    c.address = "Main\nSt";
    c.amount = *Money::Parse("10");
    const std::string f = card::GatewayFields(c);
    EXPECT_NE(f.find("&x_amount=10&x_address=Main%0ASt"), std::string::npos) << f;
    c.avs = false;
    EXPECT_EQ(card::GatewayFields(c).find("x_address"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
