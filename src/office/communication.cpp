#include "office/communication.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

#include "common/fields.h"
#include "common/money.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "config/text_tables.h"
#include "data/comm_state.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "office/comm_log_heading.h"
#include "office/opening.h"
#include "office/time_clock.h"
#include "print/printer_output.h"
#include "sale/entry_helpers.h"
#include "sale/sale_start.h"
#include "sale/suspend.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

CommScheduleState gCommSchedule;

namespace {

constexpr int kTimerMs = 60000;
constexpr std::int64_t kMinutesPerDay = 24 * 60;
// A tick handles at most this many minutes; older ones are given up.
constexpr std::int64_t kMaxCatchUp = kMinutesPerDay;
// More minutes than this without a tick are worth a line in the log.
constexpr std::int64_t kLateMinutes = 5;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LocalTime CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    LocalTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    return t;
}

std::int64_t MinuteOf(const LocalTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kMinutesPerDay + t.hour * 60 + t.minute;
}

LocalTime TimeOfMinute(std::int64_t minute) {
    std::int64_t days = minute / kMinutesPerDay;
    std::int64_t rest = minute % kMinutesPerDay;
    if (rest < 0) {
        rest += kMinutesPerDay;
        --days;
    }
    LocalTime t = CivilFromDays(days);
    t.hour = static_cast<int>(rest / 60);
    t.minute = static_cast<int>(rest % 60);
    return t;
}

// "HH:MM", as the settings write their times.
std::string HourMinute(const LocalTime& t) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d:%02d", t.hour % 100, t.minute % 100);
    return b;
}

// "hh:mm:ss", 24-hour.
std::string TimeOfDay(const LocalTime& t) {
    char b[12];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return b;
}

// "YYYY-MM-DD HH:MM" of a minute, for the log.
std::string MinuteText(std::int64_t minute) {
    const LocalTime t = TimeOfMinute(minute);
    char b[24];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d ", t.year % 10000, t.month % 100, t.day % 100);
    return b + HourMinute(t);
}

LocalTime Now() { return Reg().clock ? Reg().clock->Now() : SystemClock().Now(); }

void Log(const std::string& text) { ProgramLog().Write(1, text); }

// A sale in progress, an entry form or the search form open: no session may
// start now.
bool Busy() { return gSale.gSearchKind != 0 || gSale.gItemCount > 0 || gReg.gSearchFormOpen; }

enum class Due { None, FixedTime, Interval };

// One line of the communication log: the time of day and `text`. The output
// is ended without feed or cut, so that the next line follows, unless
// `last`.
void CommLog_Line(const std::string& text, bool last) {
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    Printer_Line(1, 0, TimeOfDay(Now()) + " " + text);
    if (last)
        Printer_Close(true);
    else
        Printer_End();
}

// The keys as the login prompt leaves them: the keypad, Erase, Enter and
// Clock In/Out.
void LoginPromptKeys() {
    const Money typed = gReg.gEnteredAmount;
    gReg.gEnteredAmount = Money();
    Buttons_Lock();
    gReg.gEnteredAmount = typed;
}

// The keys as they were before the session: the register's when somebody is
// logged in, else those of the login prompt.
void Session_GiveKeysBack() {
    if (gReg.gCashierIndex != 0)
        Buttons_Unlock();
    else
        LoginPromptKeys();
}

// The end of every Communicate that got as far as the connection: the keys
// as they were, the session's mark taken off, then what the caller does next.
void Communicate_End(const std::function<void()>& then) {
    Session_GiveKeysBack();
    gCommSchedule.inSession = false;
    if (then) then();
}

// No Internet and no dial-up: the session is given up.
void Communicate_Unable(bool dialSettingsMissing, bool dialled, std::function<void()> then) {
    CommState& c = gComm;
    // The callers that read the outcome see that no session ran.
    c.gCommResult = 1;
    if (c.gOperationMode != CommMode::Log && c.gOperationMode != CommMode::AllData)
        Log("Communicate: Unable to use Internet Auto Dialer");
    CIATime(Msg(dialSettingsMissing ? Message::ErrorTheDialUpConfigurationFileDoesNotExist
                                    : Message::UnableToDialOutToInternet),
            5);
    if (c.gCommLog) CommLog_Line(Msg(Message::UnableToDialOutToInternet), true);
    // A line the dialler half brought up is taken down again; nobody logged
    // in: the keys stay those of the login prompt.
    if (dialled)
        Transfer().HangUp_Start([then = std::move(then)] { Communicate_End(then); });
    else
        Communicate_End(then);
}

