// Card payments through the card terminal on the store's network: a real
// HTTP server on 127.0.0.1 plays the terminal, the exchange runs on the
// background runner's worker while the Credit timer counts the wait. What
// is asserted is what the cashier sees, the sale's tenders and the terminal
// log on disk.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "backoffice/dispatcher_stub.h"
#include "card/card_fixture.h"
#include "card/card_payments.h"
#include "card/fake_terminal.h"
#include "card/terminal_exchange.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/sale_state.h"
#include "platform/background_runner.h"
#include "register/keyboard.h"
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

constexpr const char* kApproval = "<ResultCode>0</ResultCode><AuthCode> AB12C </AuthCode>"
                                  "<ExtData>CardType=AMEX,AcntLast4=0005,Name=PAT O'NEIL,Tip=0.00</ExtData>";

class TerminalTest : public CardRegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseCards(CardBackend::Terminal);
        gSettings.gRegisterId = "R&7";
        CashOnly();
        AddPaymentType(6, "2", "Card");
        Payment_Setup();
        gReg.gLoggedOut = false;
        gReg.gBusinessDate = "20261209";
        clock.Set(LocalTime{2026, 12, 9, 14, 5, 9});
        gSaleSave = SaleSaveState{};
        Cards().Card_Load();
    }
    void TearDown() override {
        runner.RunUntilIdle(5000);
        for (WorkFile* f : {&gData.invoices, &gData.invoiceLines, &gData.payments}) f->Close();
        Data_Reset(gData);
        RegisterTest::TearDown();
    }

    void UseTerminal(const FakeTerminal& t) {
        ASSERT_GT(t.Port(), 0);
        gSettings.gTerminalIP = "127.0.0.1:" + std::to_string(t.Port());
    }
    // Two lines, 11.00 in all.
    void Sale() {
        sale_builder::AddLine("1001", "APPLE", 2, "1.50", "1.50");
        sale_builder::AddLine("1002", "BOOK", 1, "8.00", "8.00");
        Totals_Update();
    }
    // The card key of the payment page, then the amount confirmed.
    void Charge(const std::string& amount = "") {
        ASSERT_TRUE(PaymentPage_Open());
        mDept_Click(6);
        ASSERT_EQ(Message(), "Confirm Amount of Charge");
        if (!amount.empty()) screen.SetText(kEntryBox, amount);
        BReg_Click(4);
    }
    std::string TerminalLogText() const {
        std::ifstream f(dir.Path() + "/Data/Dejavoo.LOG", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
};

TEST_F(TerminalTest, ApprovalPaysTheSaleWithTheMaskedCardAndLogsBothWays) {
    FakeTerminal terminal([](const std::string& doc) { return FakeTerminal::Echo(doc, kApproval); });
    UseTerminal(terminal);
    Sale();
    Charge();

    // Waiting: the keys locked, the running time shown, nothing posted yet.
    EXPECT_TRUE(gReg.gCardBusy);
    EXPECT_FALSE(screen.Enabled(kEntryBox));
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 0 / 120");
    EXPECT_TRUE(timers.Running(TimerId::Credit));
    EXPECT_EQ(gSale.gPaymentCount, 0);
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(Message(), "Credit Card Processing In Progress 2 / 120");

    ASSERT_TRUE(runner.RunUntilIdle(5000));
    ASSERT_EQ(terminal.Documents().size(), 1u);
    EXPECT_EQ(terminal.Documents()[0],
              "<request><PaymentType>Credit</PaymentType><TransType>Sale</TransType><Amount>11.00</Amount>"
              "<InvNum>0000002</InvNum><RefId></RefId><RegisterId>R&amp;7</RegisterId></request>");
    // The document is one encoded value: the register id's "&" cannot start another field.
    EXPECT_EQ(terminal.Targets()[0].find('&'), std::string::npos) << terminal.Targets()[0];

    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(timers.Running(TimerId::Credit));
    EXPECT_EQ(program.card.LastStatus(), 0);
    // The sale is saved under the invoice number the terminal was sent.
    EXPECT_EQ(gData.gLastInvoiceRecord, 2);
    ASSERT_EQ(gSale.gPaymentCount, 1);
    const SalePayment& p = gSale.gPayments[1];
    EXPECT_EQ(p.amount.Format("0.00"), "11.00");
    EXPECT_EQ(p.cardNumber, "************0005");
    EXPECT_EQ(p.cardExpiry, "");
    EXPECT_EQ(p.cardHolder, "PAT O NEIL");
    EXPECT_EQ(p.entryKind, 1);
    EXPECT_EQ(p.reference, "AB12C");
    EXPECT_TRUE(gSale.gCardInSale);
    EXPECT_TRUE(gSaleSave.gSaleFinished);

    const std::string log = TerminalLogText();
    EXPECT_EQ(log.substr(0, 24), ">>> 12-09-2026 14:05:09h") << log;
    EXPECT_NE(log.find("ttp://127.0.0.1:" + std::to_string(terminal.Port()) +
                       "/cgi.html?TerminalTransaction=%3Crequest%3E"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("    TIMEOUT= 120\r\n\r\n<<< 12-09-2026 14:05:09<response><InvNum>0000002</InvNum>"),
              std::string::npos)
        << log;
    struct stat st {};
    ASSERT_EQ(::stat((dir.Path() + "/Data/Dejavoo.LOG").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(TerminalTest, PartialApprovalLeavesTheRestDueAndARefundSendsReturn) {
    FakeTerminal terminal([](const std::string& doc) { return FakeTerminal::Echo(doc, kApproval); });
    UseTerminal(terminal);
    Sale();
    Charge("4");
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(gSale.gPaymentCount, 1);
    EXPECT_FALSE(gSaleSave.gSaleFinished);
    EXPECT_EQ(gSale.gBalanceDue.Format("0.00"), "7.00");
    EXPECT_EQ(Message(), "Successfully Processed AB12C");

    // The amount of a refund goes out without its sign, as a return.
    gReg.gCardRequest.gCardAmount = *Money::Parse("-12.5");
    gSale.gCardInSale = false;
    Cards().Card_Charge(gReg.gCardRequest);
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    ASSERT_EQ(terminal.Documents().size(), 2u);
    EXPECT_EQ(FakeTerminal::Tag(terminal.Documents()[1], "TransType"), "Return");
    EXPECT_EQ(FakeTerminal::Tag(terminal.Documents()[1], "Amount"), "12.50");
}

// Each reply the terminal may give that is not an approval: nothing is
// posted, the cashier sees why, the register is free again.
TEST_F(TerminalTest, RepliesThatAreNotApprovalsPostNothing) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> reply;
        int status;
        const char* shown;
    };
    const Case cases[] = {
        {"decline",
         [](const std::string& d) {
             return FakeTerminal::Echo(d, "<ResultCode>1</ResultCode><Message>DECLINED</Message><RespMSG>Insufficient "
                                          "Funds</RespMSG>");
         },
         1, "Declined  DECLINED Insufficient Funds"},
        {"cancelled",
         [](const std::string& d) { return FakeTerminal::Echo(d, "<ResultCode>0</ResultCode>Request cancelled"); }, 14,
         "Failed: Cancelled"},
        {"invoice echoed without zeros",
         [](const std::string& d) {
             return "<response><InvNum>1</InvNum><RegisterId>" + FakeTerminal::Tag(d, "RegisterId") +
                    "</RegisterId><ResultCode>0</ResultCode></response>";
         },
         3, "Failed: Response Not For Sent Request"},
        {"other register",
         [](const std::string& d) {
             return "<response><InvNum>" + FakeTerminal::Tag(d, "InvNum") +
                    "</InvNum><RegisterId>R9</RegisterId><ResultCode>0</ResultCode></response>";
         },
         3, "Failed: Response Not For Sent Request"},
        {"empty body", [](const std::string&) { return std::string(); }, 2, "No Response from Terminal"},
        {"garbage", [](const std::string&) { return std::string("\x01\xff<<<>>>garbage"); }, 3,
         "Failed: Response Not For Sent Request"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTerminal terminal(c.reply);
        UseTerminal(terminal);
        gSale = SaleState{};
        Sale();
        Charge();
        ASSERT_TRUE(runner.RunUntilIdle(5000));
        EXPECT_EQ(program.card.LastStatus(), c.status);
        EXPECT_EQ(Message(), c.shown);
        EXPECT_EQ(gSale.gPaymentCount, 0);
        EXPECT_FALSE(gSale.gCardInSale);
        EXPECT_FALSE(gReg.gCardBusy);
        EXPECT_TRUE(screen.Enabled(kEntryBox));
    }
}

TEST_F(TerminalTest, TerminalNotReachedIsAnErrorAndNothingReceivedIsLogged) {
    int port = 0;
    {
        FakeTerminal gone([](const std::string&) { return std::string(); });
        port = gone.Port();
    }
    gSettings.gTerminalIP = "127.0.0.1:" + std::to_string(port);
    Sale();
    Charge();
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(program.card.LastStatus(), 12);
    EXPECT_EQ(Message(), "Unknown Credit Card Related Error");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_EQ(TerminalLogText().find("<<<"), std::string::npos);
    EXPECT_NE(LogText().find("Card terminal not reached"), std::string::npos);
}

TEST_F(TerminalTest, WaitEndedByTheTicksIgnoresTheLateApproval) {
    FakeTerminal terminal([](const std::string& doc) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return FakeTerminal::Echo(doc, kApproval);
    });
    UseTerminal(terminal);
    gSettings.gCardTimeout = "3";
    Sale();
    Charge();
    timers.Tick(TimerId::Credit);
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(program.card.LastStatus(), 4);
    EXPECT_EQ(Message(), "Error: Credit Operation Timed Out");
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(timers.Running(TimerId::Credit));

    ASSERT_TRUE(runner.RunUntilIdle(5000));  // the approval arrives after the wait
    EXPECT_EQ(program.card.LastStatus(), 4);
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_EQ(Message(), "Error: Credit Operation Timed Out");
    EXPECT_NE(LogText().find("after its wait ended"), std::string::npos) << LogText();
    EXPECT_NE(TerminalLogText().find("<<< "), std::string::npos);
}

TEST_F(TerminalTest, SilentTerminalEndsAtTheHttpTimeOut) {
    FakeTerminal terminal([](const std::string& doc) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return FakeTerminal::Echo(doc, kApproval);
    });
    UseTerminal(terminal);
    gSettings.gCardTimeout = "1";
    Sale();
    Charge();
    ASSERT_TRUE(runner.RunUntilIdle(5000));
    EXPECT_EQ(program.card.LastStatus(), 4);
    EXPECT_EQ(Message(), "Error: Credit Operation Timed Out");
    EXPECT_EQ(gSale.gPaymentCount, 0);
    EXPECT_FALSE(gReg.gCardBusy);
    timers.Tick(TimerId::Credit);  // a tick after the end changes nothing
    EXPECT_EQ(Message(), "Error: Credit Operation Timed Out");
}

TEST_F(TerminalTest, AddressThatIsNoIpv4AddressIsRefusedBeforeSending) {
    for (const char* address : {"", "10.0.0.1/x", "terminal.local", "10.0.0.1:0", "10.0.0.256", "1.2.3"}) {
        SCOPED_TRACE(address);
        gSettings.gTerminalIP = address;
        gSale = SaleState{};
        Sale();
        Charge();
        EXPECT_EQ(program.card.LastStatus(), 12);
        EXPECT_FALSE(gReg.gCardBusy);
        EXPECT_EQ(runner.Pending(), 0);
    }
    EXPECT_NE(LogText().find("is not an IPv4 address"), std::string::npos);
}

TEST_F(TerminalTest, TerminalTestAsksForItsPageWithTheKeysLocked) {
    {
        FakeTerminal terminal([](const std::string&) { return std::string(); });
        UseTerminal(terminal);
        Cards().Terminal_Test();
        EXPECT_EQ(Message(), "Testing Terminal at " + gSettings.gTerminalIP);
        EXPECT_TRUE(gReg.gCardBusy);
        ASSERT_TRUE(runner.RunUntilIdle(10000));
        EXPECT_EQ(Message(), "Test Successful " + gSettings.gTerminalIP);
        EXPECT_FALSE(gReg.gCardBusy);
    }
    // The terminal above is gone.
    Cards().Terminal_Test();
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(Message(), "ERROR: No Reponse From Terminal " + gSettings.gTerminalIP);
    EXPECT_FALSE(gReg.gCardBusy);
}

// The window's input boxes answered from a list.
class Answers : public WindowControlsOnly {
public:
    std::vector<std::string> answers;
    std::string InputBox(const std::string&) override {
        if (answers.empty()) return "";
        const std::string a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

std::string SettingsText() {
    std::ifstream f(gConstants.paths.gFilesPath + ".SET", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST_F(TerminalTest, SearchFindsTheTerminalsAndSavesTheLaterAddress) {
    FakeTerminal first([](const std::string&) { return std::string(); }, "127.0.0.7");
    FakeTerminal second([](const std::string&) { return std::string(); }, "127.0.0.12", first.Port());
    ASSERT_EQ(second.Port(), first.Port());
    gSettings.gTerminalIP = "10.0.0.1:" + std::to_string(first.Port());
    std::ofstream(gConstants.paths.gFilesPath + ".SET") << "136 10.0.0.1\r\n";
    Answers answers;
    answers.answers = {"1"};
    screen.SetListener(&answers);
    program.card.SetOwnAddressSource([] { return std::string("127.0.0.5"); });

    Cards().Terminal_Find();
    EXPECT_EQ(screen.InputBoxes().back(), "What Would You Like to Do?  0=Exit  1=Quick  2=Complete  3=IE");
    EXPECT_EQ(Message(), "Searching from 1 to 15");
    EXPECT_TRUE(gReg.gCardBusy);
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_EQ(screen.MessageBoxes(),
              (std::vector<std::string>{"Terminal Found At 127.0.0.7", "Terminal Found At 127.0.0.12"}));
    const std::string saved = "127.0.0.12:" + std::to_string(first.Port());
    EXPECT_EQ(gSettings.gTerminalIP, saved);
    EXPECT_EQ(SettingsText(), "136 10.0.0.1\r\n136 " + saved + "\r\n");
    EXPECT_EQ(Message(), "Terminal IP Successfully Saved");
    screen.SetListener(&windowControls);
}

TEST_F(TerminalTest, SearchShowsEachHostAndEscStopsItSavingNothing) {
    FakeTerminal first([](const std::string&) { return std::string(); }, "127.0.0.7");
    FakeTerminal second([](const std::string&) { return std::string(); }, "127.0.0.12", first.Port());
    ASSERT_EQ(second.Port(), first.Port());
    first.SetPageDelay(700);
    second.SetPageDelay(700);
    gSettings.gTerminalIP = "10.0.0.1:" + std::to_string(first.Port());
    std::ofstream(gConstants.paths.gFilesPath + ".SET") << "136 10.0.0.1\r\n";
    Answers answers;
    answers.answers = {"1"};
    screen.SetListener(&answers);
    program.card.SetOwnAddressSource([] { return std::string("127.0.0.5"); });

    Cards().Terminal_Find();
    EXPECT_TRUE(timers.Running(TimerId::Credit));
    // Every host was probed once the first terminal is asked for its page.
    for (int i = 0; i < 500 && first.PageRequests() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(first.PageRequests(), 1);
    timers.Tick(TimerId::Credit);
    EXPECT_EQ(Message(), "Searching from 1 to 15 ==> 15");

    Form_KeyDown(KeyCode::F2, 0);  // other keys stay locked
    EXPECT_TRUE(gReg.gCardBusy);
    Form_KeyDown(KeyCode::Escape, 0);
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_FALSE(gReg.gCardBusy);
    EXPECT_FALSE(timers.Running(TimerId::Credit));
    EXPECT_EQ(second.PageRequests(), 0);  // the scan ended before the later host
    EXPECT_TRUE(screen.MessageBoxes().empty());
    EXPECT_EQ(Message(), "Terminal Not Found");
    EXPECT_EQ(gSettings.gTerminalIP, "10.0.0.1:" + std::to_string(first.Port()));
    EXPECT_EQ(SettingsText(), "136 10.0.0.1\r\n");
    screen.SetListener(&windowControls);
}

TEST_F(TerminalTest, SearchWithNothingAnsweringOrExitSavesNothing) {
    Answers answers;
    screen.SetListener(&answers);
    program.card.SetOwnAddressSource([] { return std::string("127.0.0.250"); });
    gSettings.gTerminalIP = "127.0.0.1:9";  // nothing listens on the discard port
    answers.answers = {"0"};
    Cards().Terminal_Find();
    EXPECT_EQ(runner.Pending(), 0);
    answers.answers = {"1"};
    Cards().Terminal_Find();
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_EQ(screen.MessageBoxes(), (std::vector<std::string>{"Terminal Not Found"}));
    EXPECT_EQ(gSettings.gTerminalIP, "127.0.0.1:9");
    EXPECT_FALSE(gReg.gCardBusy);
    screen.SetListener(&windowControls);
}

TEST_F(TerminalTest, TypedAddressIsSavedAsANewLastLineOrRefused) {
    std::ofstream(gConstants.paths.gFilesPath + ".SET") << "136 10.0.0.1\r\n";
    Answers answers;
    screen.SetListener(&answers);
    answers.answers = {"192.168.1.50", "192.168.1.x", ""};
    Cards().TerminalIP_Input();
    EXPECT_EQ(screen.InputBoxes().back(), "Input Terminal's IP Address: (Or Enter to abort)");
    EXPECT_EQ(gSettings.gTerminalIP, "192.168.1.50");
    EXPECT_EQ(Message(), "Terminal IP Successfully Saved");
    Cards().TerminalIP_Input();  // refused where it is typed
    Cards().TerminalIP_Input();  // nothing typed: nothing done
    EXPECT_EQ(gSettings.gTerminalIP, "192.168.1.50");
    EXPECT_EQ(SettingsText(), "136 10.0.0.1\r\n136 192.168.1.50\r\n");
    EXPECT_NE(LogText().find("\"192.168.1.x\" is not an IPv4 address"), std::string::npos);
    screen.SetListener(&windowControls);
}

TEST_F(TerminalTest, TypedAddressIsMailedWithTheNetworkDetailsToTheSupportDesk) {
    DispatcherStub office;
    ASSERT_TRUE(office.Bound());
    office.UseAsSlot(1);
    gConstants.servers.gServerSlot = 1;
    gConstants.servers.gSupportMail = "support@example.com";
    gSettings.gRegisterId = "7";
    gSettings.gTerminalDescription = "Front desk";
    gSettings.gConnectionMode = ConnectionMode::Interval;
    program.card.SetOwnAddressSource([] { return std::string("127.0.0.5"); });
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const std::string details = "|Terminal: 7|Description: Front desk|IP Address: 127.0.0.5|Network Name: " +
                                std::string(host) + "|Dejavoo Terminal Is At: ";
    const std::string addressed =
        "<to>support@example.com</to><from>support@example.com</from><sender>support@example.com</sender><cc></cc>";
    Answers answers;
    screen.SetListener(&answers);

    office.SetReply(TaskCode::Email, "<result>sent</result>");
    answers.answers = {"192.168.1.50"};
    Cards().TerminalIP_Input();
    EXPECT_TRUE(gReg.gCardBusy);
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    EXPECT_FALSE(gReg.gCardBusy);
    ASSERT_EQ(office.Calls().size(), 1u);
    EXPECT_EQ(office.LastCall().Task(), 90);
    EXPECT_EQ(office.LastCall().Param("data"),
              "<subject>IP Information 7 Front desk</subject><body>" + details + "192.168.1.50</body>" + addressed);
    EXPECT_TRUE(screen.MessageBoxes().empty());

    // The text grows for the run: a second address adds its lines; an empty
    // answer is reported.
    office.SetReply(TaskCode::Email, "");
    answers.answers = {"192.168.1.51"};
    Cards().TerminalIP_Input();
    ASSERT_TRUE(runner.RunUntilIdle(10000));
    ASSERT_EQ(office.Calls().size(), 2u);
    EXPECT_EQ(office.LastCall().Param("data"), "<subject>IP Information 7 Front desk</subject><body>" + details +
                                                   "192.168.1.50" + details + "192.168.1.51</body>" + addressed);
    EXPECT_EQ(screen.MessageBoxes(),
              (std::vector<std::string>{"Unable to send email. Empty message received from server."}));
    EXPECT_FALSE(gReg.gCardBusy);

    // On dial-up nothing is sent; the address is still saved.
    gSettings.gConnectionMode = ConnectionMode::DialUp;
    answers.answers = {"192.168.1.52"};
    Cards().TerminalIP_Input();
    EXPECT_EQ(runner.Pending(), 0);
    EXPECT_EQ(office.Calls().size(), 2u);
    EXPECT_EQ(gSettings.gTerminalIP, "192.168.1.52");
    screen.SetListener(&windowControls);
}

TEST(TerminalExchange, ReadsTheReplyAndBuildsTheRequest) {
    std::string host;
    int port = 0;
    EXPECT_TRUE(card::TerminalAddress_Parse("192.168.1.20", host, port));
    EXPECT_EQ(host, "192.168.1.20");
    EXPECT_EQ(port, 8443);
    EXPECT_TRUE(card::TerminalAddress_Parse("127.0.0.1:9000", host, port));
    EXPECT_EQ(port, 9000);

    // The last ExtData item keeps its last character.
    EXPECT_EQ(card::ExtDataItem("AcntLast4=1234,Name=ANN LEE", "Name"), "ANN LEE");
    EXPECT_EQ(card::ExtDataItem("Name=ANN LEE", "AcntLast4"), "");
    EXPECT_EQ(card::TerminalCardNumber(""), "************    ");

    const std::string reply = "<InvNum>0000124</InvNum><RegisterId>R1</RegisterId><ResultCode>0</ResultCode>"
                              "<AuthCode>A1B2C3</AuthCode><ExtData>Name=PAT O'NEIL</ExtData>";
    const card::TerminalResult r = card::TerminalReply_Evaluate(reply, "0000124", "R1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.authCode, "A1B2C3");
    EXPECT_EQ(r.name, "PAT O NEIL");
    EXPECT_EQ(r.last4, "");

    for (const auto& [amount, sent] : {std::pair{"0", "<TransType>Sale</TransType><Amount>0.00</Amount>"},
                                       std::pair{"1234567.5", "<TransType>Sale</TransType><Amount>1234567.50</Amount>"},
                                       std::pair{"-12.5", "<TransType>Return</TransType><Amount>12.50</Amount>"}}) {
        const std::string doc = card::TerminalDocument(*Money::Parse(amount), "0000124", "R1");
        EXPECT_NE(doc.find(sent), std::string::npos) << doc;
    }
}

}  // namespace
}  // namespace tarvo
