// The register's shared buffers of the back-office exchanges: the reply being
// read, the payload being built and the product-master lookup. Each request
// overwrites them; there is never more than one request in flight.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace tarvo {

struct OnlineState {
    // Reading a reply (ASP_Decode).
    std::string gReply;       // the text of the last register-form reply
    std::string gReplyTag;    // the element to read next
    std::string gReplyValue;  // the value read, "" when absent

    // Building a payload (Online_GetField, Online_FieldToTag, Online_AddTag).
    std::string gRequestData;  // the payload under construction
    std::string gImportLine;   // the source line whose TAB-separated columns are read
    std::string gFieldValue;   // the column read last
    std::string gTagValue;     // the value Online_AddTag writes

    // Product-master lookup (ASP_Product_Master): element 0 the product code,
    // 1 to 3 category, class and department, 4 to 10 unused.
    std::array<std::string, 11> gProductLookup;
    std::int16_t gProductLookupOn = 0;  // the lookup sends only when 1

    // The order numbers of the shipping export, first and last, as typed.
    std::string gOrderRangeStart;
    std::string gOrderRangeEnd;
};

extern OnlineState gOnline;

}  // namespace tarvo
