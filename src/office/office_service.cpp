#include "office/office_service.h"

#include "office/attendance_report.h"
#include "office/cash_count.h"
#include "office/cash_office.h"
#include "office/closing_report.h"
#include "office/collection_report.h"
#include "office/communication.h"
#include "office/drawer_report.h"
#include "office/opening.h"
#include "office/time_clock.h"

namespace tarvo {

void CashOffice::Login_OpeningBalance() { tarvo::Login_OpeningBalance(); }
bool CashOffice::OpeningAmount_Save() { return tarvo::OpeningAmount_Save(); }
std::int32_t CashOffice::Paidout_Save() { return tarvo::Paidout_Save(); }
std::int32_t CashOffice::DepositSafe_Save() { return tarvo::DepositSafe_Save(); }
std::int32_t CashOffice::DepositBank_Save() { return tarvo::DepositBank_Save(); }
std::int32_t CashOffice::Drawer_Save() { return tarvo::Drawer_Save(); }
bool CashOffice::SaleCancel_Save() { return tarvo::SaleCancel_Save(); }
std::int32_t CashOffice::Declare_Save() { return tarvo::Declare_Save(); }
void CashOffice::Logout() { tarvo::Logout(); }
void CashOffice::Communicate(std::function<void()> then) { tarvo::Communicate(std::move(then)); }
void CashOffice::Date_Set() { tarvo::Date_Set(); }
void CashOffice::Clock_CheckLogin() { tarvo::Clock_CheckLogin(); }
bool CashOffice::Clock_Login() { return tarvo::Clock_Login(); }
bool CashOffice::Clock_Logout() { return tarvo::Clock_Logout(); }
void CashOffice::Report_TimeAttendance() { tarvo::Report_TimeAttendance(); }
void CashOffice::Report_Sales() { Print_Closing(); }
void CashOffice::Report_Drawer() { tarvo::Report_Drawer(); }
void CashOffice::Report_Collection() { tarvo::Report_Collection(); }
bool CashOffice::CashCount_Open() { return tarvo::CashCount_Open(); }

}  // namespace tarvo
