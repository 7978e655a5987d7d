#include "card/terminal_exchange.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "card/card_http.h"
#include "common/fields.h"
#include "platform/files.h"

namespace tarvo::card {

namespace {

bool ByteText(const std::string& part, int& value) {
    if (part.empty() || part.size() > 3) return false;
    value = 0;
    for (const char ch : part) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + (ch - '0');
    }
    return value <= 255;
}

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        switch (ch) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        default: out += ch;
        }
    }
    return out;
}

}  // namespace

bool TerminalAddress_Parse(const std::string& text, std::string& host, int& port) {
    std::string address = text;
    port = kTerminalPort;
    if (const auto colon = address.find(':'); colon != std::string::npos) {
        const std::string p = address.substr(colon + 1);
        address.resize(colon);
        if (p.empty() || p.size() > 5) return false;
        int value = 0;
        for (const char ch : p) {
            if (ch < '0' || ch > '9') return false;
            value = value * 10 + (ch - '0');
        }
        if (value < 1 || value > 65535) return false;
        port = value;
    }
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const auto dot = address.find('.', start);
        int value = 0;
        if (!ByteText(address.substr(start, dot == std::string::npos ? std::string::npos : dot - start), value))
            return false;
        ++parts;
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (parts != 4) return false;
    host = address;
    return true;
}

std::string TerminalDocument(Money amount, const std::string& invoice, const std::string& registerId) {
    const bool refund = amount < Money();
    const Money shown = refund ? -amount : amount;
    return "<request><PaymentType>Credit</PaymentType><TransType>" + std::string(refund ? "Return" : "Sale") +
           "</TransType><Amount>" + Trim(shown.Format("######0.00")) + "</Amount><InvNum>" + XmlEscape(invoice) +
           "</InvNum><RefId></RefId><RegisterId>" + XmlEscape(registerId) + "</RegisterId></request>";
}

std::string TerminalUrl(const std::string& host, int port, const std::string& document) {
    return "http://" + host + ":" + std::to_string(port) + "/cgi.html?TerminalTransaction=" + UrlEncode(document);
}

std::string Extract(const std::string& text, const std::string& tag) {
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    const auto a = text.find(open);
    if (a == std::string::npos) return "";
    const auto from = a + open.size();
    const auto b = text.find(close, from);
    if (b == std::string::npos) return "";
    return text.substr(from, b - from);
}

std::string ExtDataItem(const std::string& extData, const std::string& name) {
    const std::string key = name + "=";
    const auto a = extData.find(key);
    if (a == std::string::npos) return "";
    const auto from = a + key.size();
    const auto comma = extData.find(',', from);
    return extData.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
}

TerminalResult TerminalReply_Evaluate(const std::string& reply, const std::string& invoice,
                                      const std::string& registerId) {
    TerminalResult r;
    if (reply.empty()) {
        r.status = 2;
        return r;
    }
    if (reply.find("Request cancelled") != std::string::npos) {
        r.status = 14;
        return r;
    }
    // The register id comes back as the document carried it (escaped) or as plain text.
    const std::string echoedId = Extract(reply, "RegisterId");
    if (Extract(reply, "InvNum") != invoice || (echoedId != registerId && echoedId != XmlEscape(registerId))) {
        r.status = 3;
        return r;
    }
    if (Extract(reply, "ResultCode") == "0") {
        r.status = 0;
        r.authCode = Trim(Extract(reply, "AuthCode"));
        r.message = Extract(reply, "ExtData");
        r.last4 = ExtDataItem(r.message, "AcntLast4");
        r.name = ExtDataItem(r.message, "Name");
        for (char& ch : r.name)
            if (ch == '\'') ch = ' ';
        return r;
    }
    r.status = 1;
    r.message = Extract(reply, "Message") + " " + Extract(reply, "RespMSG");
    return r;
}

std::string TerminalCardNumber(const std::string& last4) {
    std::string four = last4.substr(0, 4);
    four.resize(4, ' ');
    return std::string(12, '*') + four;
}

bool TerminalLog_Append(const std::string& path, const std::string& line, std::string* error) {
    const int fd = OpenOrCreatePrivate(path, O_WRONLY | O_APPEND);
    if (fd < 0) {
        if (error) *error = OpenFailureText(path, errno);
        return false;
    }
    const std::string entry = line + "\r\n\r\n";
    std::size_t done = 0;
    while (done < entry.size()) {
        const ssize_t n = ::write(fd, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (error) *error = path + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return true;
}

std::string TerminalLog_Stamp(int year, int month, int day, int hour, int minute, int second) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d %02d:%02d:%02d", month, day, year, hour, minute, second);
    return buf;
}

}  // namespace tarvo::card
