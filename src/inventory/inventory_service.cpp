#include "inventory/inventory_service.h"

#include "inventory/adjustments.h"
#include "inventory/document_helpers.h"
#include "inventory/kits.h"
#include "inventory/purchases.h"

namespace tarvo {

void InventoryDocuments::Kit_Processing() { tarvo::Kit_Processing(); }
void InventoryDocuments::Product_Display_Info() { tarvo::Product_Display_Info(); }
void InventoryDocuments::Purchase_PromptCost() { tarvo::Purchase_PromptCost(); }
void InventoryDocuments::Purchase_PromptPrice() { tarvo::Purchase_PromptPrice(); }
void InventoryDocuments::Purchase_PromptComment() { tarvo::Purchase_PromptComment(); }
void InventoryDocuments::Purchase_AddProduct() { tarvo::Purchase_AddProduct(); }
void InventoryDocuments::Purchase_Start() { tarvo::Purchase_Start(); }
void InventoryDocuments::Purchase_CollectInformation() { tarvo::Purchase_CollectInformation(); }
void InventoryDocuments::Purchase_Cancel() { tarvo::Purchase_Cancel(); }
void InventoryDocuments::Vendor_ShowInformation() { tarvo::Vendor_ShowInformation(); }
void InventoryDocuments::Adjustment_Prepare() { tarvo::Adjustment_Prepare(); }
void InventoryDocuments::Adjustment_Cancel() { tarvo::Adjustment_Cancel(); }
void InventoryDocuments::CommandFile_Create() { tarvo::CommandFile_Create(1); }

}  // namespace tarvo
