// Kits: a product that stands for a set of components. After a product line
// is added, its key in gSale.gKitCode, Kit_Processing adds the kit's
// component lines behind it, each scaled by the kit line's quantity and
// priced by the kit's type.
#pragma once

namespace tarvo {

void Kit_Processing();

}  // namespace tarvo
