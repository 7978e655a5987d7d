// The communication schedule of the register: the once-a-minute timer that
// starts sessions at the fixed times or intervals of the settings, runs the
// evening clock-out tasks and changes the business date at midnight; the
// wrapper of every session (dial-up, the session, hang-up, logout); the
// business date's display text; the program's end.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tarvo {

struct CommScheduleState {
    // Minutes counted inside the window since the last interval session; it
    // stops at its limit.
    std::int16_t gCommIntervalCount = 0;
    // 1 once the clock-ins were rolled over in the current 23:50-23:59.
    std::int16_t gRollOverDone = 0;
    // The last minute the timer handled, as minutes since 1970-01-01 of the
    // local calendar; -1 before the timer was configured.
    std::int64_t lastMinute = -1;
    // A session is running (Communicate is under way).
    bool inSession = false;
    // The day (yyyymmdd) whose closing clock-out has run, so that it runs
    // once when it was brought forward to the roll-over.
    std::string closingOutDate;
};

extern CommScheduleState gCommSchedule;

// Starts Timer_Comm (every 60000 ms) with a clean schedule; the minute it
// runs in counts as handled.
void Communication_Configure();

// Timer_Comm: handles every minute since the last one it handled, in order
// (at most a day of them), then runs the session that fell due.
void Timer_Comm_Timer();

// One session of gComm.gOperationMode, shown unless gComm.gCommHidden:
// the log heading when gComm.gCommLog, the keys locked, a dial-up when
// offline in connection mode "1", the session (gComm.gCommResult), hang-up,
// the keys unlocked, and the logout when nobody is logged in, then `then`.
// The keys stay locked for the whole session, shown or hidden, so nothing is
// rung up or loaded while it runs; the session may wait in the background, so
// whatever reads its result goes in `then`, which runs on the user-interface
// thread once it has ended. Called while a session runs, it only notes a
// pending send (gSale.gSendPending) and runs `then` at once.
void Communicate(std::function<void()> then = {});

// gSale.gDateText from gReg.gBusinessDate: day "/" month name "/" year; a
// month outside 1-12 shows the first month's name.
void Date_Set();

// Ends the program: no more scheduled sessions, every open working file
// closed, then the program ends (Program().EndProgram()).
void Program_Close();

}  // namespace tarvo
