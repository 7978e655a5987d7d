#include "data/count_and_activity.h"

#include "common/fields.h"
#include "common/numbers.h"
#include "data/log.h"
#include "data/transaction_files.h"

namespace tarvo {

PhysicalAddResult Physical_Add(const std::string& productNumber, double quantity) {
    // The product number as a number (leading zeros dropped); a number with
    // letters in it is written as its trimmed text.
    std::string code = Trim(productNumber);
    if (auto n = Num_ReadStrict(code); n && code.find('.') == std::string::npos) code = Num_Text(*n);
    std::string qty = Num_Text(quantity);
    if (qty.size() > 5) return PhysicalAddResult::QuantityTooWide;

    Open_FilePhysical();
    DataState& d = gData;
    std::string record = PadRight(code, 8) + PadRight(qty, 5) + "    0";
    bool ok = Transaction_Append(d.physical, d.gLastPhysicalRecord, 18, record);
    d.physical.Close();
    return ok ? PhysicalAddResult::Ok : PhysicalAddResult::WriteFailed;
}

ActivityTotals Activity_Totals(const std::string& reportDate, ReportKind reportKind, const std::string& cashierNumber) {
    ActivityTotals t;
    Open_FileActivity();
    DataState& d = gData;
    const bool everyCashier = reportKind == ReportKind::Closing || reportKind == ReportKind::Sales;
    const std::string cashier = Trim(cashierNumber);
    for (std::int64_t i = d.gLastActivityRecord; i >= 2; --i) {
        std::string_view r = d.activity.View(i);
        if (r.size() < 13 || r.substr(0, 8) != reportDate) continue;
        if (!everyCashier) {
            std::string who(r.size() >= 23 ? r.substr(22, 8) : std::string_view());
            while (!who.empty() && who.back() == ' ') who.pop_back();
            if (who != cashier) continue;
        }
        Money* total = nullptr;
        switch (r[12]) {
        case 'D': total = &t.deposits; break;
        case 'B': total = &t.bankDeposits; break;
        case 'P': total = &t.paidOuts; break;
        case 'O': total = &t.openings; break;
        case 'C': total = &t.declarations; break;
        default: break;
        }
        if (!total) continue;
        Money amount =
            CentRoundUp(Money::Parse(r.size() > 30 ? r.substr(30, 9) : std::string_view()).value_or(Money()));
        *total = CentRoundUp(*total + amount);
    }
    d.gActivityRec = d.activity.Read(d.gLastActivityRecord);
    d.activity.Close();
    return t;
}

}  // namespace tarvo
