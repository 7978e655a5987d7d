// What the cash office offers the rest of the register: login and logout,
// the opening amount, deposits, paid-outs, drawer openings and declarations,
// the time clock, the business date, the communication sessions and their
// schedule, the cash count and the reports. Stand-ins do nothing (and report
// failure where the caller reads an outcome); the office folder implements
// the real ones.
#pragma once
#include <cstdint>
#include <functional>

namespace tarvo {

// gSale.gCheckResult after a clock check when the cashier number is not a
// number: nobody is clocked with it.
inline constexpr std::int16_t kClockNumberRefused = -1;

class OfficeService {
public:
    virtual ~OfficeService() = default;

    // gReg.gEmployeeNumber -> gSale.gCheckResult (1 clocked in, 0 not,
    // kClockNumberRefused) and gSale.gPriceCheckText (the clock-in time).
    virtual void Clock_CheckLogin() = 0;
    // Clock gReg.gEmployeeNumber in or out now; gSale.gPriceCheckText the
    // time written. False when nothing was written.
    virtual bool Clock_Login() = 0;
    virtual bool Clock_Logout() = 0;
    // gSale.gDateText from gReg.gBusinessDate.
    virtual void Date_Set() = 0;
    // After a login: asks for the opening amount (gPromptState 3) or starts the sale.
    virtual void Login_OpeningBalance() = 0;
    // The journal writers; each records gReg.gEnteredAmount where it has an
    // amount and returns the activity record written (0 when nothing was).
    // The opening amount: false when it was not written (already shown).
    virtual bool OpeningAmount_Save() = 0;
    virtual std::int32_t Paidout_Save() = 0;
    virtual std::int32_t DepositSafe_Save() = 0;
    virtual std::int32_t DepositBank_Save() = 0;
    virtual std::int32_t Drawer_Save() = 0;
    virtual std::int32_t Declare_Save() = 0;
    virtual void Logout() = 0;
    // The journal's record of a cancelled sale (type "S": the manager if one
    // is attached, the cashier); false when it could not be written.
    virtual bool SaleCancel_Save() = 0;
    // One communication session of gComm.gOperationMode, wrapped: dial-up
    // when offline, the session, hang-up, logout when nobody is logged in.
    // Leaves gComm.gCommResult and gComm.gProductsUpdated, then runs `then`
    // (on the user-interface thread, once the session has ended: a session
    // may wait in the background, so what reads the result goes in `then`).
    virtual void Communicate(std::function<void()> then = {}) = 0;
    // Loads the cash-count form, which shows itself; true when it opened.
    virtual bool CashCount_Open() = 0;
    // Prints the report the Print page chose; errors show in the print status.
    virtual void Report_Sales() = 0;
    // The time and attendance report of the business date.
    virtual void Report_TimeAttendance() = 0;
    // The drawer report of the business day; errors show in the print status.
    virtual void Report_Drawer() = 0;
    // The collection report of the report date (the business date when none
    // was prepared); errors show in the print status.
    virtual void Report_Collection() = 0;
};

}  // namespace tarvo
