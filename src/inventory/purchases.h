// Purchases and purchase orders: the vendor chosen from the vendor list, the
// purchase header page, the product lines with their cost, retail price and
// comment asked on the prompt line, and the save of the .PUR header and its
// .PUL lines at the Total key.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

struct PurchaseState {
    std::string gDocumentNumber;  // the purchase just saved, 7 digits
};
extern PurchaseState gPurchase;

// The records of the purchase in gSale numbered `number`: the 298-character
// header and an 88-character line per sale line. nullopt, with `problem`
// naming the field, when a value does not fit its columns.
struct PurchaseRecords {
    std::string header;
    std::vector<std::string> lines;
};
std::optional<PurchaseRecords> PurchaseRecords_Build(std::int64_t number, std::string& problem);

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
