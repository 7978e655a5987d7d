// The customer's payment: the payment kinds built from the payment types at
// start-up (PaymentList), the payment page's keys, the tenders of the sale
// (gSale.gPay* 1..gPaymentCount, three at most), the automatic "Exchange" and
// "Change" lines of the types that give them, and paid, change, balance due
// and the invoice status recomputed and shown after every action.
//
// Amount rules:
//  - paid, change and balance are rounded with CentRoundUp (+0.005);
//  - an exchange line is the tender times the type's rate, formed in floating
//    point, taken to four decimals and then to cents with +0.001; the balance
//    after an exchange uses the same +0.001 rule;
//  - a typed amount above 100000 is refused with "Invalid Entry".
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace tarvo {

constexpr int kMaxPaymentListEntries = 23;
constexpr int kMaxTenders = 3;

struct TenderState {
    // PaymentList, entries 1..gPaymentListCount (entry 0 unused).
    std::int16_t gPaymentListCount = 0;
    std::array<std::string, kMaxPaymentListEntries + 1> gPaymentListCode, gPaymentListName;
    std::array<bool, kMaxPaymentListEntries + 1> gPaymentListDrawer{};
    // The card dialogue is posting its approved tender (it sets this before
    // calling Payment_Process with the key of the card's payment type).
    bool gCardPosting = false;
};

extern TenderState gTender;

// The payment kinds from the payment types 1..23: each type's code and name
// (drawer flag from Active = "1"), an "Exchange" entry for the exchange code
// of a ChangeMode "1" type not yet listed, and "Sales on Credit" (code 24)
// last. The list holds 23 entries: the types fill at most 22 so that the
// credit entry always fits; what does not fit is left out and logged.
void Payment_Setup();

// The payment page's soft keys: payment-key colour, key n captioned with
// type n's two name lines, enabled when captioned; key 24 always enabled.
void PaymentButtons_Show();

// Soft key `index` (1..24) pressed on the payment page, or the card
// dialogue posting an approved card (gTender.gCardPosting set). Key 24
// removes the last tender (all of them after an automatic line); a fourth
// tender key empties the list; nothing is emptied while a card is posted.
void Payment_Process(int index);

// The description of the newest tender: the name of the first payment kind
// whose code equals its type (numerically when both are numbers), else "".
void Payment_GetDescription();

// The tenders in rows 7..9 of the totals panel, then Change_Display.
void Payment_Display();

// Paid, change, balance due and the invoice status recomputed; the change
// in row 10 and on the message line (kept there), the balance in row 11,
// the amounts on the customer display.
void Change_Display();

// The invoice status alone: "4" paid in full, "1" nothing paid, "2" partly.
void Invoice_Status();

// The payment reference typed at prompt-line question 8, kept as the newest
// tender's reference (nothing when there is no tender).
void Payment_SetReference(const std::string& reference);

}  // namespace tarvo
