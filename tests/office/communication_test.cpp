#include "office/communication.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/fields.h"
#include "config/settings.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "journal_reader.h"
#include "office/office_service.h"
#include "office/time_clock.h"
#include "register/register_fixture.h"
#include "sale/sale_service.h"
#include "sale/sale_start.h"
#include "sale/suspend.h"
#include "screen/controls.h"
#include "test_dir.h"

namespace tarvo {
namespace {

// The transfer as the schedule sees it: records each session with the time
// it ran, answers the Internet check and the dial-up as the test sets them,
// and counts the restarts the sessions ask for.
class CommServices : public RegisterServices {
public:
    struct Session {
        std::string at;  // HH:MM of the clock when it ran
        CommMode mode;
        bool hidden;
        bool keysLocked;  // the Payment key was off during the session
    };
    std::vector<Session> sessions;
    int dials = 0, hangUps = 0, restarts = 0;

    // answers
    bool online = true;
    int dialSettings = 1;  // 1 read, 2 missing
    int dialResult = 1;    // 1 connected, 3 failed
    bool bringsProducts = false;
    std::function<void()> duringSession;

    std::int16_t Session_Run(CommMode mode, bool hidden) override {
        const LocalTime t = Reg().clock->Now();
        char at[24];
        std::snprintf(at, sizeof at, "%02d:%02d", t.hour, t.minute);
        sessions.push_back({at, mode, hidden, !Screen().Enabled(kPaymentKey)});
        if (duringSession) duringSession();
        gComm.gProductsUpdated = bringsProducts;
        return 0;
    }
    // When set, a session ends only when the test calls `finish` (as one
    // waiting on the server in the background does).
    bool deferred = false;
    std::function<void(std::int16_t)> finish;
    void Session_Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) override {
        if (!deferred) {
            done(Session_Run(mode, hidden));
            return;
        }
        Session_Run(mode, hidden);
        finish = std::move(done);
    }
    bool Internet_Check() override { return online; }
    int ReadDialSettings() override { return dialSettings; }
    int RasDialConnect() override {
        ++dials;
        return dialResult;
    }
    void RasDialHangUp() override { ++hangUps; }
    void RestartProgram() override { ++restarts; }

    std::vector<std::string> Times() const {
        std::vector<std::string> out;
        for (const Session& s : sessions) out.push_back(s.at);
        return out;
    }
};

class CommunicationTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        UseTerminalFolder(dir.Path());
        gTerminalNumber = "1234567";
        Reg().services = &services;
        Reg().services.office = &office;  // the real Communicate and Date_Set
        Reg().services.sale = &sale;      // the real suspend and sale start
        gCommSchedule = CommScheduleState{};
        gData.CashierTable.push_back(CashierRow{"17", "1111", "Demo", 1});
        gData.gCashierCount = 1;
        At(2026, 12, 9, 0, 50);
        Communication_Configure();
    }
    void TearDown() override {
        Data_Reset(gData);
        ProgramLog().Close();
        RegisterTest::TearDown();
    }

    void At(int y, int mo, int d, int h, int mi) { clock.Set(LocalTime{y, mo, d, h, mi, 20}); }
    // One tick of Timer_Comm at h:mi of the same day.
    void TickAt(int h, int mi) {
        LocalTime t = clock.Now();
        t.hour = h;
        t.minute = mi;
        clock.Set(t);
        ASSERT_TRUE(timers.Tick(TimerId::Comm));
    }
    // A tick every minute from h1:m1 to h2:m2 of the same day.
    void TickEveryMinute(int h1, int m1, int h2, int m2) {
        for (int m = h1 * 60 + m1; m <= h2 * 60 + m2; ++m) TickAt(m / 60, m % 60);
    }
    void LogIn() {
        gReg.gCashierIndex = 1;
        gReg.gBusinessDate = "20261209";
    }
    std::string Log() const { return dir.Read("Files/1234567.LOG"); }
    int LogCount(const std::string& text) const {
        const std::string log = Log();
        int n = 0;
        for (auto p = log.find(text); p != std::string::npos; p = log.find(text, p + 1)) ++n;
        return n;
    }

    TestDir dir;
    CommServices services;
    CashOffice office;
    SaleEngineImpl sale;
};

using Times = std::vector<std::string>;

