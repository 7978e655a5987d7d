#include "office/time_clock.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/fields.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/activity_journal.h"
#include "platform/clock.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

// Records looked at by the clock checks, the clock-out and the roll-over.
constexpr std::int64_t kClockLookBack = 2000;
// Employees the roll-over splits in one day.
constexpr std::size_t kRollOverMax = 100;

LocalTime Now() { return Reg().clock->Now(); }

std::string DayAfter(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    const year_month_day next{day + days{1}};
    LocalTime n;
    n.year = static_cast<int>(next.year());
    n.month = static_cast<int>(static_cast<unsigned>(next.month()));
    n.day = static_cast<int>(static_cast<unsigned>(next.day()));
    return DateText(n);
}

// "HHmm" as the clock shows it, "HH:MM".
std::string ClockTime(std::string_view hhmm) {
    return std::string(hhmm.substr(0, 2)) + ":" + std::string(hhmm.substr(std::min<std::size_t>(2, hhmm.size()), 2));
}

bool IsClockRecord(const ActivityView& v) { return v.Type() == 'I' || v.Type() == 'U'; }

// The employee being clocked, or nothing (logged under `who`).
std::optional<std::int32_t> Employee(const char* who) {
    const std::optional<std::int32_t> n = EmployeeNumber_Value(gReg.gEmployeeNumber);
    if (!n)
        ProgramLog().Write(1, std::string(who) + ": cashier number \"" + gReg.gEmployeeNumber +
                                  "\" is not a number, not clocked");
    return n;
}

// The type ('I' or 'U') and time of the employee's latest clock record from
// the business date up to today, or nothing.
struct ClockRecord {
    char type = ' ';
    std::string time;
};
std::optional<ClockRecord> LatestClockRecord(std::int32_t employee) {
    const std::string today = DateText(Now());
    const std::string from = gReg.gBusinessDate.empty() ? today : gReg.gBusinessDate;
    const std::string to = std::max(from, today);
    std::optional<ClockRecord> found;
    Open_FileActivity();
    Activity_ForEachOfDatesBackwards(from, to, kClockLookBack, [&](const ActivityView& v) {
        if (!IsClockRecord(v) || EmployeeNumber_Value(v.Person()) != employee) return true;
        found = ClockRecord{v.Type(), std::string(v.Time())};
        return false;
    });
    gData.activity.Close();
    return found;
}

// The check of both directions: 1 when the latest record is `yes` (with its
// time), 0 when it is the other type, `none` without a record.
void Clock_Check(char yes, std::int16_t none, const char* who) {
    gSale.gPriceCheckText.clear();
    const std::optional<std::int32_t> employee = Employee(who);
    if (!employee) {
        gSale.gCheckResult = kClockNumberRefused;
        return;
    }
    const std::optional<ClockRecord> latest = LatestClockRecord(*employee);
    if (!latest) {
        gSale.gCheckResult = none;
    } else if (latest->type == yes) {
        gSale.gCheckResult = 1;
        gSale.gPriceCheckText = ClockTime(latest->time);
    } else {
        gSale.gCheckResult = 0;
    }
}

bool Clock_Write(char type, const char* who) {
    gSale.gPriceCheckText.clear();
    const std::optional<std::int32_t> employee = Employee(who);
    if (!employee) return false;
    const LocalTime now = Now();
    ActivityEntry e;
    e.date = DateText(now);
    e.time = TimeText(now);
    e.type = type;
    e.person = std::to_string(*employee);
    if (!Activity_Append(e, who)) return false;
    gSale.gPriceCheckText = ClockTime(e.time);
    return true;
}

}  // namespace

