// What the prompt line offers: the one-line question area over the message
// line, where the sale engine, the card dialogue and the inventory documents
// ask their questions. The register folder implements it; the stand-ins
// open nothing, and answer "Invalid Entry" where a key must answer.
#pragma once

namespace tarvo {

class PromptService {
public:
    virtual ~PromptService() = default;

    // Opens question gReg.gPromptLine on the message line and sets
    // gReg.gPromptLineActive; negative when it cannot (the stand-in: -1).
    virtual int PromptInCIA_Show() { return -1; }
    virtual void PromptInCIA_Enter() {}
    virtual void PromptInCIA_Cancel() {}
    virtual void ClientNumber_Prompt();
    // Font size 11 on the 24 soft keys; the stand-in already does this.
    virtual void Caption_Reset();
};

}  // namespace tarvo
