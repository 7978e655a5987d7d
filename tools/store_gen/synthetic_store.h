// Writes a large synthetic store in the exact master-file layouts, for the
// benchmarks and for trying the register on a big store's data.
#pragma once
#include <string>

namespace tarvo {

struct StoreSize {
    int products = 500000;
    int clients = 200000;
    int vendors = 30000;
    int aliases = 50000;
    int kits = 2000;   // 3 lines each
};

// Writes <folder>/Files/<terminal>.PRD .CLI .VND .PAX .KTM .KTD .MAN .CSH .SAL
// .CTG (CR LF lines, sorted where the register needs it). Deterministic.
// Returns false with a message on an I/O error.
bool WriteSyntheticStore(const std::string& folder, const std::string& terminal, const StoreSize& size,
                         std::string* error = nullptr);

// The product number (columns 12-31) of product i (1-based), as the files
// hold it: the key the register scans.
std::string SyntheticProductNumber(int i);
// The client id (columns 1-8) of client i.
std::string SyntheticClientId(int i);

}  // namespace tarvo
