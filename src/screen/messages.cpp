#include "screen/messages.h"
#include "screen/controls.h"

#include <algorithm>

#include "config/settings.h"
#include "data/log.h"
#include "data/sale_state.h"
#include "screen/panels.h"
#include "screen/receipt_area.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

constexpr int kFlashMs = 500;
constexpr int kTimedMessageMs = 2000;
constexpr int kMaxSeconds = 24 * 60 * 60;  // keeps the interval within an int
constexpr std::uint32_t kRed = 255;

// The texts of errors the log keeps, in both languages.
bool IsErrorText(const std::string& text) {
    return text.size() > 5 && (text.compare(0, 5, "Error") == 0 || text.compare(0, 5, "Erreu") == 0);
}

}  // namespace

void MessageTimers_Connect() {
    Timers& t = *Reg().timers;
    t.SetHandler(TimerId::CIA, CIA_Timer_Timer);
    t.SetHandler(TimerId::Message, Message_Timer_Timer);
    t.SetHandler(TimerId::DEA, Tim_DEA_Timer);
    t.SetHandler(TimerId::Customer, Customer_Timer_Timer);
}

void CIATime(const std::string& text, int seconds) {
    Screen().SetText(kMessageLine, text);
    if (IsErrorText(text)) ProgramLog().Write(1, text);
    gReg.gMessageCounter = gReg.gMessageCounter == 0 ? 1 : gReg.gMessageCounter == 1 ? 2 : 3;
    if (seconds > 0)
        Reg().timers->Start(TimerId::CIA, std::min(seconds, kMaxSeconds) * 1000);
    else
        Reg().timers->Stop(TimerId::CIA);
}

void CIA_Timer_Timer() {
    if (gReg.gMessageCounter == 1) {
        Screen().SetText(kMessageLine, "");
        Reg().timers->Stop(TimerId::CIA);
        gReg.gMessageCounter = 0;
    } else {
        gReg.gMessageCounter = 1;
    }
}

void DEA_Show(const std::string& text) {
    Screen().SetEnabled(kEntryBox, true);
    Screen().SetText(kEntryBox, text);
    Reg().timers->Start(TimerId::DEA, kFlashMs);
}

void Tim_DEA_Timer() {
    const std::uint32_t c = ColourValue(gSettings.gEntryForeColour);
    Screen().SetForeColour(kEntryBox, Screen().State(kEntryBox).foreColour == c ? kRed : c);
}

void DEA_Clear() {
    Reg().timers->Stop(TimerId::DEA);
    Screen().SetText(kEntryBox, "");
    Screen().SetForeColour(kEntryBox, ColourValue(gSettings.gEntryForeColour));
}

void MessageWithNoEnd_Show() {
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    All_Hide();
    MessageAll_Hide();
    Screen().Show(kMessageBox, true);
}

void MessageWithNoEnd_Hide() { Screen().Show(kMessageBox, false); }

void MessageWithTimerToEnd_Show() {
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    All_Hide();
    MessageAll_Hide();
    Screen().SetText(kTimedBox, gReg.gTimedMessage);
    Screen().Show(kTimedBox, true);
    Reg().timers->Start(TimerId::Message, kTimedMessageMs);
}

void MessageWithTimerToEnd_Hide() { Screen().Show(kTimedBox, false); }

void Message_Timer_Timer() {
    Reg().timers->Stop(TimerId::Message);
    MessageWithTimerToEnd_Hide();
    if (gSale.gMode == RegisterMode::ChangePrice)
        Mode_PriceChange_Activate();
    else
        Receipt_Show();
}

void MessageAll_Hide() {
    Screen().Show(kTimedBox, false);
    Screen().Show(kMessageBox, false);
    Screen().Show(kGreeting, false);
}

void Greeting_Show() {
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    All_Hide();
    MessageAll_Hide();
    Screen().Show(kGreeting, true);
    Screen().SetForeColour(kGreeting, LineColour());
}

void Greeting_Hide() { Screen().Show(kGreeting, false); }

void Customer_Timer_Timer() {
    Reg().timers->Stop(TimerId::Customer);
    Devices().Customer_Greeting();
}

void Printout_Show() {
    SaleEngine().Buttons_Lock();
    gReg.gReceiptAreaContent = ReceiptAreaContent::Panel;
    All_Hide();
    Screen().Show(kPrintout, true);
    CIATime(Msg(Message::TouchOrClickEnterButtonToContinue), 0);
    gReg.gPromptLineActive = true;
    gReg.gPromptLine = kPrintoutQuestion;
}

}  // namespace tarvo
