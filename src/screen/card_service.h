// What the card payments subsystem offers the rest of the register. The
// stand-ins answer as a register that takes no cards. The card's questions
// (amount, number, expiry, address, zip) are the prompt line's
// (screen/prompt_service.h); their answers wait in gReg.gCardRequest.
#pragma once

namespace tarvo {

class CardService {
public:
    virtual ~CardService() = default;

    // At the window's load: the Credit timer's handler, and what a run that
    // ended in the middle of a card request left in the exchange folder
    // logged and shown once.
    virtual void Card_Load() = 0;

    // gReg.gCardTrack -> gReg.gCardRequest.gCardNumber, gCardName and gCardExpiry
    // (the number empty when the track holds none); gReg.gCardTrack is emptied.
    virtual void Card_ParseSwipe() = 0;
    // gReg.gCardRequest.gCardNumber -> gReg.gCardStatus (0 usable).
    virtual void Card_TypeFind() = 0;
    // Charges gReg.gCardRequest.gCardAmount (negative: a refund) through the
    // back-end of setting 140, once the cashier confirmed the amount. The
    // stand-in refuses: "Invalid Entry" and a line in the log.
    virtual void Card_Charge() = 0;
    // Shows the message of gReg.gCardStatus.
    virtual void Credit_Card_Display_Response() = 0;
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
