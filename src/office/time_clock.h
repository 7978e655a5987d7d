// The time clock: staff clock in and out with the Clock key (and at login
// with automatic clock-out on), everybody still in is clocked out an hour
// after closing, and a shift still open shortly before midnight is split in
// two at 23:59 / 00:01. Every event is an "I" or "U" record of the activity
// journal; the attendance report pairs them.
//
// Employee numbers are compared as numbers: columns 23-30 holding "00000007"
// and a cashier number "7" are the same employee. A cashier number that is
// not a whole number of digits is never clocked (a log line tells why).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tarvo {

// gSale.gCheckResult after a clock check when the cashier number is not a
// number: nobody is clocked with it.
inline constexpr std::int16_t kClockNumberRefused = -1;

// The number of an employee written as digits only (blanks around allowed),
// within the range of a Long; nothing for any other text.
std::optional<std::int32_t> EmployeeNumber_Value(std::string_view text);

// The person of a journal record as the time clock and the attendance report
// group it: the decimal text of its number ("00000007" -> "7"), or the text
// itself when it is not a number.
std::string Person_Key(std::string_view person);

// Looks up the latest "I" or "U" of gReg.gEmployeeNumber among the records of
// the business date up to today's calendar date (so a shift that runs past
// midnight before the business date moves on is still found), in the last
// 2000 records. gSale.gCheckResult: 1 clocked in (gSale.gPriceCheckText the
// clock-in time "HH:MM"), 0 not; kClockNumberRefused for a cashier number
// that is not a number.
void Clock_CheckLogin();
// The mirror: 1 clocked out (the clock-out time), 0 clocked in, 2 no clock
// record in that time.
void Clock_CheckLogout();

// Appends an "I" (a "U") for gReg.gEmployeeNumber with today's calendar date
// and the time now; gSale.gPriceCheckText becomes that time "HH:MM". False,
// with the text empty and a log line, when the number is not a number or the
// journal refused the record.
bool Clock_Login();
bool Clock_Logout();

// Every cashier whose latest "I"/"U" of `date` (yyyymmdd, the day that
// closed) is an "I" gets a "U" dated `date` at the closing time (setting 900).
void Clock_EverybodyOut(const std::string& date);
// The same for the business date, or today's calendar date while nobody is
// logged in (the business date is empty then).
void Clock_EverybodyOut();

// For every employee whose latest "I"/"U" of the calendar date of `day` is
// an "I": a "U" that day at 23:59 and an "I" the next day at 00:01. At most
// 100 employees a day; the rest are logged and left alone. Running it again
// the same evening changes nothing. The schedule passes the minute it
// handles, so a roll-over caught up after midnight still splits the day
// before.
void RollOverClockIns(const LocalTime& day);
// The same for today (the clock's date).
void RollOverClockIns();

}  // namespace tarvo
