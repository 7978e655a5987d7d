// What the register does when the sale reports: the pole display and the
// Total and Payment captions follow the totals, the back office is asked
// for the stock of a line added when the store checks stock online. The
// program registers it as the sale's observer (Reg().services.saleObserver).
#pragma once
#include "screen/sale_observer.h"

namespace tarvo {

class RegisterSaleObserver final : public SaleObserver {
public:
    void Sale_LineAdded(int line) override;
    void Sale_TotalsChanged() override;
    // The Total key finishes a sale from the result its save returned;
    // nothing else follows a save.
    void Sale_Saved(const SaleSaveResult& result) override;
};

}  // namespace tarvo
