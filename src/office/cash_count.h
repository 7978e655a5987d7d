// The cash count form: the cashier counts the drawer by denomination before
// the cashier or closing report, sets the count beside the day's cash-office
// activity, sees the amount to withdraw and prints a count slip. The form's
// state and rules live here; a view (the Qt form, or a test's recording
// view) draws it and hands the cashier's clicks and keys back.
//
// Every amount is Money (exact cents); a quantity is a whole number 0-999
// (at most three digits). A change that the form refuses (a fourth digit, a
// summary amount that is not a plain number, a third decimal, an amount of a
// million or more) leaves the box with its last valid text.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/money.h"

namespace tarvo {

inline constexpr int kCashDenominations = 12;  // 0-5 bills, 6-11 coins
inline constexpr int kCashBills = 6;
inline constexpr int kCashSummaryBoxes = 6;
inline constexpr int kCashNumberPadKeys = 12;  // "0".."9", "00", "."
inline constexpr int kCashQuantityDigits = 3;

// The summary boxes, by index.
enum CashSummaryBox : int {
    kCashInDrawer = 0,
    kOtherCollections = 1,
    kTotalDeposits = 2,
    kOpeningClosing = 3,
    kPaidouts = 4,
    kOverShort = 5,
};

// The form's captions.
struct CashCountCaptions {
    static constexpr const char* kBills = " Bills ";
    static constexpr const char* kCoins = "Coins";
    static constexpr const char* kSummary = "Summary";
    static constexpr const char* kTotal = "Total to Withdraw";
    static constexpr const char* kPrint = "PRINT";
    static constexpr const char* kCancel = "CANCEL";
    static constexpr const char* kErase = "ERASE";
    static constexpr std::array<const char*, kCashDenominations> kDenominations = {
        "$100", "$50", "$20", "$10", "$5", "$1", "$2", "$1", "$.25", "$.10", "$.05", "$.01"};
    static constexpr std::array<const char*, kCashSummaryBoxes> kSummaryLabels = {
        "Cash In Drawer", "Other Collections(+)", "Total Deposits", "Opening/Closing(-)", "Paidouts", "Over / Short"};
    static constexpr std::array<const char*, kCashNumberPadKeys> kNumberPad = {"0", "1", "2", "3", "4",  "5",
                                                                               "6", "7", "8", "9", "00", "."};
};

// The value of a denomination: the amount its caption shows ("$.25" is 0.25).
Money CashDenomination_Value(int index);

// A summary box's text as an amount: empty (or only a sign, a "$" or a
// point, as typing begins) is 0; else an optional "-", an optional "$",
// digits with or without thousands separators (groups of three), and at most
// two decimals. Anything else is not an amount (nullopt), never read in part.
std::optional<Money> CashCount_Amount(std::string_view text);

class CashCountForm;

// What the form needs of its window.
class CashCountView {
public:
    virtual ~CashCountView() = default;
    // The form was loaded: show it (not modal) and send its events to `form`.
    virtual void CashCount_Show(CashCountForm& form) = 0;
    // The form's state changed: redraw the boxes, the total and the focus.
    virtual void CashCount_Update(const CashCountForm& form) = 0;
    // The form was unloaded.
    virtual void CashCount_Hide() = 0;
};

class CashCountForm {
public:
    explicit CashCountForm(CashCountView& view) : view_(view) {}

    // Shows the form, fills the summary from the journal of the prepared
    // report date and mode, and opens the drawer.
    void Load();

    // The cashier's events.
    void Denomination_Click(int index);  // empties that quantity box, which takes the focus
    void Quantity_Click(int index);      // the number pad writes into this quantity box
    void Summary_Click(int index);       // the number pad writes into this summary box
    void Box_Focus(int index, bool summary);
    void NumberPad_Click(int key);
    // Text typed straight into a box; false when refused (the box keeps its
    // last valid text).
    bool Quantity_Typed(int index, const std::string& text);
    bool Summary_Typed(int index, const std::string& text);
    void Enter_Key();  // the next denomination, after the last the first
    void Escape_Key() { Cancel_Click(); }
    void Erase_Click();
    void Print_Click();
    void Cancel_Click();

    // The form's state.
    bool IsLoaded() const { return loaded_; }
    const std::string& QuantityText(int index) const { return quantity_.at(static_cast<std::size_t>(index)); }
    const std::string& SummaryText(int index) const { return summary_.at(static_cast<std::size_t>(index)); }
    Money CashTotal() const { return cashTotal_; }
    Money TotalToWithdraw() const { return withdraw_; }
    // "Total to Withdraw" as shown ("$###,##0.00").
    std::string TotalText() const;
    int CashIndex() const { return cashIndex_; }
    int SummaryIndex() const { return summaryIndex_; }
    bool EntryToCash() const { return entryToCash_; }
    // The box that has (or last had) the focus.
    int LastBoxIndex() const { return lastBoxIndex_; }
    bool LastBoxIsSummary() const { return lastBoxIsSummary_; }

private:
    void Quantities_Changed();
    void Summary_Changed();
    bool Quantity_Set(int index, const std::string& text);
    bool Summary_Set(int index, const std::string& text);
    bool Fits(Money cash, const std::array<std::string, kCashSummaryBoxes>& summary) const;
    Money Withdraw_Of(const std::array<std::string, kCashSummaryBoxes>& summary) const;
    static Money Cash_Of(const std::array<std::string, kCashDenominations>& quantity);
    bool Slip_Print();
    void Unload();
    void Update() { view_.CashCount_Update(*this); }

    CashCountView& view_;
    bool loaded_ = false;
    std::array<std::string, kCashDenominations> quantity_{};
    std::array<std::string, kCashSummaryBoxes> summary_{};
    Money cashTotal_, withdraw_;
    int cashIndex_ = 0;
    int summaryIndex_ = 0;
    bool entryToCash_ = true;
    int lastBoxIndex_ = 0;
    bool lastBoxIsSummary_ = false;
};

// The program's cash count window, set once when the program starts (null
// takes it away). Without one the register has no cash count form.
void CashCount_SetView(CashCountView* view);
// Loads the form in the window that was set; false when there is none.
bool CashCount_Open();
// The form as loaded last (null before the first); it stays after unloading.
CashCountForm* CashCount_Form();

}  // namespace tarvo
