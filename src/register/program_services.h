// The register's services as far as the program has built them, one object
// per subsystem, each implemented by its own folder; what is not built yet
// keeps its stand-in. The program wires them into Reg() when the register
// window loads.
#pragma once
#include "card/card_payments.h"
#include "inventory/inventory_service.h"
#include "office/office_service.h"
#include "online/online_services.h"
#include "print/print_services.h"
#include "register/pages.h"
#include "register/prompt_line.h"
#include "register/sale_events.h"
#include "sale/sale_service.h"
#include "screen/register_context.h"
#include "transfer/transfer_service.h"

namespace tarvo {

// The button groups of the register window (register/register_keys.h) for
// the subsystems below the register.
class RegisterKeyHandlers final : public RegisterKeysService {
public:
    void BDep_Click(int page) override;
    void BSys_Click(int index) override;
    void BPayment_Click() override;
    void BOp_Click(int index) override;
    void mTotalRegister_Click() override;
};

struct ProgramServices {
    SaleEngineImpl sale;
    PrintingImpl print;
    CustomerDevices devices;
    CardPayments card;
    CashOffice office;
    InventoryDocuments inventory;
    SessionTransfer transfer;
    OnlineServices online;
    PromptLine prompt;
    RegisterKeyHandlers keys;
    RegisterPages pages;
    RegisterSaleObserver saleObserver;

    // The set to put in RegisterContext::services.
    ServiceSet Set();
};

}  // namespace tarvo
