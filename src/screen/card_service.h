// What the card payments subsystem offers the rest of the register. The
// stand-ins answer as a register that takes no cards.
#pragma once

namespace tarvo {

class CardService {
public:
    virtual ~CardService() = default;

    // gReg.gCardTrack -> gReg.gCardNumber (empty when the track holds none).
    virtual void Card_ParseSwipe();
    // gReg.gCardNumber -> gReg.gCardStatus (0 usable).
    virtual void Card_TypeFind() {}
    virtual void Credit_Card_PromptAmount() {}
    // Starts the keyed-card dialogue (the card number asked on the prompt line).
    virtual void Credit_Card_PromptCardNumber() {}
    // Shows the message of gReg.gCardStatus.
    virtual void Credit_Card_Display_Response();
};

}  // namespace tarvo