TEST_F(CommunicationTest, ConfigureStartsTheMinuteTimerWithNothingPending) {
    gSale.gSendPending = true;
    gCommSchedule.gCommIntervalCount = 7;
    Communication_Configure();
    EXPECT_TRUE(timers.Running(TimerId::Comm));
    EXPECT_EQ(timers.Interval(TimerId::Comm), 60000);
    EXPECT_FALSE(gSale.gSendPending);
    EXPECT_EQ(gCommSchedule.gCommIntervalCount, 0);
}

TEST_F(CommunicationTest, FixedTimeRunsOneShownLoggedSessionWhenTheRegisterIsIdle) {
    LogIn();
    gSettings.gAutoSendTime[2] = "00:55";
    gSettings.gAutoSendTime[3] = "01:00";  // the same time twice still runs once
    TickEveryMinute(0, 51, 1, 5);
    EXPECT_EQ(services.Times(), (Times{"00:55", "01:00"}));
    for (const auto& s : services.sessions) {
        EXPECT_EQ(s.mode, CommMode::Full);
        EXPECT_FALSE(s.hidden);
        EXPECT_TRUE(s.keysLocked);
    }
    EXPECT_TRUE(screen.Enabled(kPaymentKey));  // unlocked afterwards
    EXPECT_FALSE(gComm.gCommLog);
    EXPECT_FALSE(gSale.gSendPending);
    EXPECT_EQ(services.hangUps, 0);  // online: nothing was dialled
    EXPECT_EQ(screen.Text(kMessageLine), "Hanging Up the Internet Connection");
}

TEST_F(CommunicationTest, FixedTimeDuringASaleWaitsForTheNextSaleStart) {
    LogIn();
    gSale.gItemCount = 1;
    TickEveryMinute(0, 59, 1, 1);
    EXPECT_TRUE(services.sessions.empty());
    EXPECT_TRUE(gSale.gSendPending);
    EXPECT_TRUE(gComm.gCommLog);

    gSale.gItemCount = 0;
    Sale_Start();
    EXPECT_EQ(services.Times(), (Times{"01:01"}));
    EXPECT_FALSE(gSale.gSendPending);
    EXPECT_FALSE(gComm.gCommLog);
}

TEST_F(CommunicationTest, IntervalCountsMinutesInsideTheWindowOnly) {
    struct Case {
        const char* name;
        const char* interval;
        const char* start;
        const char* end;
        Times expected;
    };
    const Case cases[] = {
        {"every 15", "15", "08:00", "20:00", {"08:14", "08:29", "19:45", "20:00"}},
        {"default", "999999", "08:00", "20:00", {}},
        {"empty window", "15", "", "", {}},
        {"no positive interval", "0", "08:00", "20:00", {}},
    };
    LogIn();
    screen.SetEnabled(kPaymentKey, true);
    for (const Case& c : cases) {
        services.sessions.clear();
        gSettings.gConnectionMode = ConnectionMode::Interval;
        gSettings.gCommInterval = c.interval;
        gSettings.gCommWindowStart = c.start;
        gSettings.gCommWindowEnd = c.end;
        At(2026, 12, 9, 7, 50);
        Communication_Configure();
        TickEveryMinute(7, 51, 8, 30);
        At(2026, 12, 9, 19, 30);  // a fresh load in the evening
        Communication_Configure();
        TickEveryMinute(19, 31, 20, 10);
        EXPECT_EQ(services.Times(), c.expected) << c.name;
        for (const auto& s : services.sessions) {
            EXPECT_TRUE(s.hidden) << c.name;
            // Hidden only means no window: nothing is rung up mid-session.
            EXPECT_TRUE(s.keysLocked) << c.name;
        }
        EXPECT_TRUE(screen.Enabled(kPaymentKey)) << c.name;  // given back
    }
    EXPECT_EQ(services.dials, 0);  // mode "2" never dials
    EXPECT_EQ(screen.Text(kMessageLine), "");
}

TEST_F(CommunicationTest, IntervalCountStopsAtItsLimit) {
    gSettings.gConnectionMode = ConnectionMode::Interval;
    gSettings.gCommWindowStart = "00:00";
    gSettings.gCommWindowEnd = "23:59";
    gCommSchedule.gCommIntervalCount = 32766;
    TickEveryMinute(0, 51, 0, 53);
    EXPECT_EQ(gCommSchedule.gCommIntervalCount, 32767);
    EXPECT_TRUE(services.sessions.empty());
}

