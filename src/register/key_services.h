// What the key handlers of the register call in subsystems that are built
// elsewhere (sale engine, cash office, printing, cards, inventory, online
// services). Each stand-in here does what an unavailable function should:
// nothing, or "Invalid Entry" where a key must answer. The real subsystems
// override them.
//
// The routines take the key number where they take one and otherwise read
// and leave their results in the program-wide state (gReg, gSale, gData,
// gComm).
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace tarvo {

// How the search form opens: its mode (1 products, 2 clients, 8 aliases),
// the rows of its list, its eight column widths and its list setting. It
// lists gData.gSearchFirst..gSearchLast.
struct SearchFormSetup {
    int mode = 0;
    int rows = 0;
    std::array<int, 8> widths{};
    int listSetting = 0;
    bool operator==(const SearchFormSetup&) const = default;
};

class KeyServices {
public:
    virtual ~KeyServices() = default;

    // ---- sale engine ---------------------------------------------------------------------
    // Stand-ins until the sale engine subsystem.
    virtual void Register_Reset() {}
    virtual void Sale_Start() {}
    virtual void Variable_StartSale() {}
    // Adds the product of gData.gProductRec / gNewProductRecNo as a line.
    virtual void Product_Add();
    virtual void Department_Process(int key);
    virtual void Department_SetDefaultKey() {}
    virtual void Totals_Update() {}
    virtual void Mode_Process(int key);
    virtual void Mode_Display() {}
    virtual void Sales_Process(int key);
    // The Special page's Suspend / Recall key and the midnight discard of a
    // suspended sale. Stand-ins: nothing.
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
    // Checks the manager code typed in the entry box; leaves gReg.gAuthorized
    // and gReg.gManagerIndex. The stand-in refuses (message 18 for 2 seconds).
    virtual void Manager_Required();
    virtual void Aux_Product();
    virtual void Aux_Client();
    // Attaches the client of gData.gClientRecNo / gNewClientRecNo.
    virtual void Client_Process();
    // Fills the sale's client fields from record gData.gClientRecNo of the
    // client file. Stand-in until client attachment: nothing.
    virtual void Client_GetInformation() {}
    // Cleans the entry box before it is read as a number: digits and "-"
    // stay, "," and "." become ".", anything else is dropped. The stand-in
    // already does this.
    virtual void Strip_Number();

    // ---- cash office ---------------------------------------------------------------------
    // Stand-ins until the cash office subsystem.
    virtual void System_Process(int key);
    virtual void Print_Process(int key);
    virtual void Special_Process(int key);
    // gReg.gEmployeeNumber -> gSale.gCheckResult (1 clocked in) and
    // gSale.gPriceCheckText (the clock-in time).
    virtual void Clock_CheckLogin() {}
    virtual void Clock_Login() {}
    virtual void Clock_Logout() {}
    // One session of gComm.gOperationMode; leaves gComm.gCommResult and
    // gComm.gProductsUpdated.
    virtual void Communicate() {}
    virtual void Date_Set() {}
    // After a login: asks for the opening amount (gPromptState 3) or starts the sale.
    virtual void Login_OpeningBalance() {}
    // Each records gReg.gEnteredAmount.
    virtual void OpeningAmount_Save() {}
    // Records the paid-out; returns the activity record written (0 when the write failed).
    virtual std::int32_t Paidout_Save() { return 0; }
    virtual void Declare_Save() {}

    // ---- printing -----------------------------------------------------------------------
    // Stand-ins until the printing subsystem.
    virtual void Drawer_Open() {}
    // The receipt of invoice record gSaleSave.gPrintRecordNo, as copy
    // gSaleSave.gReceiptCopy (gReceiptDuplicate, gGiftReceipt). Stand-in: nothing.
    virtual void Receipt_Print() {}
    // "Thank you" on the customer display at the end of a sale.
    virtual void Customer_Thankyou() {}
    // A message box the cashier closes (the second-copy box of the Total key).
    virtual void MessageBox_Show(const std::string& text) {}
    // The document modes' Total (12 order, 13/14 purchase, 15 adjustment,
    // 28-30 online documents): save and its own messages; then its printout.
    virtual void Document_Save(int mode) {}
    virtual void Document_Print(int mode) {}
    // End of a received purchase order (mode 28) after the end-of-sale pause.
    virtual void Delete_This() {}
    virtual void Logout() {}
    // Prints the paid-out slip of activity record `recNo`.
    virtual void PaidOut_Print(std::int32_t recNo) {}
    // Prints the counted item of the stock count (line 1 of the sale) and
    // keeps the printer open for the next one.
    virtual void Item_PrintLine() {}
    // Opens the scale port, asks for a weight and starts the 10-second scale
    // timer; the weight comes back through Product_AddWeighed. The stand-in
    // only starts the timer: with no scale the request times out.
    virtual void Scale_Open();
    // Closes the scale port when it is open.
    virtual void Scale_Close() {}
    // gSale.gPriceCheckText and gSale.gPriceCheckPrice on the customer display.
    virtual void Customer_PriceChecker() {}

    // ---- cards and the prompt line --------------------------------------------------------
    // Stand-ins until the card payments subsystem.
    // Font size 11 on the 24 soft keys; the stand-in already does this.
    virtual void Caption_Reset();
    virtual void PromptInCIA_Enter() {}
    virtual void PromptInCIA_Cancel() {}
    // Opens prompt-line question gReg.gPromptLine on the message line and sets
    // gReg.gPromptLineActive; negative when it cannot. The stand-in: -1.
    virtual int PromptInCIA_Show() { return -1; }
    virtual void ClientNumber_Prompt();
    // gReg.gCardTrack -> gReg.gCardNumber (empty when the track holds none).
    virtual void Card_ParseSwipe();
    // gReg.gCardNumber -> gReg.gCardStatus (0 usable).
    virtual void Card_TypeFind() {}
    virtual void Credit_Card_PromptAmount() {}
    // Starts the keyed-card dialogue (the card number asked on the prompt line).
    virtual void Credit_Card_PromptCardNumber() {}
    // Paid, change and balance due on the customer display. Stand-in until
    // the customer display subsystem: nothing.
    virtual void Customer_Total() {}
    // Shows the message of gReg.gCardStatus.
    virtual void Credit_Card_Display_Response();

    // ---- inventory and order documents ---------------------------------------------------
    // Stand-ins until the inventory subsystem.
    virtual void Kit_Processing() {}
    // The product just added in a purchase mode: its figures shown, then its
    // cost, price or comment asked, or the product added to the purchase.
    virtual void Product_Display_Info() {}
    virtual void Purchase_PromptCost() {}
    virtual void Purchase_PromptPrice() {}
    virtual void Purchase_PromptComment() {}
    virtual void Purchase_AddProduct() {}
    // Captions of the Total and Payment keys for the register mode; the last
    // step of every totals update.
    virtual void Total_UpdateCaption() {}
    // The Mode page's documents: purchase entry (vendor choice) after the
    // purchase keys set gSale.gPurchaseIsOrder, a stock adjustment in the
    // direction gSale.gAdjustmentDirection and its cancel, and the command
    // file asking the back office to set the stock to zero.
    virtual void Purchase_Start() {}
    virtual void Adjustment_Prepare() {}
    virtual void Adjustment_Cancel() {}
    virtual void CommandFile_Create() {}
    // Loads the entry form on the page of gSale.gSearchKind (18 new client,
    // 19 new product, 12 order) and hides the register window.
    virtual void EntryForm_Show() {}
    // Loads the search form over gData.gSearchFirst..gSearchLast and hides
    // the register window.
    virtual void SearchForm_Show(const SearchFormSetup& setup) {}

    // ---- online services ------------------------------------------------------------------
    // Stand-ins until the online services subsystem.
    virtual void Online_Process(int key);
    virtual void Online_Stock_SetButton() {}
    // Asks the back office for the stock of gSale.gOnlineProduct.
    virtual void Online_Product_CheckStock() {}

    // ---- start-up -------------------------------------------------------------------------
    // Stand-ins until the start-up subsystem wires them.
    virtual void PlaySoundFile(int sound);
    virtual void RestartProgram();
};

}  // namespace tarvo
