// The serial scale against a fake scale on a socat pseudo-terminal pair: the
// register's port is mapped to one end through ports.map, the test plays the
// scale at the other end. Products are looked up and added by the real sale
// engine; the port's watch and the scale timer are run by hand.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/lookups.h"
#include "data/master_files.h"
#include "data/sale_state.h"
#include "data/store_fixture.h"
#include "data/work_file.h"
#include "platform/io_watch.h"
#include "print/devices.h"
#include "print/scale.h"
#include "pty_pair.h"
#include "register/key_fixture.h"
#include "register/total_key.h"
#include "register_mode_print.h"
#include "sale/product_entry.h"
#include "sale/sale_builder.h"
#include "sale/sale_save.h"
#include "test_dir.h"

namespace tarvo {
namespace {

const ControlId kTimedPanel{Control::Txt_Message, 0};

// The register's scale services as the program wires them, with the kit
// expansion recorded.
class ScaleServices : public RegisterServices {
public:
    void Scale_Open(std::function<bool(double)> weighed) override { tarvo::Scale_Open(std::move(weighed)); }
    void Scale_Close() override { tarvo::Scale_Close(); }
    void Kit_Processing() override { kitCodes.push_back(gSale.gKitCode); }
    std::vector<std::string> kitCodes;
};

// Product file line: number, key, description, level-1 price; "S" in
// column 9 for a product sold by weight.
std::string Product(const std::string& number, const std::string& key, const std::string& description,
                    const std::string& price, bool weighed) {
    std::string r = Fixed(273, {{1, number}, {12, key}, {60, description}, {100, price}});
    if (weighed) r[8] = 'S';
    return r;
}

class ScaleTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        Reg().services = &services;
        Reg().ioWatch = &watch;
        ScaleTimer_Connect();
        dir.Write("Files/1234567.PRD", CrLf({Product("4001", "APPLES", "Apples per kg", "2.49", true),
                                             Product("4002", "BREAD", "Bread", "3.00", false),
                                             Product("4003", "CHEESE", "Cheese per kg", "12.00", true)}));
        Parse_FileProduct();
        ASSERT_EQ(gData.gProductCount, 3);
        gSettings.gScalePort = 1;
        scale = std::make_unique<PtyPair>(dir.Path());
        ASSERT_TRUE(scale->Ready());
        dir.Write(kDeviceMapFile, "COM1=" + scale->A() + "\n");
        gSale.gMode = RegisterMode::Sales;
        gData.gClientRecNo = 1;
    }
    void TearDown() override {
        Scale_Close();
        scale.reset();
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    void Scan(const std::string& key) {
        const std::optional<ProductMatch> found = Product_Find(key);
        ASSERT_TRUE(found && found->recNo != 0) << key;
        Product_SetCurrent(key, found);
        gSale.gLineKind = "P";
        Product_Add();
    }
    // What the register sent to the scale.
    std::string Received(std::size_t count) { return scale->ReadB(count); }
    // The scale answers; the register takes the reply as it comes, until
    // the port closes or nothing more arrives.
    void Answer(const std::string& bytes) {
        ASSERT_TRUE(scale->WriteB(bytes));
        while (Scale_PortOpen() && watch.RunReady(5000) > 0) {}
    }
    // Part of a reply: the register takes what came once.
    void AnswerPart(const std::string& bytes) {
        ASSERT_TRUE(scale->WriteB(bytes));
        ASSERT_EQ(watch.RunReady(5000), 1);
    }
    // The request is over: nothing pending, the port closed, no time-out running.
    void ExpectRequestOver() {
        EXPECT_EQ(gSale.gScaleRequestCount, -1);
        EXPECT_FALSE(Scale_PortOpen());
        EXPECT_FALSE(timers.Running(TimerId::Scale));
    }
    const std::string& MessageLine() const { return screen.Text(kMessageLine); }
    const std::string& TimedPanel() const { return screen.Text(kTimedPanel); }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }

    TestDir dir;
    ScaleServices services;
    ManualIoWatch watch;
    std::unique_ptr<PtyPair> scale;
};

TEST_F(ScaleTest, TheRequestIsWAndCarriageReturnAndTheWeightAddsTheLine) {
    Scan("APPLES");
    EXPECT_EQ(Received(2), "W\r");
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(MessageLine(), "Requesting Weight from Scale");
    EXPECT_TRUE(Scale_PortOpen());
    EXPECT_TRUE(timers.Running(TimerId::Scale));
    EXPECT_EQ(timers.Interval(TimerId::Scale), 10000);
    screen.SetText(kEntryBox, "typed meanwhile");

    Answer("\n001.25LB\r");
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].product, "4001");
    EXPECT_DOUBLE_EQ(gSale.gLines[1].quantity, 1.25);
    EXPECT_EQ(gSale.gLines[1].extension.Format("0.00"), "3.11");
    EXPECT_EQ(MessageLine(), "Weight 1.25");
    EXPECT_EQ(services.kitCodes, (std::vector<std::string>{"APPLES"}));
    EXPECT_EQ(screen.Text(kEntryBox), "");
    ExpectRequestOver();
    EXPECT_EQ(gSale.gQuantity, 1);
}

