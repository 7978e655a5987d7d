// The register's services as far as the program has built them: the key
// handlers and panels reach the sale engine and the cash office through these
// overrides; what other subsystems provide stays a stand-in until they are
// built.
#pragma once
#include "register/register_context.h"

namespace tarvo {

class ProgramServices : public RegisterServices {
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
    void Manager_Required() override;
    void Aux_Product() override;
    void Strip_Number() override;
    void Buttons_Lock() override;
    void OnlineProduct_Clear() override;
    void Login_OpeningBalance() override;
    void OpeningAmount_Save() override;
    void Payment_Process(int key) override;
    void PaymentButtons_Show() override;
    void Payment_Display() override;
    void Change_Display() override;
    void Total_Activate() override;
    void mTotalRegister_Click() override;
    void Client_Process() override;
    void Client_GetInformation() override;
    void Aux_Client() override;
    void Sales_Process(int key) override;
    void Suspend_Store() override;
    void Suspend_Recall() override;
    void Suspend_False() override;
    void Drawer_Open() override;
    void Receipt_Print() override;
    void Printer_Open() override;
    void Printer_Line(int newLine, int code, const std::string& text) override;
    void Printer_Close(bool closeHandle) override;
    std::int16_t PrintStatus() const override;
    void Document_Print(int mode) override;
    void PaidOut_Print(std::int32_t recNo) override;
    void Item_PrintLine() override;
    // Pole display
    void Customer_Greeting() override;
    void Customer_Product() override;
    std::int16_t DisplayError() const override;
    void Customer_Total() override;
    void Customer_Thankyou() override;
    void Customer_PriceChecker() override;
    // Scale
    void Scale_Open() override;
    void Scale_Close() override;
};

}  // namespace tarvo
