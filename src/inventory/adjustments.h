// Stock adjustments: the reason asked on the prompt line, the products rung
// up in mode 15, and the save of the .ADJ header and its .ADD lines at the
// Total key, every quantity and the amount signed by the direction.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// The records of the adjustment in gSale numbered `number`: the 88-character
// header and a 76-character line per sale line. nullopt, with `problem`
// naming the field, when a value does not fit its columns or the direction
// is neither -1 nor +1.
struct AdjustmentRecords {
    std::string header;
    std::vector<std::string> lines;
};
std::optional<AdjustmentRecords> AdjustmentRecords_Build(std::int64_t number, std::string& problem);

void Adjustment_Prepare();
void Adjustment_Start();
void Adjustment_Cancel();
// False when nothing was saved (the message line says why).
bool Adjustment_Save();

}  // namespace tarvo
