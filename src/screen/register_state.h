// The register window's own state: the soft-key page, what Enter finishes,
// what the receipt area shows, the keyboard highlight, the message timers.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/money.h"
#include "screen/key_page.h"

namespace tarvo {

// The card being entered: what the swipe or the prompt line's card questions
// gave, taken up by the card dialogue when the amount is confirmed.
struct CardRequest {
    std::string gCardNumber;      // as swiped or typed
    std::string gCardName;        // the holder's name from a swipe, apostrophes as blanks
    std::string gCardExpiry;      // 4 characters: YYMM for the file back-end, MMYY keyed otherwise
    std::string gCardAddress;     // street address of a keyed card (setting 145 "1")
    std::string gCardZip;         // zip of a keyed card (same)
    std::int16_t gCardEntry = 0;  // 1 swiped, 2 keyed
    Money gCardAmount;            // the confirmed amount; negative for a refund
};

// What the entry box is waiting for (gPromptState); the documented numbers are
// the values, and 1-6 are also the mode box's names of the states.
enum class PromptState : std::int16_t {
    None = 0,           // a product code or a command
    PaidOut = 1,        // the paid-out amount
    Login = 2,          // the cashier's login code
    OpeningAmount = 3,  // the drawer's opening amount
    Declaration = 4,    // the cash declaration
    Reference = 5,      // a payment reference (named in the mode box only)
    ClientNumber = 6,   // a client number
};

// What the receipt area shows (gReceiptAreaContent), by its documented numbers.
enum class ReceiptAreaContent : std::int16_t {
    Grid = 0,    // the receipt grid
    Totals = 1,  // the totals summary panel
    Panel = 2,   // another panel or message box (a client's summary, a printout)
};

struct RegisterState {
    KeyPage gKeyPage = KeyPage::None;              // 1-8 department pages, 10 System, 11 Extras, 12 Print,
                                                   // 13 Sales, 14 Special, 15 Payment, 16 Mode; 0 none
    PromptState gPromptState = PromptState::None;  // 0 none, 1 paid-out, 2 login, 3 opening amount,
                                                   // 4 declaration, 6 client number
    ReceiptAreaContent gReceiptAreaContent = ReceiptAreaContent::Grid;  // 0 grid, 1 totals panel, 2 another panel
    std::int16_t gHighlightKey = 0;                                     // keyboard-highlighted soft key 1-24, 0 none
    bool gClearOnKeyUp = false;
    bool gLoggedOut = true;
    bool gEntryMasked = false;
    std::int16_t gMessageCounter = 0;
    std::array<std::int16_t, 8> gGridRowLine{};  // sale line shown on grid rows 1-7
    std::string gTimedMessage;
    std::string gBusinessDate;  // "yyyymmdd" of the logged-in day, "" before login
    std::int32_t gCashierIndex = 0;
    bool gAuthorized = false;
    std::int32_t gManagerIndex = 0;
    Money gEnteredAmount;
    // card and prompt line (card payments)
    bool gPromptLineActive = false;
    std::int16_t gPromptLine = 0;
    bool gCardBusy = false;
    bool gCardAmountPending = false;
    CardRequest gCardRequest;         // the card being entered
    std::string gGatewayCredentials;  // gateway form-post login, built by Variables_Set
    // time clock and printing
    std::string gEmployeeNumber;  // cashier number the time clock works on
    // The search form is open over the register: it reads the word indexes
    // page by page, so no scheduled session (which may rebuild them) starts.
    bool gSearchFormOpen = false;
};

extern RegisterState gReg;

}  // namespace tarvo
