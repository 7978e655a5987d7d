#include "office/office_service.h"

#include <utility>

#include "office/cash_office.h"
#include "office/communication.h"
#include "office/opening.h"

namespace tarvo {

bool CashOffice::SaleCancel_Save() { return tarvo::SaleCancel_Save(); }
void CashOffice::Logout() { tarvo::Logout(); }
void CashOffice::Communicate(std::function<void()> then) { tarvo::Communicate(std::move(then)); }
void CashOffice::Date_Set() { tarvo::Date_Set(); }

}  // namespace tarvo
