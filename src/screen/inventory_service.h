// What the inventory subsystem offers the rest of the register: kits, the
// purchase entry, stock adjustments and the documents saved at the Total key.
// Stand-ins do nothing, except where a key must answer.
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
    // The purchase redrawn after its new line was dropped (no cost given).
    virtual void Purchase_CancelProduct() = 0;
    // Captions of the Total and Payment keys for the register mode; the last
    // step of every totals update.
    virtual void Total_UpdateCaption() = 0;
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
    // The adjustment mode entered with the reason in gSale.gAdjustmentReason.
    virtual void Adjustment_Start() = 0;
    virtual void CommandFile_Create() = 0;
    // The document modes' Total (Order Entry, Purchase Order and Purchase,
    // Adjustment): the save and its own messages; the Total key prints the
    // document afterwards from gSaleSave.gPrintRecordNo. False when nothing
    // was saved: the document stays open as it was and the message line says
    // why. The back office's documents (Receive PO, New Purchase Order, Pack
    // Order) are sent by the online services (OnlineService::Document_Send).
    virtual bool Document_Save(RegisterMode mode) = 0;
    // Cancels the sale in progress: its activity record (S) written and a
    // fresh sale started. The stand-in says "Invalid Entry".
    virtual void Sale_Cancel() = 0;
};

}  // namespace tarvo
