#include "register/program_services.h"

#include "office/opening.h"
#include "print/count_tickets.h"
#include "print/inventory_documents.h"
#include "print/office_slips.h"
#include "print/order_document.h"
#include "print/pole_display.h"
#include "print/printer_output.h"
#include "print/scale.h"
#include "print/receipt.h"
#include "sale/clients.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/sales_page.h"
#include "sale/sale_start.h"
#include "sale/sale_state.h"
#include "sale/suspend.h"
#include "sale/tenders.h"
#include "sale/totals.h"

namespace tarvo {

void ProgramServices::Register_Reset() { tarvo::Register_Reset(); }
void ProgramServices::Sale_Start() { tarvo::Sale_Start(); }
void ProgramServices::Variable_StartSale() { tarvo::Variable_StartSale(); }
void ProgramServices::Product_Add() { tarvo::Product_Add(); }
void ProgramServices::Department_Process(int key) { tarvo::Department_Process(key); }
void ProgramServices::Department_SetDefaultKey() { tarvo::Department_SetDefaultKey(); }
void ProgramServices::Totals_Update() { tarvo::Totals_Update(); }
void ProgramServices::Mode_Process(int key) { tarvo::Mode_Process(key); }
void ProgramServices::Mode_Display() { tarvo::Mode_Display(); }
void ProgramServices::Manager_Required() { tarvo::Manager_Required(); }
void ProgramServices::Aux_Product() { tarvo::Aux_Product(); }
void ProgramServices::Strip_Number() { tarvo::Strip_Number(); }
void ProgramServices::Buttons_Lock() { tarvo::Buttons_Lock(); }
void ProgramServices::OnlineProduct_Clear() { gSale.gOnlineProduct.clear(); }
void ProgramServices::Login_OpeningBalance() { tarvo::Login_OpeningBalance(); }
void ProgramServices::OpeningAmount_Save() { tarvo::OpeningAmount_Save(); }
void ProgramServices::Payment_Process(int key) { tarvo::Payment_Process(key); }
void ProgramServices::PaymentButtons_Show() { tarvo::PaymentButtons_Show(); }
void ProgramServices::Payment_Display() { tarvo::Payment_Display(); }
void ProgramServices::Change_Display() { tarvo::Change_Display(); }
void ProgramServices::Total_Activate() { tarvo::Total_Activate(); }
void ProgramServices::mTotalRegister_Click() { tarvo::mTotalRegister_Click(); }
void ProgramServices::Client_Process() { tarvo::Client_Process(); }
void ProgramServices::Client_GetInformation() { tarvo::Client_GetInformation(); }
void ProgramServices::Aux_Client() { tarvo::Aux_Client(); }
void ProgramServices::Sales_Process(int key) { tarvo::Sales_Process(key); }
void ProgramServices::Suspend_Store() { tarvo::Suspend_Store(); }
void ProgramServices::Suspend_Recall() { tarvo::Suspend_Recall(); }
void ProgramServices::Suspend_False() { tarvo::Suspend_False(); }
void ProgramServices::Drawer_Open() { tarvo::Drawer_Open(); }
void ProgramServices::Receipt_Print() { tarvo::Receipt_Print(); }
void ProgramServices::Printer_Open() { tarvo::Printer_Open(); }
void ProgramServices::Printer_Line(int newLine, int code, const std::string& text) {
    tarvo::Printer_Line(newLine, code, text);
}
void ProgramServices::Printer_Close(bool closeHandle) { tarvo::Printer_Close(closeHandle); }
std::int16_t ProgramServices::PrintStatus() const { return gPrint.gPrintStatus; }

// The document just saved at the Total key: 12 an order, 13 and 14 a purchase.
void ProgramServices::Document_Print(int mode) {
    if (mode == 12) tarvo::Order_Print();
    else if (mode == 13 || mode == 14) tarvo::Purchase_Print();
}
void ProgramServices::PaidOut_Print(std::int32_t recNo) { tarvo::PAIDOUT_Print(recNo); }
void ProgramServices::Item_PrintLine() { tarvo::Item_PrintLine(); }

void ProgramServices::Customer_Greeting() { tarvo::Customer_Greeting(); }
void ProgramServices::Customer_Product() { tarvo::Customer_Product(); }
std::int16_t ProgramServices::DisplayError() const { return gDisplay.gDisplayError; }
void ProgramServices::Customer_Total() { tarvo::Customer_Total(); }
void ProgramServices::Customer_Thankyou() { tarvo::Customer_Thankyou(); }
void ProgramServices::Customer_PriceChecker() { tarvo::Customer_PriceChecker(); }

void ProgramServices::Scale_Open() { tarvo::Scale_Open(); }
void ProgramServices::Scale_Close() { tarvo::Scale_Close(); }

}  // namespace tarvo
