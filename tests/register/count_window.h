// The program's cash count window as far as the register sees it: shown or
// not.
#pragma once
#include "office/cash_count.h"

namespace tarvo {

class CountWindow : public CashCountView {
public:
    bool shown = false;
    void CashCount_Show(CashCountForm&) override { shown = true; }
    void CashCount_Update(const CashCountForm&) override {}
    void CashCount_Hide() override { shown = false; }
};

}  // namespace tarvo
