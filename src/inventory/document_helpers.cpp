#include "inventory/document_helpers.h"

namespace tarvo {

void Total_UpdateCaption() {}
void Product_Display_Info() {}
void Sale_Cancel() {}
void CommandFile_Create(int) {}

}  // namespace tarvo
