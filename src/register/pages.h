// The register's pages as the cash office reaches them: the way back from
// the cash count.
#pragma once
#include "screen/page_service.h"

namespace tarvo {

class RegisterPages : public PageService {
public:
    void Count_Cash_Resume() override;
};

}  // namespace tarvo
