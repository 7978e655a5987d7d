#include "sale/sale_service.h"

#include "data/sale_state.h"
#include "sale/clients.h"
#include "sale/entry_helpers.h"
#include "sale/modes.h"
#include "sale/product_entry.h"
#include "sale/sale_save.h"
#include "sale/sale_start.h"
#include "sale/sales_page.h"
#include "sale/suspend.h"
#include "sale/tenders.h"
#include "sale/totals.h"

namespace tarvo {

void SaleEngineService::Register_Reset() { tarvo::Register_Reset(); }
void SaleEngineService::Sale_Start() { tarvo::Sale_Start(); }
void SaleEngineService::Variable_StartSale() { tarvo::Variable_StartSale(); }
void SaleEngineService::Product_Add() { tarvo::Product_Add(); }
void SaleEngineService::Department_Process(int key) { tarvo::Department_Process(key); }
void SaleEngineService::Department_SetDefaultKey() { tarvo::Department_SetDefaultKey(); }
void SaleEngineService::Totals_Update() { tarvo::Totals_Update(); }
void SaleEngineService::Mode_Process(int key) { tarvo::Mode_Process(key); }
void SaleEngineService::Mode_Display() { tarvo::Mode_Display(); }
void SaleEngineService::Sales_Process(int key) { tarvo::Sales_Process(key); }
void SaleEngineService::Suspend_Store() { tarvo::Suspend_Store(); }
void SaleEngineService::Suspend_Recall() { tarvo::Suspend_Recall(); }
void SaleEngineService::Suspend_False() { tarvo::Suspend_Drop(); }
void SaleEngineService::Payment_Process(int key) { tarvo::Payment_Process(key); }
void SaleEngineService::PaymentButtons_Show() { tarvo::PaymentButtons_Show(); }
void SaleEngineService::Payment_Display() { tarvo::Payment_Display(); }
void SaleEngineService::Change_Display() { tarvo::Change_Display(); }
void SaleEngineService::Total_Activate() { tarvo::Total_Activate(); }
void SaleEngineService::mTotalRegister_Click() { tarvo::mTotalRegister_Click(); }
void SaleEngineService::Buttons_Lock() { tarvo::Buttons_Lock(); }
void SaleEngineService::Manager_Required() { tarvo::Manager_Required(); }
void SaleEngineService::Aux_Product() { tarvo::Aux_Product(); }
void SaleEngineService::Aux_Client() { tarvo::Aux_Client(); }
void SaleEngineService::Client_Process() { tarvo::Client_Process(); }
void SaleEngineService::Client_GetInformation() { tarvo::Client_GetInformation(); }
void SaleEngineService::Strip_Number() { tarvo::Strip_Number(); }
void SaleEngineService::OnlineProduct_Clear() { gSale.gOnlineProduct.clear(); }

}  // namespace tarvo
