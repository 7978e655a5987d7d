// The sale engine behind its service interface: what the key handlers,
// panels and other subsystems reach through SaleEngine().
#pragma once
#include "screen/sale_service.h"

namespace tarvo {

class SaleEngineImpl final : public SaleService {
public:
    void Register_Reset() override;
    void Sale_Start() override;
    void Variable_StartSale() override;
    void Product_Add() override;
    void Department_Process(int key) override;
    void Department_SetDefaultKey() override;
    void Totals_Update() override;
    void Mode_Process(int key) override;
    void Mode_Display() override;
    void Sales_Process(int key) override;
    void Suspend_Store() override;
    void Suspend_Recall() override;
    void Suspend_False() override;
    void Payment_Process(int key) override;
    void PaymentButtons_Show() override;
    void Payment_Display() override;
    void Change_Display() override;
    void Total_Activate() override;
    void Buttons_Lock() override;
    void Manager_Required() override;
    void Aux_Product() override;
    void Aux_Client() override;
    void Client_Process() override;
    void Client_GetInformation() override;
    void Strip_Number() override;
    void OnlineProduct_Clear() override;
};

}  // namespace tarvo
