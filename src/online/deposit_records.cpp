#include "online/deposit_records.h"

#include <algorithm>

#include "backoffice/tag_text.h"
#include "config/constants.h"
#include "config/settings.h"
#include "platform/codec.h"

namespace tarvo {

namespace {

std::string Trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return "";
    const auto e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

// The employee as the texts carry it: the number blank-padded or cut to 8.
std::string Employee8(std::string_view employee) {
    std::string e(employee.substr(0, 8));
    e.resize(8, ' ');
    return e;
}

DepositResult Fail(DepositFailure f, std::string error = {}) {
    DepositResult r;
    r.failure = f;
    r.error = std::move(error);
    return r;
}

// A select sent; its rows, or the transfer's failure.
struct Selected {
    bool sent = false;
    std::string error;
    DepositRows rows;
};

Selected Select(const DepositSender& send, const std::string& sql, int limit) {
    Selected s;
    const BackOfficeResult r = send(TaskCode::DatabaseSelect, sql);
    if (!r.ok) {
        s.error = r.error.empty() ? "no answer" : r.error;
        return s;
    }
    s.sent = true;
    s.rows = Deposit_ReadRows(r.reply, limit);
    return s;
}

// An insert or update sent: None, Transfer, or the empty / not-successful
// failure given.
DepositResult Update(const DepositSender& send, const std::string& sql, DepositFailure empty, DepositFailure notDone) {
    const BackOfficeResult r = send(TaskCode::DatabaseUpdate, sql);
    if (!r.ok) return Fail(DepositFailure::Transfer, r.error.empty() ? "no answer" : r.error);
    if (r.reply.empty()) return Fail(empty);
    if (!Deposit_Successful(r.reply)) return Fail(notDone);
    return {};
}

}  // namespace

DepositSender Deposit_BackOfficeSender(long timeoutMs) {
    const std::string prefix = gConstants.servers.RequestPrefix();
    const std::string terminal = gTerminalNumber;
    const std::string debug = gSettings.gDebugMode;
    return [prefix, terminal, debug, timeoutMs](TaskCode task, const std::string& sql) {
        const std::string query = "task=" + std::to_string(TaskNumber(task)) +
                                  "&terminal=" + EncodeQueryValue(terminal) + "&debugmode=" + EncodeQueryValue(debug) +
                                  "&data=" + EncodeQueryValue(sql);
        return BackOfficeRequestAt(prefix, query, timeoutMs);
    };
}

std::string Sql_Quoted(std::string_view value) {
    std::string out;
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

bool Sql_IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string DepositSql_MasterSelect(std::string_view number, std::string_view site) {
    return "select * from tbl_RTs_MAs where trim(deposit_num)=Trim('" + Sql_Quoted(number) + "') and site_id='" +
           Sql_Quoted(site) + "'";
}

std::string DepositSql_LinesSelect(std::string_view number) {
    return "select * from tbl_RTS_dtl where trim(deposit_num)=Trim('" + Sql_Quoted(number) + "')";
}

std::string DepositSql_RecordSelect(std::string_view record) {
    return "select RECORD_ID, TO_CHAR(deposit_Date,'MM-DD-YYYY'), amount,process_order_emp_id,account_id from "
           "tbl_RTS_act  where trim(record_id)=trim('" +
           Sql_Quoted(Trimmed(record)) + " ')";
}

std::string DepositSql_NewRecordId() { return "select Terrol_Log_Sequence.Nextval record_Id from dual"; }

std::string DepositSql_MasterInsert(const DepositEntry& e, std::string_view newId) {
    const std::string employee = Employee8(e.employee);
    return "Insert into tbl_RTS_MAS (RECORD_Id, Site_Id, Process_Order_Emp_Id, Entry_Id, "
           "Deposit_Date,DEPOSIT_NUM,IS_CASH)  Values('" +
           Sql_Quoted(newId) + "'," + e.site + "," + employee + "," + employee + ",to_DATE('" + Sql_Quoted(e.date) +
           "','mm-dd-yyyy'),'" + Sql_Quoted(e.number) + "','" + (e.cash ? "1" : "0") + " ')";
}

std::string DepositSql_LineInsert(const DepositEntry& e, int lineNumber) {
    return "Insert into tbl_RTS_dtl (LINE_nO, deposit_num,AMOUNT , ACCOUNT_ID)  Values('" + std::to_string(lineNumber) +
           "',Trim('" + Sql_Quoted(e.number) + "'),'" + Sql_Quoted(e.amount) + "','" + Sql_Quoted(e.code) + "')";
}

std::string DepositSql_HighestLine(std::string_view number, std::string_view site) {
    return "select max(line_no) from tbl_RTs_DTL where trim(deposit_num)=Trim('" + Sql_Quoted(number) +
           "') and site_id='" + Sql_Quoted(site) + "'";
}

std::string DepositSql_Modify(const DepositEntry& e) {
    return "update tbl_RTS_MAS set Amount='" + Sql_Quoted(e.amount) + "', Account_Id='" + Sql_Quoted(e.code) +
           "' WHERE Site_Id='" + Sql_Quoted(e.site) + "' AND record_id='" + Sql_Quoted(e.record) + "'";
}

std::string DepositSql_BankAndSite(std::string_view site) {
    return "select A.account_id,A.account_name,A.account_code ,B.site_description from tbl_RTS_bank A, tbl_site B "
           "where A.site_Id=" +
           std::string(site) + " and A.site_Id=B.site_id";
}

std::string DepositSql_RevenueRow(std::string_view site, std::string_view code) {
    return "select * from tbl_RTS_Rev where site_Id=" + std::string(site) + " and trim(rev_code)='" + Sql_Quoted(code) +
           "'";
}

std::string DepositRow::Column(int index) const { return Extract(text, std::to_string(index)); }

DepositRows Deposit_ReadRows(std::string_view reply, int limit) {
    DepositRows out;
    const std::string body = Body_Extract(reply);
    if (body.empty()) return out;
    auto decoded = Base64Decode(body);
    if (!decoded) return out;
    const std::string count = Trimmed(Extract(*decoded, "record count"));
    if (!Sql_IsDigits(count) || count.size() > 9) return out;
    out.count = std::stol(count);
    std::string rest = *decoded;
    for (long i = 0; i < out.count && static_cast<long>(out.rows.size()) < limit; ++i) {
        std::string row = Record_Extract(rest);
        if (row.empty()) break;
        out.rows.push_back(DepositRow{std::move(row)});
    }
    if (out.rows.empty()) out.count = 0;
    return out;
}

bool Deposit_Successful(std::string_view reply) { return Extract(reply, "result") == "successful"; }

namespace {

bool ValuesFit(const DepositEntry& e, bool needsEmployee, bool needsRecord) {
    if (!Sql_IsDigits(e.site)) return false;
    if (needsEmployee && (!Sql_IsDigits(e.employee) || e.employee.size() > 8)) return false;
    if (needsRecord && !Sql_IsDigits(e.record)) return false;
    return true;
}

}  // namespace

DepositResult Deposit_SaveNew(const DepositEntry& e, const DepositSender& send) {
    if (!ValuesFit(e, true, false)) return Fail(DepositFailure::BadValue);
    const Selected id = Select(send, DepositSql_NewRecordId(), 1);
    if (!id.sent) return Fail(DepositFailure::Transfer, id.error);
    const std::string newId = id.rows.Empty() ? "" : Trimmed(id.rows.rows[0].Column(0));
    if (newId.empty()) return Fail(DepositFailure::NoSequence);

    DepositResult master = Update(send, DepositSql_MasterInsert(e, newId), DepositFailure::MasterEmpty,
                                  DepositFailure::MasterNotSuccessful);
    if (!master.Ok()) return master;

    DepositResult line =
        Update(send, DepositSql_LineInsert(e, 1), DepositFailure::LineEmpty, DepositFailure::LineNotSuccessful);
    line.newId = newId;
    if (line.Ok()) line.lineNumber = 1;
    return line;
}

DepositResult Deposit_AddLine(const DepositEntry& e, const DepositSender& send) {
    if (!ValuesFit(e, false, false)) return Fail(DepositFailure::BadValue);
    const Selected highest = Select(send, DepositSql_HighestLine(e.number, e.site), 1);
    if (!highest.sent) return Fail(DepositFailure::Transfer, highest.error);
    if (highest.rows.Empty()) return Fail(DepositFailure::NoHighestLine);
    // max() of a deposit without lines is empty: its first line is 1.
    const std::string max = Trimmed(highest.rows.rows[0].Column(0));
    long top = 0;
    if (!max.empty()) {
        if (!Sql_IsDigits(max) || max.size() > 6) return Fail(DepositFailure::NoHighestLine);
        top = std::stol(max);
    }
    if (top >= kDepositMaxLines) return Fail(DepositFailure::TooManyLines);
    const int lineNumber = static_cast<int>(top) + 1;
    DepositResult r = Update(send, DepositSql_LineInsert(e, lineNumber), DepositFailure::LineEmpty,
                             DepositFailure::LineNotSuccessful);
    if (r.Ok()) r.lineNumber = lineNumber;
    return r;
}

DepositResult Deposit_Modify(const DepositEntry& e, const DepositSender& send) {
    if (!ValuesFit(e, false, true)) return Fail(DepositFailure::BadValue);
    return Update(send, DepositSql_Modify(e), DepositFailure::ModifyEmpty, DepositFailure::ModifyNotSuccessful);
}

DepositLookup Deposit_FindMaster(std::string_view number, std::string_view site, const DepositSender& send) {
    DepositLookup out;
    if (!Sql_IsDigits(site)) {
        out.result = Fail(DepositFailure::BadValue);
        return out;
    }
    const Selected s = Select(send, DepositSql_MasterSelect(number, site), 1);
    if (!s.sent)
        out.result = Fail(DepositFailure::Transfer, s.error);
    else if (s.rows.Empty())
        out.result = Fail(DepositFailure::NotFound);
    else
        out.master = s.rows.rows[0];
    return out;
}

DepositRecord Deposit_FindRecord(std::string_view record, const DepositSender& send) {
    DepositRecord out;
    const std::string trimmed = Trimmed(record);
    if (!Sql_IsDigits(trimmed)) {
        out.result = Fail(DepositFailure::BadValue);
        return out;
    }
    const Selected s = Select(send, DepositSql_RecordSelect(trimmed), 1);
    if (!s.sent) {
        out.result = Fail(DepositFailure::Transfer, s.error);
    } else if (s.rows.Empty()) {
        out.result = Fail(DepositFailure::NotFound);
    } else {
        const DepositRow& row = s.rows.rows[0];
        out.number = Trimmed(row.Column(0));
        out.date = Trimmed(row.Column(1));
        out.amount = Trimmed(row.Column(2));
        out.code = Trimmed(row.Column(4));
    }
    return out;
}

DepositTicketData Deposit_FetchTicket(std::string_view number, std::string_view site, const DepositSender& send) {
    DepositTicketData out;
    out.number = std::string(number);
    const DepositLookup master = Deposit_FindMaster(number, site, send);
    if (!master.result.Ok()) {
        out.result = master.result;
        return out;
    }
    out.employee = Trimmed(master.master.Column(2));
    out.date = Trimmed(master.master.Column(4));

    const Selected lines = Select(send, DepositSql_LinesSelect(number), kDepositMaxLines + 1);
    if (!lines.sent) {
        out.result = Fail(DepositFailure::Transfer, lines.error);
        return out;
    }
    if (lines.rows.Empty()) {
        out.result = Fail(DepositFailure::DetailsNotFound);
        return out;
    }
    if (lines.rows.count > kDepositMaxLines || lines.rows.rows.size() > static_cast<std::size_t>(kDepositMaxLines)) {
        out.result = Fail(DepositFailure::TooManyLines);
        return out;
    }

    const Selected bank = Select(send, DepositSql_BankAndSite(site), 1);
    if (!bank.sent) {
        out.result = Fail(DepositFailure::Transfer, bank.error);
        return out;
    }
    if (bank.rows.Empty()) {
        out.result = Fail(DepositFailure::SiteNotFound);
        return out;
    }
    const DepositRow& b = bank.rows.rows[0];
    out.accountId = Trimmed(b.Column(0));
    out.accountName = Trimmed(b.Column(1));
    out.accountCode = Trimmed(b.Column(2));
    out.siteDescription = Trimmed(b.Column(3));

    for (const DepositRow& row : lines.rows.rows) {
        DepositTicketLine line{Trimmed(row.Column(3)), Trimmed(row.Column(4)), {}};
        const Selected rev = Select(send, DepositSql_RevenueRow(site, line.code), 1);
        if (!rev.sent) {
            out.result = Fail(DepositFailure::Transfer, rev.error);
            return out;
        }
        if (rev.rows.Empty()) {
            out.result = Fail(DepositFailure::RevenueNotFound);
            return out;
        }
        line.revenue = rev.rows.rows[0];
        out.lines.push_back(std::move(line));
    }
    return out;
}

}  // namespace tarvo