std::optional<std::int32_t> EmployeeNumber_Value(std::string_view text) {
    text = TrimView(text);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string Person_Key(std::string_view person) {
    person = TrimView(person);
    const std::optional<std::int32_t> n = EmployeeNumber_Value(person);
    return n ? std::to_string(*n) : std::string(person);
}

void Clock_CheckLogin() { Clock_Check('I', 0, "Clock_CheckLogin"); }
void Clock_CheckLogout() { Clock_Check('U', 2, "Clock_CheckLogout"); }

bool Clock_Login() { return Clock_Write('I', "Clock_Login"); }
bool Clock_Logout() { return Clock_Write('U', "Clock_Logout"); }

void Clock_EverybodyOut() { Clock_EverybodyOut(gReg.gBusinessDate.empty() ? DateText(Now()) : gReg.gBusinessDate); }

void Clock_EverybodyOut(const std::string& date) {
    CIATime(Msg(Message::ClockingOutAllCashiers), 5);
    // One walk: the latest clock record of each employee of the day.
    std::unordered_map<std::int32_t, char> latest;
    Open_FileActivity();
    Activity_ForEachOfDayBackwards(date, kClockLookBack, [&](const ActivityView& v) {
        if (IsClockRecord(v))
            if (const auto n = EmployeeNumber_Value(v.Person())) latest.try_emplace(*n, v.Type());
        return true;
    });
    gData.activity.Close();

    const DataState& d = gData;
    for (std::int32_t c = 1; c <= d.gCashierCount && static_cast<std::size_t>(c) < d.CashierTable.size(); ++c) {
        const std::string& number = d.CashierTable[static_cast<std::size_t>(c)].CashierNumber;
        const std::optional<std::int32_t> n = EmployeeNumber_Value(number);
        if (!n) continue;
        const auto it = latest.find(*n);
        if (it == latest.end() || it->second != 'I') continue;
        ActivityEntry e;
        e.date = date;
        e.time = gSettings.gClosingTime;
        e.type = 'U';
        e.person = number;
        if (Activity_Append(e, "Clock_EverybodyOut")) it->second = 'U';  // a second row of the number is out now
    }
}

void RollOverClockIns() { RollOverClockIns(Now()); }

void RollOverClockIns(const LocalTime& day) {
    const std::string today = DateText(day);
    const std::string tomorrow = DayAfter(day);

    // The employees of today's clock records in order of first appearance,
    // each with its latest record.
    struct Shift {
        std::string key;
        char type = ' ';
        std::string code;  // columns 23-30 of the latest record, trimmed
    };
    std::vector<Shift> employees;
    std::unordered_map<std::string, std::size_t> index;
    std::unordered_set<std::string> skipped;
    std::string firstSkipped;
    Open_FileActivity();
    Activity_ForEachOfDay(today, kClockLookBack, [&](const ActivityView& v) {
        if (!IsClockRecord(v)) return;
        std::string key = Person_Key(v.Person());
        auto it = index.find(key);
        if (it == index.end()) {
            if (employees.size() >= kRollOverMax) {
                if (skipped.insert(key).second && firstSkipped.empty()) firstSkipped = key;
                return;
            }
            it = index.emplace(key, employees.size()).first;
            employees.push_back(Shift{std::move(key), ' ', {}});
        }
        Shift& e = employees[it->second];
        e.type = v.Type();
        e.code = std::string(v.Person());
    });
    gData.activity.Close();
    if (!skipped.empty())
        ProgramLog().Write(1, "RollOverClockIns: more than " + std::to_string(kRollOverMax) + " employees clocked on " +
                                  today + ", " + std::to_string(skipped.size()) + " not rolled over (first: \"" +
                                  firstSkipped + "\")");

    for (const Shift& e : employees) {
        if (e.type != 'I') continue;
        ActivityEntry out;
        out.date = today;
        out.time = "2359";
        out.type = 'U';
        out.person = e.code;
        if (!Activity_Append(out, "RollOverClockIns")) continue;
        ActivityEntry in = out;
        in.date = tomorrow;
        in.time = "0001";
        in.type = 'I';
        Activity_Append(in, "RollOverClockIns");
    }
}

}  // namespace tarvo
