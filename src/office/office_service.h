// The cash office behind its service interface: what the sale engine, the
// transfer and the inventory reach through Office().
#pragma once
#include "screen/office_service.h"

namespace tarvo {

class CashOffice final : public OfficeService {
public:
    bool SaleCancel_Save() override;
    void Logout() override;
    void Communicate(std::function<void()> then) override;
    void Date_Set() override;
};

}  // namespace tarvo