// The session itself, once the Internet answers; `dialled` when the dial-up
// brought it up (it is hung up afterwards).
void Communicate_Session(bool dialUp, bool dialled, std::function<void()> then) {
    CommState& c = gComm;
    Transfer().Session_Start(c.gOperationMode, c.gCommHidden,
                             [dialUp, dialled, then = std::move(then)](std::int16_t result) {
                                 CommState& comm = gComm;
                                 comm.gCommResult = result;
                                 auto end = [then] {
                                     Session_GiveKeysBack();
                                     gComm.gCommLog = false;
                                     if (gReg.gCashierIndex == 0) Logout();
                                     gCommSchedule.inSession = false;
                                     if (then) then();
                                 };
                                 if (dialUp) CIATime(Msg(Message::HangingUpTheInternetConnection), 5);
                                 if (dialled)
                                     Transfer().HangUp_Start(end);
                                 else
                                     end();
                             });
}

// The closing time (setting 900, HHMM) as HH:MM.
std::string ClosingHourMinute(const Settings& s) {
    const std::string& c = s.gClosingTime;
    return c.size() == 4 ? c.substr(0, 2) + ":" + c.substr(2, 2) : c;
}

// True when the hour after closing reaches the roll-over before midnight or
// passes midnight (a closing at 22:50 or later).
bool ClosingOut_AfterRollOver(const Settings& s) {
    const std::string& next = s.gClosingTimeNext;
    if (next.size() != 5) return false;
    return next >= "23:50" || next < ClosingHourMinute(s);
}

// Everybody still in on `day` is clocked out at the closing time.
void ClosingOut_Run(const std::string& day, const std::string& hhmm) {
    Log("Timer_Comm: everybody is clocked out at " + hhmm + " for " + day);
    Clock_EverybodyOut(day);
    gCommSchedule.closingOutDate = day;
}

// Steps of one minute of the schedule; a session that falls due is left in
// `due` when it can run, else noted as pending.
void Schedule_Minute(std::int64_t minute, Due& due) {
    CommScheduleState& st = gCommSchedule;
    const Settings& s = gSettings;
    const LocalTime t = TimeOfMinute(minute);
    const std::string hhmm = HourMinute(t);
    const bool deferred = Busy() || st.inSession;

    if (s.gConnectionMode == ConnectionMode::DialUp) {
        if (std::find(s.gAutoSendTime.begin(), s.gAutoSendTime.end(), hhmm) != s.gAutoSendTime.end()) {
            if (deferred) {
                gComm.gCommLog = true;
                gSale.gSendPending = true;
            } else {
                due = Due::FixedTime;
            }
        }
    } else if (s.gConnectionMode == ConnectionMode::Interval) {
        if (hhmm >= s.gCommWindowStart && hhmm <= s.gCommWindowEnd) {
            if (st.gCommIntervalCount < std::numeric_limits<std::int16_t>::max()) ++st.gCommIntervalCount;
            // An interval that is no positive number means no interval
            // sessions, not one every minute.
            const double interval = Num_Val(s.gCommInterval);
            if (interval >= 1 && st.gCommIntervalCount >= interval) {
                if (deferred) {
                    gComm.gCommLog = false;
                    gSale.gSendPending = true;
                } else {
                    due = Due::Interval;
                }
                st.gCommIntervalCount = 0;
            }
        }
    }

    if (s.gAutoClockOut) {
        const std::string day = DateText(t);
        if (hhmm.compare(0, 4, "23:5") == 0) {
            if (st.gRollOverDone == 0) {
                // A clock-out an hour after a late closing would come after
                // the split: the day that closed is clocked out first.
                if (ClosingOut_AfterRollOver(s) && st.closingOutDate != day) ClosingOut_Run(day, hhmm);
                Log("Timer_Comm: the clock-ins are rolled over at " + hhmm);
                RollOverClockIns(t);
                st.gRollOverDone = 1;
            }
        } else {
            st.gRollOverDone = 0;
        }
        if (hhmm == s.gClosingTimeNext) {
            // Past midnight the hour after closing belongs to the day before.
            const std::string closed = hhmm < ClosingHourMinute(s) ? DateText(TimeOfMinute(minute - kMinutesPerDay))
                                                                   : day;
            if (st.closingOutDate != closed) ClosingOut_Run(closed, hhmm);
        }
    }

    if (hhmm == "00:00") {
        gReg.gBusinessDate = DateText(t);
        Date_Set();
        Caption_Show();
        Suspend_Drop();
    }
}

}  // namespace

