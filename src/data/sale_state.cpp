#include "data/sale_state.h"

namespace tarvo {
SaleState gSale;
}  // namespace tarvo
