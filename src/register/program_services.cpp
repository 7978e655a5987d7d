#include "register/program_services.h"

#include "office/opening.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_start.h"
#include "sale/sale_state.h"
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

}  // namespace tarvo
