// The cash office's journal writers: deposits to the safe and the bank,
// paid-outs, drawer openings without a sale and the cash declaration, with
// cash on hand (today's collections per payment key) behind the declaration.
// Each writes one record of the activity journal for the logged-in cashier
// on the business date; an amount that does not fit its 9 columns is refused
// ("Invalid Entry") and nothing is written.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/money.h"

namespace tarvo {

// What a journal writer shows when its record could not be written.
inline constexpr const char* kJournalNotWritten = "Error: Activity Journal Not Written - See Log";

// The record written (0 when nothing was written, already shown and logged).
std::int32_t DepositSafe_Save();  // D, gReg.gEnteredAmount
std::int32_t DepositBank_Save();  // B, gReg.gEnteredAmount
std::int32_t Paidout_Save();      // P, gReg.gEnteredAmount, the authorising manager
std::int32_t Drawer_Save();       // W, the authorising manager, no amount
// The cancelled sale (S): the attached manager or blanks, no amount. False
// when nothing was written (already shown and logged).
bool SaleCancel_Save();

// The declaration (C): the typed over/short, or with setting 270 the counted
// cash of the first payment key less today's collections of that key.
std::int32_t Declare_Save();

// Today's collections (gReg.gBusinessDate) per payment key 1..23 from the
// invoices and their payments: every invoice of the date, whatever its
// status, and each of its payments (refunds included), each payment rounded
// to cents first. A payment whose type no key has is not counted.
struct PaymentTotals {
    std::array<Money, 24> byKey{};  // slot k for payment key k
};
PaymentTotals Cash_OnHand();

// The amounts the cash office takes, read from what the cashier typed by the
// one plain-amount rule (PlainAmount_Read): "abc", "$5", "1,000", "1e3" or
// "12abc" are no amount. Nothing when the text or the amount is refused.
//  - a paid-out: not 0, above -5000 and at most 5000;
//  - a deposit to the safe or the bank: above 0 and fitting its 9 columns
//    (a day's bank deposit is often far above a paid-out);
//  - the opening amount: above 0 and at most 5000;
//  - a declaration: not 0, above -100000 (a shortage) and below 1000000 (a
//    counted cash), so that it always fits its columns.
std::optional<Money> PaidOutAmount_Read(std::string_view typed);
std::optional<Money> DepositAmount_Read(std::string_view typed);
std::optional<Money> OpeningAmount_Read(std::string_view typed);
std::optional<Money> DeclaredAmount_Read(std::string_view typed);

}  // namespace tarvo
