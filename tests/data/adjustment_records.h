// The stock adjustment's records as the files hold them, for the tests that
// write them (the save) and read them (the printout): the 88-character
// header (.ADJ) and the 76-character line (.ADD).
#pragma once
#include <string>

#include "data/store_fixture.h"

namespace tarvo {

struct AdjustmentHeadRecord {
    std::string number, date, time, cashier, manager, reason, amount, reference;
    std::string Record() const {
        return Fixed(88, {{1, number},
                          {9, "0"},
                          {10, date},
                          {18, time},
                          {22, cashier},
                          {30, manager},
                          {38, reason},
                          {40, amount},
                          {49, reference}});
    }
};

inline std::string AdjustmentLineRecord(const std::string& number, const std::string& line, const std::string& product,
                                        const std::string& key, const std::string& qty, const std::string& note = "") {
    return Fixed(76, {{1, number}, {8, line}, {11, product}, {19, key}, {39, qty}, {47, note}});
}

}  // namespace tarvo
