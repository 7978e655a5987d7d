// What a register without a subsystem does, one class per service interface:
// a key whose subsystem is missing says "Invalid Entry", the rest does
// nothing (and reports failure where the caller reads an outcome). An unset
// service answers with its stand-in (register_context.h); a test double may
// derive from a stand-in and override what it records.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "screen/card_service.h"
#include "screen/device_service.h"
#include "screen/forms_service.h"
#include "screen/inventory_service.h"
#include "screen/office_service.h"
#include "screen/online_service.h"
#include "screen/page_service.h"
#include "screen/print_service.h"
#include "screen/program_service.h"
#include "screen/prompt_service.h"
#include "screen/register_keys_service.h"
#include "screen/sale_observer.h"
#include "screen/sale_service.h"
#include "screen/transfer_service.h"

namespace tarvo {

// No sale engine: a product answers "Invalid Entry", the rest does nothing.
class SaleStandIn : public SaleService {
public:
    void Product_Add() override;
    void Buttons_Lock() override {}
    void OnlineProduct_Clear() override {}
};

// No printer: nothing printed, every outcome a failure.
class PrintStandIn : public PrintService {
public:
    void Printer_Open() override {}
    void Printer_Line(int, int, const std::string&) override {}
    void Printer_Close(bool) override {}
    std::int16_t PrintStatus() const override { return 1; }
    void PrintToScreen_End() override {}
    void Item_PrintLine() override {}
};

// No customer display (nothing shown, nothing failed) and no scale (the
// weight request times out).
class DeviceStandIn : public DeviceService {
public:
    void Customer_Greeting() override {}
    void Customer_Total() override {}
    void Customer_PriceChecker() override {}
    std::int16_t DisplayError() const override { return 0; }
    // Only starts the 10-second scale timer.
    void Scale_Open(std::function<bool(double)> weighed) override;
    void Scale_Close() override {}
};

// A register that takes no cards: no card number read from a swipe, a charge
// or a batch close refused.
class CardStandIn : public CardService {
public:
    void Card_Load() override {}
    SwipedCard Card_ParseSwipe(const std::string&) override { return {}; }
    std::int16_t Card_TypeFind(const std::string&) override { return 0; }
    void Card_Charge(const CardRequest& request) override;
    void Credit_Card_Display_Response(std::int16_t) override;
    void Card_Settlement() override;
    void Terminal_Find() override;
    void TerminalIP_Input() override;
    void Terminal_Test() override;
    void Gateway_Test() override;
    void Card_Escape() override {}
};

// No cash office: nothing written, no session run.
class OfficeStandIn : public OfficeService {
public:
    void Date_Set() override {}
    void Logout() override {}
    bool SaleCancel_Save() override { return false; }
    void Communicate(std::function<void()> then) override {
        if (then) then();
    }
};

// No inventory documents: kits stay whole, nothing is asked or entered.
class InventoryStandIn : public InventoryService {
public:
    void Kit_Processing() override {}
    void Product_Display_Info() override {}
    void Purchase_PromptCost() override {}
    void Purchase_PromptPrice() override {}
    void Purchase_PromptComment() override {}
    void Purchase_AddProduct() override {}
    void Purchase_Start() override {}
    void Purchase_CollectInformation() override {}
    void Purchase_Cancel() override {}
    void Vendor_ShowInformation() override {}
    void Adjustment_Prepare() override {}
    void Adjustment_Cancel() override {}
    void CommandFile_Create() override {}
};

// No back office: a session runs nothing and succeeds, the Internet always
// answers, there is nothing to dial.
class TransferStandIn : public TransferService {
public:
    std::int16_t Session_Run(CommMode, bool) override { return 0; }
    // At once, on this thread, with what Session_Run answers.
    void Session_Start(CommMode mode, bool hidden, std::function<void(std::int16_t)> done) override {
        done(Session_Run(mode, hidden));
    }
    bool Internet_Check() override { return true; }
    int ReadDialSettings() override { return 2; }
    int RasDialConnect() override { return 3; }
    void RasDialHangUp() override {}
    // At once, on this thread, with what the calls above answer.
    void Connect_Start(std::function<void(int)> done) override;
    void HangUp_Start(std::function<void()> done) override {
        RasDialHangUp();
        done();
    }
    void InternetCheck_Start(std::function<void(bool)> done) override;
};

// No online services: the Online page's keys, a document to send, the stock
// check and the shipping export say "Invalid Entry".
class OnlineStandIn : public OnlineService {
public:
    void Online_Process(int key) override;
    void Online_Product_CheckStock(const std::string&) override;
    void Online_Service_UPS(const std::string& first, const std::string& last) override;
    bool Online_Escape() override { return false; }
    void Document_Send(RegisterMode mode, std::function<void(bool sent)> then) override;
};

// No other windows: the message box shows nothing, the forms open nothing,
// the deposit form's key says "Invalid Entry".
class FormsStandIn : public FormsService {
public:
    void EntryForm_Show() override {}
    void SearchForm_Show(const SearchFormSetup&) override {}
    void MessageBox_Show(const std::string&, const std::string&) override {}
    void DepositForm_Show(int mode) override;
    bool TerminalForm_Show() override { return false; }
};

// No prompt line: no question opens; the soft keys' font is still reset.
class PromptStandIn : public PromptService {
public:
    int PromptInCIA_Show(int) override { return -1; }
    void MessageWithEnterToEnd_Show() override {}
    void Credit_Card_PromptAmount() override {}
    void Credit_Card_PromptCardNumber() override {}
    void Caption_Reset() override;
};

// No register window to come back to after the cash count.
class PageStandIn : public PageService {
public:
    void Count_Cash_Resume() override {}
};

// The register's button groups pressed for the cashier: nothing happens.
class RegisterKeysStandIn : public RegisterKeysService {
public:
    void BDep_Click(int) override {}
    void BSys_Click(int) override {}
    void BPayment_Click() override {}
    void BOp_Click(int) override {}
    void mTotalRegister_Click() override {}
};

// Nobody above the sale: what the sale reports goes nowhere.
class SaleObserverStandIn : public SaleObserver {
public:
    void Sale_LineAdded(int) override {}
    void Sale_TotalsChanged() override {}
    void Sale_Saved(const SaleSaveResult&) override {}
};

// A register without a window: sounds and the restart through the platform
// layer; the end closes what was registered to be closed and exits.
class ProgramStandIn : public ProgramService {
public:
    void PlaySoundFile(int sound) override;
    void RestartProgram() override;
    void EndProgram() override;
};

}  // namespace tarvo
