#include "office/office_service.h"

#include "office/cash_office.h"
#include "office/closing_report.h"
#include "office/collection_report.h"
#include "office/drawer_report.h"
#include "office/opening.h"

namespace tarvo {

void CashOffice::Login_OpeningBalance() { tarvo::Login_OpeningBalance(); }
void CashOffice::OpeningAmount_Save() { tarvo::OpeningAmount_Save(); }
std::int32_t CashOffice::Paidout_Save() { return tarvo::Paidout_Save(); }
std::int32_t CashOffice::DepositSafe_Save() { return tarvo::DepositSafe_Save(); }
std::int32_t CashOffice::DepositBank_Save() { return tarvo::DepositBank_Save(); }
std::int32_t CashOffice::Drawer_Save() { return tarvo::Drawer_Save(); }
std::int32_t CashOffice::Declare_Save() { return tarvo::Declare_Save(); }
void CashOffice::Logout() { tarvo::Logout(); }
void CashOffice::Report_Sales() { Print_Closing(); }
void CashOffice::Report_Drawer() { tarvo::Report_Drawer(); }
void CashOffice::Report_Collection() { tarvo::Report_Collection(); }

}  // namespace tarvo