void Communication_Configure() {
    Timers* timers = Reg().timers;
    if (timers) {
        timers->SetHandler(TimerId::Comm, Timer_Comm_Timer);
        timers->Start(TimerId::Comm, kTimerMs);
    }
    gSale.gSendPending = false;
    CommScheduleState& st = gCommSchedule;
    st.gCommIntervalCount = 0;
    // The minute of the load is not handled: a restart right after a
    // scheduled session would otherwise run it again.
    st.lastMinute = MinuteOf(Now());
}

void Timer_Comm_Timer() {
    CommScheduleState& st = gCommSchedule;
    const LocalTime now = Now();
    const std::int64_t current = MinuteOf(now);
    std::int64_t first = current;
    if (st.lastMinute >= 0) {
        if (current == st.lastMinute) return;  // this minute was handled
        if (current < st.lastMinute) {
            Log("Timer_Comm: the clock went back from " + MinuteText(st.lastMinute) + " to " + MinuteText(current) +
                "; only this minute is handled");
        } else {
            first = st.lastMinute + 1;
            const std::int64_t missed = current - first;
            if (missed >= kMaxCatchUp) {
                Log("Timer_Comm: no tick from " + MinuteText(st.lastMinute) + " to " + MinuteText(current) +
                    "; only the last day's minutes are handled");
                first = current - kMaxCatchUp + 1;
            } else if (missed > kLateMinutes) {
                Log("Timer_Comm: no tick from " + MinuteText(st.lastMinute) + " to " + MinuteText(current) + "; the " +
                    std::to_string(missed) + " minutes between are handled now");
            }
        }
    }
    // Taken before anything runs, so that a tick during a session goes on
    // from here.
    st.lastMinute = current;

    Due due = Due::None;
    for (std::int64_t minute = first; minute <= current; ++minute) Schedule_Minute(minute, due);

    CommState& c = gComm;
    switch (due) {
    case Due::None: return;
    case Due::FixedTime:
        gSale.gSendPending = false;
        c.gCommHidden = false;
        c.gOperationMode = CommMode::Full;
        c.gCommLog = true;
        Communicate([] {
            if (gComm.gProductsUpdated) Program().RestartProgram();
        });
        return;
    case Due::Interval:
        CIATime(Msg(Message::CommunicatingWithServer) + TimeOfDay(now), 0);
        c.gCommLog = false;
        gSale.gSendPending = false;
        c.gCommHidden = true;
        c.gOperationMode = CommMode::Full;
        Communicate([] {
            if (gComm.gProductsUpdated)
                Program().RestartProgram();
            else
                Screen().SetText(kMessageLine, "");
        });
        return;
    }
}

void Communicate(std::function<void()> then) {
    CommScheduleState& st = gCommSchedule;
    if (st.inSession) {
        gSale.gSendPending = true;
        Log("Communicate: a session is running; this one waits for the next sale");
        // What the caller closed for the session (the log, the tables) is
        // opened again at once.
        if (then) then();
        return;
    }
    st.inSession = true;

    CommState& c = gComm;
    if (c.gCommLog) Communicate_Header();
    // Hidden or not, nothing is rung up or loaded while a session runs.
    Buttons_Lock();

    if (gSettings.gConnectionMode != ConnectionMode::DialUp) {
        Communicate_Session(false, false, std::move(then));
        return;
    }
    // Connection mode "1": the Internet check and, when it does not answer,
    // the dial-up run in the background; the keys stay locked meanwhile.
    if (c.gCommLog) CommLog_Line(Msg(Message::ConnectingToTheInternet), false);
    CIATime(Msg(Message::EstablishingAConnectionToTheInternet), 32);
    Transfer().Connect_Start([then = std::move(then)](int result) mutable {
        if (result == 2 || result == 3) {
            Communicate_Unable(result == 2, result == 3, std::move(then));
            return;
        }
        Communicate_Session(true, result == 1, std::move(then));
    });
}

void Date_Set() {
    const std::string& date = gReg.gBusinessDate;
    const auto month = Num_ToInteger(Num_Val(Mid(date, 5, 2)), 1, 12).value_or(1);
    gSale.gDateText = std::string(Mid(date, 7, 2)) + "/" +
                      MonthName(gConstants.tables, static_cast<int>(month), TextLanguage(gSettings)) + "/" +
                      std::string(Mid(date, 1, 4));
}

void Program_Close() {
    if (Reg().timers) Reg().timers->Stop(TimerId::Comm);
    Data_CloseAll(gData);
    Program().EndProgram();
}

}  // namespace tarvo
