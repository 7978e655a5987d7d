#include "card/gateway_exchange.h"

#include <cctype>

#include "card/card_http.h"
#include "common/fields.h"

namespace tarvo::card {

namespace {

void Add(std::string& fields, const std::string& name, const std::string& value) {
    if (!fields.empty()) fields += '&';
    fields += name + "=" + UrlEncode(value);
}

std::string Upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

void FixedBlock(std::string& f, bool refund) {
    Add(f, "x_response_format", "0");
    Add(f, "x_delim_data", "TRUE");
    Add(f, "x_delim_char", "|");
    Add(f, "x_relay_response", "FALSE");
    Add(f, "x_type", refund ? "CREDIT" : "AUTH_CAPTURE");
    if (!refund) Add(f, "x_method", "CC");
    Add(f, "x_cpversion", "1.0");
}

}  // namespace

std::string GatewayFields(const GatewayCharge& c) {
    const bool refund = c.amount < Money();
    std::string f;
    Add(f, "x_login", Trim(c.login));
    Add(f, "x_tran_key", Trim(c.key));
    FixedBlock(f, refund);
    Add(f, "x_card_num", c.number);
    Add(f, "x_exp_date", c.expiry);
    Add(f, "x_amount", Trim((refund ? -c.amount : c.amount).TextDisplay()));
    if (!c.invoice.empty()) Add(f, "x_invoice_num", c.invoice);
    if (c.avs && !c.address.empty()) Add(f, "x_address", Address_HouseNumber(c.address));
    if (c.avs && !c.zip.empty()) Add(f, "x_zip", c.zip);
    return f;
}

std::string GatewayTestFields(const std::string& login, const std::string& key) {
    std::string f;
    Add(f, "x_login", Trim(login));
    Add(f, "x_tran_key", Trim(key));
    FixedBlock(f, false);
    Add(f, "x_test", "TRUE");
    Add(f, "x_card_num", "4007000000027");
    Add(f, "x_exp_date", "0115");
    Add(f, "x_amount", "0.01");
    Add(f, "x_description", "Sample Transaction");
    Add(f, "x_first_name", "John");
    Add(f, "x_last_name", "Doe");
    Add(f, "x_address", "1234 Street");
    Add(f, "x_state", "WA");
    Add(f, "x_zip", "98004");
    return f;
}

std::string Tag_Value(const std::string& text, const std::string& tag) {
    const std::string upper = Upper(text);
    const std::string open = "<" + Upper(tag) + ">", close = "</" + Upper(tag) + ">";
    const auto a = upper.find(open);
    if (a == std::string::npos) return "";
    const auto from = a + open.size();
    const auto b = upper.find(close, from);
    if (b == std::string::npos) return "";
    return text.substr(from, b - from);
}

std::string Address_HouseNumber(const std::string& address) {
    std::size_t n = 0;
    while (n < address.size() && address[n] >= '0' && address[n] <= '9') ++n;
    return n == 0 ? address : address.substr(0, n);
}

GatewayResult Gateway_ParseReply(const std::string& reply) {
    GatewayResult r;
    if (reply.empty()) {
        r.status = 3;
        return r;
    }
    r.responseCode = Trim(Tag_Value(reply, "responsecode"));
    const std::string errorText = Tag_Value(reply, "errortext");
    const std::string errorCode = Tag_Value(reply, "errorcode");
    const std::string avs = Tag_Value(reply, "avsresultcode");
    const std::string description = Tag_Value(reply, "description");
    r.authCode = Trim(Tag_Value(reply, "authcode"));
    if (r.responseCode == "1") {
        r.status = 0;
        return r;
    }
    r.authCode.clear();
    r.status = r.responseCode == "2" || r.responseCode == "3" ? 2 : 5;
    if (!errorText.empty()) r.message += "\r\n" + errorText;
    if (!errorCode.empty()) r.message += "\r\nError Code: " + errorCode;
    if (!avs.empty()) r.message += "\r\nAVS Code: " + avs;
    if (!description.empty()) r.message += "\r\n" + description;
    return r;
}

bool GatewayAddress_Valid(const std::string& url) {
    if (url.rfind("https://", 0) != 0 || url.size() <= 8) return false;
    for (const char ch : url)
        if (static_cast<unsigned char>(ch) <= ' ' || ch == '#' || ch == '?') return false;
    return true;
}

}  // namespace tarvo::card
