#include "print/printer_codes.h"

#include "common/numbers.h"

namespace tarvo {

std::array<std::string, 8> PrinterCodes_Build(const Settings& s, std::vector<std::string>* log) {
    std::array<std::string, 8> codes;
    for (int k = 1; k <= 7; ++k) {
        for (int j = 0; j < 6; ++j) {
            const int index = 6 * (k - 1) + j;
            const std::string& value = s.gPrinterCodeValues[static_cast<std::size_t>(index)];
            if (value.empty()) continue;
            auto n = Num_ToInteger(Num_Val(value), 0, 255);
            if (!n) {
                if (log)
                    log->push_back("Printer code setting " + std::to_string(835 + index) + " value \"" + value +
                                   "\" is not a byte (0-255): skipped");
                continue;
            }
            codes[static_cast<std::size_t>(k)].push_back(static_cast<char>(*n));
        }
    }
    return codes;
}

}  // namespace tarvo
