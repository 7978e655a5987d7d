// What the cash office offers the rest of the register: login and logout,
// the opening amount, paid-outs and declarations, the time clock, the
// business date, the cash count and the reports. Stand-ins do nothing (and
// report failure where the caller reads an outcome); the office folder
// implements the real ones.
#pragma once
#include <cstdint>

namespace tarvo {

class OfficeService {
public:
    virtual ~OfficeService() = default;

    // gReg.gEmployeeNumber -> gSale.gCheckResult (1 clocked in) and
    // gSale.gPriceCheckText (the clock-in time).
    virtual void Clock_CheckLogin() {}
    virtual void Clock_Login() {}
    virtual void Clock_Logout() {}
    virtual void Date_Set() {}
    // After a login: asks for the opening amount (gPromptState 3) or starts the sale.
    virtual void Login_OpeningBalance() {}
    // Each records gReg.gEnteredAmount.
    virtual void OpeningAmount_Save() {}
    // Records the paid-out; returns the activity record written (0 when the write failed).
    virtual std::int32_t Paidout_Save() { return 0; }
    virtual void Declare_Save() {}
    virtual void Logout() {}
    // Loads the cash-count form, which shows itself; true when it opened.
    virtual bool CashCount_Open() { return false; }
    // Prints the report the Print page chose; errors show in the print status.
    virtual void Report_Sales() {}
};

}  // namespace tarvo
