// What the card payments subsystem offers the rest of the register. The
// stand-ins answer as a register that takes no cards. The card's questions
// (amount, number, expiry, address, zip) are the prompt line's
// (screen/prompt_service.h); their answers wait in gReg.gCardRequest, which
// the register hands to the charge.
#pragma once
#include <cstdint>
#include <string>

namespace tarvo {

struct CardRequest;

// What a swipe's track holds.
struct SwipedCard {
    std::string number;  // empty when the track holds none
    std::string name;    // the holder's name, apostrophes as blanks
    std::string expiry;  // YYMM for the file back-end and the terminal, MMYY for the gateway
};

class CardService {
public:
    virtual ~CardService() = default;

    // At the window's load: the Credit timer's handler, and what a run that
    // ended in the middle of a card request left in the exchange folder
    // logged and shown once.
    virtual void Card_Load() = 0;

    // The card a swiped track holds. The track is kept for the charge that
    // follows (until its request is written or the card is let go); the
    // caller wipes its own copy.
    virtual SwipedCard Card_ParseSwipe(const std::string& track) = 0;
    // Whether a card number can be charged here: 0 usable, 7 a card of no
    // known type, 8 no payment type takes it.
    virtual std::int16_t Card_TypeFind(const std::string& number) = 0;
    // Charges the request's amount (negative: a refund) through the back-end
    // of setting 140, once the cashier confirmed it. The card payments keep
    // their own copy of the request until its answer is posted. The stand-in
    // refuses: "Invalid Entry" and a line in the log.
    virtual void Card_Charge(const CardRequest& request) = 0;
    // Shows the message of a card status (0 approved; 6 a swipe without a
    // number, 9 a second card in the sale refused, ...).
    virtual void Credit_Card_Display_Response(std::int16_t status) = 0;
    // Closes the card batch through the back-end of setting 140: the totals
    // panel shown, the register locked while the answer is awaited ("Request
    // In Progress, Please Wait ... " while it comes later through the card
    // timers), then the outcome shown and the settlement report printed. The
    // stand-in says "Invalid Entry".
    virtual void Card_Settlement() = 0;

    // The Online page's card tools. Finding the card terminal on the subnet
    // and typing its address (both save setting 136); asking the terminal
    // for its page; the gateway's test transaction. The stand-ins say
    // "Invalid Entry".
    virtual void Terminal_Find() = 0;
    virtual void TerminalIP_Input() = 0;
    virtual void Terminal_Test() = 0;
    virtual void Gateway_Test() = 0;
    // Esc while the keys are locked for the card: a terminal search under
    // way stops at its next probe and keeps nothing. Anything else waiting
    // goes on (a charge cannot be taken back from here).
    virtual void Card_Escape() = 0;
};

}  // namespace tarvo
