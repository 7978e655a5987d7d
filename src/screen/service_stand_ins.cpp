// The stand-ins of the services that must answer: a key whose subsystem is
// missing says "Invalid Entry".
#include <cstdlib>

#include "config/settings.h"
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
void NotAvailable() { CIATime(Msg(1), 5); }

}  // namespace

void SaleService::Product_Add() { NotAvailable(); }
void SaleService::Department_Process(int) { NotAvailable(); }
void SaleService::Mode_Process(int) { NotAvailable(); }
void SaleService::Sales_Process(int) { NotAvailable(); }
void SaleService::Payment_Process(int) { NotAvailable(); }
void SaleService::mTotalRegister_Click() { NotAvailable(); }
void SaleService::Aux_Product() { NotAvailable(); }
void SaleService::Aux_Client() { NotAvailable(); }
void SaleService::Client_Process() { NotAvailable(); }

void SaleService::Manager_Required() {
    // Without the manager table's check nobody is authorised.
    gReg.gAuthorized = false;
    gReg.gManagerIndex = 0;
    CIATime(Msg(18), 2);
}

void SaleService::Strip_Number() {
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

void PageService::System_Process(int) { NotAvailable(); }
void PageService::Print_Process(int) { NotAvailable(); }
void PageService::Special_Process(int) { NotAvailable(); }
void PromptService::ClientNumber_Prompt() { NotAvailable(); }
void PromptService::Caption_Reset() {
    for (int k = 1; k <= 24; ++k) Screen().SetFontSize(ControlId{Control::mDept, k}, 11);
}

void CardService::Card_ParseSwipe() { gReg.gCardRequest.gCardNumber.clear(); }
void CardService::Credit_Card_Display_Response() { NotAvailable(); }
void CardService::Card_Charge() {
    ProgramLog().Write(1, "Card_Charge: no card payments in this register, charge of " +
                              gReg.gCardRequest.gCardAmount.TextDisplay() + " refused");
    NotAvailable();
}

void CardService::Card_Settlement() { NotAvailable(); }
void CardService::Terminal_Find() { NotAvailable(); }
void CardService::TerminalIP_Input() { NotAvailable(); }
void CardService::Terminal_Test() { NotAvailable(); }
void CardService::Gateway_Test() { NotAvailable(); }

void OnlineService::Online_Process(int) { NotAvailable(); }
bool OnlineService::Document_Send(int) {
    NotAvailable();
    return false;
}
void InventoryService::Sale_Cancel() { NotAvailable(); }
void FormsService::DepositForm_Show(int) { NotAvailable(); }
void FormsStandIn::MessageBox_Show(const std::string&) {}

// No scale answers.
void DeviceService::Scale_Open() { Reg().timers->Start(TimerId::Scale, 10000); }

void ProgramService::PlaySoundFile(int sound) { tarvo::PlaySoundFile(Reg().programFolder, sound); }
void ProgramService::RestartProgram() { tarvo::RestartProgram(); }
void ProgramService::EndProgram() {
    Program_CloseAll();
    std::exit(0);
}

}  // namespace tarvo
