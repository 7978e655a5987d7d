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

void SaleEngineImpl::Register_Reset() { tarvo::Register_Reset(); }
void SaleEngineImpl::Sale_Start() { tarvo::Sale_Start(); }
void SaleEngineImpl::Variable_StartSale() { tarvo::Variable_StartSale(); }
void SaleEngineImpl::Product_Add() { tarvo::Product_Add(); }
void SaleEngineImpl::Department_Process(int key) { tarvo::Department_Process(key); }
void SaleEngineImpl::Department_SetDefaultKey() { tarvo::Department_SetDefaultKey(); }
void SaleEngineImpl::Totals_Update() { tarvo::Totals_Update(); }
void SaleEngineImpl::Mode_Process(int key) { tarvo::Mode_Process(key); }
void SaleEngineImpl::Mode_Display() { tarvo::Mode_Display(); }
void SaleEngineImpl::Sales_Process(int key) { tarvo::Sales_Process(key); }
void SaleEngineImpl::Suspend_Store() { tarvo::Suspend_Store(); }
void SaleEngineImpl::Suspend_Recall() { tarvo::Suspend_Recall(); }
void SaleEngineImpl::Suspend_False() { tarvo::Suspend_Drop(); }
void SaleEngineImpl::Payment_Process(int key) { tarvo::Payment_Process(key); }
void SaleEngineImpl::PaymentButtons_Show() { tarvo::PaymentButtons_Show(); }
void SaleEngineImpl::Payment_Display() { tarvo::Payment_Display(); }
void SaleEngineImpl::Change_Display() { tarvo::Change_Display(); }
void SaleEngineImpl::Total_Activate() { tarvo::Total_Activate(); }
void SaleEngineImpl::Buttons_Lock() { tarvo::Buttons_Lock(); }
void SaleEngineImpl::Manager_Required() { tarvo::Manager_Required(); }
void SaleEngineImpl::Aux_Product() { tarvo::Aux_Product(); }
void SaleEngineImpl::Aux_Client() { tarvo::Aux_Client(); }
void SaleEngineImpl::Client_Process() { tarvo::Client_Process(); }
void SaleEngineImpl::Client_GetInformation() { tarvo::Client_GetInformation(); }
void SaleEngineImpl::Strip_Number() { tarvo::Strip_Number(); }
void SaleEngineImpl::OnlineProduct_Clear() { gSale.gOnlineProduct.clear(); }

}  // namespace tarvo
