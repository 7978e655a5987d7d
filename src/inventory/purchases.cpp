#include "inventory/purchases.h"

namespace tarvo {

void Purchase_Start() {}
void Vendor_DisplayList() {}
void Purchase_CollectInformation() {}
void Vendor_ShowInformation() {}
void Purchase_PromptCost() {}
void Purchase_PromptPrice() {}
void Purchase_PromptComment() {}
void Purchase_AddProduct() {}
void Purchase_CancelProduct() {}
void Purchase_Cancel() {}
bool Purchase_Save() { return false; }

}  // namespace tarvo
