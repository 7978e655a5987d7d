#include "inventory/inventory_service.h"

#include "config/settings.h"
#include "data/log.h"
#include "inventory/adjustments.h"
#include "inventory/document_helpers.h"
#include "inventory/kits.h"
#include "inventory/orders.h"
#include "inventory/purchases.h"
#include "screen/messages.h"
#include "screen/register_context.h"

namespace tarvo {

void InventoryDocuments::Kit_Processing() { tarvo::Kit_Processing(); }
void InventoryDocuments::Product_Display_Info() { tarvo::Product_Display_Info(); }
void InventoryDocuments::Purchase_PromptCost() { tarvo::Purchase_PromptCost(); }
void InventoryDocuments::Purchase_PromptPrice() { tarvo::Purchase_PromptPrice(); }
void InventoryDocuments::Purchase_PromptComment() { tarvo::Purchase_PromptComment(); }
void InventoryDocuments::Purchase_AddProduct() { tarvo::Purchase_AddProduct(); }
void InventoryDocuments::Purchase_CancelProduct() { tarvo::Purchase_CancelProduct(); }
void InventoryDocuments::Total_UpdateCaption() { tarvo::Total_UpdateCaption(); }
void InventoryDocuments::Purchase_Start() { tarvo::Purchase_Start(); }
void InventoryDocuments::Purchase_CollectInformation() { tarvo::Purchase_CollectInformation(); }
void InventoryDocuments::Purchase_Cancel() { tarvo::Purchase_Cancel(); }
void InventoryDocuments::Vendor_ShowInformation() { tarvo::Vendor_ShowInformation(); }
void InventoryDocuments::Adjustment_Prepare() { tarvo::Adjustment_Prepare(); }
void InventoryDocuments::Adjustment_Cancel() { tarvo::Adjustment_Cancel(); }
void InventoryDocuments::Adjustment_Start() { tarvo::Adjustment_Start(); }
void InventoryDocuments::CommandFile_Create() { tarvo::CommandFile_Create(1); }
void InventoryDocuments::Sale_Cancel() { tarvo::Sale_Cancel(); }

bool InventoryDocuments::Document_Save(RegisterMode mode) {
    switch (mode) {
    case RegisterMode::OrderEntry: return Order_Save();
    case RegisterMode::PurchaseOrder:
    case RegisterMode::Purchase: return Purchase_Save();
    case RegisterMode::Adjustment: return Adjustment_Save();
    default:
        // The documents of the back office (purchase orders, received and
        // packed orders) are sent by the online services, which the Total
        // key asks itself (Online().Document_Send), in the background.
        ProgramLog().Write(1,
                           "Document_Save: mode " + std::to_string(static_cast<int>(mode)) + " has no local document");
        CIATime(Msg(Message::InvalidEntry), 5);
        return false;
    }
}

}  // namespace tarvo
