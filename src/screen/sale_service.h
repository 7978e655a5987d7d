// What the sale engine offers the rest of the register: the sale's start and
// reset, products, departments, modes, the Sales page, suspend and recall,
// tenders and whether Total may be pressed, the manager check and the
// client. The Total key itself is the register's (RegisterKeysService).
//
// The routines take the key number where they take one and otherwise read
// and leave their results in the program-wide state (gReg, gSale, gData).
// The stand-in (SaleStandIn, screen/service_stand_ins.h) is what a register
// without a sale engine does: keys answer "Invalid Entry", the rest does
// nothing. The sale folder implements the real one.
#pragma once

namespace tarvo {

class SaleService {
public:
    virtual ~SaleService() = default;

    virtual void Register_Reset() = 0;
    virtual void Sale_Start() = 0;
    virtual void Variable_StartSale() = 0;
    // Adds the product of gData.gProductRec / gNewProductRecNo as the next line.
    virtual void Product_Add() = 0;
    virtual void Department_Process(int key) = 0;
    virtual void Department_SetDefaultKey() = 0;
    // Recomputes the sale's totals after the lines changed.
    virtual void Totals_Update() = 0;
    virtual void Mode_Process(int key) = 0;
    virtual void Mode_Display() = 0;
    virtual void Sales_Process(int key) = 0;
    // The Special page's Suspend / Recall key and the midnight discard of a
    // suspended sale.
    virtual void Suspend_Store() = 0;
    virtual void Suspend_Recall() = 0;
    virtual void Suspend_False() = 0;
    virtual void Payment_Process(int key) = 0;
    virtual void PaymentButtons_Show() = 0;
    virtual void Payment_Display() = 0;
    virtual void Change_Display() = 0;
    virtual void Total_Activate() = 0;
    // Locks the register's keys (ordinary lock).
    virtual void Buttons_Lock() = 0;
    // Checks the manager code typed in the entry box; leaves gReg.gAuthorized
    // and gReg.gManagerIndex. The stand-in refuses (message 18 for 2 seconds).
    virtual void Manager_Required() = 0;
    virtual void Aux_Product() = 0;
    virtual void Aux_Client() = 0;
    // Attaches the client of gData.gClientRecNo / gNewClientRecNo.
    virtual void Client_Process() = 0;
    // Fills the sale's client fields from record gData.gClientRecNo of the
    // client file.
    virtual void Client_GetInformation() = 0;
    // Cleans the entry box before it is read as a number: digits and "-"
    // stay, "," and "." become ".", anything else is dropped. The stand-in
    // already does this.
    virtual void Strip_Number() = 0;
    // Forgets the product a price change acts on.
    virtual void OnlineProduct_Clear() = 0;
};

}  // namespace tarvo