TEST_F(CommunicationTest, IntervalDuringASaleIsPendingAndStartsCountingAgain) {
    gSettings.gConnectionMode = ConnectionMode::Interval;
    gSettings.gCommInterval = "3";
    gSettings.gCommWindowStart = "00:00";
    gSettings.gCommWindowEnd = "23:59";
    gSale.gItemCount = 2;
    TickEveryMinute(0, 51, 0, 53);
    EXPECT_TRUE(services.sessions.empty());
    EXPECT_TRUE(gSale.gSendPending);
    EXPECT_EQ(gCommSchedule.gCommIntervalCount, 0);
    gSale.gItemCount = 0;
    TickEveryMinute(0, 54, 0, 56);
    EXPECT_EQ(services.Times(), (Times{"00:56"}));
    EXPECT_FALSE(gSale.gSendPending);
}

TEST_F(CommunicationTest, LateOrMissedTicksCatchUpEveryMinuteOnce) {
    LogIn();
    gSettings.gAutoClockOut = true;
    gSettings.gClosingTimeNext = "23:00";
    gSettings.gAutoSendTime[1] = "02:00";

    // A tick a few minutes late still sends at 01:00.
    TickAt(0, 55);
    TickAt(0, 58);
    TickAt(1, 3);
    EXPECT_EQ(services.Times(), (Times{"01:03"}));
    EXPECT_EQ(LogCount("Timer_Comm: no tick"), 0);
    // The same minute again, or a clock that went back, sends nothing more.
    TickAt(1, 3);
    TickAt(0, 59);
    TickAt(1, 0);
    EXPECT_EQ(services.Times(), (Times{"01:03", "01:00"}));
    EXPECT_EQ(LogCount("the clock went back"), 1);

    // Asleep from 22:00 to 02:30 the next day: the evening tasks, the date
    // change and one session for both send times, in that order.
    LogIn();
    TickAt(22, 0);
    services.sessions.clear();
    At(2026, 12, 10, 2, 30);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(services.Times(), (Times{"02:30"}));
    EXPECT_EQ(LogCount("everybody is clocked out at 23:00"), 1);
    EXPECT_EQ(LogCount("the clock-ins are rolled over at 23:50"), 1);
    EXPECT_EQ(LogCount("Timer_Comm: no tick from 2026-12-09 22:00 to 2026-12-10 02:30; the 269 minutes"), 1);
    EXPECT_EQ(gSale.gDateText, "10/Dec/2026");

    // Three days without a tick: at most one day's minutes are handled.
    services.sessions.clear();
    At(2026, 12, 13, 1, 30);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(services.Times(), (Times{"01:30"}));
    EXPECT_EQ(LogCount("only the last day's minutes are handled"), 1);
    EXPECT_EQ(LogCount("everybody is clocked out at 23:00"), 2);
    EXPECT_EQ(gSale.gDateText, "13/Dec/2026");
}

TEST_F(CommunicationTest, ATickDuringASessionNeverStartsAnother) {
    LogIn();
    gSettings.gAutoSendTime[1] = "01:02";
    int nestedTicks = 0;
    services.duringSession = [&] {
        // A long session: the clock passes the next send time while it runs,
        // and a sale's Total asks for a send of its own.
        if (services.sessions.size() > 1) return;
        LocalTime t = clock.Now();
        t.minute = 2;
        clock.Set(t);
        nestedTicks += timers.Tick(TimerId::Comm);
        Office().Communicate();
    };
    TickEveryMinute(0, 59, 1, 0);
    EXPECT_EQ(nestedTicks, 1);
    EXPECT_EQ(services.Times(), (Times{"01:00"}));
    EXPECT_TRUE(gSale.gSendPending);
    EXPECT_EQ(LogCount("Communicate: a session is running"), 1);
    // The minutes the nested tick handled are not handled again.
    TickAt(1, 3);
    EXPECT_EQ(services.Times(), (Times{"01:00"}));
    // The next sale start runs the send that waited.
    Sale_Start();
    EXPECT_EQ(services.Times(), (Times{"01:00", "01:03"}));
}

