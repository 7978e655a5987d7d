#include "office/office_service.h"

#include "office/opening.h"

namespace tarvo {

void CashOffice::Login_OpeningBalance() { tarvo::Login_OpeningBalance(); }
void CashOffice::OpeningAmount_Save() { tarvo::OpeningAmount_Save(); }

}  // namespace tarvo
