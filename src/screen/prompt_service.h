// What the prompt line offers: the one-line question area over the message
// line, where the sale engine, the card dialogue, the inventory documents and
// the online services ask their questions. The register folder implements
// it; the stand-ins open nothing, and answer "Invalid Entry" where a key must
// answer.
//
// An opener writes its question on the message line with CIATime(text, 0),
// empties the entry box and calls PromptInCIA_Show with the question's number.
// Enter and Cancel of every question come back to the prompt line's own
// answer and cancel (register/prompt_line.h).
#pragma once

namespace tarvo {

class PromptService {
public:
    virtual ~PromptService() = default;

    // Opens `question` (its text already on the message line), which becomes
    // gReg.gPromptLine: the keys locked but the answer and Cancel,
    // gReg.gPromptLineActive set; negative when it cannot (the stand-in: -1).
    virtual int PromptInCIA_Show(int question) = 0;
    // The text on the message line (and the greeting label) waits for Enter
    // or Cancel, then the totals panel comes back.
    virtual void MessageWithEnterToEnd_Show() = 0;
    // The card questions the card dialogue opens: the amount to charge
    // (gSale.gBalanceDue proposed and not editable) and, for a keyed card,
    // the card number, followed by expiry, address and zip.
    virtual void Credit_Card_PromptAmount() = 0;
    virtual void Credit_Card_PromptCardNumber() = 0;
    // Font size 11 on the 24 soft keys; the stand-in already does this.
    virtual void Caption_Reset() = 0;
};

}  // namespace tarvo
