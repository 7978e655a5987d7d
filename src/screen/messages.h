// How the register window tells the operator things: the message line txtCIA
// (a text that clears itself after some seconds, or stays), the entry box as a
// flashing notice, the message box Txt_All (until Enter), the timed message
// box Txt_Message (two seconds), the greeting label and the on-screen
// printout panel Txt_Printer.
#pragma once
#include <string>

namespace tarvo {

// The window's timer handlers for CIA, Message, DEA and Customer; the window
// connects them once when it loads.
void MessageTimers_Connect();

// Shows `text` on the message line for `seconds` seconds; 0 keeps it until
// something replaces or clears it (a negative time counts as 0). A text that
// begins with "Error" or "Erreu" and goes on is also written to the log.
void CIATime(const std::string& text, int seconds);
// CIA_Timer: clears the line when one message is pending, else counts down.
void CIA_Timer_Timer();

// The entry box as a notice flashing between the entry colour and red.
void DEA_Show(const std::string& text);
void DEA_Clear();
void Tim_DEA_Timer();

// The message box Txt_All alone in the receipt area (the caller writes its
// text first); it stays until Receipt_Show.
void MessageWithNoEnd_Show();
void MessageWithNoEnd_Hide();
// gReg.gTimedMessage in the timed box Txt_Message, closed by Message_Timer.
void MessageWithTimerToEnd_Show();
void MessageWithTimerToEnd_Hide();
void Message_Timer_Timer();
// Hides Txt_Message, Txt_All and the greeting.
void MessageAll_Hide();

void Greeting_Show();
void Greeting_Hide();
// Customer_Timer: the customer display back to its greeting.
void Customer_Timer_Timer();

// The on-screen printout (its text written by the print routines), until the
// prompt line is answered.
void Printout_Show();
// The prompt-line question of the on-screen printout.
inline constexpr int kPrintoutQuestion = 16;

}  // namespace tarvo