TEST_F(ScaleTest, AReplyInPiecesIsJudgedOnceNineCharactersCame) {
    Scan("APPLES");
    ASSERT_EQ(Received(2), "W\r");
    AnswerPart("\n00");
    AnswerPart("2.50L");  // 8 characters so far
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_TRUE(Scale_PortOpen());
    EXPECT_TRUE(timers.Running(TimerId::Scale));
    EXPECT_EQ(MessageLine(), "Requesting Weight from Scale");

    Answer("B\r");
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_DOUBLE_EQ(gSale.gLines[1].quantity, 2.5);
    ExpectRequestOver();
}

TEST_F(ScaleTest, TheWeightIsTheNumberInCharacters2To7) {
    struct Case {
        const char* reply;
        double weight;  // 0: refused as a zero weight
    };
    const Case cases[] = {
        {"\x02 1.234kg\r", 1.234}, {"X\t0.75 kg", 0.75}, {"\n 1 2.5LB\r", 12.5},  // blanks inside are skipped
        {"\n12,50LB\r", 12},  // "," is no decimal point, whatever the locale
        {"\n1.5.25LB\r", 1.5},     {"\n000.00LB\r", 0},  {"\n-01.00LB\r", 0},  // negative
        {"\nABCDEFGH\r", 0},                                                   // no number
        {"\n    \n  LB\r", 0},                                                 // only blanks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.reply)));
        gSale.gItemCount = 0;
        screen.SetText(kTimedPanel, "");
        Scan("APPLES");
        ASSERT_EQ(Received(2), "W\r");
        Answer(c.reply);
        if (c.weight > 0) {
            ASSERT_EQ(gSale.gItemCount, 1);
            EXPECT_DOUBLE_EQ(gSale.gLines[1].quantity, c.weight);
        } else {
            EXPECT_EQ(gSale.gItemCount, 0);
            EXPECT_EQ(MessageLine(), "Scale Is at Zero, Try Again");
            EXPECT_EQ(TimedPanel(), "Scale Is at Zero, Try Again");
        }
        ExpectRequestOver();
    }
}

TEST_F(ScaleTest, AWeightThatAddsNoLineLeavesTheNextLineItsUsualQuantity) {
    // In exchange mode a quantity left at 0 by the request would make the
    // next line one of quantity 0 instead of -1.
    struct Case {
        const char* what;
        const char* reply;
        std::function<void()> meanwhile;
    };
    const Case cases[] = {
        {"zero weight", "\n000.00LB\r", [] {}},
        {"weighed line refused", "\n001.25LB\r", [] { gData.gClientRecNo = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gSale.gItemCount = 0;
        gSale.gExchangeMode = true;
        gData.gClientRecNo = 1;
        Scan("APPLES");
        ASSERT_EQ(Received(2), "W\r");
        c.meanwhile();
        Answer(c.reply);
        EXPECT_EQ(gSale.gItemCount, 0);
        ExpectRequestOver();
        EXPECT_EQ(gSale.gScaleProductRecNo, 0);

        gData.gClientRecNo = 1;
        Scan("BREAD");
        ASSERT_EQ(gSale.gItemCount, 1);
        EXPECT_EQ(gSale.gLines[1].quantity, -1);
    }
}

TEST_F(ScaleTest, NoFullReplyWithinTenSecondsIsNoResponse) {
    for (const std::string reply : {"", "\n1.2\r"}) {
        SCOPED_TRACE(testing::PrintToString(reply));
        Scan("APPLES");
        ASSERT_EQ(Received(2), "W\r");
        if (!reply.empty()) AnswerPart(reply);
        EXPECT_TRUE(Scale_PortOpen());
        timers.Tick(TimerId::Scale);
        EXPECT_EQ(gSale.gItemCount, 0);
        EXPECT_EQ(MessageLine(), "Error: No Response from Scale");
        EXPECT_EQ(TimedPanel(), "Error: No Response from Scale");
        ExpectRequestOver();
    }
    EXPECT_NE(Log().find("Error: No Response from Scale"), std::string::npos);

    // The scale answering after that finds the port closed: nothing is added.
    ASSERT_TRUE(scale->WriteB("\n001.00LB\r"));
    EXPECT_EQ(watch.RunReady(0), 0);
    EXPECT_EQ(gSale.gItemCount, 0);
}

TEST_F(ScaleTest, AReplyTheSaleNoLongerWaitsForIsIgnored) {
    const std::vector<std::pair<const char*, std::function<void()>>> meanwhile = {
        {"another line added", [this] { Scan("BREAD"); }},
        {"register mode changed", [] { gSale.gMode = RegisterMode::OrderEntry; }},
        {"new sale", [] { gSale.gScaleRequestCount = -1; }},
    };
    for (const auto& [what, happen] : meanwhile) {
        SCOPED_TRACE(what);
        gSale.gItemCount = 0;
        gSale.gMode = RegisterMode::Sales;
        Scan("APPLES");
        ASSERT_EQ(Received(2), "W\r");
        happen();
        const int lines = gSale.gItemCount;
        Answer("\n001.25LB\r");
        EXPECT_EQ(gSale.gItemCount, lines);
        EXPECT_EQ(MessageLine(), "Scale Input Ignored, Timeout");
        EXPECT_EQ(TimedPanel(), "Scale Input Ignored, Timeout");
        EXPECT_EQ(gSale.gScaleProductRecNo, 0);
        ExpectRequestOver();
    }
}

TEST_F(ScaleTest, ASecondWeighedProductReplacesThePendingRequest) {
    Scan("APPLES");
    Scan("CHEESE");
    EXPECT_EQ(Received(4), "W\rW\r");
    Answer("\n000.40LB\r");
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].product, "4003");
    EXPECT_EQ(gSale.gLines[1].extension.Format("0.00"), "4.80");
    ExpectRequestOver();
}

