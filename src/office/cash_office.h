// The cash office's journal writers: deposits to the safe and the bank,
// paid-outs, drawer openings without a sale and the cash declaration, with
// cash on hand (today's collections per payment key) behind the declaration.
// Each writes one record of the activity journal for the logged-in cashier
// on the business date; an amount that does not fit its 9 columns is refused
// ("Invalid Entry") and nothing is written.
#pragma once
#include <array>
#include <cstdint>

#include "common/money.h"

namespace tarvo {

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

// The amounts the prompts take: a paid-out or deposit above -5000 and at most
// 5000; a declaration that is not 0, above -100000 (a shortage) and below
// 1000000 (a counted cash), so that it always fits its columns.
bool CashAmount_InRange(Money amount);
bool DeclaredAmount_Valid(Money amount);

}  // namespace tarvo
