// The back office of the deposit tests: the dispatcher stand-in answering the
// deposit database's requests by the start of their SQL text, selects with
// base64 rows in "<body>" as the dispatcher writes them, inserts and updates
// with "<result>". Every SQL text received is kept in order.
#pragma once
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "backoffice/dispatcher_stub.h"
#include "platform/codec.h"

namespace tarvo {

// A task-300 reply holding `rows` (each a list of columns "0", "1", ...).
inline std::string DepositRowsReply(const std::vector<std::vector<std::string>>& rows) {
    std::string text = "<record count>" + std::to_string(rows.size()) + "</record count>";
    for (const auto& row : rows) {
        text += "<record>";
        for (std::size_t i = 0; i < row.size(); ++i)
            text += "<" + std::to_string(i) + ">" + row[i] + "</" + std::to_string(i) + ">";
        text += "</record>";
    }
    return "<body>\r\n" + Base64Encode(text) + "</body>";
}

inline const std::string kDepositDone = "<result>successful</result>";

class DepositOffice {
public:
    // SQL prefixes of the requests.
    static constexpr const char* kSequence = "select Terrol_Log_Sequence";
    static constexpr const char* kMasterInsert = "Insert into tbl_RTS_MAS";
    static constexpr const char* kLineInsert = "Insert into tbl_RTS_dtl";
    static constexpr const char* kHighest = "select max(line_no)";
    static constexpr const char* kMaster = "select * from tbl_RTs_MAs";
    static constexpr const char* kLines = "select * from tbl_RTS_dtl";
    static constexpr const char* kRecord = "select RECORD_ID";
    static constexpr const char* kModify = "update tbl_RTS_MAS";
    static constexpr const char* kBank = "select A.account_id";
    static constexpr const char* kRevenue = "select * from tbl_RTS_Rev";

    DepositOffice() {
        stub.UseAsSlot(1);
        stub.SetHandler([this](const DispatcherCall& call) {
            const std::string sql = call.Param("data");
            std::lock_guard<std::mutex> lock(mutex_);
            sql_.push_back(sql);
            DispatcherAnswer a;
            for (const auto& [prefix, answer] : answers_)
                if (sql.rfind(prefix, 0) == 0) {
                    a = answer;
                    break;
                }
            if (a.status == 0) stub.Hold(std::chrono::milliseconds(hold_));  // a stalled server
            if (a.status == 0) a.status = 200;
            return a;
        });
    }
    // A sound back office: deposit 4711 with two lines.
    void Healthy() {
        Answer(kSequence, DepositRowsReply({{"9001"}}));
        Answer(kMasterInsert, kDepositDone);
        Answer(kLineInsert, kDepositDone);
        Answer(kHighest, DepositRowsReply({{"2"}}));
        Answer(kModify, kDepositDone);
    }
    void Answer(const std::string& prefix, std::string body, int status = 200) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[prefix] = DispatcherAnswer{status, std::move(body), false};
    }
    // Requests of `prefix` answer only after `ms` (status 0 marks the stall).
    void Stall(const std::string& prefix, int ms) {
        std::lock_guard<std::mutex> lock(mutex_);
        hold_ = ms;
        answers_[prefix] = DispatcherAnswer{0, "", false};
    }
    std::vector<std::string> Sql() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sql_;
    }
    std::vector<int> Tasks() const {
        std::vector<int> t;
        for (const auto& c : stub.Calls()) t.push_back(c.Task());
        return t;
    }

    DispatcherStub stub;

private:
    mutable std::mutex mutex_;
    std::map<std::string, DispatcherAnswer> answers_;
    std::vector<std::string> sql_;
    int hold_ = 0;
};

}  // namespace tarvo
