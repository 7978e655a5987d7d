// The activity journal (.ACT): one 48-character record per cash-office or
// time-clock event, appended after the header (record 1, the count of the
// last record in use). Columns:
//
//   1-8   date yyyymmdd          13    type letter (D B P O W C S I U)
//   9-12  time HHmm              14    sent flag, "0" when written
//   15-22 manager number or blanks
//   23-30 cashier number (D B P O W C S) or employee number (I U)
//   31-39 amount as plain decimal text ("12.5", "-.25", "100") or blanks
//   40-48 blanks
//
// Every writer appends through Activity_Append: the record is written past
// the count, flushed, and only then counted by the header (the commit point),
// so a crash leaves the record wholly counted or not at all. A value that does
// not fit its columns is refused, never cut.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/money.h"

namespace tarvo {

inline constexpr int kActivityRecordWidth = 48;

struct ActivityEntry {
    std::string date;  // yyyymmdd
    std::string time;  // HHmm
    char type = ' ';
    std::string manager;  // empty: blanks
    std::string person;   // cashier or employee number
    std::optional<Money> amount;
};

// The 48-character record, or nothing when a field does not fit its columns.
std::optional<std::string> ActivityRecord_Text(const ActivityEntry& entry);

// True when `amount` fits the 9 columns of an amount field.
bool ActivityAmount_Fits(Money amount);

enum class AppendOutcome { Written, TooWide, WriteFailed };

struct AppendResult {
    AppendOutcome outcome = AppendOutcome::WriteFailed;
    std::int32_t record = 0;  // the record written; 0 when none
    explicit operator bool() const { return outcome == AppendOutcome::Written; }
};

// Opens the journal, appends `entry` and closes it. A refusal or a failed
// write is logged under `who`; the file then counts what it counted before.
AppendResult Activity_Append(const ActivityEntry& entry, const std::string& who);

// The fields the writers take from the register: the logged-in cashier's
// number and the authorising manager's number (empty when none).
std::string Activity_CashierNumber();
std::string Activity_ManagerNumber();

// One record as the readers see it.
struct ActivityView {
    std::int64_t record = 0;
    std::string_view text;
    std::string_view Date() const { return Field(0, 8); }
    std::string_view Time() const { return Field(8, 4); }
    char Type() const { return text.size() > 12 ? text[12] : ' '; }
    // Columns 23-30 with the blanks around them removed.
    std::string_view Person() const;
    std::string_view Field(std::size_t at, std::size_t width) const {
        return at < text.size() ? text.substr(at, width) : std::string_view();
    }
};

// Visits, oldest first, the records of the last `lookBack` (record 2 at the
// lowest) whose date is `date`. The whole window is looked at: a record of
// another date never ends the walk. The journal must be open (Open_FileActivity).
void Activity_ForEachOfDay(const std::string& date, std::int64_t lookBack,
                           const std::function<void(const ActivityView&)>& visit);

// The same records, newest first; the visit returns false to stop.
void Activity_ForEachOfDayBackwards(const std::string& date, std::int64_t lookBack,
                                    const std::function<bool(const ActivityView&)>& visit);

// Newest first, the records of the window dated `from` to `to` (both
// included, compared as yyyymmdd text); the visit returns false to stop.
void Activity_ForEachOfDatesBackwards(const std::string& from, const std::string& to, std::int64_t lookBack,
                                      const std::function<bool(const ActivityView&)>& visit);

// The newest record of the journal, or nothing when it holds none.
std::optional<ActivityView> Activity_Newest();

}  // namespace tarvo
