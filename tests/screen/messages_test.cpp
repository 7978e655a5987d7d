#include "screen/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/line_reader.h"
#include "data/log.h"
#include "register/register_fixture.h"
#include "register_mode_print.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "test_dir.h"

namespace tarvo {
namespace {

const ControlId kMessageLine{Control::txtCIA, 0};
const ControlId kEntryBox{Control::txtDEA, 0};

class RecordingServices : public RegisterServices {
public:
    void Customer_Greeting() override { ++greetings; }
    void Buttons_Lock() override { ++locks; }
    int greetings = 0, locks = 0;
};

class MessagesTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        Reg().services = &recording;
        MessageTimers_Connect();
        ProgramLog().Open(dir / "1234567.LOG");
    }
    void TearDown() override {
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    // The texts of the log's event lines, trailing blanks removed.
    std::vector<std::string> LogTexts() const {
        std::vector<std::string> out;
        for (std::string l : SplitLines(dir.Read("1234567.LOG"))) {
            l = l.substr(20);
            l.erase(l.find_last_not_of(' ') + 1);
            out.push_back(l);
        }
        return out;
    }

    RecordingServices recording;
    TestDir dir;
};

TEST_F(MessagesTest, TimedMessageOnAnIdleLineLastsOneInterval) {
    CIATime(Msg(Message::InvalidEntry), 5);
    EXPECT_EQ(screen.Text(kMessageLine), "Invalid Entry");
    EXPECT_EQ(gReg.gMessageCounter, 1);
    EXPECT_TRUE(timers.Running(TimerId::CIA));
    EXPECT_EQ(timers.Interval(TimerId::CIA), 5000);
    timers.Tick(TimerId::CIA);
    EXPECT_EQ(screen.Text(kMessageLine), "");
    EXPECT_EQ(gReg.gMessageCounter, 0);
    EXPECT_FALSE(timers.Running(TimerId::CIA));
}

TEST_F(MessagesTest, MessageReplacingAPendingOneLastsTwoIntervals) {
    CIATime("first", 5);
    CIATime("second", 5);
    EXPECT_EQ(screen.Text(kMessageLine), "second");
    EXPECT_EQ(gReg.gMessageCounter, 2);
    timers.Tick(TimerId::CIA);
    EXPECT_EQ(screen.Text(kMessageLine), "second");
    EXPECT_EQ(gReg.gMessageCounter, 1);
    EXPECT_TRUE(timers.Running(TimerId::CIA));
    timers.Tick(TimerId::CIA);
    EXPECT_EQ(screen.Text(kMessageLine), "");
    EXPECT_EQ(gReg.gMessageCounter, 0);
    EXPECT_FALSE(timers.Running(TimerId::CIA));
}

TEST_F(MessagesTest, CounterRecordsUpToThreePendingMessages) {
    struct Case {
        std::int16_t before, after;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 3}, {7, 3}};
    for (const Case& c : cases) {
        gReg.gMessageCounter = c.before;
        CIATime("x", 5);
        EXPECT_EQ(gReg.gMessageCounter, c.after) << c.before;
    }
}

TEST_F(MessagesTest, UntimedMessageStaysAndTheNextTimedOneLastsTwoIntervals) {
    CIATime("timed", 5);
    CIATime("stays", 0);
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    EXPECT_FALSE(timers.Tick(TimerId::CIA));
    EXPECT_EQ(screen.Text(kMessageLine), "stays");
    EXPECT_EQ(gReg.gMessageCounter, 2);

    CIATime("next", 8);
    EXPECT_EQ(timers.Interval(TimerId::CIA), 8000);
    timers.Tick(TimerId::CIA);
    EXPECT_EQ(screen.Text(kMessageLine), "next");
    timers.Tick(TimerId::CIA);
    EXPECT_EQ(screen.Text(kMessageLine), "");
}

TEST_F(MessagesTest, TimeOfTheMessageSetsTheTimer) {
    struct Case {
        int seconds;
        bool running;
        int intervalMs;
    } cases[] = {{2, true, 2000}, {32, true, 32000}, {45, true, 45000}, {0, false, 0}, {-3, false, 0}};
    for (const Case& c : cases) {
        timers.Start(TimerId::CIA, 1);
        CIATime("x", c.seconds);
        EXPECT_EQ(timers.Running(TimerId::CIA), c.running) << c.seconds;
        if (c.running) {
            EXPECT_EQ(timers.Interval(TimerId::CIA), c.intervalMs) << c.seconds;
        }
    }
}

