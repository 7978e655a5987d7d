// Purchases and purchase orders: the vendor chosen from the vendor list, the
// purchase header page, the product lines with their cost, retail price and
// comment asked on the prompt line, and the save of the .PUR header and its
// .PUL lines at the Total key.
#pragma once

namespace tarvo {

void Purchase_Start();
void Vendor_DisplayList();
void Purchase_CollectInformation();
void Vendor_ShowInformation();
void Purchase_PromptCost();
void Purchase_PromptPrice();
void Purchase_PromptComment();
void Purchase_AddProduct();
void Purchase_CancelProduct();
void Purchase_Cancel();
// False when nothing was saved (the message line says why).
bool Purchase_Save();

}  // namespace tarvo
