// The inventory documents behind their service interface: kits, the purchase
// entry, stock adjustments, customer orders and the document helpers, as the
// sale engine, the prompt line and the Total key reach them through
// Inventory().
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
    void Purchase_CancelProduct() override;
    void Total_UpdateCaption() override;
    void Purchase_Start() override;
    void Purchase_CollectInformation() override;
    void Purchase_Cancel() override;
    void Vendor_ShowInformation() override;
    void Adjustment_Prepare() override;
    void Adjustment_Cancel() override;
    void Adjustment_Start() override;
    void CommandFile_Create() override;
    bool Document_Save(RegisterMode mode) override;
    void Sale_Cancel() override;
};

}  // namespace tarvo