TEST_F(MessagesTest, EmptyTextEmptiesTheLineAndStillCounts) {
    CIATime("something", 0);
    CIATime("", 5);
    EXPECT_EQ(screen.Text(kMessageLine), "");
    EXPECT_EQ(gReg.gMessageCounter, 2);
}

TEST_F(MessagesTest, ErrorTextsAreLoggedInEitherLanguage) {
    struct Case {
        std::int16_t language;
        Message message;  // None: use text
        const char* text;
        bool logged;
    } cases[] = {
        {1, Message::ErrorNoResponseFromScale, "", true},    // "Error: No Response from Scale"
        {1, Message::PrinterErrorUnableToPrint, "", false},  // "Printer Error, Unable to Print"
        {2, Message::PrinterErrorUnableToPrint, "", true},   // "Erreur d'Imprimante, Incapable d'Imprimer"
        {1, Message::None, "error: lower case", false},
        {1, Message::None, "Error", false},  // the word alone
        {1, Message::None, "Erreu", false},
        {1, Message::None, "Errors found", true},
        {1, Message::None, " Error: leading blank", false},
    };
    for (const Case& c : cases) {
        ProgramLog().Close();
        dir.Write("1234567.LOG", "");
        ProgramLog().Open(dir / "1234567.LOG");
        gSettings.gLanguage = c.language;
        std::string text = c.message != Message::None ? Msg(c.message) : c.text;
        CIATime(text, 5);
        std::vector<std::string> expected;
        if (c.logged) expected.push_back(text);
        EXPECT_EQ(LogTexts(), expected) << text;
    }
}

TEST_F(MessagesTest, EntryBoxFlashesBetweenItsColourAndRed) {
    struct Case {
        const char* setting460;
        std::uint32_t colour;
    } cases[] = {{"0", 0}, {"16711680", 16711680}};
    for (const Case& c : cases) {
        gSettings.gEntryForeColour = c.setting460;
        screen.SetForeColour(kEntryBox, c.colour);
        screen.SetEnabled(kEntryBox, false);
        DEA_Show(Msg(Message::SwipeCardAtTerminal));
        EXPECT_EQ(screen.Text(kEntryBox), "Swipe Card at Terminal ...");
        EXPECT_TRUE(screen.Enabled(kEntryBox));
        EXPECT_TRUE(timers.Running(TimerId::DEA));
        EXPECT_EQ(timers.Interval(TimerId::DEA), 500);
        std::vector<std::uint32_t> seen{screen.State(kEntryBox).foreColour};
        for (int i = 0; i < 3; ++i) {
            timers.Tick(TimerId::DEA);
            seen.push_back(screen.State(kEntryBox).foreColour);
        }
        EXPECT_EQ(seen, (std::vector<std::uint32_t>{c.colour, 255, c.colour, 255})) << c.setting460;

        DEA_Clear();  // while red
        EXPECT_FALSE(timers.Running(TimerId::DEA));
        EXPECT_EQ(screen.Text(kEntryBox), "");
        EXPECT_EQ(screen.State(kEntryBox).foreColour, c.colour);
    }
}

TEST_F(MessagesTest, MessageBoxStaysAloneUntilTheGridReturns) {
    Receipt_Show();
    Greeting_Show();
    screen.SetText({Control::Txt_All, 0}, "Vendor 12");
    MessageWithNoEnd_Show();
    EXPECT_TRUE(screen.Visible({Control::Txt_All, 0}));
    EXPECT_TRUE(screen.Enabled({Control::Txt_All, 0}));
    EXPECT_EQ(screen.Text({Control::Txt_All, 0}), "Vendor 12");
    EXPECT_FALSE(screen.Visible({Control::Greeting, 0}));
    EXPECT_FALSE(screen.Visible({Control::Rt_Number, 1}));
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);

    Receipt_Show();
    EXPECT_FALSE(screen.Visible({Control::Txt_All, 0}));
    EXPECT_FALSE(screen.Enabled({Control::Txt_All, 0}));
}

