// What the sale engine offers the rest of the register: the sale's start and
// reset, products, departments, modes, the Sales page, suspend and recall,
// tenders and the Total key, the manager check and the client.
//
// The routines take the key number where they take one and otherwise read
// and leave their results in the program-wide state (gReg, gSale, gData).
// The stand-ins here are what a register without a sale engine does: keys
// answer "Invalid Entry", the rest does nothing. The sale folder implements
// the real ones.
#pragma once

namespace tarvo {

class SaleService {
public:
    virtual ~SaleService() = default;

    virtual void Register_Reset() {}
    virtual void Sale_Start() {}
    virtual void Variable_StartSale() {}
    // Adds the product of gData.gProductRec / gNewProductRecNo as the next line.
    virtual void Product_Add();
    virtual void Department_Process(int key);
    virtual void Department_SetDefaultKey() {}
    // Recomputes the sale's totals after the lines changed.
    virtual void Totals_Update() {}
    virtual void Mode_Process(int key);
    virtual void Mode_Display() {}
    virtual void Sales_Process(int key);
    // The Special page's Suspend / Recall key and the midnight discard of a
    // suspended sale.
    virtual void Suspend_Store() {}
    virtual void Suspend_Recall() {}
    virtual void Suspend_False() {}
    virtual void Payment_Process(int key);
    virtual void PaymentButtons_Show() {}
    virtual void Payment_Display() {}
    virtual void Change_Display() {}
    virtual void Total_Activate() {}
    // The Total key (mTotalRegister).
    virtual void mTotalRegister_Click();
    // Locks the register's keys (ordinary lock).
    virtual void Buttons_Lock() {}
    // Checks the manager code typed in the entry box; leaves gReg.gAuthorized
    // and gReg.gManagerIndex. The stand-in refuses (message 18 for 2 seconds).
    virtual void Manager_Required();
    virtual void Aux_Product();
    virtual void Aux_Client();
    // Attaches the client of gData.gClientRecNo / gNewClientRecNo.
    virtual void Client_Process();
    // Fills the sale's client fields from record gData.gClientRecNo of the
    // client file.
    virtual void Client_GetInformation() {}
    // Cleans the entry box before it is read as a number: digits and "-"
    // stay, "," and "." become ".", anything else is dropped. The stand-in
    // already does this.
    virtual void Strip_Number();
    // Forgets the product a price change acts on.
    virtual void OnlineProduct_Clear() {}
};

}  // namespace tarvo
