// Kits: a product that stands for a set of components. After a product line
// is added, its key in gSale.gKitCode, Kit_Processing adds the kit's
// component lines behind it, each scaled by the kit line's quantity and
// priced by the kit's type:
//
//   type 1  the component's own price
//   type 2  manual price 0
//   type 3  manual price 0, the line marked as a kit component
//   type 4  manual price from the kit line (columns 41-48)
//
// The kit master (gData.kitHeaders, sorted on columns 1-20) holds the kit
// product code in 1-20, the kit number in 21-30 and the type in 31; the kit
// lines (gData.kitLines, sorted on columns 1-10) hold the kit number as six
// digits in 1-10, the component key in 11-30, its quantity in 31-40 and its
// price in 41-48.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

struct KitState {
    std::int32_t gKitRecNo = 0;  // kit master record of the last kit looked up, 0 none
};

extern KitState gKits;

// The six-digit form of a kit number as the kit lines hold it: the rightmost
// six characters of "000000" and the trimmed number.
std::string Kit_LineNumber(std::string_view kitNumber);

// Expands the line just added when its product is a kit. gSale.gKitCode is
// used up by the call: a kit is expanded only when it names the last line of
// the sale, so a caller whose product was refused adds nothing by mistake.
// No expansion in the purchase modes (13, 14, 29). A component missing from
// the product file, or whose kit quantity is not a positive number, is
// skipped and logged; a scaled quantity a sale line cannot hold is refused on
// the message line and logged. A kit whose components would take the sale
// past its 400 lines is not added at all: its own line is taken out again,
// and the message line says the kit could not be added whole (logged). In
// return and exchange mode the components
// follow the mode's sign; a voided kit voids its components. The cashier's
// pending quantity, void mode and manual price are as before the call.
void Kit_Processing();

}  // namespace tarvo
