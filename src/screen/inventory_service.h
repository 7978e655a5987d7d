// What the inventory subsystem offers the sale, the forms and the online
// services: kits, the purchase entry and stock adjustments. Stand-ins do
// nothing.
#pragma once
#include "config/register_mode.h"

namespace tarvo {

class InventoryService {
public:
    virtual ~InventoryService() = default;

    virtual void Kit_Processing() = 0;
    // The product just added in a purchase mode: its figures shown, then its
    // cost, price or comment asked, or the product added to the purchase.
    virtual void Product_Display_Info() = 0;
    virtual void Purchase_PromptCost() = 0;
    virtual void Purchase_PromptPrice() = 0;
    virtual void Purchase_PromptComment() = 0;
    virtual void Purchase_AddProduct() = 0;
    // The Mode page's documents: purchase entry (vendor choice) after the
    // purchase keys set gSale.gPurchaseIsOrder, a stock adjustment in the
    // direction gSale.gAdjustmentDirection and its cancel, and the command
    // file asking the back office to set the stock to zero.
    virtual void Purchase_Start() = 0;
    // The vendor list closed: a vendor chosen (gData.gVendorRecNo) goes on
    // to the purchase header page; no vendor, or Exit, cancels the purchase.
    virtual void Purchase_CollectInformation() = 0;
    virtual void Purchase_Cancel() = 0;
    // The purchase header page was saved: the chosen vendor shown and the
    // purchase's product lines begin.
    virtual void Vendor_ShowInformation() = 0;
    virtual void Adjustment_Prepare() = 0;
    virtual void Adjustment_Cancel() = 0;
    virtual void CommandFile_Create() = 0;
};

}  // namespace tarvo