TEST_F(ScaleTest, AScaleThatGoesAwayMidReplyIsNoResponseAtOnce) {
    Scan("APPLES");
    ASSERT_EQ(Received(2), "W\r");
    AnswerPart("\n00");
    scale.reset();  // the cable is pulled
    while (Scale_PortOpen() && watch.RunReady(5000) > 0) {}
    EXPECT_EQ(gSale.gItemCount, 0);
    EXPECT_EQ(MessageLine(), "Error: No Response from Scale");
    ExpectRequestOver();
    EXPECT_NE(Log().find("hung up"), std::string::npos);
}

TEST_F(ScaleTest, APortThatCannotBeOpenedIsReportedAndTheSaleGoesOn) {
    for (const std::string& device : {dir / "no-such-tty", dir.Path()}) {
        SCOPED_TRACE(device);
        dir.Write(kDeviceMapFile, "COM1=" + device + "\n");
        Scan("APPLES");
        EXPECT_EQ(MessageLine(), "Unable to Open Scale Communication Port");
        EXPECT_EQ(TimedPanel(), "Unable to Open Scale Communication Port");
        EXPECT_NE(Log().find(device), std::string::npos);
        EXPECT_EQ(gSale.gScaleProductRecNo, 0);
        ExpectRequestOver();
    }
    Scan("BREAD");
    ASSERT_EQ(gSale.gItemCount, 1);
    EXPECT_EQ(gSale.gLines[1].quantity, 1);
}

// The scale only reports the weight; the line that comes of it is the one
// the cashier sees on the receipt and the one the Total key saves.
TEST_F(ScaleTest, AWeighedLineIsShownAndSavedWithItsWeight) {
    Scan("APPLES");
    ASSERT_EQ(Received(2), "W\r");
    Answer("\n001.25LB\r");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 1}), "Apples per kg");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Quantity, 1}), "1.25");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Price, 1}), "2.49");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Extension, 1}), "$3.11");
    EXPECT_EQ(screen.Text(ControlId{Control::Rt_Description, 2}), "");

    sale_builder::AddTender("1", "5");
    mTotalRegister_Click();
    ASSERT_TRUE(gSaleSave.gSaleFinished) << MessageLine();
    // Record 2 of the lines file, after its header record.
    WorkFile lines;
    ASSERT_TRUE(lines.Open(gConstants.paths.gDataPath + ".DTL", 90));
    ASSERT_EQ(lines.RecordCount(), 2);
    const auto pad = [](std::string t, std::size_t n) {
        t.resize(n, ' ');
        return t;
    };
    EXPECT_EQ(lines.Read(2), "0000002001"
                             "4001    " +
                                 pad("APPLES", 20) + pad("1.25", 9) + pad("2.49", 9) + pad("2.49", 9) +
                                 std::string(21, ' ') + "00");
}

}  // namespace
}  // namespace tarvo
