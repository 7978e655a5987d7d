// Customer orders (special orders, layaways, quotations, RMAs, drafts and
// store orders): rung up like a sale in mode 12 and saved at the Total key
// as an .ORD header, its .ORL lines and its .ORP deposits.
#pragma once

namespace tarvo {

// False when nothing was saved (the message line says why).
bool Order_Save();

}  // namespace tarvo
