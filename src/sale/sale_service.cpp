#include "sale/sale_service.h"

#include "data/sale_state.h"
#include "sale/product_entry.h"
#include "sale/sale_start.h"

namespace tarvo {

void SaleEngineImpl::Product_Add() { tarvo::Product_Add(); }
void SaleEngineImpl::Buttons_Lock() { tarvo::Buttons_Lock(); }
void SaleEngineImpl::OnlineProduct_Clear() { gSale.gOnlineProduct.clear(); }

}  // namespace tarvo
