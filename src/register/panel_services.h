// What the receipt area, totals and message panels call in subsystems built
// elsewhere (customer display, printing, cash count, inventory panels).
// Stand-ins do nothing until the real subsystems override them.
#pragma once

namespace tarvo {

class PanelServices {
public:
    virtual ~PanelServices() = default;
};

}  // namespace tarvo