TEST_F(CommunicationTest, SessionThatBroughtProductsRestartsTheProgram) {
    services.bringsProducts = true;
    TickEveryMinute(0, 59, 1, 0);
    EXPECT_EQ(services.restarts, 1);

    gSettings.gConnectionMode = ConnectionMode::Interval;
    gSettings.gCommInterval = "2";
    gSettings.gCommWindowStart = "00:00";
    gSettings.gCommWindowEnd = "23:59";
    TickEveryMinute(1, 1, 1, 2);
    EXPECT_EQ(services.sessions.size(), 2u);
    EXPECT_EQ(services.restarts, 2);
}

TEST_F(CommunicationTest, EveningClockOutTasksRunInTheirMinutesOnly) {
    LogIn();
    gSettings.gClosingTimeNext = "22:00";
    TickAt(21, 58);
    TickEveryMinute(21, 59, 22, 1);
    EXPECT_EQ(LogCount("everybody is clocked out"), 0);  // switched off

    gSettings.gAutoClockOut = true;
    TickEveryMinute(22, 2, 23, 59);
    EXPECT_EQ(LogCount("everybody is clocked out"), 0);
    EXPECT_EQ(LogCount("the clock-ins are rolled over at 23:50"), 1);
    EXPECT_EQ(gCommSchedule.gRollOverDone, 1);

    At(2026, 12, 10, 0, 0);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(gCommSchedule.gRollOverDone, 0);
    TickEveryMinute(0, 1, 23, 59);
    EXPECT_EQ(LogCount("everybody is clocked out at 22:00"), 1);
    EXPECT_EQ(LogCount("the clock-ins are rolled over"), 2);
}

// A clock record of employee 17 as the journal holds it.
std::string ClockRecord(const std::string& date, const std::string& time, char type) {
    return date + time + type + "0" + std::string(8, ' ') + "17      " + std::string(18, ' ');
}

class EveningClockTest : public CommunicationTest {
protected:
    // Employee 17 clocks in at h:mi of 2026-12-09.
    void ClockIn(int h, int mi) {
        At(2026, 12, 9, h, mi);
        gReg.gEmployeeNumber = "17";
        ASSERT_TRUE(Clock_Login());
        Communication_Configure();
    }
    static std::vector<std::string> Records() {
        std::vector<std::string> out;
        for (std::int64_t k = 2; k <= JournalCount(); ++k) out.push_back(JournalRecord(k));
        return out;
    }
};

TEST_F(EveningClockTest, RollOverCaughtUpAfterMidnightSplitsTheDayBefore) {
    LogIn();
    gSettings.gAutoClockOut = true;
    ClockIn(8, 0);
    TickAt(23, 49);
    // No tick from 23:49 to 00:02: the minutes 23:50-23:59 are those of the 9th.
    At(2026, 12, 10, 0, 2);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(Records(),
              (std::vector<std::string>{ClockRecord("20261209", "0800", 'I'), ClockRecord("20261209", "2359", 'U'),
                                        ClockRecord("20261210", "0001", 'I')}));
}

TEST_F(EveningClockTest, ClosingClockOutWithNobodyLoggedInTakesTheDateOfTheClosing) {
    gSettings.gAutoClockOut = true;
    gSettings.gClosingTime = "2100";
    gSettings.gClosingTimeNext = "22:00";
    ClockIn(8, 0);
    ASSERT_EQ(gReg.gBusinessDate, "");  // logged out
    TickEveryMinute(21, 59, 22, 1);
    EXPECT_EQ(Records(),
              (std::vector<std::string>{ClockRecord("20261209", "0800", 'I'), ClockRecord("20261209", "2100", 'U')}));
}

