#include "register/key_services.h"
#include "register/controls.h"

#include "platform/desktop.h"
#include "platform/process.h"

#include "register/messages.h"
#include "register/register_context.h"
#include "register/register_state.h"
#include "config/settings.h"

namespace tarvo {

namespace {

// What a key shows while the subsystem behind it is missing.
void NotAvailable() { CIATime(Msg(1), 5); }


}  // namespace

// Stand-ins until the sale engine subsystem: the keys answer "Invalid Entry".
void KeyServices::Product_Add() { NotAvailable(); }
void KeyServices::Department_Process(int) { NotAvailable(); }
void KeyServices::Mode_Process(int) { NotAvailable(); }
void KeyServices::Sales_Process(int) { NotAvailable(); }
void KeyServices::Payment_Process(int) { NotAvailable(); }
void KeyServices::mTotalRegister_Click() { NotAvailable(); }
void KeyServices::Aux_Product() { NotAvailable(); }
void KeyServices::Aux_Client() { NotAvailable(); }
void KeyServices::Client_Process() { NotAvailable(); }

void KeyServices::Manager_Required() {
    // Without the manager table's check nobody is authorised.
    gReg.gAuthorized = false;
    gReg.gManagerIndex = 0;
    CIATime(Msg(18), 2);
}

void KeyServices::Strip_Number() {
    const std::string& text = Screen().Text(kEntryBox);
    std::string out;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == '-')
            out += c;
        else if (c == ',' || c == '.')
            out += '.';
    }
    Screen().SetText(kEntryBox, out);
}

// Stand-ins until the cash office subsystem.
void KeyServices::System_Process(int) { NotAvailable(); }
void KeyServices::Print_Process(int) { NotAvailable(); }
void KeyServices::Special_Process(int) { NotAvailable(); }

// Stand-ins until the card payments subsystem.
void KeyServices::Caption_Reset() {
    for (int k = 1; k <= 24; ++k) Screen().SetFontSize(ControlId{Control::mDept, k}, 11);
}
void KeyServices::ClientNumber_Prompt() { NotAvailable(); }
void KeyServices::Card_ParseSwipe() { gReg.gCardNumber.clear(); }
void KeyServices::Credit_Card_Display_Response() { NotAvailable(); }

// Stand-in until the online services subsystem.
void KeyServices::Online_Process(int) { NotAvailable(); }

// Stand-in until the printing and devices subsystem: no scale answers.
void KeyServices::Scale_Open() { Reg().timers->Start(TimerId::Scale, 10000); }

void KeyServices::PlaySoundFile(int sound) { tarvo::PlaySoundFile(Reg().programFolder, sound); }

void KeyServices::RestartProgram() { tarvo::RestartProgram(); }

}  // namespace tarvo
