// Small routines the documents and the register share: the captions of the
// Total and Payment keys, the product figures shown when a product joins a
// purchase, the cancelled sale and its journal record, and the command file
// that asks the back office to start a physical count.
#pragma once

namespace tarvo {

void Total_UpdateCaption();
void Product_Display_Info();
void Sale_Cancel();
void CommandFile_Create(int command);

}  // namespace tarvo
