// The prompt line: the register's one-line question area. A question is one
// of sixteen numbered entries (gReg.gPromptLine):
//
//    1 card amount          5 card holder's zip      9 adjustment reason   13 first order number
//    2 card number          6 a message to confirm  10 purchase cost       14 last order number
//    3 card expiry MMYY     7 client number         11 purchase price      15 new selling price
//    4 card holder address  8 payment reference     12 purchase comment    16 on-screen printout
//
// Its text stands on the message line, the answer is typed into the entry
// box, Enter (key code 13 or the fourth register key) hands the answer to
// the operation of the question and Cancel (Esc or the third register key,
// captioned "Cancel" meanwhile) abandons it. While a question is pending
// every other key is locked. Questions 8-15 are opened by the sale, the
// inventory documents and the online services, question 16 by the
// on-screen printout; the card questions and questions 6 and 7 by the
// openers here.
#pragma once
#include "screen/prompt_service.h"

namespace tarvo {

// Opens `question` (its text already on the message line): the keys locked
// but the answer and Cancel, gReg.gPromptLineActive set. Always 0.
int PromptInCIA_Show(int question);
// Ends the pending question: the keys unlocked, Quantity back on the third
// register key, gReg.gPromptLineActive cleared.
void PromptInCIA_Hide();
void PromptInCIA_Enter();
void PromptInCIA_Cancel();

// Openers.
void ClientNumber_Prompt();
void MessageWithEnterToEnd_Show();
void Credit_Card_PromptAmount();
void Credit_Card_PromptCardNumber();
void Credit_Card_PromptCardExpiry();
void Credit_Card_PromptAddress();
void Credit_Card_PromptZip();
// Font size 11 on the 24 soft keys.
void Caption_Reset();

// The questions the layers below the register open, through Prompt().
class PromptLine final : public PromptService {
public:
    int PromptInCIA_Show(int question) override;
    void MessageWithEnterToEnd_Show() override;
    void Credit_Card_PromptAmount() override;
    void Credit_Card_PromptCardNumber() override;
    void Caption_Reset() override;
};

}  // namespace tarvo
