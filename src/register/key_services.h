// What the key handlers of the register call in subsystems that are built
// elsewhere (sale engine, cash office, cards, inventory, online services).
// Each stand-in here does what an unavailable function should: nothing, or
// "Invalid Entry" where a key must answer. The real subsystems override them.
#pragma once
#include <cstdint>

namespace tarvo {

class KeyServices {
public:
    virtual ~KeyServices() = default;
};

}  // namespace tarvo
