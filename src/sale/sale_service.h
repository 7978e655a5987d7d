// The sale engine behind its service interface: what the screen layer below
// the sale reaches through SaleEngine().
#pragma once
#include "screen/sale_service.h"

namespace tarvo {

class SaleEngineImpl final : public SaleService {
public:
    void Product_Add() override;
    void Buttons_Lock() override;
    void OnlineProduct_Clear() override;
};

}  // namespace tarvo
