#include "office/activity_journal.h"

#include <algorithm>

#include "common/fields.h"
#include "data/data_state.h"
#include "data/log.h"
#include "data/transaction_files.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

constexpr int kHeaderBlanks = 40;

// `value` trimmed and padded to `width`; nothing when it is longer.
std::optional<std::string> Fit(std::string_view value, std::size_t width) {
    const std::string trimmed = Trim(std::string(value));
    if (trimmed.size() > width) return std::nullopt;
    return trimmed + std::string(width - trimmed.size(), ' ');
}

}  // namespace

bool ActivityAmount_Fits(Money amount) { return amount.Text().size() <= 9; }

std::optional<std::string> ActivityRecord_Text(const ActivityEntry& e) {
    const auto date = Fit(e.date, 8);
    const auto time = Fit(e.time, 4);
    const auto manager = Fit(e.manager, 8);
    const auto person = Fit(e.person, 8);
    const auto amount = Fit(e.amount ? e.amount->Text() : std::string(), 9);
    if (!date || !time || !manager || !person || !amount) return std::nullopt;
    std::string r = *date + *time + e.type + "0" + *manager + *person + *amount + std::string(9, ' ');
    return r;
}

AppendResult Activity_Append(const ActivityEntry& entry, const std::string& who) {
    AppendResult result;
    const std::optional<std::string> text = ActivityRecord_Text(entry);
    if (!text) {
        result.outcome = AppendOutcome::TooWide;
        ProgramLog().Write(1, who + ": a field does not fit the activity record, nothing written (person \"" +
                                  entry.person + "\", amount " + (entry.amount ? entry.amount->Text() : "none") + ")");
        return result;
    }
    DataState& d = gData;
    Open_FileActivity();
    if (Transaction_Append(d.activity, d.gLastActivityRecord, kHeaderBlanks, *text, HeaderForm::BlanksAfter)) {
        result.outcome = AppendOutcome::Written;
        result.record = d.gLastActivityRecord;
    } else {
        ProgramLog().Write(1, who + ": the activity journal could not be written, nothing recorded");
    }
    d.activity.Close();
    return result;
}

std::string Activity_CashierNumber() {
    const DataState& d = gData;
    const std::int32_t i = gReg.gCashierIndex;
    if (i > 0 && i <= d.gCashierCount && static_cast<std::size_t>(i) < d.CashierTable.size())
        return d.CashierTable[static_cast<std::size_t>(i)].CashierNumber;
    return {};
}

std::string Activity_ManagerNumber() {
    const DataState& d = gData;
    const std::int32_t i = gReg.gManagerIndex;
    if (i > 0 && static_cast<std::size_t>(i) < d.ManagerTable.size())
        return d.ManagerTable[static_cast<std::size_t>(i)].ManagerNumber;
    return {};
}

std::string_view ActivityView::Person() const { return TrimView(Field(22, 8)); }

namespace {

std::int64_t LowestOfWindow(std::int64_t last, std::int64_t lookBack) {
    return std::max<std::int64_t>(2, last - lookBack);
}

}  // namespace

void Activity_ForEachOfDay(const std::string& date, std::int64_t lookBack,
                           const std::function<void(const ActivityView&)>& visit) {
    const WorkFile& f = gData.activity;
    const std::int64_t last = gData.gLastActivityRecord;
    for (std::int64_t k = LowestOfWindow(last, lookBack); k <= last; ++k) {
        ActivityView v{k, f.View(k)};
        if (v.Date() == date) visit(v);
    }
}

void Activity_ForEachOfDayBackwards(const std::string& date, std::int64_t lookBack,
                                    const std::function<bool(const ActivityView&)>& visit) {
    const WorkFile& f = gData.activity;
    const std::int64_t last = gData.gLastActivityRecord;
    for (std::int64_t k = last, low = LowestOfWindow(last, lookBack); k >= low; --k) {
        ActivityView v{k, f.View(k)};
        if (v.Date() == date && !visit(v)) return;
    }
}

void Activity_ForEachOfDatesBackwards(const std::string& from, const std::string& to, std::int64_t lookBack,
                                      const std::function<bool(const ActivityView&)>& visit) {
    const WorkFile& f = gData.activity;
    const std::int64_t last = gData.gLastActivityRecord;
    for (std::int64_t k = last, low = LowestOfWindow(last, lookBack); k >= low; --k) {
        ActivityView v{k, f.View(k)};
        const std::string_view date = v.Date();
        if (date.size() == 8 && date >= from && date <= to && !visit(v)) return;
    }
}

std::optional<ActivityView> Activity_Newest() {
    const std::int64_t last = gData.gLastActivityRecord;
    if (last < 2) return std::nullopt;
    return ActivityView{last, gData.activity.View(last)};
}

}  // namespace tarvo
