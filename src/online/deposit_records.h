// The store's remote deposits: the records the back office keeps of its bank
// deposits (a master per deposit, its revenue lines), read and written with
// the dispatcher's database tasks (300 select, 301 insert or update).
//
// Everything here runs on a worker thread: it touches no program state and
// is handed the values it needs (the entry, the site, the employee) and a
// sender that carries the request. The form (deposit_form.h) reads the
// fields and shows the outcome on the user-interface thread.
//
// Values go into the SQL texts safely: a quote inside a quoted value is
// doubled; the site, the employee and a record number stand unquoted and are
// refused unless they are digits (the employee blank-padded to 8).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "backoffice/backoffice_request.h"

namespace tarvo {

inline constexpr long kDepositRequestTimeoutMs = 30000;
inline constexpr int kDepositMaxLines = 100;  // a deposit with more lines is refused

// Carries one database request (task 300 or 301 with its SQL text) and
// returns the dispatcher's answer.
using DepositSender = std::function<BackOfficeResult(TaskCode task, const std::string& sql)>;

// The program's sender: the standard query family to the current server,
// 30 seconds per request. Call it on the user-interface thread: it copies
// the server address, the terminal number and the debug mode it needs.
DepositSender Deposit_BackOfficeSender(long timeoutMs = kDepositRequestTimeoutMs);

// --- the SQL texts --------------------------------------------------------

// `value` with every single quote doubled, for a text between quotes.
std::string Sql_Quoted(std::string_view value);
// True when `text` is one or more digits and nothing else.
bool Sql_IsDigits(std::string_view text);

struct DepositEntry {
    std::string number;    // the deposit number
    std::string date;      // mm-dd-yyyy
    std::string amount;    // a plain number text
    std::string code;      // the revenue code (at most 5 characters)
    bool cash = false;     // a cash deposit
    std::string record;    // the record modified (digits)
    std::string site;      // the store's site number (digits)
    std::string employee;  // the cashier's number (digits), padded to 8 here
};

std::string DepositSql_MasterSelect(std::string_view number, std::string_view site);
std::string DepositSql_LinesSelect(std::string_view number);
std::string DepositSql_RecordSelect(std::string_view record);
std::string DepositSql_NewRecordId();
std::string DepositSql_MasterInsert(const DepositEntry& e, std::string_view newId);
std::string DepositSql_LineInsert(const DepositEntry& e, int lineNumber);
std::string DepositSql_HighestLine(std::string_view number, std::string_view site);
std::string DepositSql_Modify(const DepositEntry& e);
std::string DepositSql_BankAndSite(std::string_view site);
std::string DepositSql_RevenueRow(std::string_view site, std::string_view code);

// --- replies ---------------------------------------------------------------

// One row of a select: its columns are the elements "0", "1", ...
struct DepositRow {
    std::string text;
    std::string Column(int index) const;
};

// The rows of a task-300 reply (base64 of the rows between "<body>" and
// "</body>"). A reply without a body, a body that does not decode, or a
// "record count" that is empty, "0" or not a number holds no rows. At most
// `limit` rows are read; `count` is the record count the reply gave.
struct DepositRows {
    long count = 0;
    std::vector<DepositRow> rows;
    bool Empty() const { return rows.empty(); }
};
DepositRows Deposit_ReadRows(std::string_view reply, int limit);

// A task-301 reply is done only when its "result" is "successful".
bool Deposit_Successful(std::string_view reply);

// --- the operations --------------------------------------------------------

enum class DepositFailure {
    None,
    BadValue,             // a value the SQL texts cannot carry (site, employee, record)
    Transfer,             // the request itself failed (no answer, a time-out, an HTTP error)
    NoSequence,           // the new record id select gave no row
    MasterEmpty,          // the master insert's reply was empty
    MasterNotSuccessful,  // ... or said nothing of success
    LineEmpty,            // the line insert's reply was empty
    LineNotSuccessful,    // ... or said nothing of success
    NoHighestLine,        // the highest-line select gave no row
    TooManyLines,         // the deposit already has (or would have) more than 100 lines
    NotFound,             // no deposit master (or no record) of that number
    DetailsNotFound,      // a master without lines
    SiteNotFound,         // no bank and site row
    RevenueNotFound,      // a line's revenue row is missing
    ModifyEmpty,          // the modify's reply was empty
    ModifyNotSuccessful,  // ... or said nothing of success
};

struct DepositResult {
    DepositFailure failure = DepositFailure::None;
    std::string newId;   // the new master's record id (a new deposit)
    int lineNumber = 0;  // the line inserted
    std::string error;   // the transfer's reason, for the log
    bool Ok() const { return failure == DepositFailure::None; }
};

// A new deposit: the new record id, the master, then its line 1. A line
// insert that fails leaves the master in place (the result keeps its id).
DepositResult Deposit_SaveNew(const DepositEntry& e, const DepositSender& send);
// One more line on an existing deposit, numbered its highest line + 1.
DepositResult Deposit_AddLine(const DepositEntry& e, const DepositSender& send);
// The amount and revenue code of a record changed.
DepositResult Deposit_Modify(const DepositEntry& e, const DepositSender& send);

// Whether a deposit of that number exists at the site (its master row).
struct DepositLookup {
    DepositResult result;  // NotFound when there is none
    DepositRow master;
};
DepositLookup Deposit_FindMaster(std::string_view number, std::string_view site, const DepositSender& send);

// A record to modify: its number, date (MM-DD-YYYY), amount and revenue code.
struct DepositRecord {
    DepositResult result;  // NotFound when there is none
    std::string number, date, amount, code;
};
DepositRecord Deposit_FindRecord(std::string_view record, const DepositSender& send);

// What the ticket prints: the deposit's master and lines, the bank and site,
// and each line's revenue row. Master columns: 2 the employee, 4 the date;
// line columns: 3 the amount, 4 the revenue code (the tables' own order).
struct DepositTicketLine {
    std::string amount, code;
    DepositRow revenue;
};
struct DepositTicketData {
    DepositResult result;
    std::string number, employee, date;
    std::string accountId, accountName, accountCode, siteDescription;
    std::vector<DepositTicketLine> lines;  // every line with its revenue row, up to the first missing one
};
DepositTicketData Deposit_FetchTicket(std::string_view number, std::string_view site, const DepositSender& send);

}  // namespace tarvo
