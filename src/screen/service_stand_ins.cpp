#include "screen/service_stand_ins.h"

#include <cstdlib>

#include "config/settings.h"
#include "data/comm_state.h"
#include "data/log.h"
#include "platform/desktop.h"
#include "platform/process.h"
#include "screen/controls.h"
#include "screen/messages.h"
#include "screen/register_context.h"
#include "screen/register_state.h"

namespace tarvo {

namespace {

// What a key shows while the subsystem behind it is missing.
void NotAvailable() { CIATime(Msg(Message::InvalidEntry), 5); }

}  // namespace

void TransferStandIn::Connect_Start(std::function<void(int)> done) {
    gComm.gInternetAvailable = Internet_Check();
    if (gComm.gInternetAvailable) {
        done(0);
        return;
    }
    int result = ReadDialSettings();
    if (result == 1) result = RasDialConnect();
    done(result);
}

void TransferStandIn::InternetCheck_Start(std::function<void(bool)> done) {
    gComm.gInternetAvailable = Internet_Check();
    done(gComm.gInternetAvailable);
}

void SaleStandIn::Product_Add() { NotAvailable(); }

void PromptStandIn::Caption_Reset() {
    for (int k = 1; k <= 24; ++k) Screen().SetFontSize(ControlId{Control::mDept, k}, 11);
}

void CardStandIn::Credit_Card_Display_Response(std::int16_t) { NotAvailable(); }
void CardStandIn::Card_Charge(const CardRequest& request) {
    ProgramLog().Write(1, "Card_Charge: no card payments in this register, charge of " +
                              request.gCardAmount.TextDisplay() + " refused");
    NotAvailable();
}

void CardStandIn::Card_Settlement() { NotAvailable(); }
void CardStandIn::Terminal_Find() { NotAvailable(); }
void CardStandIn::TerminalIP_Input() { NotAvailable(); }
void CardStandIn::Terminal_Test() { NotAvailable(); }
void CardStandIn::Gateway_Test() { NotAvailable(); }

void OnlineStandIn::Online_Process(int) { NotAvailable(); }
void OnlineStandIn::Online_Product_CheckStock(const std::string&) { NotAvailable(); }
void OnlineStandIn::Online_Service_UPS(const std::string&, const std::string&) { NotAvailable(); }
void OnlineStandIn::Document_Send(RegisterMode, std::function<void(bool sent)> then) {
    NotAvailable();
    if (then) then(false);
}
void FormsStandIn::DepositForm_Show(int) { NotAvailable(); }

// No scale answers.
void DeviceStandIn::Scale_Open(std::function<bool(double)>) { Reg().timers->Start(TimerId::Scale, 10000); }

void ProgramStandIn::PlaySoundFile(int sound) { tarvo::PlaySoundFile(Reg().programFolder, sound); }
void ProgramStandIn::RestartProgram() { tarvo::RestartProgram(); }
void ProgramStandIn::EndProgram() {
    Program_CloseAll();
    std::exit(0);
}

}  // namespace tarvo
