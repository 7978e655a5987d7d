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
#include <string>

#include "config/message_names.h"
#include "screen/prompt_service.h"

namespace tarvo {

class PromptLine final : public PromptService {
public:
    int PromptInCIA_Show(int question) override;
    void PromptInCIA_Hide() override;
    void PromptInCIA_Enter() override;
    void PromptInCIA_Cancel() override;

    // Openers.
    void ClientNumber_Prompt() override;
    void MessageWithEnterToEnd_Show() override;
    void Credit_Card_PromptAmount() override;
    void Credit_Card_PromptCardNumber() override;
    void Credit_Card_PromptCardExpiry();
    void Credit_Card_PromptAddress();
    void Credit_Card_PromptZip();
    // Font size 11 on the 24 soft keys.
    void Caption_Reset() override;

private:
    // Sets the question, writes its message on the message line (no
    // time-out), empties the entry box and opens the prompt line.
    void Ask(int question, Message message);
    // The same question again after a refusal: the entry box emptied, the
    // refusal left on the message line.
    void AskAgain();

    // Each answer by question; false when the question stops short (the
    // receipt's scroll keys are then left as they are).
    bool CardAmount(const std::string& entry);
    bool CardNumber(const std::string& entry);
    bool CardExpiry(const std::string& entry);
    void CardAddress(const std::string& entry);
    void CardZip(const std::string& entry);
    void ClientNumber(const std::string& entry);
    bool PaymentReference(const std::string& entry);
    void AdjustmentReason(const std::string& entry);
    void PurchaseCost(const std::string& entry);
    void PurchasePrice(const std::string& entry);
    void PurchaseComment(const std::string& entry);
    void FirstOrderNumber(const std::string& entry);
    void LastOrderNumber(const std::string& entry);
    void NewSellingPrice(const std::string& entry);
};

}  // namespace tarvo
