// The cash office behind its service interface: what the key handlers and
// the sale engine reach through Office(). What is not built yet keeps its
// stand-in.
#pragma once
#include "screen/office_service.h"

namespace tarvo {

class CashOffice final : public OfficeService {
public:
    void Login_OpeningBalance() override;
    bool OpeningAmount_Save() override;
    std::int32_t Paidout_Save() override;
    std::int32_t DepositSafe_Save() override;
    std::int32_t DepositBank_Save() override;
    std::int32_t Drawer_Save() override;
    bool SaleCancel_Save() override;
    std::int32_t Declare_Save() override;
    void Logout() override;
    void Communicate(std::function<void()> then) override;
    void Date_Set() override;
    void Clock_CheckLogin() override;
    bool Clock_Login() override;
    bool Clock_Logout() override;
    void Report_TimeAttendance() override;
    void Report_Sales() override;
    void Report_Drawer() override;
    void Report_Collection() override;
    bool CashCount_Open() override;
};

}  // namespace tarvo
