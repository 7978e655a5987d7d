// The inventory documents behind their service interface: kits, the purchase
// entry and stock adjustments, as the sale engine, the forms and the online
// services reach them through Inventory().
#pragma once
#include "screen/inventory_service.h"

namespace tarvo {

class InventoryDocuments final : public InventoryService {
public:
    void Kit_Processing() override;
    void Product_Display_Info() override;
    void Purchase_PromptCost() override;
    void Purchase_PromptPrice() override;
    void Purchase_PromptComment() override;
    void Purchase_AddProduct() override;
    void Purchase_Start() override;
    void Purchase_CollectInformation() override;
    void Purchase_Cancel() override;
    void Vendor_ShowInformation() override;
    void Adjustment_Prepare() override;
    void Adjustment_Cancel() override;
    void CommandFile_Create() override;
};

}  // namespace tarvo
