#include "office/attendance_report.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/numbers.h"
#include "config/constants.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "data/transaction_files.h"
#include "office/activity_journal.h"
#include "office/time_clock.h"
#include "platform/clock.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

using namespace print_text;

constexpr std::int64_t kReportLookBack = 2000;
constexpr std::size_t kMaxPersons = 100;
constexpr const char* kFailLog = "Report_TimeAttendance: HandlerPrintTime, Printer error in middle of printing";

struct ClockEvent {
    char type = ' ';
    std::string time;  // HHmm
};

struct Person {
    std::string key;  // Person_Key
    std::vector<ClockEvent> events;
};

struct Day {
    std::vector<Person> persons;  // in order of first appearance
    std::string newestTime;       // HHmm of the newest record of the journal
};

// The persons of the business date and their clock records, oldest first.
Day Day_Read() {
    Day day;
    std::unordered_map<std::string, std::size_t> index;
    std::unordered_set<std::string> skipped;
    std::string firstSkipped;
    Open_FileActivity();
    Activity_ForEachOfDay(gReg.gBusinessDate, kReportLookBack, [&](const ActivityView& v) {
        std::string key = Person_Key(v.Person());
        auto it = index.find(key);
        if (it == index.end()) {
            if (day.persons.size() >= kMaxPersons) {
                if (skipped.insert(key).second && firstSkipped.empty()) firstSkipped = key;
                return;
            }
            it = index.emplace(key, day.persons.size()).first;
            day.persons.push_back(Person{std::move(key), {}});
        }
        if (v.Type() == 'I' || v.Type() == 'U')
            day.persons[it->second].events.push_back(ClockEvent{v.Type(), std::string(v.Time())});
    });
    if (const auto newest = Activity_Newest()) day.newestTime = std::string(newest->Time());
    gData.activity.Close();
    if (!skipped.empty())
        ProgramLog().Write(1, "Report_TimeAttendance: more than " + std::to_string(kMaxPersons) + " persons on " +
                                  gReg.gBusinessDate + ", " + std::to_string(skipped.size()) +
                                  " not listed (first: \"" + firstSkipped + "\")");
    if (day.newestTime.empty()) day.newestTime = TimeText(Reg().clock->Now());
    return day;
}

// The first cashier of the table for each person key.
std::unordered_map<std::string, std::size_t> CashierNames() {
    std::unordered_map<std::string, std::size_t> names;
    const DataState& d = gData;
    for (std::int32_t c = 1; c <= d.gCashierCount && static_cast<std::size_t>(c) < d.CashierTable.size(); ++c)
        names.try_emplace(Person_Key(d.CashierTable[static_cast<std::size_t>(c)].CashierNumber),
                          static_cast<std::size_t>(c));
    return names;
}

// Two digits at least: 5 -> "05", 105 -> "105".
std::string Digits2(long v) {
    std::string t = std::to_string(v);
    return v >= 0 && t.size() < 2 ? "0" + t : t;
}

int Number2(const std::string& hhmm, std::size_t at) {
    return static_cast<int>(Num_Val(std::string_view(hhmm).substr(std::min(at, hhmm.size()), 2)));
}

std::string HhMm(const std::string& hhmm) { return Col(hhmm, 1, 2) + ":" + Col(hhmm, 3, 2); }

void Heading(const Day& day) {
    const std::string rule(40, '-');
    Line(rule);
    Title(Msg(Message::TimeAttendanceTitle));
    Line(rule);
    Header_Print();
    Line("Date:     " + gSale.gDateText);
    Line(Fit(Msg(Message::Time), 10) + HhMm(day.newestTime));
    Line("Terminal: " + gTerminalNumber);
    const DataState& d = gData;
    const auto manager = static_cast<std::size_t>(gReg.gManagerIndex);
    if (gReg.gManagerIndex > 0 && manager < d.ManagerTable.size())
        Line(Fit(Msg(Message::Manager), 10) + d.ManagerTable[manager].ManagerName);
    const auto cashier = static_cast<std::size_t>(gReg.gCashierIndex);
    if (gReg.gCashierIndex > 0 && cashier < d.CashierTable.size())
        Line(Fit(Msg(Message::Cashier), 10) + d.CashierTable[cashier].CashierName);
    Line("");
    Line(Msg(Message::CashierInOutTotal));
    Line(std::string(Msg(Message::CashierInOutTotal).size(), '-'));
    Print_Check();
}

struct Worked {
    long hours = 0, minutes = 0;
};

// One person: the name, then each clock-in and clock-out on the lines of the pairs.
void Person_Print(const Person& p, const std::string& name, Worked& total, bool& lineOpen) {
    More(name);
    lineOpen = true;
    bool onLine = true;  // the name or the indent begins the current line
    bool hasIn = false;
    int inHours = 0, inMinutes = 0;
    for (const ClockEvent& e : p.events) {
        if (e.type == 'I') {
            if (!onLine) More(Blanks(20));
            More(" " + HhMm(e.time) + "  ");
            inHours = Number2(e.time, 0);
            inMinutes = Number2(e.time, 2);
            hasIn = true;
            onLine = true;
            lineOpen = true;
        } else {
            More(HhMm(e.time));
            lineOpen = false;
            if (hasIn) {
                long hours = Number2(e.time, 0) - inHours;
                long outMinutes = Number2(e.time, 2);
                if (outMinutes < inMinutes) {
                    --hours;
                    outMinutes += 60;
                }
                const long minutes = outMinutes - inMinutes;
                total.hours += hours;
                total.minutes += minutes;
                Line("  " + Digits2(hours) + ":" + Digits2(minutes));
                hasIn = false;  // a clock-out pairs with one clock-in only
            } else {
                Line("Error: Clock out without in");
            }
            onLine = false;
        }
    }
    Print_Check();
}

}  // namespace

void Report_TimeAttendance() {
    if (Printer_IsOff("Report_TimeAttendance")) return;
    const Day day = Day_Read();
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;
    try {
        Heading(day);
        const auto names = CashierNames();
        Worked total;
        bool lineOpen = false;
        for (const Person& p : day.persons) {
            if (lineOpen) Line("");
            const auto it = names.find(p.key);
            const std::string name = it != names.end() ? Fit(gData.CashierTable[it->second].CashierName, 20)
                                                       : std::string("Unknown Cashier     ");
            Person_Print(p, name, total, lineOpen);
        }
        if (lineOpen) Line("");
        Line(std::string(Msg(Message::CashierInOutTotal).size(), '-'));
        while (total.minutes > 59) {
            total.minutes -= 60;
            ++total.hours;
        }
        Line(Blanks(35) + Digits2(total.hours) + ":" + Digits2(total.minutes));
        Line("");
        Print_Check();
        Printer_Close(true);
    } catch (const std::exception&) {
        Printout_Abandon(kFailLog);
    }
}

}  // namespace tarvo