TEST_F(EveningClockTest, LateClosingClocksOutTheDayThatClosedBeforeTheRollOver) {
    struct Case {
        const char* name;
        const char* closing;
        const char* next;
        bool loggedIn;
    };
    const Case cases[] = {
        {"closing 23:30, logged in", "2330", "00:30", true},
        {"closing 23:30, logged out", "2330", "00:30", false},
        {"closing 23:00", "2300", "00:00", true},
        {"closing 22:55", "2255", "23:55", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        std::filesystem::remove(gConstants.paths.gDataPath + ".ACT");  // each case starts a fresh journal
        if (c.loggedIn) LogIn();
        gSettings.gAutoClockOut = true;
        gSettings.gClosingTime = c.closing;
        gSettings.gClosingTimeNext = c.next;
        ClockIn(22, 54);  // in a minute before the earliest closing
        TickEveryMinute(22, 55, 23, 59);
        At(2026, 12, 10, 0, 0);
        ASSERT_TRUE(timers.Tick(TimerId::Comm));
        TickEveryMinute(0, 1, 1, 0);
        // Out at the closing on the 9th; nobody left in to split at midnight.
        EXPECT_EQ(Records(), (std::vector<std::string>{ClockRecord("20261209", "2254", 'I'),
                                                       ClockRecord("20261209", c.closing, 'U')}));
    }
}

TEST_F(CommunicationTest, MidnightTakesTheNewDateAndDropsTheSuspendedSale) {
    LogIn();
    gSale.gDateText = "9/Dec/2026";
    // A suspended sale of two lines: 2 x 1.25 and 1 x 10, with 0.50 off.
    const std::string header = std::string(24, ' ') + "-.5      " + std::string(20, ' ') + "2  000";
    const std::string line1 = PadRight("1001", 20) + "2        1.25     1.25     " + std::string(23, ' ');
    const std::string line2 = PadRight("1002", 20) + "1        10       10       " + std::string(23, ' ');
    dir.Write("Data/1234567.Sus", header + "\r\n" + line1 + "\r\n" + line2 + "\r\n");
    Suspend_CheckAtLoad();
    ASSERT_TRUE(gSale.gSuspended);

    At(2026, 12, 9, 23, 59);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(gReg.gBusinessDate, "20261209");
    At(2026, 12, 10, 0, 0);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(gReg.gBusinessDate, "20261210");
    EXPECT_EQ(gSale.gDateText, "10/Dec/2026");
    EXPECT_EQ(screen.Title(), "Corlant 18.03.14 Kaspen (1234567)  10/Dec/2026 Demo");
    EXPECT_FALSE(gSale.gSuspended);
    EXPECT_FALSE(std::filesystem::exists(dir / "Data/1234567.Sus"));
    EXPECT_EQ(LogCount("Suspend: the suspended sale of 2 lines (12.00 before tax) was dropped at the change of date"),
              1);

    // Nobody logged in: the date follows the calendar all the same.
    gReg.gCashierIndex = 0;
    TickEveryMinute(0, 1, 23, 59);
    At(2026, 12, 11, 0, 0);
    ASSERT_TRUE(timers.Tick(TimerId::Comm));
    EXPECT_EQ(gSale.gDateText, "11/Dec/2026");
    EXPECT_EQ(LogCount("Suspend: the suspended sale"), 1);  // none waited
}

TEST_F(CommunicationTest, OfflineWithoutADialUpTheSessionIsGivenUp) {
    struct Case {
        const char* name;
        int dialSettings, dialResult;
        int loggedIn;
        const char* message;
        int dials, hangUps;
        bool paymentKeyOn;
    };
    const Case cases[] = {
        {"no dial settings", 2, 1, 1, "Error: The Dial up configuration file does not exist.", 0, 0, true},
        {"dialling fails", 1, 3, 1, "Unable to Dial Out to Internet", 1, 1, true},
        {"nobody logged in", 2, 1, 0, "Error: The Dial up configuration file does not exist.", 0, 0, false},
    };
    for (const Case& c : cases) {
        services.dials = services.hangUps = 0;
        services.online = false;
        services.dialSettings = c.dialSettings;
        services.dialResult = c.dialResult;
        gReg.gCashierIndex = c.loggedIn;
        gReg.gBusinessDate = "20261209";
        gComm.gCommHidden = false;
        gComm.gCommLog = true;
        gComm.gOperationMode = CommMode::Full;
        gComm.gCommResult = 0;
        screen.SetEnabled(kPaymentKey, true);
        Communicate();
        EXPECT_TRUE(services.sessions.empty()) << c.name;
        EXPECT_EQ(screen.Text(kMessageLine), c.message) << c.name;
        EXPECT_EQ(services.dials, c.dials) << c.name;
        EXPECT_EQ(services.hangUps, c.hangUps) << c.name;
        EXPECT_EQ(screen.Enabled(kPaymentKey), c.paymentKeyOn) << c.name;
        EXPECT_EQ(gComm.gCommResult, 1) << c.name;
        // No logout, and the log switch stays for the next try.
        EXPECT_EQ(gReg.gCashierIndex, c.loggedIn) << c.name;
        EXPECT_EQ(gReg.gBusinessDate, "20261209") << c.name;
        EXPECT_TRUE(gComm.gCommLog) << c.name;
    }
    EXPECT_EQ(LogCount("Communicate: Unable to use Internet Auto Dialer"), 3);
    EXPECT_EQ(LogCount("Error: The Dial up configuration file does not exist."), 2);

    // The log sends of the System page do not log the failed dialler.
    gComm.gOperationMode = CommMode::Log;
    Communicate();
    EXPECT_EQ(LogCount("Communicate: Unable to use Internet Auto Dialer"), 3);
}

TEST_F(CommunicationTest, DialledSessionHangsUpAfterwards) {
    services.online = false;
    LogIn();
    Communicate();
    EXPECT_EQ(services.sessions.size(), 1u);
    EXPECT_EQ(services.dials, 1);
    EXPECT_EQ(services.hangUps, 1);
}

TEST_F(CommunicationTest, SessionWithNobodyLoggedInEndsLoggedOut) {
    for (int cashier : {0, 1}) {
        gReg.gCashierIndex = cashier;
        gReg.gBusinessDate = "20261209";
        gReg.gPromptState = PromptState::None;
        Communicate();
        EXPECT_EQ(gReg.gBusinessDate, cashier ? "20261209" : "") << cashier;
        EXPECT_EQ(gReg.gPromptState, cashier ? PromptState::None : PromptState::Login)
            << cashier;  // 2: the login prompt
        EXPECT_EQ(screen.Enabled(kPaymentKey), cashier == 1) << cashier;
    }
}

// A session that waits in the background: Communicate returns at once with
// every key locked; what reads the result runs once the session has ended,
// and a send asked for meanwhile waits for the next sale.
TEST_F(CommunicationTest, ASessionInTheBackgroundKeepsTheKeysUntilItEndsThenRunsTheContinuation) {
    LogIn();
    screen.SetEnabled(kPaymentKey, true);
    services.deferred = true;
    gComm.gCommHidden = true;
    std::vector<std::int16_t> seen;
    Communicate([&] { seen.push_back(gComm.gCommResult); });
    ASSERT_TRUE(services.finish);
    EXPECT_TRUE(seen.empty());
    EXPECT_FALSE(screen.Enabled(kPaymentKey));
    EXPECT_TRUE(gCommSchedule.inSession);

    gSale.gSendPending = false;
    bool secondGoesOn = false;
    Communicate([&] { secondGoesOn = true; });
    EXPECT_TRUE(gSale.gSendPending);
    EXPECT_TRUE(secondGoesOn);  // what it closed for the session is opened again
    EXPECT_EQ(services.sessions.size(), 1u);
    EXPECT_FALSE(screen.Enabled(kPaymentKey));

    services.finish(3);
    EXPECT_EQ(seen, (std::vector<std::int16_t>{3}));
    EXPECT_TRUE(screen.Enabled(kPaymentKey));
    EXPECT_FALSE(gCommSchedule.inSession);
    EXPECT_EQ(gReg.gCashierIndex, 1);
}

TEST_F(CommunicationTest, DateSetNamesTheMonthInTheTerminalsLanguage) {
    struct Case {
        const char* date;
        int language;
        const char* text;
    };
    const Case cases[] = {
        {"20260209", 1, "09/Feb/2026"}, {"20260209", 2, "09/Fev/2026"}, {"20261231", 1, "31/Dec/2026"},
        {"20260015", 1, "15/Jan/2026"}, {"20261315", 2, "15/Jan/2026"}, {"", 1, "/Jan/"},
    };
    for (const Case& c : cases) {
        gReg.gBusinessDate = c.date;
        gSettings.gLanguage = static_cast<std::int16_t>(c.language);
        Office().Date_Set();
        EXPECT_EQ(gSale.gDateText, c.text) << c.date << " " << c.language;
    }
}

}  // namespace
}  // namespace tarvo
