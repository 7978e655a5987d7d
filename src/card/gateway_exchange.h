// The card gateway on the Internet: the transaction's form fields, each
// value encoded on its own, and the tagged reply read into a card result.
// The fields (the card number and the gateway's login among them) go in the
// body of an HTTPS POST, never in the address.
#pragma once
#include <cstdint>
#include <string>

#include "common/money.h"

namespace tarvo::card {

struct GatewayCharge {
    std::string login, key;  // settings 148 and 149, trimmed
    std::string number, expiry;
    Money amount;  // below zero: a refund (CREDIT)
    std::string invoice;
    bool avs = false;  // setting 145 "1": the house number and zip go too
    std::string address, zip;
};
// "x_login=..&x_tran_key=..&" the fixed block, the card, the amount (its
// absolute value, no fixed decimals), the invoice, the address fields.
std::string GatewayFields(const GatewayCharge& c);
// The gateway's test transaction (a published test card for 0.01).
std::string GatewayTestFields(const std::string& login, const std::string& key);

// The text between <TAG> and </TAG>, the tag found in any case.
std::string Tag_Value(const std::string& text, const std::string& tag);
// The leading digits of an address (its house number); the address as it is
// when it does not start with a digit.
std::string Address_HouseNumber(const std::string& address);

struct GatewayResult {
    std::int16_t status = 5;  // 0 approved, 2 declined, 3 empty reply, 5 anything else
    std::string message;      // the gateway's texts, each after CR LF
    std::string authCode;     // whole and trimmed
    std::string responseCode;
};
GatewayResult Gateway_ParseReply(const std::string& reply);

// The transaction address: CardGatewayUrl when it is an https address.
bool GatewayAddress_Valid(const std::string& url);

}  // namespace tarvo::card
