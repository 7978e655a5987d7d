#include "office/cash_office.h"

#include <string>

#include "common/fields.h"
#include "common/numbers.h"
#include "config/settings.h"
#include "data/data_state.h"
#include "data/lookups.h"
#include "data/transaction_files.h"
#include "office/activity_journal.h"
#include "platform/clock.h"
#include "sale/tenders.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {
namespace {

// One record of the cash office on the business date, now.
std::int32_t Save(char type, const std::string& manager, std::optional<Money> amount, const std::string& who) {
    ActivityEntry e;
    e.date = gReg.gBusinessDate;
    e.time = TimeText(Reg().clock->Now());
    e.type = type;
    e.manager = manager;
    e.person = Activity_CashierNumber();
    e.amount = amount;
    const AppendResult r = Activity_Append(e, who);
    if (r.outcome == AppendOutcome::TooWide) CIATime(Msg(Message::InvalidEntry), 5);
    if (r.outcome == AppendOutcome::WriteFailed) CIATime(kJournalNotWritten, 10);
    return r.record;
}

}  // namespace

namespace {

std::optional<Money> Accepted(std::string_view typed, bool (*valid)(Money)) {
    const std::optional<Money> amount = PlainAmount_Read(typed);
    if (!amount || !valid(*amount)) return std::nullopt;
    return amount;
}

}  // namespace

std::optional<Money> PaidOutAmount_Read(std::string_view typed) {
    return Accepted(typed,
                    [](Money a) { return !a.IsZero() && a > Money::FromUnits(-5000) && a <= Money::FromUnits(5000); });
}

std::optional<Money> DepositAmount_Read(std::string_view typed) {
    return Accepted(typed, [](Money a) { return a > Money() && ActivityAmount_Fits(a); });
}

std::optional<Money> OpeningAmount_Read(std::string_view typed) {
    return Accepted(typed, [](Money a) { return a > Money() && a <= Money::FromUnits(5000); });
}

std::optional<Money> DeclaredAmount_Read(std::string_view typed) {
    return Accepted(typed, [](Money a) {
        return !a.IsZero() && a > Money::FromUnits(-100000) && a < Money::FromUnits(1000000);
    });
}

std::int32_t DepositSafe_Save() { return Save('D', "", gReg.gEnteredAmount, "DepositSafe_Save"); }
std::int32_t DepositBank_Save() { return Save('B', "", gReg.gEnteredAmount, "DepositBank_Save"); }
std::int32_t Paidout_Save() { return Save('P', Activity_ManagerNumber(), gReg.gEnteredAmount, "Paidout_Save"); }
std::int32_t Drawer_Save() { return Save('W', Activity_ManagerNumber(), std::nullopt, "Drawer_Save"); }
bool SaleCancel_Save() { return Save('S', Activity_ManagerNumber(), std::nullopt, "SaleCancel_Save") != 0; }

std::int32_t Declare_Save() {
    Money amount = gReg.gEnteredAmount;
    if (gSettings.gReportOption) amount = CentRoundUp(amount - Cash_OnHand().byKey[1]);
    // The counted-cash form keeps the over/short where the typed amount was.
    const std::int32_t record = Save('C', "", amount, "Declare_Save");
    if (record != 0) gReg.gEnteredAmount = amount;
    return record;
}

PaymentTotals Cash_OnHand() {
    PaymentTotals totals;
    DataState& d = gData;
    Open_FileInvoice();
    Open_FilePayment();
    const int keys = gTender.gPaymentListCount;
    for (std::int64_t i = d.gLastInvoiceRecord; i >= 2; --i) {
        const std::string_view invoice = d.invoices.View(i);
        if (Mid(invoice, 12, 8) != std::string_view(gReg.gBusinessDate)) continue;
        const std::string number(Mid(invoice, 1, 7));
        const std::optional<RecordMatch> paid = Payment_Find(number);
        if (!paid) continue;
        for (std::int64_t p = paid->recNo; p <= d.gLastPaymentRecord; ++p) {
            const std::string_view payment = d.payments.View(p);
            if (Mid(payment, 1, 7) != number) break;
            const Money amount = CentRoundUp(Money::Parse(Trim(Mid(payment, 18, 9))).value_or(Money()));
            const std::string type(TrimRightView(Mid(payment, 10, 8)));
            for (int k = 1; k <= keys && k < static_cast<int>(totals.byKey.size()); ++k) {
                if (gTender.gPaymentListCode[static_cast<std::size_t>(k)] == type) {
                    Money& slot = totals.byKey[static_cast<std::size_t>(k)];
                    slot = CentRoundUp(slot + amount);
                    break;
                }
            }
        }
    }
    d.payments.Close();
    d.invoiceLines.Close();
    d.invoices.Close();
    return totals;
}

}  // namespace tarvo