TEST_F(MessagesTest, TimedBoxClosesAfterTwoSecondsAndRestoresTheArea) {
    struct Case {
        RegisterMode mode;
        bool grid;
        bool countPanel;
    } cases[] = {{RegisterMode::Sales, true, false}, {RegisterMode::ChangePrice, false, true}};
    for (const Case& c : cases) {
        gSale.gMode = c.mode;
        gSale.gStockCount = false;
        gReg.gTimedMessage = Msg(Message::NotFound);
        MessageWithTimerToEnd_Show();
        EXPECT_EQ(screen.Text({Control::Txt_Message, 0}), "Not Found");
        EXPECT_TRUE(screen.Visible({Control::Txt_Message, 0}));
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);
        EXPECT_EQ(timers.Interval(TimerId::Message), 2000);

        ASSERT_TRUE(timers.Tick(TimerId::Message));
        EXPECT_FALSE(timers.Running(TimerId::Message));
        EXPECT_FALSE(screen.Visible({Control::Txt_Message, 0}));
        EXPECT_FALSE(screen.Enabled({Control::Txt_Message, 0}));
        EXPECT_EQ(screen.Visible({Control::Rt_Number, 1}), c.grid) << RegisterMode_Name(c.mode);
        EXPECT_EQ(screen.Visible({Control::Lbl_Phys_Code, 0}), c.countPanel) << RegisterMode_Name(c.mode);
        EXPECT_EQ(gSale.gStockCount, c.countPanel) << RegisterMode_Name(c.mode);
        EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Grid);
    }
}

TEST_F(MessagesTest, GreetingShowsInTheLineColourWithTheMessageBoxesHidden) {
    gSettings.gGreetingForeColour = 4210752;
    screen.SetCaption({Control::Greeting, 0}, "Welcome to\r\nCorner Store");
    screen.Show({Control::Txt_All, 0}, true);
    screen.Show({Control::Txt_Message, 0}, true);
    screen.Show({Control::Greeting, 0}, false);
    Greeting_Show();
    EXPECT_TRUE(screen.Visible({Control::Greeting, 0}));
    EXPECT_TRUE(screen.Enabled({Control::Greeting, 0}));
    EXPECT_EQ(screen.State({Control::Greeting, 0}).foreColour, 4210752u);
    EXPECT_EQ(screen.Caption({Control::Greeting, 0}), "Welcome to\r\nCorner Store");
    EXPECT_FALSE(screen.Visible({Control::Txt_All, 0}));
    EXPECT_FALSE(screen.Visible({Control::Txt_Message, 0}));
    Greeting_Hide();
    EXPECT_FALSE(screen.Visible({Control::Greeting, 0}));
    EXPECT_FALSE(screen.Enabled({Control::Greeting, 0}));
}

TEST_F(MessagesTest, CustomerTimerPutsTheGreetingBackOnce) {
    timers.Start(TimerId::Customer, 12000);
    timers.Tick(TimerId::Customer);
    EXPECT_EQ(recording.greetings, 1);
    EXPECT_FALSE(timers.Tick(TimerId::Customer));
    EXPECT_EQ(recording.greetings, 1);
}

TEST_F(MessagesTest, PrintoutWaitsForTheOperatorOnThePromptLine) {
    Receipt_Show();
    CIATime("earlier", 5);
    screen.SetText({Control::Txt_Printer, 0}, "REPORT\r\n");
    Printout_Show();
    EXPECT_EQ(recording.locks, 1);
    EXPECT_TRUE(screen.Visible({Control::Txt_Printer, 0}));
    EXPECT_TRUE(screen.Enabled({Control::Txt_Printer, 0}));
    EXPECT_FALSE(screen.Visible({Control::Rt_Number, 1}));
    EXPECT_EQ(screen.Text(kMessageLine), "Touch or Click Enter Button to Continue");
    EXPECT_FALSE(timers.Running(TimerId::CIA));
    EXPECT_TRUE(gReg.gPromptLineActive);
    EXPECT_EQ(gReg.gPromptLine, 16);
    EXPECT_EQ(gReg.gReceiptAreaContent, ReceiptAreaContent::Panel);
}

}  // namespace
}  // namespace tarvo
