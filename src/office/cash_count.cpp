#include "office/cash_count.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "common/money.h"
#include "config/settings.h"
#include "data/count_and_activity.h"
#include "office/report_lines.h"
#include "office/report_state.h"
#include "print/print_text.h"
#include "print/printer_output.h"
#include "print/report_header.h"
#include "screen/controls.h"
#include "screen/register_context.h"

namespace tarvo {
namespace {

using namespace print_text;

constexpr const char* kShown = "$###,##0.00";
constexpr const char* kSlipAmount = "####,##0.00";
constexpr const char* kFailLog = "Cash count: Printer error in middle of printing";
// An amount of a million or more does not fit the slip's 11 columns.
constexpr std::int64_t kLimitUnits = 1000000;
constexpr std::size_t kAmountColumn = 11;
constexpr std::size_t kLabelColumn = 29;

std::size_t At(int index) { return static_cast<std::size_t>(index); }

bool InRange(Money m) { return m.Raw() > -kLimitUnits * Money::kScale && m.Raw() < kLimitUnits * Money::kScale; }

bool IsDigits(std::string_view s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A quantity box: empty, or up to three digits.
bool QuantityOk(std::string_view s) { return s.size() <= kCashQuantityDigits && IsDigits(s); }

std::int64_t QuantityOf(const std::string& s) { return s.empty() ? 0 : std::atoll(s.c_str()); }

Money AmountOr0(const std::string& s) { return CashCount_Amount(s).value_or(Money()); }

std::string Shown(Money m) { return m.Format(kShown); }

std::string PadTo(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : s + Blanks(static_cast<long>(width - s.size()));
}

CashCountView* gView = nullptr;
std::optional<CashCountForm> gForm;

}  // namespace

Money CashDenomination_Value(int index) {
    const std::string_view caption = CashCountCaptions::kDenominations.at(At(index));
    return CashCount_Amount(caption).value_or(Money());
}

std::optional<Money> CashCount_Amount(std::string_view t) {
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && t[i] == '-') {
        negative = true;
        ++i;
    }
    if (i < t.size() && t[i] == '$') ++i;
    if (!negative && i < t.size() && t[i] == '-') {
        negative = true;
        ++i;
    }
    const std::size_t intStart = i;
    while (i < t.size() && (std::isdigit(static_cast<unsigned char>(t[i])) || t[i] == ',')) ++i;
    const std::string_view whole = t.substr(intStart, i - intStart);
    std::string digits;
    if (whole.find(',') != std::string_view::npos) {
        // Thousands separators: a first group of 1-3 digits, then groups of 3.
        std::size_t start = 0;
        bool first = true;
        while (true) {
            const std::size_t comma = whole.find(',', start);
            const std::string_view group =
                whole.substr(start, comma == std::string_view::npos ? whole.npos : comma - start);
            if (group.empty() || (first ? group.size() > 3 : group.size() != 3)) return std::nullopt;
            digits += group;
            first = false;
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
    } else {
        digits = std::string(whole);
    }
    std::string decimals;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) decimals += t[i++];
        if (decimals.size() > 2) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    // Leading zeros do not count towards the size limit.
    const std::size_t nonZero = digits.find_first_not_of('0');
    if (nonZero != std::string::npos && digits.size() - nonZero > 12) return std::nullopt;
    std::int64_t cents = 0;
    for (char c : digits) cents = cents * 10 + (c - '0');
    decimals.resize(2, '0');
    cents = cents * 100 + (decimals[0] - '0') * 10 + (decimals[1] - '0');
    return Money::FromCents(negative ? -cents : cents);
}

// ---- the form ---------------------------------------------------------------------------

void CashCountForm::Load() {
    loaded_ = true;
    quantity_ = {};
    summary_ = {};
    cashTotal_ = Money();
    entryToCash_ = true;
    cashIndex_ = 0;
    summaryIndex_ = 0;
    lastBoxIndex_ = 0;
    lastBoxIsSummary_ = false;

    // The same cashier and date as the report that follows the count.
    const ActivityTotals a =
        Activity_Totals(ReportDate_Get().date, gReport.gReportKind, report_lines::LoggedInCashier());
    auto fill = [this](int box, Money amount) { summary_[At(box)] = amount.IsZero() ? "" : Shown(amount); };
    fill(kTotalDeposits, a.deposits + a.bankDeposits);
    fill(kOpeningClosing, a.openings);
    fill(kPaidouts, a.paidOuts);
    fill(kOverShort, a.declarations);
    withdraw_ = Withdraw_Of(summary_);

    view_.CashCount_Show(*this);
    Update();
    Drawer_Open();
}

void CashCountForm::Denomination_Click(int index) {
    if (index < 0 || index >= kCashDenominations) return;
    cashIndex_ = index;
    // The number pad follows the focus to the emptied box.
    entryToCash_ = true;
    lastBoxIndex_ = index;
    lastBoxIsSummary_ = false;
    Quantity_Set(index, "");
    Update();
}

void CashCountForm::Quantity_Click(int index) {
    if (index < 0 || index >= kCashDenominations) return;
    entryToCash_ = true;
    cashIndex_ = index;
    lastBoxIndex_ = index;
    lastBoxIsSummary_ = false;
    Update();
}

void CashCountForm::Summary_Click(int index) {
    if (index < 0 || index >= kCashSummaryBoxes) return;
    entryToCash_ = false;
    summaryIndex_ = index;
    lastBoxIndex_ = index;
    lastBoxIsSummary_ = true;
    Update();
}

void CashCountForm::Box_Focus(int index, bool summary) {
    if (index < 0 || index >= (summary ? kCashSummaryBoxes : kCashDenominations)) return;
    lastBoxIndex_ = index;
    lastBoxIsSummary_ = summary;
}

void CashCountForm::NumberPad_Click(int key) {
    if (key < 0 || key >= kCashNumberPadKeys) return;
    const std::string caption = CashCountCaptions::kNumberPad[At(key)];
    if (entryToCash_) {
        if (caption == ".") return;
        Quantity_Set(cashIndex_, QuantityText(cashIndex_) + caption);
    } else {
        Summary_Set(summaryIndex_, SummaryText(summaryIndex_) + caption);
    }
    Update();
}

bool CashCountForm::Quantity_Typed(int index, const std::string& text) {
    if (index < 0 || index >= kCashDenominations) return false;
    const bool ok = Quantity_Set(index, text);
    Update();
    return ok;
}

bool CashCountForm::Summary_Typed(int index, const std::string& text) {
    if (index < 0 || index >= kCashSummaryBoxes) return false;
    const bool ok = Summary_Set(index, text);
    Update();
    return ok;
}

void CashCountForm::Enter_Key() { Quantity_Click((cashIndex_ + 1) % kCashDenominations); }

void CashCountForm::Erase_Click() {
    if (lastBoxIsSummary_)
        Summary_Set(lastBoxIndex_, "");
    else
        Quantity_Set(lastBoxIndex_, "");
    Update();
}

Money CashCountForm::Cash_Of(const std::array<std::string, kCashDenominations>& quantity) {
    Money sum;
    for (int i = 0; i < kCashDenominations; ++i)
        sum += Money::FromRaw(CashDenomination_Value(i).Raw() * QuantityOf(quantity[At(i)]));
    return sum;
}

Money CashCountForm::Withdraw_Of(const std::array<std::string, kCashSummaryBoxes>& summary) const {
    return AmountOr0(summary[kCashInDrawer]) + AmountOr0(summary[kOtherCollections]) -
           AmountOr0(summary[kOpeningClosing]);
}

// A change is refused when it takes the amount to withdraw to a million or
// more (out of the slip's column), unless it brings it nearer to range.
bool CashCountForm::Fits(Money cash, const std::array<std::string, kCashSummaryBoxes>& summary) const {
    const Money w = Withdraw_Of(summary);
    if (!InRange(cash)) return false;
    if (InRange(w)) return true;
    const auto magnitude = [](Money m) { return m.Raw() < 0 ? -m.Raw() : m.Raw(); };
    return magnitude(w) <= magnitude(withdraw_);
}

bool CashCountForm::Quantity_Set(int index, const std::string& text) {
    if (!QuantityOk(text)) return false;
    auto quantity = quantity_;
    quantity[At(index)] = text;
    const Money cash = Cash_Of(quantity);
    auto summary = summary_;
    summary[kCashInDrawer] = Shown(cash);
    if (!Fits(cash, summary)) return false;
    quantity_ = quantity;
    summary_ = summary;
    cashTotal_ = cash;
    withdraw_ = Withdraw_Of(summary_);
    return true;
}

bool CashCountForm::Summary_Set(int index, const std::string& text) {
    const std::optional<Money> amount = CashCount_Amount(text);
    if (!amount || !InRange(*amount)) return false;
    auto summary = summary_;
    summary[At(index)] = text;
    if (!Fits(cashTotal_, summary)) return false;
    summary_ = summary;
    withdraw_ = Withdraw_Of(summary_);
    return true;
}

std::string CashCountForm::TotalText() const { return Shown(withdraw_); }

void CashCountForm::Unload() {
    loaded_ = false;
    view_.CashCount_Hide();
}

void CashCountForm::Cancel_Click() {
    if (!loaded_) return;
    Unload();
    // No report follows: the date prepared for it is spent.
    ReportDate_Clear();
    Screen().SetText(kEntryBox, "");
    Screen().SetVisible(kRegisterForm, true);
}

void CashCountForm::Print_Click() {
    if (!loaded_) return;
    // Printing switched off by the setting: nothing to print, the count ends.
    // A printer lost for the run (status 1) keeps the form up like one that does not open.
    const bool off = Printer_IsOff("Cash count");
    if (off && gPrint.gPrintStatus != 0) return;
    if (off) {
        Unload();
        Pages().Count_Cash_Resume();
        return;
    }
    Printer_Open();
    if (gPrint.gPrintStatus != 0) return;  // the form stays; PRINT can be pressed again
    if (!Slip_Print()) return;
    Unload();
    Pages().Count_Cash_Resume();
}

bool CashCountForm::Slip_Print() {
    const auto slipAmount = [this](int box) {
        const std::string& text = SummaryText(box);
        return text.empty() ? Blanks(kAmountColumn) : Right(AmountOr0(text).Format(kSlipAmount), kAmountColumn);
    };
    try {
        ReportHeader_Print();
        Print_Check();
        Line("");
        Title(Msg(Message::CashSummaryTitle));
        Line("");
        Line("");
        Line("Denomination   Quantity Total");
        Line("------------   -------- -----");
        Print_Check();
        Money total;
        for (int i = 0; i < kCashDenominations; ++i) {
            if (i == 0) Line("BILLS:");
            if (i == kCashBills) Line("COINS:");
            const bool bill = i < kCashBills;
            const Money amount = Money::FromRaw(CashDenomination_Value(i).Raw() * QuantityOf(QuantityText(i)));
            total += amount;
            Line(std::string(bill ? "     " : "") + PadTo(CashCountCaptions::kDenominations[At(i)], 13) +
                 PadTo(QuantityText(i), bill ? 6 : 11) + Right(amount.Format(kShown), kAmountColumn));
            Print_Check();
        }
        const std::string indent = Blanks(kLabelColumn);
        Line(indent + std::string(kAmountColumn, '-'));
        Line(indent + Right(total.Format(kShown), kAmountColumn));
        Line("");
        for (int box : {kCashInDrawer, kOtherCollections, kOpeningClosing})
            Line(PadTo(CashCountCaptions::kSummaryLabels[At(box)], kLabelColumn) + slipAmount(box));
        Line(indent + std::string(kAmountColumn, '-'));
        Line(PadTo(CashCountCaptions::kTotal, kLabelColumn) + Right(withdraw_.Format(kSlipAmount), kAmountColumn));
        Line("");
        for (int box : {kTotalDeposits, kPaidouts, kOverShort})
            Line(PadTo(CashCountCaptions::kSummaryLabels[At(box)], kLabelColumn) + slipAmount(box));
        Print_Check();
        Printer_Close(true);
    } catch (const PrintoutFailed&) {
        Printout_Abandon(kFailLog);
        return false;  // the form stays; PRINT can be pressed again
    }
    return true;
}

// ---- the program's form -----------------------------------------------------------------

void CashCount_SetView(CashCountView* view) { gView = view; }

bool CashCount_Open() {
    if (gView == nullptr) return false;
    gForm.emplace(*gView);
    gForm->Load();
    return true;
}

CashCountForm* CashCount_Form() { return gForm ? &*gForm : nullptr; }

}  // namespace tarvo
